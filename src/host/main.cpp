// vnd-host: reads the command line and the session, then runs the desktop host or the
// headless driver. Bad usage or a bad session is one line on standard error and exit 2.

#include <CLI/CLI.hpp>
#include <iostream>

#include "host/host_options.h"
#include "host/session_settings.h"

int main(int argc, char** argv) {
  host::HostOptions options;
  CLI::App app{"vnd-host: runs the screen VND42406 - Alteração Automática", "vnd-host"};
  app.add_flag("--headless", options.headless,
               "no window: read commands on standard input, answer in JSON on standard output");
  app.add_option("--session", options.sessionFile, "session settings file (INI)");
  app.add_option("--set", options.settings, "override one session setting, key=value")
      ->allow_extra_args(false);
  app.add_option("--module", options.modulePath, "the screen module (default: beside vnd-host)");
  app.add_flag("--open", options.open, "open the screen at start (desktop)");
  std::string today;
  app.add_option("--today", today, "the date the screen takes as today, YYYY-MM-DD (headless)");
  app.add_option("--password-file", options.passwordFile,
                 "headless: the password for a server that asks for a login, on the file's "
                 "first line (or in VND_PASSWORD)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "vnd-host: " << e.what() << "\n";
    return 2;
  }
  if (!today.empty()) options.today = today;

  Varnoke::Session session;
  try {
    session = host::LoadSession(options.sessionFile, options.settings);
  } catch (const host::SessionError& e) {
    std::cerr << "vnd-host: " << e.what() << "\n";
    return 2;
  }
  if (options.headless) return host::RunHeadless(options, session);
#ifdef VND_HAVE_DESKTOP
  return host::RunDesktop(options, session, argc, argv);
#else
  std::cerr << "vnd-host: this build has no desktop host; use --headless\n";
  return 2;
#endif
}
