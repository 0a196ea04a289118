#include "vnd42406/remote/method_catalogue.h"

#include <algorithm>

#include "rtl/exceptions.h"

namespace vnd42406 {
namespace {
using K = rtl::VarKind;
const std::vector<K> kString{K::String};
const std::vector<K> kRef{K::StringRef};
const std::vector<K> kDate{K::Date};
}  // namespace

namespace methods {
const RemoteMethod GetFilial{"GetFilial", {kString, kString}};
const RemoteMethod GetTabePrec{"GetTabePrec", {kString}};
const RemoteMethod getVigencia{"getVigencia",
                               {kString, kString, {K::Date, K::Integer}, kString, kRef}};
const RemoteMethod GetAutItemPreco{"GetAutItemPreco", {kString, kString, kDate}};
const RemoteMethod GetProdValid{"GetProdValid", {kString, kString, kDate, kString}};
const RemoteMethod SetAddPrefixo{"SetAddPrefixo", {kRef, kRef, kRef, kRef, kRef}};
const RemoteMethod SetDelPrefixo{"SetDelPrefixo", {kRef, kRef, kRef, kRef, kRef}};
const RemoteMethod SetUpdItemPrecoAlt{
    "SetUpdItemPrecoAlt",
    {kRef, kRef, kRef, kRef, kRef, {K::Packet, K::Null}, {K::Boolean}, kString, kString, kDate}};
}  // namespace methods

const std::vector<const RemoteMethod*>& AllRemoteMethods() {
  static const std::vector<const RemoteMethod*> all{
      &methods::GetFilial,     &methods::GetTabePrec,   &methods::getVigencia,
      &methods::GetAutItemPreco, &methods::GetProdValid, &methods::SetAddPrefixo,
      &methods::SetDelPrefixo, &methods::SetUpdItemPrecoAlt};
  return all;
}

void CheckArguments(const RemoteMethod& method, const std::vector<rtl::Variant>& args) {
  if (args.size() != method.arguments.size())
    throw rtl::EInvalidOperation(std::string(method.name) + ": " +
                                 std::to_string(method.arguments.size()) + " arguments expected, " +
                                 std::to_string(args.size()) + " given");
  for (size_t i = 0; i < args.size(); ++i) {
    const auto& accepted = method.arguments[i];
    if (std::find(accepted.begin(), accepted.end(), args[i].kind()) == accepted.end())
      throw rtl::EInvalidOperation(std::string(method.name) + ": argument " +
                                   std::to_string(i + 1) + " is of kind " +
                                   rtl::VarKindName(args[i].kind()));
  }
}

}  // namespace vnd42406
