#include "server/storage/object/change_log.h"

#include <chrono>
#include <cstdio>

#include "server/storage/db/dialect.h"
#include "server/storage/db/json_text.h"
#include "server/storage/db/sql.h"
#include "server/storage/object/arg_checks.h"

namespace server {

namespace {

constexpr size_t kMaxClientBytes = 200;
constexpr size_t kMaxCallerBytes = 100;

// `text` with every byte that is not part of clean UTF-8 replaced by "?".
std::string storable(std::string text) {
  if (!isCleanText(text))
    for (char& c : text)
      if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) c = '?';
  return text;
}

// Cuts clean UTF-8 to at most `bytes` bytes without splitting a character.
void cutAt(std::string& text, size_t bytes) {
  if (text.size() <= bytes) return;
  size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

}  // namespace

std::string describeClient(const CallContext& context) {
  // The client names itself: keep the record storable whatever it sent.
  std::string text = context.peer.empty() ? "?" : storable(context.peer);
  if (!context.user.empty() || !context.host.empty())
    text += " " + storable(context.user) + "@" + storable(context.host);
  cutAt(text, kMaxClientBytes);
  return text;
}

std::string callerText(std::string_view text) {
  std::string out = storable(std::string(text));
  cutAt(out, kMaxCallerBytes);
  return out;
}

SelectionJson& SelectionJson::add(const char* name, const std::string& value) {
  if (text_.size() > 1) text_ += ',';
  db::appendJsonString(text_, name);
  text_ += ':';
  db::appendJsonString(text_, value);
  return *this;
}

SelectionJson& SelectionJson::add(const char* name, bool value) {
  if (text_.size() > 1) text_ += ',';
  db::appendJsonString(text_, name);
  text_ += value ? ":true" : ":false";
  return *this;
}

SelectionJson& SelectionJson::add(const char* name, int64_t value) {
  if (text_.size() > 1) text_ += ',';
  db::appendJsonString(text_, name);
  text_ += ':' + std::to_string(value);
  return *this;
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
  const bool postgres = c.engine() == db::Engine::Postgres;
  db::Sql sql(
      "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, CDFILIAL, CDTABEPREC, "
      "DTINIVGPREC, DSSELECAO, QTLINHAS, DSUSUARIO, DSMAQUINA, QTINALTERADAS, DSCAMPO, "
      "IDRESTAURADA) VALUES (");
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
  sql.bind(record.restored ? db::Param(*record.restored) : db::Param(nullptr),
           postgres ? "CAST(? AS BIGINT)" : "?")
      << ") RETURNING ID";
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
