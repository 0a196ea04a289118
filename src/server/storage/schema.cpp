#include "server/storage/schema.h"

#include <string>
#include <vector>

#include "server/storage/storage_error.h"

namespace server {

namespace {

using db::Engine;

class Types {
 public:
  explicit Types(Engine engine) : sqlite_(engine == Engine::Sqlite) {}

  std::string fixed(const char* column, int n) const {
    const std::string size = std::to_string(n);
    return std::string(column) + " CHAR(" + size + ")" +
           (sqlite_ ? " CHECK (length(" + std::string(column) + ") = " + size + ")" : "");
  }
  std::string varying(const char* column, int n) const {
    const std::string size = std::to_string(n);
    return std::string(column) + " VARCHAR(" + size + ")" +
           (sqlite_ ? " CHECK (length(" + std::string(column) + ") <= " + size + ")" : "");
  }
  std::string date(const char* column) const {
    return std::string(column) + (sqlite_
                                      ? " TEXT CHECK (" + std::string(column) +
                                            " GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')"
                                      : " DATE");
  }
  std::string timestamp(const char* column) const {
    return std::string(column) + (sqlite_ ? " TEXT" : " TIMESTAMP(3)");
  }
  std::string identity(const char* column) const {
    return std::string(column) + (sqlite_ ? " INTEGER PRIMARY KEY AUTOINCREMENT"
                                          : " BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
  }

 private:
  bool sqlite_;
};

// The columns of ALTERACAOITEM, as it is made and as an older one is remade.
constexpr const char* kJournalItemColumns =
    "(IDALTERACAO BIGINT NOT NULL, CDPRODUTO CHAR(10) NOT NULL, DSANTES VARCHAR(50) NOT NULL, "
    "DSDEPOIS VARCHAR(50) NOT NULL)";

std::vector<std::string> statements(Engine engine) {
  const Types t(engine);
  std::vector<std::string> sql = {
      "CREATE TABLE IF NOT EXISTS SEGMER (" + t.varying("CDSEGMER", 5) + " NOT NULL PRIMARY KEY, " +
          t.varying("NMSEGMER", 40) + " NOT NULL)",
      "CREATE TABLE IF NOT EXISTS GRPRODPDV (" + t.varying("CDGRPRODPDV", 10) +
          " NOT NULL PRIMARY KEY, " + t.varying("NMGRPRODPDV", 40) + " NOT NULL)",
      "CREATE TABLE IF NOT EXISTS FILIAL (" + t.fixed("CDFILIAL", 4) + " NOT NULL PRIMARY KEY, " +
          t.varying("NMFILIAL", 30) + " NOT NULL, " + t.varying("CDSEGMER", 5) +
          " REFERENCES SEGMER, " + t.fixed("IDPRECDIFCOM", 1) + ", " +
          t.varying("CDGRPRODPDV", 10) + " REFERENCES GRPRODPDV, " + t.fixed("IDUTMODPRODFIL", 1) +
          ")",
      "CREATE TABLE IF NOT EXISTS PRODUTO (" + t.fixed("CDPRODUTO", 10) +
          " NOT NULL PRIMARY KEY, " + t.varying("CDARVPROD", 20) + " NOT NULL UNIQUE, " +
          t.varying("NMPRODUTO", 50) + " NOT NULL)",
      "CREATE TABLE IF NOT EXISTS TABEPREC (" + t.fixed("CDFILIAL", 4) +
          " NOT NULL REFERENCES FILIAL, " + t.fixed("CDTABEPREC", 3) + " NOT NULL, " +
          t.varying("NMTABEPREC", 20) + " NOT NULL, PRIMARY KEY (CDFILIAL, CDTABEPREC))",
      "CREATE TABLE IF NOT EXISTS TABEVEND (" + t.fixed("CDFILIAL", 4) + " NOT NULL, " +
          t.fixed("CDTABEPREC", 3) + " NOT NULL, " + t.date("DTINIVGPREC") + " NOT NULL, " +
          t.date("DTFINVGPREC") +
          " NOT NULL, PRIMARY KEY (CDFILIAL, CDTABEPREC, DTINIVGPREC), "
          "FOREIGN KEY (CDFILIAL, CDTABEPREC) REFERENCES TABEPREC (CDFILIAL, CDTABEPREC))",
      "CREATE TABLE IF NOT EXISTS ITEMPRECO (" + t.fixed("CDFILIAL", 4) + " NOT NULL, " +
          t.fixed("CDTABEPREC", 3) + " NOT NULL, " + t.date("DTINIVGPREC") + " NOT NULL, " +
          t.fixed("CDPRODUTO", 10) +
          " NOT NULL REFERENCES PRODUTO, VRPRECITEM NUMERIC(15,4), "
          "IDPROMOCAO CHAR(1) NOT NULL DEFAULT 'N' CHECK (IDPROMOCAO IN ('S', 'N')), "
          "PRIMARY KEY (CDFILIAL, CDTABEPREC, DTINIVGPREC, CDPRODUTO), "
          "FOREIGN KEY (CDFILIAL, CDTABEPREC, DTINIVGPREC) "
          "REFERENCES TABEVEND (CDFILIAL, CDTABEPREC, DTINIVGPREC))",
      // No foreign keys: the audit outlives what it describes. The columns after QTLINHAS are
      // the journal's (journalColumns below adds them to a table made before it).
      "CREATE TABLE IF NOT EXISTS ALTERACAOLOG (" + t.identity("ID") + ", " +
          t.timestamp("DTALTERACAO") +
          " NOT NULL, DSCLIENTE TEXT NOT NULL, DSMETODO VARCHAR(40) NOT NULL, " +
          t.fixed("CDFILIAL", 4) + ", " + t.fixed("CDTABEPREC", 3) + ", " + t.date("DTINIVGPREC") +
          ", DSSELECAO TEXT NOT NULL, QTLINHAS BIGINT NOT NULL, DSUSUARIO TEXT, DSMAQUINA TEXT, "
          "QTINALTERADAS BIGINT NOT NULL DEFAULT 0, DSCAMPO VARCHAR(20), IDRESTAURADA BIGINT, "
          "NRITEMINICIAL BIGINT, NRITEMFINAL BIGINT, " +
          t.timestamp("DTDESCARTE") + ", IDVINCULADA BIGINT)",
      // One row per row a change changed: the header in ALTERACAOLOG says which validity's
      // items (IDPROMOCAO) or that it is the products' names (NMPRODUTO). It is filled only
      // from columns that are checked already, so neither a foreign key to ALTERACAOLOG nor
      // SQLite's length checks are repeated here: per row they would cost a third of what the
      // row does.
      //
      // The table is a log: rows are only ever added, at its end, one change's rows in one
      // statement, and a change journals each product once. It has no key: a unique index would
      // cost every change one search per row written, about as much as changing the row
      // itself. A change's rows are found instead by where they lie (journal/item_runs.h): on
      // SQLite by the run of rowids its ALTERACAOLOG row records, on PostgreSQL through a block
      // range index on IDALTERACAO, which follows the order the rows were written in.
      std::string("CREATE TABLE IF NOT EXISTS ALTERACAOITEM ") + kJournalItemColumns,
      // Other reads are served by the keys: the items of one validity by the leading columns
      // of ITEMPRECO's key, tree-code lookups by PRODUTO's unique CDARVPROD.
      "CREATE INDEX IF NOT EXISTS ALTERACAOLOG_DATA ON ALTERACAOLOG (DTALTERACAO)",
      // The accounts callers log in with (accounts.h). The password is an Argon2id hash; the
      // rights are names separated by blanks. Branches are not checked against FILIAL: an
      // account may be granted a branch before the branch exists.
      "CREATE TABLE IF NOT EXISTS CONTA (" + t.varying("DSLOGIN", 64) + " NOT NULL PRIMARY KEY, " +
          t.varying("DSSENHA", 255) + " NOT NULL, " + t.fixed("IDATIVA", 1) +
          " NOT NULL DEFAULT 'S' CHECK (IDATIVA IN ('S', 'N')), " + t.fixed("IDTODASFILIAIS", 1) +
          " NOT NULL DEFAULT 'N' CHECK (IDTODASFILIAIS IN ('S', 'N')), " +
          t.varying("DSDIREITOS", 100) + " NOT NULL DEFAULT '', " + t.timestamp("DTCRIACAO") +
          " NOT NULL)",
      "CREATE TABLE IF NOT EXISTS CONTAFILIAL (" + t.varying("DSLOGIN", 64) + " NOT NULL, " +
          t.fixed("CDFILIAL", 4) + " NOT NULL, PRIMARY KEY (DSLOGIN, CDFILIAL))",
  };
  if (engine == Engine::Postgres) {
    // The same normalisation as the SQLite connection's registered function.
    sql.insert(sql.begin(),
               "CREATE OR REPLACE FUNCTION vnd_arvnorm(code text) RETURNS text "
               "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE "
               "AS 'SELECT regexp_replace(code, ''[^A-Za-z0-9]'', '''', ''g'')'");
    // Normalised tree codes in byte order: ranges and lookups use it, and its statistics tell
    // the planner how many products a range holds. (SQLite could index the expression only if
    // every program writing the file registered the function.)
    sql.push_back(
        "CREATE INDEX IF NOT EXISTS PRODUTO_ARVNORM ON PRODUTO ((vnd_arvnorm(CDARVPROD)) "
        "COLLATE \"C\")");
    // Small ranges of pages: a change of a few rows reads 32 pages, not 128. New ranges are
    // summarised as they fill; the last one, not yet summarised, is always read.
    sql.push_back(
        "CREATE INDEX IF NOT EXISTS ALTERACAOITEM_ALTERACAO ON ALTERACAOITEM USING brin "
        "(IDALTERACAO) WITH (pages_per_range = 32, autosummarize = on)");
  }
  return sql;
}

// The journal's columns of ALTERACAOLOG, as they are added to a table made before them.
// DTDESCARTE, when a change's rows were discarded from the journal (journal/prune.h), has the
// engine's timestamp type. IDVINCULADA names the row recorded with this one as one change
// (journal/record.h); rows written before it have none, and read as they always did.
struct JournalColumn {
  const char* name;
  const char* type;
  const char* sqliteType = nullptr;  // when it differs
};
constexpr JournalColumn kJournalColumns[] = {
    {"DSUSUARIO", "TEXT"},
    {"DSMAQUINA", "TEXT"},
    {"QTINALTERADAS", "BIGINT NOT NULL DEFAULT 0"},
    {"DSCAMPO", "VARCHAR(20)"},
    {"IDRESTAURADA", "BIGINT"},
    {"NRITEMINICIAL", "BIGINT"},
    {"NRITEMFINAL", "BIGINT"},
    {"DTDESCARTE", "TIMESTAMP(3)", "TEXT"},
    {"IDVINCULADA", "BIGINT"},
};

void addJournalColumns(db::Connection& c) {
  if (c.engine() == Engine::Postgres) {
    for (const JournalColumn& column : kJournalColumns)
      c.run(std::string("ALTER TABLE ALTERACAOLOG ADD COLUMN IF NOT EXISTS ") + column.name + " " +
            column.type);
    return;
  }
  std::vector<std::string> present;
  c.query("SELECT name FROM pragma_table_info('ALTERACAOLOG')", {},
          [&](const db::Row& row) { present.emplace_back(row.text(0)); });
  for (const JournalColumn& wanted : kJournalColumns) {
    bool found = false;
    for (const std::string& column : present) found = found || column == wanted.name;
    if (!found)
      c.run(std::string("ALTER TABLE ALTERACAOLOG ADD COLUMN ") + wanted.name + " " +
            (wanted.sqliteType ? wanted.sqliteType : wanted.type));
  }
}

// An ALTERACAOITEM made with a key by an earlier version loses it. On SQLite the table is
// rebuilt: its rows are copied change by change, in key order, and each change gets the run of
// rowids its rows took (an empty run when it has none). On PostgreSQL the key is dropped; the
// block range index is made with the other statements.
void unkeyJournalItems(db::Connection& c) {
  if (c.engine() == Engine::Postgres) {
    c.run("ALTER TABLE ALTERACAOITEM DROP CONSTRAINT IF EXISTS alteracaoitem_pkey");
    return;
  }
  const std::optional<int64_t> keys =
      c.queryInteger("SELECT COUNT(*) FROM pragma_index_list('ALTERACAOITEM') WHERE origin = 'pk'");
  if (keys.value_or(0) == 0) return;
  c.run(std::string("CREATE TABLE ALTERACAOITEM_SEMCHAVE ") + kJournalItemColumns);
  c.run(
      "INSERT INTO ALTERACAOITEM_SEMCHAVE SELECT IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS FROM "
      "ALTERACAOITEM ORDER BY IDALTERACAO, CDPRODUTO");
  c.run(
      "UPDATE ALTERACAOLOG SET NRITEMINICIAL = R.INICIAL, NRITEMFINAL = R.FINAL FROM (SELECT "
      "IDALTERACAO, MIN(ROWID) AS INICIAL, MAX(ROWID) AS FINAL FROM ALTERACAOITEM_SEMCHAVE GROUP "
      "BY IDALTERACAO) AS R WHERE R.IDALTERACAO = ALTERACAOLOG.ID");
  c.run("UPDATE ALTERACAOLOG SET NRITEMINICIAL = 1, NRITEMFINAL = 0 WHERE NRITEMINICIAL IS NULL");
  c.run("DROP TABLE ALTERACAOITEM");
  c.run("ALTER TABLE ALTERACAOITEM_SEMCHAVE RENAME TO ALTERACAOITEM");
}

// What a server needs, as a query per table that reads no row but names every column the
// journal added (a table made before the journal needs `init` again).
constexpr const char* kRequiredTables[][2] = {
    {"SEGMER", "CDSEGMER"},
    {"GRPRODPDV", "CDGRPRODPDV"},
    {"FILIAL", "CDFILIAL"},
    {"PRODUTO", "CDPRODUTO"},
    {"TABEPREC", "CDTABEPREC"},
    {"TABEVEND", "DTFINVGPREC"},
    {"ITEMPRECO", "IDPROMOCAO"},
    {"ALTERACAOLOG",
     "DSUSUARIO, DSMAQUINA, QTINALTERADAS, DSCAMPO, IDRESTAURADA, NRITEMINICIAL, NRITEMFINAL, "
     "DTDESCARTE, IDVINCULADA"},
    {"ALTERACAOITEM", "DSANTES, DSDEPOIS"},
    {"CONTA", "DSLOGIN, DSSENHA, IDATIVA, IDTODASFILIAIS, DSDIREITOS"},
    {"CONTAFILIAL", "DSLOGIN, CDFILIAL"},
};

}  // namespace

void requireSchema(db::Connection& connection) {
  for (const auto& [table, columns] : kRequiredTables) {
    try {
      connection.query(std::string("SELECT ") + columns + " FROM " + table + " WHERE 1 = 0", {},
                       [](const db::Row&) {});
    } catch (const StorageError& e) {
      // The database's own words go along: a missing column and a refused permission read
      // alike from here.
      throw StorageError(std::string("o banco de dados não tem a tabela ") + table +
                         " como este servidor a usa; crie ou atualize o esquema com "
                         "vnd42400 init (" +
                         e.what() + ")");
    }
  }
}

void createSchema(db::Connection& connection) {
  db::Transaction tx(connection, db::TxMode::Write);
  for (const std::string& sql : statements(connection.engine())) connection.run(sql);
  addJournalColumns(connection);
  unkeyJournalItems(connection);
  // The first row of a change in two is found by the row that names it: the history's pages
  // leave such rows out, one look-up each.
  connection.run("CREATE INDEX IF NOT EXISTS ALTERACAOLOG_VINCULADA ON ALTERACAOLOG (IDVINCULADA)");
  tx.commit();
}

}  // namespace server
