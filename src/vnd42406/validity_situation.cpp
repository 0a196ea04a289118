// Whether a validity period is in force today: start <= today <= end, by whole days (today
// is taken at midnight). The end is read only when the start is not after today.

#include "rtl/dates.h"
#include "vnd42406/Cli_vnd42406.h"

namespace vnd42406 {

void TfrmCadAutPromocao::cdsTabeVendCalcFields(tk::TComponent*) {
  const rtl::TDateTime start = cdsTabeVendDTINIVGPREC->AsDateTime();
  const char* key = "inativa";
  if (!(rtl::Date() < start)) {
    const rtl::TDateTime end = cdsTabeVendDTFINVGPREC->AsDateTime();
    key = rtl::Date() > end ? "inativa" : "ativa";
  }
  cdsTabeVendSITUACAO->SetAsString(msgPadrao->Msg(key));
}

void TfrmCadAutPromocao::qryTabeVendCalcFields(tk::TComponent*) {
  const rtl::TDateTime start = qryTabeVendDTINIVGPREC->AsDateTime();
  const char* key = "Inativa";
  if (!(rtl::Date() < start)) {
    const rtl::TDateTime end = qryTabeVendDTFINVGPREC->AsDateTime();
    key = rtl::Date() > end ? "Inativa" : "Ativa";
  }
  qryTabeVendSITUACAO->SetAsString(msgPadrao->Msg(key));
}

}  // namespace vnd42406
