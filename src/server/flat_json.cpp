#include "server/flat_json.h"

namespace server {

namespace {

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
    if (field.kind != JsonField::Kind::String)
      field.text = std::string(text_.substr(start, at_ - start));
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

}  // namespace

std::optional<std::vector<JsonField>> parseFlatJson(std::string_view text) {
  return FlatJsonReader(text).read();
}

}  // namespace server
