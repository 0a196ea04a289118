#pragma once
// The floors of the load generator on the storage side: the statements the server's methods
// run, run directly on the storage in-process, with no network, dispatch or argument checks.
// The texts mirror the server object's; the update reuses its selection SQL, so the floor and
// the method run the very same statements.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/out_buffer.h"
#include "server/object/selection.h"
#include "server/storage/storage.h"

namespace bench {

struct Validity {
  std::string branch;
  std::string table;
  std::string startIso;
};

// GetProdValid's lookup by exact tree code; returns the rows found.
size_t pointQuery(server::Storage& storage, const Validity& v, const std::string& treeCode);

// GetAutItemPreco's query, rows read and dropped; returns the text bytes read.
size_t itemListSql(server::Storage& storage, const Validity& v);
// The same query built into the answer's packet and encoded as the response into `out`;
// returns the encoded bytes.
size_t itemListEncoded(server::Storage& storage, const Validity& v, rpc::OutBuffer& out);

// SetUpdItemPrecoAlt's statements (the check of listed items, the update) in one write
// transaction; returns the rows changed.
int64_t updateItems(server::Storage& storage, const Validity& v, const std::string& flag,
                    const server::SelectionTexts& selection);

}  // namespace bench
