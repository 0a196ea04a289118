#include "server/net/call_log.h"

#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <cstdio>

namespace server {
namespace {

constexpr size_t kMaxMethodChars = 64;
constexpr size_t kMaxDetailChars = 500;

std::shared_ptr<spdlog::logger>& logger() {
  static std::shared_ptr<spdlog::logger> instance;
  return instance;
}

std::string printable(std::string_view text, size_t limit) {
  std::string out;
  for (char c : text.substr(0, limit)) {
    const auto u = static_cast<unsigned char>(c);
    out += (u < 0x20 || u == 0x7f) ? '?' : c;
  }
  if (text.size() > limit) out += "...";
  return out;
}

void write(const std::string& line) {
  if (auto& log = logger()) log->info(line);
}

}  // namespace

void initCallLog() {
  auto& log = logger();
  if (log) return;
  log = spdlog::stderr_logger_mt("vnd42400");
  log->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
  log->flush_on(spdlog::level::info);
}

std::string formatCallLine(std::string_view peer, const CallOutcome& outcome,
                           std::chrono::nanoseconds duration) {
  char ms[32];
  std::snprintf(ms, sizeof ms, "%.3f ms",
                std::chrono::duration<double, std::milli>(duration).count());
  std::string line(peer);
  line += ' ';
  line += outcome.method.empty() ? std::string("-") : printable(outcome.method, kMaxMethodChars);
  line += ' ';
  line += ms;
  switch (outcome.result) {
    case CallOutcome::Result::Ok:
      line += " ok";
      break;
    case CallOutcome::Result::Refused:
      line += " refused " + std::to_string(outcome.code);
      break;
    case CallOutcome::Result::Error:
      line += " error " + std::to_string(outcome.code);
      if (!outcome.detail.empty()) line += ": " + printable(outcome.detail, kMaxDetailChars);
      break;
    case CallOutcome::Result::Ignored:
      line += " ignored";
      break;
  }
  return line;
}

void logCall(std::string_view peer, const CallOutcome& outcome, std::chrono::nanoseconds duration) {
  write(formatCallLine(peer, outcome, duration));
}

void logConnection(std::string_view peer, std::string_view event) {
  write(std::string(peer) + " connection " + printable(event, 200));
}

void logInfo(std::string_view message) {
  write(std::string(message));
}

}  // namespace server
