#include "qt/tab_order.h"

#include <algorithm>

namespace qtviews {

namespace {

void collect(const tk::TWinControl& container, std::vector<tk::TWinControl*>& out) {
  for (tk::TControl* c : container.TabList()) {
    auto* wc = dynamic_cast<tk::TWinControl*>(c);
    if (wc == nullptr) continue;
    if (wc->UserFocusable()) out.push_back(wc);
    collect(*wc, out);
  }
}

}  // namespace

std::vector<tk::TWinControl*> FocusOrder(const tk::TForm& form) {
  std::vector<tk::TWinControl*> out;
  collect(form, out);
  return out;
}

tk::TWinControl* NextTabControl(const tk::TForm& form, const tk::TWinControl* from, bool forward) {
  const std::vector<tk::TWinControl*> order = FocusOrder(form);
  const int n = static_cast<int>(order.size());
  const auto it = std::find(order.begin(), order.end(), from);
  int at = it != order.end() ? static_cast<int>(it - order.begin()) : (forward ? -1 : n);
  for (int step = 0; step < n; ++step) {
    at = forward ? (at + 1) % n : (at - 1 + n) % n;
    tk::TWinControl* c = order[at];
    if (c != from && c->TabStop() && c->CanFocus()) return c;
  }
  return nullptr;
}

}  // namespace qtviews
