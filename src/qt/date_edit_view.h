#pragma once
// DateEditView: a date edit (TDateEditPlus) as a masked EditView with a drop-down button at its
// right end. The button opens a CalendarPopup on the date shown (today when there is none) with
// the edit's day names (NomeSemana); picking a day types it into the edit in the user's short
// date format, as the user typing it would (userType). A valid date is shown in the edit's
// ValidDateColor, and its weekday name is the edit's tool tip.

#include <QToolButton>

#include "qt/calendar_popup.h"
#include "qt/edit_view.h"
#include "toolkit/date_edit.h"

namespace qtviews {

class DateEditView : public EditView {
 public:
  DateEditView(tk::TDateEditPlus& edit, FormView& form, QWidget* parent);

  QToolButton* dropDownButton() const { return button_; }
  // The calendar, created at the first drop-down.
  CalendarPopup* calendar() const { return popup_; }
  void dropDown();

 protected:
  void sync(tk::Prop p) override;
  QColor textColor() const override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  tk::TDateEditPlus* dateEdit() const;
  void placeButton();
  void picked(const QDate& date);

  QToolButton* button_;
  CalendarPopup* popup_ = nullptr;
};

}  // namespace qtviews
