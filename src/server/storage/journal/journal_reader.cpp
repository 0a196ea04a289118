#include "server/storage/journal/journal_reader.h"

#include <cstdio>
#include <set>
#include <unordered_map>

#include "rtl/dates.h"
#include "server/storage/db/sql.h"
#include "server/storage/journal/item_runs.h"

namespace server {

namespace {

constexpr const char* kEntryColumns =
    "SELECT ID, CAST(DTALTERACAO AS TEXT), DSCLIENTE, DSUSUARIO, DSMAQUINA, DSMETODO, CDFILIAL, "
    "CDTABEPREC, CAST(DTINIVGPREC AS TEXT), DSSELECAO, QTLINHAS, QTINALTERADAS, DSCAMPO, "
    "IDRESTAURADA, CAST(DTDESCARTE AS TEXT), IDVINCULADA FROM ALTERACAOLOG";

// PostgreSQL writes a timestamp without its trailing zero fractions ("10:00:00", "10:00:00.5");
// the journal shows milliseconds always, as SQLite stores them.
std::string withMilliseconds(std::string_view text) {
  std::string out(text);
  const size_t dot = out.find('.');
  if (dot == std::string::npos) return out + ".000";
  while (out.size() < dot + 4) out += '0';
  return out;
}

std::optional<std::string> optionalText(const db::Row& row, int column) {
  if (row.isNull(column)) return std::nullopt;
  return std::string(row.text(column));
}

// One ALTERACAOLOG row, and the row it names when it is the second of a change in two.
struct LogRow {
  JournalEntry entry;
  std::optional<int64_t> linked;
};

LogRow logRowOf(const db::Row& row) {
  LogRow read;
  JournalEntry& e = read.entry;
  e.id = row.integer(0);
  e.when = withMilliseconds(row.text(1));
  e.client = row.text(2);
  e.user = row.text(3);
  e.machine = row.text(4);
  e.method = row.text(5);
  e.branch = optionalText(row, 6);
  e.table = optionalText(row, 7);
  e.start = optionalText(row, 8);
  e.selection = row.text(9);
  e.changed = row.integer(10);
  e.unchanged = row.integer(11);
  e.column = optionalText(row, 12);
  if (!row.isNull(13)) e.restored = row.integer(13);
  if (!row.isNull(14)) e.discarded = withMilliseconds(row.text(14));
  if (!row.isNull(15)) read.linked = row.integer(15);
  return read;
}

std::optional<LogRow> findRow(db::Connection& c, int64_t id) {
  std::optional<LogRow> found;
  c.query(std::string(kEntryColumns) + " WHERE ID = ?", {id},
          [&](const db::Row& row) { found = logRowOf(row); });
  return found;
}

// The entry of `row`, with the first row of its change when it names one (`read` holds the rows
// read already).
JournalEntry entryOf(db::Connection& c, const LogRow& row,
                     const std::unordered_map<int64_t, const LogRow*>& read = {}) {
  JournalEntry entry = row.entry;
  if (!row.linked) return entry;
  if (const auto found = read.find(*row.linked); found != read.end()) {
    entry.names = std::make_shared<JournalEntry>(found->second->entry);
  } else if (const std::optional<LogRow> first = findRow(c, *row.linked)) {
    entry.names = std::make_shared<JournalEntry>(first->entry);
  }
  return entry;
}

bool digits(std::string_view text, size_t at, size_t count) {
  for (size_t i = at; i < at + count; ++i)
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  return true;
}

int number(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

std::string changeMethods(const JournalEntry& e) {
  if (!e.names || e.names->method == e.method) return e.method;
  return e.names->method + "+" + e.method;
}

std::optional<std::string> journalTimestamp(std::string_view text) {
  // YYYY-MM-DD, then optionally [ T]HH:MM and optionally :SS.
  if (text.size() != 10 && text.size() != 16 && text.size() != 19) return std::nullopt;
  if (!digits(text, 0, 4) || text[4] != '-' || !digits(text, 5, 2) || text[7] != '-' ||
      !digits(text, 8, 2))
    return std::nullopt;
  rtl::TDateTime day = 0;
  if (!rtl::TryEncodeDate(number(text, 0, 4), number(text, 5, 2), number(text, 8, 2), day))
    return std::nullopt;
  int hour = 0, minute = 0, second = 0;
  if (text.size() > 10) {
    if ((text[10] != ' ' && text[10] != 'T') || !digits(text, 11, 2) || text[13] != ':' ||
        !digits(text, 14, 2))
      return std::nullopt;
    hour = number(text, 11, 2);
    minute = number(text, 14, 2);
    if (text.size() == 19) {
      if (text[16] != ':' || !digits(text, 17, 2)) return std::nullopt;
      second = number(text, 17, 2);
    }
  }
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  char time[48];
  std::snprintf(time, sizeof time, " %02d:%02d:%02d.000", hour, minute, second);
  return std::string(text.substr(0, 10)) + time;
}

std::vector<JournalEntry> listChanges(db::Connection& c, const std::optional<std::string>& since) {
  db::Transaction tx(c, db::TxMode::Read);
  db::Sql sql(kEntryColumns);
  if (since)
    sql.bind(*since, c.engine() == db::Engine::Postgres
                         ? " WHERE DTALTERACAO >= CAST(? AS TIMESTAMP(3))"
                         : " WHERE DTALTERACAO >= ?");
  sql << " ORDER BY ID";
  std::vector<LogRow> rows;
  sql.query(c, [&](const db::Row& row) { rows.push_back(logRowOf(row)); });
  std::unordered_map<int64_t, const LogRow*> byId;
  std::set<int64_t> firstRows;  // shown with the row that names them
  for (const LogRow& row : rows) {
    byId.emplace(row.entry.id, &row);
    if (row.linked) firstRows.insert(*row.linked);
  }
  std::vector<JournalEntry> entries;
  for (const LogRow& row : rows)
    if (!firstRows.count(row.entry.id)) entries.push_back(entryOf(c, row, byId));
  tx.commit();
  return entries;
}

std::optional<JournalEntry> findChange(db::Connection& c, int64_t id) {
  std::optional<LogRow> row = findRow(c, id);
  if (!row) return std::nullopt;
  // The first row of a change in two is named by a later one.
  if (!row->linked) {
    if (const std::optional<int64_t> second = c.queryInteger(
            "SELECT MIN(ID) FROM ALTERACAOLOG WHERE ID > ? AND IDVINCULADA = ?", {id, id}))
      row = findRow(c, *second);
  }
  if (!row) return std::nullopt;
  return entryOf(c, *row);
}

std::vector<JournalItem> changeItems(db::Connection& c, int64_t id) {
  std::vector<JournalItem> items;
  db::Sql sql("SELECT I.CDPRODUTO, I.DSANTES, I.DSDEPOIS FROM ALTERACAOITEM I WHERE ");
  sql << itemsOfChange(c.engine(), "I", id) << " ORDER BY I.CDPRODUTO COLLATE \"C\"";
  sql.query(c, [&](const db::Row& row) {
    items.push_back({std::string(row.text(0)), std::string(row.text(1)), std::string(row.text(2))});
  });
  return items;
}

namespace {

// Adds the condition that keeps the changes `filter` lets through, on the ALTERACAOLOG row L
// that stands for the change (its second row for a change in two).
void addFilter(db::Sql& sql, db::Engine engine, const JournalFilter& filter) {
  const char* timestamp = engine == db::Engine::Postgres ? "CAST(? AS TIMESTAMP(3))" : "?";
  if (filter.branch) sql.bind(*filter.branch, " AND L.CDFILIAL = ?");
  if (filter.table) sql.bind(*filter.table, " AND L.CDTABEPREC = ?");
  if (filter.start) sql.bind(*filter.start, " AND L.DTINIVGPREC = ?");
  if (filter.user) sql.bind(*filter.user, " AND L.DSUSUARIO = ?");
  if (filter.since) {
    sql << " AND L.DTALTERACAO >= ";
    sql.bind(*filter.since, timestamp);
  }
  if (filter.until) {
    sql << " AND L.DTALTERACAO < ";
    sql.bind(*filter.until, timestamp);
  }
  if (filter.method) {
    sql.bind(*filter.method, " AND (L.DSMETODO = ?");
    sql.bind(*filter.method,
             " OR EXISTS (SELECT 1 FROM ALTERACAOLOG N WHERE N.ID = L.IDVINCULADA AND "
             "N.DSMETODO = ?))");
  }
  if (!filter.branches) return;
  sql << " AND (";
  if (filter.names) sql << "L.CDFILIAL IS NULL OR ";
  sql << "L.CDFILIAL IN (NULL";
  for (const std::string& branch : *filter.branches) sql.bind(branch, ", ?");
  sql << "))";
}

}  // namespace

std::vector<JournalEntry> listChangePage(db::Connection& c, const JournalFilter& filter,
                                         std::optional<int64_t> before, int64_t limit) {
  db::Transaction tx(c, db::TxMode::Read);
  // The first row of a change in two is read with the second, which names it.
  db::Sql sql(kEntryColumns);
  sql << " L WHERE NOT EXISTS (SELECT 1 FROM ALTERACAOLOG S WHERE S.IDVINCULADA = L.ID)";
  if (before) sql.bind(*before, " AND L.ID < ?");
  addFilter(sql, c.engine(), filter);
  sql << " ORDER BY L.ID DESC";
  sql.bind(limit, " LIMIT ?");
  std::vector<LogRow> rows;
  sql.query(c, [&](const db::Row& row) { rows.push_back(logRowOf(row)); });
  std::vector<JournalEntry> entries;
  entries.reserve(rows.size());
  for (const LogRow& row : rows) entries.push_back(entryOf(c, row));
  tx.commit();
  return entries;
}

std::vector<const JournalEntry*> changeParts(const JournalEntry& entry) {
  if (entry.names) return {entry.names.get(), &entry};
  return {&entry};
}

int64_t keptItems(const JournalEntry& part) {
  return part.column && !part.discarded ? part.changed : 0;
}

std::vector<JournalItemRow> changeItemPage(db::Connection& c, const JournalEntry& entry,
                                           int64_t offset, int64_t limit) {
  std::vector<JournalItemRow> rows;
  for (const JournalEntry* part : changeParts(entry)) {
    if (limit <= 0) break;
    const int64_t kept = keptItems(*part);
    if (offset >= kept) {
      offset -= kept;
      continue;
    }
    // The page is cut from the part's rows first; only its rows meet the products.
    db::Sql sql(
        "SELECT X.CDPRODUTO, X.DSANTES, X.DSDEPOIS, P.CDARVPROD, P.NMPRODUTO FROM (SELECT "
        "I.CDPRODUTO, I.DSANTES, I.DSDEPOIS FROM ALTERACAOITEM I WHERE ");
    sql << itemsOfChange(c.engine(), "I", part->id) << " ORDER BY I.CDPRODUTO COLLATE \"C\"";
    sql.bind(limit, " LIMIT ?");
    sql.bind(offset, " OFFSET ?");
    sql << ") X LEFT JOIN PRODUTO P ON P.CDPRODUTO = X.CDPRODUTO ORDER BY X.CDPRODUTO COLLATE "
           "\"C\"";
    const size_t before = rows.size();
    sql.query(c, [&](const db::Row& row) {
      rows.push_back(
          {*part->column,
           {std::string(row.text(0)), std::string(row.text(1)), std::string(row.text(2))},
           optionalText(row, 3),
           optionalText(row, 4)});
    });
    limit -= static_cast<int64_t>(rows.size() - before);
    offset = 0;
  }
  return rows;
}

}  // namespace server
