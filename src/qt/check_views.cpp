#include "qt/check_views.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "qt/form_view.h"

namespace qtviews {

namespace {

// Common to both buttons: caption, checked state and tab stop.
template <class Widget, class Control>
bool syncButton(Widget& w, Control& c, tk::Prop p) {
  switch (p) {
    case tk::Prop::Caption:
      // "&" would make a mnemonic; the definitions' captions are plain text.
      w.setText(
          QString::fromStdString(c.Caption()).replace(QLatin1Char('&'), QStringLiteral("&&")));
      return true;
    case tk::Prop::Checked:
      w.setChecked(c.Checked());
      return true;
    case tk::Prop::TabOrder:
      // Tab follows the model's order (FormView); a mouse press must not move the Qt focus.
      w.setFocusPolicy(c.TabStop() ? Qt::TabFocus : Qt::NoFocus);
      return true;
    default:
      return false;
  }
}

// The arrows go to the model through the form view; other keys (Space) are the button's.
bool arrowToModel(ControlView& view, FormView* form, QKeyEvent* event) {
  if (!ArrowKeyOf(event->key())) return false;
  if (form != nullptr && view.control() != nullptr) form->pressKey(event->key());
  event->accept();
  return true;
}

}  // namespace

CheckBoxView::CheckBoxView(tk::TCheckBox& box, FormView& form, QWidget* parent)
    : FocusMarked<QCheckBox>(parent), ControlView(box, form) {
  connect(this, &QAbstractButton::clicked, this, [this] {
    tk::TControl* c = control();
    if (c != nullptr) userEvent([c] { tk::userClick(*c); });
    if (control() != nullptr) setChecked(static_cast<tk::TCheckBox*>(control())->Checked());
  });
}

void CheckBoxView::sync(tk::Prop p) {
  if (!syncButton(*this, *static_cast<tk::TCheckBox*>(control()), p)) ControlView::sync(p);
}

void CheckBoxView::focusInEvent(QFocusEvent* event) {
  QCheckBox::focusInEvent(event);
  qtFocusArrived(event->reason());
}

void CheckBoxView::keyPressEvent(QKeyEvent* event) {
  if (!arrowToModel(*this, formView(), event)) QCheckBox::keyPressEvent(event);
}

RadioButtonView::RadioButtonView(tk::TRadioButton& radio, FormView& form, QWidget* parent)
    : FocusMarked<QRadioButton>(parent), ControlView(radio, form) {
  setAutoExclusive(false);  // the model unchecks the siblings
  connect(this, &QAbstractButton::clicked, this, [this] {
    tk::TControl* c = control();
    if (c != nullptr) userEvent([c] { tk::userClick(*c); });
    if (control() != nullptr) setChecked(static_cast<tk::TRadioButton*>(control())->Checked());
  });
}

void RadioButtonView::sync(tk::Prop p) {
  if (!syncButton(*this, *static_cast<tk::TRadioButton*>(control()), p)) ControlView::sync(p);
}

void RadioButtonView::focusInEvent(QFocusEvent* event) {
  QRadioButton::focusInEvent(event);
  qtFocusArrived(event->reason());
}

void RadioButtonView::keyPressEvent(QKeyEvent* event) {
  if (!arrowToModel(*this, formView(), event)) QRadioButton::keyPressEvent(event);
}

}  // namespace qtviews
