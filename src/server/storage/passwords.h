#pragma once
// How the server keeps passwords: Argon2id hashes (libsodium's crypto_pwhash_str), each with
// its own salt and its cost written into it, so that a later cost still verifies older hashes.
// Hashing is memory-hard by design: each hash or verification takes kPasswordMemory bytes and
// about a tenth of a second; callers bound how many run at once. Passwords never leave these
// functions, in logs or messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace server {

// The cost of new hashes: libsodium's interactive limits (2 passes over 64 MiB).
inline constexpr unsigned long long kPasswordPasses = 2;
inline constexpr size_t kPasswordMemory = size_t{64} << 20;
// The longest password accepted, in bytes; longer ones are refused rather than cut.
inline constexpr size_t kMaxPasswordBytes = 1024;

// The encoded hash ("$argon2id$v=19$m=65536,t=2,p=1$..."). Throws StorageError when the
// system cannot provide the memory.
std::string hashPassword(std::string_view password);

// True when `password` matches `hash`; false for anything else, a malformed hash included.
bool verifyPassword(std::string_view hash, std::string_view password);

// A hash of no password anybody knows, made once: verifying against it costs what verifying a
// real one does, so that an unknown user name takes as long to refuse as a wrong password.
const std::string& decoyHash();

}  // namespace server
