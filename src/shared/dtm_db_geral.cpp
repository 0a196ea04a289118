#include "shared/dtm_db_geral.h"

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "rtl/strings.h"

namespace shared {

namespace {
TdtmDBGeral* liveModule = nullptr;
}  // namespace

void TDbConnection::Open() {
  throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::NoLocalDatabase, {Name()}));
}

void TDbConnection::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Connected") {
    if (value.asBoolean(name)) Open();
  } else if (name == "LoginPrompt") {
    value.asBoolean(name);
  } else if (name == "Left" || name == "Top") {
    value.asInteger(name);  // where the designer placed the icon; nothing at run time
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

TdtmDBGeral::TdtmDBGeral(tk::TComponent* owner) : tk::TComponent(owner) {
  SetName("dtmDBGeral");
  adcGeral = Create<TDbConnection>();
  adcGeral->SetName("adcGeral");
  dtbGeral = Create<TDbConnection>();
  dtbGeral->SetName("dtbGeral");
  ibtGeral = Create<TDbConnection>();
  ibtGeral->SetName("ibtGeral");
  if (!liveModule) liveModule = this;
}

TdtmDBGeral::~TdtmDBGeral() {
  if (liveModule == this) liveModule = nullptr;
}

TdtmDBGeral* dtmDBGeral() {
  return liveModule;
}

tk::TComponent* ResolveComponentPath(const tk::TComponent& from, std::string_view path) {
  const tk::TComponent* owner = from.Owner();
  const size_t dot = path.find('.');
  if (dot == std::string_view::npos) return owner ? owner->FindComponent(path) : nullptr;
  const std::string_view moduleName = path.substr(0, dot);
  const std::string_view componentName = path.substr(dot + 1);
  const tk::TComponent* module = owner ? owner->FindComponent(moduleName) : nullptr;
  if (!module && liveModule && rtl::SameText(liveModule->Name(), moduleName)) module = liveModule;
  return module ? module->FindComponent(componentName) : nullptr;
}

}  // namespace shared
