// Creation, activation, closing and destruction of the screen, and where its connection goes.

#include "shared/varnoke.h"
#include "vnd42406/Cli_vnd42406.h"

namespace vnd42406 {

void TfrmCadAutPromocao::FormCreate(tk::TComponent* sender) {
  shared::TfrmRotiGeral::FormCreate(sender);
  boPrimVez = true;
  netTabePreco->SetConnected(true);
  ApplyPrefixRule();
  // The product controls follow the checked mode from the start: with "Todos" checked the range
  // edits are off, so nothing typed there can be taken for a range while all products change.
  ApplyModeRule();
}

void TfrmCadAutPromocao::FormActivate(tk::TComponent*) {
  Refresh();
  if (boPrimVez) {
    // The code first: its change handler empties the name, which is written afterwards.
    medCdFilial->SetText(Varnoke::FiliProc());
    edtNmFilial->SetText(Varnoke::NomeFiliProc());
    medCdFilial->SetEnabled(!Varnoke::ModuFili());
    btnFilial->SetEnabled(medCdFilial->Enabled());
    if (medCdFilial->Enabled()) {
      medCdFilial->SetFocus();
    } else {
      medCdTabePrec->SetFocus();
    }
    boPrimVez = false;
  }
  // Every activation, so a change of the session's mask reaches the next activation.
  medProdIni->SetEditMask(Varnoke::DBPict(Varnoke::ptProduto));
  medProdFim->SetEditMask(Varnoke::DBPict(Varnoke::ptProduto));
  cdsAutItemPrecoCDARVPROD->SetEditMask(Varnoke::DBPict(Varnoke::ptProduto));
  cdsAuxCDARVPROD->SetEditMask(Varnoke::DBPict(Varnoke::ptProduto));
}

void TfrmCadAutPromocao::FormClose(tk::TComponent* sender, tk::TCloseAction& action) {
  shared::TfrmRotiGeral::FormClose(sender, action);
  boStCriado = false;
}

void TfrmCadAutPromocao::FormDestroy(tk::TComponent* sender) {
  shared::TfrmRotiGeral::FormDestroy(sender);
  netTabePreco->SetConnected(false);
}

void TfrmCadAutPromocao::netTabePrecoBeforeConnect(tk::TComponent*) {
  netTabePreco->SetHost(Varnoke::WebURL());
  netTabePreco->SetPort(Varnoke::WebPort());
}

}  // namespace vnd42406
