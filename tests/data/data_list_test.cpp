#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/data_list.h"
#include "data/data_source.h"
#include "data_fixture.h"
#include "rtl/exceptions.h"

namespace {

using datatest::addString;
using datatest::stringPacket;

// Items offered for picking: a read-only fixed-char mark, a hidden product code, the masked
// tree code and the name.
struct Items : ::testing::Test {
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  data::TStringField* mark = addString(form, *cds, "IDMARCADO", 1);
  data::TStringField* code = addString(form, *cds, "CDPRODUTO", 10);
  data::TStringField* tree = addString(form, *cds, "CDARVPROD", 20);
  data::TStringField* name = addString(form, *cds, "NMPRODUTO", 50);

  Items() {
    cds->SetName("cdsAutItemPreco");
    mark->SetReadOnly(true);
    mark->SetFixedChar(true);
    code->SetVisible(false);
    tree->SetDisplayLabel("Código");
    tree->SetEditMask("99.99.9999;0;_");
    name->SetDisplayLabel("Nome");
    cds->LoadPacket(
        stringPacket({{"IDMARCADO", 1}, {"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}},
                     {{std::nullopt, "0000000001", "10203040", "Arroz"},
                      {std::nullopt, "0000000002", "10203050", "Feijao"}}));
  }
};

TEST_F(Items, HiddenFieldsAreLoadedAndHandedBackButNotListed) {
  const data::DataSetList list = data::ReadList(*cds, "CDPRODUTO");
  EXPECT_EQ(list.columns,
            (std::vector<data::ListColumn>{{"IDMARCADO", 1}, {"Código", 20}, {"Nome", 50}}));
  EXPECT_EQ(list.rows, (std::vector<std::vector<std::string>>{{"", "10.20.3040", "Arroz"},
                                                              {"", "10.20.3050", "Feijao"}}));
  EXPECT_EQ(list.keys, (std::vector<std::string>{"0000000001", "0000000002"}));

  EXPECT_EQ(code->AsString(), "0000000001");
  EXPECT_EQ(cds->Data().asPacket()->column(1).string(1), "0000000002");

  // A pick makes the picked row current.
  cds->MoveTo(1);
  EXPECT_EQ(tree->AsString(), "10203050");
  EXPECT_EQ(data::ReadList(*cds).rows.size(), 2u);
  EXPECT_EQ(cds->RecNo(), 2);
}

TEST_F(Items, ADataSourceResolvesItsDataSetByNameAfterLoading) {
  auto* source = form.Create<data::TDataSource>();
  source->SetName("dtsAutItemPreco");
  source->SetLoading(true);
  source->SetProperty("DataSet", tk::PropValue::Ident("cdsAutItemPreco"));
  EXPECT_EQ(source->DataSet(), nullptr);
  source->Loaded();
  EXPECT_EQ(source->DataSet(), cds);

  auto* wrong = form.Create<data::TDataSource>();
  EXPECT_THROW(wrong->SetProperty("DataSet", tk::PropValue::Ident("cdsNone")),
               tk::EDefinitionError);
  mark->SetName("fieldNotDataSet");
  EXPECT_THROW(wrong->SetProperty("DataSet", tk::PropValue::Ident("fieldNotDataSet")),
               tk::EDefinitionError);

  // Freeing the data set first leaves the source empty rather than dangling.
  form.FreeOwned(cds);
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_EQ(mark->DataSet(), nullptr);
}

TEST_F(Items, AClosedDataSetHasColumnsButNoRows) {
  cds->Close();
  EXPECT_EQ(data::ListColumns(*cds).size(), 3u);
  EXPECT_THROW(data::ReadList(*cds), rtl::EDatabaseError);
}

}  // namespace
