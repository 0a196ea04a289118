#include "server/object/prefix_link.h"

#include "server/object/refusal_texts.h"
#include "server/object/refused.h"

namespace server {

void PrefixLink::remember(const CallContext& context, const Storage& storage, int64_t change,
                          const SelectionTexts& selection) {
  if (!storage.options().journal) return;
  context.memory.made =
      PrefixChangeMade{change, std::string(selection.first), std::string(selection.last),
                       std::string(selection.list), std::string(selection.all)};
}

std::optional<PrefixLink> PrefixLink::of(const CallContext& context,
                                         const SelectionTexts& selection) {
  const std::optional<PrefixChangeMade>& made = context.memory.previous;
  if (!made || made->first != selection.first || made->last != selection.last ||
      made->list != selection.list || made->all != selection.all)
    return std::nullopt;
  return PrefixLink(made->change);
}

void PrefixLink::join(ChangeRecord& record, ChangeSteps& steps) {
  record.linked = change_;
  steps.compensate = [this](db::Connection& c, db::Transaction& tx) { takeBack(c, tx); };
}

void PrefixLink::takeBack(db::Connection& c, db::Transaction& tx) {
  try {
    const TakeBack done = takeBackNameChange(c, change_);
    tx.commit();
    takenBack_ = done;
  } catch (const LockTimeout&) {
    namesBusy_ = true;
  } catch (const std::exception& e) {
    failure_ = e.what();
  }
}

void PrefixLink::takeBackAlone(Storage& storage) {
  try {
    auto connection = storage.connection();
    db::Transaction tx(*connection, db::TxMode::Write);
    takeBack(*connection, tx);
  } catch (const LockTimeout&) {
    namesBusy_ = true;
  } catch (const std::exception& e) {
    failure_ = e.what();
  }
}

Answer PrefixLink::run(Storage& storage, const std::function<Answer()>& update) {
  std::string refusal;
  try {
    return update();
  } catch (const Refused& refused) {
    refusal = refused.what();
  } catch (const std::exception& failure) {
    if (!takenBack_ && !namesBusy_) takeBackAlone(storage);
    if (takenBack_) throw;
    throw StorageError(std::string(failure.what()) + "; a alteração de prefixo " +
                       std::to_string(change_) + " não foi desfeita: " +
                       (namesBusy_ ? std::string("nomes ocupados por outra alteração") : failure_));
  }
  if (!takenBack_ && !namesBusy_) takeBackAlone(storage);
  if (takenBack_) {
    if (takenBack_->leftAlone == 0) throw Refused(refusal);
    throw Refused(refusal + " " + messages::namesLeftAlone(takenBack_->leftAlone));
  }
  if (namesBusy_) throw Refused(refusal + " " + std::string(messages::kPrefixKept));
  throw StorageError("recusada: " + refusal + "; a alteração de prefixo " +
                     std::to_string(change_) + " não foi desfeita: " + failure_);
}

}  // namespace server
