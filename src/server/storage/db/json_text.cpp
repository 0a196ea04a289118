#include "server/storage/db/json_text.h"

namespace server::db {

void appendJsonString(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string jsonStringArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    appendJsonString(out, items[i]);
  }
  out += ']';
  return out;
}

void JsonRows::beginRow() {
  if (rowOpen_) text_ += ']';
  text_ += rows_ == 0 ? "[[" : ",[";
  ++rows_;
  rowOpen_ = true;
  firstInRow_ = true;
}

void JsonRows::add(std::string_view text) {
  if (!firstInRow_) text_ += ',';
  firstInRow_ = false;
  appendJsonString(text_, text);
}

std::string JsonRows::take() {
  std::string out = rows_ == 0 ? "[]" : std::move(text_) + "]]";
  text_.clear();
  rows_ = 0;
  rowOpen_ = false;
  firstInRow_ = true;
  return out;
}

}  // namespace server::db
