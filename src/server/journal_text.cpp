#include "server/journal_text.h"

#include <algorithm>
#include <optional>

#include "server/storage/db/json_text.h"

namespace server {

namespace {

// A value of a flat JSON object: its text unescaped (strings) or as written (the others),
// and exactly as written.
struct JsonField {
  enum class Kind { String, Number, Boolean, Null };
  std::string key;
  Kind kind = Kind::Null;
  std::string text;
  std::string_view raw;
};

// Reads the flat JSON objects the journal records: {"key": value, ...} with string, number,
// true, false or null values and nothing nested.
class FlatJsonReader {
 public:
  explicit FlatJsonReader(std::string_view text) : text_(text) {}

  std::optional<std::vector<JsonField>> read() {
    std::vector<JsonField> fields;
    if (!take('{')) return std::nullopt;
    if (!take('}')) {
      do {
        JsonField field;
        const auto key = string();
        if (!key || !take(':')) return std::nullopt;
        field.key = *key;
        if (!value(field)) return std::nullopt;
        fields.push_back(std::move(field));
      } while (take(','));
      if (!take('}')) return std::nullopt;
    }
    blanks();
    if (at_ != text_.size()) return std::nullopt;
    return fields;
  }

 private:
  void blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
      ++at_;
  }
  bool take(char c) {
    blanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

  bool value(JsonField& field) {
    blanks();
    const size_t start = at_;
    if (at_ < text_.size() && text_[at_] == '"') {
      const auto text = string();
      if (!text) return false;
      field.kind = JsonField::Kind::String;
      field.text = *text;
    } else if (word("true") || word("false")) {
      field.kind = JsonField::Kind::Boolean;
    } else if (word("null")) {
      field.kind = JsonField::Kind::Null;
    } else {
      while (at_ < text_.size() &&
             std::string_view("-+.eE0123456789").find(text_[at_]) != std::string_view::npos)
        ++at_;
      if (at_ == start) return false;
      field.kind = JsonField::Kind::Number;
    }
    field.raw = text_.substr(start, at_ - start);
    if (field.kind != JsonField::Kind::String) field.text = std::string(field.raw);
    return true;
  }

  static void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::optional<unsigned> hex4() {
    if (at_ + 4 > text_.size()) return std::nullopt;
    unsigned code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return std::nullopt;
      code = code * 16 + static_cast<unsigned>(digit);
    }
    return code;
  }

  std::optional<std::string> string() {
    if (!take('"')) return std::nullopt;
    std::string out;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return std::nullopt;
      const char e = text_[at_++];
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meant = "\"\\/\b\f\n\r\t";
      if (const size_t i = simple.find(e); i != std::string_view::npos) {
        out += meant[i];
      } else if (e == 'u') {
        auto code = hex4();
        if (!code || (*code >= 0xDC00 && *code < 0xE000)) return std::nullopt;
        if (*code >= 0xD800 && *code < 0xDC00) {
          if (!word("\\u")) return std::nullopt;
          const auto low = hex4();
          if (!low || *low < 0xDC00 || *low >= 0xE000) return std::nullopt;
          code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
        }
        appendUtf8(out, *code);
      } else {
        return std::nullopt;
      }
    }
    return std::nullopt;
  }

  std::string_view text_;
  size_t at_ = 0;
};

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
  if (FlatJsonReader(e.selection).read()) {
    out += e.selection;
  } else {
    db::appendJsonString(out, e.selection);
  }
  out += ",\"changed\":" + std::to_string(e.changed);
  out += ",\"unchanged\":" + std::to_string(e.unchanged);
  appendNullable(out, "column", e.column);
  out += ",\"restores\":" + (e.restored ? std::to_string(*e.restored) : std::string("null"));
  return out;
}

}  // namespace

std::string selectionSummary(std::string_view json) {
  const auto fields = FlatJsonReader(json).read();
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
