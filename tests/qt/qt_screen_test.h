#pragma once
// The fixture of the view tests: the screen tests' fixture (a headless application with a
// main form, the session, a stopped clock, the fake server with its catalogue) plus the Qt view
// of the opened screen, shown and active on the offscreen platform. Tests act on the widgets as
// a user would (clicks, keys) and compare what the widgets show with the model's state.

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>

#include "qt/form_view.h"
#include "vnd42406/screen_test.h"

namespace qttest {

class QtScreenTest : public screentest::ScreenTest {
 protected:
  ~QtScreenTest() override;

  // Opens the screen and builds its view; the view's window is made the active one.
  void openView();
  // The same after filling the header with 0001 / 001 / 01/12/2026 (openWithHeader).
  void openViewWithHeader();
  QWidget* widget(const std::string& name) const;
  template <class T>
  T* widget(const std::string& name) const {
    auto* w = dynamic_cast<T*>(widget(name));
    if (w == nullptr) ADD_FAILURE() << name << " has no view of the expected kind";
    return w;
  }
  // The name of the control whose view holds the Qt focus ("" for none).
  std::string qtFocus() const;
  // Every control of the form, one per line, as the model has it and as the views show it:
  //   name left,top widthxheight [off] [hidden] "text" [checked]
  std::string modelControls() const;
  std::string shownControls() const;

  std::unique_ptr<qtviews::FormView> view;

 private:
  void showView();
};

}  // namespace qttest
