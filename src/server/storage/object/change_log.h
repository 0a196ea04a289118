#pragma once
// The audit of the change methods: one row of ALTERACAOLOG per change that succeeded, written
// in the change's own transaction, so a change is never kept without its record nor recorded
// without being kept. The selection is kept as sent, as a JSON object of the method's text
// arguments, e.g. {"prefixo":"PROMO ","inicial":"","final":"","lista":"","todos":"T"}.

#include <cstdint>
#include <optional>
#include <string>

#include "server/server_object.h"
#include "server/storage/db/connection.h"

namespace server {

struct ChangeRecord {
  std::string method;
  std::string client;                               // describeClient()
  std::optional<std::string> branch, table, start;  // the header of an item change
  std::string selection;                            // JSON, as above
  int64_t rows = 0;
};

// "peer" or "peer user@host" when the client said who it is.
std::string describeClient(const CallContext& context);

// Builds the JSON object of the recorded arguments, in the order they are added.
class SelectionJson {
 public:
  SelectionJson& add(const char* name, const std::string& value);
  SelectionJson& add(const char* name, bool value);
  std::string text() const { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

// The current time in UTC, "YYYY-MM-DD HH:MM:SS.mmm".
std::string utcTimestamp();

void recordChange(db::Connection& c, const ChangeRecord& record);

}  // namespace server
