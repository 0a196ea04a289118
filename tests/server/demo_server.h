#pragma once
// A demo database on one engine served by a real `vnd42400 serve`, and what the tests need to
// find their way in it over the wire. Creating one runs `vnd42400 demo`, so every test starts
// from the same deterministic data.

#include <memory>
#include <string>
#include <vector>

#include "support/server_process.h"
#include "test_database.h"

namespace servertest {

inline constexpr const char* kObjectName = "Vnd42400.rdmTabePreco";

class DemoServer {
 public:
  // `setup`: vnd42400 commands run on the demo database before it is served, each given
  // "--db TARGET" at its end (accounts, for instance).
  DemoServer(Engine engine, int products, testsupport::ServerProcess::Options options = {},
             const std::vector<std::vector<std::string>>& setup = {});

  TestDatabase& db() { return db_; }
  testsupport::ServerProcess& process() { return *process_; }
  // A new connection, attached to the object unless told otherwise.
  std::unique_ptr<testsupport::RpcClient> client(bool attach = true);

 private:
  TestDatabase db_;
  std::unique_ptr<testsupport::ServerProcess> process_;
};

struct Period {
  double start = 0;      // the day count the methods take
  std::string startIso;  // YYYY-MM-DD
  std::string endIso;
};

// The validity periods of a price table, chronologically, as getVigencia gives them.
std::vector<Period> periodsOf(testsupport::RpcClient& client, const std::string& branch,
                              const std::string& table);

}  // namespace servertest
