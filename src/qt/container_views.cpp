#include "qt/container_views.h"

#include <QPainter>

#include "qt/look.h"

namespace qtviews {

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
