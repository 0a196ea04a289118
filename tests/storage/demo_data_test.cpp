// The demo data set: its shape, its validity periods around the day it is made for, and that
// the same day and size give the same data.

#include "server/storage/demo_data.h"
#include "rtl/dates.h"
#include "server/object/tabe_preco_object.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class DemoData : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    database_ = std::make_unique<TestDatabase>(GetParam());
    ASSERT_TRUE(database_->error().empty()) << database_->error();
    storage_ = server::openStorage(database_->target());
  }
  void fill(int products, rtl::TDateTime today) {
    auto c = storage_->connection();
    server::fillDemo(*c, products, today);
  }
  std::string everything() {
    return dump(*storage_, "SELECT * FROM SEGMER ORDER BY 1") +
           dump(*storage_, "SELECT * FROM GRPRODPDV ORDER BY 1") +
           dump(*storage_, "SELECT * FROM FILIAL ORDER BY 1") +
           dump(*storage_, "SELECT * FROM PRODUTO ORDER BY 1") +
           dump(*storage_, "SELECT * FROM TABEPREC ORDER BY 1, 2") +
           dump(*storage_, "SELECT * FROM TABEVEND ORDER BY 1, 2, 3") +
           dump(*storage_,
                "SELECT CDFILIAL, CDTABEPREC, DTINIVGPREC, CDPRODUTO, CAST(VRPRECITEM * 100 AS "
                "INTEGER), IDPROMOCAO FROM ITEMPRECO ORDER BY 1, 2, 3, 4");
  }

  std::unique_ptr<TestDatabase> database_;
  std::unique_ptr<server::Storage> storage_;
};

TEST_P(DemoData, HasBranchesTablesPeriodsAroundTodayAndItems) {
  const rtl::TDateTime today = rtl::EncodeDate(2024, 5, 15);
  fill(300, today);
  EXPECT_EQ(dump(*storage_, "SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL COLLATE \"C\""),
            "0001\n0002\n0003\nA1B2\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*), MIN(CDTABEPREC), MAX(CDTABEPREC) FROM TABEPREC GROUP BY "
                 "CDFILIAL ORDER BY CDFILIAL COLLATE \"C\""),
            "3|001|003\n3|001|003\n3|001|003\n3|001|003\n");
  // Every table has one period in force today, one ended and one to come (the main table an
  // older one too), none overlapping.
  const std::string day = "'2024-05-15'";
  EXPECT_EQ(dump(*storage_,
                 "SELECT SUM(CASE WHEN DTFINVGPREC < " + day + " THEN 1 ELSE 0 END), " +
                     "SUM(CASE WHEN DTINIVGPREC <= " + day + " AND DTFINVGPREC >= " + day +
                     " THEN 1 ELSE 0 END), SUM(CASE WHEN DTINIVGPREC > " + day +
                     " THEN 1 ELSE 0 END) FROM TABEVEND GROUP BY CDFILIAL, CDTABEPREC ORDER BY "
                     "CDFILIAL COLLATE \"C\", CDTABEPREC COLLATE \"C\" LIMIT 2"),
            "2|1|1\n1|1|1\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*) FROM TABEVEND a JOIN TABEVEND b ON a.CDFILIAL = b.CDFILIAL AND "
                 "a.CDTABEPREC = b.CDTABEPREC AND a.DTINIVGPREC < b.DTINIVGPREC AND "
                 "a.DTFINVGPREC >= b.DTINIVGPREC"),
            "0\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*), MIN(length(CDPRODUTO)), MAX(length(CDPRODUTO)), "
                 "MIN(length(CDARVPROD)), MAX(length(CDARVPROD)), MAX(length(NMPRODUTO)) FROM "
                 "PRODUTO"),
            "300|10|10|8|8|43\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDPRODUTO IN "
                 "('PRD0000001', 'PRD0000012', 'PRD0000013', 'PRD0000300') ORDER BY 1"),
            "PRD0000001|01000001|Café torrado e moído Bom Preço 500 g\n"
            "PRD0000012|12000001|Papel higiênico folha dupla Bom Preço 500 g\n"
            "PRD0000013|01010001|Café torrado e moído São Jorge 500 g\n"
            "PRD0000300|12240001|Papel higiênico folha dupla Bom Preço 2 L\n");
  // 37 periods of 300 items each; some items in promotion.
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*), COUNT(DISTINCT CDFILIAL || CDTABEPREC || DTINIVGPREC), "
                 "SUM(CASE WHEN IDPROMOCAO = 'S' THEN 1 ELSE 0 END) FROM ITEMPRECO"),
            "11100|37|1110\n");

  // The periods through the object, in the client's format. A1B2/003 is the 12th table, shifted
  // by 6 days: ended 114 days before today, in force from 24 days before to 23 days after.
  const server::TabePrecoObject object(*storage_);
  EXPECT_EQ(
      dump(callThroughEdge(object, "getVigencia",
                           {str("A1B2"), str("003"), integer(0), str("T"), ref("dd/mm/yyyy")}, {})),
      "status 0\nDTINIVGPREC:string:30|DTFINVGPREC:string:30\n"
      "22/01/2024|20/04/2024\n21/04/2024|07/06/2024\n08/06/2024|06/08/2024\n");
}

TEST_P(DemoData, TheSameDayAndSizeGiveTheSameDataAndAFillReplacesTheLast) {
  fill(40, rtl::EncodeDate(2024, 5, 15));
  const std::string first = everything();
  fill(7, rtl::EncodeDate(2020, 1, 1));
  EXPECT_NE(everything(), first);
  fill(40, rtl::EncodeDate(2024, 5, 15));
  EXPECT_EQ(everything(), first);
}

TEST_P(DemoData, LargeSetsKeepMinorPeriodsSmall) {
  fill(6000, rtl::EncodeDate(2024, 5, 15));
  EXPECT_EQ(dump(*storage_,
                 "SELECT CDFILIAL, CDTABEPREC, COUNT(*) FROM ITEMPRECO WHERE CDFILIAL = '0001' "
                 "GROUP BY CDFILIAL, CDTABEPREC, DTINIVGPREC ORDER BY 2, DTINIVGPREC"),
            "0001|001|6000\n0001|001|6000\n0001|001|6000\n0001|001|6000\n"
            "0001|002|5000\n0001|002|5000\n0001|002|5000\n"
            "0001|003|5000\n0001|003|5000\n0001|003|5000\n");
  auto c = storage_->connection();
  EXPECT_THROW(server::fillDemo(*c, -1, 0), server::StorageError);
}

INSTANTIATE_TEST_SUITE_P(Engines, DemoData,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
