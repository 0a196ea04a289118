#pragma once
// The server object "Vnd42400.rdmTabePreco": the price-table service the screen attaches to.
// Its methods are those of the remote contract (contract/remote_contract.h), each bound to its
// body with its arguments by name (calls.h). It holds a reference to its storage and nothing
// else, so it may be called from any number of threads at once; the storage must outlive it.

#include <memory>
#include <string_view>
#include <vector>

#include "server/object/server_object.h"
#include "server/storage/storage.h"

namespace server {

class TabePrecoObject : public ServerObject {
 public:
  explicit TabePrecoObject(Storage& storage);

  std::string_view name() const override { return contract::kTabePreco.name; }
  const std::vector<MethodSpec>& methods() const override { return methods_; }

 private:
  std::vector<MethodSpec> methods_;
};

}  // namespace server
