#pragma once
// ScreenCursorView: the toolkit screen's cursor on the Qt application -- the hourglass (-11) as
// Qt's wait cursor over every window, the default (0) as no override. It takes the screen's
// change notice while it lives and hands every notice on to the one that was there before.

#include <functional>

#include "toolkit/application.h"

namespace qtviews {

class ScreenCursorView {
 public:
  explicit ScreenCursorView(tk::TScreen& screen);
  ~ScreenCursorView();
  ScreenCursorView(const ScreenCursorView&) = delete;
  ScreenCursorView& operator=(const ScreenCursorView&) = delete;

  bool hourglassShown() const { return applied_; }

 private:
  void changed();
  void apply();

  tk::TScreen& screen_;
  std::function<void()> previous_;
  bool applied_ = false;
};

}  // namespace qtviews
