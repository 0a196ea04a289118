// The module as a host sees it: loaded with dlopen, opened through IniProc, unloaded.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "rtl/dates.h"
#include "shared/varnoke.h"
#include "support/fake_server.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/user_input.h"

namespace {

struct Module {
  explicit Module(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~Module() {
    if (handle) dlclose(handle);
  }
  template <class T>
  T* symbol(const char* name) {
    return reinterpret_cast<T*>(dlsym(handle, name));
  }
  void* handle;
};

class ModuleLoadTest : public ::testing::Test {
 protected:
  ModuleLoadTest() {
    Varnoke::Session s;
    s.serverPort = server.port();
    Varnoke::SetSession(s);
    main = app.Create<tk::TForm>();
    main->SetName("frmPrincipal");
    app.SetMainForm(main);
    main->Show();
  }
  testsupport::FakeServer server;
  tk::TApplication app;
  tk::TForm* main = nullptr;
};

TEST_F(ModuleLoadTest, TheHostLoadsTheModuleOpensTheScreenAndUnloadsIt) {
  Module module(PKG_VND42406_PATH);
  ASSERT_NE(module.handle, nullptr) << dlerror();
  auto* initialize = module.symbol<void()>("Initialize");
  auto* finalize = module.symbol<void()>("Finalize");
  auto* iniProc = module.symbol<void()>("IniProc");
  auto* created = module.symbol<bool>("boStCriado");
  auto* form = module.symbol<tk::TForm*>("frmCadAutPromocao");
  auto* error = module.symbol<std::string>("stErro");
  ASSERT_TRUE(initialize && finalize && iniProc && created && form && error);
  ASSERT_NE(module.symbol<void()>("CriaCadAutPromocao"), nullptr);
  ASSERT_NE(module.symbol<void()>("GetPackageInfoTable"), nullptr);

  initialize();
  EXPECT_FALSE(*created);
  const tk::EventOutcome opened = tk::RunUserEvent(iniProc);
  ASSERT_FALSE(opened.raised) << opened.message;
  ASSERT_NE(*form, nullptr);
  EXPECT_TRUE(*created);
  EXPECT_EQ((*form)->Caption(), "Alteração Automática");
  EXPECT_TRUE((*form)->Visible());
  EXPECT_EQ(server.attachCount(), 1);

  tk::RunUserEvent([&] { tk::userClose(**form); });
  EXPECT_FALSE(*created);
  EXPECT_EQ(*form, nullptr);
  *error = "erro";
  finalize();
  EXPECT_EQ(*error, "");
}

TEST_F(ModuleLoadTest, ADefinitionForTheUsersLanguageBesideTheModuleIsUsed) {
  std::ifstream in(SCREEN_DEFINITION_PATH);
  std::stringstream text;
  text << in.rdbuf();
  std::string definition = text.str();
  const std::string caption = "Caption = 'Alteração Automática'";
  ASSERT_NE(definition.find(caption), std::string::npos);
  definition.replace(definition.find(caption), caption.size(), "Caption = 'Alteração (teste)'");

  const std::filesystem::path module(PKG_VND42406_PATH);
  const std::filesystem::path file =
      module.parent_path() / (module.stem().string() + ".xx_TESTE.def");
  std::ofstream(file) << definition;
  setenv("LC_ALL", "xx_TESTE.UTF-8", 1);
  {
    Module loaded(PKG_VND42406_PATH);  // the language is looked up when the module is mapped
    ASSERT_NE(loaded.handle, nullptr) << dlerror();
    auto* iniProc = loaded.symbol<void()>("IniProc");
    auto* form = loaded.symbol<tk::TForm*>("frmCadAutPromocao");
    const tk::EventOutcome opened = tk::RunUserEvent(iniProc);
    EXPECT_FALSE(opened.raised) << opened.message;
    ASSERT_NE(*form, nullptr);
    EXPECT_EQ((*form)->Caption(), "Alteração (teste)");
    tk::RunUserEvent([&] { tk::userClose(**form); });
  }
  unsetenv("LC_ALL");
  std::filesystem::remove(file);
}

}  // namespace
