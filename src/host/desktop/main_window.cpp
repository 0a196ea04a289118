#include "host/desktop/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

#include "qt/history_window.h"
#include "shared/history_client.h"
#include "toolkit/application.h"
#include "toolkit/user_input.h"

namespace host {

MainWindow::MainWindow(tk::TForm& mainForm, ScreenModule* module, const std::string& moduleError)
    : mainForm_(mainForm), module_(module), area_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromStdString(mainForm.Caption()));
  area_->setObjectName(QStringLiteral("mdiArea"));
  area_->setBackground(QColor(128, 128, 128));
  setCentralWidget(area_);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
  QAction* quit = file->addAction(QStringLiteral("&Sair"));
  connect(quit, &QAction::triggered, this, &QWidget::close);
  QMenu* screens = menuBar()->addMenu(QStringLiteral("&Telas"));
  screenAction_ = screens->addAction(QString::fromUtf8(kScreenMenuEntry));
  screenAction_->setObjectName(QStringLiteral("openScreen"));
  connect(screenAction_, &QAction::triggered, this, [this] { openScreen(); });
  historyAction_ = screens->addAction(QString::fromUtf8(qtviews::kHistoryTitle));
  historyAction_->setObjectName(QStringLiteral("openHistory"));
  connect(historyAction_, &QAction::triggered, this, [this] { openHistory(); });
  if (module_ == nullptr) {
    screenAction_->setEnabled(false);
    statusBar()->showMessage(QString::fromStdString(moduleError));
  }
  connect(area_, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
    if (auto* window = dynamic_cast<FormWindow*>(sub)) window->activatedByUser();
  });
  resize(1000, 720);
}

void MainWindow::openScreen() {
  if (module_ == nullptr) return;
  ScreenModule* module = module_;
  tk::RunUserEvent([module] { module->IniProc(); });
  adoptForms();
  if (tk::TForm* form = module_->Form()) {
    if (FormWindow* window = windowFor(form)) {
      window->followForm();
      area_->setActiveSubWindow(window);
      window->view()->syncFocus();
    }
  }
}

MainWindow::~MainWindow() = default;

QMdiSubWindow* MainWindow::openHistory() {
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    if (dynamic_cast<qtviews::HistoryWindow*>(sub->widget()) == nullptr) continue;
    area_->setActiveSubWindow(sub);
    return sub;
  }
  if (history_ == nullptr) history_ = std::make_unique<shared::HistoryClient>();
  auto* window = new qtviews::HistoryWindow(*history_);
  QMdiSubWindow* sub = area_->addSubWindow(window);
  sub->setObjectName(QStringLiteral("historySubWindow"));
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(window->windowTitle());
  sub->resize(window->size());
  sub->show();
  area_->setActiveSubWindow(sub);
  window->findChild<QWidget*>(QStringLiteral("branch"))->setFocus();
  return sub;
}

FormWindow* MainWindow::windowFor(const tk::TForm* form) const {
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    auto* window = dynamic_cast<FormWindow*>(sub);
    if (window != nullptr && window->form() == form) return window;
  }
  return nullptr;
}

void MainWindow::adoptForms() {
  tk::TApplication& app = tk::Application();
  for (size_t i = 0; i < app.ComponentCount(); ++i) {
    auto* form = dynamic_cast<tk::TForm*>(app.Components(i));
    if (form == nullptr || form == &mainForm_ || !form->Visible() || form->Released()) continue;
    if (windowFor(form) == nullptr) new FormWindow(*form, *area_);
  }
}

void MainWindow::freeForms() {
  tk::Application().FreeAll(&mainForm_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Leaving the program closes the screens as their close boxes would; a screen that refuses
  // to close keeps the program open.
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    auto* window = dynamic_cast<FormWindow*>(sub);
    tk::TForm* form = window != nullptr ? window->form() : nullptr;
    if (form == nullptr || !form->Visible()) continue;
    window->view()->runUserEvent([form] { tk::userClose(*form); });
  }
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    auto* window = dynamic_cast<FormWindow*>(sub);
    if (window != nullptr && window->form() != nullptr && window->form()->Visible() &&
        window->form()->WindowState() != tk::TWindowState::wsMinimized) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

}  // namespace host
