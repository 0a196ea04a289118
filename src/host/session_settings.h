#pragma once
// Reading the session: an INI file with a [session] section, then `key=value` overrides from
// the command line, checked key by key. The file format:
//
//     [session]
//     branch        = 0001          ; a comment starts at ";" or "#" after a blank
//     product_mask  = 99.99.9999;0;_
//     branch_name   = "Matriz"      ; double quotes keep blanks and comment characters
//
// Blank lines and lines starting with ";" or "#" are ignored; keys outside [session] or
// unknown keys are errors, so a typo never passes silently.

#include <stdexcept>
#include <string>
#include <vector>

#include "shared/varnoke.h"

namespace host {

// A missing or malformed value; the message is one line naming the key.
class SessionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The built-in defaults (the user name from the login, the machine from the host name).
Varnoke::Session DefaultSession();

// Applies the INI text to `session`. `origin` names the text in messages (a file name).
void ApplySessionText(Varnoke::Session& session, const std::string& text,
                      const std::string& origin);
// Applies one "key=value" override.
void ApplySessionOverride(Varnoke::Session& session, const std::string& assignment);

// The session from an optional file (an empty path: session.ini in the working directory when
// present) and the overrides, in order. Raises SessionError.
Varnoke::Session LoadSession(const std::string& file, const std::vector<std::string>& overrides);

}  // namespace host
