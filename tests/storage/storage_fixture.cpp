#include "storage/storage_fixture.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include <deque>
#include <mutex>

#include "rpc/client_codec.h"
#include "rtl/dates.h"
#include "server/object/tabe_preco_object.h"
#include "server/storage/db/pg_connection.h"

namespace storage_test {

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
  switch (info.param) {
    case Backend::SqliteMemory:
      return "SqliteMemory";
    case Backend::SqliteFile:
      return "SqliteFile";
    case Backend::Postgres:
      return "Postgres";
  }
  return "Unknown";
}

namespace {

std::atomic<int> counter{0};

// The URI of database `name` on the server of `uri` (the path after the authority replaced).
std::string withDatabase(const std::string& uri, const std::string& name) {
  const size_t authority = uri.find("://");
  const size_t slash = uri.find('/', authority == std::string::npos ? 0 : authority + 3);
  const size_t query = uri.find('?');
  std::string base = slash == std::string::npos ? uri.substr(0, query) : uri.substr(0, slash);
  std::string tail = query == std::string::npos ? "" : uri.substr(query);
  return base + "/" + name + tail;
}

}  // namespace

TestDatabase::TestDatabase(Backend backend) : backend_(backend) {
  const std::string unique =
      std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
  switch (backend) {
    case Backend::SqliteMemory:
      target_ = ":memory:";
      break;
    case Backend::SqliteFile: {
      const auto base = std::filesystem::temp_directory_path() / ("vnd_storage_" + unique);
      std::filesystem::create_directories(base);
      folder_ = base.string();
      target_ = (base / "test.db").string();
      break;
    }
    case Backend::Postgres: {
      const char* admin = std::getenv("VND_PG_ADMIN_URI");
      if (!admin || !*admin) {
        error_ =
            "VND_PG_ADMIN_URI is not set: run the PostgreSQL tests under scripts/with-postgres";
        return;
      }
      pgAdmin_ = admin;
      pgName_ = "vnd_storage_" + unique;
      server::db::PgConnection(pgAdmin_).run("CREATE DATABASE " + pgName_);
      target_ = withDatabase(pgAdmin_, pgName_);
      break;
    }
  }
}

TestDatabase::~TestDatabase() {
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
  if (!pgName_.empty()) {
    try {
      server::db::PgConnection(pgAdmin_).run("DROP DATABASE IF EXISTS " + pgName_ +
                                             " WITH (FORCE)");
    } catch (const std::exception&) {
      // The cluster is thrown away after the run anyway.
    }
  }
}

Arg str(std::string text) {
  return Arg(std::move(text));
}

Arg ref(std::string text) {
  // A by-reference argument points at its variable; the tests' variables are kept here.
  static std::mutex mutex;
  static std::deque<std::string> texts;
  std::lock_guard lock(mutex);
  return Arg::ByRef(texts.emplace_back(std::move(text)));
}

Arg date(int year, int month, int day, double timeOfDay) {
  return Arg::FromDate(rtl::EncodeDate(year, month, day) + timeOfDay);
}

Arg integer(int32_t value) {
  return Arg(value);
}

Arg boolean(bool value) {
  return Arg::FromBool(value);
}

Arg null() {
  return Arg::Null();
}

server::Answer callThroughEdge(const server::ServerObject& object, const std::string& method,
                               const Args& args, const server::CallContext& context) {
  server::SessionState session;
  session.object = &object;
  session.context = context;
  return callThroughEdge(object, method, args, session);
}

server::Answer callThroughEdge(const server::ServerObject& object, const std::string& method,
                               const Args& args, server::SessionState& connection) {
  const server::Dispatcher dispatcher({&object}, "");
  rpc::OutBuffer request, response;
  rpc::encodeRequest(request, 7, method, args);
  dispatcher.handle(rpc::Frame{std::string(request.view())}, connection, response);
  rpc::StreamDecoder decoder;
  decoder.feed(response.data(), response.size());
  const std::optional<rpc::Response> decoded = rpc::decodeResponse(*decoder.next());
  if (decoded->error) throw server::CallError(decoded->error->code, decoded->error->message);
  const auto& answer = decoded->result.asArray();
  const auto packet = answer.at(2).asPacket();
  return {answer.at(0).asInteger(), answer.at(1).asString(),
          packet ? std::optional<rtl::DataPacket>(*packet) : std::nullopt};
}

std::string dump(const server::Answer& answer) {
  std::string out = "status " + std::to_string(answer.status);
  if (!answer.message.empty()) out += " " + answer.message;
  out += "\n";
  if (!answer.data) return out;
  const rtl::DataPacket& packet = *answer.data;
  for (size_t f = 0; f < packet.fieldCount(); ++f) {
    const auto& field = packet.fields()[f];
    out += (f ? "|" : "") + field.name + ":" + rtl::FieldTypeName(field.type) + ":" +
           std::to_string(field.size);
  }
  out += "\n";
  for (size_t r = 0; r < packet.rowCount(); ++r) {
    for (size_t f = 0; f < packet.fieldCount(); ++f) {
      const auto& column = packet.column(f);
      out += f ? "|" : "";
      out += column.isNull(r) ? std::string("~") : std::string(column.string(r));
    }
    out += "\n";
  }
  return out;
}

std::string dump(server::Storage& storage, const std::string& sql) {
  auto connection = storage.connection();
  std::string out;
  connection->query(sql, {}, [&](const server::db::Row& row) {
    for (int c = 0; c < row.columnCount(); ++c) {
      out += c ? "|" : "";
      out += row.isNull(c) ? std::string("~") : std::string(row.text(c));
    }
    out += "\n";
  });
  return out;
}

std::string productList(const std::vector<std::string>& codes) {
  std::string list = "_";
  for (const std::string& code : codes) list += code + "_";
  return list;
}

void createOldAuditTable(server::db::Connection& c, const std::string& more) {
  const bool sqlite = c.engine() == server::db::Engine::Sqlite;
  c.run(std::string("CREATE TABLE ALTERACAOLOG (ID ") +
        (sqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY") +
        ", DTALTERACAO " + (sqlite ? "TEXT" : "TIMESTAMP(3)") +
        " NOT NULL, DSCLIENTE TEXT NOT NULL, DSMETODO VARCHAR(40) NOT NULL, CDFILIAL CHAR(4), "
        "CDTABEPREC CHAR(3), DTINIVGPREC " +
        (sqlite ? "TEXT" : "DATE") + ", DSSELECAO TEXT NOT NULL, QTLINHAS BIGINT NOT NULL" + more +
        ")");
}

void createKeyedJournal(server::db::Connection& c) {
  createOldAuditTable(c,
                      ", DSUSUARIO TEXT, DSMAQUINA TEXT, QTINALTERADAS BIGINT NOT NULL DEFAULT 0, "
                      "DSCAMPO VARCHAR(20), IDRESTAURADA BIGINT");
  c.run(std::string("CREATE TABLE ALTERACAOITEM (IDALTERACAO BIGINT NOT NULL, CDPRODUTO CHAR(10) "
                    "NOT NULL, DSANTES VARCHAR(50) NOT NULL, DSDEPOIS VARCHAR(50) NOT NULL, "
                    "PRIMARY KEY (IDALTERACAO, CDPRODUTO))") +
        (c.engine() == server::db::Engine::Sqlite ? " WITHOUT ROWID" : ""));
}

void seed(server::Storage& storage) {
  auto c = storage.connection();
  server::db::Transaction tx(*c, server::db::TxMode::Write);
  auto run = [&](const std::string& sql, const server::db::Params& params) {
    c->execute(sql, params);
  };
  using P = server::db::Params;
  const server::db::Param none = nullptr;
  run("INSERT INTO SEGMER VALUES (?, ?)", P{"10", "Supermercados"});
  run("INSERT INTO GRPRODPDV VALUES (?, ?)", P{"GRP01", "Mercearia"});
  const char* branch = "INSERT INTO FILIAL VALUES (?, ?, ?, ?, ?, ?)";
  run(branch, P{"A1B2", "Loja Conceito Curitiba", none, "S", none, "N"});
  run(branch, P{"0001", "Matriz São Paulo", "10", "N", "GRP01", "S"});
  const char* product = "INSERT INTO PRODUTO VALUES (?, ?, ?)";
  run(product, P{"PRD0000001", "01020001", "Café torrado"});
  run(product, P{"PRD0000002", "01020002", "Açúcar refinado"});
  run(product, P{"PRD0000003", "01030001", "Feijão carioca"});
  run(product, P{"PRD0000004", "0103-0002", "Arroz agulhinha"});
  run(product, P{"PRD0000005", "02010001", "Papel higiênico folha dupla neutro 30m com 12"});
  run(product, P{"AB        ", "02010002", "Sabão em pó"});
  run(product, P{"PRD0000007", "02010003", "Óleo de soja"});
  const char* table = "INSERT INTO TABEPREC VALUES (?, ?, ?)";
  run(table, P{"0001", "002", "Atacado"});
  run(table, P{"0001", "001", "Varejo"});
  run(table, P{"A1B2", "001", "Conceito"});
  const char* validity = "INSERT INTO TABEVEND VALUES (?, ?, ?, ?)";
  run(validity, P{"0001", "001", "2024-01-01", "2024-03-31"});
  run(validity, P{"0001", "001", "2024-04-01", "2024-12-31"});
  run(validity, P{"0001", "001", "2023-10-01", "2023-12-31"});
  run(validity, P{"0001", "002", "2024-01-01", "2024-06-30"});
  run(validity, P{"A1B2", "001", "2024-02-10", "2024-02-20"});
  const char* item = "INSERT INTO ITEMPRECO VALUES (?, ?, ?, ?, ?, ?)";
  const std::vector<std::string> six = {"PRD0000001", "PRD0000002", "PRD0000003",
                                        "PRD0000004", "PRD0000005", "AB        "};
  for (const char* start : {"2024-01-01", "2023-10-01"})
    for (const std::string& code : six)
      run(item, P{"0001", "001", start, code, "9.9900", code == "PRD0000001" ? "S" : "N"});
  for (int i = 0; i < 3; ++i) run(item, P{"0001", "002", "2024-01-01", six[i], "1.5000", "N"});
  tx.commit();
}

void StorageTest::SetUp() {
  database_ = std::make_unique<TestDatabase>(GetParam());
  ASSERT_TRUE(database_->error().empty()) << database_->error();
  storage_ = server::openStorage(database_->target());
  storage_->createSchema();
  seed(*storage_);
  object_ = std::make_unique<server::TabePrecoObject>(*storage_);
}

void StorageTest::TearDown() {
  object_.reset();
  storage_.reset();
  database_.reset();
}

server::Answer StorageTest::call(const std::string& method, const Args& args,
                                 const server::CallContext& context) {
  return callThroughEdge(*object_, method, args, context);
}

server::SessionState StorageTest::connection(const server::CallContext& context) {
  server::SessionState session;
  session.object = object_.get();
  session.context = context;
  return session;
}

server::Answer StorageTest::call(server::SessionState& on, const std::string& method,
                                 const Args& args) {
  return callThroughEdge(*object_, method, args, on);
}

std::string StorageTest::promotions(const std::string& branch, const std::string& table,
                                    const std::string& start) {
  auto c = storage_->connection();
  std::string out;
  c->query(
      "SELECT CDPRODUTO, IDPROMOCAO FROM ITEMPRECO WHERE CDFILIAL = ? AND CDTABEPREC = ? AND "
      "DTINIVGPREC = ? ORDER BY CDPRODUTO COLLATE \"C\"",
      {branch, table, start}, [&](const server::db::Row& row) {
        out += (out.empty() ? "" : " ") + std::string(row.text(0)) + "=" + std::string(row.text(1));
      });
  return out;
}

std::string StorageTest::names() {
  return dump(*storage_,
              "SELECT CDPRODUTO, NMPRODUTO FROM PRODUTO ORDER BY CDPRODUTO COLLATE \"C\"");
}

std::string StorageTest::wholeState() {
  return dump(*storage_,
              "SELECT CDFILIAL, CDTABEPREC, DTINIVGPREC, CDPRODUTO, IDPROMOCAO FROM "
              "ITEMPRECO ORDER BY CDFILIAL COLLATE \"C\", CDTABEPREC COLLATE \"C\", "
              "DTINIVGPREC, CDPRODUTO COLLATE \"C\"") +
         names() +
         dump(*storage_,
              "SELECT DSCLIENTE, DSMETODO, CDFILIAL, CDTABEPREC, DTINIVGPREC, DSSELECAO, "
              "QTLINHAS FROM ALTERACAOLOG ORDER BY ID") +
         dump(*storage_,
              "SELECT IDALTERACAO, CDPRODUTO, DSANTES, DSDEPOIS FROM ALTERACAOITEM ORDER BY "
              "IDALTERACAO, CDPRODUTO COLLATE \"C\"");
}

}  // namespace storage_test
