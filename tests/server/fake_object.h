#pragma once
// A server object for testing the network layer without storage. Its methods echo their
// arguments, refuse, fail in each way a handler can, or block on a gate the test opens, so that
// a test can hold a call "in progress" for as long as it needs without sleeping.

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/server_object.h"

namespace servertest {

// A gate calls wait at; the test knows when one is waiting and lets them all through.
class Gate {
 public:
  void wait() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
  }
  // Blocks until `n` calls have reached the gate.
  void awaitWaiting(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_ >= n; });
  }
  void open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool open_ = false;
};

class FakeObject : public server::ServerObject {
 public:
  FakeObject() {
    using server::Answer;
    using server::ArgKind;
    methods_ = {
        // Echo(text, date or integer or null): a packet of one row with what arrived.
        {"Echo",
         {{ArgKind::String, ArgKind::StringRef}, {ArgKind::Date, ArgKind::Integer, ArgKind::Null}},
         [](const server::CallContext& context, const std::vector<server::Arg>& args) {
           // TEXT is wide enough for the longest text a test sends.
           rtl::DataPacket packet({{"TEXT", rtl::FieldType::String, 1 << 20},
                                   {"NUMBER", rtl::FieldType::Float, 0},
                                   {"CALLER", rtl::FieldType::String, 100}});
           packet.column(0).appendString(args[0].text);
           if (args[1].kind == ArgKind::Null)
             packet.column(1).appendNull();
           else if (args[1].kind == ArgKind::Date)
             packet.column(1).appendNumber(args[1].date);
           else
             packet.column(1).appendNumber(static_cast<double>(args[1].integer));
           packet.column(2).appendString(context.user + "@" + context.host);
           packet.commitRow();
           return Answer::ok(std::move(packet));
         }},
        {"Slow",
         {},
         [this](const server::CallContext&, const std::vector<server::Arg>&) {
           gate.wait();
           return Answer::ok();
         }},
        // Waits at the gate, then answers about 20 MB, more than the socket buffers hold.
        {"Big",
         {},
         [this](const server::CallContext&, const std::vector<server::Arg>&) {
           gate.wait();
           rtl::DataPacket packet({{"TEXT", rtl::FieldType::String, 50}});
           for (int i = 0; i < 400'000; ++i) {
             packet.column(0).appendString("a row of forty-eight characters, give or take");
             packet.commitRow();
           }
           return Answer::ok(std::move(packet));
         }},
        {"Refuse",
         {},
         [](const server::CallContext&, const std::vector<server::Arg>&) {
           return Answer::refuse("Recusado.");
         }},
        {"Fail",
         {},
         [](const server::CallContext&, const std::vector<server::Arg>&) -> Answer {
           throw server::CallError(422, "falhou de propósito");
         }},
        {"Crash",
         {},
         [](const server::CallContext&, const std::vector<server::Arg>&) -> Answer {
           throw std::runtime_error("boom");
         }},
    };
    // A change that waits at its own gate, as a change waits for another change's lock.
    server::MethodSpec change{
        "SlowChange", {}, [this](const server::CallContext&, const std::vector<server::Arg>&) {
          changeGate.wait();
          return Answer::refuse("Mudou.");
        }};
    change.waitsForLocks = true;
    methods_.push_back(std::move(change));
  }

  std::string_view name() const override { return "Test.Fake"; }
  const std::vector<server::MethodSpec>& methods() const override { return methods_; }

  Gate gate;
  Gate changeGate;

 private:
  std::vector<server::MethodSpec> methods_;
};

}  // namespace servertest
