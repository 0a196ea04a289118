#pragma once
// FormView: the Qt view of one toolkit form -- its client area with a view for every control,
// built in code from the form's controls at their defined places (no designer files). It owns
// the widgets, keeps the Qt focus where the model has it, walks Tab through the model's tab
// order, and runs every user action of its views as one user event. The form stays the
// model's: when it is destroyed the views detach and onFormGone tells the window holding
// this view to go.

#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "toolkit/form.h"
#include "toolkit/keyboard.h"
#include "toolkit/user_input.h"

namespace qtviews {

class ControlView;

// The model's arrow key for a Qt key code, or nothing when it is no arrow.
std::optional<tk::TArrowKey> ArrowKeyOf(int qtKey);

class FormView : public QWidget {
 public:
  explicit FormView(tk::TForm& form, QWidget* parent = nullptr);
  ~FormView() override;

  // The form, or nullptr once it has been destroyed.
  tk::TForm* form() const { return form_; }
  ControlView* viewFor(const tk::TControl* control) const;
  // The view of the control of that component name, or nullptr.
  ControlView* viewByName(const std::string& name) const;
  QWidget* widgetByName(const std::string& name) const;

  // Runs `action` as one user event (tk::RunUserEvent: an exception that ends it is shown, forms
  // released during it are freed), then puts the Qt focus where the model left it.
  tk::EventOutcome runUserEvent(const std::function<void()>& action);
  // Gives the Qt focus to the view of the model's focused control, when this form's window is
  // the active one.
  void syncFocus();

  // The form was destroyed; the views are detached. The holder should close its window.
  std::function<void()> onFormGone;
  // Caption, visibility, window state or activation of the form changed.
  std::function<void(tk::Prop)> onFormChange;

  // Hands an arrow or function key (a Qt key code) to the model as one user event; true when
  // the model used it. Views whose widgets would take the arrows for themselves call it.
  bool pressKey(int key);

  void registerView(ControlView* view);
  void unregisterView(ControlView* view);

 protected:
  // Tab and Shift+Tab inside the form follow the model's tab order (see tab_order.h).
  bool focusNextPrevChild(bool next) override;
  // The keys the model handles (toolkit/keyboard.h) that no control used on the way up: the
  // arrows and the function keys.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void build(tk::TWinControl& container, QWidget* area);
  ControlView* createView(tk::TControl& control, QWidget* parent);
  void formChanged(tk::Prop p);
  void formDestroyed();
  void applyFormLook();
  bool windowActive() const;

  tk::TForm* form_;
  uint64_t subscription_ = 0;
  std::map<const tk::TControl*, ControlView*> views_;
};

}  // namespace qtviews
