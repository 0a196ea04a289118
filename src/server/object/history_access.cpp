#include "server/object/history_access.h"

#include "server/object/access_checks.h"
#include "server/object/history_texts.h"
#include "server/object/refused.h"

namespace server {

namespace {

// Every branch, or the names' own right.
bool mayTouchNames(const CallContext& context) {
  return !context.access || context.access->allBranches || context.access->may(Right::Prefix);
}

// The one reason a caller may not undo `entry`, or nothing.
std::optional<std::string> undoRefusal(const CallContext& context, const JournalEntry& entry) {
  if (context.access && !context.access->may(Right::Restore))
    return messages::rightNotGranted(context.access->account, Right::Restore);
  if (entry.branch && !reachesBranch(context, *entry.branch))
    return messages::branchNotGranted(context.access->account, *entry.branch);
  const bool names = entry.names || !entry.branch;
  if (names && !mayTouchNames(context)) return messages::namesNotGranted(context.access->account);
  return std::nullopt;
}

}  // namespace

void limitToCaller(JournalFilter& filter, const CallContext& context) {
  if (!context.access || context.access->allBranches) return;
  filter.branches = context.access->branches;
  filter.names = mayTouchNames(context);
}

void requireVisible(const CallContext& context, const JournalEntry& entry) {
  if (entry.branch) {
    requireBranch(context, *entry.branch);
  } else if (!mayTouchNames(context)) {
    throw Refused(messages::namesNotGranted(context.access->account));
  }
}

void requireUndoable(const CallContext& context, const JournalEntry& entry) {
  if (std::optional<std::string> refusal = undoRefusal(context, entry)) throw Refused(*refusal);
}

bool mayUndo(const CallContext& context, const JournalEntry& entry) {
  return !undoRefusal(context, entry);
}

}  // namespace server
