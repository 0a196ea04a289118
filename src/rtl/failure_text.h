#pragma once
// What a person reads for a failure that ended a user event: the exception's message, with
// whatever reached it in another language put into the product's. A connection to the
// application server that broke is told in words a clerk understands, with the call and its
// cause on a last line for the support; a system cause closing any other connection failure
// ("...: Connection refused") is translated.

#include <exception>
#include <string>

namespace rtl {

std::string FailureText(const std::exception& e);

}  // namespace rtl
