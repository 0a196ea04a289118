// The three change methods doing their work, checked in the database afterwards: the rows
// changed, the rows left alone, and the audit row.

#include "server/storage/journal/record.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Changes : public StorageTest {
 protected:
  // SetUpdItemPrecoAlt on 0001/001 from 2024-01-01.
  server::Answer update(const std::string& flag, const std::string& first, const std::string& last,
                        const std::string& list, const std::string& all, Arg packet = null()) {
    return call("SetUpdItemPrecoAlt",
                {ref(flag), ref(first), ref(last), ref(list), ref(all), std::move(packet),
                 boolean(!list.empty()), str("0001"), str("001"), date(2024, 1, 1)});
  }
  server::Answer prefix(const char* method, const std::string& text, const std::string& first,
                        const std::string& last, const std::string& list, const std::string& all) {
    return call(method, {ref(text), ref(first), ref(last), ref(list), ref(all)});
  }
  std::string january() { return promotions("0001", "001", "2024-01-01"); }
  std::string audit() {
    return dump(*storage_,
                "SELECT DSCLIENTE, DSMETODO, CDFILIAL, CDTABEPREC, DTINIVGPREC, DSSELECAO, "
                "QTLINHAS FROM ALTERACAOLOG ORDER BY ID");
  }
};

// PRD0000001 is in promotion already: putting all in changes the other five.
TEST_P(Changes, UpdateInAllModeChangesEveryItemOfTheValidityOnly) {
  const std::string otherValidity = promotions("0001", "001", "2023-10-01");
  const std::string otherTable = promotions("0001", "002", "2024-01-01");
  const std::string before = server::utcTimestamp();
  EXPECT_EQ(dump(update("S", "", "", "", "T")), "status 0\n");
  const std::string after = server::utcTimestamp();
  // The change time, in UTC, read back as the engine writes a timestamp.
  const std::string when =
      dump(*storage_, "SELECT DTALTERACAO FROM ALTERACAOLOG").substr(0, before.size());
  EXPECT_LE(before.substr(0, 19), when.substr(0, 19));
  EXPECT_GE(after, when.substr(0, 19));
  EXPECT_EQ(january(),
            "AB        =S PRD0000001=S PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=S");
  EXPECT_EQ(promotions("0001", "001", "2023-10-01"), otherValidity);
  EXPECT_EQ(promotions("0001", "002", "2024-01-01"), otherTable);
  EXPECT_EQ(dump(update("N", "", "", "", "T")), "status 0\n");
  EXPECT_EQ(january(),
            "AB        =N PRD0000001=N PRD0000002=N PRD0000003=N PRD0000004=N PRD0000005=N");
  EXPECT_EQ(audit(),
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"S\",\"inicial\":\"\",\"final\":\"\",\"lista\":\"\",\"todos\":\"T\","
            "\"modoLista\":false}|5\n"
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"N\",\"inicial\":\"\",\"final\":\"\",\"lista\":\"\",\"todos\":\"T\","
            "\"modoLista\":false}|6\n");
}

TEST_P(Changes, UpdateInRangeModeTakesNormalisedTreeCodesBothEndsIncluded) {
  // 01.02.0002 to 01.03.0002 covers 01020002, 01030001 and the stored "0103-0002".
  EXPECT_EQ(dump(update("S", "01.02.0002", "01.03.0002 ", "", "")), "status 0\n");
  EXPECT_EQ(january(),
            "AB        =N PRD0000001=S PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=N");
  // Equal ends select that one product.
  EXPECT_EQ(dump(update("N", "01020001", "01.02.0001", "", "")), "status 0\n");
  EXPECT_EQ(january(),
            "AB        =N PRD0000001=N PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=N");
  // A range holding no item succeeds and changes nothing.
  EXPECT_EQ(dump(update("S", "09", "09.99", "", "")), "status 0\n");
  EXPECT_EQ(january(),
            "AB        =N PRD0000001=N PRD0000002=S PRD0000003=S PRD0000004=S PRD0000005=N");
  EXPECT_EQ(audit(),
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"S\",\"inicial\":\"01.02.0002\",\"final\":\"01.03.0002 \","
            "\"lista\":\"\",\"todos\":\"\",\"modoLista\":false}|3\n"
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"N\",\"inicial\":\"01020001\",\"final\":\"01.02.0001\","
            "\"lista\":\"\",\"todos\":\"\",\"modoLista\":false}|1\n"
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"S\",\"inicial\":\"09\",\"final\":\"09.99\","
            "\"lista\":\"\",\"todos\":\"\",\"modoLista\":false}|0\n");
}

TEST_P(Changes, UpdateInListModeTakesTheListNotThePacket) {
  // The packet names other products (rows of an earlier attempt): it is not read.
  auto packet = std::make_shared<rtl::DataPacket>(std::vector<rtl::PacketField>{
      {"IDMARCADO", rtl::FieldType::String, 1}, {"CDPRODUTO", rtl::FieldType::String, 10}});
  packet->column(0).appendNull();
  packet->column(1).appendString("PRD0000003");
  packet->commitRow();
  const Arg packetArg{std::shared_ptr<const rtl::DataPacket>(packet)};

  const std::string list = productList({"AB        ", "PRD0000002", "AB        "});
  EXPECT_EQ(dump(update("S", "", "", list, "", packetArg)), "status 0\n");
  EXPECT_EQ(january(),
            "AB        =S PRD0000001=S PRD0000002=S PRD0000003=N PRD0000004=N PRD0000005=N");
  EXPECT_EQ(audit(),
            "127.0.0.1:50000 ana@caixa1|SetUpdItemPrecoAlt|0001|001|2024-01-01|"
            "{\"promocao\":\"S\",\"inicial\":\"\",\"final\":\"\",\"lista\":\"" +
                list + "\",\"todos\":\"\",\"modoLista\":true}|2\n");
}

TEST_P(Changes, AddPrefixSkipsNamesThatHaveItSoASecondRunChangesNothing) {
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "PROMO ", "01.02.0001", "01.03.0002", "", "")),
            "status 0\n");
  const std::string once =
      "AB        |Sabão em pó\n"
      "PRD0000001|PROMO Café torrado\n"
      "PRD0000002|PROMO Açúcar refinado\n"
      "PRD0000003|PROMO Feijão carioca\n"
      "PRD0000004|PROMO Arroz agulhinha\n"
      "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
      "PRD0000007|Óleo de soja\n";
  EXPECT_EQ(names(), once);
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "PROMO ", "01.02.0001", "01.03.0002", "", "")),
            "status 0\n");
  EXPECT_EQ(names(), once);
  // List mode reaches products that are items of no validity too.
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "PROMO ", "", "",
                        productList({"PRD0000007", "PRD0000001"}), "")),
            "status 0\n");
  EXPECT_EQ(names(),
            "AB        |Sabão em pó\n"
            "PRD0000001|PROMO Café torrado\n"
            "PRD0000002|PROMO Açúcar refinado\n"
            "PRD0000003|PROMO Feijão carioca\n"
            "PRD0000004|PROMO Arroz agulhinha\n"
            "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
            "PRD0000007|PROMO Óleo de soja\n");
  EXPECT_EQ(audit(),
            "127.0.0.1:50000 ana@caixa1|SetAddPrefixo|~|~|~|{\"prefixo\":\"PROMO \",\"inicial\":"
            "\"01.02.0001\",\"final\":\"01.03.0002\",\"lista\":\"\",\"todos\":\"\"}|4\n"
            "127.0.0.1:50000 ana@caixa1|SetAddPrefixo|~|~|~|{\"prefixo\":\"PROMO \",\"inicial\":"
            "\"01.02.0001\",\"final\":\"01.03.0002\",\"lista\":\"\",\"todos\":\"\"}|0\n"
            "127.0.0.1:50000 ana@caixa1|SetAddPrefixo|~|~|~|{\"prefixo\":\"PROMO \",\"inicial\":"
            "\"\",\"final\":\"\",\"lista\":\"_PRD0000007_PRD0000001_\",\"todos\":\"\"}|1\n");
}

TEST_P(Changes, PrefixInAllModeReachesEveryProductAndClearingInRangeModeOnlyTheRange) {
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "X ", "", "", "", "T")), "status 0\n");
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "X ", "02", "02.01.0002", "", "")), "status 0\n");
  EXPECT_EQ(names(),
            "AB        |Sabão em pó\n"
            "PRD0000001|X Café torrado\n"
            "PRD0000002|X Açúcar refinado\n"
            "PRD0000003|X Feijão carioca\n"
            "PRD0000004|X Arroz agulhinha\n"
            "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
            "PRD0000007|X Óleo de soja\n");
  EXPECT_EQ(dump(*storage_, "SELECT DSMETODO, QTLINHAS FROM ALTERACAOLOG ORDER BY ID"),
            "SetAddPrefixo|7\nSetDelPrefixo|2\n");
}

TEST_P(Changes, DeletePrefixTakesItOnlyFromTheStartOfNames) {
  {
    auto c = storage_->connection();
    c->execute("UPDATE PRODUTO SET NMPRODUTO = ? WHERE CDPRODUTO = ?",
               {"Café OFERTA torrado", "PRD0000001"});
    c->execute("UPDATE PRODUTO SET NMPRODUTO = ? WHERE CDPRODUTO = ?",
               {"OFERTA Açúcar refinado", "PRD0000002"});
    c->execute("UPDATE PRODUTO SET NMPRODUTO = ? WHERE CDPRODUTO = ?",
               {"OFERTAS Feijão", "PRD0000003"});
    c->execute("UPDATE PRODUTO SET NMPRODUTO = ? WHERE CDPRODUTO = ?",
               {"oferta arroz", "PRD0000004"});
  }
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "OFERTA", "", "", "", "T")), "status 0\n");
  EXPECT_EQ(names(),
            "AB        |Sabão em pó\n"
            "PRD0000001|Café OFERTA torrado\n"
            "PRD0000002| Açúcar refinado\n"
            "PRD0000003|S Feijão\n"
            "PRD0000004|oferta arroz\n"
            "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
            "PRD0000007|Óleo de soja\n");
  EXPECT_EQ(dump(prefix("SetDelPrefixo", "S", "", "", productList({"PRD0000003"}), "")),
            "status 0\n");
  EXPECT_EQ(dump(prefix("SetDelPrefixo", " ", "", "", "", "T")), "status 0\n")
      << "a prefix of blanks changes nothing";
  EXPECT_EQ(names(),
            "AB        |Sabão em pó\n"
            "PRD0000001|Café OFERTA torrado\n"
            "PRD0000002| Açúcar refinado\n"
            "PRD0000003| Feijão\n"
            "PRD0000004|oferta arroz\n"
            "PRD0000005|Papel higiênico folha dupla neutro 30m com 12\n"
            "PRD0000007|Óleo de soja\n");
  EXPECT_EQ(dump(*storage_, "SELECT DSMETODO, QTLINHAS FROM ALTERACAOLOG ORDER BY ID"),
            "SetDelPrefixo|2\nSetDelPrefixo|1\nSetDelPrefixo|0\n");
}

TEST_P(Changes, APrefixOfBlanksAddsNothingAndAnAccentedPrefixCountsCharacters) {
  const std::string before = names();
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "   ", "", "", "", "T")), "status 0\n");
  EXPECT_EQ(names(), before);
  // 45 + 5 characters = 50: allowed although the bytes are more.
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "ÇÃÉÍ ", "", "", productList({"PRD0000005"}), "")),
            "status 0\n");
  EXPECT_EQ(dump(*storage_, "SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = 'PRD0000005'"),
            "ÇÃÉÍ Papel higiênico folha dupla neutro 30m com 12\n");
  EXPECT_EQ(dump(*storage_, "SELECT QTLINHAS FROM ALTERACAOLOG ORDER BY ID"), "0\n1\n");
}

// A range of a few products is sought through the items' key and a range of thousands is
// tested row by row; both must pick exactly the range. Products RNG0000001.. get tree codes
// 05000001.. and an item each in 0001/001 from 2024-01-01, out of promotion.
TEST_P(Changes, ARangeOfThousandsOfProductsChangesExactlyItsItemsAndNames) {
  constexpr int kMany = 2500;
  {
    auto c = storage_->connection();
    server::db::Transaction tx(*c, server::db::TxMode::Write);
    for (int n = 1; n <= kMany; ++n) {
      char code[16], tree[16];
      std::snprintf(code, sizeof code, "RNG%07d", n);
      std::snprintf(tree, sizeof tree, "05%06d", n);
      c->execute("INSERT INTO PRODUTO VALUES (?, ?, ?)", {code, tree, "Item"});
      c->execute("INSERT INTO ITEMPRECO VALUES (?, ?, ?, ?, ?, ?)",
                 {"0001", "001", "2024-01-01", code, "1.0000", "N"});
    }
    tx.commit();
  }
  const std::string six = january().substr(0, january().find(" RNG"));
  auto inPromotion = [&] {
    return dump(*storage_,
                "SELECT COUNT(*), MIN(CDPRODUTO), MAX(CDPRODUTO) FROM ITEMPRECO WHERE "
                "DTINIVGPREC = '2024-01-01' AND CDTABEPREC = '001' AND IDPROMOCAO = 'S' AND "
                "CDPRODUTO LIKE 'RNG%'");
  };

  EXPECT_EQ(dump(update("S", "05", "05.999999", "", "")), "status 0\n");
  EXPECT_EQ(inPromotion(), "2500|RNG0000001|RNG0002500\n");
  EXPECT_EQ(dump(update("S", "05", "05.999999", "", "")), "status 0\n");
  // Both ends included; the seeking form takes these three.
  EXPECT_EQ(dump(update("N", "05.000002", "05000004", "", "")), "status 0\n");
  EXPECT_EQ(inPromotion(), "2497|RNG0000001|RNG0002500\n");
  EXPECT_EQ(january().substr(0, six.size()), six) << "products outside the range are left alone";
  // Ranges over items in both states count what they leave as it is, sought or tested.
  EXPECT_EQ(dump(update("N", "05.000001", "05000005", "", "")), "status 0\n");
  EXPECT_EQ(dump(update("S", "05", "05.999999", "", "")), "status 0\n");
  EXPECT_EQ(inPromotion(), "2500|RNG0000001|RNG0002500\n");
  EXPECT_EQ(dump(prefix("SetAddPrefixo", "Z ", "05", "05.999999", "", "")), "status 0\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT COUNT(*) FROM PRODUTO WHERE NMPRODUTO = 'Z Item' AND CDPRODUTO LIKE "
                 "'RNG%'"),
            "2500\n");
  EXPECT_EQ(dump(*storage_, "SELECT COUNT(*) FROM PRODUTO WHERE NMPRODUTO LIKE 'Z %'"), "2500\n");
  EXPECT_EQ(dump(*storage_,
                 "SELECT L.DSMETODO, L.QTLINHAS, L.QTINALTERADAS, COUNT(I.CDPRODUTO) FROM "
                 "ALTERACAOLOG L LEFT JOIN ALTERACAOITEM I ON I.IDALTERACAO = L.ID GROUP BY "
                 "L.ID, L.DSMETODO, L.QTLINHAS, L.QTINALTERADAS ORDER BY L.ID"),
            "SetUpdItemPrecoAlt|2500|0|2500\n"
            "SetUpdItemPrecoAlt|0|2500|0\n"
            "SetUpdItemPrecoAlt|3|0|3\n"
            "SetUpdItemPrecoAlt|2|3|2\n"
            "SetUpdItemPrecoAlt|5|2495|5\n"
            "SetAddPrefixo|2500|0|2500\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, Changes,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
