// host::RunDesktop: the desktop host. It builds the one toolkit application with a main form
// standing for the main window, installs the Qt ports, the session and the family's classes,
// loads the screen module, and runs the Qt event loop. At the end the module's forms are freed
// while its code is still loaded, then the module is unloaded.

#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>
#include <memory>

#include "host/desktop/main_window.h"
#include "host/host_options.h"
#include "host/screen_module.h"
#include "qt/busy_port.h"
#include "qt/dialog_port.h"
#include "qt/look.h"
#include "qt/pick_many.h"
#include "qt/pick_one.h"
#include "qt/screen_cursor.h"
#include "rtl/dates.h"
#include "shared/roti_geral.h"
#include "shared/varnoke.h"
#include "toolkit/application.h"

namespace host {

namespace {

constexpr const char* kApplicationTitle = "Retaguarda de Vendas";

}  // namespace

int RunDesktop(const HostOptions& options, const Varnoke::Session& session, int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vnd-host"));
  // One style everywhere, so the screen looks the same on every desktop.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  qtviews::InstallFontSubstitutes();
  QApplication::setFont(qtviews::ToQFont(tk::TFont{}));

  // The ports outlive the application object, which may show boxes while it shuts down.
  qtviews::QtDialogPort dialogs;
  qtviews::QtPickOnePort pickOne;
  qtviews::QtPickManyPort pickMany;
  MainWindow* window = nullptr;
  qtviews::QtBusyPort busy([&window](tk::TForm*) -> QWidget* { return window; });

  tk::TApplication app;
  app.SetTitle(kApplicationTitle);
  app.SetPorts(tk::Ports{&dialogs, &busy, &pickOne, &pickMany, nullptr});
  Varnoke::SetSession(session);
  rtl::ShortDateFormat() = session.shortDateFormat;
  shared::RegisterSharedClasses(app.Classes());

  tk::TForm* mainForm = app.Create<tk::TForm>();
  mainForm->SetName("frmPrincipal");
  mainForm->SetCaption(kApplicationTitle);
  app.SetMainForm(mainForm);
  mainForm->Show();

  std::unique_ptr<ScreenModule> module;
  std::string moduleError;
  try {
    module = std::make_unique<ScreenModule>(options.modulePath.empty() ? ScreenModule::DefaultPath()
                                                                       : options.modulePath);
  } catch (const ModuleError& e) {
    moduleError = e.what();
  }

  int status = 0;
  {
    // A form shown by the module outside the menu entry still gets its window.
    app.Screen().OnChange = [&window] {
      if (window != nullptr) QTimer::singleShot(0, window, [&window] { window->adoptForms(); });
    };
    qtviews::ScreenCursorView cursor(app.Screen());
    MainWindow main(*mainForm, module.get(), moduleError);
    window = &main;
    main.show();
    if (!moduleError.empty()) {
      QTimer::singleShot(0, &main, [&] { dialogs.ShowError(moduleError); });
    } else if (options.open) {
      QTimer::singleShot(0, &main, [&main] { main.openScreen(); });
    }
    status = QApplication::exec();
    main.freeForms();
    window = nullptr;
    app.Screen().OnChange = nullptr;
  }
  module.reset();
  return status;
}

}  // namespace host
