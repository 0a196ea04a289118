#include "toolkit/form.h"

#include <algorithm>

#include "rtl/runtime_texts.h"
#include "rtl/strings.h"
#include "toolkit/application.h"
#include "toolkit/definition_reader.h"

namespace tk {

const char* WindowStateName(TWindowState s) {
  switch (s) {
    case TWindowState::wsNormal:
      return "normal";
    case TWindowState::wsMinimized:
      return "minimized";
    case TWindowState::wsMaximized:
      return "maximized";
  }
  return "normal";
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  TControl::SetVisible(false);  // forms start hidden
  SetTabStop(false);
}

TForm::~TForm() {
  if (ApplicationExists()) Application().formGone(this);
  focused_ = nullptr;
  exiting_ = nullptr;
}

void TForm::CreateFromDefinitions(const ClassRegistry& classes) {
  {
    DefinitionReader reader(classes, *this, handlers_);
    for (const FormDefinition& d : Definitions()) reader.Read(d.text, d.source);
    reader.Finish();
  }
  BindComponents();
  created_ = true;
  Fire(OnCreate);
}

void TForm::SetFormStyle(TFormStyle s) {
  if (s == formStyle_) return;
  formStyle_ = s;
  Notify(Prop::Appearance);
}

void TForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  Notify(Prop::Appearance);
}

void TForm::SetClientSize(int width, int height) {
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  Notify(Prop::Bounds);
}

void TForm::SetWindowState(TWindowState s) {
  if (s == windowState_) return;
  windowState_ = s;
  Notify(Prop::WindowState);
}

void TForm::SetVisible(bool value) {
  if (EventsQuiet()) {  // the definition only records it; the first Show shows the form
    TControl::SetVisible(value);
    return;
  }
  if (value == Visible()) return;
  if (value) {
    TControl::SetVisible(true);
    Fire(OnShow);
    Activate();
  } else {
    Deactivate();
    TControl::SetVisible(false);
    Fire(OnHide);
  }
}

void TForm::Show() {
  SetVisible(true);
  Activate();
}

void TForm::Hide() {
  SetVisible(false);
}

bool TForm::Active() const {
  return ApplicationExists() && Application().Screen().ActiveForm() == this;
}

void TForm::Activate() {
  if (!Visible() || Active()) return;
  TScreen& screen = Application().Screen();
  if (TForm* previous = screen.ActiveForm()) previous->Deactivate();
  screen.setActiveForm(this);
  Notify(Prop::Active);
  Fire(OnActivate);
}

void TForm::Deactivate() {
  if (!Active()) return;
  Application().Screen().setActiveForm(nullptr);
  Notify(Prop::Active);
  Fire(OnDeactivate);
}

void TForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  if (formStyle_ == TFormStyle::fsMDIChild) {
    const bool canMinimize =
        std::find(borderIcons_.begin(), borderIcons_.end(), "biMinimize") != borderIcons_.end();
    action = canMinimize ? TCloseAction::caMinimize : TCloseAction::caNone;
  }
  if (OnClose && !EventsQuiet()) OnClose(this, action);
  switch (action) {
    case TCloseAction::caNone:
      break;
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caMinimize:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case TCloseAction::caFree:
      Release();
      break;
  }
}

void TForm::Release() {
  released_ = true;
  Application().ScheduleRelease(this);
}

void TForm::Refresh() {
  Notify(Prop::Repaint);
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control != nullptr) {
    control->SetFocus();
    return;
  }
  TWinControl* old = focused_;
  if (old == nullptr) return;
  focused_ = nullptr;
  old->Notify(Prop::Focused);
  Notify(Prop::Focused);
}

void TForm::SetFocus() {
  if (!CanFocus()) throw rtl::EInvalidOperation(rtl::RuntimeMessage(rtl::RuntimeText::CannotFocus));
  Activate();
}

void TForm::Destroying() {
  if (destroyed_) return;
  destroyed_ = true;
  if (created_) Fire(OnDestroy);
}

// The exit side runs first: the mask check and OnExit of the control losing the focus, then
// OnExit of each container being left, innermost first. Anything they raise abandons the move;
// keeping the user in a field is SetFocus on it (which finds it focused still) and a raise. A
// nested move elsewhere started by those handlers runs without the exit handlers of the control
// already exiting, and wins over this one.
void TForm::FocusControl(TWinControl* target) {
  if (target == focused_) return;
  TWinControl* old = focused_;
  if (old != nullptr && old != exiting_) {
    TWinControl* const outer = exiting_;
    exiting_ = old;
    try {
      old->ValidateExit();
      old->Fire(old->OnExit);
      for (TWinControl* c = old->Parent();
           focused_ == old && c != nullptr && c != this && !c->ContainsControl(target);
           c = c->Parent())
        c->Fire(c->OnExit);
    } catch (...) {
      exiting_ = outer;
      throw;
    }
    exiting_ = outer;
    if (focused_ != old) return;
    if (!target->CanFocus()) return;  // an exit handler disabled or hid the target
  }
  focused_ = target;
  if (old != nullptr) old->Notify(Prop::Focused);
  target->Notify(Prop::Focused);
  Notify(Prop::Focused);
  target->FocusArrived();
  // The enter side: containers being entered, outermost first, then the control itself.
  std::vector<TWinControl*> entered;
  for (TWinControl* c = target->Parent(); c != nullptr && c != this; c = c->Parent()) {
    if (old != nullptr && c->ContainsControl(old)) break;
    entered.push_back(c);
  }
  for (auto it = entered.rbegin(); it != entered.rend(); ++it) (*it)->Fire((*it)->OnEnter);
  target->Fire(target->OnEnter);
}

void TForm::ControlGone(TWinControl* control) {
  if (exiting_ == control) exiting_ = nullptr;
  if (focused_ == control) {
    focused_ = nullptr;
    Notify(Prop::Focused);
  }
}

void TForm::InsertDefinedChild(TComponent* child) {
  // Controls become children; non-visual components are only owned by the form.
  if (auto* control = dynamic_cast<TControl*>(child)) control->SetParent(this);
}

void TForm::Loaded() {
  TWinControl::Loaded();
  if (activeControlName_.empty()) return;
  auto* control = dynamic_cast<TWinControl*>(FindComponent(activeControlName_));
  if (control == nullptr)
    throw EDefinitionError(Name() + ": ActiveControl " + activeControlName_ +
                           " is not a control of the form that can take the focus");
  focused_ = control;
}

namespace {

template <class E, size_t N>
E enumValue(const std::string& property, const PropValue& v, const char* const (&names)[N]) {
  const std::string& ident = v.asIdentifier(property);
  for (size_t i = 0; i < N; ++i)
    if (rtl::SameText(ident, names[i])) return static_cast<E>(i);
  throw EDefinitionError("property " + property + ": unknown value " + ident);
}

constexpr const char* kFormStyles[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
constexpr const char* kBorderStyles[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                         "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr const char* kWindowStates[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr const char* kPositions[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                      "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                      "poMainFormCenter",  "poOwnerFormCenter"};
constexpr const char* kBorderIcons[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};

}  // namespace

void TForm::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "FormStyle") {
    SetFormStyle(enumValue<TFormStyle>(name, value, kFormStyles));
  } else if (name == "BorderStyle") {
    SetBorderStyle(enumValue<TFormBorderStyle>(name, value, kBorderStyles));
  } else if (name == "WindowState") {
    SetWindowState(enumValue<TWindowState>(name, value, kWindowStates));
  } else if (name == "Position") {
    position_ = kPositions[enumValue<size_t>(name, value, kPositions)];
  } else if (name == "BorderIcons") {
    if (value.kind != PropValue::Kind::Set)
      throw EDefinitionError("property " + name + ": a set is expected");
    std::vector<std::string> icons;
    for (const PropValue& item : value.items)
      icons.push_back(kBorderIcons[enumValue<size_t>(name, item, kBorderIcons)]);
    borderIcons_ = std::move(icons);
    Notify(Prop::Appearance);
  } else if (name == "ClientWidth") {
    SetClientSize(static_cast<int>(value.asInteger(name)), clientHeight_);
  } else if (name == "ClientHeight") {
    SetClientSize(clientWidth_, static_cast<int>(value.asInteger(name)));
  } else if (name == "PixelsPerInch") {
    pixelsPerInch_ = static_cast<int>(value.asInteger(name));
  } else if (name == "TextHeight") {
    textHeight_ = static_cast<int>(value.asInteger(name));
  } else if (name == "OldCreateOrder" || name == "KeyPreview" || name == "Scaled") {
    value.asBoolean(name);  // accepted for compatibility; creation order is always the same
  } else if (name == "ActiveControl") {
    activeControlName_ = value.asIdentifier(name);
  } else {
    TWinControl::SetProperty(name, value);
  }
}

void TForm::SetEvent(const std::string& name, const EventHandler& handler) {
  if (name == "OnCreate") {
    OnCreate = NotifyHandler(name, handler);
  } else if (name == "OnDestroy") {
    OnDestroy = NotifyHandler(name, handler);
  } else if (name == "OnActivate") {
    OnActivate = NotifyHandler(name, handler);
  } else if (name == "OnDeactivate") {
    OnDeactivate = NotifyHandler(name, handler);
  } else if (name == "OnShow") {
    OnShow = NotifyHandler(name, handler);
  } else if (name == "OnHide") {
    OnHide = NotifyHandler(name, handler);
  } else if (name == "OnClose") {
    const TCloseEvent* fn = handlerAs<TCloseEvent>(handler);
    if (fn == nullptr) wrongHandler(name);
    OnClose = *fn;
  } else {
    TWinControl::SetEvent(name, handler);
  }
}

}  // namespace tk
