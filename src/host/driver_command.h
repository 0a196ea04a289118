#pragma once
// One line of the headless driver's command language, read into its parts:
//
//   line     := command { blank argument }
//   argument := word | json-string | integer
//
// A word is a run of characters other than blanks; a JSON string is written as JSON writes it
// ("01/12/2026", "Feij\u00e3o", "" for empty). Commands, with what they take:
//   open | activate | close | escape | state | quit | help | key KEY
//   focus NAME | click NAME | type NAME TEXT | choose NAME INDEX
//   answer yes|no | pick INDEX|cancel | mark KEY... | mark none | mark cancel
//   changes { FILTER json-string | before N | count N } | change ID [OFFSET [COUNT]] | restore ID
// where FILTER is branch, table, validity, user, since, until or method.
// Blank lines and lines starting with "#" are no command.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

// A line that is not a command of the language; the message says why, for the reply.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DriverCommand {
  std::string verb;
  std::string name;               // the control, for focus/click/type/choose
  std::string text;               // type; the key of `key`
  int index = 0;                  // choose, pick
  bool yes = false;               // answer
  bool cancel = false;            // pick cancel, mark cancel
  std::vector<std::string> keys;  // mark (empty for "mark none")
  // changes: the filters given, by name (before and count as written); change, restore: the
  // change's number, and the page of its products.
  std::vector<std::pair<std::string, std::string>> filters;
  int change = 0;
  int offset = 0;
  int count = 0;
};

// True for the commands of the journal of changes, which need no open screen.
bool IsHistoryCommand(const std::string& verb);

// The command of `line`, or nothing for a blank or comment line. Raises CommandError.
std::optional<DriverCommand> ParseCommand(const std::string& line);

// True for the keys `key` presses: left, up, right, down, and F1 to F12.
bool IsDriverKey(const std::string& key);

// The commands with their arguments, for `help`.
const std::vector<std::string>& CommandSummary();

}  // namespace host
