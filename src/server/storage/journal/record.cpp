#include "server/storage/journal/record.h"

#include <chrono>
#include <cstdio>

#include "server/storage/clean_text.h"
#include "server/storage/db/dialect.h"
#include "server/storage/db/sql.h"

namespace server {

namespace {

constexpr size_t kMaxClientBytes = 200;
constexpr size_t kMaxCallerBytes = 100;

}  // namespace

std::string callerText(std::string_view text) {
  return storableText(text, kMaxCallerBytes);
}

std::string clientText(std::string_view peer, std::string_view user, std::string_view machine) {
  // The client names itself: keep the record storable whatever it sent.
  const auto part = [](std::string_view text) { return storableText(text, text.size()); };
  std::string text = peer.empty() ? "?" : part(peer);
  if (!user.empty() || !machine.empty()) text += " " + part(user) + "@" + part(machine);
  return storableText(text, kMaxClientBytes);
}

std::string utcTimestamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto days = floor<std::chrono::days>(now);
  const year_month_day date{days};
  const hh_mm_ss time{floor<milliseconds>(now - days)};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03d",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
                static_cast<int>(time.subseconds().count()));
  return text;
}

int64_t openRecord(db::Connection& c, const ChangeRecord& record) {
  auto optional = [](const std::optional<std::string>& value) {
    return value ? db::Param(*value) : db::Param(nullptr);
  };
  auto named = [](const std::string& value) {
    return value.empty() ? db::Param(nullptr) : db::Param(value);
  };
  auto number = [](const std::optional<int64_t>& value) {
    return value ? db::Param(*value) : db::Param(nullptr);
  };
  const bool postgres = c.engine() == db::Engine::Postgres;
  db::Sql sql(
      "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, CDFILIAL, CDTABEPREC, "
      "DTINIVGPREC, DSSELECAO, QTLINHAS, DSUSUARIO, DSMAQUINA, QTINALTERADAS, DSCAMPO, "
      "IDRESTAURADA, IDVINCULADA) VALUES (");
  sql.bind(utcTimestamp(), postgres ? "CAST(? AS TIMESTAMP(3))" : "?") << ", ";
  sql.bind(record.client) << ", ";
  sql.bind(record.method) << ", ";
  sql.bind(optional(record.branch)) << ", ";
  sql.bind(optional(record.table)) << ", ";
  sql.bind(optional(record.start), db::dateParam(c.engine())) << ", ";
  sql.bind(record.selection) << ", 0, ";
  sql.bind(named(record.user)) << ", ";
  sql.bind(named(record.machine)) << ", 0, ";
  sql.bind(optional(record.column)) << ", ";
  const char* bigint = postgres ? "CAST(? AS BIGINT)" : "?";
  sql.bind(number(record.restored), bigint) << ", ";
  sql.bind(number(record.linked), bigint) << ") RETURNING ID";
  const std::optional<int64_t> id = c.queryInteger(sql.text(), sql.params());
  if (!id) throw StorageError("o registro da alteração não recebeu um número");
  return *id;
}

void closeRecord(db::Connection& c, int64_t id, int64_t changed, int64_t unchanged,
                 const std::optional<ItemRun>& items) {
  db::Params params{changed, unchanged, nullptr, nullptr, id};
  if (items) {
    params[2] = items->first;
    params[3] = items->last;
  }
  c.execute(
      "UPDATE ALTERACAOLOG SET QTLINHAS = ?, QTINALTERADAS = ?, NRITEMINICIAL = ?, NRITEMFINAL = ? "
      "WHERE ID = ?",
      params);
}

}  // namespace server
