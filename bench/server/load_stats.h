#pragma once
// What the load programs share: percentiles of latencies, and a run of many clients at once,
// each on its own thread, started together once all are connected.

#include <chrono>
#include <functional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start);
double percentile(std::vector<double> values, double p);
double median(std::vector<double> values);

struct LoadResult {
  double p50us = 0;
  double p99us = 0;
  double callsPerSecond = 0;
};

// Runs `clients` threads, each making `callsEach` calls through its own caller; the callers are
// made (connected, warmed up) before the clock starts.
LoadResult runLoad(int clients, int callsEach,
                   const std::function<std::function<void(int)>()>& makeCaller);

}  // namespace bench
