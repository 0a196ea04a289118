#pragma once
// FocusMarked: a check box or radio button that shows the focus the way the classic screens do,
// a dotted frame round its caption, whenever it has the focus. Styles draw their own focus
// frame only after a Tab from the keyboard, and the model moves the focus by other ways too
// (an arrow, a validator putting the user back on "Lista"), so the mark is drawn here instead.

#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <type_traits>

namespace qtviews {

// Draws the dotted focus frame on `rect` in the caption's colour.
void DrawFocusMark(QPainter& painter, const QRect& rect, const QPalette& palette);

template <class Button>
class FocusMarked : public Button {
  static_assert(std::is_base_of_v<QCheckBox, Button> || std::is_base_of_v<QRadioButton, Button>);

 public:
  using Button::Button;

 protected:
  void paintEvent(QPaintEvent*) override {
    constexpr bool box = std::is_base_of_v<QCheckBox, Button>;
    QStylePainter painter(this);
    QStyleOptionButton option;
    this->initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;  // the style's own frame, when it would draw one
    painter.drawControl(box ? QStyle::CE_CheckBox : QStyle::CE_RadioButton, option);
    if (!this->hasFocus()) return;
    const QRect frame = this->style()->subElementRect(
        box ? QStyle::SE_CheckBoxFocusRect : QStyle::SE_RadioButtonFocusRect, &option, this);
    DrawFocusMark(painter, frame, option.palette);
  }
};

}  // namespace qtviews
