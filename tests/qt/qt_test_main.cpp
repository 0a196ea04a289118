// The main of the Qt test programs: one QApplication for all tests, on the offscreen platform
// unless the environment names another (the Xvfb program runs on xcb), with the look the
// desktop host uses.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include "qt/look.h"

// Allocations the system libraries under Qt keep for the life of the process (the session bus
// connection, the font configuration), which the leak checker would otherwise report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QString dir = QDir::tempPath() + QStringLiteral("/vnd-qt-tests-runtime");
    QDir().mkpath(dir);
    QFile::setPermissions(dir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir.toUtf8());
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  qtviews::InstallFontSubstitutes();
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication::setFont(qtviews::ToQFont(tk::TFont{}));
  return RUN_ALL_TESTS();
}
