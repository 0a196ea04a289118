#include "data/field.h"

#include "data/data_set.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace data {

TField::TField(tk::TComponent* owner) : tk::TComponent(owner) {}

TField::~TField() {
  if (dataSet_) dataSet_->removeField(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  // Check the new data set first so that a refusal leaves the field where it was.
  if (dataSet) dataSet->checkInactive();
  if (dataSet_) {
    dataSet_->checkInactive();
    dataSet_->removeField(this);
    dataSet_ = nullptr;
  }
  if (dataSet) {
    dataSet->addField(this);
    dataSet_ = dataSet;
  }
}

void TField::SetFieldName(std::string name) {
  if (dataSet_) dataSet_->checkInactive();
  fieldName_ = std::move(name);
}

void TField::SetSize(int size) {
  if (dataSet_) dataSet_->checkInactive();
  if (size < 0 || (DataType() != rtl::FieldType::String && size != 0))
    throw rtl::EDatabaseError(
        rtl::RuntimeMessage(rtl::RuntimeText::FieldSize, {std::to_string(size), fieldName_}));
  size_ = size;
}

const std::string& TField::DisplayLabel() const {
  return displayLabel_ ? *displayLabel_ : fieldName_;
}

int TField::DisplayWidth() const {
  return displayWidth_ ? *displayWidth_ : defaultDisplayWidth();
}

void TField::SetDisplayWidth(int width) {
  if (width < 0)
    throw rtl::EDatabaseError(
        rtl::RuntimeMessage(rtl::RuntimeText::FieldDisplayWidth, {fieldName_}));
  displayWidth_ = width;
}

void TField::SetFieldKind(TFieldKind kind) {
  if (dataSet_) dataSet_->checkInactive();
  kind_ = kind;
}

// ---- values ----

FieldValue TField::Value() const {
  if (!dataSet_)
    throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::FieldNoDataSet, {fieldName_}));
  return dataSet_->readValue(*this);
}

void TField::SetValue(FieldValue value) {
  if (!dataSet_)
    throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::FieldNoDataSet, {fieldName_}));
  dataSet_->writeValue(*this, fit(std::move(value)));
}

bool TField::IsNull() const {
  return IsNullValue(Value());
}
std::string TField::AsString() const {
  return textOf(Value());
}
rtl::TDateTime TField::AsDateTime() const {
  return dateTimeOf(Value());
}
int32_t TField::AsInteger() const {
  return integerOf(Value());
}
std::string TField::DisplayText() const {
  return displayTextOf(Value());
}

void TField::SetAsString(std::string_view text) {
  SetValue(fromText(text));
}
void TField::SetAsDateTime(rtl::TDateTime value) {
  SetValue(fromDateTime(value));
}
void TField::SetAsInteger(int32_t value) {
  SetValue(fromInteger(value));
}
void TField::Clear() {
  SetValue(FieldValue{});
}

void TField::accessError(const char* typeName) const {
  throw rtl::EDatabaseError(
      rtl::RuntimeMessage(rtl::RuntimeText::FieldAccess, {fieldName_, typeName}));
}

rtl::TDateTime TField::dateTimeOf(const FieldValue&) const {
  accessError("DateTime");
}
FieldValue TField::fromDateTime(rtl::TDateTime) const {
  accessError("DateTime");
}
int32_t TField::integerOf(const FieldValue&) const {
  accessError("Integer");
}
FieldValue TField::fromInteger(int32_t) const {
  accessError("Integer");
}

// ---- definition ----

namespace {

TFieldKind fieldKindFrom(const std::string& ident) {
  if (ident == "fkData") return TFieldKind::fkData;
  if (ident == "fkCalculated") return TFieldKind::fkCalculated;
  // Lookup and aggregate fields need machinery this client never uses.
  throw tk::EDefinitionError("FieldKind " + ident + " is not supported");
}

TAlignment alignmentFrom(const std::string& ident) {
  if (ident == "taLeftJustify") return TAlignment::taLeftJustify;
  if (ident == "taRightJustify") return TAlignment::taRightJustify;
  if (ident == "taCenter") return TAlignment::taCenter;
  throw tk::EDefinitionError("Alignment " + ident + " is not an alignment");
}

}  // namespace

void TField::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "FieldName") {
    SetFieldName(value.asString(name));
  } else if (name == "Size") {
    SetSize(static_cast<int>(value.asInteger(name)));
  } else if (name == "DisplayLabel") {
    SetDisplayLabel(value.asString(name));
  } else if (name == "DisplayWidth") {
    SetDisplayWidth(static_cast<int>(value.asInteger(name)));
  } else if (name == "Visible") {
    SetVisible(value.asBoolean(name));
  } else if (name == "ReadOnly") {
    SetReadOnly(value.asBoolean(name));
  } else if (name == "FixedChar") {
    SetFixedChar(value.asBoolean(name));
  } else if (name == "Required") {
    SetRequired(value.asBoolean(name));
  } else if (name == "Origin") {
    SetOrigin(value.asString(name));
  } else if (name == "EditMask") {
    SetEditMask(value.asString(name));
  } else if (name == "Alignment") {
    SetAlignment(alignmentFrom(value.asIdentifier(name)));
  } else if (name == "FieldKind") {
    SetFieldKind(fieldKindFrom(value.asIdentifier(name)));
  } else if (name == "Calculated") {
    SetFieldKind(value.asBoolean(name) ? TFieldKind::fkCalculated : TFieldKind::fkData);
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

}  // namespace data
