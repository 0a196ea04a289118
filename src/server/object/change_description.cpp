#include "server/object/change_description.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace server {

namespace {

using Json = nlohmann::ordered_json;

// At most `most` characters of UTF-8 `text`, "..." marking a cut.
std::string cut(std::string_view text, size_t most) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == most) return std::string(text.substr(0, i)) + "...";
  }
  return std::string(text);
}

std::optional<Json> objectOf(std::string_view text) {
  Json json = Json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;
  return json;
}

std::string textAt(const Json& selection, const char* key) {
  const auto found = selection.find(key);
  return found != selection.end() && found->is_string() ? found->get<std::string>() : "";
}

// "todos os produtos", "lista de 3 produtos", "produtos de A a B", or "" for none.
std::string products(const Json& selection) {
  if (textAt(selection, "todos") == "T") return "todos os produtos";
  const std::string list = textAt(selection, "lista");
  // A product selection list holds 11 characters per product and one more.
  if (!list.empty()) {
    const size_t count = (list.size() - 1) / 11;
    return count == 1 ? "lista de 1 produto" : "lista de " + std::to_string(count) + " produtos";
  }
  const std::string first = textAt(selection, "inicial"), last = textAt(selection, "final");
  if (first.empty() && last.empty()) return "";
  return "produtos de " + cut(first, 20) + " a " + cut(last, 20);
}

// The action of one row: "Colocar na promoção", "Adicionar o prefixo \"X\"", ...
std::string action(const JournalEntry& row, const Json& selection) {
  if (row.method == "SetUpdItemPrecoAlt")
    return textAt(selection, "promocao") == "S" ? "Colocar na promoção" : "Retirar da promoção";
  const std::string prefix = Json(cut(textAt(selection, "prefixo"), 60))
                                 .dump(-1, ' ', false, Json::error_handler_t::replace);
  if (row.method == "SetAddPrefixo") return "Adicionar o prefixo " + prefix;
  if (row.method == "SetDelPrefixo") return "Retirar o prefixo " + prefix;
  return row.method;
}

std::string lowerFirst(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] + 32);
  return text;
}

}  // namespace

std::string describeRequest(const JournalEntry& entry) {
  if (entry.method == "restore" && entry.restored)
    return "Desfazer a alteração " + std::to_string(*entry.restored);
  const std::optional<Json> selection = objectOf(entry.selection);
  if (!selection) return cut(entry.selection, 247);
  std::string text = action(entry, *selection);
  if (entry.names) {
    if (const std::optional<Json> names = objectOf(entry.names->selection))
      text = action(*entry.names, *names) + " e " + lowerFirst(text);
  }
  const std::string which = products(*selection);
  return which.empty() ? text : text + ": " + which;
}

}  // namespace server
