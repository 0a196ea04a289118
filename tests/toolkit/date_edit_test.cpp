#include "toolkit/date_edit.h"
#include "rtl/dates.h"
#include "toolkit/user_input.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

class DateEdit : public tktest::ToolkitTest {
 protected:
  void SetUp() override { rtl::ResetFormatSettings(); }
  void TearDown() override { rtl::ResetFormatSettings(); }

  std::string dateError(const TDateEditPlus& dep) {
    try {
      dep.GetDate();
    } catch (const rtl::EConvertError& e) {
      return e.message();
    }
    return "no error";
  }
};

TEST_F(DateEdit, MaskFollowsTheShortDateFormat) {
  EXPECT_EQ(TDateEditPlus::MaskForDateFormat("dd/mm/yyyy"), "!99/99/0000;1;_");
  EXPECT_EQ(TDateEditPlus::MaskForDateFormat("m/d/yy"), "!99/99/00;1;_");
  EXPECT_EQ(TDateEditPlus::MaskForDateFormat("yyyy-mm-dd"), "!0000/99/99;1;_");

  rtl::ShortDateFormat() = "yyyy-mm-dd";
  TForm* form = showForm();
  auto* dep = add<TDateEditPlus>(form, form, "dep");
  EXPECT_EQ(dep->EditText(), "____-__-__");
  dep->SetDate(rtl::EncodeDate(2024, 2, 29));
  EXPECT_EQ(dep->Text(), "2024-02-29");
  EXPECT_EQ(dep->GetDate(), 45351);
}

TEST_F(DateEdit, DatesGoInAndOutThroughTheText) {
  TForm* form = showForm();
  auto* dep = add<TDateEditPlus>(form, form, "dep");
  dep->OnChange = log.note("OnChange");

  EXPECT_TRUE(dep->IsEmptyDate());
  EXPECT_EQ(dep->GetDate(), 0);  // no date
  EXPECT_EQ(dep->Text(), "  /  /    ");

  dep->SetDate(45657.75);
  EXPECT_EQ(dep->Text(), "31/12/2024");
  EXPECT_EQ(dep->GetDate(), 45657);  // no time kept without SaveTime
  dep->SetSaveTime(true);
  dep->SetDate(45657.75);  // the same text: no change event
  EXPECT_EQ(dep->GetDate(), 45657.75);
  EXPECT_EQ(dep->DayName(), "Terça");

  dep->SetDate(0);
  EXPECT_TRUE(dep->IsEmptyDate());
  EXPECT_EQ(log.take(), "dep.OnChange dep.OnChange");

  userType(*dep, "01/12/2026");
  EXPECT_EQ(dep->GetDate(), rtl::EncodeDate(2026, 12, 1));
  userType(*dep, "1/2/2026");  // a typed separator ends the part
  EXPECT_EQ(dep->EditText(), "1_/2_/2026");
  EXPECT_EQ(dep->GetDate(), rtl::EncodeDate(2026, 2, 1));

  // A programmatic text with short parts is laid right-aligned and reads back.
  dep->SetText("5/6/2025");
  EXPECT_EQ(dep->EditText(), "_5/_6/2025");
  EXPECT_EQ(dep->GetDate(), rtl::EncodeDate(2025, 6, 5));
}

TEST_F(DateEdit, IncompleteOrImpossibleDatesRaiseTheRuntimeMessage) {
  TForm* form = showForm();
  auto* dep = add<TDateEditPlus>(form, form, "dep");
  userType(*dep, "3102");
  EXPECT_EQ(dateError(*dep), "'31/02/    ' não é uma data válida");
  userType(*dep, "31022024");
  EXPECT_EQ(dateError(*dep), "'31/02/2024' não é uma data válida");
  userType(*dep, "29022024");
  EXPECT_EQ(dateError(*dep), "no error");
  EXPECT_EQ(dep->DayName(), "Quinta");
}

TEST_F(DateEdit, DefinitionPropertiesAreKept) {
  auto* form = app.Create<tktest::ScriptedForm>();
  form->definitions.push_back({"d.def", R"(object f: TF
  object dep: TDateEditPlus
    ValidDateColor = clBlue
    SaveTime = False
    NomeSemana = ('D' 'S' 'T' 'Q' 'Q' 'S' 'S')
    Glyph.Data = {FF00}
  end
end
)"});
  form->CreateFromDefinitions(app.Classes());
  auto* dep = dynamic_cast<TDateEditPlus*>(form->FindComponent("dep"));
  ASSERT_NE(dep, nullptr);
  EXPECT_EQ(dep->ValidDateColor(), colors::clBlue);
  EXPECT_EQ(dep->NomeSemana().size(), 7u);
  EXPECT_EQ(dep->NomeSemana()[6], "S");
  EXPECT_EQ(dep->GlyphData(), std::string("\xFF\x00", 2));
  EXPECT_EQ(dep->EditMask(), "!99/99/0000;1;_");

  auto* bad = app.Create<tktest::ScriptedForm>();
  bad->definitions.push_back(
      {"d.def", "object f: TF\n  object dep: TDateEditPlus\n    NomeSemana = ('D')\n  end\nend\n"});
  EXPECT_THROW(bad->CreateFromDefinitions(app.Classes()), EDefinitionError);
}

}  // namespace
