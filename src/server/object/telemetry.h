#pragma once
// What the changes tell whoever counts them (the server's metrics): how long they waited for
// their lock, when the wait ran out, and how many rows they wrote and journaled. The object
// layer only calls it; the network layer, which serves the metrics, implements it. Safe from
// several threads at once.

#include <chrono>
#include <cstdint>
#include <string_view>

namespace server {

class ChangeTelemetry {
 public:
  virtual ~ChangeTelemetry() = default;
  virtual void lockWaited(std::chrono::nanoseconds waited) = 0;
  virtual void lockTimedOut() = 0;
  // `column`: IDPROMOCAO or NMPRODUTO.
  virtual void rowsWritten(std::string_view column, int64_t changed, int64_t journaled) = 0;
};

}  // namespace server
