// The header: branch, price table and validity start are checked against the server when
// they are left, and a change of one clears everything that depends on it.

#include "rtl/dates.h"
#include "shared/consiste.h"
#include "vnd42406/Cli_vnd42406.h"
#include "vnd42406/remote/call_frame.h"

namespace vnd42406 {

void TfrmCadAutPromocao::ReportKey(const char* key) {
  Consiste::MensErro(msgPadrao->Msg(key), true);
  rtl::Abort();  // MensErro with abort never returns; this keeps the promise of [[noreturn]]
}

void TfrmCadAutPromocao::FocusBack(tk::TWinControl* control) {
  // A validator hands the field back to the user, but a field the user cannot reach (the
  // branch, when the session locks it) cannot take the focus: trying would only add a second,
  // technical error to the message the user already saw.
  if (control->CanFocus()) control->SetFocus();
}

void TfrmCadAutPromocao::Vd_Filial(bool mandatory) {
  const bool empty = Consiste::EmptyString(medCdFilial->Text());
  try {
    if (mandatory && empty) ReportKey("Fili_Inf");
    if (empty) return;
    medCdFilial->SetText(Consiste::Ajusta(medCdFilial->Text(), 4));
    CallFrame(
        *netTabePreco, methods::GetFilial,
        [this] { return std::vector<rtl::Variant>{medCdFilial->Text(), ""}; }, cdsFilial);
    if (cdsFilial->IsEmpty()) ReportKey("Fili_N_Cad");
    edtNmFilial->SetText(cdsFilialNMFILIAL->AsString());
  } catch (...) {
    FocusBack(medCdFilial);
    throw;
  }
}

void TfrmCadAutPromocao::Vd_TabePrec(bool mandatory) {
  const bool empty = Consiste::EmptyString(medCdTabePrec->Text());
  try {
    if (mandatory && empty) ReportKey("TabePrec_Inf");
    if (empty) return;
    medCdTabePrec->SetText(Consiste::Ajusta(medCdTabePrec->Text(), 3));
    CallFrame(
        *netTabePreco, methods::GetTabePrec,
        [this] { return std::vector<rtl::Variant>{medCdFilial->Text()}; }, cdsTabePrec);
    if (!cdsTabePrec->Locate("CDTABEPREC", rtl::Variant(medCdTabePrec->Text())))
      ReportKey("TabePrec_N_Cad");
    medCdTabePrec->SetText(cdsTabePrecCDTABEPREC->AsString());
    edtNmTabePrec->SetText(cdsTabePrecNMTABEPREC->AsString());
  } catch (...) {
    FocusBack(medCdTabePrec);
    throw;
  }
}

void TfrmCadAutPromocao::Vd_DtIniVig(bool mandatory) {
  const bool empty = Consiste::EmptyString(depDtIniVig->Text());
  try {
    if (mandatory && empty) ReportKey("Vig_Inf");
    if (empty) return;
    CallFrame(
        *netTabePreco, methods::getVigencia,
        [this] {
          return std::vector<rtl::Variant>{medCdFilial->Text(), medCdTabePrec->Text(),
                                           rtl::Variant::FromDate(depDtIniVig->GetDate()), "",
                                           rtl::Variant::ByRef(rtl::ShortDateFormat())};
        },
        cdsTabeVend);
    if (cdsTabeVend->IsEmpty()) ReportKey("Vig_N_Cad");
    depDtFinVig->SetDate(cdsTabeVendDTFINVGPREC->AsDateTime());
  } catch (...) {
    FocusBack(depDtIniVig);
    throw;
  }
}

void TfrmCadAutPromocao::medCdFilialChange(tk::TComponent*) {
  edtNmFilial->Clear();
  medCdTabePrec->Clear();
  edtNmTabePrec->Clear();
  depDtIniVig->Clear();
  depDtFinVig->Clear();
}

void TfrmCadAutPromocao::medCdFilialExit(tk::TComponent*) { Vd_Filial(false); }

void TfrmCadAutPromocao::medCdTabePrecChange(tk::TComponent*) {
  edtNmTabePrec->Clear();
  depDtIniVig->Clear();
  depDtFinVig->Clear();
}

void TfrmCadAutPromocao::medCdTabePrecExit(tk::TComponent*) { Vd_TabePrec(false); }

void TfrmCadAutPromocao::depDtIniVigChange(tk::TComponent*) { depDtFinVig->Clear(); }

void TfrmCadAutPromocao::depDtIniVigExit(tk::TComponent*) { Vd_DtIniVig(false); }

}  // namespace vnd42406
