#include "server/storage/object/tabe_preco_object.h"

#include <algorithm>

#include "server/storage/object/arg_checks.h"
#include "server/storage/object/messages.h"
#include "server/storage/object/methods.h"
#include "server/storage/object/refused.h"

namespace server {

namespace {

using K = ArgKind;
using Kinds = std::vector<ArgKind>;
using Handler = std::function<Answer(const CallContext&, const std::vector<Arg>&)>;

const Kinds kString{K::String};
const Kinds kRef{K::StringRef};
const Kinds kDate{K::Date};

// Wraps a method: checks the arguments against its declared kinds, then runs it and turns a refusal
// into an answer.
Handler guarded(std::string name, std::vector<Kinds> params, Handler method) {
  return [name = std::move(name), params = std::move(params), method = std::move(method)](
             const CallContext& context, const std::vector<Arg>& args) -> Answer {
    const size_t common = std::min(args.size(), params.size());
    for (size_t i = 0; i < common; ++i) {
      const Kinds& accepted = params[i];
      if (std::find(accepted.begin(), accepted.end(), args[i].kind) == accepted.end())
        throw CallError(400, name + ": argumento " + std::to_string(i + 1) + " inválido");
    }
    if (args.size() != params.size())
      throw CallError(400, name + ": argumento " + std::to_string(common + 1) + " inválido");
    try {
      for (size_t i = 0; i < args.size(); ++i) {
        const bool text = args[i].kind == K::String || args[i].kind == K::StringRef;
        if (text && !isCleanText(args[i].text))
          throw Refused(messages::invalidText(static_cast<int>(i) + 1));
      }
      return method(context, args);
    } catch (const Refused& refusal) {
      return Answer::refuse(refusal.what());
    }
  };
}

}  // namespace

TabePrecoObject::TabePrecoObject(Storage& storage) {
  Storage* s = &storage;
  auto add = [&](const char* name, std::vector<Kinds> params, Handler method) {
    MethodSpec declared{name, params, guarded(name, params, std::move(method))};
    methods_.push_back(std::move(declared));
  };
  // The changes take the write lock of what they change, and may wait for another change's.
  auto addChange = [&](const char* name, std::vector<Kinds> params, Handler method) {
    add(name, std::move(params), std::move(method));
    methods_.back().waitsForLocks = true;
  };
  auto read = [s](Answer (*method)(Storage&, const std::vector<Arg>&)) -> Handler {
    return
        [s, method](const CallContext&, const std::vector<Arg>& args) { return method(*s, args); };
  };
  auto change =
      [s](Answer (*method)(Storage&, const CallContext&, const std::vector<Arg>&)) -> Handler {
    return [s, method](const CallContext& context, const std::vector<Arg>& args) {
      return method(*s, context, args);
    };
  };

  add("GetFilial", {kString, kString}, read(methods::getFilial));
  add("GetTabePrec", {kString}, read(methods::getTabePrec));
  add("getVigencia", {kString, kString, {K::Date, K::Integer}, kString, kRef},
      read(methods::getVigencia));
  add("GetAutItemPreco", {kString, kString, kDate}, read(methods::getAutItemPreco));
  add("GetProdValid", {kString, kString, kDate, kString}, read(methods::getProdValid));
  addChange("SetAddPrefixo", {kRef, kRef, kRef, kRef, kRef}, change(methods::setAddPrefixo));
  addChange("SetDelPrefixo", {kRef, kRef, kRef, kRef, kRef}, change(methods::setDelPrefixo));
  addChange(
      "SetUpdItemPrecoAlt",
      {kRef, kRef, kRef, kRef, kRef, {K::Packet, K::Null}, {K::Boolean}, kString, kString, kDate},
      change(methods::setUpdItemPrecoAlt));
}

const MethodSpec* TabePrecoObject::find(std::string_view name) const {
  for (const MethodSpec& method : methods_)
    if (method.name == name) return &method;
  return nullptr;
}

std::unique_ptr<ServerObject> makeTabePrecoObject(Storage& storage) {
  return std::make_unique<TabePrecoObject>(storage);
}

}  // namespace server
