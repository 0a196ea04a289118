#pragma once
// The fixture of the screen tests: a headless application with a main form, the session, a
// clock stopped on 08/12/2026 and a fake server serving a small catalogue. Tests act only
// through the user-input API -- open, focus, type, click, choose, activate, close, queued
// answers and picks -- and read back whole observable states: the controls, the boxes and
// lists shown, and the calls the server received.

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "rtl/dates.h"
#include "shared/varnoke.h"
#include "support/fake_server.h"
#include "toolkit/application.h"
#include "toolkit/user_input.h"
#include "vnd42406/Cli_vnd42406.h"

namespace screentest {

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest();
  ~ScreenTest() override;

  // Changes the session the screen reads (host, port and the rest).
  void setSession(const Varnoke::Session& session);
  Varnoke::Session session() const { return Varnoke::CurrentSession(); }

  vnd42406::TfrmCadAutPromocao* form() const { return frmCadAutPromocao; }
  tk::TControl& control(const std::string& name) const;

  // User actions, each one user event. They return how the event ended: "ok", the class of
  // the exception that ended it ("EAbort"), or "rejected: <why>".
  std::string open();
  std::string focus(const std::string& name);
  std::string type(const std::string& name, const std::string& text);
  std::string click(const std::string& name);
  std::string choose(const std::string& name, int index);
  std::string activate();
  std::string close();
  // Opens the screen with the session's branch and fills the header with 0001 / 001 /
  // 01/12/2026, validated; the calls and boxes of doing so are dropped.
  void openWithHeader();

  void answer(bool yes) { app.Headless().QueueAnswer(yes); }
  void pick(std::optional<int> row) { app.Headless().QueuePick(row); }
  void mark(std::optional<std::vector<std::string>> keys) {
    app.Headless().QueueMarks(std::move(keys));
  }

  // The boxes and lists shown since the last call, one per line:
  //   error: Filial não cadastrada.
  //   confirm(no): Confirma alteração dos produtos selecionados?
  //   list Filial [Código|Nome] 0001|Matriz / 0002|Filial Centro -> 1
  std::string shown();
  // The server calls since the last call, one per line (attach not included).
  std::string calls();
  // The controls named, one per line: name "text" [off] [checked] [focus].
  std::string state(std::initializer_list<const char*> names) const;
  std::string focused() const;
  int busy() { return app.Headless().BusyCount(); }

  testsupport::FakeServer server;
  rtl::FixedClock clock{rtl::EncodeDate(2026, 12, 8)};
  tk::TApplication app;
  tk::TForm* mainForm = nullptr;

 private:
  std::string run(const std::function<void()>& action);
};

}  // namespace screentest
