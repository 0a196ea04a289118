#include "qt/date_edit_view.h"

#include <QKeyEvent>
#include <QStringList>
#include <optional>

#include "qt/glyph.h"
#include "qt/look.h"
#include "rtl/dates.h"
#include "rtl/exceptions.h"

namespace qtviews {

namespace {

// The date shown, or nullopt without a complete valid one.
std::optional<rtl::TDateTime> shownDate(const tk::TDateEditPlus& e) {
  if (e.IsEmptyDate()) return std::nullopt;
  try {
    return e.GetDate();
  } catch (const rtl::Exception&) {
    return std::nullopt;
  }
}

QDate toQDate(rtl::TDateTime t) {
  int y = 0, m = 0, d = 0;
  rtl::DecodeDate(t, y, m, d);
  return QDate(y, m, d);
}

}  // namespace

DateEditView::DateEditView(tk::TDateEditPlus& edit, FormView& form, QWidget* parent)
    : EditView(edit, form, parent), button_(new QToolButton(this)) {
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setCursor(Qt::ArrowCursor);
  button_->setObjectName(QStringLiteral("dropDown"));
  connect(button_, &QToolButton::clicked, this, [this] { dropDown(); });
}

tk::TDateEditPlus* DateEditView::dateEdit() const {
  return dynamic_cast<tk::TDateEditPlus*>(control());
}

void DateEditView::sync(tk::Prop p) {
  tk::TDateEditPlus* e = dateEdit();
  switch (p) {
    case tk::Prop::Glyph: {
      const QIcon icon = GlyphIcon(e->GlyphData(), 1);
      button_->setIcon(icon.isNull() ? DrawnCalendarIcon() : icon);
      break;
    }
    case tk::Prop::Text:
    case tk::Prop::Appearance: {
      if (p == tk::Prop::Appearance && popup_ != nullptr) {
        popup_
            ->deleteLater();  // the day names may have changed: built afresh at the next drop-down
        popup_ = nullptr;
      }
      EditView::sync(tk::Prop::Text);
      const auto date = shownDate(*e);
      setToolTip(date ? QString::fromStdString(e->DayName()) : QString());
      break;
    }
    case tk::Prop::Enabled:
      EditView::sync(p);
      button_->setEnabled(e->Enabled() && !e->ReadOnly());
      break;
    case tk::Prop::Hint:
      break;  // the tool tip is the weekday
    default:
      EditView::sync(p);
      break;
  }
}

QColor DateEditView::textColor() const {
  const tk::TDateEditPlus* e = dateEdit();
  if (e != nullptr && shownDate(*e)) return ToQColor(e->ValidDateColor());
  return EditView::textColor();
}

void DateEditView::placeButton() {
  const int side = std::max(0, height() - 4);
  button_->setGeometry(width() - side - 2, 2, side, side);
  setTextMargins(0, 0, side + 2, kEditTextLift);
}

void DateEditView::resizeEvent(QResizeEvent* event) {
  EditView::resizeEvent(event);
  placeButton();
}

void DateEditView::keyPressEvent(QKeyEvent* event) {
  // Alt+Down opens the calendar, as on a combo box.
  if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier) != 0) {
    dropDown();
    return;
  }
  EditView::keyPressEvent(event);
}

void DateEditView::dropDown() {
  tk::TDateEditPlus* e = dateEdit();
  if (e == nullptr || !ensureModelFocus()) return;
  if (popup_ == nullptr) {
    QStringList names;
    for (const std::string& n : e->NomeSemana()) names << QString::fromStdString(n);
    popup_ = new CalendarPopup(names, this);
    popup_->onPicked = [this](const QDate& d) { picked(d); };
  }
  const auto date = shownDate(*e);
  popup_->popUp(this, date ? toQDate(*date) : QDate(), toQDate(rtl::Date()));
}

void DateEditView::picked(const QDate& date) {
  tk::TDateEditPlus* e = dateEdit();
  if (e == nullptr) return;
  const std::string text = rtl::DateToStr(rtl::EncodeDate(date.year(), date.month(), date.day()));
  userEvent([e, text] { tk::userType(*e, text); });
  showModelText(0);
}

}  // namespace qtviews
