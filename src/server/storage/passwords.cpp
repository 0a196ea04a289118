#include "server/storage/passwords.h"

#include <sodium.h>

#include <stdexcept>

#include "server/storage/storage_error.h"

namespace server {

namespace {

void requireSodium() {
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw StorageError("a biblioteca de criptografia não pôde ser iniciada");
}

}  // namespace

std::string hashPassword(std::string_view password) {
  requireSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(), kPasswordPasses,
                            kPasswordMemory, crypto_pwhash_ALG_ARGON2ID13) != 0)
    throw StorageError("sem memória para calcular o hash da senha");
  return hash;
}

bool verifyPassword(std::string_view hash, std::string_view password) {
  requireSodium();
  if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
  const std::string terminated(hash);  // libsodium reads a C string
  return crypto_pwhash_str_verify(terminated.c_str(), password.data(), password.size()) == 0;
}

const std::string& decoyHash() {
  static const std::string hash = [] {
    unsigned char secret[32];
    requireSodium();
    randombytes_buf(secret, sizeof secret);
    return hashPassword(std::string_view(reinterpret_cast<const char*>(secret), sizeof secret));
  }();
  return hash;
}

}  // namespace server
