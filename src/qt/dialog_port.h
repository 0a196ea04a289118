#pragma once
// QtDialogPort: the boxes the model shows, as Qt message boxes over the active window, titled
// with the application's title. A confirmation offers "Sim" and "Não"; Esc or the close box
// answers Cancel when the box has it, else No, else OK -- the toolkit's rule. Each box has the
// object name "messageBox" and its buttons the names of their results ("yes", "no", "ok",
// "cancel", ...), so a test can find and press them.

#include "toolkit/ports.h"

namespace qtviews {

class QtDialogPort : public tk::DialogPort {
 public:
  int MessageDlg(const std::string& text, tk::TMsgDlgType type, tk::TMsgDlgButtons buttons,
                 int helpContext) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
};

}  // namespace qtviews
