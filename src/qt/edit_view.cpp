#include "qt/edit_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <climits>

#include "qt/look.h"
#include "qt/mask_typing.h"

namespace qtviews {

int CharIndexFromQt(const QString& text, int qtIndex) {
  int chars = 0;
  for (int i = 0; i < qtIndex && i < text.size(); ++i)
    if (!text.at(i).isLowSurrogate()) ++chars;
  return chars;
}

int QtIndexFromChar(const QString& text, int charIndex) {
  int i = 0;
  for (int chars = 0; i < text.size() && chars < charIndex; ++i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size()) ++i;
    ++chars;
  }
  return i;
}

EditView::EditView(tk::TCustomEdit& edit, FormView& form, QWidget* parent)
    : QLineEdit(parent), ControlView(edit, form) {
  setFrame(true);
  setTextMargins(0, 0, 0, kEditTextLift);
  // Qt's own context menu would edit behind the model's back; the keyboard covers cut and paste.
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { textEditedByQt(t); });
}

tk::TCustomEdit* EditView::edit() const {
  return dynamic_cast<tk::TCustomEdit*>(control());
}

const tk::EditMask* EditView::mask() const {
  auto* masked = dynamic_cast<tk::TMaskEdit*>(control());
  return masked != nullptr && masked->IsMasked() ? &masked->Mask() : nullptr;
}

void EditView::sync(tk::Prop p) {
  tk::TCustomEdit* e = edit();
  switch (p) {
    case tk::Prop::Text:
    case tk::Prop::EditMask:
      showModelText();
      applyColor();
      break;
    case tk::Prop::MaxLength:
      // The model trims what is typed; Qt's limit only keeps a plain edit from growing past it.
      setMaxLength(mask() == nullptr && e->MaxLength() > 0 ? e->MaxLength() : 32767);
      break;
    case tk::Prop::ReadOnly:
      setReadOnly(e->ReadOnly());
      break;
    case tk::Prop::Caret:
      setCursorPosition(e->SelStart());
      break;
    case tk::Prop::Alignment:
      switch (e->Alignment()) {
        case tk::TAlignment::taLeftJustify:
          setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
          break;
        case tk::TAlignment::taRightJustify:
          setAlignment(Qt::AlignRight | Qt::AlignVCenter);
          break;
        case tk::TAlignment::taCenter:
          setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
          break;
      }
      break;
    case tk::Prop::TabOrder:
      // Tab itself walks the model's order (FormView); a click may focus any enabled edit.
      setFocusPolicy(e->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
      break;
    case tk::Prop::Font:
      ControlView::sync(p);
      applyColor();
      break;
    default:
      ControlView::sync(p);
      break;
  }
}

QColor EditView::textColor() const {
  return ToQColor(control()->EffectiveFont().Color);
}

void EditView::applyColor() {
  if (control() == nullptr) return;
  QPalette pal = palette();
  // An edit's colour is its field's background; a disabled edit shows the face colour of the
  // display fields instead, so that it looks as unusable as it is.
  SetPaletteColor(pal, QPalette::Base, ToQColor(control()->Color()));
  pal.setColor(QPalette::Disabled, QPalette::Base, ToQColor(tk::colors::clBtnFace));
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
    pal.setColor(g, QPalette::Text, textColor());
  pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(tk::colors::clGrayText));
  setPalette(pal);
}

void EditView::showModelText(int caret) {
  tk::TCustomEdit* e = edit();
  if (e == nullptr) return;
  const QString model = QString::fromStdString(e->EditText());
  showing_ = true;
  if (text() != model) {
    const int keep = CharIndexFromQt(text(), cursorPosition());
    setText(model);
    if (caret < 0) caret = keep;
  }
  if (caret >= 0) setCursorPosition(QtIndexFromChar(model, caret));
  showing_ = false;
}

void EditView::submit(const std::string& editText, int caret) {
  tk::TCustomEdit* e = edit();
  if (e == nullptr) return;
  userEvent([e, editText] { tk::userEditText(*e, editText); });
  showModelText(caret);
}

bool EditView::handleMaskedKey(QKeyEvent* event) {
  const tk::EditMask* m = mask();
  const QString shown = text();
  const std::string current = shown.toStdString();
  int selStart = CharIndexFromQt(shown, cursorPosition());
  int selEnd = selStart;
  if (hasSelectedText()) {
    selStart = CharIndexFromQt(shown, selectionStart());
    selEnd = CharIndexFromQt(shown, selectionEnd());
  }
  MaskEdit result;
  if (event->matches(QKeySequence::Paste)) {
    const QString pasted = QApplication::clipboard()->text().remove('\n').remove('\r');
    result = TypeKeys(*m, current, selStart, selEnd, pasted.toStdString());
  } else if (event->matches(QKeySequence::Cut)) {
    if (!hasSelectedText()) return true;
    copy();
    result = DeleteForward(*m, current, selStart, selEnd);
  } else if (event->key() == Qt::Key_Backspace) {
    result = Backspace(*m, current, selStart, selEnd);
  } else if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Delete) {
    result = DeleteForward(*m, current, selStart, selEnd);
  } else if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
             (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
    result = TypeKeys(*m, current, selStart, selEnd, event->text().toStdString());
  } else if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
    return true;  // Qt's undo history is not the model's text
  } else {
    return false;  // moving the caret, selecting, copying: Qt's own
  }
  submit(result.editText, result.caret);
  return true;
}

void EditView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape && edit() != nullptr && edit()->Focused()) {
    bool used = false;
    userEvent([this, &used] { used = tk::userEscape(*edit()); });
    if (used) {
      showModelText(0);
      event->accept();
      return;
    }
  }
  const bool passesThrough = key == Qt::Key_Return || key == Qt::Key_Enter ||
                             key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab;
  if (passesThrough || edit() == nullptr) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (!ensureModelFocus()) {
    event->accept();
    return;
  }
  if (mask() != nullptr && handleMaskedKey(event)) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);  // a plain edit: textEdited hands the result over
}

void EditView::inputMethodEvent(QInputMethodEvent* event) {
  // Composed characters (dead keys, input methods) arrive here instead of as key presses.
  if (edit() == nullptr || !ensureModelFocus()) return;
  if (mask() != nullptr && !event->commitString().isEmpty()) {
    const QString shown = text();
    const int at = CharIndexFromQt(shown, cursorPosition());
    const MaskEdit result =
        TypeKeys(*mask(), shown.toStdString(), at, at, event->commitString().toStdString());
    submit(result.editText, result.caret);
    return;
  }
  QLineEdit::inputMethodEvent(event);
}

void EditView::textEditedByQt(const QString& t) {
  if (showing_ || edit() == nullptr) return;
  submit(t.toStdString(), CharIndexFromQt(t, cursorPosition()));
}

void EditView::mousePressEvent(QMouseEvent* event) {
  // Qt has given the focus already; the model's exit handlers decide whether it stays.
  if (edit() != nullptr && !ensureModelFocus()) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
  // In an edit with nothing filled in, typing starts at the first position wherever the click
  // fell; otherwise keys typed past the last position would be lost.
  if (const tk::EditMask* m = mask(); m != nullptr && text().toStdString() == m->blankTemplate())
    setCursorPosition(0);
}

void EditView::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // Entering an edit by any way but the mouse (Tab, or the program moving the focus) selects
  // its text, so what is typed replaces it; a window coming back keeps the selection it had.
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason &&
      reason != Qt::ActiveWindowFocusReason)
    selectAll();
  qtFocusArrived(reason);
}

}  // namespace qtviews
