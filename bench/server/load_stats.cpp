#include "load_stats.h"

#include <algorithm>
#include <latch>
#include <thread>

namespace bench {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * values.size()));
  return values[index];
}

double median(std::vector<double> values) {
  return percentile(std::move(values), 0.5);
}

LoadResult runLoad(int clients, int callsEach,
                   const std::function<std::function<void(int)>()>& makeCaller) {
  std::vector<std::function<void(int)>> callers;
  for (int k = 0; k < clients; ++k) callers.push_back(makeCaller());
  std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
  std::latch start(clients + 1);
  std::vector<std::thread> threads;
  for (int k = 0; k < clients; ++k) {
    threads.emplace_back([&, k] {
      auto& mine = latencies[static_cast<size_t>(k)];
      mine.reserve(static_cast<size_t>(callsEach));
      start.arrive_and_wait();
      for (int i = 0; i < callsEach; ++i) {
        const auto t0 = Clock::now();
        callers[static_cast<size_t>(k)](i);
        mine.push_back(msSince(t0) * 1000);
      }
    });
  }
  start.arrive_and_wait();
  const auto t0 = Clock::now();
  for (auto& t : threads) t.join();
  const double wallMs = msSince(t0);
  std::vector<double> all;
  for (auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
  return {percentile(all, 0.5), percentile(all, 0.99), all.size() / (wallMs / 1000)};
}

}  // namespace bench
