#pragma once
// QtBusyPort: the busy animation, shown over the main window for as long as a remote call runs.
// The calls are synchronous on the user-interface thread, so nothing can paint during one:
// Show draws the indicator (a dimmed window, a spinner and a line saying what is awaited) and
// the hourglass cursor at once, before the call starts, and Hide removes both when it ends.
// The spinner turns whenever the event loop runs (a box opened while it shows, a long pause
// between calls); during the call it stands still rather than pretend progress. Shows and
// hides pair up; a Hide with none showing does nothing. Keys and clicks aimed at the window
// while it shows are dropped, those that waited in the queue during the call included: a user
// who typed on while the server answered must not see the keys land afterwards in whatever
// field has the focus then. Boxes opened meanwhile are other windows and take their input.
// The window's title says what is awaited too, for the task bar (and for whoever watches the
// desktop from outside, as the keyboard tests do): it comes back once the dropped input is
// gone.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "toolkit/ports.h"

class QTimer;

namespace qtviews {

// The indicator: covers its parent window, dims it and draws the spinner with its text.
class BusyOverlay : public QWidget {
 public:
  explicit BusyOverlay(QWidget* window);
  void setText(const QString& text);
  QString text() const { return text_; }
  void start();
  void stop();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString text_;
  QTimer* timer_;
  int step_ = 0;
};

// Drops the keys and clicks aimed at one window while it is installed on the application.
class InputGate : public QObject {
 public:
  explicit InputGate(QWidget* window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
};

class QtBusyPort : public tk::BusyPort {
 public:
  // `windowOf` finds the window that stands for a form (the host's main window for its main
  // form); without it, or when it finds none, the active window is used.
  explicit QtBusyPort(std::function<QWidget*(tk::TForm*)> windowOf = {});
  ~QtBusyPort() override;

  void Show(tk::TForm* mainForm, int kind) override;
  void Hide() override;

  int showing() const { return count_; }
  // The indicator while one shows, else nullptr.
  BusyOverlay* overlay() const { return count_ > 0 ? overlay_.data() : nullptr; }

 private:
  std::function<QWidget*(tk::TForm*)> windowOf_;
  QPointer<BusyOverlay> overlay_;
  std::unique_ptr<InputGate> gate_;
  QPointer<QWidget> titled_;  // the window whose title says what is awaited
  QString title_;             // its own title
  int count_ = 0;
};

// The text shown for a kind of the family's animations.
QString BusyText(int kind);

}  // namespace qtviews
