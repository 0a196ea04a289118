// The headless mode of vnd-host: the application with its headless ports, the session, the
// module, and the command loop on standard input and output.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>

#include "host/headless_driver.h"
#include "host/host_options.h"
#include "host/screen_module.h"
#include "rtl/dates.h"
#include "shared/roti_geral.h"
#include "shared/server_login.h"
#include "toolkit/application.h"

namespace host {

namespace {

// The password of --password-file (its first line), or else of VND_PASSWORD; none without either.
std::optional<std::string> HeadlessPassword(const std::string& file) {
  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("--password-file: cannot read " + file);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  if (const char* fromEnvironment = std::getenv("VND_PASSWORD");
      fromEnvironment && *fromEnvironment)
    return std::string(fromEnvironment);
  return std::nullopt;
}

}  // namespace

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
  std::optional<std::string> password;
  try {
    password = HeadlessPassword(options.passwordFile);
  } catch (const std::exception& e) {
    std::cerr << "vnd-host: " << e.what() << "\n";
    return 2;
  }
  // A script gives its password once; a refused one would be refused again.
  shared::SetCredentialsPrompt(
      [password](const std::string& user,
                 const std::string& problem) -> std::optional<shared::Credentials> {
        if (!password || !problem.empty()) return std::nullopt;
        return shared::Credentials{user, *password};
      });

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
