// The five methods that answer with rows, on every engine.

#include <limits>

#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Lookups : public StorageTest {};

constexpr const char* kFilialFields =
    "CDFILIAL:string:4|NMFILIAL:string:30|CDSEGMER:string:5|SEGMENTO:string:48|"
    "IDPRECDIFCOM:string:1|CDGRPRODPDV:string:10|GRUPOPROD:string:53|IDUTMODPRODFIL:string:1\n";

TEST_P(Lookups, GetFilialAnswersOneBranchAllBranchesOrNone) {
  EXPECT_EQ(dump(call("GetFilial", {str("0001"), str("")})),
            std::string("status 0\n") + kFilialFields +
                "0001|Matriz São Paulo|10|10 - Supermercados|N|GRP01|GRP01 - Mercearia|S\n");
  // All branches by code in byte order; the code is ignored; a branch without segment or
  // group has nulls there.
  EXPECT_EQ(dump(call("GetFilial", {str("0001"), str("T")})),
            std::string("status 0\n") + kFilialFields +
                "0001|Matriz São Paulo|10|10 - Supermercados|N|GRP01|GRP01 - Mercearia|S\n"
                "A1B2|Loja Conceito Curitiba|~|~|S|~|~|N\n");
  const std::string none = std::string("status 0\n") + kFilialFields;
  EXPECT_EQ(dump(call("GetFilial", {str("0002"), str("")})), none);
  EXPECT_EQ(dump(call("GetFilial", {str(""), str("")})), none);
  EXPECT_EQ(dump(call("GetFilial", {str("0001 "), str("")})), none) << "wider than the code";
  EXPECT_EQ(dump(call("GetFilial", {str("001"), str("")})), none) << "narrower than the code";
  EXPECT_EQ(dump(call("GetFilial", {str("a1b2"), str("")})), none) << "codes compare exactly";
  // Any flag but "T" asks for the one branch.
  EXPECT_EQ(dump(call("GetFilial", {str("0001"), str("t")})),
            std::string("status 0\n") + kFilialFields +
                "0001|Matriz São Paulo|10|10 - Supermercados|N|GRP01|GRP01 - Mercearia|S\n");
}

TEST_P(Lookups, GetTabePrecAnswersTheTablesOfTheBranchInCodeOrder) {
  const std::string fields = "CDFILIAL:string:4|CDTABEPREC:string:3|NMTABEPREC:string:20\n";
  EXPECT_EQ(dump(call("GetTabePrec", {str("0001")})),
            "status 0\n" + fields + "0001|001|Varejo\n0001|002|Atacado\n");
  EXPECT_EQ(dump(call("GetTabePrec", {str("A1B2")})),
            "status 0\n" + fields + "A1B2|001|Conceito\n");
  EXPECT_EQ(dump(call("GetTabePrec", {str("9999")})), "status 0\n" + fields);
  EXPECT_EQ(dump(call("GetTabePrec", {str("")})), "status 0\n" + fields);
}

TEST_P(Lookups, GetVigenciaWritesDatesInTheClientFormatInChronologicalOrder) {
  const std::string fields = "DTINIVGPREC:string:30|DTFINVGPREC:string:30\n";
  auto all = [&](const std::string& format) {
    return dump(call("getVigencia", {str("0001"), str("001"), integer(0), str("T"), ref(format)}));
  };
  EXPECT_EQ(all("dd/mm/yyyy"), "status 0\n" + fields +
                                   "01/10/2023|31/12/2023\n"
                                   "01/01/2024|31/03/2024\n"
                                   "01/04/2024|31/12/2024\n");
  EXPECT_EQ(all("mm/dd/yy"), "status 0\n" + fields +
                                 "10/01/23|12/31/23\n"
                                 "01/01/24|03/31/24\n"
                                 "04/01/24|12/31/24\n");
  EXPECT_EQ(all("yyyy-mm-dd"), "status 0\n" + fields +
                                   "2023-10-01|2023-12-31\n"
                                   "2024-01-01|2024-03-31\n"
                                   "2024-04-01|2024-12-31\n");
  EXPECT_EQ(all("d.m.yyyy"), "status 0\n" + fields +
                                 "1.10.2023|31.12.2023\n"
                                 "1.1.2024|31.3.2024\n"
                                 "1.4.2024|31.12.2024\n");
  EXPECT_EQ(all("DD/MM/YYYY"), "status 0\n" + fields +
                                   "01/10/2023|31/12/2023\n"
                                   "01/01/2024|31/03/2024\n"
                                   "01/04/2024|31/12/2024\n");
}

TEST_P(Lookups, GetVigenciaFindsOnePeriodByItsStartDay) {
  const std::string fields = "DTINIVGPREC:string:30|DTFINVGPREC:string:30\n";
  auto one = [&](const Arg& start, const std::string& all = "") {
    return dump(call("getVigencia", {str("0001"), str("001"), start, str(all), ref("dd/mm/yyyy")}));
  };
  const std::string january = "status 0\n" + fields + "01/01/2024|31/03/2024\n";
  EXPECT_EQ(one(date(2024, 1, 1)), january);
  EXPECT_EQ(one(date(2024, 1, 1, 0.75)), january) << "the time of day is ignored";
  EXPECT_EQ(one(date(2024, 1, 2)), "status 0\n" + fields) << "a day inside is not a start";
  // An integer is a day count: 0 is 1899-12-30, and 2024-01-01 is day 45292.
  EXPECT_EQ(one(integer(0)), "status 0\n" + fields);
  EXPECT_EQ(one(integer(45292)), january);
  EXPECT_EQ(one(integer(-999999999)), "status 0\n" + fields);
  // With "T" the start is ignored, whatever it is.
  EXPECT_EQ(one(date(2024, 1, 1), "T"), one(integer(0), "T"));
  EXPECT_EQ(
      dump(call("getVigencia", {str("A1B2"), str("001"), integer(7), str("T"), ref("yyyy-mm-dd")})),
      "status 0\n" + fields + "2024-02-10|2024-02-20\n");
  EXPECT_EQ(
      dump(call("getVigencia", {str("0001"), str("009"), integer(0), str("T"), ref("yyyy-mm-dd")})),
      "status 0\n" + fields);
}

TEST_P(Lookups, GetVigenciaRefusesFormatsThatCannotBeRead) {
  const std::string refused = "status 1 Formato de data inválido.\n";
  auto with = [&](const std::string& format) {
    return dump(call("getVigencia", {str("0001"), str("001"), integer(0), str("T"), ref(format)}));
  };
  EXPECT_EQ(with(""), refused);
  EXPECT_EQ(with("dd/mm/yyyy dd/mm/yyyy dd/mm/yyyy"), refused) << "longer than 30 characters";
  EXPECT_EQ(with("'Início' dd/mm/yyyy"),
            "status 0\nDTINIVGPREC:string:30|DTFINVGPREC:string:30\n"
            "'Início' 01/10/2023|'Início' 31/12/2023\n"
            "'Início' 01/01/2024|'Início' 31/03/2024\n"
            "'Início' 01/04/2024|'Início' 31/12/2024\n");
  // Any flag but "T" asks for the period starting on the day given: none starts on day 0.
  EXPECT_EQ(dump(call("getVigencia", {str("0001"), str("001"), integer(0), str("x"), ref("dd")})),
            "status 0\nDTINIVGPREC:string:30|DTFINVGPREC:string:30\n");
}

TEST_P(Lookups, GetAutItemPrecoAnswersTheItemsOfTheValidityByTreeCode) {
  const std::string fields =
      "IDMARCADO:string:1|CDPRODUTO:string:10|CDARVPROD:string:20|NMPRODUTO:string:50\n";
  // "0103-0002" sorts before "01030001" ('-' is below '0'); the blank-padded code keeps its
  // blanks.
  EXPECT_EQ(dump(call("GetAutItemPreco", {str("0001"), str("001"), date(2024, 1, 1)})),
            "status 0\n" + fields +
                "~|PRD0000001|01020001|Café torrado\n"
                "~|PRD0000002|01020002|Açúcar refinado\n"
                "~|PRD0000004|0103-0002|Arroz agulhinha\n"
                "~|PRD0000003|01030001|Feijão carioca\n"
                "~|PRD0000005|02010001|Papel higiênico folha dupla neutro 30m com 12\n"
                "~|AB        |02010002|Sabão em pó\n");
  EXPECT_EQ(dump(call("GetAutItemPreco", {str("0001"), str("002"), date(2024, 1, 1)})),
            "status 0\n" + fields +
                "~|PRD0000001|01020001|Café torrado\n"
                "~|PRD0000002|01020002|Açúcar refinado\n"
                "~|PRD0000003|01030001|Feijão carioca\n");
  EXPECT_EQ(dump(call("GetAutItemPreco", {str("0001"), str("001"), date(2024, 4, 1)})),
            "status 0\n" + fields);
  EXPECT_EQ(dump(call("GetAutItemPreco", {str("0001"), str("01"), date(2024, 1, 1)})),
            "status 0\n" + fields);
}

TEST_P(Lookups, GetProdValidMatchesNormalisedTreeCodes) {
  const std::string fields = "CDPRODUTO:string:10|CDARVPROD:string:20|NMPRODUTO:string:50\n";
  auto valid = [&](const std::string& text, int day = 1) {
    return dump(call("GetProdValid", {str("0001"), str("001"), date(2024, 1, day), str(text)}));
  };
  const std::string coffee = "status 0\n" + fields + "PRD0000001|01020001|Café torrado\n";
  const std::string rice = "status 0\n" + fields + "PRD0000004|0103-0002|Arroz agulhinha\n";
  const std::string none = "status 0\n" + fields;
  EXPECT_EQ(valid("01020001"), coffee);
  EXPECT_EQ(valid("01.02.0001"), coffee) << "mask literals";
  EXPECT_EQ(valid("01 02 0001   "), coffee) << "blanks";
  EXPECT_EQ(valid("01.03.0002"), rice) << "a literal in the stored code too";
  EXPECT_EQ(valid("01030002"), rice);
  EXPECT_EQ(valid("0103000"), none) << "no prefix match";
  EXPECT_EQ(valid("02010003"), none) << "a product that is not an item of the validity";
  EXPECT_EQ(valid("01020001", 2), none) << "no validity starts that day";
  EXPECT_EQ(valid(" .  . "), none) << "nothing left after normalisation";
  EXPECT_EQ(valid(""), none);
}

TEST_P(Lookups, TextWithNulIsRefusedAndTextNotUtf8OrWrongKindsAreProtocolErrors) {
  try {
    call("GetFilial", {str("00\xff"
                           "1"),
                       str("")});
    ADD_FAILURE() << "text that is not UTF-8 was accepted";
  } catch (const server::CallError& error) {
    EXPECT_STREQ(error.what(), "GetFilial: argumento 1 inválido");
  }
  EXPECT_EQ(dump(call("GetProdValid", {str("0001"), str("001"), date(2024, 1, 1),
                                       str(std::string("0102\0"
                                                       "0001",
                                                       9))})),
            "status 1 Texto inválido no argumento 4.\n");
  try {
    call("GetAutItemPreco", {str("0001"), str("001"), integer(45292)});
    ADD_FAILURE() << "an integer start of GetAutItemPreco was accepted";
  } catch (const server::CallError& error) {
    EXPECT_EQ(error.code(), 400);
    EXPECT_STREQ(error.what(), "GetAutItemPreco: argumento 3 inválido");
  }
  try {
    call("GetTabePrec", {str("0001"), str("001")});
    ADD_FAILURE() << "an extra argument was accepted";
  } catch (const server::CallError& error) {
    EXPECT_STREQ(error.what(), "GetTabePrec: argumento 2 inválido");
  }
  // A date that is no day never reaches a method.
  try {
    call("GetAutItemPreco",
         {str("0001"), str("001"), Arg::FromDate(std::numeric_limits<double>::quiet_NaN())});
    ADD_FAILURE() << "a NaN date was accepted";
  } catch (const server::CallError& error) {
    EXPECT_STREQ(error.what(), "GetAutItemPreco: argumento 3 inválido");
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, Lookups,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
