#include "qt/control_view.h"

#include <QPointer>
#include <QTimer>

#include "qt/form_view.h"
#include "qt/look.h"
#include "toolkit/accessible_name.h"
#include "toolkit/application.h"
#include "toolkit/win_control.h"

namespace qtviews {

ControlView::ControlView(tk::TControl& control, FormView& form) : control_(&control), form_(&form) {
  subscription_ = control.Subscribe([this](tk::TControl&, tk::Prop p) { changed(p); });
  form.registerView(this);
}

ControlView::~ControlView() {
  detach();
}

tk::TWinControl* ControlView::winControl() const {
  return dynamic_cast<tk::TWinControl*>(control_);
}

void ControlView::detach() {
  if (control_ == nullptr) return;
  control_->Unsubscribe(subscription_);
  if (form_ != nullptr) form_->unregisterView(this);
  control_ = nullptr;
}

void ControlView::changed(tk::Prop p) {
  if (p == tk::Prop::Destroying) {
    detach();
    widget()->hide();
    widget()->deleteLater();
    return;
  }
  sync(p);
}

void ControlView::syncAll() {
  for (tk::Prop p : {tk::Prop::Bounds, tk::Prop::Enabled, tk::Prop::Visible, tk::Prop::Hint,
                     tk::Prop::Font, tk::Prop::Color, tk::Prop::Caption, tk::Prop::Text,
                     tk::Prop::Alignment, tk::Prop::MaxLength, tk::Prop::EditMask,
                     tk::Prop::Checked, tk::Prop::Items, tk::Prop::ItemIndex, tk::Prop::Glyph,
                     tk::Prop::TabOrder, tk::Prop::ReadOnly, tk::Prop::Appearance})
    if (control_ != nullptr) sync(p);
  // The form is read whole by now: the labels beside a control exist.
  if (control_ != nullptr)
    widget()->setAccessibleName(QString::fromStdString(tk::AccessibleName(*control_)));
}

namespace {

// ShowHint as it applies: the control's own, or its parent's while ParentShowHint is set.
bool effectiveShowHint(const tk::TControl& c) {
  const tk::TControl* at = &c;
  while (at->ParentShowHint() && at->Parent() != nullptr) at = at->Parent();
  return at->ShowHint();
}

}  // namespace

void ControlView::sync(tk::Prop p) {
  tk::TControl& c = *control_;
  QWidget* w = widget();
  switch (p) {
    case tk::Prop::Bounds:
      w->setGeometry(c.Left(), c.Top(), c.Width(), c.Height());
      break;
    case tk::Prop::Enabled:
      w->setEnabled(c.Enabled());
      break;
    case tk::Prop::Visible:
      w->setVisible(c.Visible());
      break;
    case tk::Prop::Hint:
      w->setToolTip(effectiveShowHint(c) ? QString::fromStdString(c.Hint()) : QString());
      break;
    case tk::Prop::Font:
      applyFont();
      break;
    case tk::Prop::Color:
      applyColor();
      break;
    case tk::Prop::Parent:
      if (form_ != nullptr && c.Parent() != nullptr) {
        ControlView* parent = form_->viewFor(c.Parent());
        QWidget* area = parent != nullptr ? parent->childArea() : nullptr;
        if (area == nullptr && c.Parent() == form_->form()) area = form_;
        if (area != nullptr && w->parentWidget() != area) {
          w->setParent(area);
          w->setGeometry(c.Left(), c.Top(), c.Width(), c.Height());
          w->setVisible(c.Visible());
        }
      }
      break;
    case tk::Prop::Focused:
      // The form view moves the Qt focus on the form's own notice.
      break;
    default:
      break;
  }
}

void ControlView::applyColor() {
  QWidget* w = widget();
  QPalette pal = w->palette();
  SetPaletteColor(pal, QPalette::Window, ToQColor(control_->Color()));
  SetPaletteColor(pal, QPalette::Button, ToQColor(control_->Color()));
  w->setPalette(pal);
}

void ControlView::applyFont() {
  QWidget* w = widget();
  const tk::TFont font = control_->EffectiveFont();
  w->setFont(ToQFont(font));
  QPalette pal = w->palette();
  const QColor text = ToQColor(font.Color);
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(g, QPalette::WindowText, text);
    pal.setColor(g, QPalette::Text, text);
    pal.setColor(g, QPalette::ButtonText, text);
  }
  const QColor gray = ToQColor(tk::colors::clGrayText);
  pal.setColor(QPalette::Disabled, QPalette::WindowText, gray);
  pal.setColor(QPalette::Disabled, QPalette::Text, gray);
  pal.setColor(QPalette::Disabled, QPalette::ButtonText, gray);
  w->setPalette(pal);
}

tk::EventOutcome ControlView::userEvent(const std::function<void()>& action) {
  if (form_ == nullptr) return tk::RunUserEvent(action);
  return form_->runUserEvent(action);
}

bool ControlView::ensureModelFocus() {
  tk::TWinControl* wc = winControl();
  if (wc == nullptr) return false;
  if (wc->Focused()) return true;
  userEvent([wc] { tk::userFocus(*wc); });
  // The control may have gone with its form during the event.
  return control_ != nullptr && wc->Focused();
}

void ControlView::qtFocusArrived(Qt::FocusReason reason) {
  tk::TWinControl* wc = winControl();
  if (wc == nullptr || wc->Focused()) return;
  const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                      reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
  // After the event that moved the Qt focus, never inside it: the focus change may run exit
  // handlers that show boxes.
  QTimer::singleShot(0, widget(), [this, byUser] {
    tk::TWinControl* now = winControl();
    if (now == nullptr || now->Focused()) return;
    // Inside a running user event (a box of it is open) the event's end syncs the focus.
    if (tk::ApplicationExists() && tk::Application().EventDepth() > 0) return;
    if (byUser && focusTarget()->hasFocus()) {
      ensureModelFocus();
    } else if (form_ != nullptr) {
      form_->syncFocus();
    }
  });
}

}  // namespace qtviews
