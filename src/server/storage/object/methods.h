#pragma once
// The eight methods of the server object, one function each, called by the method table
// (tabe_preco_object.cpp) with arguments whose count, kinds and text have been checked. A
// method answers with rows, refuses by throwing Refused, and fails with StorageError.

#include <vector>

#include "server/server_object.h"
#include "server/storage/storage.h"

namespace server::methods {

// lookups.cpp
Answer getFilial(Storage& storage, const std::vector<Arg>& args);
Answer getTabePrec(Storage& storage, const std::vector<Arg>& args);
Answer getVigencia(Storage& storage, const std::vector<Arg>& args);
Answer getAutItemPreco(Storage& storage, const std::vector<Arg>& args);
Answer getProdValid(Storage& storage, const std::vector<Arg>& args);

// prefix_methods.cpp
Answer setAddPrefixo(Storage& storage, const CallContext& context, const std::vector<Arg>& args);
Answer setDelPrefixo(Storage& storage, const CallContext& context, const std::vector<Arg>& args);

// promotion_method.cpp
Answer setUpdItemPrecoAlt(Storage& storage, const CallContext& context,
                          const std::vector<Arg>& args);

}  // namespace server::methods
