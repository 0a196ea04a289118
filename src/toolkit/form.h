#pragma once
// TForm: a top-level window and the owner of everything its definition declares. A form class
// names its definition texts (its base's first); creation reads them, binds the class's member
// pointers to the components by name, then runs OnCreate. The form holds the focus of its
// controls and moves it with exit-then-enter semantics; closing asks OnClose what to do, and a
// form released with caFree is freed by the application after the running user event ends.

#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "toolkit/win_control.h"

namespace tk {

class ClassRegistry;

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
const char* WindowStateName(TWindowState s);  // "normal", "minimized", "maximized"

// One definition text and where it comes from (for error messages).
struct FormDefinition {
  std::string source;
  std::string text;
};

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner = nullptr);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  // The definitions of this form class, the base's first. A derived class appends its own to
  // its base's list. The first is an "object" root, the later ones "inherited" roots.
  virtual std::vector<FormDefinition> Definitions() const { return {}; }
  // The published handlers, by name. A derived class adds its own in its constructor after
  // its base's; a later handler of the same name replaces the earlier one.
  HandlerTable& Handlers() { return handlers_; }
  const HandlerTable& Handlers() const { return handlers_; }

  // Reads the definitions, binds the members (BindComponents), then runs OnCreate. Raises
  // EDefinitionError for a bad definition or member binding; whatever OnCreate raises goes on.
  // Called once, by TApplication::CreateForm or by whoever builds the form by hand.
  void CreateFromDefinitions(const ClassRegistry& classes);

  // Window properties.
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle s);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState s);
  int PixelsPerInch() const { return pixelsPerInch_; }
  int TextHeight() const { return textHeight_; }
  const std::vector<std::string>& BorderIcons() const { return borderIcons_; }

  // Showing, activation, closing.
  void SetVisible(bool value) override;
  // Makes the form visible and brings it to the front, activating it.
  void Show();
  void Hide();
  bool Active() const;
  // The form becomes the active window (OnActivate), the previously active one is deactivated
  // (OnDeactivate) first. Nothing happens when it is active already.
  void Activate();
  void Deactivate();
  // Asks OnClose what to do (the default is caHide, caMinimize for an MDI child with a minimize
  // button), then hides, minimizes or releases the form.
  void Close();
  // Schedules the form to be freed once the running user event has ended.
  void Release();
  bool Released() const { return released_; }
  // Asks the views to repaint.
  void Refresh();

  // Focus. SetActiveControl moves the focus like the control's SetFocus.
  TWinControl* ActiveControl() const { return focused_; }
  void SetActiveControl(TWinControl* control);
  // A form takes the focus by being activated.
  void SetFocus() override;
  bool CanFocus() const override { return Visible() && Enabled(); }

  // Runs OnDestroy once. The owner calls it before freeing the form (a destructor cannot run
  // handlers of a derived class); an exception from the handler goes on to the caller.
  void Destroying();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;

  void SetProperty(const std::string& name, const PropValue& value) override;
  void SetEvent(const std::string& name, const EventHandler& handler) override;
  void InsertDefinedChild(TComponent* child) override;
  void Loaded() override;

 protected:
  // Binds the class's member pointers with bind(); runs after the definitions are read.
  virtual void BindComponents() {}
  // Points `member` at the owned component `name`. Raises EDefinitionError when there is no
  // such component or it is not a T.
  template <class T>
  void bind(std::string_view name, T*& member) {
    TComponent* c = FindComponent(name);
    if (c == nullptr)
      throw EDefinitionError(std::string(ClassName()) + ": no component " + std::string(name));
    T* typed = dynamic_cast<T*>(c);
    if (typed == nullptr)
      throw EDefinitionError(std::string(ClassName()) + ": component " + std::string(name) +
                             " is a " + c->ClassName() + ", not of the expected class");
    member = typed;
  }

 private:
  friend class TWinControl;
  friend class TApplication;
  // Moves the focus to `target` (which can take it): exit side first, then enter side.
  void FocusControl(TWinControl* target);
  void ControlGone(TWinControl* control);

  HandlerTable handlers_;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TWindowState windowState_ = TWindowState::wsNormal;
  int clientWidth_ = 0, clientHeight_ = 0;
  int pixelsPerInch_ = 96, textHeight_ = 13;
  std::vector<std::string> borderIcons_{"biSystemMenu", "biMinimize", "biMaximize"};
  std::string position_ = "poDesigned";
  std::string activeControlName_;  // from the definition, resolved by Loaded
  TWinControl* focused_ = nullptr;
  TWinControl* exiting_ = nullptr;  // the control whose exit handlers are running
  bool created_ = false;
  bool destroyed_ = false;
  bool released_ = false;
};

}  // namespace tk
