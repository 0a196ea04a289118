#pragma once
// The flat JSON objects the journal records as a change's selection, read back:
//
//   object := "{" [ member { "," member } ] "}"      blanks allowed around every token
//   member := string ":" value
//   value  := string | number | "true" | "false" | "null"      (nothing nested)
//
// Strings may hold the escapes of JSON (\" \\ \/ \b \f \n \r \t \uXXXX, surrogate pairs
// included); they are returned unescaped, as UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

struct JsonField {
  enum class Kind { String, Number, Boolean, Null };
  std::string key;
  Kind kind = Kind::Null;
  std::string text;  // a string unescaped; any other value as written ("true", "17")
};

// The members in the order written; nullopt for text that is not such an object.
std::optional<std::vector<JsonField>> parseFlatJson(std::string_view text);

}  // namespace server
