#pragma once
// The failure types of the storage layer: a database that cannot be opened or reached, a
// statement the engine rejects, a constraint the data would break. The message names the
// engine and carries its own text; the network layer reports it as an internal error.

#include <stdexcept>
#include <string>

namespace server {

class StorageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A statement waited for a lock another session holds (a writer of the same rows, or of the
// whole SQLite file) longer than the storage's lock wait, and gave up. Nothing of the
// transaction can be kept; trying again later may succeed.
class LockTimeout : public StorageError {
 public:
  using StorageError::StorageError;
};

}  // namespace server
