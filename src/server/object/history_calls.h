#pragma once
// The arguments of each method of Vnd42400.rdmHistorico by name, as its body reads them; member
// i takes argument i of the method in the remote contract, under the same name
// (contract/remote_contract.h). The binding in history_object.cpp checks count and kinds.

#include <cstdint>
#include <string>

namespace server {

struct ChangesCall {  // GetAlteracoes
  std::string branch;
  std::string table;
  double validityStart = 0;  // 0: any
  std::string user;
  std::string since;
  std::string until;
  std::string method;
  int64_t before = 0;  // 0: from the newest on
  int64_t count = 0;
};

struct ItemsPageCall {  // GetItensAlteracao
  int64_t change = 0;
  int64_t offset = 0;
  int64_t count = 0;
};

struct RestoreCall {  // GetPreviaRestauracao, SetRestauraAlteracao
  int64_t change = 0;
  bool stacked = false;
};

}  // namespace server
