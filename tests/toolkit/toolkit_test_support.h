#pragma once
// Helpers for the toolkit tests: an application with headless ports per test, forms built in
// code or from definition texts, and an event log that prints as one string.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/form.h"

namespace tktest {

// Everything a handler did, in order, as "sender.Event" words.
struct EventLog {
  std::vector<std::string> entries;

  tk::TNotifyEvent note(const std::string& event) {
    return
        [this, event](tk::TComponent* sender) { entries.push_back(sender->Name() + "." + event); };
  }
  void add(std::string entry) { entries.push_back(std::move(entry)); }
  std::string str() const {
    std::string out;
    for (const std::string& e : entries) out += (out.empty() ? "" : " ") + e;
    return out;
  }
  std::string take() {
    std::string out = str();
    entries.clear();
    return out;
  }
};

// A form whose definitions are given by the test before it is created.
class ScriptedForm : public tk::TForm {
 public:
  using tk::TForm::TForm;
  std::vector<tk::FormDefinition> definitions;
  std::vector<tk::FormDefinition> Definitions() const override { return definitions; }
};

class ToolkitTest : public ::testing::Test {
 protected:
  EventLog log;  // before the application: forms log their OnDestroy while it shuts down
  tk::TApplication app;
  tk::HeadlessPorts& ports = app.Headless();

  // A visible, active form named `name` owned by the application, built in code.
  tk::TForm* showForm(const std::string& name = "frm") {
    auto* form = app.Create<tk::TForm>();
    form->SetName(name);
    form->Show();
    return form;
  }

  // A control of class T owned by `form`, inside `parent`.
  template <class T>
  T* add(tk::TForm* form, tk::TWinControl* parent, const std::string& name) {
    T* c = form->Create<T>();
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
};

}  // namespace tktest
