// Restoring a change: every row it changed gets back its value before, rows untouched by it
// stay as they are, rows changed again since (by a journaled change, outside the server, or
// gone) are left alone and reported, and the restore is journaled like a change.

#include "server/storage/journal/restore.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Restore : public StorageTest {
 protected:
  server::Answer update(const std::string& flag, const std::string& list, const std::string& all,
                        const char* table = "001") {
    return call("SetUpdItemPrecoAlt",
                {ref(flag), ref(""), ref(""), ref(list), ref(all), null(), boolean(!list.empty()),
                 str("0001"), str(table), date(2024, 1, 1)});
  }
  server::Answer prefix(const char* method, const std::string& text, const std::string& list,
                        const std::string& all) {
    return call(method, {ref(text), ref(""), ref(""), ref(list), ref(all)});
  }
  server::RestoreOutcome restore(int64_t change) {
    return server::restoreChange(*storage_, change, {"local root@servidor", "root", "servidor"});
  }
  // Every item and every name, the data a restore may touch.
  std::string data() {
    return dump(*storage_,
                "SELECT CDFILIAL, CDTABEPREC, DTINIVGPREC, CDPRODUTO, IDPROMOCAO FROM ITEMPRECO "
                "ORDER BY 1, 2, 3, CDPRODUTO COLLATE \"C\"") +
           names();
  }
  void direct(const std::string& sql, const server::db::Params& params) {
    auto c = storage_->connection();
    c->execute(sql, params);
  }
};

// "restored 3; left alone: AB        =N, PRD0000002=N"
std::string describe(const server::RestoreOutcome& outcome) {
  std::string text = "restored " + std::to_string(outcome.restored) + "; left alone:";
  for (const server::LeftAlone& row : outcome.leftAlone)
    text += " " + row.product + "=" + row.now.value_or("<gone>");
  return text;
}

TEST_P(Restore, ApplyThenRestoreGivesBackEveryTouchedRowExactly) {
  const std::string before = data();
  const std::string list = productList({"PRD0000002", "PRD0000004", "AB        "});
  EXPECT_EQ(dump(update("S", list, "")), "status 0\n");                    // change 1
  EXPECT_EQ(dump(update("S", "", "T", "002")), "status 0\n");              // change 2
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "OF ", "", "T")), "status 0\n");  // change 3
  ASSERT_NE(data(), before);

  // Undone in any order, each change gives back exactly what it changed.
  EXPECT_EQ(describe(restore(3)), "restored 7; left alone:");
  EXPECT_EQ(describe(restore(1)), "restored 3; left alone:");
  EXPECT_EQ(describe(restore(2)), "restored 3; left alone:");
  EXPECT_EQ(data(), before);
  EXPECT_EQ(dump(*storage_,
                 "SELECT ID, DSMETODO, DSCLIENTE, DSUSUARIO, DSMAQUINA, CDFILIAL, CDTABEPREC, "
                 "DTINIVGPREC, DSSELECAO, QTLINHAS, QTINALTERADAS, DSCAMPO, IDRESTAURADA FROM "
                 "ALTERACAOLOG WHERE ID > 3 ORDER BY ID"),
            "4|restore|local root@servidor|root|servidor|~|~|~|{\"alteracao\":3}|7|0|NMPRODUTO|3\n"
            "5|restore|local root@servidor|root|servidor|0001|001|2024-01-01|{\"alteracao\":1}|3|"
            "0|IDPROMOCAO|1\n"
            "6|restore|local root@servidor|root|servidor|0001|002|2024-01-01|{\"alteracao\":2}|3|"
            "0|IDPROMOCAO|2\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT CDPRODUTO, DSANTES, DSDEPOIS FROM ALTERACAOITEM WHERE IDALTERACAO = 5 "
                 "ORDER BY CDPRODUTO COLLATE \"C\""),
            "AB        |S|N\nPRD0000002|S|N\nPRD0000004|S|N\n");
}

TEST_P(Restore, RowsChangedAgainSinceAreLeftAloneAndReported) {
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");  // change 1: five items N -> S
  EXPECT_EQ(dump(update("N", productList({"PRD0000002"}), "")), "status 0\n");  // change 2
  // Outside the server, so not journaled: seen because the value is no longer what change 1
  // wrote. PRD0000005 goes back and forth and holds change 1's value again, but was changed.
  direct("UPDATE ITEMPRECO SET IDPROMOCAO = 'N' WHERE CDPRODUTO = ? AND DTINIVGPREC = ?",
         {"AB        ", "2024-01-01"});
  EXPECT_EQ(dump(update("N", productList({"PRD0000005"}), "")), "status 0\n");  // change 3
  EXPECT_EQ(dump(update("S", productList({"PRD0000005"}), "")), "status 0\n");  // change 4
  // Gone: its item is deleted.
  direct("DELETE FROM ITEMPRECO WHERE CDPRODUTO = ? AND DTINIVGPREC = ? AND CDTABEPREC = ?",
         {"PRD0000004", "2024-01-01", "001"});
  const std::string otherValidity = promotions("0001", "001", "2023-10-01");

  EXPECT_EQ(describe(restore(1)),
            "restored 1; left alone: AB        =N PRD0000002=N PRD0000004=<gone> PRD0000005=S");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"),
            "AB        =N PRD0000001=S PRD0000002=N PRD0000003=N PRD0000005=S");
  EXPECT_EQ(promotions("0001", "001", "2023-10-01"), otherValidity);

  // The second time every row is left alone: the first restore changed them since.
  EXPECT_EQ(describe(restore(1)),
            "restored 0; left alone: AB        =N PRD0000002=N PRD0000003=N PRD0000004=<gone> "
            "PRD0000005=S");
  // Restoring the restore puts its one row back.
  EXPECT_EQ(describe(restore(5)), "restored 1; left alone:");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"),
            "AB        =N PRD0000001=S PRD0000002=N PRD0000003=S PRD0000005=S");
  EXPECT_EQ(dump(*storage_,
                 "SELECT ID, QTLINHAS, QTINALTERADAS, IDRESTAURADA FROM ALTERACAOLOG WHERE "
                 "DSMETODO = 'restore' ORDER BY ID"),
            "5|1|4|1\n6|0|5|1\n7|1|0|5\n");
}

TEST_P(Restore, NameChangesAreLeftAloneWhenALaterPrefixChangeTouchedThem) {
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "A ", "", "T")), "status 0\n");  // change 1
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "B ", productList({"PRD0000003"}), "")),
            "status 0\n");  // change 2
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "B ", productList({"PRD0000003"}), "")),
            "status 0\n");  // change 3: the name is what change 1 wrote again
  EXPECT_EQ(describe(restore(1)), "restored 6; left alone: PRD0000003=A Feijão carioca");
  EXPECT_EQ(names(),
            "AB        |Sabão em pó\n"
            "PRD0000001|Café torrado\n"
            "PRD0000002|Açúcar refinado\n"
            "PRD0000003|A Feijão carioca\n"
            "PRD0000004|Arroz agulhinha\n"
            "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
            "PRD0000007|Óleo de soja\n");
}

TEST_P(Restore, ChangesThatCannotBeRestoredAreRefusedAndChangeNothing) {
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");
  // A change recorded before the journal existed has no values.
  direct(
      "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, DSSELECAO, QTLINHAS) VALUES "
      "(?, 'x', 'SetAddPrefixo', '{}', 3)",
      {"2023-01-01 00:00:00.000"});
  const std::string before = wholeState();
  auto message = [&](int64_t change) -> std::string {
    try {
      restore(change);
      return "restored";
    } catch (const server::RestoreError& error) {
      return error.what();
    }
  };
  EXPECT_EQ(message(99), "change 99 does not exist");
  EXPECT_EQ(message(2), "change 2 has no recorded values to restore");
  EXPECT_EQ(wholeState(), before);
}

INSTANTIATE_TEST_SUITE_P(Engines, Restore,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
