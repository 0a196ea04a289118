#pragma once
// The server's side of one TLS connection, over memory rather than over the socket: the session
// hands it the ciphertext it read and takes back the ciphertext to write, and the engine turns
// them into plaintext and back. Moving the bytes itself lets the session write a small answer at
// once, on the thread that made it, as it does without TLS, instead of through an asynchronous
// write and a hand-over to another thread for every answer. Not thread-safe: one session's
// strand uses it.

#include <cstddef>
#include <string>
#include <string_view>

#include <openssl/ssl.h>

namespace server {

class TlsEngine {
 public:
  // `context` is a server context (certificate and key loaded); it must outlive the engine.
  explicit TlsEngine(SSL_CTX* context);
  ~TlsEngine();
  TlsEngine(const TlsEngine&) = delete;
  TlsEngine& operator=(const TlsEngine&) = delete;

  enum class State { Handshaking, Open, Closed, Failed };
  State state() const { return state_; }
  // Why the connection failed, for the log.
  const std::string& failure() const { return failure_; }

  // Ciphertext read from the peer. Afterwards the handshake goes on as far as it can, and
  // plaintext can be read; output (handshake records, alerts) may be waiting.
  void received(const char* data, size_t size);

  // Decrypts into `out` up to `size` bytes; 0 when nothing whole has arrived yet (or the
  // connection is no longer open).
  size_t read(char* out, size_t size);

  // Encrypts plaintext; its records wait in output().
  void write(std::string_view plaintext);

  // The ciphertext waiting to be sent, and how much of it went.
  std::string_view output() const { return std::string_view(out_).substr(sent_); }
  void sent(size_t size);

 private:
  void handshake();
  void drainOutput();
  void fail(const char* what);

  SSL* ssl_ = nullptr;
  BIO* in_ = nullptr;       // ciphertext from the peer, read by OpenSSL
  BIO* out_bio_ = nullptr;  // ciphertext for the peer, written by OpenSSL
  std::string out_;
  size_t sent_ = 0;
  State state_ = State::Handshaking;
  std::string failure_;
};

}  // namespace server
