#pragma once
// DesktopHost: the desktop host's parts for as long as it runs -- the one toolkit application
// with a main form standing for the main window, the Qt ports, the session, the family's
// classes, the screen module and the main window. RunDesktop makes one inside a QApplication
// and runs the event loop; a test makes one the same way and drives it. The destructor frees
// the module's forms while the module's code is still loaded, then unloads the module.

#include <memory>
#include <string>

#include "host/host_options.h"
#include "shared/varnoke.h"

namespace qtviews {
class QtBusyPort;
class QtDialogPort;
class QtPickManyPort;
class QtPickOnePort;
class ScreenCursorView;
}  // namespace qtviews

namespace tk {
class TApplication;
class TForm;
}  // namespace tk

class QWidget;

namespace host {

class MainWindow;
class ScreenModule;

// The title of the main window and of every box.
inline constexpr const char* kApplicationTitle = "Retaguarda de Vendas";

// Sets the look every window of the host shares: the Fusion style, the font substitutes and
// the definitions' default font. Needs the QApplication.
void SetUpDesktopLook();

class DesktopHost {
 public:
  // Needs a QApplication; raises EInvalidOperation when a toolkit application exists already.
  DesktopHost(const HostOptions& options, const Varnoke::Session& session);
  ~DesktopHost();
  DesktopHost(const DesktopHost&) = delete;
  DesktopHost& operator=(const DesktopHost&) = delete;

  // Shows the main window; then, from the event loop, reports a module that failed to load or
  // opens the screen when the options ask for it.
  void start();
  MainWindow& mainWindow() { return *window_; }
  tk::TApplication& application() { return *app_; }
  // Null when the module failed to load (moduleError() says why).
  ScreenModule* module() const { return module_.get(); }
  const std::string& moduleError() const { return moduleError_; }
  qtviews::QtBusyPort& busyPort() { return *busy_; }
  // The window the user works in, on which boxes are centred: the child window of the active
  // screen, else the main window.
  QWidget* workWindow() const;

 private:
  HostOptions options_;
  // Declared in the order they are needed; destroyed in reverse (the ports outlive the
  // application, which may show boxes while it shuts down).
  std::unique_ptr<qtviews::QtDialogPort> dialogs_;
  std::unique_ptr<qtviews::QtPickOnePort> pickOne_;
  std::unique_ptr<qtviews::QtPickManyPort> pickMany_;
  std::unique_ptr<qtviews::QtBusyPort> busy_;
  std::unique_ptr<tk::TApplication> app_;
  tk::TForm* mainForm_ = nullptr;
  std::unique_ptr<ScreenModule> module_;
  std::string moduleError_;
  std::unique_ptr<qtviews::ScreenCursorView> cursor_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace host
