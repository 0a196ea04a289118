#include "demo_server.h"

#include <stdexcept>

#include "rtl/dates.h"

namespace servertest {

DemoServer::DemoServer(Engine engine, int products, testsupport::ServerProcess::Options options,
                       const std::vector<std::vector<std::string>>& setup)
    : db_(engine) {
  std::vector<std::vector<std::string>> commands{{"demo", "--products", std::to_string(products)}};
  commands.insert(commands.end(), setup.begin(), setup.end());
  for (std::vector<std::string> command : commands) {
    command.insert(command.end(), {"--db", db_.target()});
    const auto run = testsupport::runVnd42400(command);
    if (run.status != 0)
      throw std::runtime_error("vnd42400 " + command[0] + " failed (" + std::to_string(run.status) +
                               "): " + run.err);
  }
  options.db = db_.target();
  process_ = std::make_unique<testsupport::ServerProcess>(options);
}

std::unique_ptr<testsupport::RpcClient> DemoServer::client(bool attach) {
  auto client = std::make_unique<testsupport::RpcClient>(process_->port());
  if (attach) {
    const auto response = client->attach(kObjectName);
    if (testsupport::describe(response) != "true")
      throw std::runtime_error("attach: " + testsupport::describe(response));
  }
  return client;
}

std::vector<Period> periodsOf(testsupport::RpcClient& client, const std::string& branch,
                              const std::string& table) {
  std::string format = "yyyy-mm-dd";
  const auto data = testsupport::answerData(
      client.call("getVigencia", {branch, table, int32_t{0}, "T", rtl::Variant::ByRef(format)}));
  std::vector<Period> periods;
  for (size_t row = 0; row < data->rowCount(); ++row) {
    Period p;
    p.startIso = std::string(data->column(0).string(row));
    p.endIso = std::string(data->column(1).string(row));
    if (!rtl::TryParseIsoDate(p.startIso, p.start))
      throw std::runtime_error("getVigencia gave a start that is no date: " + p.startIso);
    periods.push_back(p);
  }
  return periods;
}

}  // namespace servertest
