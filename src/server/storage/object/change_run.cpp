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
    // A change selects anything from one product to every item of a validity. PostgreSQL
    // settles on a generic plan for a prepared statement after a few runs, and that plan cannot
    // know how many products a range holds; a plan for the values at hand costs far less.
    if (c.engine() == db::Engine::Postgres) c.run("SET LOCAL plan_cache_mode = force_custom_plan");
    if (steps.verify) steps.verify(c);
    ChangeCounts counts;
    counts.id = openRecord(c, record);
    const std::optional<int64_t> firstItem = journaling ? nextItemRow(c) : std::nullopt;
    int64_t journaled = 0;
    if (journaling && steps.journaledApply) {
      counts.changed = journaled = steps.journaledApply(c, counts.id);
      counts.unchanged = steps.unchanged(c, counts.changed);
    } else {
      journaled = journaling ? steps.journal(c, counts.id) : 0;
      if (journaling) counts.unchanged = steps.unchanged(c, journaled);
      // The journal found nothing to change and the lock keeps other changes out: the update
      // would find nothing either, so a repeated change costs only its reads.
      counts.changed = journaling && journaled == 0 ? 0 : steps.apply(c);
      if (journaling) requireJournaled(journaled, counts.changed, "a alteração");
    }
    closeRecord(c, counts.id, counts.changed, counts.unchanged,
                appendedItems(c, firstItem, journaled));
    tx.commit();
    return counts;
  } catch (const LockTimeout&) {
    throw Refused(messages::kChangeBusy);
  }
}

}  // namespace server
