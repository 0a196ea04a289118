#pragma once
// The runtime's own texts, in the product's language. Every message that the runtime, the
// toolkit, the data layer and the family's library raise for a person to read comes from this
// one catalogue, the way a localised runtime ships its resource strings; the screens' own texts
// stay in their message catalogues. A text holds "%s" where its arguments go, in order.
// SystemErrorText does the same for the error texts of the operating system and the socket
// library, which arrive in English.

#include <initializer_list>
#include <string>
#include <string_view>

namespace rtl {

enum class RuntimeText {
  // Runtime
  OperationAborted,   // (EAbort, never shown)
  InvalidDate,        // '%s' is not a valid date
  InvalidDateTime,    // '%s' is not a valid date and time
  InvalidDateEncode,  // a day, month or year out of range
  VariantConvert,     // kind %s into kind %s
  PacketColumnTooLarge,
  PacketRowWidth,
  PacketColumnLengths,
  // Toolkit
  InvalidInputValue,  // a masked edit's text that does not fill its mask
  CannotFocus,
  NoApplication,
  ApplicationExists,
  DayNamesCount,  // %s names given
  // Data sets and fields
  DataSetClosed,
  DataSetOpen,
  DataSetEmpty,
  DataSetNotEditing,
  DataSetWithoutFields,
  DataSetComputing,  // what was tried: %s
  DataSetTooManyRows,
  DataSetNoPacket,
  RowOutOfRange,     // row %s, %s rows
  FieldNotFound,     // field %s
  FieldNameMissing,  // component %s
  FieldNameRepeated,
  FieldNotBound,
  FieldCalculated,
  FieldComputing,
  FieldReadOnly,
  FieldRequired,
  FieldNoDataSet,
  FieldAccess,  // field %s, type %s
  FieldSize,    // size %s, field %s
  FieldDisplayWidth,
  InvalidInteger,         // text %s
  IntegerOutOfRange,      // value %s, field %s
  PacketFieldMissing,     // field %s
  PacketFieldKind,        // field %s holds %s, column %s
  PacketColumnRows,       // column %s, %s values, %s rows
  PacketValueTooLong,     // field %s, row %s, %s characters, at most %s
  PacketValueOutOfRange,  // value %s, field %s, row %s
  // The family's library
  ListWithoutDataSet,
  MarkedCount,  // %s rows marked
  NoLocalDatabase,
  // The application server, as a clerk is told about it
  ConnectionLost,
  ConnectionLostDetail,  // method %s, cause %s
};

// The text of `id` with its "%s" replaced by `args`, in order (missing ones by nothing).
std::string RuntimeMessage(RuntimeText id, std::initializer_list<std::string_view> args = {});

// A system error text ("End of file", "Connection refused") in the product's language; a text
// the catalogue does not know comes back as it is.
std::string SystemErrorText(std::string_view text);

}  // namespace rtl
