#pragma once
// Who may see and undo which changes of the journal. Reading it needs the right diario,
// undoing a change the right restaurar; beyond the rights, a change of a validity's items
// belongs to its branch, and is seen and undone only by callers who reach that branch. Product
// names belong to every branch: a change of names alone (a prefix, or the restore of one) is
// seen and undone only by callers with every branch or with the right prefixo, and so is the
// names' part of a confirmation when it is undone (seeing such a change needs its branch only).
// A caller without access limits (a server without accounts) sees and undoes everything.

#include "server/object/server_object.h"
#include "server/storage/journal/journal_reader.h"

namespace server {

// The reader's part of a filter: its branches, and whether it sees changes of names alone.
void limitToCaller(JournalFilter& filter, const CallContext& context);

// Throw Refused unless the caller may see `entry`.
void requireVisible(const CallContext& context, const JournalEntry& entry);
// Throw Refused unless the caller may undo `entry` (the right, the branch, the names).
void requireUndoable(const CallContext& context, const JournalEntry& entry);
// requireUndoable as a question, for the list's IDDESFAZIVEL (the rows being kept aside).
bool mayUndo(const CallContext& context, const JournalEntry& entry);

}  // namespace server
