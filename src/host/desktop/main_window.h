#pragma once
// MainWindow: the desktop host's main window -- a menu with the entries that open the screen
// and the history of changes, and the MDI area where they live as child windows. It stands for the
// main form of the toolkit application (the busy animation is drawn over it). The screen module is
// the host's; the forms are the application's, and the window gives each visible one a FormWindow
// when it first shows.

#include <QMainWindow>
#include <memory>
#include <string>

#include "host/desktop/form_window.h"
#include "host/screen_module.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace shared {
class HistorySource;
}

namespace host {

// The menu entry of the screen.
inline constexpr const char* kScreenMenuEntry = "VND42406 - Alteração Automática";

class MainWindow : public QMainWindow {
 public:
  // `module` may be null: `moduleError` then says why, and the entry is disabled.
  MainWindow(tk::TForm& mainForm, ScreenModule* module, const std::string& moduleError);
  ~MainWindow() override;

  // What the menu entry does: calls the module's IniProc as one user event, then shows the
  // forms it opened.
  void openScreen();
  // What the history's menu entry does: shows the window "Histórico de alterações" (one at a
  // time, in a child window), made the first time with its own connection to the server.
  QMdiSubWindow* openHistory();
  // Gives every visible form of the application, other than the main form, its child window.
  void adoptForms();
  // Frees the forms the module created, while its code is still loaded (at shutdown).
  void freeForms();

  QMdiArea* mdiArea() const { return area_; }
  QAction* screenAction() const { return screenAction_; }
  QAction* historyAction() const { return historyAction_; }
  FormWindow* windowFor(const tk::TForm* form) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  tk::TForm& mainForm_;
  ScreenModule* module_;
  QMdiArea* area_;
  QAction* screenAction_;
  QAction* historyAction_;
  std::unique_ptr<shared::HistorySource> history_;
};

}  // namespace host
