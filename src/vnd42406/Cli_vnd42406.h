#pragma once
// The screen "Alteração Automática" (VND42406): the form class, the procedure that opens the
// screen and the unit's globals. The form is built from its definition (screen_definition/)
// over the family's base form; its behaviour lives in the published handlers, which are split
// by concern over several files: lifecycle, header validation, product selection, lookups,
// confirmation and validity situation.

#include <string>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "data/fields.h"
#include "shared/adoib_query.h"
#include "shared/btn_pesquisa.h"
#include "shared/net_connection.h"
#include "shared/roti_geral.h"
#include "toolkit/check_buttons.h"
#include "toolkit/date_edit.h"
#include "toolkit/edit.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"

namespace vnd42406 {

class TfrmCadAutPromocao : public shared::TfrmRotiGeral {
 public:
  explicit TfrmCadAutPromocao(tk::TComponent* owner = nullptr);
  ~TfrmCadAutPromocao() override;
  const char* ClassName() const override { return "TfrmCadAutPromocao"; }

  std::vector<tk::FormDefinition> Definitions() const override;

  // Published components.
  tk::TGroupBox* grbTabePrec = nullptr;
  tk::TLabel* lblFilial = nullptr;
  tk::TMaskEdit* medCdFilial = nullptr;
  shared::TBtnPesquisa* btnFilial = nullptr;
  tk::TEdit* edtNmFilial = nullptr;
  tk::TLabel* lblTabePrec = nullptr;
  tk::TMaskEdit* medCdTabePrec = nullptr;
  shared::TBtnPesquisa* btnTabePrec = nullptr;
  tk::TEdit* edtNmTabePrec = nullptr;
  tk::TLabel* lblDtIniVig = nullptr;
  tk::TDateEditPlus* depDtIniVig = nullptr;
  tk::TLabel* lblDtFinVig = nullptr;
  tk::TDateEditPlus* depDtFinVig = nullptr;
  shared::TBtnPesquisa* btnDtIniVig = nullptr;
  tk::TGroupBox* grbProduto = nullptr;
  tk::TRadioButton* rbtTodos = nullptr;
  tk::TRadioButton* rbtLista = nullptr;
  shared::TBtnPesquisa* btnListaProd = nullptr;
  tk::TRadioButton* rbtIntervalo = nullptr;
  tk::TMaskEdit* medProdIni = nullptr;
  shared::TBtnPesquisa* btnProdutoIni = nullptr;
  tk::TEdit* edtNomeIni = nullptr;
  tk::TMaskEdit* medProdFim = nullptr;
  shared::TBtnPesquisa* btnProdutoFim = nullptr;
  tk::TEdit* edtNomeFim = nullptr;
  tk::TRadioGroup* rdgPromocao = nullptr;
  tk::TGroupBox* grbPrefixo = nullptr;
  tk::TCheckBox* chbPrefixo = nullptr;
  tk::TRadioButton* rbtAddPrefixo = nullptr;
  tk::TRadioButton* rbtDelPrefixo = nullptr;
  tk::TLabel* lblPrefixo = nullptr;
  tk::TEdit* edtPrefixo = nullptr;

  data::TClientDataSet* cdsAutItemPreco = nullptr;
  data::TStringField* cdsAutItemPrecoIDMARCADO = nullptr;
  data::TStringField* cdsAutItemPrecoCDPRODUTO = nullptr;
  data::TStringField* cdsAutItemPrecoCDARVPROD = nullptr;
  data::TStringField* cdsAutItemPrecoNMPRODUTO = nullptr;
  data::TClientDataSet* cdsProdValid = nullptr;
  data::TStringField* cdsProdValidCDPRODUTO = nullptr;
  data::TStringField* cdsProdValidCDARVPROD = nullptr;
  data::TStringField* cdsProdValidNMPRODUTO = nullptr;
  data::TClientDataSet* cdsAux = nullptr;
  data::TStringField* cdsAuxCDPRODUTO = nullptr;
  data::TStringField* cdsAuxCDARVPROD = nullptr;
  data::TStringField* cdsAuxNMPRODUTO = nullptr;
  data::TClientDataSet* cdsProduto = nullptr;
  data::TStringField* cdsProdutoIDMARCADO = nullptr;
  data::TStringField* cdsProdutoCDPRODUTO = nullptr;
  data::TStringField* cdsProdutoCDARVPROD = nullptr;
  data::TStringField* cdsProdutoNMPRODUTO = nullptr;
  data::TClientDataSet* cdsFilial = nullptr;
  data::TStringField* cdsFilialCDFILIAL = nullptr;
  data::TStringField* cdsFilialNMFILIAL = nullptr;
  data::TStringField* cdsFilialCDSEGMER = nullptr;
  data::TStringField* cdsFilialSEGMENTO = nullptr;
  data::TStringField* cdsFilialIDPRECDIFCOM = nullptr;
  data::TStringField* cdsFilialCDGRPRODPDV = nullptr;
  data::TStringField* cdsFilialGRUPOPROD = nullptr;
  data::TStringField* cdsFilialIDUTMODPRODFIL = nullptr;
  data::TClientDataSet* cdsTabePrec = nullptr;
  data::TStringField* cdsTabePrecCDFILIAL = nullptr;
  data::TStringField* cdsTabePrecCDTABEPREC = nullptr;
  data::TStringField* cdsTabePrecNMTABEPREC = nullptr;
  data::TClientDataSet* cdsTabeVend = nullptr;
  data::TStringField* cdsTabeVendDTINIVGPREC = nullptr;
  data::TStringField* cdsTabeVendDTFINVGPREC = nullptr;
  data::TStringField* cdsTabeVendSITUACAO = nullptr;
  data::TDataSource* dtsAutItemPreco = nullptr;
  data::TDataSource* dtsProduto = nullptr;
  data::TDataSource* dtsProduto1 = nullptr;
  data::TDataSource* dtsFilial = nullptr;
  data::TDataSource* dtsTabePrec = nullptr;
  data::TDataSource* dtsTabeVend = nullptr;
  shared::TADOIBQuery* qryTabeVend = nullptr;
  shared::TADOIBDateTimeField* qryTabeVendDTINIVGPREC = nullptr;
  shared::TADOIBDateTimeField* qryTabeVendDTFINVGPREC = nullptr;
  shared::TADOIBStringField* qryTabeVendSITUACAO = nullptr;
  shared::TNetConnection* netTabePreco = nullptr;

  // Published handlers (33).
  void FormCreate(tk::TComponent* sender);
  void FormActivate(tk::TComponent* sender);
  void FormClose(tk::TComponent* sender, tk::TCloseAction& action);
  void FormDestroy(tk::TComponent* sender);
  void netTabePrecoBeforeConnect(tk::TComponent* sender);
  void medCdFilialChange(tk::TComponent* sender);
  void medCdFilialExit(tk::TComponent* sender);
  void medCdTabePrecChange(tk::TComponent* sender);
  void medCdTabePrecExit(tk::TComponent* sender);
  void depDtIniVigChange(tk::TComponent* sender);
  void depDtIniVigExit(tk::TComponent* sender);
  void btnFilialBeforePesq(tk::TComponent* sender, bool& cancel);
  void btnFilialAfterPesq(tk::TComponent* sender);
  void btnTabePrecBeforePesq(tk::TComponent* sender, bool& cancel);
  void btnTabePrecAfterPesq(tk::TComponent* sender);
  void btnDtIniVigBeforePesq(tk::TComponent* sender, bool& cancel);
  void btnDtIniVigAfterPesq(tk::TComponent* sender);
  void rbtTodosClick(tk::TComponent* sender);
  void rbtListaClick(tk::TComponent* sender);
  void rbtIntervaloClick(tk::TComponent* sender);
  void btnListaProdClick(tk::TComponent* sender);
  void btnProdutoIniBeforePesq(tk::TComponent* sender, bool& cancel);
  void btnProdutoIniAfterPesq(tk::TComponent* sender);
  void btnProdutoFimBeforePesq(tk::TComponent* sender, bool& cancel);
  void btnProdutoFimAfterPesq(tk::TComponent* sender);
  void medProdIniChange(tk::TComponent* sender);
  void medProdIniExit(tk::TComponent* sender);
  void medProdFimChange(tk::TComponent* sender);
  void medProdFimExit(tk::TComponent* sender);
  void sbtConfirmaClick(tk::TComponent* sender);
  void chbPrefixoClick(tk::TComponent* sender);
  void cdsTabeVendCalcFields(tk::TComponent* dataSet);
  void qryTabeVendCalcFields(tk::TComponent* dataSet);

  // The product selection list (also where the product validators leave the text they check).
  const std::string& ListaProd() const { return stListaProd; }

 protected:
  void BindComponents() override;

 private:
  void Vd_Filial(bool mandatory);
  void Vd_TabePrec(bool mandatory);
  void Vd_DtIniVig(bool mandatory);
  void Vd_ProdIni(bool mandatory);
  void Vd_ProdFin(bool mandatory);
  void Vd_Lista();

  // Shared steps of the handlers above.
  [[noreturn]] void ReportKey(const char* key);
  void FocusBack(tk::TWinControl* control);
  void ValidateProduct(bool mandatory, tk::TMaskEdit* edit, tk::TEdit* name, const char* emptyKey);
  void ApplyModeRule();
  void ShowListCount();
  void ApplyPrefixRule();
  struct Selection;
  Selection SelectionByMode();
  void ExpandListIntoProducts();

  std::string stListaProd;
};

// Opens the screen: creates the one instance when there is none, shows it and restores it
// to the normal window state.
void CriaCadAutPromocao();

}  // namespace vnd42406

// The unit's globals, exported under these names for the host and other modules.
extern "C" {
extern vnd42406::TfrmCadAutPromocao* frmCadAutPromocao;
extern bool boStCriado;
extern bool boPrimVez;
extern std::string stErro;
}
