#pragma once
// A scripted application server for client tests. It listens on 127.0.0.1 on a free port,
// speaks MessagePack-RPC exactly as the real server does, records every call with its
// arguments in their wire kinds, and answers from a script: per method, a queue of replies
// and a default handler. A reply can also be an error, a closed connection, silence (for
// call timeouts) or a result of any shape given as raw MessagePack bytes. Thread-safe: the
// test thread scripts and reads while the server thread serves.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/remote_contract.h"
#include "rpc/wire_value.h"
#include "rtl/data_packet.h"

namespace testsupport {

struct RecordedCall {
  std::string method;
  std::vector<rpc::WireValue> args;

  // The argument the remote contract names `name` for this method (of any server object);
  // raises std::out_of_range when the method has no such argument or the call is too short.
  const rpc::WireValue& arg(std::string_view name) const;

  // One line: `GetFilial(str "0001", str "")`. Kinds: str, ref, date (YYYY-MM-DD, with the
  // time when there is one), int, bool, nil, packet{COL=value,...;...} (rows separated by ;).
  std::string describe() const;
};

struct FakeReply {
  enum class Kind { Answer, Error, Close, Silent, Raw };
  Kind kind = Kind::Answer;
  int status = 0;  // Answer: [status, message, data]
  std::string message;
  std::optional<rtl::DataPacket> data;
  int code = 0;        // Error: [code, message]
  std::string result;  // Raw: the MessagePack bytes of the response's result

  static FakeReply ok() { return {}; }
  static FakeReply ok(rtl::DataPacket packet) {
    FakeReply r;
    r.data = std::move(packet);
    return r;
  }
  static FakeReply refuse(std::string message) {
    FakeReply r;
    r.status = 1;
    r.message = std::move(message);
    return r;
  }
  static FakeReply error(int code, std::string message) {
    FakeReply r;
    r.kind = Kind::Error;
    r.code = code;
    r.message = std::move(message);
    return r;
  }
  static FakeReply close() {
    FakeReply r;
    r.kind = Kind::Close;
    return r;
  }
  static FakeReply silent() {
    FakeReply r;
    r.kind = Kind::Silent;
    return r;
  }
  // A response [1, msgid, nil, result] whose result is `bytes` as they are, well-formed or not.
  static FakeReply raw(std::string bytes) {
    FakeReply r;
    r.kind = Kind::Raw;
    r.result = std::move(bytes);
    return r;
  }
};

class FakeServer {
 public:
  using Handler = std::function<FakeReply(const RecordedCall&)>;

  FakeServer();
  ~FakeServer();
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  uint16_t port() const;

  // The reply for every call of `method` that finds no queued reply. Unscripted methods
  // answer status 0 with no data; attach answers true.
  void on(const std::string& method, Handler handler);
  void on(const contract::Method& method, Handler handler) {
    on(std::string(method.name), std::move(handler));
  }
  // The reply to the next call of `method` (first in, first out).
  void queue(const std::string& method, FakeReply reply);

  // Calls received, attach excluded, in order.
  std::vector<RecordedCall> calls() const;
  // The calls described one per line.
  std::string callLog() const;
  void clearCalls();
  int attachCount() const;
  int connectionCount() const;
  // Closes every open connection (the server keeps listening).
  void dropConnections();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Builds a packet of string columns from rows of texts: {"CDFILIAL", "NMFILIAL"} with sizes.
rtl::DataPacket stringPacket(const std::vector<std::pair<std::string, int>>& fields,
                             const std::vector<std::vector<std::optional<std::string>>>& rows);
// The answer packet of `method` (its columns in the remote contract) with these rows.
rtl::DataPacket answerRows(const contract::Method& method,
                           const std::vector<std::vector<std::optional<std::string>>>& rows);

}  // namespace testsupport
