// The text rules of the server object that need no database: product selection lists,
// selections, tree-code normalisation, the short date format, UTF-8 checks.

#include <gtest/gtest.h>

#include "server/object/answer_date_text.h"
#include "server/object/arg_checks.h"
#include "server/object/refused.h"
#include "server/object/selection.h"
#include "server/storage/clean_text.h"
#include "server/storage/db/pg_connection.h"
#include "server/storage/tree_code.h"

namespace {

using server::Refused;
using server::Selection;

// The codes of a list joined by "|", or "refused: <message>".
std::string listed(std::string_view list) {
  try {
    std::string out;
    for (const std::string& code : server::parseProductList(list)) out += code + "|";
    return out;
  } catch (const Refused& refusal) {
    return std::string("refused: ") + refusal.what();
  }
}

std::string selected(const std::string& first, const std::string& last, const std::string& list,
                     const std::string& all) {
  try {
    const Selection s = server::parseSelection({first, last, list, all});
    switch (s.mode) {
      case Selection::Mode::All:
        return "all";
      case Selection::Mode::Range:
        return "range " + s.first + ".." + s.last;
      case Selection::Mode::List: {
        std::string out = "list";
        for (const std::string& code : s.codes) out += " [" + code + "]";
        return out;
      }
    }
  } catch (const Refused& refusal) {
    return std::string("refused: ") + refusal.what();
  }
  return "?";
}

TEST(ProductList, EntriesAreTenCharactersEachClosedByAnUnderscore) {
  const std::string bad = "refused: Lista de produtos inválida.";
  EXPECT_EQ(listed("_PRD0000001_"), "PRD0000001|");
  EXPECT_EQ(listed("_PRD0000001_AB        _PRD0000001_"), "PRD0000001|AB        |PRD0000001|");
  EXPECT_EQ(listed("_AB_CD_EF_G_"), "AB_CD_EF_G|") << "an underscore inside a code";
  EXPECT_EQ(listed("_AÇÃO123456_"), "AÇÃO123456|") << "characters, not bytes";
  EXPECT_EQ(listed(""), bad);
  EXPECT_EQ(listed("_"), bad);
  EXPECT_EQ(listed("__"), bad);
  EXPECT_EQ(listed("PRD0000001"), bad);
  EXPECT_EQ(listed("PRD0000001_"), bad);
  EXPECT_EQ(listed("_PRD0000001"), bad);
  EXPECT_EQ(listed("_PRD000001_"), bad);
  EXPECT_EQ(listed("_PRD00000001_"), bad);
  EXPECT_EQ(listed("_PRD0000001_X"), bad);
  EXPECT_EQ(listed("_PRD0000001__"), bad);
  EXPECT_EQ(listed("_          _"), bad);
}

TEST(Selection, ExactlyOneWayMustBeFilledIn) {
  EXPECT_EQ(selected("", "", "", "T"), "all");
  EXPECT_EQ(selected("", "", "_PRD0000002_PRD0000001_PRD0000002_", ""),
            "list [PRD0000002] [PRD0000001]");
  EXPECT_EQ(selected("01.02-0001", " 01 03 ", "", ""), "range 01020001..0103");
  EXPECT_EQ(selected("0103", "0103", "", ""), "range 0103..0103");
  EXPECT_EQ(selected("", "", "", ""),
            "refused: Nenhum produto selecionado: informe todos, uma lista ou um intervalo de "
            "produtos.");
  const std::string several =
      "refused: Informe os produtos de uma única forma: todos, lista ou intervalo.";
  EXPECT_EQ(selected("01", "", "", "T"), several);
  EXPECT_EQ(selected("", "", "_PRD0000001_", "T"), several);
  EXPECT_EQ(selected("", "02", "_PRD0000001_", ""), several);
  EXPECT_EQ(selected("", "", "", "t"),
            "refused: Indicador de todos inválido: deve ser \"T\" ou vazio.");
  EXPECT_EQ(selected("", "", "", " "),
            "refused: Indicador de todos inválido: deve ser \"T\" ou vazio.");
  EXPECT_EQ(selected("01", "", "", ""), "refused: Produto final deve ser informado.");
  EXPECT_EQ(selected("...", "02", "", ""), "refused: Produto inicial deve ser informado.");
  // Byte order of the normalised codes: "0103" < "01030" < "0104"; "Z" < "a".
  EXPECT_EQ(selected("01030", "0103", "", ""),
            "refused: Produto inicial deve ser menor ou igual que produto final.");
  EXPECT_EQ(selected("Z9", "a0", "", ""), "range Z9..a0");
}

TEST(TreeCode, NormalisationKeepsOnlyAsciiLettersAndDigits) {
  EXPECT_EQ(server::normalizeTreeCode("01.02.0001"), "01020001");
  EXPECT_EQ(server::normalizeTreeCode(" 01 02_0001 / "), "01020001");
  EXPECT_EQ(server::normalizeTreeCode("Ab-9ç\xc3\xa9z"), "Ab9z");
  EXPECT_EQ(server::normalizeTreeCode("..--"), "");
}

TEST(ShortDateFormat, TokensAreMatchedLongestFirstAndOtherCharactersCopied) {
  auto format = [](const char* f, int y, int m, int d) {
    return server::formatShortDate(f, y, m, d).value_or("<none>");
  };
  EXPECT_EQ(format("dd/mm/yyyy", 2024, 1, 5), "05/01/2024");
  EXPECT_EQ(format("mm/dd/yy", 2024, 1, 5), "01/05/24");
  EXPECT_EQ(format("yyyy-mm-dd", 987, 11, 25), "0987-11-25");
  EXPECT_EQ(format("d/m/yy", 2009, 3, 7), "7/3/09");
  EXPECT_EQ(format("Dd.Mm.YyYy", 2024, 12, 31), "31.12.2024");
  EXPECT_EQ(format("yyy|y|ddd", 2024, 2, 9), "24y|y|099") << "runs split into tokens";
  EXPECT_EQ(format("dia d de m", 2024, 2, 9), "9ia 9 9e 2") << "letters of tokens are tokens";
  EXPECT_EQ(format("", 2024, 1, 1), "<none>");
  EXPECT_EQ(format("dd/mm/yyyy dd/mm/yyyy dd/mm/yyyy", 2024, 1, 1), "<none>");
  EXPECT_EQ(format("yyyy-mm-dd yyyy-mm-dd yyyy", 2024, 1, 1), "2024-01-01 2024-01-01 2024");
  EXPECT_EQ(server::formatShortDate(std::string(1 << 20, '/'), 2024, 1, 1), std::nullopt);
}

TEST(ArgChecks, CleanTextIsUtf8WithoutNul) {
  EXPECT_TRUE(server::isCleanText(""));
  EXPECT_TRUE(server::isCleanText("Ação \xf0\x9f\x98\x80"));
  EXPECT_FALSE(server::isCleanText(std::string("a\0b", 3)));
  EXPECT_FALSE(server::isCleanText("\xc3"));              // cut short
  EXPECT_FALSE(server::isCleanText("\xc3("));             // bad continuation
  EXPECT_FALSE(server::isCleanText("\xc0\xaf"));          // overlong
  EXPECT_FALSE(server::isCleanText("\xed\xa0\x80"));      // surrogate
  EXPECT_FALSE(server::isCleanText("\xf4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(server::isCleanText("\xff"));
  EXPECT_EQ(server::isoDay(45292.99), "2024-01-01");
  EXPECT_EQ(server::isoDay(0), "1899-12-30");
  EXPECT_EQ(server::isoDay(-693593), "0001-01-01");
  EXPECT_EQ(server::isoDay(-693593.5), std::nullopt) << "the day before, at noon";
  EXPECT_EQ(server::isoDay(1e300), std::nullopt);
}

TEST(SqlText, PlaceholdersAreNumberedOutsideQuotes) {
  int count = 0;
  EXPECT_EQ(server::db::PgConnection::numberPlaceholders(
                "SELECT '?', \"a?\", ? FROM t WHERE x = ? AND y = '''?'", &count),
            "SELECT '?', \"a?\", $1 FROM t WHERE x = $2 AND y = '''?'");
  EXPECT_EQ(count, 2);
}

}  // namespace
