// Load generator: complete confirmations through the headless driver against a real
// vnd42400 on a fresh demo database. Each confirmation opens the screen, fills the header,
// answers Yes and confirms (all products of a validity into the promotion); the screen then
// closes. Prints confirmations per second and where the time goes:
//   server  the server's own time per call (from its log lines),
//   wire    each remote call as the screen waits for it, less the server's time,
//   client  everything else (the driver, the model, the handlers, the packets).
// Usage: bench_driver_confirmations [count]   (default 1000)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "host/headless_driver.h"
#include "host/screen_module.h"
#include "rtl/dates.h"
#include "shared/roti_geral.h"
#include "shared/varnoke.h"
#include "toolkit/application.h"

namespace {

using Clock = std::chrono::steady_clock;

// Times every remote call: the call frame shows the busy animation around each one.
class TimingBusy : public tk::BusyPort {
 public:
  void Show(tk::TForm*, int) override { started_ = Clock::now(); }
  void Hide() override {
    total += Clock::now() - started_;
    ++calls;
  }
  Clock::duration total{};
  long calls = 0;

 private:
  Clock::time_point started_;
};

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) out += buffer;
  if (pipe) pclose(pipe);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "vnd-bench-driver";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work);
  const std::string db = (work / "demo.db").string();
  run(std::string(VND42400_PATH) + " demo --db " + db + " --products 2000");

  // A current validity of branch 0001, table 001, from the demo data.
  const std::string start = run("sqlite3 " + db +
                                " \"SELECT strftime('%d/%m/%Y', MAX(DTINIVGPREC)) FROM TABEVEND "
                                "WHERE CDFILIAL='0001' AND CDTABEPREC='001' AND DTINIVGPREC <= "
                                "date('now','localtime')\"");
  const std::string vig = start.substr(0, start.find('\n'));
  if (vig.size() != 10) {
    std::fprintf(stderr, "no current validity found in %s (is sqlite3 installed?)\n", db.c_str());
    return 1;
  }

  // The server, its log in a file for the per-call durations.
  const std::string log = (work / "server.log").string();
  int out[2];
  if (pipe(out) != 0) return 1;
  const pid_t server = fork();
  if (server == 0) {
    dup2(out[1], 1);
    freopen(log.c_str(), "w", stderr);
    execl(VND42400_PATH, "vnd42400", "serve", "--db", db.c_str(), "--listen", "127.0.0.1:0",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  const int port = std::stoi(line.substr(line.rfind(':') + 1));

  int failures = 0;
  Varnoke::Session session;
  session.serverPort = port;
  Varnoke::SetSession(session);
  tk::TApplication app;
  TimingBusy busy;
  tk::Ports ports;
  ports.busy = &busy;
  app.SetPorts(ports);
  shared::RegisterSharedClasses(app.Classes());
  tk::TForm* main = app.Create<tk::TForm>();
  app.SetMainForm(main);
  main->Show();
  {
    host::ScreenModule module(PKG_VND42406_PATH);
    host::HeadlessDriver driver(module, app);

    const std::vector<std::string> script{"open", "type medCdTabePrec \"001\"",
                                          "type depDtIniVig \"" + vig + "\"", "answer yes",
                                          "click sbtConfirma"};
    const auto began = Clock::now();
    for (int i = 0; i < count; ++i)
      for (const std::string& command : script) {
        const auto reply = driver.Handle(command);
        if (!reply || !(*reply)["ok"].get<bool>() || !(*reply)["exception"].is_null()) ++failures;
      }
    const auto elapsed = Clock::now() - began;

    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::ifstream in(log);
    const std::regex callLine(R"( (\w+) ([0-9.]+) ms )");
    double serverMs = 0;
    long serverCalls = 0;
    for (std::string l; std::getline(in, l);) {
      std::smatch m;
      if (std::regex_search(l, m, callLine) && m[1] != "attach") {
        serverMs += std::stod(m[2]);
        ++serverCalls;
      }
    }
    const double totalMs = std::chrono::duration<double, std::milli>(elapsed).count();
    const double callMs = std::chrono::duration<double, std::milli>(busy.total).count();
    const double wireMs = callMs - serverMs;
    const double clientMs = totalMs - callMs;
    std::printf("%d confirmations in %.0f ms: %.1f confirmations/s (%d failed)\n", count, totalMs,
                count * 1000.0 / totalMs, failures);
    std::printf("remote calls: %ld by the screen, %ld logged by the server\n", busy.calls,
                serverCalls);
    std::printf("time share: client %.1f%%, wire %.1f%%, server %.1f%%\n", 100 * clientMs / totalMs,
                100 * wireMs / totalMs, 100 * serverMs / totalMs);
    std::printf("per confirmation: client %.3f ms, wire %.3f ms, server %.3f ms\n",
                clientMs / count, wireMs / count, serverMs / count);
  }
  std::filesystem::remove_all(work);
  // A rate over confirmations that failed measures nothing: say so in the exit status.
  return failures == 0 ? 0 : 1;
}
