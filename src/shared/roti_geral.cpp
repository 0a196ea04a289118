#include "shared/roti_geral.h"

#include "data/register.h"
#include "shared/btn_pesquisa.h"
#include "shared/data_definitions.h"
#include "shared/net_connection.h"
#include "toolkit/register_classes.h"

namespace shared {

const char* RotiGeralDefinition();  // embedded from definitions/TfrmRotiGeral.def

TfrmRotiGeral::TfrmRotiGeral(tk::TComponent* owner) : tk::TForm(owner) {
  Handlers().add("FormCreate", tk::TNotifyEvent([this](tk::TComponent* s) { FormCreate(s); }));
  Handlers().add("FormClose", tk::TCloseEvent([this](tk::TComponent* s, tk::TCloseAction& a) {
                   FormClose(s, a);
                 }));
  Handlers().add("FormDestroy", tk::TNotifyEvent([this](tk::TComponent* s) { FormDestroy(s); }));
}

std::vector<tk::FormDefinition> TfrmRotiGeral::Definitions() const {
  return {{"TfrmRotiGeral.def", RotiGeralDefinition()}};
}

void TfrmRotiGeral::BindComponents() {
  bind("lblCodTela", lblCodTela);
  bind("grbDadosRel", grbDadosRel);
  bind("panMenu", panMenu);
  bind("panBotoes", panBotoes);
  bind("sbtConfirma", sbtConfirma);
  bind("msgPadrao", msgPadrao);
}

void TfrmRotiGeral::FormCreate(tk::TComponent*) {}

void TfrmRotiGeral::FormClose(tk::TComponent*, tk::TCloseAction& action) {
  action = tk::TCloseAction::caFree;
}

void TfrmRotiGeral::FormDestroy(tk::TComponent*) {}

void RegisterSharedClasses(tk::ClassRegistry& registry) {
  tk::RegisterToolkitClasses(registry);
  data::RegisterDataClasses(registry);
  RegisterDataDefinitionClasses(registry);
  registry.add<TBtnPesquisa>("TBtnPesquisa");
  registry.add<TNetConnection>("TNetConnection");
}

}  // namespace shared
