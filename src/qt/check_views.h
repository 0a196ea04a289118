#pragma once
// CheckBoxView and RadioButtonView: a check box and a radio button whose checked state is the
// model's alone. Qt's own toggling and radio exclusivity are switched off: a click (mouse or
// Space) becomes userClick, and the model's Checked notices -- for the clicked button and for
// the siblings it unchecks -- set the widgets. They take the focus only from the model (Tab
// or a click), never from Qt on a mouse press, so a refused exit handler stops the click
// before anything toggles. Both show the focus with a dotted frame (focus_mark.h). The arrow keys
// are the model's (toolkit/keyboard.h): Qt would move the focus by its own rules.

#include <QCheckBox>
#include <QRadioButton>

#include "qt/control_view.h"
#include "qt/focus_mark.h"
#include "toolkit/check_buttons.h"

namespace qtviews {

class CheckBoxView : public FocusMarked<QCheckBox>, public ControlView {
 public:
  CheckBoxView(tk::TCheckBox& box, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void nextCheckState() override {}  // the model decides
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class RadioButtonView : public FocusMarked<QRadioButton>, public ControlView {
 public:
  RadioButtonView(tk::TRadioButton& radio, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void nextCheckState() override {}  // the model decides
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qtviews
