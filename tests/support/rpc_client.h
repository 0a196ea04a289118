#pragma once
// A blocking MessagePack-RPC client for tests, which can also send raw bytes and watch the
// server close the connection, and helpers that print responses as one line of text for
// whole-state comparisons. Every wait has a deadline and fails with an exception rather than
// hanging the test.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"
#include "rtl/variant.h"

namespace testsupport {

// The deadline of every wait below; generous because the sanitizer builds are slow.
inline constexpr std::chrono::seconds kDeadline{180};

// A blocking MessagePack-RPC connection to 127.0.0.1.
class RpcClient {
 public:
  explicit RpcClient(uint16_t port);
  ~RpcClient();
  RpcClient(const RpcClient&) = delete;
  RpcClient& operator=(const RpcClient&) = delete;

  // Sends bytes as they are. False when the peer has closed the connection.
  bool sendRaw(std::string_view bytes);
  // Sends a request with the next msgid and returns that msgid.
  uint32_t send(std::string_view method, const std::vector<rtl::Variant>& params);
  // The next response (notifications skipped). Raises when the connection closes first.
  rpc::Response receive();
  // send + receive, checking that the response carries the request's msgid.
  rpc::Response call(std::string_view method, const std::vector<rtl::Variant>& params);
  // attach with [name] or [name, token].
  rpc::Response attach(std::string_view name = "Vnd42400.rdmTabePreco",
                       std::optional<std::string> token = std::nullopt);
  // attach to `object` with [name, nil, {"user", "host", "password"}].
  rpc::Response logIn(const std::string& user, const std::string& password,
                      const std::string& host = "teste",
                      const std::string& object = "Vnd42400.rdmTabePreco");

  // Waits until the server closes the connection; raises if a message arrives instead.
  void expectClosed();
  // True when the response arrived (or the connection closed) within `wait`.
  bool readable(std::chrono::milliseconds wait) const;

  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  uint32_t nextId_ = 1;
  rpc::StreamDecoder decoder_;
  rpc::OutBuffer out_;
};

// Responses and variants as one line of text, for whole-state comparisons:
// "error 404 servidor desconhecido: X", "[0, '', packet 3 rows]", "true".
std::string describe(const rtl::Variant& value);
std::string describe(const rpc::Response& response);
// "CDFILIAL string 4, NMFILIAL string 30, ..."
std::string describeFields(const rtl::DataPacket& packet);
// One row's values joined by "|", null as "null": "0001|Matriz|null".
std::string describeRow(const rtl::DataPacket& packet, size_t row);
// describe(response) followed, for an answer [0, "", packet], by every row on a line of its own.
std::string describeInFull(const rpc::Response& response);
// The packet of a successful answer [0, "", packet]; raises with the described response
// otherwise.
std::shared_ptr<const rtl::DataPacket> answerData(const rpc::Response& response);

}  // namespace testsupport
