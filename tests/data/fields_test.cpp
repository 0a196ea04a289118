#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "data_fixture.h"
#include "rtl/dates.h"
#include "rtl/exceptions.h"

namespace {

using datatest::addString;

struct Fields : ::testing::Test {
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  data::TStringField* text = addString(form, *cds, "TEXT", 4);
  data::TDateTimeField* when = form.Create<data::TDateTimeField>();
  data::TIntegerField* count = form.Create<data::TIntegerField>();

  Fields() {
    rtl::ResetFormatSettings();
    when->SetFieldName("WHEN");
    when->SetDataSet(cds);
    count->SetFieldName("COUNT");
    count->SetDataSet(cds);
    cds->CreateDataSet();
    cds->Append();
  }
};

TEST_F(Fields, ALongerTextIsCutToTheSizeInCharacters) {
  text->SetAsString("ABCDEF");
  EXPECT_EQ(text->AsString(), "ABCD");
  text->SetAsString("\xC3\x81\xC3\x89\xC3\x8D\xC3\x93\xC3\x9A");  // five accented letters
  EXPECT_EQ(text->AsString(), "\xC3\x81\xC3\x89\xC3\x8D\xC3\x93");
  text->SetAsString("");
  EXPECT_EQ(text->AsString(), "");
  EXPECT_FALSE(text->IsNull());
  text->Clear();
  EXPECT_TRUE(text->IsNull());
  EXPECT_EQ(text->AsString(), "");
}

TEST_F(Fields, AFixedCharFieldHoldsItsTextsPaddedToItsSize) {
  text->SetFixedChar(true);
  text->SetAsString("ab");
  EXPECT_EQ(text->AsString(), "ab  ");
  EXPECT_EQ(std::get<std::string>(text->Value()), "ab  ");  // held so, not only read so
  text->SetAsString("\xC3\x81");                            // one character of two bytes
  EXPECT_EQ(text->AsString(), "\xC3\x81   ");
  text->SetAsString("ABCDEF");
  EXPECT_EQ(text->AsString(), "ABCD");
  text->Clear();
  EXPECT_TRUE(text->IsNull());
  EXPECT_EQ(text->AsString(), "");
  cds->Post();

  // Rows loaded from a packet read padded too.
  rtl::DataPacket p({{"TEXT", rtl::FieldType::String, 4},
                     {"WHEN", rtl::FieldType::Date, 0},
                     {"COUNT", rtl::FieldType::Integer, 0}});
  p.column(0).appendString("x");
  p.column(1).appendNull();
  p.column(2).appendNull();
  p.commitRow();
  cds->LoadPacket(p);
  EXPECT_EQ(text->AsString(), "x   ");
}

TEST_F(Fields, TextsReadAsDatesWithTheShortDateFormat) {
  auto* other = form.Create<data::TClientDataSet>();
  data::TStringField* date = addString(form, *other, "D", 30);
  other->CreateDataSet();
  date->DataSet()->Insert();
  date->SetAsString("31/12/2024");
  EXPECT_EQ(date->AsDateTime(), 45657.0);
  date->SetAsString("12/01/2024");  // day first: the 12th of January
  EXPECT_EQ(date->AsDateTime(), rtl::EncodeDate(2024, 1, 12));
  date->SetAsString("01/31/2024");
  EXPECT_THROW(date->AsDateTime(), rtl::EConvertError);
  date->Clear();
  try {
    date->AsDateTime();
    FAIL() << "a null text read as a date";
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' não é uma data e hora válida");
  }
  date->SetAsDateTime(45657.5);
  EXPECT_EQ(date->AsString(), "31/12/2024 12:00:00");
  date->SetAsInteger(-7);
  EXPECT_EQ(date->AsInteger(), -7);
  date->SetAsString("x1");
  EXPECT_THROW(date->AsInteger(), rtl::EConvertError);
}

TEST_F(Fields, DateTimeAndIntegerFieldsConvertBothWays) {
  EXPECT_EQ(when->AsDateTime(), 0.0);  // null
  EXPECT_EQ(when->AsString(), "");
  when->SetAsString("29/02/2024 18:30");
  EXPECT_DOUBLE_EQ(when->AsDateTime(), 45351.0 + 18.5 / 24);
  EXPECT_EQ(when->AsString(), "29/02/2024 18:30:00");
  when->SetAsDateTime(45657);
  EXPECT_EQ(when->AsString(), "31/12/2024");
  when->SetDisplayFormat("yyyy-mm-dd");
  EXPECT_EQ(when->DisplayText(), "2024-12-31");
  EXPECT_THROW(when->SetAsString("31/13/2024"), rtl::EConvertError);
  EXPECT_EQ(when->AsDateTime(), 45657.0);  // a failed conversion changes nothing
  when->SetAsString(" ");
  EXPECT_TRUE(when->IsNull());
  EXPECT_THROW(when->AsInteger(), rtl::EDatabaseError);

  count->SetAsString(" -42 ");
  EXPECT_EQ(count->AsInteger(), -42);
  EXPECT_EQ(count->AsString(), "-42");
  EXPECT_THROW(count->SetAsString("4x"), rtl::EConvertError);
  EXPECT_THROW(count->SetAsString("99999999999"), rtl::EConvertError);
  EXPECT_THROW(count->AsDateTime(), rtl::EDatabaseError);
  EXPECT_EQ(count->Alignment(), data::TAlignment::taRightJustify);

  cds->Post();
  const rtl::DataPacket back = *cds->Data().asPacket();
  EXPECT_EQ(back.fields()[1], (rtl::PacketField{"WHEN", rtl::FieldType::Date, 0}));
  EXPECT_TRUE(back.column(1).isNull(0));
  EXPECT_EQ(back.column(2).integer(0), -42);
}

TEST_F(Fields, AnEditMaskShapesTheDisplayTextOnly) {
  auto* other = form.Create<data::TClientDataSet>();
  data::TStringField* code = addString(form, *other, "CDARVPROD", 20);
  other->CreateDataSet();
  code->DataSet()->Insert();
  code->SetAsString("12345678");
  EXPECT_EQ(code->DisplayText(), "12345678");
  code->SetEditMask("99.99.9999;0;_");
  EXPECT_EQ(code->DisplayText(), "12.34.5678");
  EXPECT_EQ(code->AsString(), "12345678");
  code->DataSet()->Post();
  EXPECT_EQ(code->DisplayText(), "12.34.5678");
  EXPECT_EQ(code->AsString(), "12345678");
}

TEST_F(Fields, DisplayPropertiesDefaultFromNameAndSize) {
  EXPECT_EQ(text->DisplayLabel(), "TEXT");
  EXPECT_EQ(text->DisplayWidth(), 4);
  text->SetDisplayLabel("Texto");
  text->SetDisplayWidth(9);
  EXPECT_EQ(text->DisplayLabel(), "Texto");
  EXPECT_EQ(text->DisplayWidth(), 9);
  data::TStringField plain;
  EXPECT_EQ(plain.Size(), 20);
  EXPECT_EQ(plain.DisplayWidth(), 20);
  EXPECT_TRUE(plain.Visible());
  EXPECT_THROW(plain.AsString(), rtl::EDatabaseError);  // no data set
  EXPECT_THROW(when->SetSize(8), rtl::EDatabaseError);
}

TEST_F(Fields, AReadOnlyFieldRefusesProgramWritesButLoads) {
  text->SetReadOnly(true);
  EXPECT_THROW(text->SetAsString("x"), rtl::EDatabaseError);
  cds->Cancel();
  rtl::DataPacket p({{"TEXT", rtl::FieldType::String, 4},
                     {"WHEN", rtl::FieldType::Date, 0},
                     {"COUNT", rtl::FieldType::Integer, 0}});
  p.column(0).appendString("abcd");
  p.column(1).appendNumber(45657);
  p.column(2).appendInteger(3);
  p.commitRow();
  cds->LoadPacket(p);
  EXPECT_EQ(text->AsString(), "abcd");
  EXPECT_EQ(when->AsString(), "31/12/2024");
  EXPECT_EQ(count->AsInteger(), 3);

  // An integer column binds to an integer field only within 32 bits.
  p.column(2).setInteger(0, int64_t{1} << 40);
  EXPECT_THROW(cds->LoadPacket(p), rtl::EDatabaseError);
  EXPECT_EQ(count->AsInteger(), 3);
}

TEST_F(Fields, DefinitionPropertiesAreSetByNameAndUnknownOnesRaise) {
  data::TStringField f;
  f.SetProperty("FieldName", tk::PropValue::Str("SITUACAO"));
  f.SetProperty("DisplayLabel", tk::PropValue::Str("Situação"));
  f.SetProperty("DisplayWidth", tk::PropValue::Int(10));
  f.SetProperty("FieldKind", tk::PropValue::Ident("fkCalculated"));
  f.SetProperty("Calculated", tk::PropValue::Ident("True"));
  f.SetProperty("Size", tk::PropValue::Int(10));
  f.SetProperty("Visible", tk::PropValue::Ident("False"));
  f.SetProperty("ReadOnly", tk::PropValue::Ident("True"));
  f.SetProperty("FixedChar", tk::PropValue::Ident("True"));
  f.SetProperty("Origin", tk::PropValue::Str("DBVARNOKE.TABEVEND.X"));
  f.SetProperty("EditMask", tk::PropValue::Str("999;0; "));
  EXPECT_EQ(f.FieldName(), "SITUACAO");
  EXPECT_EQ(f.DisplayLabel(), "Situação");
  EXPECT_TRUE(f.Calculated());
  EXPECT_EQ(f.Size(), 10);
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.ReadOnly());
  EXPECT_TRUE(f.FixedChar());
  EXPECT_EQ(f.Origin(), "DBVARNOKE.TABEVEND.X");
  EXPECT_EQ(f.EditMask(), "999;0; ");
  f.SetProperty("Calculated", tk::PropValue::Ident("False"));
  EXPECT_EQ(f.FieldKind(), data::TFieldKind::fkData);

  EXPECT_THROW(f.SetProperty("Colour", tk::PropValue::Int(1)), tk::EDefinitionError);
  EXPECT_THROW(f.SetProperty("FieldKind", tk::PropValue::Ident("fkLookup")), tk::EDefinitionError);
  EXPECT_THROW(f.SetProperty("Size", tk::PropValue::Str("10")), tk::EDefinitionError);
}

}  // namespace
