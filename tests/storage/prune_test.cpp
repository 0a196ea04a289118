// Pruning the journal: the rows of the changes recorded before a day go, their lines stay and
// say when the rows went, such a change can no longer be restored, and every change that stays
// keeps its rows and its restore. What goes is always the oldest part, by change number, so a
// change that stays keeps the later rows its restore looks at.

#include "server/storage/journal/prune.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/restore.h"
#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Prune : public StorageTest {
 protected:
  server::Answer update(const std::string& flag, const std::string& list, const std::string& all) {
    return call("SetUpdItemPrecoAlt",
                {ref(flag), ref(""), ref(""), ref(list), ref(all), null(), boolean(!list.empty()),
                 str("0001"), str("001"), date(2024, 1, 1)});
  }
  server::Answer addPrefix(const std::string& list) {
    return call("SetAddPrefixo", {ref("OF "), ref(""), ref(""), ref(list), ref("")});
  }
  // Dates a change as if it had been made at `when` (the journal's own clock is now).
  void recordedAt(int64_t change, const std::string& when) {
    auto c = storage_->connection();
    const bool postgres = c->engine() == server::db::Engine::Postgres;
    c->execute(std::string("UPDATE ALTERACAOLOG SET DTALTERACAO = ") +
                   (postgres ? "CAST(? AS TIMESTAMP(3))" : "?") + " WHERE ID = ?",
               {when, change});
  }
  // "1 changes, 5 rows"
  std::string prune(const std::string& before) {
    const server::PruneOutcome outcome = server::pruneJournal(*storage_, before);
    return std::to_string(outcome.changes) + " changes, " + std::to_string(outcome.rows) + " rows";
  }
  std::string restore(int64_t change) {
    try {
      const server::RestoreOutcome outcome =
          server::restoreChange(*storage_, change, {"local root@servidor", "root", "servidor"});
      return "restored " + std::to_string(outcome.restored);
    } catch (const server::RestoreError& error) {
      return error.what();
    }
  }
  // The changes whose rows are kept, with how many: "1:5 3:1".
  std::string itemCounts() {
    std::string out;
    auto c = storage_->connection();
    for (const server::JournalEntry& entry : server::listChanges(*c, std::nullopt))
      if (const size_t n = server::changeItems(*c, entry.id).size())
        out += (out.empty() ? "" : " ") + std::to_string(entry.id) + ":" + std::to_string(n);
    return out;
  }
  // id|QTLINHAS|discarded (y/n) for every line.
  std::string lines() {
    return dump(*storage_,
                "SELECT ID, QTLINHAS, CASE WHEN DTDESCARTE IS NULL THEN 'n' ELSE 'y' END FROM "
                "ALTERACAOLOG ORDER BY ID");
  }
};

TEST_P(Prune, OlderChangesLoseTheirRowsKeepTheirLinesAndCannotBeRestored) {
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");  // 1: 5 items
  EXPECT_EQ(dump(addPrefix(productList({"PRD0000001", "PRD0000002"}))), "status 0\n");  // 2
  EXPECT_EQ(dump(update("N", productList({"PRD0000003"}), "")), "status 0\n");          // 3: 1 item
  recordedAt(1, "2024-01-01 10:00:00.000");
  recordedAt(2, "2024-02-01 10:00:00.000");
  ASSERT_EQ(itemCounts(), "1:5 2:2 3:1");

  EXPECT_EQ(prune("2024-01-15 00:00:00.000"), "1 changes, 5 rows");
  EXPECT_EQ(itemCounts(), "2:2 3:1");
  EXPECT_EQ(lines(), "1|5|y\n2|2|n\n3|1|n\n");
  {
    auto c = storage_->connection();
    const auto entry = server::findChange(*c, 1);
    ASSERT_TRUE(entry && entry->discarded);
    EXPECT_EQ(entry->discarded->size(), 23u) << *entry->discarded;
    EXPECT_FALSE(server::findChange(*c, 2)->discarded);
  }

  // Nothing of change 1 can be put back any more, and trying changes nothing.
  const std::string before = wholeState();
  const std::string refusal = restore(1);
  EXPECT_NE(refusal.find("change 1's rows were discarded from the journal on "), std::string::npos)
      << refusal;
  EXPECT_EQ(wholeState(), before);
  // The changes that stay restore as before.
  EXPECT_EQ(restore(3), "restored 1");
  EXPECT_EQ(restore(2), "restored 2");

  // Again for the same day: nothing left to discard.
  EXPECT_EQ(prune("2024-01-15 00:00:00.000"), "0 changes, 0 rows");
  EXPECT_EQ(itemCounts(), "2:2 3:1 4:1 5:2");
}

TEST_P(Prune, AfterEverythingIsDiscardedNewChangesFindTheirOwnRows) {
  EXPECT_EQ(dump(update("S", "", "T")), "status 0\n");                          // 1: 5 items
  EXPECT_EQ(dump(update("N", productList({"PRD0000002"}), "")), "status 0\n");  // 2: 1 item
  EXPECT_EQ(prune("2999-01-01 00:00:00.000"), "2 changes, 6 rows");
  EXPECT_EQ(itemCounts(), "");
  EXPECT_EQ(lines(), "1|5|y\n2|1|y\n");

  // The table is empty again; new rows must not be taken for the old changes' rows.
  const std::string before = promotions("0001", "001", "2024-01-01");
  EXPECT_EQ(dump(update("N", "", "T")), "status 0\n");  // 3: the 5 left in promotion
  EXPECT_EQ(itemCounts(), "3:5");
  EXPECT_EQ(restore(3), "restored 5");
  EXPECT_EQ(promotions("0001", "001", "2024-01-01"), before);
  EXPECT_EQ(itemCounts(), "3:5 4:5");
}

// A server whose clock ran behind records a later change with an earlier time. It stays
// while an earlier-numbered change stays, so a kept change never loses the rows of one after it.
TEST_P(Prune, WhatGoesIsTheOldestChangesByNumberWhateverTheirClocksSaid) {
  EXPECT_EQ(dump(update("S", productList({"PRD0000002"}), "")), "status 0\n");  // 1
  EXPECT_EQ(dump(update("S", productList({"PRD0000003"}), "")), "status 0\n");  // 2
  EXPECT_EQ(dump(update("N", productList({"PRD0000002"}), "")), "status 0\n");  // 3
  recordedAt(1, "2024-01-01 10:00:00.000");
  recordedAt(2, "2024-03-01 10:00:00.000");
  recordedAt(3, "2023-12-31 10:00:00.000");
  EXPECT_EQ(prune("2024-02-01 00:00:00.000"), "1 changes, 1 rows");
  EXPECT_EQ(itemCounts(), "2:1 3:1");
  // Change 2's restore still sees that change 3 came after it on another product only.
  EXPECT_EQ(restore(2), "restored 1");
}

// A confirmation recorded in two rows is kept whole when the day falls between its rows.
TEST_P(Prune, AChangeRecordedInTwoRowsIsNeverKeptInPart) {
  const std::string list = productList({"PRD0000002", "PRD0000003"});
  auto desk = connection();
  EXPECT_EQ(dump(call(desk, "SetAddPrefixo", {ref("OF "), ref(""), ref(""), ref(list), ref("")})),
            "status 0\n");  // 1
  EXPECT_EQ(dump(call(desk, "SetUpdItemPrecoAlt",
                      {ref("S"), ref(""), ref(""), ref(list), ref(""), null(), boolean(true),
                       str("0001"), str("001"), date(2024, 1, 1)})),
            "status 0\n");  // 2, naming 1
  recordedAt(1, "2024-01-01 10:00:00.000");
  EXPECT_EQ(prune("2024-01-15 00:00:00.000"), "0 changes, 0 rows");
  EXPECT_EQ(lines(), "1|2|n\n2|2|n\n");
  EXPECT_EQ(restore(1), "restored 2");
}

INSTANTIATE_TEST_SUITE_P(Engines, Prune, ::testing::Values(Backend::SqliteFile, Backend::Postgres),
                         backendName);

}  // namespace
}  // namespace storage_test
