// The desktop host on the offscreen platform: the menu entry opens the screen in a child window
// of the main window, the child window follows its form, the close box goes through the model,
// and failures reach the user in boxes.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdlib>

#include "host/desktop/desktop_host.h"
#include "host/desktop/main_window.h"
#include "host/screen_module.h"
#include "qt/busy_port.h"
#include "qt/login_dialog.h"
#include "qt/modal_driver.h"
#include "support/fake_server.h"
#include "toolkit/application.h"
#include "vnd42406/fake_catalogue.h"

namespace qttest {
namespace {

class DesktopHostTest : public ::testing::Test {
 protected:
  DesktopHostTest() {
    screentest::ServeCatalogue(server);
    session.serverPort = server.port();
    options.modulePath = PKG_VND42406_PATH;
  }
  ~DesktopHostTest() override {
    StopModalWatchers();
    host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // `activate`: wait until the main window is the active window (a box it opens at once would
  // take that place instead).
  void start(bool activate = true) {
    host = std::make_unique<host::DesktopHost>(options, session);
    host->start();
    if (!activate) return;
    QApplication::setActiveWindow(&host->mainWindow());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host->mainWindow()));
  }
  QMdiArea& area() { return *host->mainWindow().mdiArea(); }
  host::FormWindow* screenWindow() {
    const auto windows = area().subWindowList();
    return windows.isEmpty() ? nullptr : dynamic_cast<host::FormWindow*>(windows.first());
  }
  QWidget* screenWidget(const char* name) {
    host::FormWindow* window = screenWindow();
    return window != nullptr ? window->view()->widgetByName(name) : nullptr;
  }

  testsupport::FakeServer server;
  Varnoke::Session session;
  host::HostOptions options;
  std::unique_ptr<host::DesktopHost> host;
};

TEST_F(DesktopHostTest, TheMenuEntryOpensTheScreenAndTheCloseBoxClosesIt) {
  start();
  ASSERT_NE(host->module(), nullptr) << host->moduleError();
  QAction* entry = host->mainWindow().screenAction();
  EXPECT_EQ(entry->text(), QStringLiteral("VND42406 - Alteração Automática"));
  EXPECT_EQ(host->mainWindow().windowTitle(), QStringLiteral("Retaguarda de Vendas"));
  entry->trigger();

  host::FormWindow* window = screenWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(area().subWindowList().size(), 1);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Alteração Automática"));
  EXPECT_EQ(window->pos(), QPoint(271, 157));
  EXPECT_EQ(window->widget()->size(), QSize(490, 430));
  EXPECT_EQ(area().activeSubWindow(), window);
  EXPECT_TRUE(host->module()->StCriado());
  EXPECT_EQ(host->module()->Form(), window->form());
  EXPECT_EQ(dynamic_cast<QLineEdit*>(screenWidget("medCdFilial"))->text(), QStringLiteral("0001"));
  EXPECT_EQ(dynamic_cast<QLineEdit*>(screenWidget("edtNmFilial"))->text(),
            QStringLiteral("Matriz"));
  EXPECT_TRUE(screenWidget("medCdFilial")->hasFocus());
  EXPECT_EQ(tk::Application().Screen().Cursor(), tk::crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // Opening again brings the same window back, also from the minimized state.
  window->showMinimized();
  ASSERT_TRUE(window->isMinimized());
  EXPECT_EQ(window->form()->WindowState(), tk::TWindowState::wsMinimized);
  entry->trigger();
  EXPECT_FALSE(window->isMinimized());
  EXPECT_EQ(window->form()->WindowState(), tk::TWindowState::wsNormal);
  EXPECT_EQ(area().subWindowList().size(), 1);
  EXPECT_EQ(screenWindow(), window);

  // A remote call draws the busy animation over the main window, and takes it away.
  auto* table = dynamic_cast<QLineEdit*>(screenWidget("medCdTabePrec"));
  QTest::mouseClick(table, Qt::LeftButton);
  QTest::keyClicks(table, "1");
  QTest::keyClick(table, Qt::Key_Tab);
  EXPECT_EQ(dynamic_cast<QLineEdit*>(screenWidget("edtNmTabePrec"))->text(),
            QStringLiteral("Tabela Varejo"));
  auto* overlay = dynamic_cast<qtviews::BusyOverlay*>(
      host->mainWindow().findChild<QWidget*>(QStringLiteral("busyOverlay")));
  ASSERT_NE(overlay, nullptr);
  EXPECT_FALSE(overlay->isVisible());
  EXPECT_EQ(host->busyPort().showing(), 0);

  window->close();  // the close box: the form decides, and the base form frees it
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(area().subWindowList().isEmpty());
  EXPECT_EQ(host->module()->Form(), nullptr);
  EXPECT_FALSE(host->module()->StCriado());

  entry->trigger();  // a fresh screen
  ASSERT_NE(screenWindow(), nullptr);
  EXPECT_EQ(dynamic_cast<QLineEdit*>(screenWidget("medCdTabePrec"))->text(), QStringLiteral("   "));
}

TEST_F(DesktopHostTest, OpenAtStartOpensTheScreenOnceTheEventLoopRuns) {
  options.open = true;
  start();
  EXPECT_TRUE(QTest::qWaitFor([this] { return screenWindow() != nullptr; }));
  ASSERT_NE(host->module()->Form(), nullptr);
  EXPECT_TRUE(host->module()->Form()->Active());

  // A box the screen shows stands on the centre of the screen's window.
  QPoint boxCentre;
  WhenModalShows([&boxCentre](QWidget* dialog) {
    boxCentre = dialog->geometry().center();
    PressButton(dialog, "ok");
  });
  auto* branch = dynamic_cast<QLineEdit*>(screenWidget("medCdFilial"));
  ASSERT_NE(branch, nullptr);
  branch->selectAll();
  QTest::keyClicks(branch, "9");
  QTest::keyClick(branch, Qt::Key_Tab);
  EXPECT_TRUE(AllModalActionsRan());
  const QPoint windowCentre = screenWindow()->mapToGlobal(screenWindow()->rect().center());
  const QPoint off = boxCentre - windowCentre;  // rounding of the two centres aside
  EXPECT_TRUE(std::abs(off.x()) <= 2 && std::abs(off.y()) <= 2)
      << boxCentre.x() << "," << boxCentre.y() << " vs " << windowCentre.x() << ","
      << windowCentre.y();
}

TEST_F(DesktopHostTest, AScreenThatCannotReachTheServerReportsItInABox) {
  {
    testsupport::FakeServer gone;  // a port nobody listens on any more
    session.serverPort = gone.port();
  }
  session.connectTimeoutSeconds = 2;
  start();
  QString box;
  WhenModalShows([&box](QWidget* dialog) {
    box = DescribeMessageBox(dialog);
    PressButton(dialog, "ok");
  });
  host->mainWindow().screenAction()->trigger();
  EXPECT_TRUE(AllModalActionsRan());
  EXPECT_TRUE(box.startsWith(QStringLiteral("[Retaguarda de Vendas] "))) << box.toStdString();
  EXPECT_TRUE(box.contains(QStringLiteral("Não foi possível conectar ao servidor de aplicação")))
      << box.toStdString();
  EXPECT_TRUE(box.contains(QStringLiteral(": o servidor recusou a conexão"))) << box.toStdString();
  EXPECT_TRUE(box.endsWith(QStringLiteral("(error) OK"))) << box.toStdString();
  EXPECT_TRUE(area().subWindowList().isEmpty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DesktopHostTest, AModuleThatDoesNotLoadIsReportedAndItsEntryDisabled) {
  options.modulePath = "/nonexistent/Pkg_vnd42406.so";
  options.open = true;
  QString box;
  WhenModalShows([&box](QWidget* dialog) {
    box = DescribeMessageBox(dialog);
    PressButton(dialog, "ok");
  });
  start(false);
  EXPECT_TRUE(QTest::qWaitFor([] { return AllModalActionsRan(); }));
  EXPECT_EQ(host->module(), nullptr);
  EXPECT_FALSE(host->mainWindow().screenAction()->isEnabled());
  EXPECT_TRUE(box.contains(QStringLiteral("cannot load the screen module"))) << box.toStdString();
  EXPECT_TRUE(area().subWindowList().isEmpty());
}

TEST_F(DesktopHostTest, AServerThatAsksForALoginGetsItFromTheLoginDialog) {
  session.user = "ana";
  server.queue("attach", testsupport::FakeReply::error(407, "o servidor exige usuário e senha"));
  server.queue("attach", testsupport::FakeReply::error(401, "usuário ou senha inválidos"));
  start();
  std::vector<std::string> seen;
  // The first question: the name from the session, the focus on the password, no way on
  // without one; Enter logs in.
  WhenModalShows([&seen](QWidget* dialog) {
    auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("user"));
    auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("password"));
    auto* ok = dialog->findChild<QWidget*>(QStringLiteral("ok"));
    seen.push_back((dialog->windowTitle() + " user=" + user->text() +
                    " focus=" + dialog->focusWidget()->objectName() +
                    " ok=" + (ok->isEnabled() ? "on" : "off") +
                    " echo=" + (password->echoMode() == QLineEdit::Password ? "hidden" : "shown"))
                       .toStdString());
    QTest::keyClicks(password, "errada");
    QTest::keyClick(password, Qt::Key_Return);
  });
  // The server refused it: asked again, saying why; this time a right one.
  WhenModalShows([&seen](QWidget* dialog) {
    auto* problem = dialog->findChild<QLabel*>(QStringLiteral("problem"));
    seen.push_back(problem != nullptr ? problem->text().toStdString() : "no problem shown");
    const QImage shot = dialog->grab().toImage();
    EXPECT_TRUE(shot.save(QStringLiteral(LOGIN_SCREENSHOT_PATH), "PNG"));
    auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("password"));
    QTest::keyClicks(password, "certa");
    QTest::keyClick(password, Qt::Key_Return);
  });
  host->mainWindow().screenAction()->trigger();
  EXPECT_TRUE(AllModalActionsRan());
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "Acesso ao servidor de aplicação user=ana focus=password ok=off echo=hidden",
                      "O servidor de aplicação recusou o login: usuário ou senha inválidos."}));
  EXPECT_NE(screenWindow(), nullptr);
  EXPECT_EQ(server.attachCount(), 3);
}

}  // namespace
}  // namespace qttest
