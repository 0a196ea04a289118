// The module Pkg_vnd42406: the entry the host calls to open the screen, and the module's start
// and stop. A host loads the module with dlopen, calls Initialize, then IniProc as often as
// the user opens the screen, and Finalize before dlclose.

#include <dlfcn.h>

#include "vnd42406/Cli_vnd42406.h"
#include "vnd42406/screen_definition/screen_definition.h"
#include "vnd42406/unit_lifecycle.h"

namespace {

// The module's own file, found from an address inside it.
std::string moduleFileName() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&moduleFileName), &info) == 0 || info.dli_fname == nullptr)
    return {};
  return info.dli_fname;
}

// When the system maps the module: take the screen definition for the user's language when
// one lies beside the module, else the embedded one (no language file is no error).
__attribute__((constructor)) void moduleLoaded() {
  vnd42406::LoadLanguageDefinition(moduleFileName(), vnd42406::UserLanguage());
}

__attribute__((destructor)) void moduleUnloaded() { vnd42406::ForgetLanguageDefinition(); }

}  // namespace

extern "C" {

// Opens the screen. Failures reach the host unchanged.
void IniProc() { vnd42406::CriaCadAutPromocao(); }

void CriaCadAutPromocao() { vnd42406::CriaCadAutPromocao(); }

void Initialize() { vnd42406::UnitInitialization(); }

void Finalize() { vnd42406::UnitFinalization(); }

// The open screen's product selection list ("" when no screen is open), for the hosts' view
// of the screen's state.
const char* ListaProdAtual() {
  return frmCadAutPromocao ? frmCadAutPromocao->ListaProd().c_str() : "";
}

// What the module is made of, for a loader that wants to know.
struct PackageInfo {
  const char* const* units;
  int unitCount;
};

const PackageInfo* GetPackageInfoTable() {
  static const char* const units[] = {"Pkg_Vnd42406", "Cli_Vnd42406", "SysInit"};
  static const PackageInfo info{units, 3};
  return &info;
}
}
