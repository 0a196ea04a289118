#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data/data_list.h"
#include "data_fixture.h"
#include "rtl/dates.h"
#include "rtl/exceptions.h"

namespace {

using datatest::addString;
using datatest::dump;
using datatest::stringPacket;

// Validity periods held as date texts, with a calculated situation computed the way the
// screen does: active when start <= today <= end, the end read only when needed.
struct Periods : ::testing::Test {
  rtl::FixedClock clock{rtl::EncodeDate(2024, 6, 15)};
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  data::TStringField* start = addString(form, *cds, "DTINIVGPREC", 30);
  data::TStringField* end = addString(form, *cds, "DTFINVGPREC", 30);
  data::TStringField* situation = addString(form, *cds, "SITUACAO", 10);
  std::vector<std::string> computed;  // "RecNo:start" of each computation

  Periods() {
    rtl::ResetFormatSettings();
    rtl::SetClock(&clock);
    cds->SetName("cdsTabeVend");
    situation->SetFieldKind(data::TFieldKind::fkCalculated);
    cds->SetOnCalcFields([this](tk::TComponent* sender) {
      EXPECT_EQ(sender, cds);
      EXPECT_EQ(cds->State(), data::TDataSetState::dsCalcFields);
      EXPECT_TRUE(situation->IsNull());  // reset before each computation
      computed.push_back(std::to_string(cds->RecNo()) + ":" + start->AsString());
      const rtl::TDateTime today = rtl::Date();
      const bool active = !(today < start->AsDateTime()) && !(today > end->AsDateTime());
      situation->SetAsString(active ? "Ativa" : "Inativa");
    });
  }
  ~Periods() override { rtl::SetClock(nullptr); }

  static rtl::DataPacket periods(const std::vector<std::vector<datatest::Cell>>& rows) {
    return stringPacket({{"DTINIVGPREC", 30}, {"DTFINVGPREC", 30}}, rows);
  }
};

TEST_F(Periods, EachRowIsComputedWithThatRowCurrent) {
  cds->LoadPacket(periods(
      {{"01/01/2024", "14/06/2024"}, {"15/06/2024", "15/06/2024"}, {"16/06/2024", "not a date"}}));
  // Every row once on load, each while it was current; the first row ends up current.
  std::sort(computed.begin(), computed.end());
  EXPECT_EQ(computed, (std::vector<std::string>{"1:01/01/2024", "2:15/06/2024", "3:16/06/2024"}));
  EXPECT_EQ(cds->RecNo(), 1);
  EXPECT_EQ(situation->AsString(), "Inativa");

  // Moving computes the row that becomes current; a list computes each row it shows and
  // leaves the current row and its value as they were.
  cds->Next();
  EXPECT_EQ(situation->AsString(), "Ativa");
  const data::DataSetList list = data::ReadList(*cds);
  EXPECT_EQ(list.rows,
            (std::vector<std::vector<std::string>>{{"01/01/2024", "14/06/2024", "Inativa"},
                                                   {"15/06/2024", "15/06/2024", "Ativa"},
                                                   {"16/06/2024", "not a date", "Inativa"}}));
  EXPECT_EQ(cds->RecNo(), 2);
  EXPECT_EQ(situation->AsString(), "Ativa");

  // The calculated value is not part of the packet handed back.
  EXPECT_EQ(cds->Data().asPacket()->fields().size(), 2u);

  // Computed again on another day, a row shows that day's situation.
  clock.Set(rtl::EncodeDate(2024, 6, 16));
  cds->First();
  cds->Next();
  EXPECT_EQ(situation->AsString(), "Inativa");
}

TEST_F(Periods, AConversionFailureFailsTheLoadAndKeepsThePreviousContent) {
  cds->LoadPacket(periods({{"01/01/2024", "31/12/2024"}}));
  const std::string before = dump(*cds);
  EXPECT_EQ(before, "*01/01/2024,31/12/2024,Ativa;");

  try {
    cds->LoadPacket(periods({{"01/01/2024", "31/12/2024"}, {"31/02/2024", "31/12/2024"}}));
    FAIL() << "loaded";
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'31/02/2024' não é uma data e hora válida");
  }
  EXPECT_EQ(dump(*cds), before);
  EXPECT_EQ(cds->State(), data::TDataSetState::dsBrowse);

  // The same from an inactive data set: it stays inactive.
  data::TClientDataSet* other = form.Create<data::TClientDataSet>();
  addString(form, *other, "DTINIVGPREC", 30);
  addString(form, *other, "DTFINVGPREC", 30);
  data::TStringField* sit = addString(form, *other, "SITUACAO", 10);
  sit->SetFieldKind(data::TFieldKind::fkCalculated);
  other->SetOnCalcFields([&](tk::TComponent*) { other->FieldByName("DTINIVGPREC").AsDateTime(); });
  EXPECT_THROW(other->LoadPacket(periods({{"", ""}})), rtl::EConvertError);
  EXPECT_FALSE(other->Active());
}

TEST_F(Periods, CalculatedFieldsAreWrittenOnlyWhileARowIsComputed) {
  cds->LoadPacket(periods({{"01/01/2024", "31/12/2024"}}));
  EXPECT_THROW(situation->SetAsString("x"), rtl::EDatabaseError);
  cds->Edit();
  EXPECT_THROW(situation->SetAsString("x"), rtl::EDatabaseError);
  cds->Cancel();

  // Inside the handler, data fields and moves are refused.
  bool tried = false;
  cds->SetOnCalcFields([&](tk::TComponent*) {
    tried = true;
    EXPECT_THROW(start->SetAsString("02/01/2024"), rtl::EDatabaseError);
    EXPECT_THROW(cds->Next(), rtl::EDatabaseError);
    situation->SetAsString("0123456789-cut");  // cut to the size like any string field
  });
  cds->First();
  EXPECT_TRUE(tried);
  EXPECT_EQ(situation->AsString(), "0123456789");
  EXPECT_EQ(cds->State(), data::TDataSetState::dsBrowse);

  // A handler that leaves a row alone leaves it null, not the previous row's value.
  cds->LoadPacket(periods({{"a", ""}, {"b", ""}}));
  cds->SetOnCalcFields([&](tk::TComponent*) {
    if (start->AsString() == "a") situation->SetAsString("set");
  });
  cds->First();
  EXPECT_EQ(situation->AsString(), "set");
  cds->Next();
  EXPECT_TRUE(situation->IsNull());
}

TEST_F(Periods, CalculatedValuesFollowTheRowBeingEdited) {
  cds->LoadPacket(periods({{"01/01/2024", "31/12/2024"}}));
  ASSERT_EQ(situation->AsString(), "Ativa");
  computed.clear();
  cds->Edit();
  EXPECT_EQ(computed, (std::vector<std::string>{"1:01/01/2024"}));  // on entering the edit
  start->SetAsString("01/07/2024");
  EXPECT_EQ(situation->AsString(), "Inativa");  // seen with the edited start
  cds->Cancel();
  EXPECT_EQ(situation->AsString(), "Ativa");

  // Without AutoCalcFields a change leaves the value as it was until the row is posted.
  cds->SetAutoCalcFields(false);
  cds->Edit();
  start->SetAsString("01/07/2024");
  EXPECT_EQ(situation->AsString(), "Ativa");
  cds->Post();
  EXPECT_EQ(situation->AsString(), "Inativa");
}

TEST_F(Periods, ANewRowGetsItsFirstValuesFromOnNewRecord) {
  cds->LoadPacket(periods({{"01/01/2024", "31/12/2024"}}));
  cds->SetOnCalcFields(
      [&](tk::TComponent*) { situation->SetAsString(end->IsNull() ? "aberta" : "fechada"); });
  cds->SetOnNewRecord([&](tk::TComponent* sender) {
    EXPECT_EQ(sender, cds);
    EXPECT_EQ(cds->State(), data::TDataSetState::dsInsert);
    start->SetAsString("01/06/2024");
  });
  cds->Append();
  EXPECT_EQ(start->AsString(), "01/06/2024");
  EXPECT_FALSE(cds->Modified());  // the first values are not the user's changes
  EXPECT_EQ(situation->AsString(), "aberta");
  end->SetAsString("30/06/2024");
  EXPECT_EQ(situation->AsString(), "fechada");
  cds->Post();
  EXPECT_EQ(cds->RecordCount(), 2);

  // A failing handler drops the new row and leaves the data set browsing.
  cds->SetOnNewRecord([](tk::TComponent*) { throw rtl::EDatabaseError("sem valor inicial"); });
  EXPECT_THROW(cds->Insert(), rtl::EDatabaseError);
  EXPECT_EQ(cds->State(), data::TDataSetState::dsBrowse);
  EXPECT_EQ(cds->RecordCount(), 2);
}

}  // namespace
