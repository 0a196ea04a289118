#include "support/rpc_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "support/poll_wait.h"

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

RpcClient::RpcClient(uint16_t port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd_);
    fail("connect to port " + std::to_string(port));
  }
  const int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

RpcClient::~RpcClient() {
  ::close(fd_);
}

bool RpcClient::sendRaw(std::string_view bytes) {
  const auto deadline = Clock::now() + kDeadline;
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (errno == EPIPE || errno == ECONNRESET) return false;
    if (errno == EAGAIN || errno == EINTR) {
      if (!waitFor(fd_, POLLOUT, deadline)) throw std::runtime_error("send timed out");
      continue;
    }
    fail("send");
  }
  return true;
}

uint32_t RpcClient::send(std::string_view method, const std::vector<rtl::Variant>& params) {
  const uint32_t id = nextId_++;
  out_.clear();
  rpc::encodeRequest(out_, id, method, params);
  if (!sendRaw(out_.view())) throw std::runtime_error("connection closed while sending");
  return id;
}

rpc::Response RpcClient::receive() {
  const auto deadline = Clock::now() + kDeadline;
  for (;;) {
    while (auto frame = decoder_.next())
      if (auto response = rpc::decodeResponse(*frame)) return *response;
    if (!waitFor(fd_, POLLIN, deadline)) throw std::runtime_error("no response in time");
    constexpr size_t kChunk = 64 * 1024;
    const ssize_t n = ::recv(fd_, decoder_.prepare(kChunk), kChunk, 0);
    if (n == 0) throw std::runtime_error("connection closed by the server");
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("recv");
    }
    decoder_.commit(static_cast<size_t>(n));
  }
}

rpc::Response RpcClient::call(std::string_view method, const std::vector<rtl::Variant>& params) {
  const uint32_t id = send(method, params);
  rpc::Response response = receive();
  if (response.msgid != id)
    throw std::runtime_error("response " + std::to_string(response.msgid) + " to request " +
                             std::to_string(id));
  return response;
}

rpc::Response RpcClient::attach(std::string_view name, std::optional<std::string> token) {
  std::vector<rtl::Variant> params{rtl::Variant(std::string(name))};
  if (token) params.emplace_back(*token);
  return call("attach", params);
}

rpc::Response RpcClient::logIn(const std::string& user, const std::string& password,
                               const std::string& host, const std::string& object) {
  const uint32_t id = nextId_++;
  out_.clear();
  rpc::encodeRequest(out_, id, "attach", {rtl::Variant(object), rtl::Variant::Null()},
                     {{"user", user}, {"host", host}, {"password", password}});
  if (!sendRaw(out_.view())) throw std::runtime_error("connection closed while sending");
  return receive();
}

void RpcClient::expectClosed() {
  const auto deadline = Clock::now() + kDeadline;
  for (;;) {
    if (!waitFor(fd_, POLLIN, deadline)) throw std::runtime_error("connection still open");
    char buf[4096];
    const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n == 0 || (n < 0 && errno == ECONNRESET)) return;
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("recv");
    }
    decoder_.feed(buf, static_cast<size_t>(n));
    if (decoder_.next()) throw std::runtime_error("a message arrived instead of the close");
  }
}

bool RpcClient::readable(std::chrono::milliseconds wait) const {
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(wait.count())) > 0;
}

std::string describe(const rtl::Variant& v) {
  switch (v.kind()) {
    case rtl::VarKind::Empty:
      return "empty";
    case rtl::VarKind::Null:
      return "null";
    case rtl::VarKind::String:
    case rtl::VarKind::StringRef:
      return "'" + v.asString() + "'";
    case rtl::VarKind::Date: {
      char text[32];
      std::snprintf(text, sizeof text, "date %g", v.asDate());
      return text;
    }
    case rtl::VarKind::Integer:
      return std::to_string(v.asInteger());
    case rtl::VarKind::Boolean:
      return v.asBoolean() ? "true" : "false";
    case rtl::VarKind::Packet:
      return "packet " + std::to_string(v.asPacket()->rowCount()) + " rows";
    case rtl::VarKind::Array: {
      std::string s = "[";
      for (const auto& item : v.asArray()) s += (s.size() > 1 ? ", " : "") + describe(item);
      return s + "]";
    }
  }
  return "?";
}

std::string describe(const rpc::Response& response) {
  if (response.error)
    return "error " + std::to_string(response.error->code) + " " + response.error->message;
  return describe(response.result);
}

std::string describeFields(const rtl::DataPacket& packet) {
  std::string s;
  for (const auto& field : packet.fields()) {
    if (!s.empty()) s += ", ";
    s += field.name + " " + rtl::FieldTypeName(field.type) + " " + std::to_string(field.size);
  }
  return s;
}

std::string describeInFull(const rpc::Response& response) {
  std::string text = describe(response);
  if (!response.error && response.result.kind() == rtl::VarKind::Array &&
      response.result.asArray().size() == 3 &&
      response.result.asArray()[2].kind() == rtl::VarKind::Packet) {
    const auto& packet = *response.result.asArray()[2].asPacket();
    for (size_t row = 0; row < packet.rowCount(); ++row) text += "\n" + describeRow(packet, row);
  }
  return text;
}

std::string describeRow(const rtl::DataPacket& packet, size_t row) {
  std::string s;
  for (size_t f = 0; f < packet.fieldCount(); ++f) {
    if (f > 0) s += "|";
    const rtl::PacketColumn& column = packet.column(f);
    if (column.isNull(row)) {
      s += "null";
      continue;
    }
    switch (column.type()) {
      case rtl::FieldType::String:
        s += column.string(row);
        break;
      case rtl::FieldType::Integer:
        s += std::to_string(column.integer(row));
        break;
      case rtl::FieldType::Boolean:
        s += column.boolean(row) ? "true" : "false";
        break;
      case rtl::FieldType::Float:
      case rtl::FieldType::Date: {
        char text[32];
        std::snprintf(text, sizeof text, "%g", column.number(row));
        s += text;
        break;
      }
    }
  }
  return s;
}

std::shared_ptr<const rtl::DataPacket> answerData(const rpc::Response& response) {
  if (response.error || response.result.kind() != rtl::VarKind::Array ||
      response.result.asArray().size() != 3 || response.result.asArray()[0].asInteger() != 0 ||
      response.result.asArray()[2].kind() != rtl::VarKind::Packet)
    throw std::runtime_error("not an answer with data: " + describe(response));
  return response.result.asArray()[2].asPacket();
}

}  // namespace testsupport
