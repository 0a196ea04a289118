#pragma once
// The eight methods of Vnd42400.rdmTabePreco, one function each, bound to the remote contract by
// the method table (tabe_preco_object.cpp), which has checked and decoded their arguments. A
// method answers with rows, refuses by throwing Refused, and fails with StorageError.

#include "server/object/calls.h"
#include "server/object/server_object.h"
#include "server/storage/storage.h"

namespace server::methods {

// read_methods.cpp
Answer getFilial(Storage& storage, const BranchesCall& call, const CallContext& context);
Answer getTabePrec(Storage& storage, const TablesCall& call);
Answer getVigencia(Storage& storage, const ValiditiesCall& call);
Answer getAutItemPreco(Storage& storage, const ItemsCall& call);
Answer getProdValid(Storage& storage, const ProductCall& call);

// prefix_methods.cpp
Answer setAddPrefixo(Storage& storage, const PrefixCall& call, const CallContext& context);
Answer setDelPrefixo(Storage& storage, const PrefixCall& call, const CallContext& context);

// promotion_method.cpp
Answer setUpdItemPrecoAlt(Storage& storage, const PromotionCall& call, const CallContext& context);

}  // namespace server::methods
