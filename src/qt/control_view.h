#pragma once
// ControlView: what every Qt view of a toolkit control shares. A view is a Qt widget (the
// concrete views derive from a widget class and from this) that mirrors one control through
// the control's change notification and hands the user's actions to the user-input API through
// its form view. The control owns the state; the view only shows it. When the control is
// destroyed the view detaches at once (it never touches the control again) and the widget is
// deleted later, so a widget whose event caused the destruction is still there to return to.

#include <QWidget>
#include <functional>

#include "toolkit/control.h"
#include "toolkit/user_input.h"

namespace qtviews {

class FormView;

class ControlView {
 public:
  virtual ~ControlView();
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  // The control, or nullptr once detached.
  tk::TControl* control() const { return control_; }
  tk::TWinControl* winControl() const;
  virtual QWidget* widget() = 0;
  // The widget that holds the Qt focus while the model's focus is on this control.
  virtual QWidget* focusTarget() { return widget(); }
  // Where the views of this control's children are placed (containers only).
  virtual QWidget* childArea() { return nullptr; }

  // Re-reads the whole state of the control.
  void syncAll();
  // Stops mirroring: unsubscribes and forgets the control.
  void detach();
  // The form view is going away before this view (it deletes its widgets itself).
  void forgetForm() { form_ = nullptr; }

 protected:
  ControlView(tk::TControl& control, FormView& form);

  // Re-reads the part of the state `p` names. The base handles what every control has:
  // geometry, enabled, visible, hint, font and colour.
  virtual void sync(tk::Prop p);
  // Applies the control's colour; by default as the widget's background (Window role).
  virtual void applyColor();
  // Applies the control's effective font (and its colour as the text colour).
  virtual void applyFont();

  // Runs one user action through the form view (see FormView::runUserEvent).
  tk::EventOutcome userEvent(const std::function<void()>& action);
  // Makes sure the model's focus is on this control before input reaches it: asks for it
  // through userFocus when it is elsewhere. False when the model kept it elsewhere (an exit
  // handler refused); the Qt focus has then been put back where the model has it.
  bool ensureModelFocus();
  // Qt gave this view the focus on its own (a click, Tab from outside, a window coming back).
  // A user's move is followed (after the event, or at the next input); anything else puts the
  // Qt focus back where the model has it.
  void qtFocusArrived(Qt::FocusReason reason);
  FormView* formView() const { return form_; }

 private:
  void changed(tk::Prop p);

  tk::TControl* control_;
  FormView* form_;
  tk::SubscriptionId subscription_ = 0;
};

}  // namespace qtviews
