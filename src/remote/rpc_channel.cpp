#include "remote/rpc_channel.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <asio.hpp>
#include <asio/ssl.hpp>

#include <optional>

#include "rpc/client_codec.h"
#include "rpc/out_buffer.h"
#include "rpc/protocol_error.h"
#include "rpc/stream_decoder.h"
#include "rtl/exceptions.h"

namespace remote {

using asio::ip::tcp;

namespace {

// Why a server's certificate was not trusted, as the user reads it.
std::string untrusted(long result, const std::string& host) {
  switch (result) {
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "não é para o nome " + host;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
      return "não foi emitido por uma autoridade em que esta estação confia (server_ca)";
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "está vencido";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "ainda não é válido";
    default:
      return "não pôde ser verificado (código " + std::to_string(result) + ")";
  }
}

bool isLoopback(const tcp::socket& socket) {
  asio::error_code ec;
  const auto remote = socket.remote_endpoint(ec);
  return !ec && remote.address().is_loopback();
}

}  // namespace

struct RpcChannel::Impl {
  asio::io_context io;
  tcp::socket socket{io};
  std::optional<asio::ssl::context> tlsContext;
  std::optional<asio::ssl::stream<tcp::socket&>> tls;
  rtl::Variant attached;
  rpc::StreamDecoder decoder;
  rpc::OutBuffer out;
  Endpoint endpoint;
  uint32_t nextMsgid = 1;
  bool open = false;

  std::string where() const { return endpoint.host + ":" + std::to_string(endpoint.port); }

  void fail(const std::string& message, int code = 0, const std::string& method = {}) {
    shutdown();
    throw rtl::ERemoteError(message, code, method);
  }

  void shutdown() {
    tls.reset();
    asio::error_code ignored;
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
    decoder = rpc::StreamDecoder();
    open = false;
  }

  // Runs the io_context until `done` or the deadline; false on timeout (the socket is then
  // closed, which cancels what is pending).
  bool runUntil(const bool& done, std::chrono::milliseconds timeout) {
    io.restart();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) {
        asio::error_code ignored;
        socket.close(ignored);
        io.restart();
        io.run();  // let the cancelled handlers finish
        return false;
      }
      io.run_one_for(deadline - now);
    }
    return true;
  }

  void connect() {
    bool done = false;
    asio::error_code result;
    tcp::resolver resolver(io);
    tcp::resolver::results_type endpoints;
    asio::error_code resolveError;
    endpoints = resolver.resolve(endpoint.host, std::to_string(endpoint.port), resolveError);
    if (resolveError)
      fail("Não foi possível localizar o servidor de aplicação " + where() + ": " +
           resolveError.message());
    asio::async_connect(socket, endpoints, [&](const asio::error_code& ec, const tcp::endpoint&) {
      result = ec;
      done = true;
    });
    if (!runUntil(done, endpoint.connectTimeout))
      fail("O servidor de aplicação " + where() + " não respondeu à conexão em " +
           std::to_string(endpoint.connectTimeout.count() / 1000) + " s.");
    if (result)
      fail("Não foi possível conectar ao servidor de aplicação " + where() + ": " +
           result.message());
    socket.set_option(tcp::no_delay(true));
    if (endpoint.tls) handshake();
    open = true;
  }

  void handshake() {
    try {
      tlsContext.emplace(asio::ssl::context::tls_client);
      tlsContext->set_options(asio::ssl::context::no_sslv2 | asio::ssl::context::no_sslv3 |
                              asio::ssl::context::no_tlsv1 | asio::ssl::context::no_tlsv1_1);
      if (endpoint.caFile.empty())
        tlsContext->set_default_verify_paths();
      else
        tlsContext->load_verify_file(endpoint.caFile);
    } catch (const std::system_error&) {
      fail("Não foi possível ler o certificado da autoridade (server_ca) " + endpoint.caFile + ".");
    }
    tls.emplace(socket, *tlsContext);
    tls->set_verify_mode(asio::ssl::verify_peer);
    // OpenSSL checks that the certificate names the host (or its address), and says which
    // check failed.
    SSL* ssl = tls->native_handle();
    asio::error_code notAddress;
    asio::ip::make_address(endpoint.host, notAddress);
    if (notAddress) {
      SSL_set1_host(ssl, endpoint.host.c_str());
      SSL_set_tlsext_host_name(ssl, endpoint.host.c_str());
    } else {
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), endpoint.host.c_str());
    }
    bool done = false;
    asio::error_code result;
    tls->async_handshake(asio::ssl::stream_base::client, [&](const asio::error_code& e) {
      result = e;
      done = true;
    });
    if (!runUntil(done, endpoint.connectTimeout))
      fail("O servidor de aplicação " + where() + " não completou a conexão TLS em " +
           std::to_string(endpoint.connectTimeout.count() / 1000) + " s.");
    if (result) {
      const long verify = SSL_get_verify_result(tls->native_handle());
      if (verify != X509_V_OK)
        fail("O certificado do servidor de aplicação " + where() + " " +
             untrusted(verify, endpoint.host) + "; a conexão não foi feita.");
      fail("O servidor de aplicação " + where() +
           " não respondeu em TLS (server_tls = true na sessão, mas o servidor não usa TLS?).");
    }
  }

  template <typename Buffer, typename Handler>
  void readSome(const Buffer& buffer, Handler&& handler) {
    if (tls)
      tls->async_read_some(buffer, std::forward<Handler>(handler));
    else
      socket.async_read_some(buffer, std::forward<Handler>(handler));
  }

  template <typename Buffer, typename Handler>
  void writeAll(const Buffer& buffer, Handler&& handler) {
    if (tls)
      asio::async_write(*tls, buffer, std::forward<Handler>(handler));
    else
      asio::async_write(socket, buffer, std::forward<Handler>(handler));
  }

  bool mayCarryPassword() const { return tls.has_value() || isLoopback(socket); }

  // `options`, when given, travels after `args` as one map of texts.
  rtl::Variant exchange(const std::string& method, const std::vector<rtl::Variant>& args,
                        const rpc::StringMap* options = nullptr) {
    const uint32_t msgid = nextMsgid++;
    out.clear();
    if (options) {
      rpc::encodeRequest(out, msgid, method, args, *options);
    } else {
      rpc::encodeRequest(out, msgid, method, args);
    }

    bool done = false;
    asio::error_code failure;
    std::optional<rpc::Response> response;
    // Write the request, then read until the response with our msgid is complete.
    std::function<void()> readMore = [&]() {
      char* room = decoder.prepare(64 * 1024);
      readSome(asio::buffer(room, 64 * 1024), [&](const asio::error_code& ec, size_t n) {
        if (ec) {
          failure = ec;
          done = true;
          return;
        }
        decoder.commit(n);
        try {
          while (auto frame = decoder.next()) {
            auto r = rpc::decodeResponse(*frame);
            if (r && r->msgid == msgid) {
              response = std::move(r);
              done = true;
              return;
            }
          }
        } catch (const rpc::ProtocolError& e) {
          failure = asio::error::invalid_argument;
          protocolProblem = e.what();
          done = true;
          return;
        }
        readMore();
      });
    };
    writeAll(asio::buffer(out.data(), out.size()), [&](const asio::error_code& ec, size_t) {
      if (ec) {
        failure = ec;
        done = true;
        return;
      }
      readMore();
    });
    if (!runUntil(done, endpoint.callTimeout))
      fail("O servidor de aplicação não respondeu em " +
               std::to_string(endpoint.callTimeout.count() / 1000) + " s (" + method + ").",
           0, method);
    if (!protocolProblem.empty()) {
      const std::string problem = std::move(protocolProblem);
      protocolProblem.clear();
      fail("Resposta inválida do servidor de aplicação (" + method + "): " + problem, 0, method);
    }
    if (failure)
      fail("A conexão com o servidor de aplicação foi perdida (" + method +
               "): " + failure.message(),
           0, method);
    if (response->error) {
      // An error reply leaves the connection usable.
      throw rtl::ERemoteError(response->error->message, response->error->code, method);
    }
    return std::move(response->result);
  }

  std::string protocolProblem;
};

RpcChannel::RpcChannel() : impl_(std::make_unique<Impl>()) {}
RpcChannel::~RpcChannel() {
  impl_->shutdown();
}

void RpcChannel::open(const Endpoint& endpoint) {
  impl_->shutdown();
  impl_->endpoint = endpoint;
  impl_->connect();
  // [name], [name, token], or, when the session knows who is calling,
  // [name, token or nil, {"user": ..., "host": ...}] so that the server can journal it.
  std::vector<rtl::Variant> params{rtl::Variant(endpoint.serverName)};
  const bool identified = !endpoint.user.empty() || !endpoint.machine.empty();
  if (!endpoint.token.empty()) {
    params.emplace_back(endpoint.token);
  } else if (identified) {
    params.push_back(rtl::Variant::Null());
  }
  rpc::StringMap caller{{"user", endpoint.user}, {"host", endpoint.machine}};
  if (!endpoint.password.empty()) {
    // Anyone on the way could read it otherwise.
    if (!impl_->mayCarryPassword())
      impl_->fail("A senha não é enviada ao servidor de aplicação " + impl_->where() +
                  " por uma conexão sem TLS; use server_tls = true na sessão.");
    caller.emplace_back("password", endpoint.password);
  }
  try {
    impl_->attached = impl_->exchange("attach", params, identified ? &caller : nullptr);
  } catch (const rtl::ERemoteError&) {
    impl_->shutdown();
    throw;
  }
}

const rtl::Variant& RpcChannel::attachResult() const {
  return impl_->attached;
}

void RpcChannel::close() {
  impl_->shutdown();
}

bool RpcChannel::isOpen() const {
  return impl_->open;
}

rtl::Variant RpcChannel::call(const std::string& method, const std::vector<rtl::Variant>& args) {
  if (!impl_->open)
    throw rtl::ERemoteError("Não há conexão com o servidor de aplicação.", 0, method);
  return impl_->exchange(method, args);
}

}  // namespace remote
