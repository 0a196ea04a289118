#include "server/cli/password_input.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <stdexcept>

#include "server/storage/passwords.h"

namespace server {

namespace {

std::string firstLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Reads one line from the terminal without showing it.
std::string askQuietly(const char* prompt) {
  std::ifstream tty("/dev/tty");
  if (!tty) throw std::runtime_error("no terminal to ask the password on; use --password-file");
  std::ofstream out("/dev/tty");
  out << prompt << std::flush;
  const int fd = ::open("/dev/tty", O_RDONLY);
  termios saved{};
  const bool quiet = fd >= 0 && ::tcgetattr(fd, &saved) == 0;
  if (quiet) {
    termios silent = saved;
    silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(fd, TCSAFLUSH, &silent);
  }
  const std::string line = firstLine(tty);
  if (quiet) ::tcsetattr(fd, TCSAFLUSH, &saved);
  if (fd >= 0) ::close(fd);
  out << "\n" << std::flush;
  return line;
}

}  // namespace

std::string readPassword(const std::string& file, bool confirm) {
  std::string password;
  if (file == "-") {
    password = firstLine(std::cin);
  } else if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read password file " + file);
    password = firstLine(in);
  } else {
    password = askQuietly("Password: ");
    if (confirm && askQuietly("Password again: ") != password)
      throw std::runtime_error("the two passwords differ; nothing was changed");
  }
  if (password.empty()) throw std::runtime_error("the password is empty; nothing was changed");
  if (password.size() > kMaxPasswordBytes)
    throw std::runtime_error("the password is longer than " + std::to_string(kMaxPasswordBytes) +
                             " bytes; nothing was changed");
  return password;
}

}  // namespace server
