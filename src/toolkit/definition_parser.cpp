// The form definition format, one object per block:
//
//   definition := object
//   object     := ("object" | "inherited") NAME ":" CLASS { property } { object } "end"
//   property   := NAME "=" value                 NAME may be dotted: Font.Style, Glyph.Data
//   value      := ["-"] DIGITS                   Left = 271, Font.Height = -11
//               | string { "+" string }          Hint = 'a' + 'b' ("+" may end a line)
//               | IDENT                          True, clInfoBk, taCenter, dtmDBGeral.dtbGeral
//               | "[" [ IDENT { "," IDENT } ] "]"    Font.Style = [fsBold]
//               | "(" { value } ")"              Items = ('one' 'two'); lists may nest
//               | "{" { HEXDIGIT } "}"           Glyph.Data = {0A0B...}: bytes, may span lines
//   string     := "'" { CHAR | "''" } "'"        UTF-8 text on one line; '' is one quote
//
// Objects within objects and lists within lists nest at most 64 deep, so that no text can
// exhaust the reader's stack; the product's definitions nest a few levels.
//
// Words are separated by blanks and line ends, which carry no other meaning. A line whose
// first non-blank character is "#" is a comment; "#" anywhere else is an error (there are no
// character codes). Properties come before the nested objects of a block. Property names
// starting with "On", "Before" or "After" followed by a capital letter are events, whose
// value is the name of a handler of the form.

#include "toolkit/definition_parser.h"

#include <cctype>

namespace tk {

namespace {

enum class Tok { End, Ident, Int, String, Binary, Symbol };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // identifier, string contents, binary bytes, or the symbol
  int64_t number = 0;
  int line = 0;
};

bool identStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool identPart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Lexer {
 public:
  Lexer(std::string_view text, std::string_view source) : s_(text), source_(source) {}

  [[noreturn]] void fail(int line, const std::string& what) const {
    throw EDefinitionError(std::string(source_) + ":" + std::to_string(line) + ": " + what);
  }

  Token next() {
    skipBlanks();
    Token t;
    t.line = line_;
    if (pos_ >= s_.size()) return t;
    const char c = s_[pos_];
    if (identStart(c)) {
      const size_t start = pos_;
      while (pos_ < s_.size() && identPart(s_[pos_])) ++pos_;
      t.kind = Tok::Ident;
      t.text = std::string(s_.substr(start, pos_ - start));
      if (t.text.back() == '.' || t.text.find("..") != std::string::npos)
        fail(line_, "malformed name " + t.text);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      t.kind = Tok::Int;
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
        if (t.number > (INT64_MAX - 9) / 10) fail(line_, "number too large");
        t.number = t.number * 10 + (s_[pos_++] - '0');
      }
      if (pos_ < s_.size() && identPart(s_[pos_])) fail(line_, "malformed number");
    } else if (c == '\'') {
      t.kind = Tok::String;
      t.text = readString();
    } else if (c == '{') {
      t.kind = Tok::Binary;
      t.text = readBinary();
    } else if (std::string_view("=:[](),+-}").find(c) != std::string_view::npos) {
      t.kind = Tok::Symbol;
      t.text = std::string(1, c);
      ++pos_;
    } else {
      fail(line_, std::string("unexpected character '") + c + "'");
    }
    return t;
  }

 private:
  void skipBlanks() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
        atLineStart_ = true;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '#' && atLineStart_) {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else {
        atLineStart_ = false;
        return;
      }
    }
  }

  std::string readString() {
    std::string out;
    ++pos_;  // opening quote
    while (true) {
      if (pos_ >= s_.size() || s_[pos_] == '\n') fail(line_, "unterminated string");
      const char c = s_[pos_++];
      if (c != '\'') {
        out += c;
      } else if (pos_ < s_.size() && s_[pos_] == '\'') {
        out += '\'';
        ++pos_;
      } else {
        return out;
      }
    }
  }

  std::string readBinary() {
    const int startLine = line_;
    ++pos_;  // "{"
    std::string bytes;
    int high = -1;
    while (true) {
      if (pos_ >= s_.size()) fail(startLine, "unterminated binary value");
      const char c = s_[pos_++];
      if (c == '}') break;
      if (c == '\n') {
        ++line_;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      const int v = hexValue(c);
      if (v < 0) fail(line_, std::string("unexpected character '") + c + "' in binary value");
      if (high < 0) {
        high = v;
      } else {
        bytes += static_cast<char>(high * 16 + v);
        high = -1;
      }
    }
    if (high >= 0) fail(line_, "binary value with an odd number of hex digits");
    return bytes;
  }

  std::string_view s_;
  std::string_view source_;
  size_t pos_ = 0;
  int line_ = 1;
  bool atLineStart_ = true;
};

class Parser {
 public:
  Parser(std::string_view text, std::string_view source) : lex_(text, source) { advance(); }

  DefObject parseDefinition() {
    DefObject root = parseObject();
    if (tok_.kind != Tok::End) lex_.fail(tok_.line, "text after the final end");
    return root;
  }

 private:
  void advance() { tok_ = lex_.next(); }
  bool isSymbol(const char* s) const { return tok_.kind == Tok::Symbol && tok_.text == s; }
  bool isWord(const char* w) const { return tok_.kind == Tok::Ident && tok_.text == w; }
  [[noreturn]] void unexpected(const std::string& expected) const {
    std::string got =
        tok_.kind == Tok::End      ? "the end of the text"
        : tok_.kind == Tok::String ? "a string"
        : tok_.kind == Tok::Binary
            ? "a binary value"
            : "'" + (tok_.kind == Tok::Int ? std::to_string(tok_.number) : tok_.text) + "'";
    lex_.fail(tok_.line, expected + " expected, found " + got);
  }
  std::string expectIdent(const std::string& what) {
    if (tok_.kind != Tok::Ident) unexpected(what);
    std::string s = tok_.text;
    advance();
    return s;
  }
  void expectSymbol(const char* s) {
    if (!isSymbol(s)) unexpected(std::string("'") + s + "'");
    advance();
  }

  // Counts the objects and lists being read inside each other.
  class Nesting {
   public:
    explicit Nesting(Parser& parser) : parser_(parser) {
      if (parser_.depth_ == kMaxNesting)
        parser_.lex_.fail(parser_.tok_.line,
                          "nested deeper than " + std::to_string(kMaxNesting) + " levels");
      ++parser_.depth_;
    }
    ~Nesting() { --parser_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    Parser& parser_;
  };
  static constexpr int kMaxNesting = 64;

  DefObject parseObject() {
    const Nesting nesting(*this);
    DefObject obj;
    obj.line = tok_.line;
    if (isWord("object")) {
      obj.inherited = false;
    } else if (isWord("inherited")) {
      obj.inherited = true;
    } else {
      unexpected("'object' or 'inherited'");
    }
    advance();
    obj.name = expectIdent("a component name");
    if (obj.name.find('.') != std::string::npos)
      lex_.fail(obj.line, "malformed component name " + obj.name);
    expectSymbol(":");
    obj.className = expectIdent("a class name");
    while (!isWord("end")) {
      if (isWord("object") || isWord("inherited")) {
        obj.children.push_back(parseObject());
      } else if (tok_.kind == Tok::Ident) {
        if (!obj.children.empty())
          lex_.fail(tok_.line, "property " + tok_.text + " after a nested object");
        DefProperty p;
        p.line = tok_.line;
        p.name = expectIdent("a property name");
        expectSymbol("=");
        p.value = parseValue();
        obj.properties.push_back(std::move(p));
      } else {
        unexpected("a property, a nested object or 'end'");
      }
    }
    advance();  // "end"
    return obj;
  }

  PropValue parseValue() {
    PropValue v;
    if (isSymbol("-")) {
      advance();
      if (tok_.kind != Tok::Int) unexpected("a number");
      v = PropValue::Int(-tok_.number);
      advance();
    } else if (tok_.kind == Tok::Int) {
      v = PropValue::Int(tok_.number);
      advance();
    } else if (tok_.kind == Tok::String) {
      std::string s = tok_.text;
      advance();
      while (isSymbol("+")) {
        advance();
        if (tok_.kind != Tok::String) unexpected("a string after '+'");
        s += tok_.text;
        advance();
      }
      v = PropValue::Str(std::move(s));
    } else if (tok_.kind == Tok::Ident) {
      v = PropValue::Ident(tok_.text);
      advance();
    } else if (tok_.kind == Tok::Binary) {
      v.kind = PropValue::Kind::Binary;
      v.text = tok_.text;
      advance();
    } else if (isSymbol("[")) {
      advance();
      v.kind = PropValue::Kind::Set;
      if (!isSymbol("]")) {
        v.items.push_back(PropValue::Ident(expectIdent("a set element")));
        while (isSymbol(",")) {
          advance();
          v.items.push_back(PropValue::Ident(expectIdent("a set element")));
        }
      }
      expectSymbol("]");
    } else if (isSymbol("(")) {
      const Nesting nesting(*this);
      advance();
      v.kind = PropValue::Kind::List;
      while (!isSymbol(")")) {
        if (tok_.kind == Tok::End) unexpected("')'");
        v.items.push_back(parseValue());
      }
      advance();
    } else {
      unexpected("a value");
    }
    return v;
  }

  Lexer lex_;
  Token tok_;
  int depth_ = 0;
};

}  // namespace

DefObject ParseDefinition(std::string_view text, std::string_view source) {
  return Parser(text, source).parseDefinition();
}

}  // namespace tk
