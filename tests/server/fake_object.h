#pragma once
// A server object for testing the network layer without storage. Its methods echo their
// arguments, refuse, fail in each way a handler can, or block on a gate the test opens, so that
// a test can hold a call "in progress" for as long as it needs without sleeping.

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/object/server_object.h"

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

// The fake object's contract: methods the tests call, with the argument kinds of the real ones.
namespace fake_contract {
using K = rtl::VarKind;
using contract::operator|;
inline constexpr contract::Param kEchoParams[] = {{"text", K::String | K::StringRef},
                                                  {"number", K::Date | K::Integer | K::Null}};
inline constexpr contract::Method Echo{"Echo", kEchoParams, {}};
inline constexpr contract::Method Slow{"Slow", {}, {}};
inline constexpr contract::Method Big{"Big", {}, {}};
inline constexpr contract::Method Refuse{"Refuse", {}, {}};
inline constexpr contract::Method Fail{"Fail", {}, {}};
inline constexpr contract::Method Crash{"Crash", {}, {}};
inline constexpr contract::Method SlowChange{"SlowChange", {}, {}};
}  // namespace fake_contract

class FakeObject : public server::ServerObject {
 public:
  FakeObject() {
    using rpc::WireKind;
    using server::Answer;
    using server::CallArgs;
    using server::CallContext;
    namespace fc = fake_contract;
    methods_ = {
        // Echo(text, date or integer or null): a packet of one row with what arrived.
        {&fc::Echo,
         [](const CallContext& context, CallArgs& args) {
           // TEXT is wide enough for the longest text a test sends.
           rtl::DataPacket packet({{"TEXT", rtl::FieldType::String, 1 << 20},
                                   {"NUMBER", rtl::FieldType::Float, 0},
                                   {"CALLER", rtl::FieldType::String, 100}});
           packet.column(0).appendString(args[0].text);
           if (args[1].kind == WireKind::Nil)
             packet.column(1).appendNull();
           else if (args[1].kind == WireKind::Date)
             packet.column(1).appendNumber(args[1].date);
           else
             packet.column(1).appendNumber(static_cast<double>(args[1].integer));
           packet.column(2).appendString(context.user + "@" + context.host);
           packet.commitRow();
           return Answer::ok(std::move(packet));
         }},
        {&fc::Slow,
         [this](const CallContext&, CallArgs&) {
           gate.wait();
           return Answer::ok();
         }},
        // Waits at the gate, then answers about 20 MB, more than the socket buffers hold.
        {&fc::Big,
         [this](const CallContext&, CallArgs&) {
           gate.wait();
           rtl::DataPacket packet({{"TEXT", rtl::FieldType::String, 50}});
           for (int i = 0; i < 400'000; ++i) {
             packet.column(0).appendString("a row of forty-eight characters, give or take");
             packet.commitRow();
           }
           return Answer::ok(std::move(packet));
         }},
        {&fc::Refuse, [](const CallContext&, CallArgs&) { return Answer::refuse("Recusado."); }},
        {&fc::Fail,
         [](const CallContext&, CallArgs&) -> Answer {
           throw server::CallError(422, "falhou de propósito");
         }},
        {&fc::Crash,
         [](const CallContext&, CallArgs&) -> Answer { throw std::runtime_error("boom"); }},
        // A change that waits at its own gate, as a change waits for another change's lock.
        {&fc::SlowChange,
         [this](const CallContext&, CallArgs&) {
           changeGate.wait();
           return Answer::refuse("Mudou.");
         },
         true},
    };
  }

  std::string_view name() const override { return "Test.Fake"; }
  const std::vector<server::MethodSpec>& methods() const override { return methods_; }

  Gate gate;
  Gate changeGate;

 private:
  std::vector<server::MethodSpec> methods_;
};

}  // namespace servertest
