// The headless mode of vnd-host: the application with its headless ports, the session, the
// module, and the command loop on standard input and output.

#include <iostream>
#include <optional>

#include "host/headless_driver.h"
#include "host/host_options.h"
#include "host/screen_module.h"
#include "rtl/dates.h"
#include "shared/roti_geral.h"
#include "toolkit/application.h"

namespace host {

int RunHeadless(const HostOptions& options, const Varnoke::Session& session) {
  std::optional<rtl::FixedClock> clock;
  if (options.today) {
    rtl::TDateTime today = 0;
    if (!rtl::TryParseIsoDate(*options.today, today)) {
      std::cerr << "vnd-host: --today: expected a date YYYY-MM-DD, got \"" << *options.today
                << "\"\n";
      return 2;
    }
    clock.emplace(today);
    rtl::SetClock(&*clock);
  }
  Varnoke::SetSession(session);
  rtl::ShortDateFormat() = session.shortDateFormat;

  tk::TApplication app;
  app.SetTitle("Retaguarda de Vendas");
  shared::RegisterSharedClasses(app.Classes());
  tk::TForm* mainForm = app.Create<tk::TForm>();
  mainForm->SetName("frmPrincipal");
  mainForm->SetCaption("Retaguarda de Vendas");
  app.SetMainForm(mainForm);
  mainForm->Show();

  std::optional<ScreenModule> module;
  try {
    module.emplace(options.modulePath.empty() ? ScreenModule::DefaultPath() : options.modulePath);
  } catch (const ModuleError& e) {
    std::cerr << "vnd-host: " << e.what() << "\n";
    return 1;
  }

  HeadlessDriver driver(*module, app);
  std::string line;
  while (!driver.Quitting() && std::getline(std::cin, line)) {
    if (auto reply = driver.Handle(line)) std::cout << reply->dump() << std::endl;
  }
  // Forms go before the module that holds their code.
  app.FreeAll();
  module.reset();
  rtl::SetClock(nullptr);
  return 0;
}

}  // namespace host
