#pragma once
// The tables of the price-table server, the same on both engines: branches (FILIAL) with their
// market segment (SEGMER) and point-of-sale product group (GRPRODPDV), products (PRODUTO),
// price tables (TABEPREC), their validity periods (TABEVEND), the price items of each period
// (ITEMPRECO) and the journal of changes: one row per change (ALTERACAOLOG) and, per row it
// changed, the value before and after (ALTERACAOITEM).
//
// Column types follow the engine: on SQLite a date is ISO text "YYYY-MM-DD" and a timestamp
// ISO text "YYYY-MM-DD HH:MM:SS.mmm"; CHECK constraints give SQLite the limits PostgreSQL's
// types enforce (a CHAR(n) holds exactly n characters, a VARCHAR(n) at most n, characters
// counted, not bytes), so the same data is refused by both.

#include "server/storage/db/connection.h"

namespace server {

// Creates what is missing, including the journal's columns of an ALTERACAOLOG made before
// them; running it again changes nothing. One transaction.
void createSchema(db::Connection& connection);

// Throws StorageError naming the first table or journal column that is missing, so that a
// server pointed at the wrong database says so at once instead of failing every call.
void requireSchema(db::Connection& connection);

}  // namespace server
