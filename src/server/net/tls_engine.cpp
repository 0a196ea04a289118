#include "server/net/tls_engine.h"

#include <openssl/err.h>

#include <stdexcept>

namespace server {

namespace {

// OpenSSL's reason for the last failure, or `what` when it has none.
std::string reason(const char* what) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return what;
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return std::string(what) + ": " + text;
}

}  // namespace

TlsEngine::TlsEngine(SSL_CTX* context) : ssl_(SSL_new(context)) {
  in_ = BIO_new(BIO_s_mem());
  out_bio_ = BIO_new(BIO_s_mem());
  if (!ssl_ || !in_ || !out_bio_) {
    BIO_free(in_);
    BIO_free(out_bio_);
    SSL_free(ssl_);
    throw std::runtime_error("no memory for a TLS connection");
  }
  // An empty memory BIO says "try again", not "end of file".
  BIO_set_mem_eof_return(in_, -1);
  SSL_set_bio(ssl_, in_, out_bio_);  // the SSL owns both from here
  SSL_set_accept_state(ssl_);
}

TlsEngine::~TlsEngine() {
  SSL_free(ssl_);
}

void TlsEngine::fail(const char* what) {
  state_ = State::Failed;
  failure_ = reason(what);
}

void TlsEngine::received(const char* data, size_t size) {
  if (state_ == State::Failed || state_ == State::Closed) return;
  if (size > 0 && BIO_write(in_, data, static_cast<int>(size)) != static_cast<int>(size)) {
    fail("no memory for received bytes");
    return;
  }
  if (state_ == State::Handshaking) handshake();
}

void TlsEngine::handshake() {
  const int done = SSL_do_handshake(ssl_);
  drainOutput();
  if (done == 1) {
    state_ = State::Open;
    return;
  }
  const int error = SSL_get_error(ssl_, done);
  if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) fail("handshake");
}

size_t TlsEngine::read(char* out, size_t size) {
  if (state_ != State::Open || size == 0) return 0;
  size_t got = 0;
  const int ok = SSL_read_ex(ssl_, out, size, &got);
  drainOutput();  // a read may answer a key update or send an alert
  if (ok == 1) return got;
  const int error = SSL_get_error(ssl_, ok);
  if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return 0;
  if (error == SSL_ERROR_ZERO_RETURN) {
    state_ = State::Closed;
    return 0;
  }
  fail("read");
  return 0;
}

void TlsEngine::write(std::string_view plaintext) {
  if (state_ != State::Open) return;
  size_t written = 0;
  if (SSL_write_ex(ssl_, plaintext.data(), plaintext.size(), &written) != 1 ||
      written != plaintext.size()) {
    fail("write");
    return;
  }
  drainOutput();
}

void TlsEngine::drainOutput() {
  if (sent_ > 0 && sent_ == out_.size()) {
    out_.clear();
    sent_ = 0;
  }
  const size_t pending = BIO_ctrl_pending(out_bio_);
  if (pending == 0) return;
  const size_t at = out_.size();
  out_.resize(at + pending);
  const int got = BIO_read(out_bio_, out_.data() + at, static_cast<int>(pending));
  out_.resize(at + (got > 0 ? static_cast<size_t>(got) : 0));
}

void TlsEngine::sent(size_t size) {
  sent_ += size;
  if (sent_ >= out_.size()) {
    out_.clear();
    sent_ = 0;
  }
}

}  // namespace server
