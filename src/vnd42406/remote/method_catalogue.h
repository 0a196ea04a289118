#pragma once
// The remote methods of the server object Vnd42400.rdmTabePreco that the screen calls, as the
// remote contract defines them (contract/remote_contract.h). The call frame checks every call
// against its method before anything is sent, so an argument of the wrong kind is a programming
// error caught on the client rather than a refusal from the server.

#include <vector>

#include "contract/remote_contract.h"
#include "rtl/variant.h"

namespace vnd42406 {

using RemoteMethod = contract::Method;
namespace methods = contract::tabe_preco;

// Raises rtl::EInvalidOperation naming the method and position when `args` do not fit.
void CheckArguments(const RemoteMethod& method, const std::vector<rtl::Variant>& args);

}  // namespace vnd42406
