#pragma once
// A checked product selection and its SQL: the condition that picks the selected products, for
// use in statements over PRODUTO or ITEMPRECO, and the lookups of listed codes that do not
// exist. (Reading a selection from a call's texts, and refusing it, is the server object's.)

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/storage/db/connection.h"
#include "server/storage/db/sql.h"

namespace server {

struct Selection {
  enum class Mode { All, List, Range };
  Mode mode = Mode::All;
  std::vector<std::string> codes;  // List: in list order, each once
  std::string first, last;         // Range: normalised tree codes, first <= last
};

// The header of a change: one validity period of a price table of a branch (ISO start day).
struct ValidityKey {
  std::string branch;
  std::string table;
  std::string start;
};

// A condition true exactly for the selected products, on the product-code column `codeColumn`
// of the statement it is placed in. The list travels as one bound JSON array; the range
// compares normalised tree codes in byte order.
db::Sql productCondition(const Selection& selection, db::Engine engine,
                         std::string_view codeColumn);

// The condition of productCondition for a change that places it in several statements of one
// transaction. On SQLite a range is worked out once, into a table of the connection's own, and
// the condition reads that: SQLite would otherwise normalise every product's tree code again
// in each statement. Other selections, and PostgreSQL (which indexes the normalised codes),
// get productCondition itself.
db::Sql gatheredProductCondition(db::Connection& c, const Selection& selection,
                                 std::string_view codeColumn);

// In list mode, the first listed code (in list order) that is not a product; nullopt when every
// one is, and in the other modes.
std::optional<std::string> firstMissingProduct(db::Connection& c, const Selection& selection);
// In list mode, the first listed code that is not an item of the validity.
std::optional<std::string> firstMissingItem(db::Connection& c, const Selection& selection,
                                            const ValidityKey& key);

}  // namespace server
