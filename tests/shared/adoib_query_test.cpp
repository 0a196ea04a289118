#include <gtest/gtest.h>

#include "rtl/exceptions.h"
#include "shared/adoib_query.h"
#include "shared/data_definitions.h"
#include "shared/dtm_db_geral.h"

namespace {

tk::PropValue items(tk::PropValue::Kind kind, std::vector<tk::PropValue> values) {
  tk::PropValue v;
  v.kind = kind;
  v.items = std::move(values);
  return v;
}

tk::PropValue param(const char* name, const char* type) {
  return items(tk::PropValue::Kind::List, {tk::PropValue::Str(name), tk::PropValue::Ident(type),
                                           tk::PropValue::Ident("ptUnknown")});
}

// The validity query of a screen, set up as its definition does.
struct ValidityQuery : ::testing::Test {
  tk::TComponent form;
  tk::ClassRegistry registry;
  shared::TADOIBQuery* qry = nullptr;
  data::TField *start = nullptr, *situation = nullptr;
  int calcCalls = 0;

  ValidityQuery() {
    shared::RegisterDataDefinitionClasses(registry);
    qry =
        static_cast<shared::TADOIBQuery*>(form.InsertOwned(registry.create("TADOIBQuery", &form)));
    qry->SetName("qryTabeVend");
    qry->SetLoading(true);
    using K = tk::PropValue::Kind;
    const std::vector<std::pair<std::string, tk::PropValue>> props = {
        {"Active", tk::PropValue::Ident("False")},
        {"AutoCalcFields", tk::PropValue::Ident("True")},
        {"ADOCacheSize", tk::PropValue::Int(1)},
        {"ADOConnection", tk::PropValue::Ident("dtmDBGeral.adcGeral")},
        {"ADOCursorLocation", tk::PropValue::Ident("clUseClient")},
        {"ADOCursorType", tk::PropValue::Ident("ctKeyset")},
        {"ADOEnableBCD", tk::PropValue::Ident("False")},
        {"ADOExecuteOptions", items(K::Set, {})},
        {"ADOFiltered", tk::PropValue::Ident("False")},
        {"ADOLockType", tk::PropValue::Ident("ltReadOnly")},
        {"ADOMarshalOptions", tk::PropValue::Ident("moMarshalAll")},
        {"ADOMaxRecords", tk::PropValue::Int(0)},
        {"ParamCheck", tk::PropValue::Ident("True")},
        {"ADOPrepared", tk::PropValue::Ident("False")},
        {"CachedUpdates", tk::PropValue::Ident("False")},
        {"Constraints", items(K::List, {})},
        {"DataBase", tk::PropValue::Ident("dtmDBGeral.dtbGeral")},
        {"ObjectView", tk::PropValue::Ident("False")},
        {"Transaction", tk::PropValue::Ident("dtmDBGeral.ibtGeral")},
        {"SQL.Strings", items(K::List, {tk::PropValue::Str("SELECT DTINIVGPREC, DTFINVGPREC"),
                                        tk::PropValue::Str("  FROM TABEVEND")})},
        {"Params",
         items(K::List, {param("P_CDFILIAL", "ftString"), param("P_DTINIVGPREC", "ftDateTime")})},
    };
    for (const auto& [name, value] : props) qry->SetProperty(name, value);
    qry->SetEvent("OnCalcFields", tk::TNotifyEvent([this](tk::TComponent*) { ++calcCalls; }));

    start =
        static_cast<data::TField*>(form.InsertOwned(registry.create("TADOIBDateTimeField", &form)));
    start->SetProperty("DisplayLabel", tk::PropValue::Str("Data Inicial"));
    start->SetProperty("FieldName", tk::PropValue::Str("DTINIVGPREC"));
    start->SetProperty("Origin", tk::PropValue::Str("DBVARNOKE.TABEVEND.DTINIVGPREC"));
    qry->InsertDefinedChild(start);
    situation =
        static_cast<data::TField*>(form.InsertOwned(registry.create("TADOIBStringField", &form)));
    situation->SetProperty("FieldKind", tk::PropValue::Ident("fkCalculated"));
    situation->SetProperty("FieldName", tk::PropValue::Str("SITUACAO"));
    situation->SetProperty("Calculated", tk::PropValue::Ident("True"));
    situation->SetProperty("Size", tk::PropValue::Int(10));
    qry->InsertDefinedChild(situation);
    qry->SetLoading(false);
    qry->Loaded();
  }
};

TEST_F(ValidityQuery, HoldsItsDefinition) {
  EXPECT_FALSE(qry->Active());
  EXPECT_EQ(qry->SQL(),
            (std::vector<std::string>{"SELECT DTINIVGPREC, DTFINVGPREC", "  FROM TABEVEND"}));
  ASSERT_EQ(qry->Params().size(), 2u);
  EXPECT_EQ(*qry->FindParam("p_dtinivgprec"),
            (shared::TQueryParam{"P_DTINIVGPREC", "ftDateTime", "ptUnknown"}));
  EXPECT_EQ(qry->ADOConnectionName(), "dtmDBGeral.adcGeral");
  EXPECT_EQ(qry->ADOCursorType(), "ctKeyset");
  EXPECT_FALSE(qry->ADOEnableBCD());
  EXPECT_EQ(qry->Fields().size(), 2u);
  EXPECT_STREQ(start->ClassName(), "TADOIBDateTimeField");
  EXPECT_EQ(start->DataType(), rtl::FieldType::Date);
  EXPECT_EQ(start->DisplayLabel(), "Data Inicial");
  EXPECT_TRUE(situation->Calculated());
  EXPECT_EQ(situation->Size(), 10);
  EXPECT_TRUE(qry->OnCalcFields() != nullptr);

  EXPECT_THROW(qry->SetProperty("ADOCommandText", tk::PropValue::Str("x")), tk::EDefinitionError);
  EXPECT_THROW(
      qry->SetProperty("Params", items(tk::PropValue::Kind::List, {tk::PropValue::Str("P_X")})),
      tk::EDefinitionError);
  EXPECT_THROW(
      qry->SetProperty("Constraints", items(tk::PropValue::Kind::List, {tk::PropValue::Int(1)})),
      tk::EDefinitionError);
}

TEST_F(ValidityQuery, IsNeverOpened) {
  try {
    qry->Open();
    FAIL() << "opened";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_STREQ(e.what(),
                 "qryTabeVend: this query is never opened; its rows come from the application "
                 "server");
  }
  EXPECT_THROW(qry->SetActive(true), rtl::EDatabaseError);
  EXPECT_FALSE(qry->Active());
  EXPECT_TRUE(qry->IsEmpty());
  EXPECT_THROW(start->AsDateTime(), rtl::EDatabaseError);
  EXPECT_THROW(qry->First(), rtl::EDatabaseError);
  EXPECT_EQ(calcCalls, 0);

  // A definition that asks for it open fails once it is read.
  shared::TADOIBQuery other(&form);
  other.SetLoading(true);
  other.SetProperty("Active", tk::PropValue::Ident("True"));
  other.SetLoading(false);
  EXPECT_THROW(other.Loaded(), rtl::EDatabaseError);
}

TEST_F(ValidityQuery, ConnectionNamesResolveThroughTheDataModuleWhenItExists) {
  EXPECT_EQ(shared::dtmDBGeral(), nullptr);
  EXPECT_EQ(qry->ADOConnection(), nullptr);
  EXPECT_EQ(qry->DataBase(), nullptr);
  {
    shared::TdtmDBGeral module;
    EXPECT_EQ(shared::dtmDBGeral(), &module);
    EXPECT_EQ(qry->ADOConnection(), module.adcGeral);
    EXPECT_EQ(qry->DataBase(), module.dtbGeral);
    EXPECT_EQ(qry->Transaction(), module.ibtGeral);
    EXPECT_FALSE(module.adcGeral->Connected());
    EXPECT_THROW(module.adcGeral->Open(), rtl::EDatabaseError);
  }
  EXPECT_EQ(shared::dtmDBGeral(), nullptr);
  EXPECT_EQ(qry->Transaction(), nullptr);
}

}  // namespace
