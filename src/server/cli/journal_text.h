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
// JSON: an array with one object per change:
//   {"id":1,"when":"2024-05-02 13:45:10.123","client":"127.0.0.1:50412 ana@caixa1",
//    "user":"ana","machine":"caixa1","method":"SetUpdItemPrecoAlt","branch":"0001",
//    "table":"001","start":"2024-01-01","selection":{...as recorded...},"changed":5,
//    "unchanged":1,"column":"IDPROMOCAO","restores":null,"discarded":null}
// user, machine, branch, table, start, column and restores are null when not recorded;
// discarded is when the change's rows were discarded (prune), null while they are kept. With
// the rows, the object has "items":[{"product":"PRD0000001","before":"N","after":"S"},...].

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
// One change and its rows.
std::string journalTable(const JournalEntry& entry, const std::vector<JournalItem>& items);

std::string journalJson(const std::vector<JournalEntry>& entries);
std::string journalJson(const JournalEntry& entry, const std::vector<JournalItem>& items);

}  // namespace server
