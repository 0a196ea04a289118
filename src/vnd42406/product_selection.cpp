// The product group: the three selection modes, the list picked from the price table's items,
// and the first and last product of a range with their searches and validators.

#include "shared/consiste.h"
#include "shared/pesqlista.h"
#include "shared/tabvalid.h"
#include "vnd42406/Cli_vnd42406.h"
#include "vnd42406/remote/call_frame.h"

namespace vnd42406 {

void TfrmCadAutPromocao::ApplyModeRule() {
  btnListaProd->SetEnabled(rbtLista->Checked());
  btnProdutoIni->SetEnabled(rbtIntervalo->Checked());
  btnProdutoFim->SetEnabled(rbtIntervalo->Checked());
  medProdIni->SetEnabled(rbtIntervalo->Checked());
  medProdFim->SetEnabled(rbtIntervalo->Checked());
}

// The list button's hint says how many products the list holds, so that the user sees what a
// confirmation would send once the list is closed; a product text a validator left in the list
// counts as none.
void TfrmCadAutPromocao::ShowListCount() {
  const int width = cdsAutItemPrecoCDPRODUTO->Size();
  btnListaProd->SetMarkedCount(
      static_cast<int>(Pesqlista::SelectionListKeys(stListaProd, width).size()));
}

void TfrmCadAutPromocao::rbtTodosClick(tk::TComponent*) {
  ApplyModeRule();
  stListaProd.clear();
  ShowListCount();
}

void TfrmCadAutPromocao::rbtListaClick(tk::TComponent*) {
  ApplyModeRule();
  ShowListCount();
}

void TfrmCadAutPromocao::rbtIntervaloClick(tk::TComponent*) {
  ApplyModeRule();
}

void TfrmCadAutPromocao::btnListaProdClick(tk::TComponent*) {
  Vd_Filial(true);
  Vd_TabePrec(true);
  Vd_DtIniVig(true);
  // The price table's items are fetched once for the life of the screen.
  if (!cdsAutItemPreco->Active()) {
    CallFrame(
        *netTabePreco, methods::GetAutItemPreco,
        [this] {
          return std::vector<rtl::Variant>{medCdFilial->Text(), medCdTabePrec->Text(),
                                           rtl::Variant::FromDate(depDtIniVig->GetDate())};
        },
        cdsAutItemPreco);
  }
  Pesqlista::PesquisaLista(dtsAutItemPreco, "CDPRODUTO", msgPadrao->Msg("Produto"), false,
                           stListaProd);
  ShowListCount();
}

void TfrmCadAutPromocao::btnProdutoIniBeforePesq(tk::TComponent*, bool&) {
  CallFrame(
      *netTabePreco, methods::GetAutItemPreco,
      [this] {
        return std::vector<rtl::Variant>{medCdFilial->Text(), medCdTabePrec->Text(),
                                         rtl::Variant::FromDate(depDtIniVig->GetDate())};
      },
      cdsAux);
}

void TfrmCadAutPromocao::btnProdutoFimBeforePesq(tk::TComponent* sender, bool& cancel) {
  btnProdutoIniBeforePesq(sender, cancel);
}

void TfrmCadAutPromocao::btnProdutoIniAfterPesq(tk::TComponent*) {
  medProdIni->SetText(cdsAuxCDARVPROD->AsString());
  edtNomeIni->SetText(cdsAuxNMPRODUTO->AsString());
}

void TfrmCadAutPromocao::btnProdutoFimAfterPesq(tk::TComponent*) {
  medProdFim->SetText(cdsAuxCDARVPROD->AsString());
  edtNomeFim->SetText(cdsAuxNMPRODUTO->AsString());
}

void TfrmCadAutPromocao::medProdIniChange(tk::TComponent*) {
  edtNomeIni->Clear();
}

void TfrmCadAutPromocao::medProdFimChange(tk::TComponent*) {
  edtNomeFim->Clear();
}

void TfrmCadAutPromocao::medProdIniExit(tk::TComponent*) {
  Vd_ProdIni(false);
}

void TfrmCadAutPromocao::medProdFimExit(tk::TComponent*) {
  Vd_ProdFin(false);
}

void TfrmCadAutPromocao::Vd_ProdIni(bool mandatory) {
  ValidateProduct(mandatory, medProdIni, edtNomeIni, "ProdIni_inf");
}

void TfrmCadAutPromocao::Vd_ProdFin(bool mandatory) {
  ValidateProduct(mandatory, medProdFim, edtNomeFim, "ProdFim_inf");
}

void TfrmCadAutPromocao::ValidateProduct(bool mandatory, tk::TMaskEdit* edit, tk::TEdit* name,
                                         const char* emptyKey) {
  // The validated text goes where the product selection list lives: list mode then sends
  // it as its list, as the family's screens have always done.
  stListaProd = edit->Text();
  const bool empty = Consiste::EmptyString(edit->Text());
  try {
    if (mandatory && empty) ReportKey(emptyKey);
    if (empty) return;
    Tabvalid::ValidEx(dtsAutItemPreco, Varnoke::ptProduto, stListaProd, 0, "", true);
    CallFrame(
        *netTabePreco, methods::GetProdValid,
        [this, edit] {
          return std::vector<rtl::Variant>{medCdFilial->Text(), medCdTabePrec->Text(),
                                           rtl::Variant::FromDate(depDtIniVig->GetDate()),
                                           edit->Text()};
        },
        cdsProdValid);
    if (cdsProdValid->IsEmpty()) ReportKey("Prod_N_Cad");
    name->SetText(cdsProdValidNMPRODUTO->AsString());
  } catch (...) {
    FocusBack(edit);
    throw;
  }
}

void TfrmCadAutPromocao::Vd_Lista() {
  try {
    if (rbtLista->Checked() && Consiste::EmptyString(stListaProd)) ReportKey("Lista_Vazia");
  } catch (...) {
    FocusBack(rbtLista);
    throw;
  }
}

}  // namespace vnd42406
