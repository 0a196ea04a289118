#pragma once
// The SQL side of RowMarks on one SQLite connection: the function vnd_marca and the table
// vnd_marcados (see row_marks.h). Both may be used only by statements the server runs itself,
// never from a view or trigger stored in the database file.

struct sqlite3;

namespace server::db {

class RowMarks;

// Registers both on `db`, over `marks`, which must outlive the connection. False on failure
// (the connection's error message says why).
bool registerRowMarks(sqlite3* db, RowMarks* marks);

}  // namespace server::db
