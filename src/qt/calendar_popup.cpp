#include "qt/calendar_popup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

namespace qtviews {

CalendarPopup::CalendarPopup(const QStringList& dayNames, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
  setFrameShape(QFrame::Box);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(3, 3, 3, 3);
  layout->setSpacing(2);

  auto* nav = new QHBoxLayout;
  auto* previous = new QToolButton(this);
  previous->setArrowType(Qt::LeftArrow);
  previous->setAutoRaise(true);
  previous->setFocusPolicy(Qt::NoFocus);
  auto* next = new QToolButton(this);
  next->setArrowType(Qt::RightArrow);
  next->setAutoRaise(true);
  next->setFocusPolicy(Qt::NoFocus);
  title_ = new QLabel(this);
  title_->setAlignment(Qt::AlignCenter);
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  nav->addWidget(previous);
  nav->addWidget(title_, 1);
  nav->addWidget(next);
  layout->addLayout(nav);
  connect(previous, &QToolButton::clicked, this, [this] { choose(chosen_.addMonths(-1)); });
  connect(next, &QToolButton::clicked, this, [this] { choose(chosen_.addMonths(1)); });

  auto* grid = new QGridLayout;
  grid->setSpacing(0);
  for (int c = 0; c < 7; ++c) {
    const QString name = c < dayNames.size() ? dayNames.at(c) : QString();
    auto* label = new QLabel(name.left(3), this);
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(name);
    label->setFont(bold);
    grid->addWidget(label, 0, c);
    columns_.push_back(label);
  }
  for (int i = 0; i < 42; ++i) {
    auto* day = new QToolButton(this);
    day->setAutoRaise(true);
    day->setCheckable(true);
    day->setFocusPolicy(Qt::NoFocus);
    day->setMinimumSize(26, 20);
    grid->addWidget(day, 1 + i / 7, i % 7);
    connect(day, &QToolButton::clicked, this, [this, i] { pick(firstShown_.addDays(i)); });
    days_.push_back(day);
  }
  layout->addLayout(grid);
}

QString CalendarPopup::monthTitle() const {
  const QLocale br(QLocale::Portuguese, QLocale::Brazil);
  QString month = br.standaloneMonthName(chosen_.month(), QLocale::LongFormat);
  if (!month.isEmpty()) month[0] = month[0].toUpper();
  return month + QLatin1Char(' ') + QString::number(chosen_.year());
}

QStringList CalendarPopup::columnTitles() const {
  QStringList out;
  for (QLabel* l : columns_) out << l->text();
  return out;
}

QToolButton* CalendarPopup::dayButton(int day) const {
  const QDate d(chosen_.year(), chosen_.month(), day);
  if (!d.isValid()) return nullptr;
  return days_[static_cast<size_t>(firstShown_.daysTo(d))];
}

void CalendarPopup::choose(const QDate& date) {
  if (!date.isValid()) return;
  chosen_ = date;
  showMonth();
}

void CalendarPopup::showMonth() {
  title_->setText(monthTitle());
  const QDate first(chosen_.year(), chosen_.month(), 1);
  firstShown_ = first.addDays(-(first.dayOfWeek() % 7));  // Qt: Monday 1 ... Sunday 7
  for (size_t i = 0; i < days_.size(); ++i) {
    const QDate d = firstShown_.addDays(static_cast<qint64>(i));
    QToolButton* b = days_[i];
    const bool inMonth = d.month() == chosen_.month();
    b->setText(inMonth ? QString::number(d.day()) : QString());
    b->setEnabled(inMonth);
    b->setChecked(d == chosen_);
    QFont f = b->font();
    f.setBold(d == today_);
    b->setFont(f);
  }
}

void CalendarPopup::popUp(QWidget* anchor, const QDate& date, const QDate& today) {
  today_ = today;
  choose(date.isValid() ? date : today);
  adjustSize();
  move(anchor->mapToGlobal(QPoint(0, anchor->height())));
  show();
  setFocus(Qt::PopupFocusReason);
}

void CalendarPopup::pick(const QDate& date) {
  hide();
  if (onPicked) onPicked(date);
}

void CalendarPopup::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      choose(chosen_.addDays(-1));
      break;
    case Qt::Key_Right:
      choose(chosen_.addDays(1));
      break;
    case Qt::Key_Up:
      choose(chosen_.addDays(-7));
      break;
    case Qt::Key_Down:
      choose(chosen_.addDays(7));
      break;
    case Qt::Key_PageUp:
      choose(chosen_.addMonths(-1));
      break;
    case Qt::Key_PageDown:
      choose(chosen_.addMonths(1));
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      pick(chosen_);
      break;
    case Qt::Key_Escape:
      hide();
      break;
    default:
      QFrame::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace qtviews
