#pragma once
// TField: one column of a data set as the program sees it, the value of the data set's current
// row plus how it is labelled and shown in lists. A field is a component (its owner, usually
// the form, frees it) that belongs to one data set; it holds no value itself, every read and
// write goes to the data set's current row, edit buffer or calculated values. Subclasses fix
// the value type and the conversions between it and text, dates and integers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/field_value.h"
#include "rtl/data_packet.h"
#include "rtl/dates.h"
#include "toolkit/component.h"

namespace data {

class TDataSet;

// A data field is stored in the rows and packets; a calculated one is set row by row by the
// data set's OnCalcFields handler and never stored.
enum class TFieldKind { fkData, fkCalculated };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TField : public tk::TComponent {
 public:
  explicit TField(tk::TComponent* owner = nullptr);
  ~TField() override;

  const char* ClassName() const override { return "TField"; }
  // The packet column type the field's values are stored and handed back as.
  virtual rtl::FieldType DataType() const = 0;

  // The data set the field belongs to. Setting it appends the field to that data set's fields
  // (after removing it from its previous one); the data set must be closed.
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name);
  // Maximum characters of a string field; 0 for the other kinds.
  int Size() const { return size_; }
  void SetSize(int size);

  // The column heading of lists; FieldName when none was given.
  const std::string& DisplayLabel() const;
  void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
  // The column width of lists in characters; by default the size (string) or the natural
  // width of the type.
  int DisplayWidth() const;
  void SetDisplayWidth(int width);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // A read-only field refuses program writes (rows still load from packets).
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // Marks a fixed-length text column: a string field then holds its values padded with
  // blanks to its size (null stays null).
  bool FixedChar() const { return fixedChar_; }
  void SetFixedChar(bool fixedChar) { fixedChar_ = fixedChar; }
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }
  const std::string& Origin() const { return origin_; }
  void SetOrigin(std::string origin) { origin_ = std::move(origin); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  // The display mask: shapes DisplayText of string fields, never the stored value.
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(std::string mask) { editMask_ = std::move(mask); }

  TFieldKind FieldKind() const { return kind_; }
  void SetFieldKind(TFieldKind kind);
  bool Calculated() const { return kind_ == TFieldKind::fkCalculated; }

  // The value of the data set's current row (or the row being edited or computed). Reading
  // a field of a closed data set raises EDatabaseError; a data set with no row reads null.
  bool IsNull() const;
  // Null reads as "".
  std::string AsString() const;
  rtl::TDateTime AsDateTime() const;
  int32_t AsInteger() const;
  // What lists show for the value.
  std::string DisplayText() const;
  // Writes need the data set in edit or insert state (a calculated field: inside
  // OnCalcFields); conversion failures raise EConvertError and change nothing.
  void SetAsString(std::string_view text);
  void SetAsDateTime(rtl::TDateTime value);
  void SetAsInteger(int32_t value);
  void Clear();

  // The stored value as the data set holds it (no conversion).
  FieldValue Value() const;
  void SetValue(FieldValue value);

  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 protected:
  // Conversions from the stored value and back. The base raises "cannot access as".
  virtual std::string textOf(const FieldValue& value) const = 0;
  virtual FieldValue fromText(std::string_view text) const = 0;
  virtual rtl::TDateTime dateTimeOf(const FieldValue& value) const;
  virtual FieldValue fromDateTime(rtl::TDateTime value) const;
  virtual int32_t integerOf(const FieldValue& value) const;
  virtual FieldValue fromInteger(int32_t value) const;
  virtual std::string displayTextOf(const FieldValue& value) const { return textOf(value); }
  // A value of the right type for the field, made to fit (strings cut to Size).
  virtual FieldValue fit(FieldValue value) const { return value; }
  virtual int defaultDisplayWidth() const { return size_; }

  [[noreturn]] void accessError(const char* typeName) const;

 private:
  friend class TDataSet;

  TDataSet* dataSet_ = nullptr;
  std::string fieldName_;
  int size_ = 0;
  std::optional<std::string> displayLabel_;
  std::optional<int> displayWidth_;
  bool visible_ = true;
  bool readOnly_ = false;
  bool fixedChar_ = false;
  bool required_ = false;
  std::string origin_;
  std::string editMask_;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TFieldKind kind_ = TFieldKind::fkData;
  // Where the data set keeps the value while it is open: a stored column or a calculated slot.
  int slot_ = -1;
};

}  // namespace data
