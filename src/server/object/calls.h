#pragma once
// The arguments of each method of Vnd42400.rdmTabePreco by name, as its body reads them; member
// i takes argument i of the method in the remote contract, under the same name
// (contract/remote_contract.h). The binding in tabe_preco_object.cpp checks count and kinds.

#include <string>

#include "server/object/call_binding.h"

namespace server {

struct BranchesCall {  // GetFilial
  std::string branch;
  std::string all;
};

struct TablesCall {  // GetTabePrec
  std::string branch;
};

struct ValiditiesCall {  // getVigencia
  std::string branch;
  std::string table;
  double validityStart = 0;  // a date, or a day number (0 names no period)
  std::string all;
  std::string dateFormat;
};

struct ItemsCall {  // GetAutItemPreco
  std::string branch;
  std::string table;
  double validityStart = 0;
};

struct ProductCall {  // GetProdValid
  std::string branch;
  std::string table;
  double validityStart = 0;
  std::string product;
};

// The changes carry the product selection in four texts (selection.h): first, last, list, all.

struct PrefixCall {  // SetAddPrefixo, SetDelPrefixo
  std::string prefix;
  std::string first;
  std::string last;
  std::string list;
  std::string all;
};

struct PromotionCall {  // SetUpdItemPrecoAlt
  std::string promotion;
  std::string first;
  std::string last;
  std::string list;
  std::string all;
  PacketRef products;  // not read: the selection texts say which products
  bool listMode = false;
  std::string branch;
  std::string table;
  double validityStart = 0;
};

}  // namespace server
