#include "toolkit/label.h"

namespace tk {

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  SetAutoSize(true);
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  Notify(Prop::Appearance);
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Notify(Prop::Appearance);
}

void TLabel::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "WordWrap") {
    SetWordWrap(value.asBoolean(name));
  } else if (name == "Transparent") {
    SetTransparent(value.asBoolean(name));
  } else {
    TControl::SetProperty(name, value);
  }
}

}  // namespace tk
