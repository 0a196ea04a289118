#include "vnd42406/Cli_vnd42406.h"

#include "vnd42406/screen_definition/screen_definition.h"

namespace vnd42406 {
namespace {

// Adapters from member functions to the handler table's event types.
using Form = TfrmCadAutPromocao;

tk::EventHandler handler(Form* form, void (Form::*method)(tk::TComponent*)) {
  return tk::TNotifyEvent([form, method](tk::TComponent* sender) { (form->*method)(sender); });
}

tk::EventHandler handler(Form* form, void (Form::*method)(tk::TComponent*, tk::TCloseAction&)) {
  return tk::TCloseEvent([form, method](tk::TComponent* sender, tk::TCloseAction& action) {
    (form->*method)(sender, action);
  });
}

tk::EventHandler handler(Form* form, void (Form::*method)(tk::TComponent*, bool&)) {
  return tk::TBeforeSearchEvent(
      [form, method](tk::TComponent* sender, bool& cancel) { (form->*method)(sender, cancel); });
}

}  // namespace

TfrmCadAutPromocao::TfrmCadAutPromocao(tk::TComponent* owner) : shared::TfrmRotiGeral(owner) {
  // The published handlers, by name; those with the base form's names replace the base's.
  auto publish = [this](const char* name, auto method) {
    Handlers().add(name, handler(this, method));
  };
  publish("FormCreate", &TfrmCadAutPromocao::FormCreate);
  publish("FormActivate", &TfrmCadAutPromocao::FormActivate);
  publish("FormClose", &TfrmCadAutPromocao::FormClose);
  publish("FormDestroy", &TfrmCadAutPromocao::FormDestroy);
  publish("netTabePrecoBeforeConnect", &TfrmCadAutPromocao::netTabePrecoBeforeConnect);
  publish("medCdFilialChange", &TfrmCadAutPromocao::medCdFilialChange);
  publish("medCdFilialExit", &TfrmCadAutPromocao::medCdFilialExit);
  publish("medCdTabePrecChange", &TfrmCadAutPromocao::medCdTabePrecChange);
  publish("medCdTabePrecExit", &TfrmCadAutPromocao::medCdTabePrecExit);
  publish("depDtIniVigChange", &TfrmCadAutPromocao::depDtIniVigChange);
  publish("depDtIniVigExit", &TfrmCadAutPromocao::depDtIniVigExit);
  publish("btnFilialBeforePesq", &TfrmCadAutPromocao::btnFilialBeforePesq);
  publish("btnFilialAfterPesq", &TfrmCadAutPromocao::btnFilialAfterPesq);
  publish("btnTabePrecBeforePesq", &TfrmCadAutPromocao::btnTabePrecBeforePesq);
  publish("btnTabePrecAfterPesq", &TfrmCadAutPromocao::btnTabePrecAfterPesq);
  publish("btnDtIniVigBeforePesq", &TfrmCadAutPromocao::btnDtIniVigBeforePesq);
  publish("btnDtIniVigAfterPesq", &TfrmCadAutPromocao::btnDtIniVigAfterPesq);
  publish("rbtTodosClick", &TfrmCadAutPromocao::rbtTodosClick);
  publish("rbtListaClick", &TfrmCadAutPromocao::rbtListaClick);
  publish("rbtIntervaloClick", &TfrmCadAutPromocao::rbtIntervaloClick);
  publish("btnListaProdClick", &TfrmCadAutPromocao::btnListaProdClick);
  publish("btnProdutoIniBeforePesq", &TfrmCadAutPromocao::btnProdutoIniBeforePesq);
  publish("btnProdutoIniAfterPesq", &TfrmCadAutPromocao::btnProdutoIniAfterPesq);
  publish("btnProdutoFimBeforePesq", &TfrmCadAutPromocao::btnProdutoFimBeforePesq);
  publish("btnProdutoFimAfterPesq", &TfrmCadAutPromocao::btnProdutoFimAfterPesq);
  publish("medProdIniChange", &TfrmCadAutPromocao::medProdIniChange);
  publish("medProdIniExit", &TfrmCadAutPromocao::medProdIniExit);
  publish("medProdFimChange", &TfrmCadAutPromocao::medProdFimChange);
  publish("medProdFimExit", &TfrmCadAutPromocao::medProdFimExit);
  publish("sbtConfirmaClick", &TfrmCadAutPromocao::sbtConfirmaClick);
  publish("chbPrefixoClick", &TfrmCadAutPromocao::chbPrefixoClick);
  publish("cdsTabeVendCalcFields", &TfrmCadAutPromocao::cdsTabeVendCalcFields);
  publish("qryTabeVendCalcFields", &TfrmCadAutPromocao::qryTabeVendCalcFields);
}

TfrmCadAutPromocao::~TfrmCadAutPromocao() {
  // A freed instance must never be reused by the next opening, however it went (closed, or
  // freed with the application at shutdown).
  if (frmCadAutPromocao == this) {
    frmCadAutPromocao = nullptr;
    boStCriado = false;
  }
}

std::vector<tk::FormDefinition> TfrmCadAutPromocao::Definitions() const {
  std::vector<tk::FormDefinition> definitions = shared::TfrmRotiGeral::Definitions();
  definitions.push_back(ScreenDefinition());
  return definitions;
}

void TfrmCadAutPromocao::BindComponents() {
  shared::TfrmRotiGeral::BindComponents();
  bind("grbTabePrec", grbTabePrec);
  bind("lblFilial", lblFilial);
  bind("medCdFilial", medCdFilial);
  bind("btnFilial", btnFilial);
  bind("edtNmFilial", edtNmFilial);
  bind("lblTabePrec", lblTabePrec);
  bind("medCdTabePrec", medCdTabePrec);
  bind("btnTabePrec", btnTabePrec);
  bind("edtNmTabePrec", edtNmTabePrec);
  bind("lblDtIniVig", lblDtIniVig);
  bind("depDtIniVig", depDtIniVig);
  bind("lblDtFinVig", lblDtFinVig);
  bind("depDtFinVig", depDtFinVig);
  bind("btnDtIniVig", btnDtIniVig);
  bind("grbProduto", grbProduto);
  bind("rbtTodos", rbtTodos);
  bind("rbtLista", rbtLista);
  bind("btnListaProd", btnListaProd);
  bind("rbtIntervalo", rbtIntervalo);
  bind("medProdIni", medProdIni);
  bind("btnProdutoIni", btnProdutoIni);
  bind("edtNomeIni", edtNomeIni);
  bind("medProdFim", medProdFim);
  bind("btnProdutoFim", btnProdutoFim);
  bind("edtNomeFim", edtNomeFim);
  bind("rdgPromocao", rdgPromocao);
  bind("grbPrefixo", grbPrefixo);
  bind("chbPrefixo", chbPrefixo);
  bind("rbtAddPrefixo", rbtAddPrefixo);
  bind("rbtDelPrefixo", rbtDelPrefixo);
  bind("lblPrefixo", lblPrefixo);
  bind("edtPrefixo", edtPrefixo);
  bind("cdsAutItemPreco", cdsAutItemPreco);
  bind("cdsAutItemPrecoIDMARCADO", cdsAutItemPrecoIDMARCADO);
  bind("cdsAutItemPrecoCDPRODUTO", cdsAutItemPrecoCDPRODUTO);
  bind("cdsAutItemPrecoCDARVPROD", cdsAutItemPrecoCDARVPROD);
  bind("cdsAutItemPrecoNMPRODUTO", cdsAutItemPrecoNMPRODUTO);
  bind("cdsProdValid", cdsProdValid);
  bind("cdsProdValidCDPRODUTO", cdsProdValidCDPRODUTO);
  bind("cdsProdValidCDARVPROD", cdsProdValidCDARVPROD);
  bind("cdsProdValidNMPRODUTO", cdsProdValidNMPRODUTO);
  bind("cdsAux", cdsAux);
  bind("cdsAuxCDPRODUTO", cdsAuxCDPRODUTO);
  bind("cdsAuxCDARVPROD", cdsAuxCDARVPROD);
  bind("cdsAuxNMPRODUTO", cdsAuxNMPRODUTO);
  bind("cdsProduto", cdsProduto);
  bind("cdsProdutoIDMARCADO", cdsProdutoIDMARCADO);
  bind("cdsProdutoCDPRODUTO", cdsProdutoCDPRODUTO);
  bind("cdsProdutoCDARVPROD", cdsProdutoCDARVPROD);
  bind("cdsProdutoNMPRODUTO", cdsProdutoNMPRODUTO);
  bind("cdsFilial", cdsFilial);
  bind("cdsFilialCDFILIAL", cdsFilialCDFILIAL);
  bind("cdsFilialNMFILIAL", cdsFilialNMFILIAL);
  bind("cdsFilialCDSEGMER", cdsFilialCDSEGMER);
  bind("cdsFilialSEGMENTO", cdsFilialSEGMENTO);
  bind("cdsFilialIDPRECDIFCOM", cdsFilialIDPRECDIFCOM);
  bind("cdsFilialCDGRPRODPDV", cdsFilialCDGRPRODPDV);
  bind("cdsFilialGRUPOPROD", cdsFilialGRUPOPROD);
  bind("cdsFilialIDUTMODPRODFIL", cdsFilialIDUTMODPRODFIL);
  bind("cdsTabePrec", cdsTabePrec);
  bind("cdsTabePrecCDFILIAL", cdsTabePrecCDFILIAL);
  bind("cdsTabePrecCDTABEPREC", cdsTabePrecCDTABEPREC);
  bind("cdsTabePrecNMTABEPREC", cdsTabePrecNMTABEPREC);
  bind("cdsTabeVend", cdsTabeVend);
  bind("cdsTabeVendDTINIVGPREC", cdsTabeVendDTINIVGPREC);
  bind("cdsTabeVendDTFINVGPREC", cdsTabeVendDTFINVGPREC);
  bind("cdsTabeVendSITUACAO", cdsTabeVendSITUACAO);
  bind("dtsAutItemPreco", dtsAutItemPreco);
  bind("dtsProduto", dtsProduto);
  bind("dtsProduto1", dtsProduto1);
  bind("dtsFilial", dtsFilial);
  bind("dtsTabePrec", dtsTabePrec);
  bind("dtsTabeVend", dtsTabeVend);
  bind("qryTabeVend", qryTabeVend);
  bind("qryTabeVendDTINIVGPREC", qryTabeVendDTINIVGPREC);
  bind("qryTabeVendDTFINVGPREC", qryTabeVendDTFINVGPREC);
  bind("qryTabeVendSITUACAO", qryTabeVendSITUACAO);
  bind("netTabePreco", netTabePreco);
}

}  // namespace vnd42406
