#include "server/object/tabe_preco_object.h"

#include <stdexcept>

#include "server/object/access_checks.h"
#include "server/object/methods.h"

namespace server {

namespace {

namespace rdm = contract::tabe_preco;

// A call that names a branch is refused before anything is read unless the caller reaches it.
template <typename Call>
void requireCallBranch(const Call& call, const CallContext& context) {
  if constexpr (requires { call.branch; }) requireBranch(context, call.branch);
}

// A read: the body gets the storage and the call.
template <const contract::Method& M, auto... Members, typename Call>
MethodSpec read(Storage& storage, Answer (*body)(Storage&, const Call&)) {
  return bindMethod<M, Members...>([&storage, body](const Call& call, const CallContext& context) {
    requireCallBranch(call, context);
    return body(storage, call);
  });
}

// A change needs its right, and the body gets the caller too, for the journal. Changes take the
// write lock of what they change, and may wait for another change's.
template <const contract::Method& M, auto... Members, typename Call>
MethodSpec change(Storage& storage, Answer (*body)(Storage&, const Call&, const CallContext&),
                  Right right) {
  return bindMethod<M, Members...>(
      [&storage, body, right](const Call& call, const CallContext& context) {
        requireRight(context, right);
        requireCallBranch(call, context);
        return body(storage, call, context);
      },
      true);
}

}  // namespace

TabePrecoObject::TabePrecoObject(Storage& storage) {
  using B = BranchesCall;
  using T = TablesCall;
  using V = ValiditiesCall;
  using I = ItemsCall;
  using P = ProductCall;
  using X = PrefixCall;
  using U = PromotionCall;
  methods_ = {
      // Lists only the branches the caller reaches, and refuses one it does not.
      bindMethod<rdm::GetFilial, &B::branch, &B::all>(
          [&storage](const B& call, const CallContext& context) {
            return methods::getFilial(storage, call, context);
          }),
      read<rdm::GetTabePrec, &T::branch>(storage, methods::getTabePrec),
      read<rdm::getVigencia, &V::branch, &V::table, &V::validityStart, &V::all, &V::dateFormat>(
          storage, methods::getVigencia),
      read<rdm::GetAutItemPreco, &I::branch, &I::table, &I::validityStart>(
          storage, methods::getAutItemPreco),
      read<rdm::GetProdValid, &P::branch, &P::table, &P::validityStart, &P::product>(
          storage, methods::getProdValid),
      change<rdm::SetAddPrefixo, &X::prefix, &X::first, &X::last, &X::list, &X::all>(
          storage, methods::setAddPrefixo, Right::Prefix),
      change<rdm::SetDelPrefixo, &X::prefix, &X::first, &X::last, &X::list, &X::all>(
          storage, methods::setDelPrefixo, Right::Prefix),
      change<rdm::SetUpdItemPrecoAlt, &U::promotion, &U::first, &U::last, &U::list, &U::all,
             &U::products, &U::listMode, &U::branch, &U::table, &U::validityStart>(
          storage, methods::setUpdItemPrecoAlt, Right::Promotion),
  };
  // Every method of the contract has exactly one body here.
  for (const contract::Method* method : contract::kTabePreco.methods) {
    size_t bound = 0;
    for (const MethodSpec& entry : methods_) bound += entry.contract == method;
    if (bound != 1) throw std::logic_error("método sem corpo único: " + std::string(method->name));
  }
}

}  // namespace server
