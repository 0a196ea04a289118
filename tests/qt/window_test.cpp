// The desktop host in a real window: under Xvfb (the xcb platform), vnd-host's desktop host
// opens the screen at start against the fake server, a user fills the header, and a PNG of
// the main window is saved (to $VND_SCREENSHOT_PATH when set); a second one, its name ending
// in "-keyboard", after the user chose "Lista" with the arrow key. The pixels are trusted only
// once the font is known to be a real one: with no usable font Qt draws boxes and grabbing
// still succeeds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <utility>

#include "host/desktop/desktop_host.h"
#include "host/desktop/main_window.h"
#include "qt/look.h"
#include "support/fake_server.h"
#include "vnd42406/fake_catalogue.h"

namespace qttest {
namespace {

// The first row of `area` in `image` with a dark pixel (text drawn there), or -1.
int firstInkRow(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 96) return y;
  return -1;
}

bool hasInk(const QImage& image, const QRect& area) {
  return firstInkRow(image, area) >= 0;
}

TEST(WindowTest, TheScreenOpensInARealWindowAndIsSavedAsAPicture) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  testsupport::FakeServer server;
  screentest::ServeCatalogue(server);
  Varnoke::Session session;
  session.serverPort = server.port();
  host::HostOptions options;
  options.modulePath = PKG_VND42406_PATH;
  options.open = true;
  host::SetUpDesktopLook();
  host::DesktopHost host(options, session);
  host.start();
  host::MainWindow& main = host.mainWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  // Without a window manager the window may never become active; nothing below needs it.
  QApplication::setActiveWindow(&main);
  ASSERT_TRUE(QTest::qWaitFor([&main] { return !main.mdiArea()->subWindowList().isEmpty(); }));
  auto* window = dynamic_cast<host::FormWindow*>(main.mdiArea()->subWindowList().first());
  ASSERT_NE(window, nullptr);
  qtviews::FormView* view = window->view();

  // The user fills the price table and the validity start.
  auto* table = dynamic_cast<QLineEdit*>(view->widgetByName("medCdTabePrec"));
  ASSERT_NE(table, nullptr);
  QTest::mouseClick(table, Qt::LeftButton);
  QTest::keyClicks(table, "1");
  QTest::keyClick(table, Qt::Key_Tab);
  auto* start = dynamic_cast<QLineEdit*>(view->widgetByName("depDtIniVig"));
  QTest::keyClicks(start, "01122026");
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(dynamic_cast<QLineEdit*>(view->widgetByName("edtNmTabePrec"))->text(),
            QStringLiteral("Tabela Varejo"));
  EXPECT_EQ(dynamic_cast<QLineEdit*>(view->widgetByName("depDtFinVig"))->text(),
            QStringLiteral("31/12/2026"));
  QTest::qWait(0);  // let the windows repaint before grabbing

  QWidget* label = view->widgetByName("lblFilial");
  const QFontInfo font(label->font());
  ASSERT_FALSE(font.family().isEmpty());
  EXPECT_EQ(font.family(), QStringLiteral("Liberation Sans"));

  const QImage shot = main.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  const QString path = qEnvironmentVariableIsEmpty("VND_SCREENSHOT_PATH")
                           ? QStringLiteral(SCREENSHOT_DEFAULT_PATH)
                           : qEnvironmentVariable("VND_SCREENSHOT_PATH");
  ASSERT_TRUE(shot.save(path, "PNG")) << path.toStdString();
  const QImage saved(path);
  ASSERT_EQ(saved.size(), shot.size());

  // The branch edit's empty end shows the tooltip background; the labels show their text.
  QWidget* branch = view->widgetByName("medCdFilial");
  const QPoint inside = branch->mapTo(&main, QPoint(branch->width() - 5, branch->height() / 2));
  EXPECT_EQ(QColor(saved.pixel(inside)), qtviews::ToQColor(tk::colors::clInfoBk));
  EXPECT_TRUE(hasInk(saved, QRect(label->mapTo(&main, QPoint(0, 0)), label->size())));
  QWidget* accented = view->widgetByName("lblTabePrec");
  EXPECT_TRUE(hasInk(saved, QRect(accented->mapTo(&main, QPoint(0, 0)), accented->size())));
  // Each label's text stands on the line of its field's text.
  for (const auto& [labelName, fieldName] :
       {std::pair{"lblFilial", "medCdFilial"}, std::pair{"lblTabePrec", "medCdTabePrec"},
        std::pair{"lblDtIniVig", "depDtIniVig"}}) {
    QWidget* l = view->widgetByName(labelName);
    QWidget* f = view->widgetByName(fieldName);
    const QRect labelArea(l->mapTo(&main, QPoint(0, 0)), l->size());
    const QRect textArea = QRect(f->mapTo(&main, QPoint(0, 0)), f->size()).adjusted(3, 3, -3, -3);
    EXPECT_EQ(firstInkRow(saved, labelArea), firstInkRow(saved, textArea)) << labelName;
  }

  // From the keyboard: Down on "Todos" chooses "Lista", which shows the focus; a second picture
  // beside the first.
  auto* todos = dynamic_cast<QRadioButton*>(view->widgetByName("rbtTodos"));
  ASSERT_NE(todos, nullptr);
  ASSERT_TRUE(todos->hasFocus());
  QTest::keyClick(todos, Qt::Key_Down);
  QWidget* lista = view->widgetByName("rbtLista");
  EXPECT_TRUE(lista->hasFocus());
  EXPECT_TRUE(dynamic_cast<QRadioButton*>(lista)->isChecked());
  EXPECT_TRUE(view->widgetByName("btnListaProd")->isEnabled());
  QTest::qWait(0);
  const QString keyboardPath =
      QString(path).replace(QStringLiteral(".png"), QStringLiteral("-keyboard.png"));
  ASSERT_TRUE(main.grab().toImage().save(keyboardPath, "PNG")) << keyboardPath.toStdString();
}

}  // namespace
}  // namespace qttest
