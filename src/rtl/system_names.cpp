#include "rtl/system_names.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace rtl {

std::string LoginName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (const char* name = getlogin(); name && *name) return name;
  const long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name)
    return found->pw_name;
  return {};
}

std::string MachineName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) return name;
  return {};
}

}  // namespace rtl
