#pragma once
// GlyphButtonView: a button that never takes the focus (TGlyphButton, TButtonFlat, the search
// buttons) as a QToolButton with its glyph -- decoded from Glyph.Data, enabled and disabled
// images, or a drawn magnifying glass for a search button without one -- and its caption under
// the glyph when it has one. A click becomes userClick; the focus stays where it was.

#include <QToolButton>

#include "qt/control_view.h"
#include "toolkit/glyph_button.h"

namespace qtviews {

class GlyphButtonView : public QToolButton, public ControlView {
 public:
  GlyphButtonView(tk::TGlyphButton& button, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }

 protected:
  void sync(tk::Prop p) override;

 private:
  void applyGlyph();
  void applyCaption();
};

}  // namespace qtviews
