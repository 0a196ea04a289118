#pragma once
// The journal as `vnd42400 journal` prints it: a table for people, or JSON for programs.
//
// Table: a header line, then one line per change, columns aligned and separated by two
// blanks: ID, WHEN (UTC), WHO (the client address and the user@machine it gave), METHOD,
// HEADER (branch/table/validity start, "-" for name changes), CHANGED, UNCHANGED, RESTORES (the
// change a restore put back, "-" otherwise) and SELECTION (selectionSummary). A change shown
// with its rows is followed by one line per row: `  "CDPRODUTO"  "before" -> "after"`, or, when
// they were discarded, by a line that says so.
//
// A change recorded in two rows (a confirmation that changed names and flags, or a restore of
// one) is one line under its second row's ID: METHOD shows both methods when they differ
// ("SetAddPrefixo+SetUpdItemPrecoAlt"), CHANGED and UNCHANGED the names' count and the flags'
// ("3+5"), SELECTION both selections, the second's values over the first's. Its rows follow
// under a line per part: "  NMPRODUTO (change 4):", then "  IDPROMOCAO (change 5):".
//
// JSON: an array with one object per change:
//   {"id":1,"when":"2024-05-02 13:45:10.123","client":"127.0.0.1:50412 ana@caixa1",
//    "user":"ana","machine":"caixa1","method":"SetUpdItemPrecoAlt","branch":"0001",
//    "table":"001","start":"2024-01-01","selection":{...as recorded...},"changed":5,
//    "unchanged":1,"column":"IDPROMOCAO","restores":null,"discarded":null}
// user, machine, branch, table, start, column and restores are null when not recorded;
// discarded is when the change's rows were discarded (prune), null while they are kept. With
// the rows, the object has "items":[{"product":"PRD0000001","before":"N","after":"S"},...].
// A change in two rows is the object of its second row with "names", the object of its first
// (with its own "items" when the rows are asked for); a change of one row has no "names".

#include <string>
#include <string_view>
#include <vector>

#include "server/storage/journal/journal_reader.h"

namespace server {

// "promocao=\"S\" todos=\"T\"", "prefixo=\"PROMO \" lista=3 produtos", "alteracao=17": the
// filled-in values of a recorded selection, the product list by its size. A text that is not
// a JSON object is shown as it is.
std::string selectionSummary(std::string_view json);

std::string journalTable(const std::vector<JournalEntry>& entries);
// One change and its rows; `names`, the rows of its first row when it has two.
std::string journalTable(const JournalEntry& entry, const std::vector<JournalItem>& items,
                         const std::vector<JournalItem>& names = {});

std::string journalJson(const std::vector<JournalEntry>& entries);
std::string journalJson(const JournalEntry& entry, const std::vector<JournalItem>& items,
                        const std::vector<JournalItem>& names = {});

}  // namespace server
