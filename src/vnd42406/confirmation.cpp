// The screen's one action: validate everything, ask, optionally add or clear the name prefix,
// put the selected products into the promotion or take them out, report and close.

#include "rtl/strings.h"
#include "shared/consiste.h"
#include "toolkit/ports.h"
#include "vnd42406/Cli_vnd42406.h"
#include "vnd42406/product_list.h"
#include "vnd42406/remote/call_frame.h"

namespace vnd42406 {

// The selection arguments of one change call; exactly one way of naming the products is
// filled in, by the checked mode.
struct TfrmCadAutPromocao::Selection {
  std::string todos;
  std::string lista;
  std::string prodIni;
  std::string prodFim;
};

void TfrmCadAutPromocao::ApplyPrefixRule() {
  rbtAddPrefixo->SetEnabled(chbPrefixo->Checked());
  rbtDelPrefixo->SetEnabled(chbPrefixo->Checked());
  lblPrefixo->SetEnabled(chbPrefixo->Checked());
  edtPrefixo->SetEnabled(chbPrefixo->Checked());
}

void TfrmCadAutPromocao::chbPrefixoClick(tk::TComponent*) { ApplyPrefixRule(); }

TfrmCadAutPromocao::Selection TfrmCadAutPromocao::SelectionByMode() {
  Selection s;
  if (rbtTodos->Checked()) {
    s.todos = "T";
  } else if (rbtLista->Checked()) {
    s.lista = stListaProd;
  } else if (rbtIntervalo->Checked()) {
    // Ordinal comparison of the texts as the edits give them, mask characters included.
    if (rtl::CompareStr(medProdIni->Text(), medProdFim->Text()) > 0) ReportKey("ProdIniDev");
    s.prodIni = medProdIni->Text();
    s.prodFim = medProdFim->Text();
  }
  return s;
}

void TfrmCadAutPromocao::ExpandListIntoProducts() {
  if (!cdsProduto->Active()) cdsProduto->CreateDataSet();
  stListaProd = ExpandProductList(stListaProd, [this](std::string_view code) {
    cdsProduto->Insert();
    cdsProdutoCDPRODUTO->SetAsString(code);
    cdsProduto->Post();
  });
}

void TfrmCadAutPromocao::sbtConfirmaClick(tk::TComponent*) {
  Vd_Filial(true);
  Vd_TabePrec(true);
  Vd_DtIniVig(true);
  if (rbtLista->Checked()) {
    Vd_Lista();
  } else if (rbtIntervalo->Checked()) {
    Vd_ProdIni(true);
    Vd_ProdFin(true);
  }

  if (tk::MessageDlg(msgPadrao->Msg("Confimar"), tk::mtConfirmation, {tk::mbYes, tk::mbNo}, 0) !=
      tk::mrYes)
    return;

  // The by-reference arguments of the change calls are these locals, set before each call.
  std::string prefixo, todos, lista, prodIni, prodFim, promocao;
  auto takeSelection = [&] {
    Selection s = SelectionByMode();
    todos = s.todos;
    lista = s.lista;
    prodIni = s.prodIni;
    prodFim = s.prodFim;
  };
  auto prefixCall = [&](const RemoteMethod& method) {
    // A plain comparison: a prefix of blanks is a prefix.
    if (edtPrefixo->Text().empty()) ReportKey("Prefixo_Inf");
    takeSelection();
    prefixo = edtPrefixo->Text();
    CallFrame(
        *netTabePreco, method,
        [&] {
          return std::vector<rtl::Variant>{
              rtl::Variant::ByRef(prefixo), rtl::Variant::ByRef(prodIni),
              rtl::Variant::ByRef(prodFim), rtl::Variant::ByRef(lista),
              rtl::Variant::ByRef(todos)};
        },
        nullptr);
  };

  if (chbPrefixo->Checked()) {
    if (rbtAddPrefixo->Checked()) prefixCall(methods::SetAddPrefixo);
    if (rbtDelPrefixo->Checked()) prefixCall(methods::SetDelPrefixo);
  }

  takeSelection();
  if (rbtLista->Checked() && !Consiste::EmptyString(stListaProd)) ExpandListIntoProducts();
  promocao = rdgPromocao->ItemIndex() == 0 ? "S" : "N";
  CallFrame(
      *netTabePreco, methods::SetUpdItemPrecoAlt,
      [&] {
        return std::vector<rtl::Variant>{rtl::Variant::ByRef(promocao),
                                         rtl::Variant::ByRef(prodIni),
                                         rtl::Variant::ByRef(prodFim),
                                         rtl::Variant::ByRef(lista),
                                         rtl::Variant::ByRef(todos),
                                         cdsProduto->Data(),
                                         rtl::Variant::FromBool(rbtLista->Checked()),
                                         medCdFilial->Text(),
                                         medCdTabePrec->Text(),
                                         rtl::Variant::FromDate(depDtIniVig->GetDate())};
      },
      nullptr);

  tk::ShowMessage(msgPadrao->Msg("AlteracaoOk"));
  Close();
}

}  // namespace vnd42406
