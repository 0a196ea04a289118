#include "server/object/history_methods.h"

#include <initializer_list>
#include <optional>

#include "server/object/access_checks.h"
#include "server/object/arg_checks.h"
#include "server/object/change_description.h"
#include "server/object/history_access.h"
#include "server/object/history_texts.h"
#include "server/object/refused.h"
#include "server/storage/journal/record.h"
#include "server/storage/journal/restore.h"
#include "server/storage/journal/restore_preview.h"

namespace server::history {

namespace {

namespace rdm = contract::historico;
using Cell = std::optional<std::string>;

void appendRow(rtl::DataPacket& packet, std::initializer_list<Cell> cells) {
  size_t i = 0;
  for (const Cell& cell : cells) {
    if (cell) {
      packet.column(i++).appendString(*cell);
    } else {
      packet.column(i++).appendNull();
    }
  }
  packet.commitRow();
}

Cell number(std::optional<int64_t> value) {
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

void requirePageSize(int64_t count, int64_t most) {
  if (count < 1 || count > most) throw Refused(messages::badPageSize(most));
}

// "" for no bound; otherwise the canonical timestamp of the text.
std::optional<std::string> periodEnd(const std::string& text, std::string_view which) {
  if (text.empty()) return std::nullopt;
  std::optional<std::string> timestamp = journalTimestamp(text);
  if (!timestamp) throw Refused(messages::badPeriodEnd(which));
  return timestamp;
}

bool isJournalMethod(std::string_view method) {
  return method == "SetUpdItemPrecoAlt" || method == "SetAddPrefixo" || method == "SetDelPrefixo" ||
         method == "restore";
}

// The address the call came from, without its port: the client as recorded is "peer" or
// "peer user@machine", the peer "10.0.0.7:50412", "[::1]:50412" or "local".
std::string addressOf(const JournalEntry& e) {
  const std::string peer = e.client.substr(0, e.client.find(' '));
  if (!peer.empty() && peer[0] == '[') return peer.substr(1, peer.find(']') - 1);
  const size_t colon = peer.find(':');
  if (colon != std::string::npos && peer.find(':', colon + 1) == std::string::npos)
    return peer.substr(0, colon);
  return peer;
}

// Why the rows of `entry` cannot be put back, or nothing.
std::optional<std::string> notRestorable(const JournalEntry& entry, int64_t asked) {
  for (const JournalEntry* part : changeParts(entry)) {
    if (part->discarded) return messages::changeDiscarded(asked, *part->discarded);
    const bool items = part->column == kPromotionColumn;
    if (!part->column || (items && !(part->branch && part->table && part->start)) ||
        (!items && part->column != kNameColumn))
      return messages::changeWithoutValues(asked);
  }
  return std::nullopt;
}

// The change `call` names, once the caller may undo it and it can be undone, as far as can be
// told before the restore locks it.
JournalEntry undoable(db::Connection& c, const RestoreCall& call, const CallContext& context) {
  requireRight(context, Right::Restore);
  std::optional<JournalEntry> entry = call.change > 0 ? findChange(c, call.change) : std::nullopt;
  if (!entry) throw Refused(messages::changeNotFound(call.change));
  requireUndoable(context, *entry);
  if (call.stacked) throw Refused(messages::kStackedNotYet);
  if (std::optional<std::string> why = notRestorable(*entry, call.change)) throw Refused(*why);
  return *entry;
}

void appendRestored(rtl::DataPacket& packet, const std::string& column, const RestoredRows& rows) {
  const Cell id = std::to_string(rows.id), restored = std::to_string(rows.restored),
             left = std::to_string(rows.leftAlone.size());
  appendRow(packet, {column, id, restored, left, "", "", ""});
  for (size_t i = 0; i < rows.leftAlone.size() && i < kMostLeftAloneListed; ++i) {
    const LeftAlone& row = rows.leftAlone[i];
    appendRow(packet,
              {column, id, restored, left, row.product, row.now.value_or(""), row.now ? "S" : "N"});
  }
}

}  // namespace

Answer getAlteracoes(Storage& storage, const ChangesCall& call, const CallContext& context) {
  requireRight(context, Right::Journal);
  if (!call.branch.empty()) requireBranch(context, call.branch);
  requirePageSize(call.count, kMostChanges);
  if (call.before < 0) throw Refused(messages::kBadBefore);
  JournalFilter filter;
  filter.since = periodEnd(call.since, "inicial");
  filter.until = periodEnd(call.until, "final");
  if (!call.method.empty() && !isJournalMethod(call.method)) throw Refused(messages::kBadMethod);
  if (!call.method.empty()) filter.method = call.method;
  if (!call.branch.empty()) filter.branch = call.branch;
  if (!call.table.empty()) filter.table = call.table;
  if (!call.user.empty()) filter.user = call.user;
  rtl::DataPacket packet = contract::answerPacket(rdm::GetAlteracoes);
  if (call.validityStart != 0) {
    filter.start = isoDay(call.validityStart);
    // A day outside the calendar names no period: nothing to list.
    if (!filter.start) return Answer::ok(std::move(packet));
  }
  limitToCaller(filter, context);
  auto connection = storage.connection();
  const std::vector<JournalEntry> entries = listChangePage(
      *connection, filter, call.before > 0 ? std::optional(call.before) : std::nullopt, call.count);
  for (const JournalEntry& e : entries) {
    const bool undo = mayUndo(context, e) && !notRestorable(e, e.id);
    const JournalEntry* names = e.names.get();
    appendRow(
        packet,
        {std::to_string(e.id), e.when, e.user, e.machine, addressOf(e), changeMethods(e), e.branch,
         e.table, e.start, describeRequest(e), std::to_string(e.changed),
         std::to_string(e.unchanged), number(names ? std::optional(names->changed) : std::nullopt),
         number(names ? std::optional(names->unchanged) : std::nullopt), e.column,
         number(e.restored), names && names->discarded ? names->discarded : e.discarded,
         undo ? "S" : "N"});
  }
  return Answer::ok(std::move(packet));
}

Answer getItensAlteracao(Storage& storage, const ItemsPageCall& call, const CallContext& context) {
  requireRight(context, Right::Journal);
  requirePageSize(call.count, kMostItems);
  if (call.offset < 0) throw Refused(messages::kBadOffset);
  auto connection = storage.connection();
  db::Connection& c = *connection;
  db::Transaction tx(c, db::TxMode::Read);
  const std::optional<JournalEntry> entry =
      call.change > 0 ? findChange(c, call.change) : std::nullopt;
  if (!entry) throw Refused(messages::changeNotFound(call.change));
  requireVisible(context, *entry);
  rtl::DataPacket packet = contract::answerPacket(rdm::GetItensAlteracao);
  for (const JournalItemRow& row : changeItemPage(c, *entry, call.offset, call.count))
    appendRow(packet, {row.item.product, row.treeCode, row.name, row.column, row.item.before,
                       row.item.after});
  tx.commit();
  return Answer::ok(std::move(packet));
}

Answer getPreviaRestauracao(Storage& storage, const RestoreCall& call, const CallContext& context) {
  auto connection = storage.connection();
  db::Connection& c = *connection;
  db::Transaction tx(c, db::TxMode::Read);
  const JournalEntry entry = undoable(c, call, context);
  rtl::DataPacket packet = contract::answerPacket(rdm::GetPreviaRestauracao);
  for (const PartPreview& part : previewRestore(c, entry))
    appendRow(packet, {part.column, std::to_string(part.back), std::to_string(part.left)});
  tx.commit();
  return Answer::ok(std::move(packet));
}

Answer setRestauraAlteracao(Storage& storage, const RestoreCall& call, const CallContext& context) {
  JournalEntry entry;
  {
    auto connection = storage.connection();
    entry = undoable(*connection, call, context);
  }
  const RestoreCaller caller{clientText(context.peer, context.user, context.host),
                             callerText(context.user), callerText(context.host)};
  RestoreOutcome outcome;
  try {
    outcome = restoreChange(storage, call.change, caller);
  } catch (const RestoreError&) {
    // Checked above: unless a prune discarded its rows meanwhile, the lock was not had in time.
    auto connection = storage.connection();
    entry = undoable(*connection, call, context);
    throw Refused(messages::kRestoreBusy);
  }
  rtl::DataPacket packet = contract::answerPacket(rdm::SetRestauraAlteracao);
  if (outcome.names && entry.names) appendRestored(packet, *entry.names->column, *outcome.names);
  appendRestored(packet, *entry.column, outcome);
  return Answer::ok(std::move(packet));
}

}  // namespace server::history
