#pragma once
// Reading the journal of changes: the ALTERACAOLOG rows (one per change, restores included)
// and the ALTERACAOITEM rows of one change (per row it changed, the value before and after).
// A change recorded in two rows (record.h: a confirmation that changed names and flags, or a
// restore of one) is read as one entry, known by the number of its second row. Read-only:
// listChanges runs in one consistent read, the others in the caller's transaction if any.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/storage/db/connection.h"

namespace server {

struct JournalEntry {
  int64_t id = 0;
  std::string when;                                 // UTC, "YYYY-MM-DD HH:MM:SS.mmm"
  std::string client;                               // "peer" or "peer user@host", as recorded
  std::string user;                                 // as the client said; empty when it did not
  std::string machine;                              // likewise
  std::string method;                               // a method of the server object, or "restore"
  std::optional<std::string> branch, table, start;  // the header of an item change
  std::string selection;                            // JSON object, as recorded
  int64_t changed = 0;
  int64_t unchanged = 0;  // selected but in the requested state already (restore: left alone)
  // The column ALTERACAOITEM holds values of (IDPROMOCAO, NMPRODUTO); nullopt for a change
  // whose values were not journaled, which cannot be restored.
  std::optional<std::string> column;
  std::optional<int64_t> restored;  // a restore: the change it put back
  // When its rows were discarded from the journal (prune.h), UTC; it cannot be restored since.
  std::optional<std::string> discarded;
  // A change recorded in two rows: its first row, which holds the names, the fields above being
  // the second's, which holds the flags. Null for a change of one row.
  std::shared_ptr<const JournalEntry> names;
};

struct JournalItem {
  std::string product;  // CDPRODUTO, trailing blanks included
  std::string before;
  std::string after;
};

// The method of a change: of a change in two whose rows' methods differ, both, the first row's
// first ("SetAddPrefixo+SetUpdItemPrecoAlt").
std::string changeMethods(const JournalEntry& entry);

// The canonical UTC timestamp "YYYY-MM-DD HH:MM:SS.000" of "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or
// "YYYY-MM-DD HH:MM:SS" (a "T" may stand for the blank); nullopt when it is not a valid day
// and time.
std::optional<std::string> journalTimestamp(std::string_view text);

// The changes recorded at or after `since` (a canonical timestamp; every change when nullopt),
// by ID.
std::vector<JournalEntry> listChanges(db::Connection& c, const std::optional<std::string>& since);
// The change recorded in row `id`: of a change recorded in two rows, either row finds it whole.
std::optional<JournalEntry> findChange(db::Connection& c, int64_t id);
// The rows the journal row `id` changed, by product code in byte order.
std::vector<JournalItem> changeItems(db::Connection& c, int64_t id);

// Which changes a page of the journal holds, and which its reader may see; an absent value
// filters nothing.
struct JournalFilter {
  std::optional<std::string> branch, table, start;  // start: "YYYY-MM-DD"
  std::optional<std::string> user;                  // as recorded
  std::optional<std::string> since, until;          // canonical timestamps: since <= when < until
  std::optional<std::string> method;                // of either row of a change in two
  // The reader's branches, nullopt for every branch. Name changes have no branch: they are
  // listed only with `names`.
  std::optional<std::vector<std::string>> branches;
  bool names = true;
};

// The changes that pass `filter`, newest first: those numbered below `before` (all when
// nullopt), at most `limit`, read in one consistent read.
std::vector<JournalEntry> listChangePage(db::Connection& c, const JournalFilter& filter,
                                         std::optional<int64_t> before, int64_t limit);

// The parts of a change, in the order they are shown and restored: its names' row first, when
// it has two rows.
std::vector<const JournalEntry*> changeParts(const JournalEntry& entry);
// How many ALTERACAOITEM rows a part of a change keeps: none when its values were not
// journaled or were discarded.
int64_t keptItems(const JournalEntry& part);

// One row of a change's products, with the product as it is now (nullopt once it is gone).
struct JournalItemRow {
  std::string column;  // the part's DSCAMPO
  JournalItem item;
  std::optional<std::string> treeCode, name;
};

// At most `limit` rows of `entry` from position `offset`: the parts one after the other, each
// by product code in byte order. Each page sorts its part's rows, so it costs a read of them.
std::vector<JournalItemRow> changeItemPage(db::Connection& c, const JournalEntry& entry,
                                           int64_t offset, int64_t limit);

}  // namespace server
