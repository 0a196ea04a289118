#pragma once
// TGlyphButton and TButtonFlat: buttons drawn with a caption and an optional bitmap that never
// take the focus -- clicking them leaves the focus where it is, so no exit handler runs.
// The bitmap (Glyph.Data) is kept as the definition gives it; NumGlyphs says how many images
// it holds side by side (enabled, disabled, ...).

#include <string>

#include "toolkit/control.h"

namespace tk {

class TGlyphButton : public TControl {
 public:
  explicit TGlyphButton(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TGlyphButton"; }

  const std::string& GlyphData() const { return glyph_; }
  void SetGlyphData(std::string data);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  std::string glyph_;
  int numGlyphs_ = 1;
  bool flat_ = false;
};

class TButtonFlat : public TGlyphButton {
 public:
  explicit TButtonFlat(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TButtonFlat"; }
};

}  // namespace tk
