#include "toolkit/glyph_button.h"

#include <algorithm>

namespace tk {

TGlyphButton::TGlyphButton(TComponent* owner) : TControl(owner) {}

void TGlyphButton::SetGlyphData(std::string data) {
  if (data == glyph_) return;
  glyph_ = std::move(data);
  Notify(Prop::Glyph);
}

void TGlyphButton::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_) return;
  numGlyphs_ = value;
  Notify(Prop::Glyph);
}

void TGlyphButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Notify(Prop::Appearance);
}

void TGlyphButton::SetShortCut(std::string key) {
  if (key == shortCut_) return;
  shortCut_ = std::move(key);
  Notify(Prop::Hint);
  Notify(Prop::Caption);
}

std::string TGlyphButton::ShownHint() const {
  if (Hint().empty() || shortCut_.empty()) return Hint();
  return Hint() + " (" + shortCut_ + ")";
}

std::string TGlyphButton::ShownCaption() const {
  if (Caption().empty() || shortCut_.empty()) return Caption();
  return Caption() + "\n(" + shortCut_ + ")";
}

void TGlyphButton::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Glyph.Data") {
    if (value.kind != PropValue::Kind::Binary)
      throw EDefinitionError("property " + name + ": binary data is expected");
    SetGlyphData(value.text);
  } else if (name == "NumGlyphs") {
    SetNumGlyphs(static_cast<int>(value.asInteger(name)));
  } else if (name == "Flat") {
    SetFlat(value.asBoolean(name));
  } else if (name == "ShortCut") {
    SetShortCut(value.asString(name));
  } else {
    TControl::SetProperty(name, value);
  }
}

TButtonFlat::TButtonFlat(TComponent* owner) : TGlyphButton(owner) {
  SetFlat(true);
}

}  // namespace tk
