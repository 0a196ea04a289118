#pragma once
// The login dialog of the desktop host, shown when the application server asks who is calling:
// the user name (pre-filled from the session), the password (never shown), and, after a refused
// try, why. Enter confirms and Esc cancels; the password field has the focus when the name is
// filled in. Object names "user", "password", "problem", "ok" and "cancel" let a test find the
// parts.

#include <QDialog>

#include <optional>
#include <string>
#include <utility>

class QLabel;
class QLineEdit;

namespace qtviews {

class LoginDialog : public QDialog {
 public:
  LoginDialog(const std::string& user, const std::string& problem, QWidget* parent = nullptr);

  std::string user() const;
  std::string password() const;

 private:
  QLineEdit* user_;
  QLineEdit* password_;
};

// Shows the dialog modally; the user and password, or nullopt when cancelled.
std::optional<std::pair<std::string, std::string>> AskLogin(QWidget* parent,
                                                            const std::string& user,
                                                            const std::string& problem);

}  // namespace qtviews
