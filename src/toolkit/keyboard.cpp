#include "toolkit/keyboard.h"

#include <vector>

#include "toolkit/check_buttons.h"
#include "toolkit/radio_group.h"
#include "toolkit/search_button.h"
#include "toolkit/user_input.h"

namespace tk {

namespace {

bool forward(TArrowKey key) {
  return key == TArrowKey::Right || key == TArrowKey::Down;
}

// The control an arrow reaches from `from`: the next one of its parent's controls in tab
// order, round the end, that a user can focus now.
TWinControl* arrowTarget(const TWinControl& from, bool ahead) {
  std::vector<TWinControl*> siblings;
  for (TControl* c : from.Parent()->TabList()) {
    auto* wc = dynamic_cast<TWinControl*>(c);
    if (wc != nullptr && wc->UserFocusable()) siblings.push_back(wc);
  }
  const auto n = static_cast<int>(siblings.size());
  int at = 0;
  while (at < n && siblings[static_cast<size_t>(at)] != &from) ++at;
  for (int step = 1; step < n; ++step) {
    TWinControl* c = siblings[static_cast<size_t>(((at + (ahead ? step : -step)) % n + n) % n)];
    if (c->CanFocus()) return c;
  }
  return nullptr;
}

// Every button of the form, in the order the controls nest.
void collectButtons(const TWinControl& container, std::vector<TGlyphButton*>& out) {
  for (TControl* c : container.Controls()) {
    if (auto* button = dynamic_cast<TGlyphButton*>(c)) out.push_back(button);
    if (auto* wc = dynamic_cast<TWinControl*>(c)) collectButtons(*wc, out);
  }
}

}  // namespace

bool userArrowKey(TControl& focused, TArrowKey key) {
  auto* wc = dynamic_cast<TWinControl*>(&focused);
  if (wc == nullptr || !wc->Focused())
    throw EInputRejected(focused.Name() + " does not have the focus");
  if (auto* group = dynamic_cast<TRadioGroup*>(wc)) {
    const int next = group->ItemIndex() + (forward(key) ? 1 : -1);
    if (next < 0 || next >= static_cast<int>(group->Items().size())) return false;
    group->SetItemIndex(next);
    return true;
  }
  if (wc->UsesArrowKeys() || wc->Parent() == nullptr) return false;
  TWinControl* target = arrowTarget(*wc, forward(key));
  if (target == nullptr) return false;
  target->SetFocus();
  // A radio button takes the choice along with the focus; an exit handler that kept the focus
  // elsewhere stops that too.
  if (auto* radio = dynamic_cast<TRadioButton*>(target); radio != nullptr && radio->Focused())
    radio->Click();
  return true;
}

bool userFunctionKey(TForm& form, std::string_view key) {
  std::vector<TGlyphButton*> buttons;
  collectButtons(form, buttons);
  const TWinControl* focused = form.ActiveControl();
  TGlyphButton* pressed = nullptr;
  for (TGlyphButton* b : buttons) {
    if (b->ShortCut() != key || !b->EnabledAndVisibleChain()) continue;
    // A search button answers only in the field it serves.
    auto* search = dynamic_cast<TSearchButtonBase*>(b);
    if (search != nullptr && (focused == nullptr || search->Associate() != focused)) continue;
    pressed = b;
    break;
  }
  if (pressed == nullptr) return false;
  userClick(*pressed);
  return true;
}

}  // namespace tk
