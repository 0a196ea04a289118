#pragma once
// A checked product selection in SQL: the condition that picks the selected products, for use
// in statements over PRODUTO or ITEMPRECO, and the checks that every listed code exists.

#include <string>
#include <string_view>

#include "server/storage/db/connection.h"
#include "server/storage/db/sql.h"
#include "server/storage/object/selection.h"

namespace server {

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

// In list mode, refuses with the first listed code (in list order) that is not a product.
void requireListedProducts(db::Connection& c, const Selection& selection);
// In list mode, refuses with the first listed code that is not an item of the validity.
void requireListedItems(db::Connection& c, const Selection& selection, const ValidityKey& key);

}  // namespace server
