#include "qt/glyph_button_view.h"

#include "qt/glyph.h"

#include <QFontMetrics>
#include <algorithm>
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
    case tk::Prop::Hint:
      ControlView::sync(p);
      if (!toolTip().isEmpty())
        setToolTip(QString::fromStdString(static_cast<tk::TGlyphButton*>(control())->ShownHint()));
      break;
    case tk::Prop::Appearance:
      setAutoRaise(static_cast<tk::TGlyphButton*>(control())->Flat());
      break;
    case tk::Prop::Bounds:
    case tk::Prop::Font:
      ControlView::sync(p);
      applyCaption();
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
  const QString caption =
      QString::fromStdString(static_cast<tk::TGlyphButton*>(control())->ShownCaption());
  setText(caption);
  // The definitions size buttons for their own font; a caption that comes out wider in the
  // substitute is narrowed until it fits rather than cut.
  QFont f = font();
  f.setStretch(QFont::Unstretched);
  const int room = width() - 6;
  const auto widest = [&caption](const QFont& font) {
    int most = 0;
    for (const QString& line : caption.split(QLatin1Char('\n')))
      most = std::max(most, QFontMetrics(font).horizontalAdvance(line));
    return most;
  };
  while (!caption.isEmpty() && f.stretch() > QFont::ExtraCondensed && widest(f) > room)
    f.setStretch(f.stretch() - 5);
  if (f != font()) setFont(f);
  if (caption.isEmpty()) {
    setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else if (icon().isNull()) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
  } else {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  }
}

}  // namespace qtviews
