#pragma once
// Writing the journal of changes: one row of ALTERACAOLOG per change that succeeded (restores
// included), written in the change's own transaction, so a change is never kept without its
// record nor recorded without being kept. The row is opened before the change runs (its ID
// marks the change's ALTERACAOITEM rows) and closed with the counts once it has run. The
// selection is kept as sent, as a JSON object of the method's text arguments, e.g.
// {"prefixo":"PROMO ","inicial":"","final":"","lista":"","todos":"T"}.
//
// A change may be recorded in two rows, one per column it changed, read as one change: the
// second row names the first (IDVINCULADA). A promotion update that completes the prefix change
// of the same confirmation (object/prefix_link.h) names that prefix change's row; a restore of
// such a change writes a row for the names and one for the flags, the second naming the first.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/storage/db/connection.h"
#include "server/storage/journal/item_runs.h"

namespace server {

// The column whose values a change's ALTERACAOITEM rows hold (ALTERACAOLOG.DSCAMPO).
inline constexpr const char* kPromotionColumn = "IDPROMOCAO";  // items of the header's validity
inline constexpr const char* kNameColumn = "NMPRODUTO";        // product names

struct ChangeRecord {
  std::string method;
  std::string client;                               // the peer, and who it said it is
  std::string user, machine;                        // callerText(); empty when not said
  std::optional<std::string> branch, table, start;  // the header of an item change
  std::string selection;                            // a JSON object, as above
  // kPromotionColumn or kNameColumn; nullopt when the change's values were not journaled.
  std::optional<std::string> column;
  std::optional<int64_t> restored;  // a restore: the change it put back
  std::optional<int64_t> linked;    // the first row of a change recorded in two (above)
};

// A name the client gave for itself (user, machine), made storable: bytes that are not clean
// UTF-8 become "?", and it is cut to 100 bytes on a character boundary.
std::string callerText(std::string_view text);
// The client as recorded: "peer", or "peer user@machine" when it said who it is; storable and
// at most 200 bytes.
std::string clientText(std::string_view peer, std::string_view user, std::string_view machine);

// The current time in UTC, "YYYY-MM-DD HH:MM:SS.mmm".
std::string utcTimestamp();

// Adds the change's row with no rows counted yet and returns its ID.
int64_t openRecord(db::Connection& c, const ChangeRecord& record);
// Stores the counts: rows changed, and rows selected that were in the requested state already;
// and, on SQLite, where the change's ALTERACAOITEM rows are.
void closeRecord(db::Connection& c, int64_t id, int64_t changed, int64_t unchanged,
                 const std::optional<ItemRun>& items);

}  // namespace server
