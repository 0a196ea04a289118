#include "toolkit/accessible_name.h"

#include <algorithm>
#include <vector>

#include "toolkit/form.h"
#include "toolkit/label.h"
#include "toolkit/search_button.h"
#include "toolkit/win_control.h"

namespace tk {

namespace {

// The labels of the control's parent whose middle lies on the control's height and that end
// before it begins, left to right.
std::string labelsBeside(const TControl& control) {
  std::vector<const TLabel*> found;
  for (const TControl* c : control.Parent()->Controls()) {
    const auto* label = dynamic_cast<const TLabel*>(c);
    if (label == nullptr || label->Caption().empty()) continue;
    const int middle = label->Top() + label->Height() / 2;
    if (middle < control.Top() || middle >= control.Top() + control.Height()) continue;
    if (label->Left() + label->Width() > control.Left()) continue;
    found.push_back(label);
  }
  std::sort(found.begin(), found.end(),
            [](const TLabel* a, const TLabel* b) { return a->Left() < b->Left(); });
  std::string name;
  for (const TLabel* label : found) name += (name.empty() ? "" : " ") + label->Caption();
  return name;
}

}  // namespace

std::string AccessibleName(const TControl& control) {
  if (const auto* search = dynamic_cast<const TSearchButtonBase*>(&control)) {
    const std::string served = search->Associate() ? AccessibleName(*search->Associate()) : "";
    return served.empty() ? search->Hint() : search->Hint() + " " + served;
  }
  if (!control.Caption().empty() || control.Parent() == nullptr) return control.Caption();
  const std::string beside = labelsBeside(control);
  if (!beside.empty()) return beside;
  for (const TControl* box = control.Parent(); box != nullptr && box != control.ParentForm();
       box = box->Parent())
    if (!box->Caption().empty()) return box->Caption();
  return {};
}

}  // namespace tk
