#pragma once
// A request the server object turns down: thrown anywhere inside a method (also inside a
// change transaction, which it rolls back on its way out) and turned into the answer
// [status 1, message, nil] by the method table. Never reaches the network layer.

#include <stdexcept>
#include <string>
#include <string_view>

namespace server {

class Refused : public std::runtime_error {
 public:
  explicit Refused(std::string_view message) : std::runtime_error(std::string(message)) {}
};

}  // namespace server
