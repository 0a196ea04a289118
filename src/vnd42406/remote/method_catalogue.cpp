#include "vnd42406/remote/method_catalogue.h"

#include <string>

#include "rtl/exceptions.h"

namespace vnd42406 {

void CheckArguments(const RemoteMethod& method, const std::vector<rtl::Variant>& args) {
  const size_t misfit =
      contract::firstMisfit(method, args, [](const rtl::Variant& arg) { return arg.kind(); });
  if (misfit == 0) return;
  const std::string name(method.name);
  if (args.size() != method.params.size())
    throw rtl::EInvalidOperation(name + ": " + std::to_string(method.params.size()) +
                                 " arguments expected, " + std::to_string(args.size()) + " given");
  throw rtl::EInvalidOperation(name + ": argument " + std::to_string(misfit) + " (" +
                               std::string(method.params[misfit - 1].name) + ") is of kind " +
                               rtl::VarKindName(args[misfit - 1].kind()));
}

}  // namespace vnd42406
