#pragma once
// The locks that make changes of the same data run one after the other, taken by the database
// so that they hold between server processes sharing it, and released at the end of the
// transaction. Two kinds of data are changed:
//
// - the items of one validity period (promotion flags): the period's TABEVEND row is locked
//   against other writers; changes of other periods run side by side;
// - product names (prefixes): names belong to no period, so every name change locks the whole
//   PRODUTO table against writers; they run one at a time, and the length check and the
//   update see the same names.
//
// On SQLite a write transaction holds the whole file from its start, which serialises both
// kinds already. A wait longer than the storage's lock wait raises LockTimeout.

#include "server/storage/db/connection.h"
#include "server/storage/selection_sql.h"  // ValidityKey

namespace server {

// Locks the period; false when it does not exist.
bool lockValidity(db::Connection& c, const ValidityKey& key);
void lockProductNames(db::Connection& c);

}  // namespace server
