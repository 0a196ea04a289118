#include "toolkit/edit.h"

#include "toolkit/utf8_chars.h"

namespace tk {

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetColor(colors::clWindow);
}

void TCustomEdit::SetText(std::string_view value) {
  AssignEditText(std::string(value));
}

void TCustomEdit::SetEditText(std::string_view value) {
  AssignEditText(std::string(value));
}

void TCustomEdit::AssignEditText(std::string value) {
  modified_ = false;
  StoreEditText(std::move(value));
  unmodifiedText_ = editText_;
}

void TCustomEdit::MarkUnmodified() {
  modified_ = false;
  unmodifiedText_ = editText_;
}

bool TCustomEdit::AbandonUserChanges() {
  if (!modified_) return false;
  modified_ = false;
  StoreEditText(unmodifiedText_);
  return true;
}

void TCustomEdit::StoreEditText(std::string value) {
  if (value == editText_) return;
  editText_ = std::move(value);
  Notify(Prop::Text);
  Fire(OnChange);
}

void TCustomEdit::SetMaxLength(int value) {
  // A masked edit keeps the value for when its mask is removed; only a change of the length
  // in force is notified.
  const int before = MaxLength();
  maxLength_ = value < 0 ? 0 : value;
  if (MaxLength() != before) Notify(Prop::MaxLength);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  Notify(Prop::ReadOnly);
}

void TCustomEdit::SetSelStart(int position) {
  const int length = static_cast<int>(Utf8Chars(editText_).size());
  selStart_ = position < 0 ? 0 : (position > length ? length : position);
  // Notified even when unchanged: the view's caret may have moved since.
  Notify(Prop::Caret);
}

std::string TCustomEdit::TypedEditText(std::string_view keys) const {
  return ConformEditText(keys);
}

std::string TCustomEdit::ConformEditText(std::string_view editText) const {
  const int limit = MaxLength();
  return limit > 0 ? Utf8Prefix(editText, static_cast<size_t>(limit)) : std::string(editText);
}

void TCustomEdit::UserEditText(std::string_view editText) {
  modified_ = true;
  StoreEditText(std::string(editText));
}

void TCustomEdit::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Text") {
    SetText(value.asString(name));
  } else if (name == "MaxLength") {
    SetMaxLength(static_cast<int>(value.asInteger(name)));
  } else if (name == "ReadOnly") {
    SetReadOnly(value.asBoolean(name));
  } else {
    TWinControl::SetProperty(name, value);
  }
}

void TCustomEdit::SetEvent(const std::string& name, const EventHandler& handler) {
  if (name == "OnChange") {
    OnChange = NotifyHandler(name, handler);
  } else {
    TWinControl::SetEvent(name, handler);
  }
}

}  // namespace tk
