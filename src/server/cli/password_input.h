#pragma once
// Reading a password for the account commands: from a file (its first line; "-" for standard
// input), or from the terminal with echo off, asked twice. Never from the command line, where
// other users of the machine could read it.

#include <string>

namespace server {

// Throws std::runtime_error when there is no terminal to ask on, the file cannot be read, the
// two answers differ, or the password is empty or too long.
std::string readPassword(const std::string& file, bool confirm);

}  // namespace server
