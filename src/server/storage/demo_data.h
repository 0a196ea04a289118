#pragma once
// A deterministic demo data set: the same product count and the same day give the same rows.
//
// - segments, point-of-sale groups and four branches, one with an alphanumeric code ("A1B2");
// - three price tables per branch ("001" to "003");
// - three validity periods per price table around `today`: one that ended, one in force and one
//   that starts later (the main table 0001/001 has an older fourth one), shifted a few days
//   from table to table;
// - `products` products "PRD0000001"... with 8-digit tree codes (department, section, item),
//   names of up to 50 characters, many with Portuguese accents;
// - price items for every validity period. Every period of the main table 0001/001 holds all
//   products; the other periods hold the first 5,000 (all of them when there are fewer), so
//   that 100,000 products stay quick to create while one table has 100,000-item periods.
//
// Replaces the previous content of every table but the audit; one transaction.

#include "rtl/dates.h"
#include "server/storage/db/connection.h"

namespace server {

// Product codes have room for this many products.
constexpr int kMaxDemoProducts = 9'999'999;
constexpr int kDemoItemsPerMinorPeriod = 5'000;

// Throws StorageError for a product count below 0 or above kMaxDemoProducts.
void fillDemo(db::Connection& connection, int products, rtl::TDateTime today);

// The demo product code and tree code of product number `n` (from 1).
std::string demoProductCode(int n);
std::string demoTreeCode(int n);

}  // namespace server
