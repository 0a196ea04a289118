#include <gtest/gtest.h>

#include "data/client_data_set.h"
#include "data_fixture.h"
#include "rtl/exceptions.h"

namespace {

using datatest::addString;
using datatest::dump;
using datatest::stringPacket;

struct Products : ::testing::Test {
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  data::TStringField* code = addString(form, *cds, "CDPRODUTO", 10);
  data::TStringField* name = addString(form, *cds, "NMPRODUTO", 50);

  void load() {
    cds->LoadPacket(stringPacket({{"CDPRODUTO", 10}, {"NMPRODUTO", 50}}, {{"001", "Arroz"},
                                                                          {"002", "Feijao"},
                                                                          {"003 ", "Cafe"},
                                                                          {"abc", std::nullopt},
                                                                          {"", "vazio"}}));
  }
};

TEST_F(Products, LocateFindsOnlyTheWholeExactValue) {
  load();
  cds->Next();
  EXPECT_TRUE(cds->Locate("CDPRODUTO", "003 "));
  EXPECT_EQ(cds->RecNo(), 3);

  // Each miss leaves the current row alone.
  EXPECT_FALSE(cds->Locate("CDPRODUTO", "003"));  // trailing blank differs
  EXPECT_FALSE(cds->Locate("CDPRODUTO", "00"));   // no prefix match
  EXPECT_FALSE(cds->Locate("CDPRODUTO", "ABC"));  // case-sensitive
  EXPECT_FALSE(cds->Locate("NMPRODUTO", "arroz"));
  EXPECT_EQ(cds->RecNo(), 3);
  EXPECT_EQ(code->AsString(), "003 ");

  // A null never equals a non-empty key; it reads as "" and equals the empty key, which
  // finds the first such row.
  EXPECT_TRUE(cds->Locate("NMPRODUTO", "Cafe"));
  EXPECT_EQ(cds->RecNo(), 3);
  EXPECT_TRUE(cds->Locate("NMPRODUTO", ""));
  EXPECT_EQ(cds->RecNo(), 4);
  EXPECT_TRUE(cds->Locate("CDPRODUTO", ""));
  EXPECT_EQ(cds->RecNo(), 5);
  EXPECT_TRUE(cds->Locate("NMPRODUTO", rtl::Variant::Null()));
  EXPECT_EQ(cds->RecNo(), 4);

  // The search starts at the first row whatever the current row.
  cds->Last();
  EXPECT_TRUE(cds->Locate("CDPRODUTO", "001"));
  EXPECT_EQ(cds->RecNo(), 1);
  EXPECT_THROW(cds->Locate("NOPE", "1"), rtl::EDatabaseError);
}

TEST_F(Products, LocatePostsAPendingInsertFirst) {
  load();
  cds->Insert();
  code->SetAsString("009");
  EXPECT_TRUE(cds->Locate("CDPRODUTO", "009"));
  EXPECT_EQ(cds->State(), data::TDataSetState::dsBrowse);
  EXPECT_EQ(cds->RecordCount(), 6);
  EXPECT_EQ(cds->RecNo(), 1);  // inserted before the first row, which was current
}

TEST_F(Products, RepeatedInsertAndPostGivesReverseOrder) {
  cds->CreateDataSet();
  for (const char* c : {"A", "B", "C"}) {
    cds->Insert();
    EXPECT_FALSE(cds->IsEmpty());  // the pending row counts
    code->SetAsString(c);
    cds->Post();
  }
  EXPECT_EQ(dump(*cds), "*C,~;B,~;A,~;");

  // Insert goes before the current row; Append after the last; both stay current after Post.
  cds->Next();
  cds->Insert();
  code->SetAsString("X");
  cds->Post();
  EXPECT_EQ(dump(*cds), "C,~;*X,~;B,~;A,~;");
  cds->Append();
  code->SetAsString("Z");
  cds->Post();
  EXPECT_EQ(dump(*cds), "C,~;X,~;B,~;A,~;*Z,~;");
}

TEST_F(Products, CancelEditAndDeleteChangeOnlyWhatTheySay) {
  load();
  cds->Next();
  cds->Insert();
  code->SetAsString("NEW");
  cds->Cancel();
  EXPECT_EQ(cds->RecNo(), 2);
  EXPECT_EQ(cds->RecordCount(), 5);

  // An insert nothing was written to is dropped by the next move.
  cds->Insert();
  cds->Next();
  EXPECT_EQ(cds->RecordCount(), 5);

  cds->First();
  cds->Edit();
  name->SetAsString("Arroz integral");
  EXPECT_EQ(name->AsString(), "Arroz integral");
  cds->Cancel();
  EXPECT_EQ(name->AsString(), "Arroz");
  cds->Edit();
  name->SetAsString("Arroz integral");
  cds->Post();
  cds->Delete();
  EXPECT_EQ(dump(*cds), "*002,Feijao;003 ,Cafe;abc,~;,vazio;");
  cds->Last();
  cds->Delete();
  EXPECT_EQ(dump(*cds), "002,Feijao;003 ,Cafe;*abc,~;");

  // Writing needs an edit or insert; a required field needs a value to post.
  EXPECT_THROW(name->SetAsString("x"), rtl::EDatabaseError);
  name->SetRequired(true);
  cds->Append();
  code->SetAsString("004");
  EXPECT_THROW(cds->Post(), rtl::EDatabaseError);
  EXPECT_EQ(cds->State(), data::TDataSetState::dsInsert);
  name->SetAsString("Sal");
  cds->Post();
  EXPECT_EQ(dump(*cds), "002,Feijao;003 ,Cafe;abc,~;*004,Sal;");

  cds->EmptyDataSet();
  EXPECT_TRUE(cds->Active());
  EXPECT_TRUE(cds->IsEmpty());
  EXPECT_EQ(dump(*cds), "");
}

TEST_F(Products, NavigationSetsBofAndEof) {
  load();
  std::string seen;
  for (cds->First(); !cds->Eof(); cds->Next()) seen += code->AsString() + "|";
  EXPECT_EQ(seen, "001|002|003 |abc||");
  EXPECT_EQ(cds->RecNo(), 5);
  EXPECT_FALSE(cds->Bof());

  seen.clear();
  for (cds->Last(); !cds->Bof(); cds->Prior()) seen += code->AsString() + "|";
  EXPECT_EQ(seen, "|abc|003 |002|001|");
  EXPECT_EQ(cds->RecNo(), 1);

  cds->MoveTo(3);
  EXPECT_EQ(code->AsString(), "abc");
  EXPECT_THROW(cds->MoveTo(5), rtl::EDatabaseError);

  cds->CreateDataSet();
  cds->First();
  EXPECT_TRUE(cds->Bof());
  EXPECT_TRUE(cds->Eof());
  EXPECT_EQ(cds->RecNo(), 0);
  EXPECT_TRUE(code->IsNull());
}

}  // namespace
