#include "vnd42406/screen_test.h"

#include "toolkit/headless/headless_ports.h"
#include "vnd42406/fake_catalogue.h"

namespace screentest {

ScreenTest::ScreenTest() {
  rtl::ResetFormatSettings();
  rtl::SetClock(&clock);
  Varnoke::Session s;
  s.serverPort = server.port();
  s.user = "tester";
  s.machine = "bench";
  Varnoke::SetSession(s);
  ServeCatalogue(server);
  mainForm = app.Create<tk::TForm>();
  mainForm->SetName("frmPrincipal");
  app.SetMainForm(mainForm);
  mainForm->Show();
}

ScreenTest::~ScreenTest() {
  if (frmCadAutPromocao != nullptr) {
    tk::RunUserEvent([] { frmCadAutPromocao->Close(); });
  }
  rtl::SetClock(nullptr);
  rtl::ResetFormatSettings();
}

void ScreenTest::setSession(const Varnoke::Session& session) { Varnoke::SetSession(session); }

tk::TControl& ScreenTest::control(const std::string& name) const {
  if (form() == nullptr) throw std::runtime_error("the screen is not open");
  auto* c = dynamic_cast<tk::TControl*>(form()->FindComponent(name));
  if (c == nullptr) throw std::runtime_error("no control " + name);
  return *c;
}

std::string ScreenTest::run(const std::function<void()>& action) {
  const tk::EventOutcome outcome = tk::RunUserEvent(action);
  if (outcome.rejected) return "rejected: " + outcome.message;
  if (outcome.raised) return outcome.className;
  return "ok";
}

std::string ScreenTest::open() {
  return run([] { vnd42406::CriaCadAutPromocao(); });
}
std::string ScreenTest::focus(const std::string& name) {
  return run([&] { tk::userFocus(control(name)); });
}
std::string ScreenTest::type(const std::string& name, const std::string& text) {
  return run([&] { tk::userType(control(name), text); });
}
std::string ScreenTest::click(const std::string& name) {
  return run([&] { tk::userClick(control(name)); });
}
std::string ScreenTest::choose(const std::string& name, int index) {
  return run([&] { tk::userChoose(control(name), index); });
}
std::string ScreenTest::activate() {
  return run([&] { tk::userActivate(*form()); });
}
std::string ScreenTest::close() {
  return run([&] { tk::userClose(*form()); });
}

void ScreenTest::openWithHeader() {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "01/12/2026"), "ok");
  ASSERT_EQ(focus("rbtTodos"), "ok");
  ASSERT_EQ(state({"edtNmTabePrec", "depDtFinVig"}),
            "edtNmTabePrec \"Tabela Varejo\" off\n"
            "depDtFinVig \"31/12/2026\" off\n");
  shown();
  calls();
}

std::string ScreenTest::shown() {
  const tk::HeadlessPorts::Record record = app.Headless().TakeShown();
  std::string out;
  for (const tk::ShownMessage& m : record.messages) {
    out += m.kind;
    if (!m.answer.empty()) out += "(" + m.answer + ")";
    out += ": " + m.text + "\n";
  }
  for (const tk::ShownList& l : record.lists) {
    out += "list " + l.title + " [";
    for (size_t i = 0; i < l.columns.size(); ++i) out += (i ? "|" : "") + l.columns[i];
    out += "]";
    for (size_t r = 0; r < l.rows.size(); ++r) {
      out += r ? " / " : " ";
      for (size_t c = 0; c < l.rows[r].size(); ++c) out += (c ? "|" : "") + l.rows[r][c];
    }
    out += " -> ";
    if (std::holds_alternative<tk::ShownList::Cancel>(l.result)) {
      out += "cancel";
    } else if (const int* index = std::get_if<int>(&l.result)) {
      out += std::to_string(*index);
    } else {
      const auto& keys = std::get<std::vector<std::string>>(l.result);
      out += "[";
      for (size_t i = 0; i < keys.size(); ++i) out += (i ? "," : "") + keys[i];
      out += "]";
    }
    out += "\n";
  }
  return out;
}

std::string ScreenTest::calls() {
  std::string log = server.callLog();
  server.clearCalls();
  return log;
}

std::string ScreenTest::state(std::initializer_list<const char*> names) const {
  std::string out;
  for (const char* name : names) {
    const tk::TControl& c = control(name);
    out += std::string(name) + " \"" + c.Text() + "\"";
    if (!c.Enabled()) out += " off";
    if (auto* r = dynamic_cast<const tk::TRadioButton*>(&c); r && r->Checked()) out += " checked";
    if (auto* b = dynamic_cast<const tk::TCheckBox*>(&c); b && b->Checked()) out += " checked";
    if (auto* w = dynamic_cast<const tk::TWinControl*>(&c); w && w->Focused()) out += " focus";
    out += "\n";
  }
  return out;
}

std::string ScreenTest::focused() const {
  const tk::TWinControl* c = form() ? form()->ActiveControl() : nullptr;
  return c ? c->Name() : "";
}

}  // namespace screentest
