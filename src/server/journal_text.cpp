#include "server/journal_text.h"

#include <algorithm>
#include <optional>

#include "server/flat_json.h"
#include "server/storage/db/json_text.h"

namespace server {

namespace {

size_t characters(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string quoted(std::string_view text) {
  std::string out;
  db::appendJsonString(out, text);
  return out;
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

void appendNullable(std::string& out, const char* name, const std::optional<std::string>& value) {
  out += ",\"";
  out += name;
  out += "\":";
  if (value) {
    db::appendJsonString(out, *value);
  } else {
    out += "null";
  }
}

std::optional<std::string> nonEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

// The object of one change, without its closing brace.
std::string jsonObject(const JournalEntry& e) {
  std::string out = "{\"id\":" + std::to_string(e.id);
  appendNullable(out, "when", e.when);
  appendNullable(out, "client", e.client);
  appendNullable(out, "user", nonEmpty(e.user));
  appendNullable(out, "machine", nonEmpty(e.machine));
  appendNullable(out, "method", e.method);
  appendNullable(out, "branch", e.branch);
  appendNullable(out, "table", e.table);
  appendNullable(out, "start", e.start);
  // Recorded by this server as JSON; anything else is passed on as a string.
  out += ",\"selection\":";
  if (parseFlatJson(e.selection)) {
    out += e.selection;
  } else {
    db::appendJsonString(out, e.selection);
  }
  out += ",\"changed\":" + std::to_string(e.changed);
  out += ",\"unchanged\":" + std::to_string(e.unchanged);
  appendNullable(out, "column", e.column);
  out += ",\"restores\":" + (e.restored ? std::to_string(*e.restored) : std::string("null"));
  appendNullable(out, "discarded", e.discarded);
  return out;
}

}  // namespace

std::string selectionSummary(std::string_view json) {
  const auto fields = parseFlatJson(json);
  if (!fields) return std::string(json);
  std::string out;
  for (const JsonField& field : *fields) {
    std::string part;
    switch (field.kind) {
      case JsonField::Kind::String:
        if (field.text.empty()) continue;
        // A product selection list holds 11 characters per product and one more.
        part = field.key == "lista"
                   ? "lista=" + std::to_string((characters(field.text) - 1) / 11) + " produtos"
                   : field.key + "=" + quoted(field.text);
        break;
      case JsonField::Kind::Number:
        part = field.key + "=" + field.text;
        break;
      case JsonField::Kind::Boolean:
        if (field.text != "true") continue;
        part = field.key;
        break;
      case JsonField::Kind::Null:
        continue;
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
    rows.push_back({"", quoted(item.product), quoted(item.before) + " -> " + quoted(item.after)});
  return out + aligned(rows);
}

std::string journalJson(const std::vector<JournalEntry>& entries) {
  std::string out = "[";
  for (size_t i = 0; i < entries.size(); ++i)
    out += (i ? ",\n" : "\n") + jsonObject(entries[i]) + "}";
  return out + (entries.empty() ? "]\n" : "\n]\n");
}

std::string journalJson(const JournalEntry& entry, const std::vector<JournalItem>& items) {
  std::string out = jsonObject(entry) + ",\"items\":[";
  for (size_t i = 0; i < items.size(); ++i) {
    out += i ? ",\n" : "\n";
    out += "{\"product\":" + quoted(items[i].product) + ",\"before\":" + quoted(items[i].before) +
           ",\"after\":" + quoted(items[i].after) + "}";
  }
  return out + (items.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace server
