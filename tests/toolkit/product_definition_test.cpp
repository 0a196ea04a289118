// The product's own definitions, read with the toolkit's controls. The classes other layers
// provide (data sets, fields, the message catalogue, the connection) are stood in for by a
// component that takes any property, so every control property the screen uses must be
// understood by the toolkit itself.

#include <fstream>
#include <sstream>

#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/date_edit.h"
#include "toolkit/definition_reader.h"
#include "toolkit/edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"
#include "toolkit/search_button.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

// Stands in for a component of another layer: takes every property, event and child.
class StandIn : public TComponent {
 public:
  StandIn(TComponent* owner, std::string className)
      : TComponent(owner), className_(std::move(className)) {}
  const char* ClassName() const override { return className_.c_str(); }
  void SetProperty(const std::string&, const PropValue&) override {}
  void SetEvent(const std::string&, const EventHandler&) override {}
  void InsertDefinedChild(TComponent*) override {}

 private:
  std::string className_;
};

// The search button of the shared library adds a data source to the toolkit's.
class SearchButtonWithSource : public TSearchButtonBase {
 public:
  using TSearchButtonBase::TSearchButtonBase;
  const char* ClassName() const override { return "TBtnPesquisa"; }
  void SetProperty(const std::string& name, const PropValue& value) override {
    if (name == "DataSource") return;
    TSearchButtonBase::SetProperty(name, value);
  }
};

std::string readSource(const std::string& path) {
  std::ifstream in(std::string(VND_SOURCE_DIR) + path);
  if (!in) return {};
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ProductForm : public TForm {
 public:
  ProductForm(TComponent* owner, std::vector<FormDefinition> defs)
      : TForm(owner), defs_(std::move(defs)) {
    // Every handler the definitions name, with the signature its event needs.
    for (const FormDefinition& d : defs_) publish(ParseDefinition(d.text, d.source));
  }
  std::vector<FormDefinition> Definitions() const override { return defs_; }
  std::vector<std::string> called;

 private:
  void publish(const DefObject& object) {
    for (const DefProperty& p : object.properties) {
      if (!DefinitionReader::IsEventName(p.name)) continue;
      const std::string handler = p.value.text;
      if (p.name == "OnClose") {
        Handlers().add(handler, TCloseEvent([](TComponent*, TCloseAction&) {}));
      } else if (p.name == "OnBeforePesq") {
        Handlers().add(handler, TBeforeSearchEvent([](TComponent*, bool&) {}));
      } else {
        Handlers().add(handler,
                       TNotifyEvent([this, handler](TComponent*) { called.push_back(handler); }));
      }
    }
    for (const DefObject& child : object.children) publish(child);
  }

  std::vector<FormDefinition> defs_;
};

template <class T>
T& find(TForm& form, const char* name) {
  auto* c = dynamic_cast<T*>(form.FindComponent(name));
  if (c == nullptr) throw std::runtime_error(std::string("missing ") + name);
  return *c;
}

TEST(ProductDefinition, ScreenBuildsInItsInitialState) {
  const std::string base = readSource("/src/shared/definitions/TfrmRotiGeral.def");
  const std::string screen = readSource("/src/vnd42406/screen_definition/TfrmCadAutPromocao.def");
  ASSERT_FALSE(base.empty() || screen.empty()) << "the product definitions cannot be read";

  TApplication app;
  for (const char* cls :
       {"TMessages", "TClientDataSet", "TStringField", "TDataSource", "TADOIBQuery",
        "TADOIBDateTimeField", "TADOIBStringField", "TNetConnection"})
    app.Classes().add(cls, [cls](TComponent* owner) -> std::unique_ptr<TComponent> {
      return std::make_unique<StandIn>(owner, cls);
    });
  app.Classes().add<SearchButtonWithSource>("TBtnPesquisa");
  auto* form = app.Create<ProductForm>(
      std::vector<FormDefinition>{{"TfrmRotiGeral.def", base}, {"TfrmCadAutPromocao.def", screen}});
  ASSERT_NO_THROW(form->CreateFromDefinitions(app.Classes()));

  EXPECT_EQ(form->Name(), "frmCadAutPromocao");
  EXPECT_EQ(form->Caption(), "Alteração Automática");
  EXPECT_EQ(form->ClientWidth(), 490);
  EXPECT_EQ(form->FormStyle(), TFormStyle::fsMDIChild);
  EXPECT_EQ(find<TLabel>(*form, "lblCodTela").Caption(), "VND42406");
  EXPECT_EQ(find<TGroupBox>(*form, "grbDadosRel").Width(), 435);

  auto& medCdFilial = find<TMaskEdit>(*form, "medCdFilial");
  EXPECT_EQ(medCdFilial.EditMask(), ">aaaa;0; ");
  EXPECT_EQ(medCdFilial.MaxLength(), 4);
  EXPECT_EQ(medCdFilial.Color(), colors::clInfoBk);
  EXPECT_EQ(find<TMaskEdit>(*form, "medCdTabePrec").Text(), "   ");
  auto& edtNmFilial = find<TEdit>(*form, "edtNmFilial");
  EXPECT_FALSE(edtNmFilial.Enabled());
  EXPECT_FALSE(edtNmFilial.TabStop());
  EXPECT_EQ(find<TSearchButtonBase>(*form, "btnFilial").Associate(), &medCdFilial);
  EXPECT_EQ(find<TSearchButtonBase>(*form, "btnFilial").Width(), 21);
  EXPECT_EQ(find<TLabel>(*form, "lblDtFinVig").Alignment(), TAlignment::taCenter);
  auto& depDtIniVig = find<TDateEditPlus>(*form, "depDtIniVig");
  EXPECT_EQ(depDtIniVig.ValidDateColor(), colors::clBlue);
  EXPECT_EQ(depDtIniVig.NomeSemana()[2], "Terça");
  EXPECT_TRUE(depDtIniVig.IsEmptyDate());

  // Product block: bold through the box, except the two edits with their own plain font.
  EXPECT_TRUE(find<TGroupBox>(*form, "grbProduto").EffectiveFont().Bold());
  EXPECT_TRUE(find<TRadioButton>(*form, "rbtLista").EffectiveFont().Bold());
  EXPECT_FALSE(find<TMaskEdit>(*form, "medProdIni").EffectiveFont().Bold());
  EXPECT_TRUE(find<TRadioButton>(*form, "rbtTodos").Checked());
  EXPECT_FALSE(find<TRadioButton>(*form, "rbtLista").Checked());
  EXPECT_FALSE(find<TSearchButtonBase>(*form, "btnListaProd").Enabled());
  EXPECT_EQ(find<TRadioGroup>(*form, "rdgPromocao").ItemIndex(), 0);
  EXPECT_TRUE(find<TRadioButton>(*form, "rbtAddPrefixo").Checked());
  EXPECT_FALSE(find<TCheckBox>(*form, "chbPrefixo").Checked());

  // Only OnCreate ran: setting texts and checks while reading fired nothing. Events are bound.
  EXPECT_EQ(form->called, std::vector<std::string>{"FormCreate"});
  find<TButtonFlat>(*form, "sbtConfirma").Click();
  find<TMaskEdit>(*form, "medCdFilial").SetText("1");
  EXPECT_EQ(form->called,
            (std::vector<std::string>{"FormCreate", "sbtConfirmaClick", "medCdFilialChange"}));
}

}  // namespace
