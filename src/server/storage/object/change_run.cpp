#include "server/storage/object/change_run.h"

#include "server/storage/object/messages.h"
#include "server/storage/object/refused.h"

namespace server {

ChangeCounts runChange(Storage& storage, ChangeRecord record, const char* column,
                       const ChangeSteps& steps) {
  const bool journaling = storage.options().journal;
  if (journaling) record.column = column;
  try {
    auto connection = storage.connection();
    db::Connection& c = *connection;
    db::Transaction tx(c, db::TxMode::Write);
    if (steps.verify) steps.verify(c);
    ChangeCounts counts;
    counts.id = openRecord(c, record);
    const int64_t journaled = journaling ? steps.journal(c, counts.id) : 0;
    if (journaling) counts.unchanged = steps.unchanged(c, journaled);
    // The journal found nothing to change and the lock keeps other changes out: the update
    // would find nothing either, so a repeated change costs only its reads.
    counts.changed = journaling && journaled == 0 ? 0 : steps.apply(c);
    if (journaling && journaled != counts.changed)
      throw StorageError("o diário registrou " + std::to_string(journaled) +
                         " linhas e a alteração mudou " + std::to_string(counts.changed));
    closeRecord(c, counts.id, counts.changed, counts.unchanged);
    tx.commit();
    return counts;
  } catch (const LockTimeout&) {
    throw Refused(messages::kChangeBusy);
  }
}

}  // namespace server
