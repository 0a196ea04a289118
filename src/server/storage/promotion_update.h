#pragma once
// The journaled update of promotion flags, the one step of a change whose SQL differs between
// the engines. Both read the items once: PostgreSQL changes and journals them in one statement;
// SQLite marks the rows its update changes (db/row_marks.h) and journals from the marks.

#include <cstdint>
#include <optional>
#include <string>

#include "server/storage/db/connection.h"
#include "server/storage/db/sql.h"

namespace server {

struct PromotionUpdate {
  int64_t changed = 0;
  // SQLite: how many items the update's condition selected, changed or not; nullopt where the
  // engine does not count them.
  std::optional<int64_t> selected;
};

// Sets IDPROMOCAO to `flag` ("S" or "N") on the items `selected` picks that hold the other value,
// and writes an ALTERACAOITEM row under change `id` for each, with the value before and after.
// `selected` is a condition on ITEMPRECO. Throws StorageError when the journal does not account
// for every row changed.
PromotionUpdate setPromotionJournaled(db::Connection& c, const db::Sql& selected,
                                      const std::string& flag, int64_t id);

}  // namespace server
