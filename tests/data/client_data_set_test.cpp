#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "data_fixture.h"
#include "rtl/exceptions.h"
#include "rtl/variant.h"

namespace {

using datatest::addString;
using datatest::dump;
using datatest::stringPacket;

// The price tables of a branch: a hidden branch column, the code and the name.
struct PriceTables : ::testing::Test {
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  data::TStringField *filial, *codigo, *nome;

  PriceTables() {
    cds->SetName("cdsTabePrec");
    filial = addString(form, *cds, "CDFILIAL", 4);
    filial->SetVisible(false);
    codigo = addString(form, *cds, "CDTABEPREC", 3);
    nome = addString(form, *cds, "NMTABEPREC", 20);
  }

  // Columns in another order than the fields, plus one the data set does not declare.
  static rtl::DataPacket answer() {
    return stringPacket({{"NMTABEPREC", 20}, {"EXTRA", 5}, {"CDTABEPREC", 3}, {"CDFILIAL", 4}},
                        {{"Varejo", "x", "001", "0001"},
                         {"Atacado", "y", "002", "0001"},
                         {std::nullopt, "z", "003", "0001"}});
  }
};

TEST_F(PriceTables, LoadingBindsColumnsByNameAndHandsTheContentBackWhole) {
  cds->SetData(rtl::Variant(std::make_shared<const rtl::DataPacket>(answer())));
  EXPECT_TRUE(cds->Active());
  EXPECT_EQ(cds->RecordCount(), 3);
  EXPECT_EQ(dump(*cds), "*0001,001,Varejo;0001,002,Atacado;0001,003,~;");

  // Handed back in field order with the fields' sizes; the extra column is gone, the hidden
  // column and the null are kept.
  const rtl::Variant back = cds->Data();
  ASSERT_EQ(back.kind(), rtl::VarKind::Packet);
  const rtl::DataPacket expected = stringPacket(
      {{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"NMTABEPREC", 20}},
      {{"0001", "001", "Varejo"}, {"0001", "002", "Atacado"}, {"0001", "003", std::nullopt}});
  EXPECT_EQ(*back.asPacket(), expected);

  // B.Data := A.Data copies the content.
  data::TClientDataSet* copy = form.Create<data::TClientDataSet>();
  addString(form, *copy, "CDTABEPREC", 3);
  addString(form, *copy, "NMTABEPREC", 20);
  copy->SetData(cds->Data());
  EXPECT_EQ(dump(*copy), "*001,Varejo;002,Atacado;003,~;");

  // A new answer replaces the whole content and makes its first row current.
  cds->Next();
  cds->LoadPacket(stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"NMTABEPREC", 20}},
                               {{"0002", "010", "Outra"}}));
  EXPECT_EQ(dump(*cds), "*0002,010,Outra;");
}

TEST_F(PriceTables, DataOfAnInactiveDataSetIsNull) {
  EXPECT_FALSE(cds->Active());
  EXPECT_TRUE(cds->IsEmpty());
  EXPECT_TRUE(cds->Data().isNull());
  EXPECT_THROW(codigo->AsString(), rtl::EDatabaseError);

  cds->CreateDataSet();
  EXPECT_TRUE(cds->Active());
  EXPECT_TRUE(cds->IsEmpty());
  EXPECT_EQ(codigo->AsString(), "");
  const rtl::DataPacket empty = *cds->Data().asPacket();
  EXPECT_EQ(empty.rowCount(), 0u);
  EXPECT_EQ(empty.fields().size(), 3u);

  cds->SetData(rtl::Variant::Null());
  EXPECT_FALSE(cds->Active());
  EXPECT_TRUE(cds->Data().isNull());
  EXPECT_THROW(cds->SetData(rtl::Variant("text")), rtl::EVariantError);
}

TEST_F(PriceTables, APacketThatDoesNotFitLeavesThePreviousContent) {
  cds->LoadPacket(answer());
  cds->Next();
  const std::string before = dump(*cds);

  auto refused = [&](const rtl::DataPacket& p) -> std::string {
    try {
      cds->LoadPacket(p);
    } catch (const rtl::EDatabaseError& e) {
      EXPECT_EQ(dump(*cds), before) << e.what();
      return e.what();
    }
    return "loaded";
  };

  EXPECT_EQ(refused(stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 3}}, {{"0001", "001"}})),
            "cdsTabePrec: Campo 'NMTABEPREC' não encontrado no pacote de dados");
  // Names bind exactly.
  EXPECT_EQ(refused(stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"nmtabeprec", 20}}, {})),
            "cdsTabePrec: Campo 'NMTABEPREC' não encontrado no pacote de dados");

  rtl::DataPacket dated({{"CDFILIAL", rtl::FieldType::String, 4},
                         {"CDTABEPREC", rtl::FieldType::Date, 0},
                         {"NMTABEPREC", rtl::FieldType::String, 20}});
  EXPECT_EQ(refused(dated),
            "cdsTabePrec: O campo 'CDTABEPREC' guarda valores string, mas a coluna do pacote de "
            "dados é do tipo date");

  EXPECT_EQ(refused(stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 10}, {"NMTABEPREC", 20}},
                                 {{"0001", "001", "a"}, {"0001", "0002", "b"}})),
            "cdsTabePrec: O valor do campo 'CDTABEPREC' na linha 2 tem 4 caracteres; o campo "
            "guarda no máximo 3");
  // Characters count, not bytes: three accented letters fit a size of 3.
  cds->LoadPacket(stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"NMTABEPREC", 20}},
                               {{"0001", "\xC3\x81\xC3\x89\xC3\x8D", "acentos"}}));
  EXPECT_EQ(codigo->AsString(), "\xC3\x81\xC3\x89\xC3\x8D");
}

TEST_F(PriceTables, DeclaredFieldsMustBeUsableToOpen) {
  data::TClientDataSet* bare = form.Create<data::TClientDataSet>();
  bare->SetName("cdsBare");
  EXPECT_THROW(bare->CreateDataSet(), rtl::EDatabaseError);
  EXPECT_THROW(bare->Open(), rtl::EDatabaseError);  // nothing to read rows from

  addString(form, *bare, "A", 1);
  addString(form, *bare, "a", 1);
  try {
    bare->CreateDataSet();
    FAIL() << "duplicate names accepted";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "cdsBare: Nome de campo 'a' repetido");
  }

  // Fields cannot be added to, or renamed in, an open data set.
  cds->CreateDataSet();
  EXPECT_THROW(addString(form, *cds, "MORE", 1), rtl::EDatabaseError);
  EXPECT_THROW(codigo->SetFieldName("X"), rtl::EDatabaseError);
  EXPECT_EQ(cds->Fields().size(), 3u);
}

}  // namespace
