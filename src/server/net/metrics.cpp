#include "server/net/metrics.h"

#include <prometheus/counter.h>
#include <prometheus/exposer.h>
#include <prometheus/gauge.h>
#include <prometheus/histogram.h>
#include <prometheus/registry.h>

#include <array>
#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "contract/remote_contract.h"

namespace server {

namespace {

using prometheus::Counter;
using prometheus::Histogram;

// Latencies from a tenth of a millisecond to ten seconds.
const Histogram::BucketBoundaries kCallBuckets = {0.0001, 0.00025, 0.0005, 0.001, 0.0025, 0.005,
                                                  0.01,   0.025,   0.05,   0.1,   0.25,   0.5,
                                                  1,      2.5,     5,      10};
const Histogram::BucketBoundaries kLockBuckets = {0.001, 0.01, 0.1, 0.5, 1, 2.5, 5, 10, 30, 60};

constexpr std::array<const char*, 3> kOutcomes = {"ok", "refused", "error"};

// The methods a series may name: attach, and those of the server objects.
std::vector<std::string> knownMethods() {
  std::vector<std::string> names{"attach"};
  for (const contract::ServerObject* object : contract::kServerObjects)
    for (const contract::Method* method : object->methods) names.emplace_back(method->name);
  names.emplace_back("other");
  return names;
}

}  // namespace

struct Metrics::Impl {
  std::shared_ptr<prometheus::Registry> registry = std::make_shared<prometheus::Registry>();
  std::unique_ptr<prometheus::Exposer> exposer;
  std::vector<std::string> methods = knownMethods();
  // Resolved once, so that a call costs no lookup by labels: [method][outcome] and [method].
  std::vector<std::array<Counter*, 3>> calls;
  std::vector<Histogram*> durations;
  prometheus::Family<Counter>* errors = nullptr;
  std::mutex errorsMutex;
  std::map<int, Counter*> errorByCode;
  prometheus::Gauge* open = nullptr;
  Counter* accepted = nullptr;
  prometheus::Family<Counter>* refused = nullptr;
  Counter* loginsOk = nullptr;
  Counter* loginsRefused = nullptr;
  Histogram* lockWaits = nullptr;
  Counter* lockTimeouts = nullptr;
  Counter* promotionRows = nullptr;
  Counter* nameRows = nullptr;
  Counter* journalRows = nullptr;
  Counter* databaseErrors = nullptr;

  size_t methodIndex(std::string_view method) const {
    for (size_t i = 0; i + 1 < methods.size(); ++i)
      if (methods[i] == method) return i;
    return methods.size() - 1;  // "other"
  }
};

Metrics::Metrics(const std::string& address) : impl_(std::make_unique<Impl>()) {
  Impl& m = *impl_;
  auto& calls = prometheus::BuildCounter()
                    .Name("vnd42400_calls_total")
                    .Help("Calls answered, by method and outcome")
                    .Register(*m.registry);
  auto& durations = prometheus::BuildHistogram()
                        .Name("vnd42400_call_duration_seconds")
                        .Help("Time from a request's last byte to its answer, by method")
                        .Register(*m.registry);
  for (const std::string& method : m.methods) {
    std::array<Counter*, 3> byOutcome{};
    for (size_t o = 0; o < kOutcomes.size(); ++o)
      byOutcome[o] = &calls.Add({{"method", method}, {"outcome", kOutcomes[o]}});
    m.calls.push_back(byOutcome);
    m.durations.push_back(&durations.Add({{"method", method}}, kCallBuckets));
  }
  m.errors = &prometheus::BuildCounter()
                  .Name("vnd42400_call_errors_total")
                  .Help("Calls answered with an error, by code")
                  .Register(*m.registry);
  m.open = &prometheus::BuildGauge()
                .Name("vnd42400_connections_open")
                .Help("Client connections open now")
                .Register(*m.registry)
                .Add({});
  m.accepted = &prometheus::BuildCounter()
                    .Name("vnd42400_connections_total")
                    .Help("Client connections accepted")
                    .Register(*m.registry)
                    .Add({});
  m.refused = &prometheus::BuildCounter()
                   .Name("vnd42400_connections_refused_total")
                   .Help("Client connections refused or closed by a limit, by reason")
                   .Register(*m.registry);
  auto& logins = prometheus::BuildCounter()
                     .Name("vnd42400_logins_total")
                     .Help("Logins at attach, by outcome")
                     .Register(*m.registry);
  m.loginsOk = &logins.Add({{"outcome", "ok"}});
  m.loginsRefused = &logins.Add({{"outcome", "refused"}});
  m.lockWaits = &prometheus::BuildHistogram()
                     .Name("vnd42400_lock_wait_seconds")
                     .Help("Time changes waited for the lock of what they change")
                     .Register(*m.registry)
                     .Add({}, kLockBuckets);
  m.lockTimeouts = &prometheus::BuildCounter()
                        .Name("vnd42400_lock_timeouts_total")
                        .Help("Changes refused because another change held their lock too long")
                        .Register(*m.registry)
                        .Add({});
  auto& rows = prometheus::BuildCounter()
                   .Name("vnd42400_rows_changed_total")
                   .Help("Rows changes wrote, by column")
                   .Register(*m.registry);
  m.promotionRows = &rows.Add({{"column", "IDPROMOCAO"}});
  m.nameRows = &rows.Add({{"column", "NMPRODUTO"}});
  m.journalRows = &prometheus::BuildCounter()
                       .Name("vnd42400_rows_journaled_total")
                       .Help("Journal rows (values before and after) changes wrote")
                       .Register(*m.registry)
                       .Add({});
  m.databaseErrors = &prometheus::BuildCounter()
                          .Name("vnd42400_database_errors_total")
                          .Help("Calls that failed in the database")
                          .Register(*m.registry)
                          .Add({});
  try {
    m.exposer = std::make_unique<prometheus::Exposer>(address, 1);
  } catch (const std::exception& e) {
    throw std::runtime_error("cannot serve metrics on " + address + ": " + e.what());
  }
  m.exposer->RegisterCollectable(m.registry);
}

Metrics::~Metrics() = default;

std::string Metrics::address() const {
  const std::vector<int> ports = impl_->exposer->GetListeningPorts();
  return ports.empty() ? std::string() : std::to_string(ports.front());
}

void Metrics::call(std::string_view method, Outcome outcome, int code,
                   std::chrono::nanoseconds took) {
  const size_t index = impl_->methodIndex(method);
  impl_->calls[index][static_cast<size_t>(outcome)]->Increment();
  impl_->durations[index]->Observe(std::chrono::duration<double>(took).count());
  if (outcome != Outcome::Error) return;
  Counter* counter;
  {
    std::lock_guard lock(impl_->errorsMutex);
    auto& slot = impl_->errorByCode[code];
    if (!slot) slot = &impl_->errors->Add({{"code", std::to_string(code)}});
    counter = slot;
  }
  counter->Increment();
}

void Metrics::connectionOpened() {
  impl_->accepted->Increment();
  impl_->open->Increment();
}

void Metrics::connectionClosed() {
  impl_->open->Decrement();
}

void Metrics::connectionRefused(std::string_view reason) {
  impl_->refused->Add({{"reason", std::string(reason)}}).Increment();
}

void Metrics::login(bool accepted) {
  (accepted ? impl_->loginsOk : impl_->loginsRefused)->Increment();
}

void Metrics::databaseFailed() {
  impl_->databaseErrors->Increment();
}

void Metrics::lockWaited(std::chrono::nanoseconds waited) {
  impl_->lockWaits->Observe(std::chrono::duration<double>(waited).count());
}

void Metrics::lockTimedOut() {
  impl_->lockTimeouts->Increment();
}

void Metrics::rowsWritten(std::string_view column, int64_t changed, int64_t journaled) {
  (column == "NMPRODUTO" ? impl_->nameRows : impl_->promotionRows)
      ->Increment(static_cast<double>(changed));
  impl_->journalRows->Increment(static_cast<double>(journaled));
}

}  // namespace server
