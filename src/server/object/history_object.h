#pragma once
// The server object "Vnd42400.rdmHistorico": the journal of changes for the desk. It lists
// the changes with filters, a page at a time, newest first; gives a change's products with
// their values before and after, a page at a time; says what undoing a change would do; and
// undoes it, journaled with the caller as any change is. Its methods are those of the remote
// contract (contract/remote_contract.h) and check the caller's rights themselves
// (history_access.h). It holds a reference to its storage and nothing else, so it may be
// called from any number of threads at once; the storage must outlive it.

#include <string_view>
#include <vector>

#include "server/object/server_object.h"
#include "server/storage/storage.h"

namespace server {

class HistoryObject : public ServerObject {
 public:
  explicit HistoryObject(Storage& storage);

  std::string_view name() const override { return contract::kHistorico.name; }
  const std::vector<MethodSpec>& methods() const override { return methods_; }

 private:
  std::vector<MethodSpec> methods_;
};

}  // namespace server
