#pragma once
// The field types a screen declares: text, date-time and integer. Each fixes how its value is
// stored (the packet column type) and how it converts to and from text, dates and integers;
// a conversion that cannot be made raises EConvertError (a bad text) or EDatabaseError (a
// type the field cannot be read as).

#include <string>

#include "data/field.h"

namespace data {

// Text of at most Size characters (default 20; UTF-8 characters, not bytes). A longer text
// written by the program keeps its first Size characters. Read as a date, the text goes
// through StrToDateTime with the user's short date format; as an integer, through a decimal
// reading. DisplayText lays the text out through the field's EditMask when one is set. A
// FixedChar field holds shorter texts padded with blanks to Size.
class TStringField : public TField {
 public:
  explicit TStringField(tk::TComponent* owner = nullptr);
  const char* ClassName() const override { return "TStringField"; }
  rtl::FieldType DataType() const override { return rtl::FieldType::String; }
  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 protected:
  std::string textOf(const FieldValue& value) const override;
  FieldValue fromText(std::string_view text) const override;
  rtl::TDateTime dateTimeOf(const FieldValue& value) const override;
  FieldValue fromDateTime(rtl::TDateTime value) const override;
  int32_t integerOf(const FieldValue& value) const override;
  FieldValue fromInteger(int32_t value) const override;
  std::string displayTextOf(const FieldValue& value) const override;
  FieldValue fit(FieldValue value) const override;

 private:
  std::string padded(std::string text) const;
};

// A date and time (days since 1899-12-30). As text it reads and writes the user's short date
// format, with the time of day only when there is one; an empty text is null. Null reads as
// date 0. DisplayFormat, when set, is the FormatDateTime format of DisplayText.
class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(tk::TComponent* owner = nullptr) : TField(owner) {}
  const char* ClassName() const override { return "TDateTimeField"; }
  rtl::FieldType DataType() const override { return rtl::FieldType::Date; }
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(std::string format) { displayFormat_ = std::move(format); }
  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 protected:
  std::string textOf(const FieldValue& value) const override;
  FieldValue fromText(std::string_view text) const override;
  rtl::TDateTime dateTimeOf(const FieldValue& value) const override;
  FieldValue fromDateTime(rtl::TDateTime value) const override;
  std::string displayTextOf(const FieldValue& value) const override;
  FieldValue fit(FieldValue value) const override;
  int defaultDisplayWidth() const override { return 18; }

 private:
  std::string displayFormat_;
};

// A 32-bit integer, right-aligned in lists. As text: optional sign and decimal digits; an
// empty text is null. Null reads as 0.
class TIntegerField : public TField {
 public:
  explicit TIntegerField(tk::TComponent* owner = nullptr);
  const char* ClassName() const override { return "TIntegerField"; }
  rtl::FieldType DataType() const override { return rtl::FieldType::Integer; }

 protected:
  std::string textOf(const FieldValue& value) const override;
  FieldValue fromText(std::string_view text) const override;
  int32_t integerOf(const FieldValue& value) const override;
  FieldValue fromInteger(int32_t value) const override;
  FieldValue fit(FieldValue value) const override;
  int defaultDisplayWidth() const override { return 10; }
};

// The date-time text the fields write: the short date, plus " hh:nn:ss" when there is a time.
std::string DateTimeToStr(rtl::TDateTime value);
// Reads an optional sign and decimal digits (blanks around allowed) as a 32-bit integer;
// anything else raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);

}  // namespace data
