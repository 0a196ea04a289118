// The journal the change methods write: who changed what, the value before and after of every
// row changed, changed and unchanged counts, and nothing rewritten when a row is in the
// requested state already. Also the upgrade of a journal table made before these columns.

#include "server/object/tabe_preco_object.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/record.h"
#include "server/storage/schema.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

server::Answer callOn(server::ServerObject& object, const std::string& method,
                      const server::CallContext& context, const Args& args) {
  return callThroughEdge(object, method, args, context);
}

class Journal : public StorageTest {
 protected:
  server::Answer update(const std::string& flag, const std::string& list, const std::string& all,
                        const server::CallContext& who = {"127.0.0.1:50000", "ana", "caixa1"}) {
    return call("SetUpdItemPrecoAlt",
                {ref(flag), ref(""), ref(""), ref(list), ref(all), null(), boolean(!list.empty()),
                 str("0001"), str("001"), date(2024, 1, 1)},
                who);
  }
  server::Answer prefix(const char* method, const std::string& text, const std::string& first,
                        const std::string& last, const std::string& all) {
    return call(method, {ref(text), ref(first), ref(last), ref(""), ref(all)});
  }
  // The journal rows without time and selection: id|method|user|machine|header|changed|
  // unchanged|column|restored.
  std::string journal() {
    return dump(*storage_,
                "SELECT ID, DSMETODO, DSUSUARIO, DSMAQUINA, CDFILIAL, CDTABEPREC, DTINIVGPREC, "
                "QTLINHAS, QTINALTERADAS, DSCAMPO, IDRESTAURADA FROM ALTERACAOLOG ORDER BY ID");
  }
  std::string items() {
    return dump(*storage_,
                "SELECT IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS FROM ALTERACAOITEM ORDER BY "
                "IDALTERACAO, CDPRODUTO COLLATE \"C\"");
  }
};

TEST_P(Journal, AnUpdateRecordsEveryChangedItemAndASecondIdenticalRunWritesNothing) {
  const std::string otherValidity = promotions("0001", "001", "2023-10-01");
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");
  const std::string once =
      "AB        =S PRD0000001=S PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=S";
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"), once);
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"), once);
  EXPECT_EQ(promotions("0001", "001", "2023-10-01"), otherValidity);

  // PRD0000001 was in promotion already: five changed, one unchanged; then none and six.
  EXPECT_EQ(journal(),
            "1|SetUpdItemPrecoAlt|ana|caixa1|0001|001|2024-01-01|5|1|IDPROMOCAO|~\n"
            "2|SetUpdItemPrecoAlt|ana|caixa1|0001|001|2024-01-01|0|6|IDPROMOCAO|~\n");
  EXPECT_EQ(items(),
            "1|AB        |N|S\n"
            "1|PRD0000002|N|S\n"
            "1|PRD0000003|N|S\n"
            "1|PRD0000004|N|S\n"
            "1|PRD0000005|N|S\n");

  // The same through the reader the command line uses.
  auto c = storage_->connection();
  const auto entries = server::listChanges(*c, std::nullopt);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].client, "127.0.0.1:50000 ana@caixa1");
  EXPECT_EQ(entries[0].selection,
            "{\"promocao\":\"S\",\"inicial\":\"\",\"final\":\"\",\"lista\":\"\",\"todos\":\"T\","
            "\"modoLista\":false}");
  EXPECT_EQ(entries[0].when.size(), 23u) << entries[0].when;
  EXPECT_EQ(entries[1].changed, 0);
  EXPECT_EQ(entries[1].unchanged, 6);
  EXPECT_EQ(server::changeItems(*c, 2).size(), 0u);
  const auto first = server::changeItems(*c, 1);
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0].product + "|" + first[0].before + "|" + first[0].after, "AB        |N|S");
}

TEST_P(Journal, PrefixChangesRecordNamesAndCountWhatTheyLeftAsItWas) {
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "PROMO ", "01.02.0002", "01.03.0001", "")), "status 0\n");
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "PROMO ", "01.02.0002", "01.03.0001", "")), "status 0\n");
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "PROMO ", "", "", "T")), "status 0\n");
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "  ", "", "", "T")), "status 0\n");
  EXPECT_EQ(journal(),
            "1|SetAddPrefixo|ana|caixa1|~|~|~|2|0|NMPRODUTO|~\n"
            "2|SetAddPrefixo|ana|caixa1|~|~|~|0|2|NMPRODUTO|~\n"
            "3|SetDelPrefixo|ana|caixa1|~|~|~|2|5|NMPRODUTO|~\n"
            "4|SetDelPrefixo|ana|caixa1|~|~|~|0|7|NMPRODUTO|~\n");
  EXPECT_EQ(items(),
            "1|PRD0000002|Açúcar refinado|PROMO Açúcar refinado\n"
            "1|PRD0000003|Feijão carioca|PROMO Feijão carioca\n"
            "3|PRD0000002|PROMO Açúcar refinado|Açúcar refinado\n"
            "3|PRD0000003|PROMO Feijão carioca|Feijão carioca\n");
}

TEST_P(Journal, TheCallersOwnNamesAreStoredCleanAndShort) {
  // An old client says nothing about itself; another sends bytes that are not UTF-8 and a
  // user name far too long (cut on a character boundary).
  std::string longName;
  for (int i = 0; i < 80; ++i) longName += "é";
  EXPECT_EQ(dump(update("N", productList({"PRD0000001"}), "", {"10.0.0.7:4000", "", ""})),
            "status 0\n");
  EXPECT_EQ(dump(update("S", productList({"PRD0000001"}), "",
                        {"10.0.0.8:4000", longName, std::string("pc\xff\0x", 5)})),
            "status 0\n");
  EXPECT_EQ(dump(*storage_, "SELECT DSCLIENTE, DSUSUARIO, DSMAQUINA FROM ALTERACAOLOG ORDER BY ID"),
            "10.0.0.7:4000|~|~\n"
            "10.0.0.8:4000 " +
                longName + "@pc??x|" + longName.substr(0, 100) + "|pc??x\n");
}

TEST_P(Journal, ARefusedChangeLeavesNoTraceInTheJournal) {
  const std::string before = wholeState();
  EXPECT_EQ(dump(update("X", "", "T")),
            "status 1 Indicador de promoção inválido: deve ser \"S\" ou \"N\".\n");
  EXPECT_EQ(dump(update("S", productList({"PRD0000007"}), "")),
            "status 1 Produto \"PRD0000007\" não pertence à vigência da tabela de preço.\n");
  EXPECT_EQ(dump(call("SetAddPrefixo", {ref("ABCDEF "), ref(""), ref(""), ref(""), ref("T")})),
            "status 1 O nome do produto \"PRD0000005\" ficaria com mais de 50 caracteres com o "
            "prefixo.\n");
  EXPECT_EQ(wholeState(), before);
}

TEST_P(Journal, ChangesMadeWithoutTheJournalKeepTheirCountOfChangedRowsOnly) {
  // The switch exists for the benchmark: such a change records no values and no column.
  server::StorageOptions options;
  options.journal = false;
  auto bare = server::openStorage(database_->target(), options);
  auto object = std::make_unique<server::TabePrecoObject>(*bare);
  const server::Answer answer = callOn(*object, "SetUpdItemPrecoAlt", {"127.0.0.1:1", "", ""},
                                       {ref("S"), ref(""), ref(""), ref(""), ref("T"), null(),
                                        boolean(false), str("0001"), str("001"), date(2024, 1, 1)});
  EXPECT_EQ(dump(answer), "status 0\n");
  EXPECT_EQ(journal(), "1|SetUpdItemPrecoAlt|~|~|0001|001|2024-01-01|5|0|~|~\n");
  EXPECT_EQ(items(), "");
}

INSTANTIATE_TEST_SUITE_P(Engines, Journal,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

// A database whose audit table predates the journal gets the journal's columns and table from
// createSchema, keeps its rows, and takes new changes.
class JournalUpgrade : public ::testing::TestWithParam<Backend> {};

TEST_P(JournalUpgrade, CreateSchemaAddsTheJournalToAnOlderAuditTable) {
  TestDatabase database(GetParam());
  ASSERT_TRUE(database.error().empty()) << database.error();
  auto storage = server::openStorage(database.target());
  {
    auto c = storage->connection();
    createOldAuditTable(*c, "");
    c->run(
        "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, DSSELECAO, QTLINHAS) VALUES "
        "('2023-05-01 10:00:00.000', '10.0.0.1:5000', 'SetAddPrefixo', '{}', 3)");
  }
  // Neither served nor journaled before the schema is brought up to date.
  EXPECT_THROW(server::openExistingStorage(database.target()), server::StorageError);
  storage->createSchema();
  storage->createSchema();  // again: nothing to do
  EXPECT_NO_THROW(server::openExistingStorage(database.target()));
  seed(*storage);
  auto object = std::make_unique<server::TabePrecoObject>(*storage);
  const server::Answer answer =
      callOn(*object, "SetAddPrefixo", {"10.0.0.2:5000", "rui", "loja"},
             {ref("X "), ref(""), ref(""), ref(productList({"PRD0000001"})), ref("")});
  EXPECT_EQ(dump(answer), "status 0\n");
  EXPECT_EQ(dump(*storage,
                 "SELECT ID, DSMETODO, QTLINHAS, DSUSUARIO, QTINALTERADAS, DSCAMPO, IDRESTAURADA "
                 "FROM ALTERACAOLOG ORDER BY ID"),
            "1|SetAddPrefixo|3|~|0|~|~\n"
            "2|SetAddPrefixo|1|rui|0|NMPRODUTO|~\n");
  EXPECT_EQ(dump(*storage, "SELECT * FROM ALTERACAOITEM"),
            "2|PRD0000001|Café torrado|X Café torrado\n");
}

// A journal whose item table an earlier version made with a key loses the key in createSchema:
// every row is kept, each change finds its own, and new changes are appended after them. On
// SQLite the table is rewritten and each change records where its rows went.
TEST_P(JournalUpgrade, AKeyedItemTableLosesItsKeyAndEveryChangeStillFindsItsRows) {
  TestDatabase database(GetParam());
  ASSERT_TRUE(database.error().empty()) << database.error();
  auto storage = server::openStorage(database.target());
  {
    auto c = storage->connection();
    createKeyedJournal(*c);
    for (const char* count : {"2", "0", "2"})
      c->run(std::string(
                 "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, DSSELECAO, QTLINHAS, "
                 "DSCAMPO) VALUES ('2024-05-01 10:00:00.000', '10.0.0.1:5000', 'SetAddPrefixo', "
                 "'{}', ") +
             count + ", 'NMPRODUTO')");
    // Written out of key order: the copy puts each change's rows together all the same.
    c->run(
        "INSERT INTO ALTERACAOITEM VALUES (3, 'PRD0000002', 'b', 'X b'), (1, 'PRD0000005', 'e', "
        "'X e'), (1, 'PRD0000001', 'a', 'X a'), (3, 'PRD0000001', 'X a', 'a')");
  }
  storage->createSchema();
  storage->createSchema();  // again: nothing to do
  EXPECT_NO_THROW(server::openExistingStorage(database.target()));
  const bool sqlite = GetParam() != Backend::Postgres;
  if (sqlite) {
    EXPECT_EQ(dump(*storage, "SELECT COUNT(*) FROM pragma_index_list('ALTERACAOITEM')"), "0\n");
    EXPECT_EQ(dump(*storage, "SELECT ID, NRITEMINICIAL, NRITEMFINAL FROM ALTERACAOLOG ORDER BY ID"),
              "1|1|2\n2|1|0\n3|3|4\n");
  } else {
    EXPECT_EQ(dump(*storage,
                   "SELECT indexdef FROM pg_indexes WHERE tablename = 'alteracaoitem' ORDER BY 1"),
              "CREATE INDEX alteracaoitem_alteracao ON public.alteracaoitem USING brin "
              "(idalteracao) WITH (pages_per_range='32', autosummarize='on')\n");
  }
  auto itemsOf = [&](int64_t change) {
    auto c = storage->connection();
    std::string text;
    for (const server::JournalItem& item : server::changeItems(*c, change))
      text += item.product + "|" + item.before + "|" + item.after + "\n";
    return text;
  };
  EXPECT_EQ(itemsOf(1), "PRD0000001|a|X a\nPRD0000005|e|X e\n");
  EXPECT_EQ(itemsOf(2), "");
  EXPECT_EQ(itemsOf(3), "PRD0000001|X a|a\nPRD0000002|b|X b\n");

  seed(*storage);
  auto object = std::make_unique<server::TabePrecoObject>(*storage);
  EXPECT_EQ(dump(callOn(*object, "SetAddPrefixo", {"10.0.0.2:5000", "rui", "loja"},
                        {ref("X "), ref(""), ref(""), ref(productList({"PRD0000001"})), ref("")})),
            "status 0\n");
  EXPECT_EQ(dump(*storage, "SELECT NRITEMINICIAL, NRITEMFINAL FROM ALTERACAOLOG WHERE ID = 4"),
            sqlite ? "5|5\n" : "~|~\n");
  EXPECT_EQ(itemsOf(4), "PRD0000001|Café torrado|X Café torrado\n");
  EXPECT_EQ(itemsOf(1), "PRD0000001|a|X a\nPRD0000005|e|X e\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, JournalUpgrade,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

// The --since texts the journal accepts.
TEST(JournalTimestamp, AcceptsADayOrADayAndTimeAndNothingElse) {
  EXPECT_EQ(server::journalTimestamp("2024-02-29").value_or("-"), "2024-02-29 00:00:00.000");
  EXPECT_EQ(server::journalTimestamp("2024-02-29 13:05").value_or("-"), "2024-02-29 13:05:00.000");
  EXPECT_EQ(server::journalTimestamp("2024-02-29T13:05:09").value_or("-"),
            "2024-02-29 13:05:09.000");
  for (const char* bad : {"", "2023-02-29", "2024-13-01", "2024-1-01", "24-01-01",
                          "2024-01-01 24:00", "2024-01-01 10:60", "2024-01-01 10:00:60",
                          "2024-01-01x10:00", "2024-01-01 10:00:0", "yesterday"})
    EXPECT_FALSE(server::journalTimestamp(bad)) << bad;
}

}  // namespace
}  // namespace storage_test
