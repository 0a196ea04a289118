#pragma once
// TCheckBox and TRadioButton: controls with a checked state and a caption. Changing Checked
// -- by a user click or by the program -- notifies, then fires OnClick; an unchanged value
// fires nothing. Radio buttons with the same parent form one group: checking one unchecks
// the others (they notify, but fire no OnClick); unchecking fires nothing.

#include "toolkit/win_control.h"

namespace tk {

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TCheckBox"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  // A click toggles the box.
  void Click() override { SetChecked(!checked_); }

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  bool checked_ = false;
};

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TRadioButton"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  // A click checks the button (nothing happens when it is checked already).
  void Click() override { SetChecked(true); }

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  bool checked_ = false;
};

}  // namespace tk
