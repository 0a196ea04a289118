#include "qt/screen_cursor.h"

#include <QApplication>

namespace qtviews {

ScreenCursorView::ScreenCursorView(tk::TScreen& screen)
    : screen_(screen), previous_(screen.OnChange) {
  screen_.OnChange = [this] { changed(); };
  apply();
}

ScreenCursorView::~ScreenCursorView() {
  if (applied_) QApplication::restoreOverrideCursor();
  screen_.OnChange = previous_;
}

void ScreenCursorView::changed() {
  apply();
  if (previous_) previous_();
}

void ScreenCursorView::apply() {
  const bool hourglass = screen_.Cursor() == tk::crHourGlass;
  if (hourglass && !applied_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    applied_ = true;
  } else if (!hourglass && applied_) {
    QApplication::restoreOverrideCursor();
    applied_ = false;
  }
}

}  // namespace qtviews
