#pragma once
// The remote methods of the server object Vnd42400.rdmTabePreco that the screen calls, each
// with the kinds of its arguments in order. The call frame checks every call against this
// table before anything is sent, so an argument of the wrong kind is a programming error
// caught on the client rather than a refusal from the server.

#include <string_view>
#include <vector>

#include "rtl/variant.h"

namespace vnd42406 {

struct RemoteMethod {
  const char* name;
  // The accepted kinds of each argument; most positions accept exactly one.
  std::vector<std::vector<rtl::VarKind>> arguments;
};

namespace methods {
extern const RemoteMethod GetFilial;           // branch, all flag
extern const RemoteMethod GetTabePrec;         // branch
extern const RemoteMethod getVigencia;         // branch, table, start (date or 0), all, format (ref)
extern const RemoteMethod GetAutItemPreco;     // branch, table, start
extern const RemoteMethod GetProdValid;        // branch, table, start, product
extern const RemoteMethod SetAddPrefixo;       // prefix, first, last, list, all (all by ref)
extern const RemoteMethod SetDelPrefixo;       // the same
extern const RemoteMethod SetUpdItemPrecoAlt;  // flag, first, last, list, all (ref); packet;
                                               // list mode; branch; table; start
}  // namespace methods

// The eight methods, for tests and tools.
const std::vector<const RemoteMethod*>& AllRemoteMethods();

// Raises rtl::EInvalidOperation naming the method and position when `args` do not fit.
void CheckArguments(const RemoteMethod& method, const std::vector<rtl::Variant>& args);

}  // namespace vnd42406
