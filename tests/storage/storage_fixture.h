#pragma once
// Test support for the storage: a throwaway database on each engine, a small hand-made data
// set, calls of the server object through the network layer's dispatcher (arguments written as
// the client's variants, checked against the remote contract, the answer encoded and decoded as
// on the wire), and dumps of the database and of answers as one string each, so that a test
// compares whole states.
//
// PostgreSQL databases are created fresh for each test through VND_PG_ADMIN_URI (set by
// scripts/with-postgres); without it the PostgreSQL tests fail, saying so.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rtl/variant.h"
#include "server/net/dispatcher.h"
#include "server/object/server_object.h"
#include "server/storage/storage.h"

namespace storage_test {

enum class Backend { SqliteMemory, SqliteFile, Postgres };
std::string backendName(const ::testing::TestParamInfo<Backend>& info);

// A database that exists for the life of the object.
class TestDatabase {
 public:
  explicit TestDatabase(Backend backend);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // The openStorage target; empty when the database could not be made (error() says why).
  const std::string& target() const { return target_; }
  const std::string& error() const { return error_; }

 private:
  Backend backend_;
  std::string target_, error_, folder_, pgName_, pgAdmin_;
};

// Arguments, as a client sends them.
using Arg = rtl::Variant;
using Args = std::vector<rtl::Variant>;
Arg str(std::string text);
Arg ref(std::string text);  // the text lives until the end of the test program
Arg date(int year, int month, int day, double timeOfDay = 0);
Arg integer(int32_t value);
Arg boolean(bool value);
Arg null();

// Calls `method` of `object` as a connection attached to it by `context` would, through a
// dispatcher of its own; an answer in the response's error slot is thrown as server::CallError.
// Each call is made on a new connection.
server::Answer callThroughEdge(const server::ServerObject& object, const std::string& method,
                               const Args& args, const server::CallContext& context);
// The same on `connection`, which keeps what the object remembers between the calls of one
// connection.
server::Answer callThroughEdge(const server::ServerObject& object, const std::string& method,
                               const Args& args, server::SessionState& connection);

// "name|name\n" then one line per row, values joined by "|", null as "~".
std::string dump(const server::Answer& answer);
// Rows of a query, one line each, values joined by "|", null as "~".
std::string dump(server::Storage& storage, const std::string& sql);

// A product selection list of these codes ("_" + code + "_" + ...).
std::string productList(const std::vector<std::string>& codes);

// The journal as earlier versions made it, for the tests of `init`'s upgrade: ALTERACAOLOG
// with the base columns, then `more`; and ALTERACAOITEM keyed by (change, product), with the
// journal's first ALTERACAOLOG columns.
void createOldAuditTable(server::db::Connection& c, const std::string& more);
void createKeyedJournal(server::db::Connection& c);

// The tests' data set:
//   branches 0001 (segment 10, group GRP01) and A1B2 (no segment, no group);
//   price tables 0001/001, 0001/002, A1B2/001;
//   validities 0001/001 from 2023-10-01, 2024-01-01 and 2024-04-01 (inserted out of order),
//   0001/002 from 2024-01-01, A1B2/001 from 2024-02-10;
//   products PRD0000001..PRD0000005, "AB        " (trailing blanks) and PRD0000007, with
//   tree codes 01020001, 01020002, 01030001, 0103-0002 (a stored literal), 02010001,
//   02010002, 02010003; PRD0000005's name has 45 characters;
//   items: 0001/001/2024-01-01 and 0001/001/2023-10-01 hold the first six products
//   (PRD0000001 in promotion), 0001/002/2024-01-01 the first three.
void seed(server::Storage& storage);

// A storage on one backend, seeded, with the server object over it.
class StorageTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Calls a method of the object through the network layer's dispatcher, on a new connection.
  server::Answer call(const std::string& method, const Args& args,
                      const server::CallContext& context = {"127.0.0.1:50000", "ana", "caixa1"});
  // A connection attached to the object, as a desk's screen holds one, and a call on it.
  server::SessionState connection(const server::CallContext& context = {"127.0.0.1:50000", "ana",
                                                                        "caixa1"});
  server::Answer call(server::SessionState& on, const std::string& method, const Args& args);

  // IDPROMOCAO of every item of a validity: "PRD0000001=S PRD0000002=N ...".
  std::string promotions(const std::string& branch, const std::string& table,
                         const std::string& start);
  // Every product "code=name", one per line, by code.
  std::string names();
  // Everything a change may touch: all items, all names, the journal rows (without time).
  std::string wholeState();

  std::unique_ptr<TestDatabase> database_;
  std::unique_ptr<server::Storage> storage_;
  std::unique_ptr<server::ServerObject> object_;
};

}  // namespace storage_test
