#pragma once
// Consiste: the checks and reports every screen of the family shares -- whether a field is
// empty, the normalised form of a code, showing an error that ends the running handler, and
// the reading of an application server's answer.

#include <string>
#include <string_view>

#include "rtl/variant.h"

namespace Consiste {

// True for an empty text, a text of blanks only and the text of a date edit that holds no
// date (blanks and date separators only).
bool EmptyString(std::string_view text);

// The code with blanks trimmed and padded on the left with "0" to `width`; a longer code keeps
// its first `width` characters. Ajusta("1", 4) is "0001"; Ajusta("A1 ", 4) is "00A1".
std::string Ajusta(std::string_view code, int width);

// Shows `message` as an error. With `abort` it then raises the silent abort, so the running
// handler ends without a second message.
void MensErro(const std::string& message, bool abort);

// Reads the answer of a server method, [status, message, data]: status 0 gives the data (a
// packet, or Null); any other status shows the message as an error (MensErro with abort).
// An answer of another shape raises rtl::ERemoteError saying what is wrong with it. The two
// further arguments are the family's call convention (True and 0); they change nothing here.
rtl::Variant CheckResultServ(const rtl::Variant& answer, bool showMessage, int context);

}  // namespace Consiste
