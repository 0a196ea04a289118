#include "server/storage/db/sqlite_marks.h"

#include <sqlite3.h>

#include <new>

#include "server/storage/db/row_marks.h"

namespace server::db {

namespace {

// vnd_marca(code, before, after): whether `before` differs from `after`; keeps `code` when it
// does. Reading an argument's text also finds a null: its text is a null pointer (as is the
// text SQLite had no memory to make, told apart only then).
void markRow(sqlite3_context* context, int, sqlite3_value** argv) {
  auto* marks = static_cast<RowMarks*>(sqlite3_user_data(context));
  std::string_view text[3];
  for (int i = 0; i < 3; ++i) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    if (!data) {
      if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
        sqlite3_result_error(context, "vnd_marca: valor nulo", -1);
      else
        sqlite3_result_error_nomem(context);
      return;
    }
    text[i] = {data, static_cast<size_t>(sqlite3_value_bytes(argv[i]))};
  }
  marks->see();
  const bool changes = text[1] != text[2];
  if (changes) {
    try {
      marks->mark(text[0]);
    } catch (const std::bad_alloc&) {
      sqlite3_result_error_nomem(context);
      return;
    }
  }
  sqlite3_result_int(context, changes ? 1 : 0);
}

// vnd_marcados: a table of the marked rows, read front to back.
struct MarkTable {
  sqlite3_vtab base{};
  RowMarks* marks;
};

struct MarkCursor {
  sqlite3_vtab_cursor base{};
  size_t row = 0;
};

RowMarks& marksOf(sqlite3_vtab_cursor* cursor) {
  return *reinterpret_cast<MarkTable*>(cursor->pVtab)->marks;
}

int connectTable(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** table, char**) {
  const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(CDPRODUTO TEXT)");
  if (rc != SQLITE_OK) return rc;
  sqlite3_vtab_config(db, SQLITE_VTAB_DIRECTONLY);
  auto* created = new (std::nothrow) MarkTable;
  if (!created) return SQLITE_NOMEM;
  created->marks = static_cast<RowMarks*>(aux);
  *table = &created->base;
  return SQLITE_OK;
}

int disconnectTable(sqlite3_vtab* table) {
  delete reinterpret_cast<MarkTable*>(table);
  return SQLITE_OK;
}

// One way to read it, whole and in order.
int bestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
  info->estimatedCost = 1000;
  return SQLITE_OK;
}

int openCursor(sqlite3_vtab*, sqlite3_vtab_cursor** cursor) {
  auto* created = new (std::nothrow) MarkCursor;
  if (!created) return SQLITE_NOMEM;
  *cursor = &created->base;
  return SQLITE_OK;
}

int closeCursor(sqlite3_vtab_cursor* cursor) {
  delete reinterpret_cast<MarkCursor*>(cursor);
  return SQLITE_OK;
}

int filter(sqlite3_vtab_cursor* cursor, int, const char*, int, sqlite3_value**) {
  reinterpret_cast<MarkCursor*>(cursor)->row = 0;
  return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* cursor) {
  ++reinterpret_cast<MarkCursor*>(cursor)->row;
  return SQLITE_OK;
}

int atEnd(sqlite3_vtab_cursor* cursor) {
  return reinterpret_cast<MarkCursor*>(cursor)->row >= marksOf(cursor).size();
}

int column(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int) {
  const std::string_view value = marksOf(cursor).code(reinterpret_cast<MarkCursor*>(cursor)->row);
  // The marks stay put while the statement reads them (only a new marking clears them).
  sqlite3_result_text(context, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
  return SQLITE_OK;
}

int rowId(sqlite3_vtab_cursor* cursor, sqlite3_int64* id) {
  *id = static_cast<sqlite3_int64>(reinterpret_cast<MarkCursor*>(cursor)->row);
  return SQLITE_OK;
}

// Eponymous only (no xCreate): the table exists on every connection and never in the file.
// Read-only: no xUpdate.
sqlite3_module markModule() {
  sqlite3_module module{};
  module.xConnect = connectTable;
  module.xBestIndex = bestIndex;
  module.xDisconnect = disconnectTable;
  module.xOpen = openCursor;
  module.xClose = closeCursor;
  module.xFilter = filter;
  module.xNext = next;
  module.xEof = atEnd;
  module.xColumn = column;
  module.xRowid = rowId;
  return module;
}

const sqlite3_module kMarkModule = markModule();

}  // namespace

bool registerRowMarks(sqlite3* db, RowMarks* marks) {
  // Not deterministic: it must run once per row, and never be folded into a constant.
  const int flags = SQLITE_UTF8 | SQLITE_DIRECTONLY;
  return sqlite3_create_function(db, "vnd_marca", 3, flags, marks, markRow, nullptr, nullptr) ==
             SQLITE_OK &&
         sqlite3_create_module(db, "vnd_marcados", &kMarkModule, marks) == SQLITE_OK;
}

}  // namespace server::db
