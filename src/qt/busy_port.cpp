#include "qt/busy_port.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <cmath>

namespace qtviews {

QString BusyText(int kind) {
  switch (kind) {
    case 0:
      return QStringLiteral("Copiando...");
    case 1:
      return QStringLiteral("Movendo...");
    case 2:
      return QStringLiteral("Apagando...");
    case 3:
      return QStringLiteral("Pesquisando...");
    case 4:
      return QStringLiteral("Imprimindo...");
    case 5:
      return QStringLiteral("Calculando...");
    case 6:
      return QStringLiteral("Aguardando o servidor...");
    default:
      return QStringLiteral("Aguarde...");
  }
}

BusyOverlay::BusyOverlay(QWidget* window) : QWidget(window), timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("busyOverlay"));
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  timer_->setInterval(80);
  connect(timer_, &QTimer::timeout, this, [this] {
    step_ = (step_ + 1) % 12;
    update();
  });
  window->installEventFilter(this);
  setGeometry(window->rect());
  hide();
}

void BusyOverlay::setText(const QString& text) {
  text_ = text;
  update();
}

void BusyOverlay::start() {
  setGeometry(parentWidget()->rect());
  raise();
  show();
  timer_->start();
}

void BusyOverlay::stop() {
  timer_->stop();
  hide();
}

bool BusyOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize)
    setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void BusyOverlay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0, 0, 0, 60));
  const QFontMetrics fm(font());
  const int boxWidth = std::max(220, fm.horizontalAdvance(text_) + 80);
  const QRect box(QPoint(0, 0), QSize(boxWidth, 64));
  const QRect at = box.translated(rect().center() - box.center());
  p.setPen(QColor(96, 96, 96));
  p.setBrush(QColor(255, 255, 225));
  p.drawRoundedRect(at, 6, 6);
  // Twelve spokes, the leading one darkest.
  const QPointF centre(at.left() + 32, at.center().y());
  for (int i = 0; i < 12; ++i) {
    const int age = (step_ - i + 12) % 12;
    QColor spoke(0, 0, 128);
    spoke.setAlpha(255 - age * 18);
    p.setPen(QPen(spoke, 3, Qt::SolidLine, Qt::RoundCap));
    const double angle = i * M_PI / 6;
    p.drawLine(centre + QPointF(7 * std::cos(angle), 7 * std::sin(angle)),
               centre + QPointF(14 * std::cos(angle), 14 * std::sin(angle)));
  }
  p.setPen(QColor(0, 0, 0));
  p.drawText(at.adjusted(56, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, text_);
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
      break;
    default:
      return false;
  }
  if (window_ == nullptr) return false;
  if (auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == window_;
  if (auto* window = qobject_cast<QWindow*>(watched)) return window == window_->windowHandle();
  return false;
}

QtBusyPort::QtBusyPort(std::function<QWidget*(tk::TForm*)> windowOf)
    : windowOf_(std::move(windowOf)) {}

QtBusyPort::~QtBusyPort() {
  if (count_ > 0) QApplication::restoreOverrideCursor();
  if (gate_ != nullptr) qApp->removeEventFilter(gate_.get());
  if (titled_ != nullptr) titled_->setWindowTitle(title_);
  delete overlay_.data();
}

void QtBusyPort::Show(tk::TForm* mainForm, int kind) {
  if (++count_ > 1) return;
  QWidget* window = windowOf_ ? windowOf_(mainForm) : nullptr;
  if (window == nullptr) window = QApplication::activeWindow();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (window != nullptr) {
    if (overlay_ == nullptr || overlay_->parentWidget() != window) {
      delete overlay_.data();
      overlay_ = new BusyOverlay(window);
    }
    overlay_->setText(BusyText(kind));
    overlay_->start();
    overlay_->repaint();
    gate_ = std::make_unique<InputGate>(window);
    qApp->installEventFilter(gate_.get());
    titled_ = window->window();
    title_ = titled_->windowTitle();
    titled_->setWindowTitle(title_ + QStringLiteral(" - ") + BusyText(kind));
  }
  // Draw it now: the call that follows holds the thread. User input waits for the call.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtBusyPort::Hide() {
  if (count_ == 0) return;
  if (--count_ > 0) return;
  if (overlay_ != nullptr) overlay_->stop();
  QApplication::restoreOverrideCursor();
  if (gate_ != nullptr) {
    // What was typed or clicked during the call waits in the queue: let it arrive, and drop.
    QApplication::processEvents();
    qApp->removeEventFilter(gate_.get());
    gate_.reset();
  }
  if (titled_ != nullptr) titled_->setWindowTitle(title_);
  titled_ = nullptr;
}

}  // namespace qtviews
