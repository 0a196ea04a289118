#include "rtl/variant.h"

#include <charconv>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace rtl {

const char* VarKindName(VarKind kind) {
  switch (kind) {
    case VarKind::Empty:
      return "Empty";
    case VarKind::Null:
      return "Null";
    case VarKind::String:
      return "String";
    case VarKind::StringRef:
      return "String by reference";
    case VarKind::Date:
      return "Date";
    case VarKind::Integer:
      return "Integer";
    case VarKind::Boolean:
      return "Boolean";
    case VarKind::Packet:
      return "Data packet";
    case VarKind::Array:
      return "Array";
  }
  return "Empty";
}

Variant::Variant(std::shared_ptr<const DataPacket> packet) {
  if (packet)
    value_ = std::move(packet);
  else
    value_ = NullTag{};
}

Variant Variant::Null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

Variant Variant::ByRef(std::string& variable) {
  Variant v;
  v.value_ = &variable;
  return v;
}

Variant Variant::FromDate(TDateTime date) {
  Variant v;
  v.value_ = DateValue{date};
  return v;
}

Variant Variant::FromBool(bool value) {
  Variant v;
  v.value_ = BoolValue{static_cast<int16_t>(value ? -1 : 0)};
  return v;
}

Variant Variant::FromArray(std::vector<Variant> items) {
  Variant v;
  v.value_ = std::make_shared<const std::vector<Variant>>(std::move(items));
  return v;
}

VarKind Variant::kind() const {
  static constexpr VarKind kinds[] = {VarKind::Empty,     VarKind::Null,   VarKind::String,
                                      VarKind::StringRef, VarKind::Date,   VarKind::Integer,
                                      VarKind::Boolean,   VarKind::Packet, VarKind::Array};
  return kinds[value_.index()];
}

void Variant::fail(const char* wanted) const {
  throw EVariantError(RuntimeMessage(RuntimeText::VariantConvert, {VarKindName(kind()), wanted}));
}

std::string Variant::asString() const {
  if (auto s = std::get_if<std::string>(&value_)) return *s;
  if (auto r = std::get_if<std::string*>(&value_)) return **r;
  if (auto i = std::get_if<int32_t>(&value_)) return std::to_string(*i);
  fail("String");
}

TDateTime Variant::asDate() const {
  if (auto d = std::get_if<DateValue>(&value_)) return d->days;
  if (auto i = std::get_if<int32_t>(&value_)) return *i;
  fail("Date");
}

int32_t Variant::asInteger() const {
  if (auto i = std::get_if<int32_t>(&value_)) return *i;
  if (auto b = std::get_if<BoolValue>(&value_)) return b->word;
  fail("Integer");
}

bool Variant::asBoolean() const {
  if (auto b = std::get_if<BoolValue>(&value_)) return b->word != 0;
  if (auto i = std::get_if<int32_t>(&value_)) return *i != 0;
  fail("Boolean");
}

int16_t Variant::asWordBool() const {
  return asBoolean() ? -1 : 0;
}

std::shared_ptr<const DataPacket> Variant::asPacket() const {
  if (std::holds_alternative<NullTag>(value_)) return nullptr;
  if (auto p = std::get_if<std::shared_ptr<const DataPacket>>(&value_)) return *p;
  fail("Data packet");
}

const std::vector<Variant>& Variant::asArray() const {
  if (auto a = std::get_if<Items>(&value_)) return **a;
  fail("Array");
}

std::string& Variant::refTarget() const {
  if (auto r = std::get_if<std::string*>(&value_)) return **r;
  fail("String by reference");
}

}  // namespace rtl
