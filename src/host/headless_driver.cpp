#include "host/headless_driver.h"

#include "host/screen_module.h"
#include "host/screen_state.h"
#include "rtl/exceptions.h"
#include "toolkit/application.h"
#include "toolkit/keyboard.h"
#include "toolkit/user_input.h"

namespace host {

using nlohmann::ordered_json;

namespace {

ordered_json messagesJson(const std::vector<tk::ShownMessage>& messages) {
  ordered_json out = ordered_json::array();
  for (const tk::ShownMessage& m : messages) {
    ordered_json j{{"kind", m.kind}, {"text", m.text}};
    if (m.kind == "confirm") j["answer"] = m.answer;
    out.push_back(std::move(j));
  }
  return out;
}

ordered_json listsJson(const std::vector<tk::ShownList>& lists) {
  ordered_json out = ordered_json::array();
  for (const tk::ShownList& l : lists) {
    ordered_json j{{"title", l.title}, {"columns", l.columns}, {"rows", l.rows}};
    if (const int* index = std::get_if<int>(&l.result)) {
      j["result"] = *index;
    } else if (const auto* keys = std::get_if<std::vector<std::string>>(&l.result)) {
      j["result"] = *keys;
    } else {
      j["result"] = "cancel";
    }
    out.push_back(std::move(j));
  }
  return out;
}

// Esc goes to the control that has the focus; with none, or one that ignores the key, nothing
// happens (the screen has no window-wide use for it).
void pressEscape(tk::TForm& form) {
  if (tk::TWinControl* focused = form.ActiveControl()) tk::userEscape(*focused);
}

// A key goes where the desktop sends it: an arrow to the control that has the focus, a
// function key to the form. A key nothing uses does nothing.
void pressKey(tk::TForm& form, const std::string& key) {
  if (key[0] == 'F') {
    tk::userFunctionKey(form, key);
    return;
  }
  tk::TWinControl* focused = form.ActiveControl();
  if (focused == nullptr) return;
  const tk::TArrowKey arrow = key == "left"    ? tk::TArrowKey::Left
                              : key == "up"    ? tk::TArrowKey::Up
                              : key == "right" ? tk::TArrowKey::Right
                                               : tk::TArrowKey::Down;
  tk::userArrowKey(*focused, arrow);
}

}  // namespace

HeadlessDriver::HeadlessDriver(ScreenModule& module, tk::TApplication& application)
    : module_(module), app_(application) {}

std::optional<ordered_json> HeadlessDriver::Handle(const std::string& line) {
  std::optional<DriverCommand> command;
  try {
    command = ParseCommand(line);
  } catch (const CommandError& e) {
    return Refused("CommandError", e.what());
  }
  if (!command) return std::nullopt;
  try {
    if (command->verb == "state") return ScreenState(module_, app_.Headless().BusyCount());
    return Execute(*command);
  } catch (const rtl::Exception& e) {
    // Nothing a command does may end the driver; what escapes the event is reported.
    return Refused(e.className(), e.message());
  } catch (const std::exception& e) {
    return Refused("Exception", e.what());
  }
}

ordered_json HeadlessDriver::Refused(const std::string& className, const std::string& why) {
  return {{"ok", false},
          {"exception", {{"class", className}, {"message", why}}},
          {"messages", ordered_json::array()},
          {"lists", ordered_json::array()}};
}

ordered_json HeadlessDriver::Execute(const DriverCommand& c) {
  tk::HeadlessPorts& ports = app_.Headless();
  ordered_json reply{{"ok", true}, {"exception", nullptr}};
  const std::string& v = c.verb;

  if (v == "answer" || v == "pick" || v == "mark" || v == "help" || v == "quit") {
    if (v == "answer") ports.QueueAnswer(c.yes);
    if (v == "pick") ports.QueuePick(c.cancel ? std::nullopt : std::optional<int>(c.index));
    if (v == "mark") {
      ports.QueueMarks(c.cancel ? std::nullopt : std::optional<std::vector<std::string>>(c.keys));
    }
    if (v == "quit") quitting_ = true;
    reply["messages"] = ordered_json::array();
    reply["lists"] = ordered_json::array();
    if (v == "help") reply["help"] = CommandSummary();
    return reply;
  }

  if (IsHistoryCommand(v)) {
    ordered_json answer = ordered_json::object();
    const tk::EventOutcome outcome = tk::RunUserEvent([&] { history_.Run(c, answer); });
    tk::HeadlessPorts::Record shown = ports.TakeShown();
    if (outcome.raised)
      reply["exception"] = {{"class", outcome.className}, {"message", outcome.message}};
    reply["messages"] = messagesJson(shown.messages);
    reply["lists"] = listsJson(shown.lists);
    for (auto& [key, value] : answer.items()) reply[key] = std::move(value);
    return reply;
  }

  // Everything else acts on the screen, which must be open (but for `open` itself).
  tk::TForm* form = module_.Form();
  if (v != "open" && form == nullptr) return Refused("EInputRejected", "the screen is not open");
  tk::TControl* control = nullptr;
  if (!c.name.empty()) {
    control = dynamic_cast<tk::TControl*>(form->FindComponent(c.name));
    if (control == nullptr) return Refused("EInputRejected", "no control named " + c.name);
  }

  const tk::EventOutcome outcome = tk::RunUserEvent([&] {
    if (v == "open")
      module_.IniProc();
    else if (v == "activate")
      tk::userActivate(*form);
    else if (v == "close")
      tk::userClose(*form);
    else if (v == "focus")
      tk::userFocus(*control);
    else if (v == "type")
      tk::userType(*control, c.text);
    else if (v == "click")
      tk::userClick(*control);
    else if (v == "choose")
      tk::userChoose(*control, c.index);
    else if (v == "escape")
      pressEscape(*form);
    else if (v == "key")
      pressKey(*form, c.text);
  });
  tk::HeadlessPorts::Record shown = ports.TakeShown();
  if (outcome.rejected) return Refused(outcome.className, outcome.message);
  if (outcome.raised)
    reply["exception"] = {{"class", outcome.className}, {"message", outcome.message}};
  reply["messages"] = messagesJson(shown.messages);
  reply["lists"] = listsJson(shown.lists);
  return reply;
}

}  // namespace host
