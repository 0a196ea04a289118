// The marks an SQLite statement leaves for the next one: vnd_marca picks the rows whose value
// would change and counts every row it is asked about; vnd_marcados gives the picked rows back
// in order. Neither may be reached from SQL stored in the database file.

#include <gtest/gtest.h>

#include "server/storage/db/row_marks.h"
#include "server/storage/db/sqlite_connection.h"

namespace storage_test {
namespace {

using server::db::SqliteConnection;

std::string rows(SqliteConnection& c, const std::string& sql) {
  std::string out;
  c.query(sql, {}, [&](const server::db::Row& row) {
    for (int i = 0; i < row.columnCount(); ++i)
      out += std::string(i ? "|" : "") + std::string(row.text(i));
    out += "\n";
  });
  return out;
}

class RowMarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c_.run("CREATE TABLE T (CODIGO TEXT PRIMARY KEY, VALOR TEXT NOT NULL)");
    c_.run("INSERT INTO T VALUES ('A', 'N'), ('B', 'S'), ('C', 'N'), ('D', 'N'), ('É', 'N')");
  }
  SqliteConnection c_{":memory:"};
};

TEST_F(RowMarksTest, AnUpdateMarksTheRowsItChangesAndCountsTheRowsItWasAskedAbout) {
  server::db::RowMarks& marks = *c_.rowMarks();
  marks.clear();
  EXPECT_EQ(c_.execute("UPDATE T SET VALOR = 'S' WHERE CODIGO <> 'D' AND vnd_marca(CODIGO, VALOR, "
                       "'S')",
                       {}),
            3);
  EXPECT_EQ(marks.seen(), 4);  // D is left out by the condition before the marking
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(std::string(marks.code(2)), "É");
  EXPECT_EQ(rows(c_, "SELECT CDPRODUTO FROM vnd_marcados"), "A\nC\nÉ\n");
  EXPECT_EQ(rows(c_, "SELECT CODIGO, VALOR FROM T ORDER BY CODIGO"), "A|S\nB|S\nC|S\nD|N\nÉ|S\n");

  // A new marking starts from nothing, whatever the last one left.
  marks.clear();
  EXPECT_EQ(c_.execute("UPDATE T SET VALOR = 'S' WHERE vnd_marca(CODIGO, VALOR, 'S')", {}), 1);
  EXPECT_EQ(marks.seen(), 5);
  EXPECT_EQ(rows(c_, "SELECT CDPRODUTO FROM vnd_marcados"), "D\n");
  marks.clear();
  EXPECT_EQ(rows(c_, "SELECT COUNT(*) FROM vnd_marcados"), "0\n");
}

TEST_F(RowMarksTest, ANullValueIsAnErrorNotAnUnmarkedRow) {
  c_.run("INSERT INTO T VALUES ('F', 'N')");
  EXPECT_THROW(c_.query("SELECT vnd_marca(CODIGO, NULL, 'S') FROM T", {}, [](auto&) {}),
               server::StorageError);
  EXPECT_THROW(c_.query("SELECT vnd_marca(NULL, VALOR, 'S') FROM T", {}, [](auto&) {}),
               server::StorageError);
}

TEST_F(RowMarksTest, ViewsAndTriggersInTheFileCannotReachTheMarks) {
  // A database file is data: what it stores must not read or fill the server's marks.
  c_.run("CREATE VIEW MARCAR AS SELECT vnd_marca(CODIGO, VALOR, 'S') FROM T");
  EXPECT_THROW(c_.query("SELECT * FROM MARCAR", {}, [](auto&) {}), server::StorageError);
  c_.run("CREATE VIEW MARCADOS AS SELECT * FROM vnd_marcados");
  EXPECT_THROW(c_.query("SELECT * FROM MARCADOS", {}, [](auto&) {}), server::StorageError);
  c_.run("CREATE TABLE U (X TEXT)");
  c_.run("CREATE TRIGGER MARCA AFTER INSERT ON U BEGIN SELECT vnd_marca(NEW.X, NEW.X, 'S'); END");
  EXPECT_THROW(c_.execute("INSERT INTO U VALUES ('Z')", {}), server::StorageError);
  EXPECT_EQ(c_.rowMarks()->seen(), 0);
}

}  // namespace
}  // namespace storage_test
