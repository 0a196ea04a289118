#include "qt/form_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "qt/accessibility.h"
#include "qt/check_views.h"
#include "qt/container_views.h"
#include "qt/control_view.h"
#include "qt/date_edit_view.h"
#include "qt/edit_view.h"
#include "qt/glyph_button_view.h"
#include "qt/label_view.h"
#include "qt/look.h"
#include "qt/radio_group_view.h"
#include "qt/tab_order.h"
#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/date_edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/radio_group.h"

namespace qtviews {

std::optional<tk::TArrowKey> ArrowKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return tk::TArrowKey::Left;
    case Qt::Key_Up:
      return tk::TArrowKey::Up;
    case Qt::Key_Right:
      return tk::TArrowKey::Right;
    case Qt::Key_Down:
      return tk::TArrowKey::Down;
    default:
      return std::nullopt;
  }
}

FormView::FormView(tk::TForm& form, QWidget* parent) : QWidget(parent), form_(&form) {
  InstallAccessibility();
  setObjectName(QString::fromStdString(form.Name()));
  setAutoFillBackground(true);
  // The model decides where the focus is; the client area itself never holds it.
  setFocusPolicy(Qt::NoFocus);
  subscription_ = form.Subscribe([this](tk::TControl&, tk::Prop p) { formChanged(p); });
  applyFormLook();
  build(form, this);
}

FormView::~FormView() {
  for (auto& [control, view] : views_) view->forgetForm();
  views_.clear();
  if (form_ != nullptr) form_->Unsubscribe(subscription_);
}

void FormView::registerView(ControlView* view) {
  views_[view->control()] = view;
}

void FormView::unregisterView(ControlView* view) {
  for (auto it = views_.begin(); it != views_.end(); ++it) {
    if (it->second == view) {
      views_.erase(it);
      return;
    }
  }
}

ControlView* FormView::viewFor(const tk::TControl* control) const {
  const auto it = views_.find(control);
  return it != views_.end() ? it->second : nullptr;
}

ControlView* FormView::viewByName(const std::string& name) const {
  for (const auto& [control, view] : views_)
    if (control->Name() == name) return view;
  return nullptr;
}

QWidget* FormView::widgetByName(const std::string& name) const {
  ControlView* v = viewByName(name);
  return v != nullptr ? v->widget() : nullptr;
}

void FormView::build(tk::TWinControl& container, QWidget* area) {
  for (tk::TControl* child : container.Controls()) {
    ControlView* view = createView(*child, area);
    if (auto* wc = dynamic_cast<tk::TWinControl*>(child); wc != nullptr && view->childArea())
      build(*wc, view->childArea());
  }
}

ControlView* FormView::createView(tk::TControl& control, QWidget* parent) {
  ControlView* view = nullptr;
  // Most derived classes first.
  if (auto* date = dynamic_cast<tk::TDateEditPlus*>(&control)) {
    view = new DateEditView(*date, *this, parent);
  } else if (auto* edit = dynamic_cast<tk::TCustomEdit*>(&control)) {
    view = new EditView(*edit, *this, parent);
  } else if (auto* check = dynamic_cast<tk::TCheckBox*>(&control)) {
    view = new CheckBoxView(*check, *this, parent);
  } else if (auto* radio = dynamic_cast<tk::TRadioButton*>(&control)) {
    view = new RadioButtonView(*radio, *this, parent);
  } else if (auto* group = dynamic_cast<tk::TRadioGroup*>(&control)) {
    view = new RadioGroupView(*group, *this, parent);
  } else if (auto* box = dynamic_cast<tk::TGroupBox*>(&control)) {
    view = new GroupBoxView(*box, *this, parent);
  } else if (auto* panel = dynamic_cast<tk::TPanel*>(&control)) {
    view = new PanelView(*panel, *this, parent);
  } else if (auto* button = dynamic_cast<tk::TGlyphButton*>(&control)) {
    view = new GlyphButtonView(*button, *this, parent);
  } else if (auto* label = dynamic_cast<tk::TLabel*>(&control)) {
    view = new LabelView(*label, *this, parent);
  } else {
    view = new GenericView(control, *this, parent);
  }
  view->widget()->setObjectName(QString::fromStdString(control.Name()));
  view->syncAll();
  return view;
}

void FormView::applyFormLook() {
  setFixedSize(form_->ClientWidth(), form_->ClientHeight());
  setWindowTitle(QString::fromStdString(form_->Caption()));
  setFont(ToQFont(form_->EffectiveFont()));
  QPalette pal = palette();
  SetPaletteColor(pal, QPalette::Window, ToQColor(form_->Color()));
  SetPaletteColor(pal, QPalette::Button, ToQColor(form_->Color()));
  SetPaletteColor(pal, QPalette::WindowText, ToQColor(form_->EffectiveFont().Color));
  pal.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(tk::colors::clGrayText));
  pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(tk::colors::clGrayText));
  setPalette(pal);
}

void FormView::formChanged(tk::Prop p) {
  switch (p) {
    case tk::Prop::Destroying:
      formDestroyed();
      return;
    case tk::Prop::Focused:
      syncFocus();
      return;
    case tk::Prop::Bounds:
    case tk::Prop::Caption:
    case tk::Prop::Font:
    case tk::Prop::Color:
      applyFormLook();
      break;
    default:
      break;
  }
  if (onFormChange) onFormChange(p);
}

void FormView::formDestroyed() {
  // The form notifies before its controls go; every view lets go of its control now.
  for (auto& [control, view] : views_) {
    view->forgetForm();
    view->detach();
  }
  views_.clear();
  form_->Unsubscribe(subscription_);
  form_ = nullptr;
  if (onFormGone) onFormGone();
}

bool FormView::windowActive() const {
  if (!window()->isActiveWindow()) return false;
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* sub = dynamic_cast<QMdiSubWindow*>(w)) {
      QMdiArea* area = sub->mdiArea();
      return area == nullptr || area->activeSubWindow() == sub;
    }
  }
  return true;
}

void FormView::syncFocus() {
  if (form_ == nullptr || !windowActive()) return;
  tk::TWinControl* target = form_->ActiveControl();
  ControlView* view = target != nullptr ? viewFor(target) : nullptr;
  if (view == nullptr) return;
  QWidget* w = view->focusTarget();
  if (w != nullptr && !w->hasFocus() && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

tk::EventOutcome FormView::runUserEvent(const std::function<void()>& action) {
  QPointer<FormView> self(this);
  const tk::EventOutcome outcome = tk::RunUserEvent(action);
  if (self != nullptr) self->syncFocus();
  return outcome;
}

bool FormView::pressKey(int key) {
  if (form_ == nullptr) return false;
  bool used = false;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    const std::string name = "F" + std::to_string(key - Qt::Key_F1 + 1);
    tk::TForm* form = form_;
    runUserEvent([form, name, &used] { used = tk::userFunctionKey(*form, name); });
    return used;
  }
  const std::optional<tk::TArrowKey> arrow = ArrowKeyOf(key);
  tk::TWinControl* focused = form_->ActiveControl();
  if (!arrow || focused == nullptr) return false;
  runUserEvent([focused, arrow, &used] { used = tk::userArrowKey(*focused, *arrow); });
  return used;
}

void FormView::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && pressKey(event->key())) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool FormView::focusNextPrevChild(bool next) {
  if (form_ == nullptr) return QWidget::focusNextPrevChild(next);
  tk::TWinControl* target = NextTabControl(*form_, form_->ActiveControl(), next);
  if (target != nullptr) {
    runUserEvent([target] { tk::userFocus(*target); });
  } else {
    syncFocus();
  }
  return true;
}

}  // namespace qtviews
