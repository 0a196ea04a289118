#pragma once
// A variant with the Automation kinds that cross the screen's remote calls: empty, null,
// string, string by reference (bound to one of the caller's variables), date, 32-bit integer,
// 16-bit Boolean (True is -1), data packet and array (the server's answer). Reading a variant
// as a kind it cannot be converted to raises EVariantError naming both kinds.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "rtl/data_packet.h"
#include "rtl/dates.h"

namespace rtl {

enum class VarKind { Empty, Null, String, StringRef, Date, Integer, Boolean, Packet, Array };

// "Empty", "Null", "String", "String by reference", ...
const char* VarKindName(VarKind kind);

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(int32_t value) : value_(value) {}
  Variant(std::shared_ptr<const DataPacket> packet);

  static Variant Null();
  // Binds the variant to the caller's variable, which must outlive it.
  static Variant ByRef(std::string& variable);
  static Variant FromDate(TDateTime date);
  static Variant FromBool(bool value);
  static Variant FromArray(std::vector<Variant> items);

  VarKind kind() const;
  bool isEmpty() const { return kind() == VarKind::Empty; }
  bool isNull() const { return kind() == VarKind::Null; }

  // String and string by reference give their text, an integer its decimal digits.
  std::string asString() const;
  // Date gives its day count, an integer its value.
  TDateTime asDate() const;
  // Integer, Boolean (-1 / 0).
  int32_t asInteger() const;
  // Boolean, or an integer other than 0.
  bool asBoolean() const;
  // The Automation 16-bit form: -1 for True, 0 for False.
  int16_t asWordBool() const;
  // Null gives nullptr; a packet gives it; anything else raises.
  std::shared_ptr<const DataPacket> asPacket() const;
  const std::vector<Variant>& asArray() const;

  // The caller's variable of a by-reference string.
  std::string& refTarget() const;

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  struct DateValue {
    TDateTime days;
  };
  struct BoolValue {
    int16_t word;  // -1 or 0
  };
  using Items = std::shared_ptr<const std::vector<Variant>>;

  [[noreturn]] void fail(const char* wanted) const;

  std::variant<std::monostate, NullTag, std::string, std::string*, DateValue, int32_t, BoolValue,
               std::shared_ptr<const DataPacket>, Items>
      value_;
};

}  // namespace rtl
