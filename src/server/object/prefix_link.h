#pragma once
// One confirmation, all or nothing. With the prefix option on, the screen confirms in two
// calls: SetAddPrefixo or SetDelPrefixo, then SetUpdItemPrecoAlt. The update completes the
// prefix change when it is the very next call of a method on the same connection and names the
// same selection (first, last, list and all flag, byte for byte); calls the network layer turns
// down before any method runs (attach included) do not count. An update whose arguments the
// binding refuses (text that is not clean) ends the link unread: the prefix change stands.
//
// Completed, the two are journaled as one change: the update's row names the prefix change's
// (storage/journal/record.h). Refused or failed, the update takes the prefix change back
// (storage/journal/take_back.h): in the update's own transaction, rolled back to before the
// update, when it had one; otherwise (refused before it began, or never given the lock it
// waited for) in a transaction of its own, which waits for its lock as any change does. The
// answer is the update's own; a refusal adds, for the user, which names kept the prefix: those
// another change changed in between, left as they are, or all of them when the names stayed
// locked. A failure of the take-back as well is a failure of the call, naming the prefix change.
//
// A prefix change whose next call is anything else, or whose connection closes first, stands
// as a call of its own. Without the journal (StorageOptions::journal) there is nothing to take
// back with, and nothing is linked.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "server/object/change_run.h"
#include "server/object/selection.h"
#include "server/object/server_object.h"
#include "server/storage/journal/take_back.h"
#include "server/storage/storage.h"

namespace server {

class PrefixLink {
 public:
  // Remembers, for the next call of the connection, the prefix change `change` made for
  // `selection`.
  static void remember(const CallContext& context, const Storage& storage, int64_t change,
                       const SelectionTexts& selection);
  // The link of an update of `selection` to the prefix change the connection's previous call
  // made; nullopt when it completes none.
  static std::optional<PrefixLink> of(const CallContext& context, const SelectionTexts& selection);

  // Makes the update the second row of the confirmation and the take-back part of its
  // transaction. The link must outlive the update's run and stay where it is.
  void join(ChangeRecord& record, ChangeSteps& steps);

  // Runs `update` (which joins the link); refused or failed, it takes the prefix change back
  // if the update's transaction did not, then passes the refusal or failure on as above.
  Answer run(Storage& storage, const std::function<Answer()>& update);

 private:
  explicit PrefixLink(int64_t change) : change_(change) {}
  // Takes the prefix change back in `tx` and commits it, noting how it went.
  void takeBack(db::Connection& c, db::Transaction& tx);
  void takeBackAlone(Storage& storage);

  int64_t change_;
  std::optional<TakeBack> takenBack_;
  bool namesBusy_ = false;  // the names stayed locked past the lock wait
  std::string failure_;     // why the last try failed otherwise
};

}  // namespace server
