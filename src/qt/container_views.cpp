#include "qt/container_views.h"

#include <QPainter>

#include "qt/look.h"

namespace qtviews {

void PaintGroupFrame(QWidget& box, const QString& caption) {
  QPainter painter(&box);
  const QFontMetrics fm(box.font());
  const int top = fm.height() / 2 - 1;
  const QColor shadow = ToQColor(tk::colors::clBtnShadow);
  const QColor light = ToQColor(tk::colors::clBtnHighlight);
  const QRect frame(0, top, box.width() - 2, box.height() - top - 2);
  painter.setPen(shadow);
  painter.drawRect(frame);
  painter.setPen(light);
  painter.drawRect(frame.translated(1, 1));
  if (caption.isEmpty()) return;
  const QRect text(8, 0, fm.horizontalAdvance(caption) + 2, fm.height());
  painter.fillRect(text, box.palette().color(QPalette::Window));
  painter.setPen(box.palette().color(box.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                     QPalette::WindowText));
  painter.drawText(text.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
}

GroupBoxView::GroupBoxView(tk::TGroupBox& box, FormView& form, QWidget* parent)
    : QGroupBox(parent), ControlView(box, form) {
  setFocusPolicy(Qt::NoFocus);
}

void GroupBoxView::sync(tk::Prop p) {
  if (p == tk::Prop::Caption) {
    setTitle(QString::fromStdString(control()->Caption())
                 .replace(QLatin1Char('&'), QStringLiteral("&&")));
    return;
  }
  ControlView::sync(p);
}

void GroupBoxView::paintEvent(QPaintEvent*) {
  PaintGroupFrame(*this, title());
}

PanelView::PanelView(tk::TPanel& panel, FormView& form, QWidget* parent)
    : QFrame(parent), ControlView(panel, form) {
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
}

void PanelView::sync(tk::Prop p) {
  switch (p) {
    case tk::Prop::Appearance:
    case tk::Prop::Caption:
    case tk::Prop::Alignment:
      update();
      break;
    default:
      ControlView::sync(p);
      break;
  }
}

void PanelView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  auto* panel = dynamic_cast<tk::TPanel*>(control());
  if (panel == nullptr) return;
  QPainter painter(this);
  const QColor light = ToQColor(tk::colors::clBtnHighlight);
  const QColor dark = ToQColor(tk::colors::clBtnShadow);
  QRect r = rect().adjusted(0, 0, -1, -1);
  // Outer bevel, then inner bevel one pixel in, as the toolkit draws a panel's frame.
  for (tk::TBevelCut cut : {panel->BevelOuter(), panel->BevelInner()}) {
    if (cut == tk::TBevelCut::bvLowered || cut == tk::TBevelCut::bvRaised) {
      const bool raised = cut == tk::TBevelCut::bvRaised;
      painter.setPen(raised ? light : dark);
      painter.drawLine(r.topLeft(), r.topRight());
      painter.drawLine(r.topLeft(), r.bottomLeft());
      painter.setPen(raised ? dark : light);
      painter.drawLine(r.bottomLeft(), r.bottomRight());
      painter.drawLine(r.topRight(), r.bottomRight());
    }
    if (cut != tk::TBevelCut::bvNone) r.adjust(1, 1, -1, -1);
  }
  if (!panel->Caption().empty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, QString::fromStdString(panel->Caption()));
  }
}

GenericView::GenericView(tk::TControl& control, FormView& form, QWidget* parent)
    : QWidget(parent), ControlView(control, form) {
  setFocusPolicy(Qt::NoFocus);
}

}  // namespace qtviews
