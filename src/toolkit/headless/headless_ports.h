#pragma once
// The headless ports: every box and list shown is recorded, in order, and answered from
// queues the driver or a test fills beforehand. A confirmation with no queued answer is
// answered No, a list with no queued choice is cancelled; both are recorded all the same.
// The busy animation is a counter of how many are showing.

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "toolkit/ports.h"

namespace tk {

struct ShownMessage {
  std::string kind;  // "error", "info" or "confirm"
  std::string text;
  std::string answer;  // "yes" or "no" for a confirmation, empty otherwise

  bool operator==(const ShownMessage&) const = default;
};

struct ShownList {
  using Cancel = std::monostate;
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  // cancel, the index picked (pick-one list) or the keys left marked (pick-many list)
  std::variant<Cancel, int, std::vector<std::string>> result;

  bool operator==(const ShownList&) const = default;
};

class HeadlessPorts : public DialogPort, public BusyPort, public PickOnePort, public PickManyPort {
 public:
  // Answers for the next confirmations, picks for the next pick-one lists (nullopt: cancel),
  // markings for the next pick-many lists (nullopt: cancel; an empty list: nothing marked).
  void QueueAnswer(bool yes) { answers_.push_back(yes); }
  void QueuePick(std::optional<int> index) { picks_.push_back(index); }
  void QueueMarks(std::optional<std::vector<std::string>> keys) {
    marks_.push_back(std::move(keys));
  }
  void ClearQueues();

  struct Record {
    std::vector<ShownMessage> messages;
    std::vector<ShownList> lists;
  };
  const Record& Shown() const { return record_; }
  // Hands over what was shown since the last call and starts a new record.
  Record TakeShown();
  int BusyCount() const { return busy_; }

  Ports AsPorts() { return Ports{this, this, this, this, nullptr}; }

  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 int helpContext) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void Show(TForm* mainForm, int kind) override;
  void Hide() override;
  // A queued index outside the rows counts as a cancel.
  std::optional<int> PickOne(const PickOneRequest& request) override;
  // Queued keys that are not in the list are ignored.
  std::optional<std::vector<std::string>> PickMany(const PickManyRequest& request) override;

 private:
  std::deque<bool> answers_;
  std::deque<std::optional<int>> picks_;
  std::deque<std::optional<std::vector<std::string>>> marks_;
  Record record_;
  int busy_ = 0;
};

}  // namespace tk
