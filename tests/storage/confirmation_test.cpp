// One confirmation with the prefix option on is one change, all or nothing: a prefix change and
// the promotion update that follows it on the same connection with the same selection are
// journaled as one entry, which one restore puts back; a refused or failed update takes the
// prefix change back and leaves no trace of it. A prefix change followed by anything else stands
// as a call of its own.

#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/restore.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Confirmation : public StorageTest {
 protected:
  server::Answer prefix(server::SessionState& on, const char* method, const std::string& text,
                        const std::string& list) {
    return call(on, method, {ref(text), ref(""), ref(""), ref(list), ref(list.empty() ? "T" : "")});
  }
  server::Answer update(server::SessionState& on, const std::string& flag,
                        const std::string& list) {
    return call(on, "SetUpdItemPrecoAlt",
                {ref(flag), ref(""), ref(""), ref(list), ref(list.empty() ? "T" : ""), null(),
                 boolean(!list.empty()), str("0001"), str("001"), date(2024, 1, 1)});
  }
  // The journal as read: one line per change, "id method changed/unchanged column", and for a
  // change in two rows its first row after "+".
  std::string entries() {
    const auto row = [](const server::JournalEntry& e) {
      return std::to_string(e.id) + " " + e.method + " " + std::to_string(e.changed) + "/" +
             std::to_string(e.unchanged) + " " + e.column.value_or("~");
    };
    auto c = storage_->connection();
    std::string out;
    for (const server::JournalEntry& e : server::listChanges(*c, std::nullopt))
      out += row(e) + (e.names ? " + " + row(*e.names) : "") + "\n";
    return out;
  }
  // "change 2: names 2, left alone PRD0000001=Café; flags 2, left alone"
  std::string restore(int64_t change) {
    const auto part = [](const server::RestoredRows& rows) {
      std::string text = std::to_string(rows.restored) + ", left alone";
      for (const server::LeftAlone& row : rows.leftAlone)
        text += " " + row.product + "=" + row.now.value_or("<gone>");
      return text;
    };
    const server::RestoreOutcome outcome =
        server::restoreChange(*storage_, change, {"local root@servidor", "root", "servidor"});
    return "change " + std::to_string(outcome.change) + ": " +
           (outcome.names ? "names " + part(*outcome.names) + "; " : "") + "flags " + part(outcome);
  }
  void direct(const std::string& sql) {
    auto c = storage_->connection();
    c->run(sql);
  }
};

TEST_P(Confirmation, ACompletedConfirmationIsOneChangeThatOneRestorePutsBack) {
  const std::string before = promotions("0001", "001", "2024-01-01") + names();
  const std::string list = productList({"PRD0000002", "PRD0000003", "PRD0000001"});
  auto desk = connection();
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "OFERTA ", list)), "status 0\n");
  EXPECT_EQ(dump(update(desk, "S", list)), "status 0\n");
  EXPECT_EQ(entries(), "2 SetUpdItemPrecoAlt 2/1 IDPROMOCAO + 1 SetAddPrefixo 3/0 NMPRODUTO\n");
  // Either row names the whole change.
  for (const int64_t row : {1, 2}) {
    auto c = storage_->connection();
    const auto whole = server::findChange(*c, row);
    ASSERT_TRUE(whole && whole->names) << row;
    EXPECT_EQ(std::to_string(whole->id) + "+" + std::to_string(whole->names->id), "2+1") << row;
  }

  // Changed again since, outside the server: left alone and reported, the rest put back.
  direct("UPDATE PRODUTO SET NMPRODUTO = 'Café' WHERE CDPRODUTO = 'PRD0000001'");
  EXPECT_EQ(restore(1), "change 2: names 2, left alone PRD0000001=Café; flags 2, left alone");
  std::string expected = before;
  const std::string name = "Café torrado";
  expected.replace(expected.find(name), name.size(), "Café");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01") + names(), expected);
  // The restore is one change too, and restoring it puts the confirmation's values back.
  EXPECT_EQ(entries(),
            "2 SetUpdItemPrecoAlt 2/1 IDPROMOCAO + 1 SetAddPrefixo 3/0 NMPRODUTO\n"
            "4 restore 2/0 IDPROMOCAO + 3 restore 2/1 NMPRODUTO\n");
  EXPECT_EQ(restore(4), "change 4: names 2, left alone; flags 2, left alone");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"),
            "AB        =N PRD0000001=S PRD0000002=S PRD0000003=S PRD0000004=N PRD0000005=N");
  EXPECT_EQ(dump(*storage_,
                 "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO IN ('PRD0000002', 'PRD0000003') "
                 "ORDER BY 1"),
            "OFERTA Açúcar refinado\nOFERTA Feijão carioca\n");
}

TEST_P(Confirmation, ARefusedOrFailedUpdateTakesThePrefixChangeBackAndLeavesNoTrace) {
  const std::string before = wholeState();
  auto desk = connection();
  // Refused inside its transaction: PRD0000007 is a product, but no item of the period.
  const std::string outside = productList({"PRD0000002", "PRD0000007"});
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "OFERTA ", outside)), "status 0\n");
  EXPECT_EQ(dump(update(desk, "S", outside)),
            "status 1 Produto \"PRD0000007\" não pertence à vigência da tabela de preço.\n");
  EXPECT_EQ(wholeState(), before);
  // Refused before it began; the prefix change cleared names this time.
  direct("UPDATE PRODUTO SET NMPRODUTO = 'X ' || NMPRODUTO");
  const std::string prefixed = wholeState();
  EXPECT_EQ(dump(prefix(desk, "SetDelPrefixo", "X ", "")), "status 0\n");
  EXPECT_EQ(dump(update(desk, "s", "")),
            "status 1 Indicador de promoção inválido: deve ser \"S\" ou \"N\".\n");
  EXPECT_EQ(wholeState(), prefixed);
  direct("UPDATE PRODUTO SET NMPRODUTO = substr(NMPRODUTO, 3)");

  // Failed: the database lost a table the update needs. The call fails, the names go back.
  const std::string list = productList({"PRD0000003", "PRD0000004"});
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "OFERTA ", list)), "status 0\n");
  direct("ALTER TABLE ITEMPRECO RENAME TO ITEMPRECO_FORA");
  try {
    update(desk, "S", list);
    ADD_FAILURE() << "the update went through without its table";
  } catch (const server::CallError& error) {
    EXPECT_EQ(error.code(), 500) << error.what();
  }
  direct("ALTER TABLE ITEMPRECO_FORA RENAME TO ITEMPRECO");
  EXPECT_EQ(wholeState(), before);

  // Another desk changed one of the names in between: that one is left as it is, and the
  // refusal says so; its line and row stay, and so does the other desk's change.
  auto other = connection({"10.0.0.9:4000", "rui", "caixa2"});
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "OFERTA ", list)), "status 0\n");  // 4
  EXPECT_EQ(dump(prefix(other, "SetAddPrefixo", "NOVO ", productList({"PRD0000004"}))),
            "status 0\n");  // 5
  EXPECT_EQ(dump(update(desk, "X", list)),
            "status 1 Indicador de promoção inválido: deve ser \"S\" ou \"N\". Atenção: 1 nome de "
            "produto, alterado por outra operação depois do prefixo, ficou como está.\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO IN ('PRD0000003', "
                 "'PRD0000004') ORDER BY 1"),
            "Feijão carioca\nNOVO OFERTA Arroz agulhinha\n");
  EXPECT_EQ(entries(),
            "4 SetAddPrefixo 1/0 NMPRODUTO\n"
            "5 SetAddPrefixo 1/0 NMPRODUTO\n");
  auto c = storage_->connection();
  EXPECT_EQ(server::changeItems(*c, 4).at(0).product, "PRD0000004");
}

TEST_P(Confirmation, APrefixChangeNotFollowedByItsUpdateStandsAlone) {
  const std::string list = productList({"PRD0000002"});
  auto desk = connection();
  // Another call in between: the update after it is a change of its own.
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "A ", list)), "status 0\n");  // 1
  call(desk, "GetFilial", {str("0001"), str("")});
  EXPECT_EQ(dump(update(desk, "S", list)), "status 0\n");  // 2
  // Another selection, refused: nothing is taken back.
  EXPECT_EQ(dump(prefix(desk, "SetAddPrefixo", "B ", list)), "status 0\n");  // 3
  EXPECT_EQ(dump(update(desk, "X", productList({"PRD0000002", "PRD0000003"}))).substr(0, 8),
            "status 1");
  EXPECT_EQ(dump(*storage_, "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000002'"),
            "B A Açúcar refinado\n");
  EXPECT_EQ(entries(),
            "1 SetAddPrefixo 1/0 NMPRODUTO\n"
            "2 SetUpdItemPrecoAlt 1/0 IDPROMOCAO\n"
            "3 SetAddPrefixo 1/0 NMPRODUTO\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, Confirmation,
                         ::testing::Values(Backend::SqliteFile, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
