// The search buttons of the header: each fetches the rows to offer, and a pick is copied into
// the header fields -- the code before its name, the start before the end, since writing the
// code or the start clears what depends on it.

#include "rtl/dates.h"
#include "vnd42406/Cli_vnd42406.h"
#include "vnd42406/remote/call_frame.h"

namespace vnd42406 {

void TfrmCadAutPromocao::btnFilialBeforePesq(tk::TComponent*, bool&) {
  CallFrame(
      *netTabePreco, methods::GetFilial, [] { return std::vector<rtl::Variant>{"", "T"}; },
      cdsFilial);
}

void TfrmCadAutPromocao::btnFilialAfterPesq(tk::TComponent*) {
  medCdFilial->SetText(cdsFilialCDFILIAL->AsString());
  edtNmFilial->SetText(cdsFilialNMFILIAL->AsString());
}

void TfrmCadAutPromocao::btnTabePrecBeforePesq(tk::TComponent*, bool&) {
  Vd_Filial(true);
  CallFrame(
      *netTabePreco, methods::GetTabePrec,
      [this] { return std::vector<rtl::Variant>{medCdFilial->Text()}; }, cdsTabePrec);
}

void TfrmCadAutPromocao::btnTabePrecAfterPesq(tk::TComponent*) {
  medCdTabePrec->SetText(cdsTabePrecCDTABEPREC->AsString());
  edtNmTabePrec->SetText(cdsTabePrecNMTABEPREC->AsString());
}

void TfrmCadAutPromocao::btnDtIniVigBeforePesq(tk::TComponent*, bool&) {
  Vd_Filial(true);
  Vd_TabePrec(true);
  // All periods: the integer 0 stands where the start date goes, with the flag "T".
  CallFrame(
      *netTabePreco, methods::getVigencia,
      [this] {
        return std::vector<rtl::Variant>{medCdFilial->Text(), medCdTabePrec->Text(),
                                         rtl::Variant(0), "T",
                                         rtl::Variant::ByRef(rtl::ShortDateFormat())};
      },
      cdsTabeVend);
}

void TfrmCadAutPromocao::btnDtIniVigAfterPesq(tk::TComponent*) {
  depDtIniVig->SetDate(cdsTabeVendDTINIVGPREC->AsDateTime());
  depDtFinVig->SetDate(cdsTabeVendDTFINVGPREC->AsDateTime());
}

}  // namespace vnd42406
