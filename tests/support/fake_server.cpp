#include "support/fake_server.h"

#include <asio.hpp>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "rpc/out_buffer.h"
#include "rpc/protocol_error.h"
#include "rpc/server_codec.h"
#include "rpc/stream_decoder.h"
#include "rtl/dates.h"

namespace testsupport {

using asio::ip::tcp;

namespace {

std::string describeValue(const rpc::WireValue& v) {
  switch (v.kind) {
    case rpc::WireKind::Nil:
      return "nil";
    case rpc::WireKind::Boolean:
      return v.boolean ? "bool true" : "bool false";
    case rpc::WireKind::Integer:
      return "int " + std::to_string(v.integer);
    case rpc::WireKind::String:
      return "str \"" + v.text + "\"";
    case rpc::WireKind::StringRef:
      return "ref \"" + v.text + "\"";
    case rpc::WireKind::Date: {
      std::string s = "date " + rtl::FormatIsoDate(v.date);
      if (v.date != static_cast<double>(static_cast<long long>(v.date)))
        s += " " + rtl::FormatDateTime("hh:nn:ss", v.date);
      return s;
    }
    case rpc::WireKind::Packet: {
      std::string s = "packet{";
      const rtl::DataPacket& p = *v.packet;
      for (size_t r = 0; r < p.rowCount(); ++r) {
        if (r) s += ";";
        bool first = true;
        for (size_t c = 0; c < p.fieldCount(); ++c) {
          const rtl::PacketColumn& col = p.column(c);
          if (col.isNull(r)) continue;
          if (!first) s += ",";
          first = false;
          s += p.fields()[c].name + "=";
          if (col.type() == rtl::FieldType::String)
            s += std::string(col.string(r));
          else if (col.type() == rtl::FieldType::Float || col.type() == rtl::FieldType::Date)
            s += std::to_string(col.number(r));
          else
            s += std::to_string(col.integer(r));
        }
      }
      return s + "}";
    }
    case rpc::WireKind::StringMap: {
      std::string s = "map{";
      for (size_t i = 0; i < v.entries.size(); ++i)
        s += (i ? "," : "") + v.entries[i].first + "=" + v.entries[i].second;
      return s + "}";
    }
    case rpc::WireKind::Invalid:
      return "invalid(" + v.text + ")";
  }
  return "?";
}

}  // namespace

std::string RecordedCall::describe() const {
  std::string s = method + "(";
  for (size_t i = 0; i < args.size(); ++i) s += (i ? ", " : "") + describeValue(args[i]);
  return s + ")";
}

struct FakeServer::Impl {
  asio::io_context io;
  tcp::acceptor acceptor{io};
  std::thread thread;

  mutable std::mutex mutex;
  std::map<std::string, Handler> handlers;
  std::map<std::string, std::deque<FakeReply>> queued;
  std::vector<RecordedCall> calls;
  int attaches = 0;
  int connections = 0;
  std::set<std::shared_ptr<tcp::socket>> sockets;

  FakeReply replyFor(const RecordedCall& call) {
    Handler handler;
    {
      std::lock_guard lock(mutex);
      calls.push_back(call);
      auto q = queued.find(call.method);
      if (q != queued.end() && !q->second.empty()) {
        FakeReply r = std::move(q->second.front());
        q->second.pop_front();
        return r;
      }
      auto h = handlers.find(call.method);
      if (h != handlers.end()) handler = h->second;
    }
    return handler ? handler(call) : FakeReply::ok();
  }

  struct Connection : std::enable_shared_from_this<Connection> {
    Impl& server;
    std::shared_ptr<tcp::socket> socket;
    rpc::StreamDecoder decoder;
    rpc::OutBuffer out;
    Connection(Impl& s, std::shared_ptr<tcp::socket> sock) : server(s), socket(std::move(sock)) {}

    void read() {
      char* room = decoder.prepare(64 * 1024);
      auto self = shared_from_this();
      socket->async_read_some(asio::buffer(room, 64 * 1024),
                              [self](const asio::error_code& ec, size_t n) {
                                if (ec) return self->finish();
                                self->decoder.commit(n);
                                self->serveFrames();
                              });
    }

    void finish() {
      std::lock_guard lock(server.mutex);
      server.sockets.erase(socket);
      asio::error_code ignored;
      socket->close(ignored);
    }

    // [1, msgid, nil, result] with the result's bytes as given: fixarray 4, 1, uint32 msgid,
    // nil, then the bytes.
    bool writeRaw(uint32_t msgid, const std::string& result) {
      std::string bytes = "\x94\x01\xce";
      for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>((msgid >> shift) & 0xff);
      bytes += '\xc0';
      bytes += result;
      asio::error_code ec;
      asio::write(*socket, asio::buffer(bytes), ec);
      return !ec;
    }

    void serveFrames() {
      try {
        while (auto frame = decoder.next()) {
          const rpc::Request request = rpc::decodeRequest(*frame);
          if (request.kind != rpc::Request::Kind::Call) continue;
          out.clear();
          if (request.method == "attach") {
            {
              std::lock_guard lock(server.mutex);
              ++server.attaches;
            }
            RecordedCall call{"attach", request.params};
            Handler handler;
            std::optional<FakeReply> scripted;
            {
              std::lock_guard lock(server.mutex);
              auto q = server.queued.find("attach");
              if (q != server.queued.end() && !q->second.empty()) {
                scripted = std::move(q->second.front());
                q->second.pop_front();
              }
            }
            if (scripted && scripted->kind == FakeReply::Kind::Error)
              rpc::encodeError(out, request.msgid, scripted->code, scripted->message);
            else
              rpc::encodeResult(out, request.msgid, true);
          } else {
            const FakeReply reply = server.replyFor(RecordedCall{request.method, request.params});
            switch (reply.kind) {
              case FakeReply::Kind::Silent:
                continue;
              case FakeReply::Kind::Close:
                return finish();
              case FakeReply::Kind::Error:
                rpc::encodeError(out, request.msgid, reply.code, reply.message);
                break;
              case FakeReply::Kind::Answer:
                rpc::encodeAnswer(out, request.msgid, reply.status, reply.message,
                                  reply.data ? &*reply.data : nullptr);
                break;
              case FakeReply::Kind::Raw:
                if (!writeRaw(request.msgid, reply.result)) return finish();
                continue;
            }
          }
          asio::error_code ec;
          asio::write(*socket, asio::buffer(out.data(), out.size()), ec);
          if (ec) return finish();
        }
      } catch (const rpc::ProtocolError&) {
        return finish();
      }
      read();
    }
  };

  void accept() {
    auto socket = std::make_shared<tcp::socket>(io);
    acceptor.async_accept(*socket, [this, socket](const asio::error_code& ec) {
      if (ec) return;
      {
        std::lock_guard lock(mutex);
        ++connections;
        sockets.insert(socket);
      }
      std::make_shared<Connection>(*this, socket)->read();
      accept();
    });
  }
};

FakeServer::FakeServer() : impl_(std::make_unique<Impl>()) {
  tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), 0);
  impl_->acceptor.open(endpoint.protocol());
  impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
  impl_->acceptor.bind(endpoint);
  impl_->acceptor.listen();
  impl_->accept();
  impl_->thread = std::thread([this] { impl_->io.run(); });
}

FakeServer::~FakeServer() {
  asio::post(impl_->io, [this] {
    asio::error_code ignored;
    impl_->acceptor.close(ignored);
    std::lock_guard lock(impl_->mutex);
    for (auto& s : impl_->sockets) s->close(ignored);
  });
  impl_->io.stop();
  impl_->thread.join();
}

uint16_t FakeServer::port() const {
  return impl_->acceptor.local_endpoint().port();
}

void FakeServer::on(const std::string& method, Handler handler) {
  std::lock_guard lock(impl_->mutex);
  impl_->handlers[method] = std::move(handler);
}

void FakeServer::queue(const std::string& method, FakeReply reply) {
  std::lock_guard lock(impl_->mutex);
  impl_->queued[method].push_back(std::move(reply));
}

std::vector<RecordedCall> FakeServer::calls() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->calls;
}

std::string FakeServer::callLog() const {
  std::string log;
  for (const RecordedCall& c : calls()) log += c.describe() + "\n";
  return log;
}

void FakeServer::clearCalls() {
  std::lock_guard lock(impl_->mutex);
  impl_->calls.clear();
}

int FakeServer::attachCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->attaches;
}

int FakeServer::connectionCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->connections;
}

void FakeServer::dropConnections() {
  std::promise<void> done;
  auto future = done.get_future();
  asio::post(impl_->io, [this, &done] {
    std::lock_guard lock(impl_->mutex);
    asio::error_code ignored;
    for (auto& s : impl_->sockets) s->close(ignored);
    impl_->sockets.clear();
    done.set_value();
  });
  future.wait();
}

rtl::DataPacket answerRows(const contract::Method& method,
                           const std::vector<std::vector<std::optional<std::string>>>& rows) {
  std::vector<std::pair<std::string, int>> fields;
  for (const contract::Column& column : method.answer)
    fields.emplace_back(std::string(column.name), column.size);
  return stringPacket(fields, rows);
}

const rpc::WireValue& RecordedCall::arg(std::string_view name) const {
  for (const contract::ServerObject* object : contract::kServerObjects)
    if (const contract::Method* m = contract::findMethod(*object, method))
      for (size_t i = 0; i < m->params.size(); ++i)
        if (m->params[i].name == name) return args.at(i);
  throw std::out_of_range(method + " has no argument " + std::string(name));
}

rtl::DataPacket stringPacket(const std::vector<std::pair<std::string, int>>& fields,
                             const std::vector<std::vector<std::optional<std::string>>>& rows) {
  std::vector<rtl::PacketField> defs;
  for (const auto& [name, size] : fields) defs.push_back({name, rtl::FieldType::String, size});
  rtl::DataPacket packet(std::move(defs));
  for (const auto& row : rows) {
    for (size_t c = 0; c < fields.size(); ++c) {
      if (c < row.size() && row[c])
        packet.column(c).appendString(*row[c]);
      else
        packet.column(c).appendNull();
    }
    packet.commitRow();
  }
  return packet;
}

}  // namespace testsupport
