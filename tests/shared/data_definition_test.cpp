#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/data_list.h"
#include "data/data_source.h"
#include "data/register.h"
#include "rtl/dates.h"
#include "shared/adoib_query.h"
#include "shared/data_definitions.h"
#include "shared/messages.h"
#include "toolkit/definition_reader.h"

namespace {

// The validity periods of a screen as its definition declares them: a catalogue, a client
// data set with a calculated situation, its data source and the never-opened query.
constexpr const char* kDefinition = R"(object frmTest: TfrmTest
  object msgPadrao: TMessages
    Messages = (
      'Ativa|Ativa'
      'Inativa|Inativa')
  end
  object cdsTabeVend: TClientDataSet
    OnCalcFields = cdsTabeVendCalcFields
    object cdsTabeVendDTINIVGPREC: TStringField
      DisplayLabel = 'Data Inicial'
      DisplayWidth = 18
      FieldName = 'DTINIVGPREC'
      ReadOnly = True
      Size = 30
    end
    object cdsTabeVendDTFINVGPREC: TStringField
      DisplayLabel = 'Data Final'
      DisplayWidth = 18
      FieldName = 'DTFINVGPREC'
      ReadOnly = True
      Size = 30
    end
    object cdsTabeVendSITUACAO: TStringField
      DisplayLabel = 'Situação'
      DisplayWidth = 10
      FieldKind = fkCalculated
      FieldName = 'SITUACAO'
      Calculated = True
      Size = 10
    end
  end
  object dtsTabeVend: TDataSource
    DataSet = cdsTabeVend
  end
  object qryTabeVend: TADOIBQuery
    Active = False
    ADOConnection = dtmDBGeral.adcGeral
    ADOExecuteOptions = []
    Constraints = ()
    SQL.Strings = (
      'SELECT DTINIVGPREC, DTFINVGPREC'
      '  FROM TABEVEND')
    Params = (
      ('P_CDFILIAL' ftString ptUnknown)
      ('P_DTINIVGPREC' ftDateTime ptUnknown))
    OnCalcFields = qryTabeVendCalcFields
    object qryTabeVendDTINIVGPREC: TADOIBDateTimeField
      FieldName = 'DTINIVGPREC'
      Origin = 'DBVARNOKE.TABEVEND.DTINIVGPREC'
    end
  end
end
)";

// Stands for the form: owns every component, and takes the non-visual ones as they are.
struct Root : tk::TComponent {
  void InsertDefinedChild(tk::TComponent*) override {}
};

struct ReadScreenData : ::testing::Test {
  rtl::FixedClock clock{rtl::EncodeDate(2024, 6, 15)};
  tk::ClassRegistry classes;
  tk::HandlerTable handlers;
  Root form;

  ReadScreenData() {
    rtl::ResetFormatSettings();
    rtl::SetClock(&clock);
    data::RegisterDataClasses(classes);
    shared::RegisterDataDefinitionClasses(classes);
    // The situation rule: active when start <= today <= end; the keys asked in lower case.
    handlers.add("cdsTabeVendCalcFields", tk::TNotifyEvent([this](tk::TComponent* sender) {
                   auto& cds = *static_cast<data::TDataSet*>(sender);
                   auto& msg = *static_cast<shared::TMessages*>(form.FindComponent("msgPadrao"));
                   const rtl::TDateTime today = rtl::Date();
                   const bool active = !(today < cds.FieldByName("DTINIVGPREC").AsDateTime()) &&
                                       !(today > cds.FieldByName("DTFINVGPREC").AsDateTime());
                   cds.FieldByName("SITUACAO").SetAsString(msg.Msg(active ? "ativa" : "inativa"));
                 }));
    handlers.add("qryTabeVendCalcFields", tk::TNotifyEvent([](tk::TComponent*) {}));
  }
  ~ReadScreenData() override { rtl::SetClock(nullptr); }

  void read(std::string_view text) {
    tk::DefinitionReader reader(classes, form, handlers);
    reader.Read(text, "test.def");
    reader.Finish();
  }
};

TEST_F(ReadScreenData, ADataSetReadFromItsDefinitionLoadsAndListsRows) {
  read(kDefinition);
  auto* source = static_cast<data::TDataSource*>(form.FindComponent("dtsTabeVend"));
  ASSERT_NE(source, nullptr);
  auto* cds = static_cast<data::TClientDataSet*>(source->DataSet());
  ASSERT_EQ(cds, form.FindComponent("cdsTabeVend"));
  EXPECT_FALSE(cds->Active());
  EXPECT_TRUE(cds->Data().isNull());

  rtl::DataPacket answer(
      {{"DTINIVGPREC", rtl::FieldType::String, 30}, {"DTFINVGPREC", rtl::FieldType::String, 30}});
  for (const char* row : {"01/01/2024|31/12/2024", "16/06/2024|31/12/2024"}) {
    const std::string_view r(row);
    answer.column(0).appendString(r.substr(0, 10));
    answer.column(1).appendString(r.substr(11));
    answer.commitRow();
  }
  cds->LoadPacket(answer);
  const data::DataSetList list = data::ReadList(*cds);
  EXPECT_EQ(list.columns, (std::vector<data::ListColumn>{
                              {"Data Inicial", 18}, {"Data Final", 18}, {"Situação", 10}}));
  EXPECT_EQ(list.rows,
            (std::vector<std::vector<std::string>>{{"01/01/2024", "31/12/2024", "Ativa"},
                                                   {"16/06/2024", "31/12/2024", "Inativa"}}));
  EXPECT_EQ(*cds->Data().asPacket(), answer);

  auto* qry = static_cast<shared::TADOIBQuery*>(form.FindComponent("qryTabeVend"));
  ASSERT_NE(qry, nullptr);
  EXPECT_FALSE(qry->Active());
  EXPECT_EQ(qry->Params().size(), 2u);
  EXPECT_EQ(qry->Fields().size(), 1u);
  EXPECT_EQ(qry->ADOConnection(), nullptr);  // no data module in this process
}

TEST_F(ReadScreenData, DefinitionMistakesAreReportedWithTheirLine) {
  auto message = [&](const std::string& text) -> std::string {
    try {
      Root other;
      tk::DefinitionReader reader(classes, other, handlers);
      reader.Read(text, "bad.def");
      reader.Finish();
    } catch (const tk::EDefinitionError& e) {
      return e.what();
    }
    return "read";
  };
  const std::string unknownProperty = message(
      "object f: T\n  object cds: TClientDataSet\n    object cdsA: TStringField\n"
      "      Colour = 1\n    end\n  end\nend\n");
  EXPECT_NE(unknownProperty.find("bad.def:4"), std::string::npos) << unknownProperty;
  EXPECT_NE(unknownProperty.find("Colour"), std::string::npos) << unknownProperty;
  const std::string missingDataSet =
      message("object f: T\n  object dts: TDataSource\n    DataSet = cdsNone\n  end\nend\n");
  EXPECT_NE(missingDataSet.find("cdsNone"), std::string::npos) << missingDataSet;
}

}  // namespace
