#include "toolkit/containers.h"

#include "rtl/strings.h"

namespace tk {

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(false);
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  SetTabStop(false);
  SetAlignment(TAlignment::taCenter);
}

void TPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Notify(Prop::Appearance);
}

void TPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Notify(Prop::Appearance);
}

namespace {

TBevelCut bevelValue(const std::string& name, const PropValue& value) {
  static constexpr const char* kNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  const std::string& ident = value.asIdentifier(name);
  for (int i = 0; i < 4; ++i)
    if (rtl::SameText(ident, kNames[i])) return static_cast<TBevelCut>(i);
  throw EDefinitionError("property " + name + ": unknown bevel " + ident);
}

}  // namespace

void TPanel::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "BevelOuter") {
    SetBevelOuter(bevelValue(name, value));
  } else if (name == "BevelInner") {
    SetBevelInner(bevelValue(name, value));
  } else {
    TWinControl::SetProperty(name, value);
  }
}

}  // namespace tk
