#include "bench_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace bench {

BenchClient::BenchClient(uint16_t port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error(std::string("connect: ") + std::strerror(errno));
  const int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

BenchClient::~BenchClient() {
  ::close(fd_);
}

void BenchClient::sendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::string("send: ") + std::strerror(errno));
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

rpc::Response BenchClient::call(std::string_view method, const std::vector<rtl::Variant>& params) {
  const uint32_t id = next_++;
  out_.clear();
  rpc::encodeRequest(out_, id, method, params);
  sendAll(out_.view());
  for (;;) {
    if (auto frame = decoder_.next()) {
      lastBytes_ = frame->bytes.size();
      auto response = rpc::decodeResponse(*frame);
      if (!response) continue;
      if (response->msgid != id) throw std::runtime_error("response to another request");
      if (response->error)
        throw std::runtime_error(std::string(method) + ": " + response->error->message);
      // A method's answer is [status, message, data]: a refusal must not be timed as a call
      // that did its work.
      const rtl::Variant& result = response->result;
      if (result.kind() == rtl::VarKind::Array && !result.asArray().empty() &&
          result.asArray()[0].kind() == rtl::VarKind::Integer &&
          result.asArray()[0].asInteger() != 0)
        throw std::runtime_error(
            std::string(method) + " refused: " +
            (result.asArray().size() > 1 && result.asArray()[1].kind() == rtl::VarKind::String
                 ? result.asArray()[1].asString()
                 : std::string("?")));
      return std::move(*response);
    }
    constexpr size_t kChunk = 256 * 1024;
    const ssize_t n = ::recv(fd_, decoder_.prepare(kChunk), kChunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("connection closed");
    decoder_.commit(static_cast<size_t>(n));
  }
}

void BenchClient::echo(std::string_view bytes) {
  sendAll(bytes);
  char buffer[4096];
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("echo connection closed");
    got += static_cast<size_t>(n);
  }
}

}  // namespace bench
