#pragma once
// The screen module as the hosts load it: dlopen, the module's start, then its entry IniProc
// as often as the user opens the screen, and at the end the module's stop and dlclose. The
// module's exported globals (the open instance, the form-exists and first-activation flags,
// the error text) are readable through it.

#include <stdexcept>
#include <string>

namespace tk {
class TForm;
}

namespace host {

class ModuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScreenModule {
 public:
  // Loads the module at `path` and runs its start. Raises ModuleError naming the file and
  // what is missing.
  explicit ScreenModule(const std::string& path);
  // Runs the module's stop and unloads it.
  ~ScreenModule();
  ScreenModule(const ScreenModule&) = delete;
  ScreenModule& operator=(const ScreenModule&) = delete;

  // The module file beside the running executable.
  static std::string DefaultPath();

  const std::string& path() const { return path_; }
  // Opens the screen; failures go on to the caller.
  void IniProc() const;
  // The open instance, or nullptr.
  tk::TForm* Form() const;
  bool StCriado() const { return *boStCriado_; }
  bool PrimVez() const { return *boPrimVez_; }
  const std::string& StErro() const { return *stErro_; }
  // The open instance's product selection list; "" without an instance.
  std::string ListaProd() const;

 private:
  void* symbol(const char* name) const;

  std::string path_;
  void* handle_ = nullptr;
  void (*iniProc_)() = nullptr;
  void (*finalize_)() = nullptr;
  tk::TForm** form_ = nullptr;
  bool* boStCriado_ = nullptr;
  bool* boPrimVez_ = nullptr;
  std::string* stErro_ = nullptr;
  const char* (*listaProd_)() = nullptr;
};

}  // namespace host
