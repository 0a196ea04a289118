#include "toolkit/check_buttons.h"

namespace tk {

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {}

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Notify(Prop::Checked);
  Fire(OnClick);
}

void TCheckBox::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Checked") {
    SetChecked(value.asBoolean(name));
  } else {
    TWinControl::SetProperty(name, value);
  }
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  SetTabStop(false);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  // The checked button of a group is the group's one tab stop, so Tab lands on the choice
  // made; the definition fixes the stops it starts with.
  const bool moveTabStop = value && !Loading();
  if (value && Parent() != nullptr) {
    const std::vector<TControl*> siblings = Parent()->Controls();  // callbacks may reparent
    for (TControl* sibling : siblings) {
      auto* radio = dynamic_cast<TRadioButton*>(sibling);
      if (radio == nullptr || radio == this) continue;
      if (radio->checked_) {
        radio->checked_ = false;
        radio->Notify(Prop::Checked);
      }
      if (moveTabStop) radio->SetTabStop(false);
    }
  }
  if (moveTabStop) SetTabStop(true);
  Notify(Prop::Checked);
  if (value) Fire(OnClick);
}

void TRadioButton::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Checked") {
    SetChecked(value.asBoolean(name));
  } else {
    TWinControl::SetProperty(name, value);
  }
}

}  // namespace tk
