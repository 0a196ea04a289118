#include "server/cli/config_file.h"

#include <fstream>

namespace server {

namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The file's options as command-line arguments.
std::vector<std::string> optionsOf(const std::string& path, bool onlyDatabase) {
  std::ifstream in(path);
  if (!in) throw ConfigFileError("--config: cannot read " + path);
  std::vector<std::string> args;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string text = trimmed(line);
    if (text.empty() || text[0] == '#' || text[0] == ';') continue;
    const size_t eq = text.find('=');
    const std::string key = eq == std::string::npos ? "" : trimmed(text.substr(0, eq));
    if (key.empty() || key.find_first_of(" \t") != std::string::npos || key[0] == '-')
      throw ConfigFileError(path + ":" + std::to_string(number) + ": expected key = value");
    std::string value = trimmed(text.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (onlyDatabase && key != "db") continue;
    if (value == "true") {
      args.push_back("--" + key);
    } else if (value != "false") {
      args.push_back("--" + key + "=" + value);
    }
  }
  return args;
}

}  // namespace

std::vector<std::string> withConfigFile(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || (args[0] != "serve" && args[0] != "init")) return args;
  for (size_t i = 1; i < args.size(); ++i) {
    std::string path;
    size_t taken = 1;
    if (args[i] == "--config" && i + 1 < args.size()) {
      path = args[i + 1];
      taken = 2;
    } else if (args[i].rfind("--config=", 0) == 0) {
      path = args[i].substr(9);
    } else {
      continue;
    }
    std::vector<std::string> fromFile = optionsOf(path, args[0] == "init");
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i + taken));
    args.insert(args.begin() + 1, fromFile.begin(), fromFile.end());
    break;
  }
  return args;
}

}  // namespace server
