#pragma once
// TWinControl: a control that can hold the focus and contain other controls. It keeps its
// children in insertion order (they stay owned by their owner, normally the form) and knows
// its tab order. The focus itself is the form's: SetFocus asks the form to move it, which runs
// the exit handler of the control that loses it and the enter handler of this one.

#include <vector>

#include "toolkit/control.h"

namespace tk {

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  // Children in the order they were inserted.
  const std::vector<TControl*>& Controls() const { return controls_; }
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // Children in tab order (TabOrder, then insertion order for equal values).
  std::vector<TControl*> TabList() const;
  // True when `control` is this control or lies inside it.
  bool ContainsControl(const TControl* control) const;

  // Enabled and visible up to a showing form.
  virtual bool CanFocus() const;
  // Moves the focus here. Raises EInvalidOperation "Cannot focus a disabled or invisible
  // window" when CanFocus is false; whatever the exit handler of the focused control raises
  // goes on to the caller, and the focus then stays where that handler left it. Does nothing
  // when the control has the focus already.
  virtual void SetFocus();
  bool Focused() const;
  // False for controls a user cannot put the focus in by clicking (group boxes, panels).
  virtual bool UserFocusable() const { return true; }
  // True for controls that use the arrow keys themselves (edits move their caret, radio groups
  // their choice); on the others an arrow moves the focus among the parent's controls.
  virtual bool UsesArrowKeys() const { return false; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // A control nested in the definition becomes a child.
  void InsertDefinedChild(TComponent* child) override;
  void SetEvent(const std::string& name, const EventHandler& handler) override;

 protected:
  friend class TForm;
  // Runs before OnExit when the focus leaves; raising keeps the focus here.
  virtual void ValidateExit() {}
  // The focus has just arrived here (before OnEnter).
  virtual void FocusArrived() {}
  void EffectiveFontChanged() override;

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
};

}  // namespace tk
