#include "qt/dialog_port.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "toolkit/application.h"

namespace qtviews {

namespace {

struct ButtonSpec {
  tk::TMsgDlgBtn button;
  const char* caption;
  const char* name;
  int result;
  QMessageBox::ButtonRole role;
};

// In the order the buttons stand in the box.
constexpr ButtonSpec kButtons[] = {
    {tk::mbYes, "Sim", "yes", tk::mrYes, QMessageBox::YesRole},
    {tk::mbYesToAll, "Sim para todos", "yesToAll", tk::mrYesToAll, QMessageBox::YesRole},
    {tk::mbNo, "Não", "no", tk::mrNo, QMessageBox::NoRole},
    {tk::mbNoToAll, "Não para todos", "noToAll", tk::mrNoToAll, QMessageBox::NoRole},
    {tk::mbOK, "OK", "ok", tk::mrOk, QMessageBox::AcceptRole},
    {tk::mbCancel, "Cancelar", "cancel", tk::mrCancel, QMessageBox::RejectRole},
    {tk::mbAbort, "Anular", "abort", tk::mrAbort, QMessageBox::RejectRole},
    {tk::mbRetry, "Repetir", "retry", tk::mrRetry, QMessageBox::AcceptRole},
    {tk::mbIgnore, "Ignorar", "ignore", tk::mrIgnore, QMessageBox::AcceptRole},
    {tk::mbAll, "Todos", "all", tk::mrAll, QMessageBox::AcceptRole},
    {tk::mbHelp, "Ajuda", "help", tk::mrNone, QMessageBox::HelpRole},
};

QString title() {
  return tk::ApplicationExists() ? QString::fromStdString(tk::Application().Title()) : QString();
}

QMessageBox::Icon iconOf(tk::TMsgDlgType type) {
  switch (type) {
    case tk::mtWarning:
      return QMessageBox::Warning;
    case tk::mtError:
      return QMessageBox::Critical;
    case tk::mtInformation:
      return QMessageBox::Information;
    case tk::mtConfirmation:
      return QMessageBox::Question;
    case tk::mtCustom:
      break;
  }
  return QMessageBox::NoIcon;
}

// A message box that places itself on the centre of its anchor once it knows its own size
// (the size is settled as it shows), moved inside the desktop when the anchor is near an edge.
class CentredBox : public QMessageBox {
 public:
  CentredBox(QMessageBox::Icon icon, const QString& text, QWidget* anchor)
      : QMessageBox(icon, title(), text, QMessageBox::NoButton,
                    anchor != nullptr ? anchor->window() : nullptr),
        anchor_(anchor) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (anchor_ == nullptr) return;
    const QPoint centre = anchor_->mapToGlobal(anchor_->rect().center());
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(centre);
    if (const QScreen* screen = anchor_->screen()) {
      const QRect desktop = screen->availableGeometry();
      frame.moveLeft(std::clamp(frame.left(), desktop.left(),
                                std::max(desktop.left(), desktop.right() - frame.width() + 1)));
      frame.moveTop(std::clamp(frame.top(), desktop.top(),
                               std::max(desktop.top(), desktop.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
  }

 private:
  QWidget* anchor_;
};

}  // namespace

// Shows a box and returns the result of the button pressed.
int QtDialogPort::runBox(const std::string& text, int icon, tk::TMsgDlgButtons buttons) {
  if (buttons.empty()) buttons = {tk::mbOK};
  QWidget* anchor = anchor_ ? anchor_() : nullptr;
  if (anchor == nullptr) anchor = QApplication::activeWindow();
  CentredBox box(static_cast<QMessageBox::Icon>(icon), QString::fromStdString(text), anchor);
  box.setObjectName(QStringLiteral("messageBox"));
  box.setTextFormat(Qt::PlainText);
  std::vector<std::pair<QAbstractButton*, int>> results;
  QPushButton* cancel = nullptr;
  QPushButton* no = nullptr;
  QPushButton* ok = nullptr;
  for (const ButtonSpec& button : kButtons) {
    if (!buttons.contains(button.button)) continue;
    QPushButton* b = box.addButton(QString::fromUtf8(button.caption), button.role);
    b->setObjectName(QString::fromLatin1(button.name));
    results.emplace_back(b, button.result);
    if (button.button == tk::mbCancel) cancel = b;
    if (button.button == tk::mbNo) no = b;
    if (button.button == tk::mbOK) ok = b;
  }
  QPushButton* escape = cancel != nullptr ? cancel : no != nullptr ? no : ok;
  if (escape != nullptr) box.setEscapeButton(escape);
  if (!results.empty()) box.setDefaultButton(static_cast<QPushButton*>(results.front().first));
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  if (pressed == nullptr) pressed = escape;
  for (const auto& [button, result] : results)
    if (button == pressed) return result;
  return tk::mrCancel;
}

int QtDialogPort::MessageDlg(const std::string& text, tk::TMsgDlgType type,
                             tk::TMsgDlgButtons buttons, int /*helpContext*/) {
  return runBox(text, iconOf(type), buttons);
}

void QtDialogPort::ShowMessage(const std::string& text) {
  runBox(text, QMessageBox::Information, {tk::mbOK});
}

void QtDialogPort::ShowError(const std::string& text) {
  runBox(text, QMessageBox::Critical, {tk::mbOK});
}

}  // namespace qtviews
