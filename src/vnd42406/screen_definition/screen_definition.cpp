#include "vnd42406/screen_definition/screen_definition.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace vnd42406 {

const char* EmbeddedScreenDefinition();  // generated from TfrmCadAutPromocao.def

namespace {
std::optional<tk::FormDefinition>& languageDefinition() {
  static std::optional<tk::FormDefinition> definition;
  return definition;
}
}  // namespace

tk::FormDefinition ScreenDefinition() {
  if (languageDefinition()) return *languageDefinition();
  return {"TfrmCadAutPromocao.def", EmbeddedScreenDefinition()};
}

std::string UserLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string language = value;
    language = language.substr(0, language.find_first_of(".@"));
    if (language == "C" || language == "POSIX") return {};
    return language;
  }
  return {};
}

std::string LanguageDefinitionPath(const std::string& modulePath, const std::string& language) {
  const std::filesystem::path module(modulePath);
  return (module.parent_path() / (module.stem().string() + "." + language + ".def")).string();
}

bool LoadLanguageDefinition(const std::string& modulePath, const std::string& language) {
  ForgetLanguageDefinition();
  if (modulePath.empty() || language.empty()) return false;
  const std::string path = LanguageDefinitionPath(modulePath, language);
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  languageDefinition() = tk::FormDefinition{path, text.str()};
  return true;
}

void ForgetLanguageDefinition() { languageDefinition().reset(); }

}  // namespace vnd42406
