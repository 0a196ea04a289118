#pragma once
// Ports: everything that shows something to the user and waits for an answer. The model calls
// these interfaces; the desktop host plugs in windows, the headless driver and the tests plug
// in recorders that answer from queues (toolkit/headless/headless_ports.h).

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "rtl/dates.h"

namespace tk {

class TForm;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};

// A set of dialog buttons: {mbYes, mbNo}.
class TMsgDlgButtons {
 public:
  TMsgDlgButtons() = default;
  TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    for (TMsgDlgBtn b : buttons) bits_ |= 1u << b;
  }
  bool contains(TMsgDlgBtn b) const { return (bits_ & (1u << b)) != 0; }
  bool empty() const { return bits_ == 0; }
  bool operator==(const TMsgDlgButtons&) const = default;

 private:
  unsigned bits_ = 0;
};

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
              mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // A modal box; returns the modal result of the button pressed.
  virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int helpContext) = 0;
  // A box with one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // The error box the application shows for an exception that ends a user event.
  virtual void ShowError(const std::string& text) = 0;
};

// The busy animation. Shows and hides pair up; a Hide with none showing does nothing.
class BusyPort {
 public:
  virtual ~BusyPort() = default;
  virtual void Show(TForm* mainForm, int kind) = 0;
  virtual void Hide() = 0;
};

struct ListColumn {
  std::string label;
  int width = 0;  // in characters
};

struct PickOneRequest {
  std::string title;
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;  // display texts, one per column
};

struct PickManyRequest {
  std::string title;
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> keys;    // one per row
  std::vector<std::string> marked;  // keys marked when the list opens
};

class PickOnePort {
 public:
  virtual ~PickOnePort() = default;
  // The index of the row picked, or nullopt when the user cancels.
  virtual std::optional<int> PickOne(const PickOneRequest& request) = 0;
};

class PickManyPort {
 public:
  virtual ~PickManyPort() = default;
  // The keys left marked, in row order, or nullopt when the user cancels.
  virtual std::optional<std::vector<std::string>> PickMany(const PickManyRequest& request) = 0;
};

// The ports an application uses. A null entry means the application's built-in headless port;
// a non-null clock is installed as the runtime's clock (rtl::SetClock).
struct Ports {
  DialogPort* dialogs = nullptr;
  BusyPort* busy = nullptr;
  PickOnePort* pickOne = nullptr;
  PickManyPort* pickMany = nullptr;
  const rtl::Clock* clock = nullptr;
};

// The dialog calls a screen makes, through the application's dialog port.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);
void ShowMessage(const std::string& text);

}  // namespace tk
