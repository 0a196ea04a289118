#pragma once
// TGlyphButton and TButtonFlat: buttons drawn with a caption and an optional bitmap that never
// take the focus -- clicking them leaves the focus where it is, so no exit handler runs.
// The bitmap (Glyph.Data) is kept as the definition gives it; NumGlyphs says how many images
// it holds side by side (enabled, disabled, ...). ShortCut names the function key that presses
// the button ("F10"); the hint and caption a user sees say it.

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
  // The key that presses the button, "F1" to "F12", or "" for none.
  const std::string& ShortCut() const { return shortCut_; }
  void SetShortCut(std::string key);
  // The hint and the caption as shown: with the key in parentheses, the caption's on a line
  // of its own; as they are when there is no key or nothing to add it to.
  virtual std::string ShownHint() const;
  std::string ShownCaption() const;

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  std::string glyph_;
  int numGlyphs_ = 1;
  bool flat_ = false;
  std::string shortCut_;
};

class TButtonFlat : public TGlyphButton {
 public:
  explicit TButtonFlat(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TButtonFlat"; }
};

}  // namespace tk
