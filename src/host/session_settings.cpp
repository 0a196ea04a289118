#include "host/session_settings.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "rtl/strings.h"
#include "rtl/system_names.h"
#include "toolkit/edit_mask.h"

namespace host {
namespace {

[[noreturn]] void malformed(const std::string& key, const std::string& why) {
  throw SessionError("session: " + key + ": " + why);
}

bool parseBool(const std::string& key, const std::string& value) {
  const std::string v = rtl::LowerCase(value);
  if (v == "true" || v == "yes" || v == "1") return true;
  if (v == "false" || v == "no" || v == "0") return false;
  malformed(key, "expected true or false, got \"" + value + "\"");
}

int parseInt(const std::string& key, const std::string& value, int low, int high) {
  int out = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), out);
  if (value.empty() || ec != std::errc() || end != value.data() + value.size() || out < low ||
      out > high)
    malformed(key, "expected a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", got \"" + value + "\"");
  return out;
}

void requireValue(const std::string& key, const std::string& value) {
  if (value.empty()) malformed(key, "a value is required");
}

void checkBranch(const std::string& key, const std::string& value) {
  requireValue(key, value);
  if (value.size() > 4) malformed(key, "a branch code has at most 4 characters");
  for (char c : value)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
      malformed(key, "a branch code holds upper-case letters and digits only");
}

void checkDateFormat(const std::string& key, const std::string& value) {
  requireValue(key, value);
  const std::string lower = rtl::LowerCase(value);
  for (char token : {'d', 'm', 'y'})
    if (lower.find(token) == std::string::npos)
      malformed(key, "a short date format needs day (d), month (m) and year (y)");
}

void assign(Varnoke::Session& s, const std::string& key, const std::string& value) {
  if (key == "branch") {
    checkBranch(key, value);
    s.branch = value;
  } else if (key == "branch_name") {
    s.branchName = value;
  } else if (key == "branch_locked") {
    s.branchLocked = parseBool(key, value);
  } else if (key == "server_host") {
    requireValue(key, value);
    s.serverHost = value;
  } else if (key == "server_port") {
    s.serverPort = parseInt(key, value, 1, 65535);
  } else if (key == "product_mask") {
    requireValue(key, value);
    if (tk::EditMask(value).length() == 0) malformed(key, "the edit mask has no positions");
    s.productMask = value;
  } else if (key == "short_date_format") {
    checkDateFormat(key, value);
    s.shortDateFormat = value;
  } else if (key == "connect_timeout_s") {
    s.connectTimeoutSeconds = parseInt(key, value, 1, 3600);
  } else if (key == "call_timeout_s") {
    s.callTimeoutSeconds = parseInt(key, value, 1, 86400);
  } else if (key == "server_token") {
    s.serverToken = value;
  } else if (key == "server_tls") {
    s.serverTls = parseBool(key, value);
  } else if (key == "server_ca") {
    s.serverCa = value;
  } else if (key == "user") {
    s.user = value;
  } else {
    throw SessionError("session: " + key + ": unknown key");
  }
}

// The value part of a line: quoted, or up to a comment that follows a blank.
std::string valueOf(const std::string& raw) {
  const std::string text = rtl::TrimLeft(raw);
  if (!text.empty() && text[0] == '"') {
    const size_t close = text.find('"', 1);
    if (close == std::string::npos) return text;  // reported by the caller as malformed
    return text.substr(1, close - 1);
  }
  for (size_t i = 1; i < text.size(); ++i)
    if ((text[i] == ';' || text[i] == '#') && (text[i - 1] == ' ' || text[i - 1] == '\t'))
      return rtl::TrimRight(text.substr(0, i));
  if (!text.empty() && (text[0] == ';' || text[0] == '#')) return {};
  return rtl::TrimRight(text);
}

}  // namespace

Varnoke::Session DefaultSession() {
  Varnoke::Session s;
  s.user = rtl::LoginName();
  if (s.user.empty()) s.user = "desconhecido";
  s.machine = rtl::MachineName();
  if (s.machine.empty()) s.machine = "localhost";
  return s;
}

void ApplySessionText(Varnoke::Session& session, const std::string& text,
                      const std::string& origin) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  bool inSession = false;
  while (std::getline(lines, line)) {
    ++number;
    const std::string trimmed = rtl::Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    const std::string where = origin + ":" + std::to_string(number);
    if (trimmed.front() == '[') {
      if (trimmed.back() != ']') throw SessionError(where + ": malformed section header");
      inSession = rtl::SameText(rtl::Trim(trimmed.substr(1, trimmed.size() - 2)), "session");
      continue;
    }
    const size_t eq = trimmed.find('=');
    if (eq == std::string::npos) throw SessionError(where + ": expected key = value");
    const std::string key = rtl::Trim(trimmed.substr(0, eq));
    if (!inSession) throw SessionError(where + ": " + key + ": outside the [session] section");
    const std::string raw = trimmed.substr(eq + 1);
    if (rtl::TrimLeft(raw).rfind('"', 0) == 0 &&
        rtl::TrimLeft(raw).find('"', 1) == std::string::npos)
      throw SessionError("session: " + key + ": unterminated quoted value");
    assign(session, key, valueOf(raw));
  }
}

void ApplySessionOverride(Varnoke::Session& session, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0)
    throw SessionError("session: --set expects key=value, got \"" + assignment + "\"");
  assign(session, rtl::Trim(assignment.substr(0, eq)), assignment.substr(eq + 1));
}

Varnoke::Session LoadSession(const std::string& file, const std::vector<std::string>& overrides) {
  Varnoke::Session session = DefaultSession();
  std::string path = file;
  if (path.empty() && std::filesystem::exists("session.ini")) path = "session.ini";
  if (!path.empty()) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SessionError("session: cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    ApplySessionText(session, text.str(), path);
  }
  for (const std::string& o : overrides) ApplySessionOverride(session, o);
  return session;
}

}  // namespace host
