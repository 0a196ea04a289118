#include "qt/modal_driver.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <vector>

namespace qttest {

namespace {

// Polls the event loop for a modal dialog, a bounded number of times; once its action has run,
// checks that the dialog closes.
class ModalWatcher : public QObject {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> action) : action_(std::move(action)) {
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start(5);
  }
  bool acted() const { return acted_; }

 private:
  void poll() {
    if (acted_) {
      if (dialog_ == nullptr || !dialog_->isVisible()) {
        timer_.stop();
      } else if (++turns_ > 2000) {
        ADD_FAILURE() << "the dialog stayed open after the test's action";
        timer_.stop();
        dialog_->close();
      }
      return;
    }
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog != nullptr && dialog->isVisible()) {
      acted_ = true;
      dialog_ = dialog;
      turns_ = 0;
      action_(dialog);
      return;
    }
    if (++turns_ > 2000) {  // about ten seconds of event-loop turns
      ADD_FAILURE() << "no modal dialog showed";
      timer_.stop();
    }
  }

  std::function<void(QWidget*)> action_;
  QPointer<QWidget> dialog_;
  QTimer timer_;
  bool acted_ = false;
  int turns_ = 0;
};

std::vector<QPointer<ModalWatcher>>& watchers() {
  static std::vector<QPointer<ModalWatcher>> all;
  return all;
}

}  // namespace

void WhenModalShows(std::function<void(QWidget*)> action) {
  watchers().emplace_back(new ModalWatcher(std::move(action)));
}

bool AllModalActionsRan() {
  for (const QPointer<ModalWatcher>& w : watchers())
    if (w != nullptr && !w->acted()) return false;
  return true;
}

void StopModalWatchers() {
  for (QPointer<ModalWatcher>& w : watchers()) delete w.data();
  watchers().clear();
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
