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
}

std::string describeClient(const CallContext& context) {
  std::string text = context.peer.empty() ? "?" : context.peer;
  if (!context.user.empty() || !context.host.empty())
    text += " " + context.user + "@" + context.host;
  // The client names itself: keep the record storable whatever it sent.
  if (!isCleanText(text))
    for (char& c : text)
      if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) c = '?';
  if (text.size() > kMaxClientBytes) text.resize(kMaxClientBytes);
  return text;
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

void recordChange(db::Connection& c, const ChangeRecord& record) {
  auto optional = [](const std::optional<std::string>& value) {
    return value ? db::Param(*value) : db::Param(nullptr);
  };
  const bool postgres = c.engine() == db::Engine::Postgres;
  db::Sql sql(
      "INSERT INTO ALTERACAOLOG (DTALTERACAO, DSCLIENTE, DSMETODO, CDFILIAL, CDTABEPREC, "
      "DTINIVGPREC, DSSELECAO, QTLINHAS) VALUES (");
  sql.bind(utcTimestamp(), postgres ? "CAST(? AS TIMESTAMP(3))" : "?") << ", ";
  sql.bind(record.client) << ", ";
  sql.bind(record.method) << ", ";
  sql.bind(optional(record.branch)) << ", ";
  sql.bind(optional(record.table)) << ", ";
  sql.bind(optional(record.start), db::dateParam(c.engine())) << ", ";
  sql.bind(record.selection) << ", ";
  sql.bind(record.rows) << ")";
  sql.execute(c);
}

}  // namespace server
