#pragma once
// Builds components from form definitions (the format is described in definition_parser.cpp).
// Every object the definitions declare is created through the class registry and owned by the
// root (the form); a nested object is also handed to its enclosing component with
// InsertDefinedChild. Properties are set in the order written, events bound to the root's
// handlers by name. All components stay in the Loading state (no events) until Finish, which
// calls Loaded on each of them. Any error raises EDefinitionError naming the source and line.

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/definition_parser.h"

namespace tk {

class DefinitionReader {
 public:
  DefinitionReader(const ClassRegistry& classes, TComponent& root, const HandlerTable& handlers);

  // Reads one definition onto the root. The first must have an "object" root; each later one
  // an "inherited" root, and its "inherited" objects must exist already.
  void Read(std::string_view text, std::string_view source);
  // Ends loading: clears the Loading state of the root and its components, then calls
  // Loaded on each component (in creation order) and on the root last.
  void Finish();

  // True for property names that are events ("OnClick", "BeforeConnect", "AfterPost").
  static bool IsEventName(std::string_view name);

 private:
  [[noreturn]] void fail(int line, const std::string& what) const;
  void apply(TComponent& target, const DefObject& object);
  void applyProperty(TComponent& target, const DefProperty& property);
  void applyChild(TComponent& enclosing, const DefObject& child);

  const ClassRegistry& classes_;
  TComponent& root_;
  const HandlerTable& handlers_;
  std::string source_;
  int definitionsRead_ = 0;
};

}  // namespace tk
