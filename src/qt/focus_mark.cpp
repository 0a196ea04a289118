#include "qt/focus_mark.h"

#include <QPainter>

namespace qtviews {

void DrawFocusMark(QPainter& painter, const QRect& rect, const QPalette& palette) {
  painter.save();
  QPen pen(palette.color(QPalette::WindowText));
  pen.setStyle(Qt::DotLine);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  painter.restore();
}

}  // namespace qtviews
