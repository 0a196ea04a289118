#include "qt/login_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qtviews {

LoginDialog::LoginDialog(const std::string& user, const std::string& problem, QWidget* parent)
    : QDialog(parent),
      user_(new QLineEdit(QString::fromStdString(user), this)),
      password_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Acesso ao servidor de aplicação"));
  setObjectName(QStringLiteral("loginDialog"));
  user_->setObjectName(QStringLiteral("user"));
  user_->setMaxLength(64);
  password_->setObjectName(QStringLiteral("password"));
  password_->setEchoMode(QLineEdit::Password);
  password_->setMaxLength(1024);

  auto* layout = new QVBoxLayout(this);
  auto* intro =
      new QLabel(QStringLiteral("Informe seu usuário e senha do servidor de aplicação."), this);
  layout->addWidget(intro);
  if (!problem.empty()) {
    auto* why = new QLabel(QString::fromStdString(problem), this);
    why->setObjectName(QStringLiteral("problem"));
    why->setStyleSheet(QStringLiteral("color: #a00000;"));
    why->setWordWrap(true);
    layout->addWidget(why);
  }
  auto* form = new QFormLayout;
  auto* userLabel = new QLabel(QStringLiteral("&Usuário:"), this);
  userLabel->setBuddy(user_);
  auto* passwordLabel = new QLabel(QStringLiteral("&Senha:"), this);
  passwordLabel->setBuddy(password_);
  form->addRow(userLabel, user_);
  form->addRow(passwordLabel, password_);
  user_->setAccessibleName(QStringLiteral("Usuário"));
  password_->setAccessibleName(QStringLiteral("Senha"));
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setText(QStringLiteral("Entrar"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  cancel->setText(QStringLiteral("Cancelar"));
  cancel->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  // Nothing to confirm without a name and a password.
  const auto update = [this, ok] {
    ok->setEnabled(!user_->text().isEmpty() && !password_->text().isEmpty());
  };
  connect(user_, &QLineEdit::textChanged, this, update);
  connect(password_, &QLineEdit::textChanged, this, update);
  update();
  (user.empty() ? user_ : password_)->setFocus();
}

std::string LoginDialog::user() const {
  return user_->text().toStdString();
}
std::string LoginDialog::password() const {
  return password_->text().toStdString();
}

std::optional<std::pair<std::string, std::string>> AskLogin(QWidget* parent,
                                                            const std::string& user,
                                                            const std::string& problem) {
  LoginDialog dialog(user, problem, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return std::make_pair(dialog.user(), dialog.password());
}

}  // namespace qtviews
