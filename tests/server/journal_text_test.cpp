// The journal as the command line prints it: the selection summary (over the recorded JSON,
// escapes included), the aligned table and the JSON, for whole entries.

#include <gtest/gtest.h>

#include "server/cli/journal_text.h"

namespace servertest {
namespace {

server::JournalEntry entry() {
  server::JournalEntry e;
  e.id = 12;
  e.when = "2024-05-02 13:45:10.123";
  e.client = "10.0.0.7:50412 joão@caixa-01";
  e.user = "joão";
  e.machine = "caixa-01";
  e.method = "SetUpdItemPrecoAlt";
  e.branch = "0001";
  e.table = "001";
  e.start = "2024-05-01";
  e.selection =
      "{\"promocao\":\"S\",\"inicial\":\"\",\"final\":\"\",\"lista\":\"_PRD0000001_AB        "
      "_\",\"todos\":\"\",\"modoLista\":true}";
  e.changed = 2;
  e.unchanged = 0;
  e.column = "IDPROMOCAO";
  return e;
}

TEST(JournalTextTest, TheSelectionSummaryShowsWhatWasFilledIn) {
  EXPECT_EQ(server::selectionSummary(entry().selection),
            "promocao=\"S\" lista=2 produtos modoLista");
  EXPECT_EQ(server::selectionSummary("{\"prefixo\":\"PROMO \",\"todos\":\"T\"}"),
            "prefixo=\"PROMO \" todos=\"T\"");
  EXPECT_EQ(server::selectionSummary("{\"alteracao\":17}"), "alteracao=17");
  // Escapes are read and written back; a list counts characters, not bytes.
  EXPECT_EQ(server::selectionSummary(
                " { \"prefixo\" : \"a\\\"b\\\\c\\u00e9\\ud83d\\ude00\" , \"x\" : null , "
                "\"y\" : false } "),
            "prefixo=\"a\\\"b\\\\cé😀\"");
  EXPECT_EQ(server::selectionSummary("{\"lista\":\"_ÁÉÍÓÚ12345_\"}"), "lista=1 produtos");
  // What this server did not write is shown as it is.
  for (const char* text :
       {"", "{}x", "[1]", "{\"a\":\"\\ud800\"}", "{\"a\" \"b\"}", "{\"a\":\"b\",}", "not json"})
    EXPECT_EQ(server::selectionSummary(text), text) << text;
  EXPECT_EQ(server::selectionSummary("{}"), "");
  // Values that are neither texts nor flags are written as JSON; control characters escaped.
  EXPECT_EQ(server::selectionSummary("{\"n\":-1.5e3,\"b\":true,\"a\":[1],\"c\":\"x\\u001b[2J\"}"),
            "n=-1500.0 b a=[1] c=\"x\\u001b[2J\"");
}

TEST(JournalTextTest, TheTableAlignsColumnsByCharactersAndListsAChangesRows) {
  server::JournalEntry names;
  names.id = 3;
  names.when = "2024-05-02 14:00:00.000";
  names.client = "local root@servidor";
  names.method = "restore";
  names.selection = "{\"alteracao\":1}";
  names.changed = 7;
  names.unchanged = 1;
  names.restored = 1;
  EXPECT_EQ(server::journalTable({entry(), names}),
            "ID  WHEN (UTC)               WHO                           METHOD              "
            "HEADER               CHANGED  UNCHANGED  RESTORES  SELECTION\n"
            "12  2024-05-02 13:45:10.123  10.0.0.7:50412 joão@caixa-01  SetUpdItemPrecoAlt  "
            "0001/001/2024-05-01  2        0          -         promocao=\"S\" lista=2 produtos "
            "modoLista\n"
            "3   2024-05-02 14:00:00.000  local root@servidor           restore             -   "
            "                 7        1          1         alteracao=1\n");
  const std::vector<server::JournalItem> items = {{"AB        ", "N", "S"},
                                                  {"PRD0000001", "N", "S"}};
  const std::string table = server::journalTable(entry(), items);
  EXPECT_EQ(table.substr(table.find('\n', table.find('\n') + 1) + 1),
            "  \"AB        \"  \"N\" -> \"S\"\n"
            "  \"PRD0000001\"  \"N\" -> \"S\"\n");
}

TEST(JournalTextTest, TheJsonHoldsEveryFieldWithNullsForWhatWasNotRecorded) {
  server::JournalEntry old;
  old.id = 1;
  old.when = "2023-01-01 00:00:00.000";
  old.client = "10.0.0.1:1";
  old.method = "SetAddPrefixo";
  old.selection = "texto \"livre\"";
  old.changed = 3;
  EXPECT_EQ(server::journalJson({old}),
            "[\n{\"id\":1,\"when\":\"2023-01-01 00:00:00.000\",\"client\":\"10.0.0.1:1\","
            "\"user\":null,\"machine\":null,\"method\":\"SetAddPrefixo\",\"branch\":null,"
            "\"table\":null,\"start\":null,\"selection\":\"texto \\\"livre\\\"\",\"changed\":3,"
            "\"unchanged\":0,\"column\":null,\"restores\":null,\"discarded\":null}\n]\n");
  EXPECT_EQ(server::journalJson(std::vector<server::JournalEntry>{}), "[]\n");
  server::JournalEntry pruned = old;
  pruned.discarded = "2026-12-09 10:00:00.000";
  EXPECT_NE(server::journalJson({pruned}).find(",\"discarded\":\"2026-12-09 10:00:00.000\"}"),
            std::string::npos);
  EXPECT_EQ(server::journalJson(entry(), {{"AB        ", "N", "S"}}),
            "{\"id\":12,\"when\":\"2024-05-02 13:45:10.123\",\"client\":\"10.0.0.7:50412 "
            "joão@caixa-01\",\"user\":\"joão\",\"machine\":\"caixa-01\",\"method\":"
            "\"SetUpdItemPrecoAlt\",\"branch\":\"0001\",\"table\":\"001\",\"start\":"
            "\"2024-05-01\",\"selection\":" +
                entry().selection +
                ",\"changed\":2,\"unchanged\":0,\"column\":\"IDPROMOCAO\",\"restores\":null,"
                "\"discarded\":null,"
                "\"items\":[\n{\"product\":\"AB        \",\"before\":\"N\",\"after\":\"S\"}\n]}\n");
}

}  // namespace
}  // namespace servertest
