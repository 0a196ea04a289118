#include "host/screen_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

namespace host {

ScreenModule::ScreenModule(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr)
    throw ModuleError("cannot load the screen module: " + std::string(dlerror()));
  try {
    auto initialize = reinterpret_cast<void (*)()>(symbol("Initialize"));
    finalize_ = reinterpret_cast<void (*)()>(symbol("Finalize"));
    iniProc_ = reinterpret_cast<void (*)()>(symbol("IniProc"));
    form_ = static_cast<tk::TForm**>(symbol("frmCadAutPromocao"));
    boStCriado_ = static_cast<bool*>(symbol("boStCriado"));
    boPrimVez_ = static_cast<bool*>(symbol("boPrimVez"));
    stErro_ = static_cast<std::string*>(symbol("stErro"));
    listaProd_ = reinterpret_cast<const char* (*)()>(symbol("ListaProdAtual"));
    initialize();
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

ScreenModule::~ScreenModule() {
  if (finalize_) finalize_();
  dlclose(handle_);
}

void* ScreenModule::symbol(const char* name) const {
  void* address = dlsym(handle_, name);
  if (address == nullptr)
    throw ModuleError(path_ + " is not a screen module: it has no " + std::string(name));
  return address;
}

std::string ScreenModule::DefaultPath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path dir = ec ? std::filesystem::current_path() : self.parent_path();
  return (dir / "Pkg_vnd42406.so").string();
}

void ScreenModule::IniProc() const {
  iniProc_();
}

tk::TForm* ScreenModule::Form() const {
  return *form_;
}

std::string ScreenModule::ListaProd() const {
  return listaProd_();
}

}  // namespace host
