#include "qt/label_view.h"

namespace qtviews {

LabelView::LabelView(tk::TLabel& label, FormView& form, QWidget* parent)
    : QLabel(parent), ControlView(label, form) {
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
  setContentsMargins(0, 0, 0, 0);
  setMargin(0);
  setIndent(0);
}

void LabelView::sync(tk::Prop p) {
  auto* label = static_cast<tk::TLabel*>(control());
  switch (p) {
    case tk::Prop::Caption:
      setText(QString::fromStdString(label->Caption()));
      break;
    case tk::Prop::Alignment: {
      Qt::Alignment h = Qt::AlignLeft;
      if (label->Alignment() == tk::TAlignment::taCenter) h = Qt::AlignHCenter;
      if (label->Alignment() == tk::TAlignment::taRightJustify) h = Qt::AlignRight;
      setAlignment(h | Qt::AlignTop);
      break;
    }
    case tk::Prop::Appearance:
      setWordWrap(label->WordWrap());
      break;
    default:
      ControlView::sync(p);
      break;
  }
}

}  // namespace qtviews
