#pragma once
// QtDialogPort: the boxes the model shows, as Qt message boxes titled with the application's
// title, centred on the window the user works in (the anchor: the screen's window; the active
// window when there is none) and kept on the desktop. A confirmation offers "Sim" and "Não"; Esc or
// the close box answers Cancel when the box has it, else No, else OK -- the toolkit's rule. Each
// box has the object name "messageBox" and its buttons the names of their results ("yes", "no",
// "ok", "cancel", ...), so a test can find and press them.

#include <functional>

#include "toolkit/ports.h"

class QWidget;

namespace qtviews {

class QtDialogPort : public tk::DialogPort {
 public:
  explicit QtDialogPort(std::function<QWidget*()> anchor = {}) : anchor_(std::move(anchor)) {}

  int MessageDlg(const std::string& text, tk::TMsgDlgType type, tk::TMsgDlgButtons buttons,
                 int helpContext) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;

 private:
  int runBox(const std::string& text, int icon, tk::TMsgDlgButtons buttons);

  std::function<QWidget*()> anchor_;
};

}  // namespace qtviews
