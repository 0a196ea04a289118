#include "qt/glyph_button_view.h"

#include "qt/glyph.h"
#include "toolkit/search_button.h"

namespace qtviews {

GlyphButtonView::GlyphButtonView(tk::TGlyphButton& button, FormView& form, QWidget* parent)
    : QToolButton(parent), ControlView(button, form) {
  setFocusPolicy(Qt::NoFocus);
  setIconSize(QSize(16, 16));
  connect(this, &QToolButton::clicked, this, [this] {
    tk::TControl* c = control();
    if (c != nullptr) userEvent([c] { tk::userClick(*c); });
  });
}

void GlyphButtonView::sync(tk::Prop p) {
  switch (p) {
    case tk::Prop::Glyph:
      applyGlyph();
      break;
    case tk::Prop::Caption:
      applyCaption();
      break;
    case tk::Prop::Appearance:
      setAutoRaise(static_cast<tk::TGlyphButton*>(control())->Flat());
      break;
    default:
      ControlView::sync(p);
      break;
  }
}

void GlyphButtonView::applyGlyph() {
  auto* button = static_cast<tk::TGlyphButton*>(control());
  QIcon icon = GlyphIcon(button->GlyphData(), button->NumGlyphs());
  if (icon.isNull() && dynamic_cast<tk::TSearchButtonBase*>(button) != nullptr)
    icon = DrawnSearchIcon();
  setIcon(icon);
  applyCaption();
}

void GlyphButtonView::applyCaption() {
  const QString caption = QString::fromStdString(control()->Caption());
  setText(caption);
  if (caption.isEmpty()) {
    setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else if (icon().isNull()) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
  } else {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  }
}

}  // namespace qtviews
