#include "toolkit/win_control.h"

#include <algorithm>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "toolkit/form.h"

namespace tk {

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  SetTabStop(true);
}

TWinControl::~TWinControl() {
  // Children may outlive their parent (they belong to the owner); they must not reach back.
  for (TControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  if (TForm* form = ParentForm(); form != nullptr && form != this) form->ControlGone(this);
}

std::vector<TControl*> TWinControl::TabList() const {
  std::vector<TControl*> list;
  for (TControl* c : controls_)
    if (dynamic_cast<TWinControl*>(c) != nullptr) list.push_back(c);
  std::stable_sort(list.begin(), list.end(), [](const TControl* a, const TControl* b) {
    return a->TabOrder() < b->TabOrder();
  });
  return list;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

bool TWinControl::CanFocus() const {
  const TForm* form = ParentForm();
  return form != nullptr && EnabledAndVisibleChain();
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw rtl::EInvalidOperation(rtl::RuntimeMessage(rtl::RuntimeText::CannotFocus));
  ParentForm()->FocusControl(this);
}

bool TWinControl::Focused() const {
  const TForm* form = ParentForm();
  return form != nullptr && form->ActiveControl() == this;
}

void TWinControl::InsertDefinedChild(TComponent* child) {
  auto* control = dynamic_cast<TControl*>(child);
  if (control == nullptr) TComponent::InsertDefinedChild(child);
  control->SetParent(this);
}

void TWinControl::SetEvent(const std::string& name, const EventHandler& handler) {
  if (name == "OnEnter") {
    OnEnter = NotifyHandler(name, handler);
  } else if (name == "OnExit") {
    OnExit = NotifyHandler(name, handler);
  } else {
    TControl::SetEvent(name, handler);
  }
}

void TWinControl::EffectiveFontChanged() {
  TControl::EffectiveFontChanged();
  for (TControl* child : controls_)
    if (child->ParentFont()) child->EffectiveFontChanged();
}

}  // namespace tk
