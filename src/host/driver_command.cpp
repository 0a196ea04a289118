#include "host/driver_command.h"

#include <nlohmann/json.hpp>

#include "rtl/dates.h"
#include "rtl/strings.h"

namespace host {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words and JSON strings.
std::vector<Token> tokenize(const std::string& line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    if (line[i] == '"') {
      size_t end = i + 1;
      while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
      if (end >= line.size()) throw CommandError("unterminated JSON string");
      const std::string json = line.substr(i, end - i + 1);
      try {
        tokens.push_back({nlohmann::json::parse(json).get<std::string>(), true});
      } catch (const nlohmann::json::exception&) {
        throw CommandError("bad JSON text " + json);
      }
      i = end + 1;
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        throw CommandError("a blank must follow a JSON string");
      continue;
    }
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    tokens.push_back({line.substr(i, end - i), false});
    i = end;
  }
  return tokens;
}

int integer(const Token& t, const std::string& what) {
  if (t.quoted || t.text.empty()) throw CommandError(what + " must be a whole number");
  size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(t.text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != t.text.size() || t.text[0] == '+')
    throw CommandError(what + " must be a whole number");
  return value;
}

void expectCount(const std::vector<Token>& tokens, size_t count, const std::string& usage) {
  if (tokens.size() != count) throw CommandError("usage: " + usage);
}

constexpr const char* kChangesUsage =
    "changes [branch|table|validity|user|since|until|method TEXT]... [before ID] [count N]";
constexpr int kDefaultItems = 100;
constexpr int kMostItems = 1000;

// changes { branch|table|validity|user|since|until|method TEXT | before N | count N }
void parseChangesFilters(const std::vector<Token>& t, DriverCommand& c) {
  static const char* const kTexts[] = {"branch", "table", "validity", "user",
                                       "since",  "until", "method"};
  for (size_t i = 1; i < t.size(); i += 2) {
    const std::string& key = t[i].text;
    if (i + 1 >= t.size() || t[i].quoted)
      throw CommandError(std::string("usage: ") + kChangesUsage);
    bool known = key == "before" || key == "count";
    for (const char* name : kTexts) known = known || key == name;
    if (!known) throw CommandError("unknown filter " + key);
    for (const auto& given : c.filters)
      if (given.first == key) throw CommandError(key + " given twice");
    if (key == "before" || key == "count") {
      const int value = integer(t[i + 1], key);
      if (value < 0 || (key == "count" && (value < 1 || value > 500)))
        throw CommandError(key == "count" ? "count is 1 to 500" : "before counts from 0");
      c.filters.emplace_back(key, std::to_string(value));
    } else {
      if (!t[i + 1].quoted) throw CommandError(key + " takes a JSON string, e.g. \"0001\"");
      rtl::TDateTime day = 0;
      if (key == "validity" && !rtl::TryParseIsoDate(t[i + 1].text, day))
        throw CommandError("validity takes a date \"YYYY-MM-DD\"");
      c.filters.emplace_back(key, t[i + 1].text);
    }
  }
}

}  // namespace

bool IsHistoryCommand(const std::string& verb) {
  return verb == "changes" || verb == "change" || verb == "restore";
}

bool IsDriverKey(const std::string& key) {
  if (key == "left" || key == "up" || key == "right" || key == "down") return true;
  if (key.size() < 2 || key.size() > 3 || key[0] != 'F') return false;
  const std::string number = key.substr(1);
  if (number.find_first_not_of("0123456789") != std::string::npos) return false;
  const int n = std::stoi(number);
  return n >= 1 && n <= 12 && number[0] != '0';
}

const std::vector<std::string>& CommandSummary() {
  static const std::vector<std::string> summary{"open",
                                                "activate",
                                                "close",
                                                "focus NAME",
                                                "type NAME TEXT",
                                                "click NAME",
                                                "choose NAME INDEX",
                                                "escape",
                                                "key left|up|right|down|F1..F12",
                                                "answer yes|no",
                                                "pick INDEX|cancel",
                                                "mark KEY...|none|cancel",
                                                "state",
                                                "help",
                                                "quit",
                                                kChangesUsage,
                                                "change ID [OFFSET [COUNT]]",
                                                "restore ID"};
  return summary;
}

std::optional<DriverCommand> ParseCommand(const std::string& line) {
  const std::string trimmed = rtl::Trim(line);
  if (trimmed.empty() || trimmed[0] == '#') return std::nullopt;
  const std::vector<Token> t = tokenize(trimmed);
  DriverCommand c;
  c.verb = t[0].text;
  const std::string& v = c.verb;
  if (t[0].quoted) throw CommandError("a command is a word, not a string");
  if (v == "open" || v == "activate" || v == "close" || v == "escape" || v == "state" ||
      v == "quit" || v == "help") {
    expectCount(t, 1, v);
  } else if (v == "focus" || v == "click") {
    expectCount(t, 2, v + " NAME");
    c.name = t[1].text;
  } else if (v == "type") {
    expectCount(t, 3, "type NAME TEXT");
    if (!t[2].quoted) throw CommandError("TEXT must be a JSON string, e.g. \"0001\"");
    c.name = t[1].text;
    c.text = t[2].text;
  } else if (v == "choose") {
    expectCount(t, 3, "choose NAME INDEX");
    c.name = t[1].text;
    c.index = integer(t[2], "INDEX");
  } else if (v == "key") {
    expectCount(t, 2, "key left|up|right|down|F1..F12");
    c.text = t[1].text;
    if (t[1].quoted || !IsDriverKey(c.text))
      throw CommandError("usage: key left|up|right|down|F1..F12");
  } else if (v == "answer") {
    expectCount(t, 2, "answer yes|no");
    if (t[1].text != "yes" && t[1].text != "no") throw CommandError("usage: answer yes|no");
    c.yes = t[1].text == "yes";
  } else if (v == "pick") {
    expectCount(t, 2, "pick INDEX|cancel");
    if (!t[1].quoted && t[1].text == "cancel") {
      c.cancel = true;
    } else {
      c.index = integer(t[1], "INDEX");
      if (c.index < 0) throw CommandError("INDEX counts from 0");
    }
  } else if (v == "mark") {
    if (t.size() < 2) throw CommandError("usage: mark KEY... | mark none | mark cancel");
    if (t.size() == 2 && !t[1].quoted && (t[1].text == "none" || t[1].text == "cancel")) {
      c.cancel = t[1].text == "cancel";
    } else {
      for (size_t i = 1; i < t.size(); ++i) {
        if (!t[i].quoted) throw CommandError("KEY must be a JSON string, e.g. \"0000000001\"");
        c.keys.push_back(t[i].text);
      }
    }
  } else if (v == "changes") {
    parseChangesFilters(t, c);
  } else if (v == "change" || v == "restore") {
    const std::string usage = v == "change" ? "change ID [OFFSET [COUNT]]" : "restore ID";
    if (t.size() < 2 || t.size() > (v == "change" ? 4u : 2u)) throw CommandError("usage: " + usage);
    c.change = integer(t[1], "ID");
    if (c.change < 1) throw CommandError("ID counts from 1");
    c.offset = t.size() > 2 ? integer(t[2], "OFFSET") : 0;
    c.count = t.size() > 3 ? integer(t[3], "COUNT") : kDefaultItems;
    if (c.offset < 0 || c.count < 1 || c.count > kMostItems)
      throw CommandError("OFFSET counts from 0; COUNT is 1 to " + std::to_string(kMostItems));
  } else {
    throw CommandError("unknown command " + v);
  }
  if (!c.name.empty() && t[1].quoted)
    throw CommandError("NAME is a control name, written without quotes");
  return c;
}

}  // namespace host
