#include "server/object/history_object.h"

#include "server/object/call_binding.h"
#include "server/object/history_calls.h"
#include "server/object/history_methods.h"

namespace server {

namespace {

namespace rdm = contract::historico;

template <const contract::Method& M, auto... Members, typename Call>
MethodSpec method(Storage& storage, Answer (*body)(Storage&, const Call&, const CallContext&),
                  bool waitsForLocks = false) {
  return bindMethod<M, Members...>(
      [&storage, body](const Call& call, const CallContext& context) {
        return body(storage, call, context);
      },
      waitsForLocks);
}

}  // namespace

HistoryObject::HistoryObject(Storage& storage) {
  using L = ChangesCall;
  using I = ItemsPageCall;
  using R = RestoreCall;
  methods_ = {
      method<rdm::GetAlteracoes, &L::branch, &L::table, &L::validityStart, &L::user, &L::since,
             &L::until, &L::method, &L::before, &L::count>(storage, history::getAlteracoes),
      method<rdm::GetItensAlteracao, &I::change, &I::offset, &I::count>(storage,
                                                                        history::getItensAlteracao),
      method<rdm::GetPreviaRestauracao, &R::change, &R::stacked>(storage,
                                                                 history::getPreviaRestauracao),
      // A restore takes the lock of the data it puts back, as the change did.
      method<rdm::SetRestauraAlteracao, &R::change, &R::stacked>(
          storage, history::setRestauraAlteracao, true),
  };
}

}  // namespace server
