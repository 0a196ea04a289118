#pragma once
// What the journal costs the bulk update: SetUpdItemPrecoAlt over a 100,000-item period (all
// and range mode) and a list of 10,000, each run changing every selected item, timed through
// the server object with the journal (values before and after, unchanged count) and through a
// second storage on the same database opened without it, in pairs of runs back to back.
// Printed side by side with the ratio (the median of the pairs' ratios); the target is at most
// 1.5x. A run that finds every item in the requested state already is timed too: it writes
// nothing but its journal row.

#include <string>

#include "server/storage/storage.h"

namespace bench {

// `name` labels the lines ("sqlite", "postgres"); `target` is the database of `storage`, on
// which a demo of `products` products exists; `mainStart` is the ISO start of the period of
// 0001/001 that holds them all.
void printJournalCost(const std::string& name, const std::string& target, server::Storage& storage,
                      int products, const std::string& mainStart);

}  // namespace bench
