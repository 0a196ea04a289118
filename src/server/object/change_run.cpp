#include "server/object/change_run.h"

#include "server/object/refusal_texts.h"
#include "server/object/refused.h"
#include "server/storage/db/dialect.h"

namespace server {

ChangeRecord changeRecord(std::string_view method, const CallContext& context) {
  ChangeRecord record;
  record.method = method;
  record.client = clientText(context.peer, context.user, context.host);
  record.user = callerText(context.user);
  record.machine = callerText(context.host);
  return record;
}

namespace {

constexpr const char* kBeforeTheChange = "vnd_antes_da_alteracao";

ChangeCounts runSteps(db::Connection& c, const ChangeRecord& record, bool journaling,
                      const ChangeSteps& steps) {
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
  return counts;
}

// After the change was refused or failed: back to before it, then the compensation. A
// transaction the failure ended, or a session it broke, is left to roll back.
void compensate(db::Connection& c, db::Transaction& tx, const ChangeSteps& steps) {
  if (!c.usable()) return;
  try {
    c.run(std::string("ROLLBACK TO SAVEPOINT ") + kBeforeTheChange);
  } catch (const StorageError&) {
    return;
  }
  steps.compensate(c, tx);
}

}  // namespace

ChangeCounts runChange(Storage& storage, ChangeRecord record, const char* column,
                       const ChangeSteps& steps) {
  const bool journaling = storage.options().journal;
  if (journaling) record.column = column;
  try {
    auto connection = storage.connection();
    db::Connection& c = *connection;
    db::Transaction tx(c, db::TxMode::Write);
    // A change selects anything from one product to every item of a validity: a plan for the
    // values at hand costs far less than one for any values.
    db::preferCustomPlans(c);
    if (steps.compensate) c.run(std::string("SAVEPOINT ") + kBeforeTheChange);
    try {
      const ChangeCounts counts = runSteps(c, record, journaling, steps);
      tx.commit();
      return counts;
    } catch (...) {
      if (steps.compensate) compensate(c, tx, steps);
      throw;
    }
  } catch (const LockTimeout&) {
    throw Refused(messages::kChangeBusy);
  }
}

}  // namespace server
