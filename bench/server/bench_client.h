#pragma once
// A lean blocking MessagePack-RPC client for the load generator: no deadlines or polling, so
// that what it measures is the server and the loopback, not the harness.

#include <cstdint>
#include <string_view>
#include <vector>

#include "rpc/client_codec.h"
#include "rpc/out_buffer.h"
#include "rpc/stream_decoder.h"

namespace bench {

class BenchClient {
 public:
  explicit BenchClient(uint16_t port);
  ~BenchClient();
  BenchClient(const BenchClient&) = delete;
  BenchClient& operator=(const BenchClient&) = delete;

  // Raises std::runtime_error on a broken connection, a wrong msgid or an error response.
  rpc::Response call(std::string_view method, const std::vector<rtl::Variant>& params);
  // Bytes of the last response on the wire.
  size_t lastResponseBytes() const { return lastBytes_; }

  // Sends `bytes` and reads the same number of bytes back (for an echo server).
  void echo(std::string_view bytes);

 private:
  void sendAll(std::string_view bytes);

  int fd_ = -1;
  uint32_t next_ = 1;
  size_t lastBytes_ = 0;
  rpc::StreamDecoder decoder_;
  rpc::OutBuffer out_;
};

}  // namespace bench
