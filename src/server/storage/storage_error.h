#pragma once
// The one failure type of the storage layer: a database that cannot be opened or reached, a
// statement the engine rejects, a constraint the data would break. The message names the
// engine and carries its own text; the network layer reports it as an internal error.

#include <stdexcept>
#include <string>

namespace server {

class StorageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace server
