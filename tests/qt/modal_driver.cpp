#include "qt/modal_driver.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace qttest {

namespace {

int pending = 0;

// Polls the event loop for a modal dialog, a bounded number of times.
class ModalWatcher : public QObject {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> action) : action_(std::move(action)) {
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start(5);
  }

 private:
  void poll() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog != nullptr && dialog->isVisible()) {
      timer_.stop();
      --pending;
      action_(dialog);
      deleteLater();
      return;
    }
    if (++turns_ > 2000) {  // about ten seconds of event-loop turns
      timer_.stop();
      --pending;
      ADD_FAILURE() << "no modal dialog showed";
      deleteLater();
    }
  }

  std::function<void(QWidget*)> action_;
  QTimer timer_;
  int turns_ = 0;
};

}  // namespace

void WhenModalShows(std::function<void(QWidget*)> action) {
  ++pending;
  new ModalWatcher(std::move(action));
}

bool AllModalActionsRan() {
  return pending == 0;
}

void PressButton(QWidget* dialog, const char* name) {
  auto* button = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
  if (button == nullptr) {
    ADD_FAILURE() << "the dialog has no button " << name;
    dialog->close();
    return;
  }
  button->click();
}

QString DescribeMessageBox(QWidget* dialog) {
  auto* box = dynamic_cast<QMessageBox*>(dialog);
  if (box == nullptr) return QStringLiteral("not a message box: ") + dialog->objectName();
  QString icon;
  switch (box->icon()) {
    case QMessageBox::Critical:
      icon = QStringLiteral("error");
      break;
    case QMessageBox::Question:
      icon = QStringLiteral("question");
      break;
    case QMessageBox::Information:
      icon = QStringLiteral("information");
      break;
    case QMessageBox::Warning:
      icon = QStringLiteral("warning");
      break;
    default:
      icon = QStringLiteral("none");
  }
  QStringList buttons;
  for (QAbstractButton* b : box->buttons()) buttons << b->text();
  return QStringLiteral("[%1] %2 (%3) %4")
      .arg(box->windowTitle(), box->text(), icon, buttons.join(QLatin1Char('/')));
}

}  // namespace qttest
