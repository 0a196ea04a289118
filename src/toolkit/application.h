#pragma once
// TApplication and TScreen: the process-wide objects of the toolkit. The host creates one
// TApplication (which holds the one TScreen); tk::Application() and tk::Screen() reach them
// from anywhere, the dlopen'ed screen module included, since the toolkit is a shared library.
// The application owns the forms it creates, the class registry definitions are read with,
// and the ports; it shows the exceptions that end user events and frees released forms.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/form.h"
#include "toolkit/headless/headless_ports.h"
#include "toolkit/ports.h"

namespace tk {

constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

class TScreen {
 public:
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor);
  // The form that is the active window, or nullptr.
  TForm* ActiveForm() const { return activeForm_; }
  // Called after the cursor or the active form changes (views update the pointer, the front).
  std::function<void()> OnChange;

 private:
  friend class TForm;
  friend class TApplication;
  void setActiveForm(TForm* form);
  int cursor_ = crDefault;
  TForm* activeForm_ = nullptr;
};

class TApplication : public TComponent {
 public:
  // Becomes the process's application. Raises EInvalidOperation when one exists already.
  TApplication();
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  // Creates a form of class T owned by the application from its definitions and fills
  // `reference` with it. When the constructor, the definitions or OnCreate fail, the
  // exception goes on, `reference` is left empty (never pointing at a form that is gone) and
  // no part of the form remains. The first form created becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    static_assert(std::is_base_of_v<TForm, T>, "CreateForm makes forms");
    reference = nullptr;
    auto owned = std::make_unique<T>(this);
    T* form = owned.get();
    InsertOwned(std::move(owned));
    try {
      form->CreateFromDefinitions(classes_);
    } catch (...) {
      discardForm(form);
      throw;
    }
    if (mainForm_ == nullptr) mainForm_ = form;
    reference = form;
  }

  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Shows the message of an exception that ended a user event: nothing for EAbort, else
  // OnException when bound, else the dialog port's error box. A final "." is added when the
  // message ends in a character that sorts after "." (a letter or a digit).
  void HandleException(const std::exception& e);
  std::function<void(const std::exception&)> OnException;

  // Frees the forms released since the last call (their OnDestroy first; what it raises is
  // handed to HandleException). The user-input helper calls it after each user event.
  void ProcessDeferred();
  void ScheduleRelease(TForm* form);

  // Shutting down: frees everything the application owns but `keep`, last created first,
  // each form running its OnDestroy while still whole (what that raises is dropped: nobody is
  // left to show it). Hosts call it before unloading the code of the forms.
  void FreeAll(const TComponent* keep = nullptr);

  ClassRegistry& Classes() { return classes_; }
  TScreen& Screen() { return screen_; }

  // Installs ports; null entries fall back to the built-in headless ones.
  void SetPorts(const Ports& ports);
  DialogPort& Dialogs() { return *ports_.dialogs; }
  BusyPort& Busy() { return *ports_.busy; }
  PickOnePort& PickOne() { return *ports_.pickOne; }
  PickManyPort& PickMany() { return *ports_.pickMany; }
  // The built-in headless ports (recording and answering from queues).
  HeadlessPorts& Headless() { return headless_; }

  // Nesting depth of user events being run (see RunUserEvent).
  int EventDepth() const { return eventDepth_; }

 private:
  friend class TForm;
  friend struct UserEventScope;
  void discardForm(TForm* form);
  void formGone(TForm* form);

  ClassRegistry classes_;
  TScreen screen_;
  HeadlessPorts headless_;
  Ports ports_;
  TForm* mainForm_ = nullptr;
  std::string title_;
  std::vector<TForm*> released_;
  int eventDepth_ = 0;
};

// The process's application and screen. Raise EInvalidOperation when no application exists.
TApplication& Application();
TScreen& Screen();
bool ApplicationExists();

}  // namespace tk
