// The words the desk says about the journal: counts with the region's thousands separator, the
// question before an undo and the report after it, for changes of one part and of two, and the
// CSV a spreadsheet of the region opens.

#include <gtest/gtest.h>

#include "shared/history_texts.h"

namespace {

shared::HistoryChange confirmation() {
  shared::HistoryChange c;
  c.id = 4;
  c.request = "Adicionar o prefixo \"PROMO \" e colocar na promoção: todos os produtos";
  c.changed = 1800;
  c.unchanged = 200;
  c.namesChanged = 1;
  c.namesUnchanged = 0;
  c.column = "IDPROMOCAO";
  return c;
}

TEST(HistoryTextsTest, TheQuestionAndTheReportCountWhatGoesBackAndWhatStays) {
  EXPECT_EQ(shared::Thousands(0) + " " + shared::Thousands(999) + " " + shared::Thousands(1000) +
                " " + shared::Thousands(1234567),
            "0 999 1.000 1.234.567");
  const shared::HistoryChange c = confirmation();
  EXPECT_EQ(shared::ChangeCounts(c),
            "nomes: 1 alterados, 0 já estavam assim; promoção: 1.800 alterados, 200 já estavam "
            "assim");
  EXPECT_EQ(c.itemCount(), 1801);
  EXPECT_EQ(shared::UndoQuestion(c, {{"NMPRODUTO", 1, 0}, {"IDPROMOCAO", 1799, 1}}),
            "Desfazer a alteração 4 (Adicionar o prefixo \"PROMO \" e colocar na promoção: todos "
            "os produtos)?\n\n1 nome e 1.799 indicadores de promoção voltarão ao valor "
            "anterior.\n1 produto alterado depois ficará como está.");

  shared::UndoResult result;
  result.parts = {{"NMPRODUTO", 5, 1, 0, {}}, {"IDPROMOCAO", 6, 1788, 12, {}}};
  for (int i = 0; i < 12; ++i)
    result.parts[1].leftAlone.push_back({"PRD000000" + std::to_string(i % 10),
                                         i == 0 ? std::nullopt : std::optional<std::string>("N")});
  EXPECT_EQ(shared::UndoReport(c, result),
            "Alteração 4 desfeita (registrada como alteração 6): 1 nome e 1.788 indicadores de "
            "promoção voltaram ao valor anterior.\n\n12 produtos ficaram como estão, porque foram "
            "alterados depois:\nPRD0000000 (não existe mais)\nPRD0000001 (agora \"N\")\n"
            "PRD0000002 (agora \"N\")\nPRD0000003 (agora \"N\")\nPRD0000004 (agora \"N\")\n"
            "PRD0000005 (agora \"N\")\nPRD0000006 (agora \"N\")\nPRD0000007 (agora \"N\")\n"
            "PRD0000008 (agora \"N\")\nPRD0000009 (agora \"N\")\ne mais 2.");

  // A change whose products were discarded, or that recorded no values, has none to show.
  shared::HistoryChange pruned = c;
  pruned.discarded = "2026-06-01 00:00:00.000";
  EXPECT_EQ(pruned.itemCount(), 0);
}

TEST(HistoryTextsTest, CsvQuotesWhatWouldBreakAField) {
  EXPECT_EQ(
      shared::CsvHeader() +
          shared::CsvLine({"PRD0000001", "01010001", "Arroz", "IDPROMOCAO", "N", "S"}) +
          shared::CsvLine({"PRD0000002", "", "", "NMPRODUTO", "Pão; \"francês\"\nkg", "PROMO Pão"}),
      "Produto;Código;Nome;Campo;Antes;Depois\r\n"
      "PRD0000001;01010001;Arroz;Promoção;N;S\r\n"
      "PRD0000002;;;Nome;\"Pão; \"\"francês\"\"\nkg\";PROMO Pão\r\n");
}

}  // namespace
