#pragma once
// The server's metrics in the Prometheus text format, served by an HTTP listener of their own on
// an address apart from the clients' (loopback unless told otherwise), for a monitoring system
// to scrape at /metrics:
//
//   vnd42400_calls_total{method,outcome}          calls answered: ok, refused, error
//   vnd42400_call_errors_total{code}              errors by code (400, 401, 500, ...)
//   vnd42400_call_duration_seconds{method}        histogram of the time to answer
//   vnd42400_connections_open                     connections open now
//   vnd42400_connections_total                    connections accepted
//   vnd42400_connections_refused_total{reason}    connections refused or closed by a limit
//   vnd42400_logins_total{outcome}                logins: ok, refused
//   vnd42400_lock_wait_seconds                    histogram of changes' waits for their lock
//   vnd42400_lock_timeouts_total                  changes refused because the wait ran out
//   vnd42400_rows_changed_total{column}           rows changes wrote (IDPROMOCAO, NMPRODUTO)
//   vnd42400_rows_journaled_total                 journal rows changes wrote
//   vnd42400_database_errors_total                calls failed by the database
//
// Method names are those of the remote contract; anything else a client sends counts as
// "other", so that a client cannot make up series. Every member is safe from any thread and
// costs a few atomic operations (a histogram, one short lock).

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "server/object/telemetry.h"

namespace server {

class Metrics : public ChangeTelemetry {
 public:
  // Starts listening on `address` ("HOST:PORT", port 0 for a free one); throws
  // std::runtime_error when it cannot.
  explicit Metrics(const std::string& address);
  ~Metrics() override;

  // "HOST:PORT" as bound.
  std::string address() const;

  enum class Outcome { Ok, Refused, Error };
  void call(std::string_view method, Outcome outcome, int code, std::chrono::nanoseconds took);
  void connectionOpened();
  void connectionClosed();
  void connectionRefused(std::string_view reason);
  void login(bool accepted);
  void databaseFailed();

  void lockWaited(std::chrono::nanoseconds waited) override;
  void lockTimedOut() override;
  void rowsWritten(std::string_view column, int64_t changed, int64_t journaled) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace server
