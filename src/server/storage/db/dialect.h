#pragma once
// The few places where the SQL of the two engines differs. Everything else is written once,
// in the subset both understand: "?" placeholders, CAST(... AS TEXT), substr/length counting
// characters, COLLATE "C" for byte order, and the function vnd_arvnorm (registered on each
// SQLite connection, created by the schema on PostgreSQL).

#include <string>

#include "server/storage/db/connection.h"

namespace server::db {

// A subquery over the strings of a JSON array bound at its one "?", as column `value`, in
// array order.
std::string jsonTextList(Engine engine);
// A subquery over a JSON array of arrays bound at its one "?", with the row's strings as
// columns c0, c1, ...
std::string jsonRowsSource(Engine engine, int columns);
// A date parameter where the engine cannot infer its type (a select list).
const char* dateParam(Engine engine);
// Appended to a SELECT to lock its rows against other writers until the transaction ends
// (SQLite locks the whole database for a writer already). The lock leaves foreign-key checks
// of new child rows alone.
const char* forUpdate(Engine engine);
// For the rest of the transaction, plans each statement for the values at hand. PostgreSQL
// settles on a generic plan for a prepared statement after a few runs, and that plan cannot know
// how many products a range holds; SQLite plans every statement anew already.
void preferCustomPlans(Connection& c);

}  // namespace server::db
