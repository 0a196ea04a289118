#include "server/cli/journal_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace server {

namespace {

size_t characters(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

using Json = nlohmann::ordered_json;

// Text from the database, as a JSON string: quoted, with control characters escaped.
std::string jsonQuoted(std::string_view text) {
  return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The recorded selection, when it is a JSON object.
std::optional<Json> selectionObject(std::string_view text) {
  Json json = Json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;
  return json;
}

std::string header(const JournalEntry& e) {
  if (!e.branch && !e.table && !e.start) return "-";
  return e.branch.value_or("") + "/" + e.table.value_or("") + "/" + e.start.value_or("");
}

using Line = std::vector<std::string>;

std::string aligned(const std::vector<Line>& lines) {
  std::vector<size_t> widths;
  for (const Line& line : lines) {
    widths.resize(std::max(widths.size(), line.size()));
    for (size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], characters(line[i]));
  }
  std::string out;
  for (const Line& line : lines) {
    for (size_t i = 0; i < line.size(); ++i) {
      out += line[i];
      if (i + 1 < line.size()) out.append(widths[i] - characters(line[i]) + 2, ' ');
    }
    out += '\n';
  }
  return out;
}

// A change in two rows shows both: "names+flags" for the counts, both methods when they
// differ, and one selection with the second row's values over the first's.
std::string both(const JournalEntry& e, int64_t JournalEntry::*count) {
  if (!e.names) return std::to_string(e.*count);
  return std::to_string((*e.names).*count) + "+" + std::to_string(e.*count);
}

std::string selectionOf(const JournalEntry& e) {
  if (!e.names) return e.selection;
  std::optional<Json> merged = selectionObject(e.names->selection);
  const std::optional<Json> second = selectionObject(e.selection);
  if (!merged || !second) return e.selection;
  for (const auto& [key, value] : second->items()) (*merged)[key] = value;
  return merged->dump();
}

std::vector<Line> tableLines(const std::vector<JournalEntry>& entries) {
  std::vector<Line> lines{{"ID", "WHEN (UTC)", "WHO", "METHOD", "HEADER", "CHANGED", "UNCHANGED",
                           "RESTORES", "SELECTION"}};
  for (const JournalEntry& e : entries)
    lines.push_back({std::to_string(e.id), e.when, e.client, changeMethods(e), header(e),
                     both(e, &JournalEntry::changed), both(e, &JournalEntry::unchanged),
                     e.restored ? std::to_string(*e.restored) : "-",
                     selectionSummary(selectionOf(e))});
  return lines;
}

// The rows of one journal row, after a line that says when they were discarded.
std::string rowLines(const JournalEntry& e, const std::vector<JournalItem>& items) {
  std::string out;
  if (e.discarded)
    out += "  (its rows were discarded from the journal on " + *e.discarded + " UTC)\n";
  std::vector<Line> rows;
  for (const JournalItem& item : items)
    rows.push_back(
        {"", jsonQuoted(item.product), jsonQuoted(item.before) + " -> " + jsonQuoted(item.after)});
  return out + aligned(rows);
}

// "  NMPRODUTO (change 4):", heading the rows of one row of a change in two.
std::string partLine(const JournalEntry& e) {
  return "  " + e.column.value_or("?") + " (change " + std::to_string(e.id) + "):\n";
}

Json nullable(const std::optional<std::string>& value) {
  return value ? Json(*value) : Json(nullptr);
}

std::optional<std::string> nonEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

Json jsonObject(const JournalEntry& e) {
  // Recorded by this server as a JSON object; anything else is passed on as a string.
  std::optional<Json> selection = selectionObject(e.selection);
  Json object{{"id", e.id},
              {"when", e.when},
              {"client", e.client},
              {"user", nullable(nonEmpty(e.user))},
              {"machine", nullable(nonEmpty(e.machine))},
              {"method", e.method},
              {"branch", nullable(e.branch)},
              {"table", nullable(e.table)},
              {"start", nullable(e.start)},
              {"selection", selection ? std::move(*selection) : Json(e.selection)},
              {"changed", e.changed},
              {"unchanged", e.unchanged},
              {"column", nullable(e.column)},
              {"restores", e.restored ? Json(*e.restored) : Json(nullptr)},
              {"discarded", nullable(e.discarded)}};
  if (e.names) object["names"] = jsonObject(*e.names);
  return object;
}

Json itemObject(const JournalItem& item) {
  return Json{{"product", item.product}, {"before", item.before}, {"after", item.after}};
}

std::string text(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string selectionSummary(std::string_view json) {
  const std::optional<Json> fields = selectionObject(json);
  if (!fields) return std::string(json);
  std::string out;
  for (const auto& [key, value] : fields->items()) {
    std::string part;
    if (value.is_string()) {
      const auto& text = value.get_ref<const std::string&>();
      if (text.empty()) continue;
      // A product selection list holds 11 characters per product and one more.
      part = key == "lista" ? "lista=" + std::to_string((characters(text) - 1) / 11) + " produtos"
                            : key + "=" + jsonQuoted(text);
    } else if (value.is_boolean()) {
      if (!value.get<bool>()) continue;
      part = key;
    } else if (value.is_null()) {
      continue;
    } else {
      part = key + "=" + text(value);
    }
    out += (out.empty() ? "" : " ") + part;
  }
  return out;
}

std::string journalTable(const std::vector<JournalEntry>& entries) {
  return aligned(tableLines(entries));
}

std::string journalTable(const JournalEntry& entry, const std::vector<JournalItem>& items,
                         const std::vector<JournalItem>& names) {
  std::string out = aligned(tableLines({entry}));
  if (!entry.names) return out + rowLines(entry, items);
  return out + partLine(*entry.names) + rowLines(*entry.names, names) + partLine(entry) +
         rowLines(entry, items);
}

std::string journalJson(const std::vector<JournalEntry>& entries) {
  // One change per line, so that a reader can also take the output line by line.
  std::string out = "[";
  for (size_t i = 0; i < entries.size(); ++i)
    out += (i ? ",\n" : "\n") + text(jsonObject(entries[i]));
  return out + (entries.empty() ? "]\n" : "\n]\n");
}

std::string journalJson(const JournalEntry& entry, const std::vector<JournalItem>& items,
                        const std::vector<JournalItem>& names) {
  Json object = jsonObject(entry);
  if (entry.names) {
    Json& rows = object["names"]["items"] = Json::array();
    for (const JournalItem& item : names) rows.push_back(itemObject(item));
  }
  std::string out = text(object);
  out.pop_back();  // the closing brace, after which the items follow, one per line
  out += ",\"items\":[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ",\n" : "\n") + text(itemObject(items[i]));
  return out + (items.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace server
