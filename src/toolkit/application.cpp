#include "toolkit/application.h"

#include <algorithm>

#include "rtl/exceptions.h"
#include "rtl/failure_text.h"
#include "rtl/runtime_texts.h"
#include "toolkit/register_classes.h"

namespace tk {

namespace {
TApplication* theApplication = nullptr;
}  // namespace

TApplication& Application() {
  if (theApplication == nullptr)
    throw rtl::EInvalidOperation(rtl::RuntimeMessage(rtl::RuntimeText::NoApplication));
  return *theApplication;
}

TScreen& Screen() {
  return Application().Screen();
}

bool ApplicationExists() {
  return theApplication != nullptr;
}

void TScreen::SetCursor(int cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (OnChange) OnChange();
}

void TScreen::setActiveForm(TForm* form) {
  if (form == activeForm_) return;
  activeForm_ = form;
  if (OnChange) OnChange();
}

TApplication::TApplication() {
  if (theApplication != nullptr)
    throw rtl::EInvalidOperation(rtl::RuntimeMessage(rtl::RuntimeText::ApplicationExists));
  theApplication = this;
  RegisterToolkitClasses(classes_);
  SetPorts(Ports{});
}

TApplication::~TApplication() {
  FreeAll();
  theApplication = nullptr;
}

void TApplication::FreeAll(const TComponent* keep) {
  for (size_t i = ComponentCount(); i-- > 0;) {
    if (i >= ComponentCount()) continue;  // an OnDestroy freed more than its own form
    TComponent* owned = Components(i);
    if (owned == keep) continue;
    if (auto* form = dynamic_cast<TForm*>(owned)) {
      try {
        form->Destroying();
      } catch (...) {
        // Shutting down: nobody is left to show it.
      }
    }
    FreeOwned(owned);
  }
}

void TApplication::HandleException(const std::exception& e) {
  if (dynamic_cast<const rtl::EAbort*>(&e) != nullptr) return;
  if (OnException) {
    OnException(e);
    return;
  }
  std::string message = rtl::FailureText(e);
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  Dialogs().ShowError(message);
}

void TApplication::ScheduleRelease(TForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end())
    released_.push_back(form);
}

void TApplication::ProcessDeferred() {
  while (!released_.empty()) {
    TForm* form = released_.front();
    released_.erase(released_.begin());
    try {
      form->Destroying();
    } catch (const std::exception& e) {
      HandleException(e);
    }
    if (TComponent* owner = form->Owner()) owner->FreeOwned(form);
  }
}

void TApplication::discardForm(TForm* form) {
  try {
    form->Destroying();
  } catch (...) {
    // The failure that ended the creation is the one the caller hears about.
  }
  FreeOwned(form);
}

void TApplication::formGone(TForm* form) {
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
  if (screen_.activeForm_ == form) screen_.setActiveForm(nullptr);
}

void TApplication::SetPorts(const Ports& ports) {
  ports_.dialogs = ports.dialogs != nullptr ? ports.dialogs : &headless_;
  ports_.busy = ports.busy != nullptr ? ports.busy : &headless_;
  ports_.pickOne = ports.pickOne != nullptr ? ports.pickOne : &headless_;
  ports_.pickMany = ports.pickMany != nullptr ? ports.pickMany : &headless_;
  if (ports.clock != nullptr) rtl::SetClock(ports.clock);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  return Application().Dialogs().MessageDlg(text, type, buttons, helpContext);
}

void ShowMessage(const std::string& text) {
  Application().Dialogs().ShowMessage(text);
}

}  // namespace tk
