#pragma once
// What the journal of changes answers the desk, as plain values (history_client.h reads them
// from the server's packets). Counts and numbers are as the server wrote them; times are UTC,
// "YYYY-MM-DD HH:MM:SS.mmm".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace shared {

// Which changes to list; an empty text or a zero filters nothing.
struct HistoryFilter {
  std::string branch;
  std::string table;
  double validityStart = 0;  // a date (day count)
  std::string user;
  std::string since;  // UTC, "YYYY-MM-DD[ HH:MM[:SS]]", from (inclusive)
  std::string until;  // to (exclusive)
  std::string method;
};

struct HistoryChange {
  int64_t id = 0;
  std::string when;
  std::string user;
  std::string machine;
  std::string address;  // where the call came from ("local" for the server's command line)
  std::string method;
  std::string branch, table, validityStart;  // empty for a change of names alone
  std::string request;                       // what was asked, in words
  int64_t changed = 0;
  int64_t unchanged = 0;
  // A change recorded in two parts: its names' counts; the two above are its flags'.
  std::optional<int64_t> namesChanged, namesUnchanged;
  std::string column;  // of the (second) part: IDPROMOCAO or NMPRODUTO
  std::optional<int64_t> restores;
  std::string discarded;  // when its products were discarded from the journal, or empty
  bool undoable = false;  // the caller may undo it, and its products are kept

  // The rows of its products the journal keeps, every part together.
  int64_t itemCount() const;
};

struct HistoryItem {
  std::string product;
  std::string treeCode;  // as stored, without the edit mask; empty once the product is gone
  std::string name;
  std::string column;  // NMPRODUTO (a name) or IDPROMOCAO (the promotion flag)
  std::string before;
  std::string after;
};

// What undoing a change would do now, per part.
struct UndoPreviewPart {
  std::string column;
  int64_t back = 0;
  int64_t left = 0;
};

struct LeftAloneItem {
  std::string product;
  std::optional<std::string> now;  // nullopt when the product no longer exists
};

// What undoing a change did, per part, names first.
struct UndoPart {
  std::string column;
  int64_t id = 0;  // the journal row the undo wrote for this part
  int64_t restored = 0;
  int64_t leftCount = 0;
  std::vector<LeftAloneItem> leftAlone;  // the first ones, at most a hundred
};

struct UndoResult {
  std::vector<UndoPart> parts;
  int64_t id() const { return parts.empty() ? 0 : parts.back().id; }
  int64_t restored() const;
  int64_t leftCount() const;
};

}  // namespace shared
