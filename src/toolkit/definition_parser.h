#pragma once
// The text of a form definition parsed into a tree of objects with their properties, before
// anything is created. The grammar is at the top of definition_parser.cpp; the reader
// (definition_reader.h) turns the tree into components.

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"

namespace tk {

struct DefProperty {
  std::string name;  // "Left", "Font.Style", "OnClick"
  PropValue value;
  int line = 0;
};

struct DefObject {
  bool inherited = false;  // "inherited": an existing component gets new values
  std::string name;
  std::string className;
  int line = 0;
  std::vector<DefProperty> properties;  // in the order written
  std::vector<DefObject> children;      // nested objects, in the order written
};

// Parses one definition. Raises EDefinitionError "<source>:<line>: <what is wrong>" on any
// syntax error.
DefObject ParseDefinition(std::string_view text, std::string_view source);

}  // namespace tk
