#pragma once
// EditView: a one-line edit (TEdit, TMaskEdit) as a QLineEdit. It shows the control's edit text
// and never edits on its own: every keystroke becomes the edit text the model should hold,
// handed over with userEditText, and the widget is then set to what the model holds, caret
// included. In a masked edit a key overwrites the next position that accepts it (the mask
// engine decides, see mask_typing.h); in a plain edit Qt edits and the model trims to
// MaxLength. Esc goes to the model first (userEscape): a masked edit abandons the user's
// changes there, the way out the mask's refusal on exit tells the user about.

#include <QLineEdit>

#include "qt/control_view.h"
#include "toolkit/edit.h"
#include "toolkit/mask_edit.h"

namespace qtviews {

class EditView : public QLineEdit, public ControlView {
 public:
  EditView(tk::TCustomEdit& edit, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void applyColor() override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  // The text colour of the edit; a date edit colours a valid date.
  virtual QColor textColor() const;
  tk::TCustomEdit* edit() const;
  // Shows the model's edit text; the caret goes to `caret` (characters), or stays where it was
  // when negative.
  void showModelText(int caret = -1);

 private:
  const tk::EditMask* mask() const;
  // Hands an edit text to the model and shows what it kept, with the caret at `caret`.
  void submit(const std::string& editText, int caret);
  bool handleMaskedKey(QKeyEvent* event);
  void textEditedByQt(const QString& text);

  bool showing_ = false;  // setting the widget from the model: not a user edit
};

// The bottom text margin of every edit. The classic edits draw their text 3 px below their top
// rather than centred, on the line of the labels beside them; this margin lifts Qt's centred
// text there.
constexpr int kEditTextLift = 4;

// Character positions of a text and Qt's UTF-16 positions, both ways.
int CharIndexFromQt(const QString& text, int qtIndex);
int QtIndexFromChar(const QString& text, int charIndex);

}  // namespace qtviews
