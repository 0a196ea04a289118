#pragma once
// Where the screen's definition comes from: the text embedded in the module, or -- when the
// module was loaded next to a definition for the user's language -- that file. The module
// looks for the file once, when it is loaded (LoadLanguageDefinition); every form created
// afterwards uses what was found.

#include <string>

#include "toolkit/form.h"

namespace vnd42406 {

// The definition every new instance of the screen is built from.
tk::FormDefinition ScreenDefinition();

// The user's language as the environment gives it ("pt_BR" from LANG=pt_BR.UTF-8), or "".
std::string UserLanguage();

// The language file for a module at `modulePath`: "<dir>/<module name>.<language>.def", e.g.
// Pkg_vnd42406.pt_BR.def beside Pkg_vnd42406.so.
std::string LanguageDefinitionPath(const std::string& modulePath, const std::string& language);

// Takes the definition from the language file of `modulePath` when one exists and can be
// read; otherwise the embedded one is used. Returns true when a file was taken.
bool LoadLanguageDefinition(const std::string& modulePath, const std::string& language);
// Back to the embedded definition.
void ForgetLanguageDefinition();

}  // namespace vnd42406
