#include "toolkit/headless/headless_ports.h"

#include <algorithm>

namespace tk {

namespace {

std::vector<std::string> labels(const std::vector<ListColumn>& columns) {
  std::vector<std::string> out;
  out.reserve(columns.size());
  for (const ListColumn& c : columns) out.push_back(c.label);
  return out;
}

}  // namespace

void HeadlessPorts::ClearQueues() {
  answers_.clear();
  picks_.clear();
  marks_.clear();
}

HeadlessPorts::Record HeadlessPorts::TakeShown() {
  Record out = std::move(record_);
  record_ = Record{};
  return out;
}

int HeadlessPorts::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                              int /*helpContext*/) {
  const bool hasYes = buttons.contains(mbYes) || buttons.contains(mbOK);
  const bool hasNo = buttons.contains(mbNo) || buttons.contains(mbCancel);
  if (!(hasYes && hasNo)) {
    // A box with one way out only informs; it consumes no answer.
    record_.messages.push_back({type == mtError ? "error" : "info", text, ""});
    if (buttons.contains(mbOK) || buttons.empty()) return mrOk;
    if (buttons.contains(mbYes)) return mrYes;
    if (buttons.contains(mbCancel)) return mrCancel;
    return mrNo;
  }
  if (answers_.empty()) {
    // Nobody answers: the box is closed, which gives Cancel when there is one, else No.
    record_.messages.push_back({"confirm", text, "no"});
    return buttons.contains(mbCancel) ? mrCancel : mrNo;
  }
  const bool yes = answers_.front();
  answers_.pop_front();
  record_.messages.push_back({"confirm", text, yes ? "yes" : "no"});
  if (yes) return buttons.contains(mbYes) ? mrYes : mrOk;
  return buttons.contains(mbNo) ? mrNo : mrCancel;
}

void HeadlessPorts::ShowMessage(const std::string& text) {
  record_.messages.push_back({"info", text, ""});
}

void HeadlessPorts::ShowError(const std::string& text) {
  record_.messages.push_back({"error", text, ""});
}

void HeadlessPorts::Show(TForm* /*mainForm*/, int /*kind*/) {
  ++busy_;
}

void HeadlessPorts::Hide() {
  if (busy_ > 0) --busy_;
}

std::optional<int> HeadlessPorts::PickOne(const PickOneRequest& request) {
  std::optional<int> pick;
  if (!picks_.empty()) {
    pick = picks_.front();
    picks_.pop_front();
  }
  if (pick && (*pick < 0 || *pick >= static_cast<int>(request.rows.size()))) pick.reset();
  ShownList shown{request.title, labels(request.columns), request.rows, ShownList::Cancel{}};
  if (pick) shown.result = *pick;
  record_.lists.push_back(std::move(shown));
  return pick;
}

std::optional<std::vector<std::string>> HeadlessPorts::PickMany(const PickManyRequest& request) {
  std::optional<std::vector<std::string>> queued;
  if (!marks_.empty()) {
    queued = std::move(marks_.front());
    marks_.pop_front();
  }
  ShownList shown{request.title, labels(request.columns), request.rows, ShownList::Cancel{}};
  std::optional<std::vector<std::string>> result;
  if (queued) {
    // The result lists the marked keys in the order of the rows.
    result.emplace();
    for (const std::string& key : request.keys)
      if (std::find(queued->begin(), queued->end(), key) != queued->end()) result->push_back(key);
    shown.result = *result;
  }
  record_.lists.push_back(std::move(shown));
  return result;
}

}  // namespace tk
