#include "toolkit/mask_edit.h"

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace tk {

TMaskEdit::TMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TMaskEdit::SetEditMask(std::string_view maskText) {
  if (maskText == mask_.maskText()) return;
  const std::string text = Text();
  const int oldMaxLength = MaxLength();
  mask_ = tk::EditMask(maskText);
  Notify(Prop::EditMask);
  if (MaxLength() != oldMaxLength) Notify(Prop::MaxLength);
  TCustomEdit::SetEditText(IsMasked() ? mask_.editTextFromText(text) : text);
}

std::string TMaskEdit::Text() const {
  return IsMasked() ? mask_.textFromEditText(EditText()) : EditText();
}

void TMaskEdit::SetText(std::string_view value) {
  TCustomEdit::SetEditText(IsMasked() ? mask_.editTextFromText(value) : std::string(value));
}

void TMaskEdit::SetEditText(std::string_view value) {
  TCustomEdit::SetEditText(IsMasked() ? mask_.normalize(value) : std::string(value));
}

int TMaskEdit::MaxLength() const {
  return IsMasked() ? mask_.length() : TCustomEdit::MaxLength();
}

bool TMaskEdit::Reset() {
  return IsMasked() && AbandonUserChanges();
}

std::string TMaskEdit::TypedEditText(std::string_view keys) const {
  if (!IsMasked()) return TCustomEdit::TypedEditText(keys);
  return mask_.typeInto(mask_.blankTemplate(), 0, keys);
}

std::string TMaskEdit::ConformEditText(std::string_view editText) const {
  return IsMasked() ? mask_.conform(editText) : TCustomEdit::ConformEditText(editText);
}

void TMaskEdit::ValidateExit() {
  if (!IsMasked() || !Modified()) return;
  const int bad = mask_.firstInvalidPosition(EditText());
  if (bad < 0) return;
  SetSelStart(bad);  // the user is kept in the field with the caret where the fault is
  throw rtl::EDBEditError(rtl::RuntimeMessage(rtl::RuntimeText::InvalidInputValue));
}

void TMaskEdit::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "EditMask") {
    SetEditMask(value.asString(name));
  } else {
    TCustomEdit::SetProperty(name, value);
  }
}

}  // namespace tk
