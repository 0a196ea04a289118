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
