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

std::vector<Line> tableLines(const std::vector<JournalEntry>& entries) {
  std::vector<Line> lines{{"ID", "WHEN (UTC)", "WHO", "METHOD", "HEADER", "CHANGED", "UNCHANGED",
                           "RESTORES", "SELECTION"}};
  for (const JournalEntry& e : entries)
    lines.push_back({std::to_string(e.id), e.when, e.client, e.method, header(e),
                     std::to_string(e.changed), std::to_string(e.unchanged),
                     e.restored ? std::to_string(*e.restored) : "-",
                     selectionSummary(e.selection)});
  return lines;
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
  return Json{{"id", e.id},
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

std::string journalTable(const JournalEntry& entry, const std::vector<JournalItem>& items) {
  std::string out = aligned(tableLines({entry}));
  if (entry.discarded)
    out += "  (its rows were discarded from the journal on " + *entry.discarded + " UTC)\n";
  std::vector<Line> rows;
  for (const JournalItem& item : items)
    rows.push_back(
        {"", jsonQuoted(item.product), jsonQuoted(item.before) + " -> " + jsonQuoted(item.after)});
  return out + aligned(rows);
}

std::string journalJson(const std::vector<JournalEntry>& entries) {
  // One change per line, so that a reader can also take the output line by line.
  std::string out = "[";
  for (size_t i = 0; i < entries.size(); ++i)
    out += (i ? ",\n" : "\n") + text(jsonObject(entries[i]));
  return out + (entries.empty() ? "]\n" : "\n]\n");
}

std::string journalJson(const JournalEntry& entry, const std::vector<JournalItem>& items) {
  std::string out = text(jsonObject(entry));
  out.pop_back();  // the closing brace, after which the items follow
  out += ",\"items\":[";
  for (size_t i = 0; i < items.size(); ++i) {
    const Json item{
        {"product", items[i].product}, {"before", items[i].before}, {"after", items[i].after}};
    out += (i ? ",\n" : "\n") + text(item);
  }
  return out + (items.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace server
