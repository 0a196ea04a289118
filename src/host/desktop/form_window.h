#pragma once
// FormWindow: the child window of the main window's MDI area that holds one toolkit form's view.
// It follows the form -- caption, shown or hidden, window state, activation -- and hands the
// user's window actions to the model: the close box becomes userClose (the form decides
// whether and how it closes), activating the window by hand becomes userActivate, minimizing,
// maximizing or restoring it becomes userSetWindowState. When the form is destroyed the window
// goes.

#include <QMdiSubWindow>

#include "qt/form_view.h"
#include "toolkit/form.h"

class QMdiArea;

namespace host {

class FormWindow : public QMdiSubWindow {
 public:
  FormWindow(tk::TForm& form, QMdiArea& area);

  qtviews::FormView* view() const { return view_; }
  tk::TForm* form() const { return view_->form(); }
  // The user made this window the active one: the model's form is activated when it is not.
  void activatedByUser();
  // Shows the window as the form stands now: shown or hidden, and its window state.
  void followForm();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void formChanged(tk::Prop p);
  void followWindowState();
  void formGone();

  qtviews::FormView* view_;
  bool gone_ = false;
};

}  // namespace host
