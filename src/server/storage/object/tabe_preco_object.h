#pragma once
// The server object "Vnd42400.rdmTabePreco": the price-table service the screen attaches to.
// It holds a reference to its storage and nothing else, so it may be called from any number
// of threads at once. Each method entry checks what the network layer may not have (count and
// kinds of the arguments, text that is not clean UTF-8) before its handler runs, and turns a
// refusal into the answer [1, message, nil]; storage failures pass as exceptions.

#include <string_view>
#include <vector>

#include "server/server_object.h"
#include "server/storage/storage.h"

namespace server {

class TabePrecoObject : public ServerObject {
 public:
  explicit TabePrecoObject(Storage& storage);

  static constexpr std::string_view kName = "Vnd42400.rdmTabePreco";
  std::string_view name() const override { return kName; }
  const std::vector<MethodSpec>& methods() const override { return methods_; }

  // The method named `name`, or nullptr.
  const MethodSpec* find(std::string_view name) const;

 private:
  std::vector<MethodSpec> methods_;
};

}  // namespace server
