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
  if (value && Parent() != nullptr) {
    const std::vector<TControl*> siblings = Parent()->Controls();  // callbacks may reparent
    for (TControl* sibling : siblings) {
      auto* radio = dynamic_cast<TRadioButton*>(sibling);
      if (radio != nullptr && radio != this && radio->checked_) {
        radio->checked_ = false;
        radio->Notify(Prop::Checked);
      }
    }
  }
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
