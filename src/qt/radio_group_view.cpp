#include "qt/radio_group_view.h"

#include "qt/container_views.h"
#include "qt/focus_mark.h"
#include "qt/form_view.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <algorithm>

namespace qtviews {

namespace {

// A radio button that leaves its checked state to the group's model.
class GroupItemButton : public FocusMarked<QRadioButton> {
 public:
  using FocusMarked<QRadioButton>::FocusMarked;

 protected:
  void nextCheckState() override {}
};

}  // namespace

RadioGroupView::RadioGroupView(tk::TRadioGroup& group, FormView& form, QWidget* parent)
    : QGroupBox(parent), ControlView(group, form) {
  setFocusPolicy(Qt::NoFocus);
}

tk::TRadioGroup* RadioGroupView::group() const {
  return dynamic_cast<tk::TRadioGroup*>(control());
}

void RadioGroupView::sync(tk::Prop p) {
  switch (p) {
    case tk::Prop::Caption:
      setTitle(QString::fromStdString(group()->Caption())
                   .replace(QLatin1Char('&'), QStringLiteral("&&")));
      placeItems();
      break;
    case tk::Prop::Items:
      rebuildItems();
      break;
    case tk::Prop::Appearance:  // the number of columns
      placeItems();
      break;
    case tk::Prop::ItemIndex:
    case tk::Prop::TabOrder:
      showChoice();
      break;
    case tk::Prop::Font:
      ControlView::sync(p);
      placeItems();
      break;
    default:
      ControlView::sync(p);
      break;
  }
}

void RadioGroupView::rebuildItems() {
  for (QRadioButton* b : buttons_) b->deleteLater();
  buttons_.clear();
  const std::vector<std::string>& items = group()->Items();
  for (size_t i = 0; i < items.size(); ++i) {
    auto* b = new GroupItemButton(
        QString::fromStdString(items[i]).replace(QLatin1Char('&'), QStringLiteral("&&")), this);
    b->setAutoExclusive(false);
    b->setObjectName(QStringLiteral("item%1").arg(i));
    b->installEventFilter(this);
    const int index = static_cast<int>(i);
    connect(b, &QAbstractButton::clicked, this, [this, index] { choose(index); });
    b->show();
    buttons_.push_back(b);
  }
  placeItems();
  showChoice();
}

void RadioGroupView::placeItems() {
  if (buttons_.empty()) return;
  const int count = static_cast<int>(buttons_.size());
  const int columns = std::max(1, group()->Columns());
  const int perColumn = (count + columns - 1) / columns;
  const int textHeight = QFontMetrics(font()).height();
  const int room = height() - textHeight - 5;
  const int buttonWidth = (width() - 10) / columns;
  const int buttonHeight = std::max(1, room / perColumn);
  const int top = textHeight + 1 + (room % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    const int col = i / perColumn, row = i % perColumn;
    buttons_[static_cast<size_t>(i)]->setGeometry(buttonWidth * col + 8, buttonHeight * row + top,
                                                  buttonWidth, buttonHeight);
  }
}

void RadioGroupView::showChoice() {
  const int index = group()->ItemIndex();
  const bool stop = group()->TabStop();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const bool chosen = static_cast<int>(i) == index;
    buttons_[i]->setChecked(chosen);
    // Tab reaches the group once, on its chosen item (the first when none is chosen).
    const bool holder = chosen || (index < 0 && i == 0);
    buttons_[i]->setFocusPolicy(stop && holder ? Qt::TabFocus : Qt::NoFocus);
  }
  // The focus follows the choice inside the group.
  QWidget* target = focusTarget();
  if (hasFocus() ||
      std::any_of(buttons_.begin(), buttons_.end(), [](QRadioButton* b) { return b->hasFocus(); }))
    if (target != nullptr && !target->hasFocus()) target->setFocus(Qt::OtherFocusReason);
}

QWidget* RadioGroupView::focusTarget() {
  if (buttons_.empty()) return this;
  const int index = group() != nullptr ? group()->ItemIndex() : -1;
  return buttons_[static_cast<size_t>(
      index >= 0 && index < static_cast<int>(buttons_.size()) ? index : 0)];
}

void RadioGroupView::choose(int index) {
  tk::TControl* c = control();
  if (c != nullptr) userEvent([c, index] { tk::userChoose(*c, index); });
  if (control() != nullptr) showChoice();
}

void RadioGroupView::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  placeItems();
}

void RadioGroupView::paintEvent(QPaintEvent*) {
  PaintGroupFrame(*this, title());
}

void RadioGroupView::focusInEvent(QFocusEvent* event) {
  QGroupBox::focusInEvent(event);
  qtFocusArrived(event->reason());
}

bool RadioGroupView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    qtFocusArrived(static_cast<QFocusEvent*>(event)->reason());
  } else if (event->type() == QEvent::KeyPress && control() != nullptr) {
    // The arrows move the choice in the model (toolkit/keyboard.h); Qt's buttons would move
    // the focus instead.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (ArrowKeyOf(key)) {
      if (formView() != nullptr) formView()->pressKey(key);
      if (control() != nullptr) showChoice();
      return true;
    }
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace qtviews
