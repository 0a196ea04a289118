#include "data/fields.h"

#include <charconv>
#include <cmath>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "rtl/strings.h"
#include "toolkit/edit_mask.h"

namespace data {

std::string DateTimeToStr(rtl::TDateTime value) {
  if (value == std::floor(value)) return rtl::DateToStr(value);
  return rtl::FormatDateTime("ddddd hh:nn:ss", value);
}

int32_t StrToInt(std::string_view text) {
  const std::string trimmed = rtl::Trim(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    throw rtl::EConvertError(rtl::RuntimeMessage(rtl::RuntimeText::InvalidInteger, {text}));
  return value;
}

// ---- TStringField ----

TStringField::TStringField(tk::TComponent* owner) : TField(owner) {
  SetSize(20);
}

std::string TStringField::textOf(const FieldValue& value) const {
  const auto* s = std::get_if<std::string>(&value);
  if (!s) return std::string();
  return FixedChar() ? padded(*s) : *s;
}

std::string TStringField::padded(std::string text) const {
  const int length = static_cast<int>(rtl::Utf8Length(text));
  if (length < Size()) text.append(static_cast<size_t>(Size() - length), ' ');
  return text;
}

FieldValue TStringField::fromText(std::string_view text) const {
  return std::string(rtl::Utf8Left(text, Size()));
}

rtl::TDateTime TStringField::dateTimeOf(const FieldValue& value) const {
  return rtl::StrToDateTime(textOf(value));
}

FieldValue TStringField::fromDateTime(rtl::TDateTime value) const {
  return fromText(DateTimeToStr(value));
}

int32_t TStringField::integerOf(const FieldValue& value) const {
  return StrToInt(textOf(value));
}

FieldValue TStringField::fromInteger(int32_t value) const {
  return fromText(std::to_string(value));
}

std::string TStringField::displayTextOf(const FieldValue& value) const {
  if (EditMask().empty()) return textOf(value);
  return tk::FormatMaskText(EditMask(), textOf(value));
}

FieldValue TStringField::fit(FieldValue value) const {
  if (IsNullValue(value)) return value;
  const auto* s = std::get_if<std::string>(&value);
  if (!s) accessError("String");
  // A fixed-length column holds its full size: shorter texts are padded with blanks.
  if (FixedChar()) return padded(std::string(rtl::Utf8Left(*s, Size())));
  if (s->size() <= static_cast<size_t>(Size())) return value;  // bytes bound characters
  return fromText(*s);
}

void TStringField::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Transliterate") {
    value.asBoolean(name);  // code-page translation: texts are UTF-8 throughout
  } else {
    TField::SetProperty(name, value);
  }
}

// ---- TDateTimeField ----

std::string TDateTimeField::textOf(const FieldValue& value) const {
  const auto* d = std::get_if<double>(&value);
  return d ? DateTimeToStr(*d) : std::string();
}

FieldValue TDateTimeField::fromText(std::string_view text) const {
  if (rtl::Trim(text).empty()) return {};
  return rtl::StrToDateTime(text);
}

rtl::TDateTime TDateTimeField::dateTimeOf(const FieldValue& value) const {
  const auto* d = std::get_if<double>(&value);
  return d ? *d : 0.0;
}

FieldValue TDateTimeField::fromDateTime(rtl::TDateTime value) const {
  return value;
}

std::string TDateTimeField::displayTextOf(const FieldValue& value) const {
  const auto* d = std::get_if<double>(&value);
  if (!d) return std::string();
  return displayFormat_.empty() ? DateTimeToStr(*d) : rtl::FormatDateTime(displayFormat_, *d);
}

FieldValue TDateTimeField::fit(FieldValue value) const {
  if (!IsNullValue(value) && !std::holds_alternative<double>(value)) accessError("DateTime");
  return value;
}

void TDateTimeField::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "DisplayFormat") {
    SetDisplayFormat(value.asString(name));
  } else {
    TField::SetProperty(name, value);
  }
}

// ---- TIntegerField ----

TIntegerField::TIntegerField(tk::TComponent* owner) : TField(owner) {
  SetAlignment(TAlignment::taRightJustify);
}

std::string TIntegerField::textOf(const FieldValue& value) const {
  const auto* i = std::get_if<int64_t>(&value);
  return i ? std::to_string(*i) : std::string();
}

FieldValue TIntegerField::fromText(std::string_view text) const {
  if (rtl::Trim(text).empty()) return {};
  return int64_t{StrToInt(text)};
}

int32_t TIntegerField::integerOf(const FieldValue& value) const {
  const auto* i = std::get_if<int64_t>(&value);
  return i ? static_cast<int32_t>(*i) : 0;
}

FieldValue TIntegerField::fromInteger(int32_t value) const {
  return int64_t{value};
}

FieldValue TIntegerField::fit(FieldValue value) const {
  if (IsNullValue(value)) return value;
  const auto* i = std::get_if<int64_t>(&value);
  if (!i) accessError("Integer");
  if (*i < INT32_MIN || *i > INT32_MAX)
    throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::IntegerOutOfRange,
                                                  {std::to_string(*i), FieldName()}));
  return value;
}

}  // namespace data
