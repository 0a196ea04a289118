#include "server/storage/journal/restore_preview.h"

#include "server/storage/journal/item_runs.h"
#include "server/storage/journal/restorable.h"

namespace server {

std::vector<PartPreview> previewRestore(db::Connection& c, const JournalEntry& entry) {
  std::vector<PartPreview> parts;
  for (const JournalEntry* part : changeParts(entry)) {
    db::Sql sql("SELECT COUNT(*) FROM ALTERACAOITEM I WHERE ");
    sql << itemsOfChange(c.engine(), "I", part->id) << " AND "
        << restorable(c.engine(), *part, std::nullopt);
    int64_t back = 0;
    sql.query(c, [&](const db::Row& row) { back = row.integer(0); });
    parts.push_back({part->column.value_or(""), back, keptItems(*part) - back});
  }
  return parts;
}

}  // namespace server
