#pragma once
// The configuration file of `vnd42400 serve` (and of `init`, which takes its database from it):
//
//   # a comment; blank lines are ignored
//   db = /var/lib/vnd42400/vnd42400.db
//   listen = 0.0.0.0:2110
//   tls-cert = /etc/vnd42400/tls.crt
//   insecure-allow-plaintext-and-anonymous = false
//
// Every key is a long option of serve without its dashes; a flag takes true or false. The file
// is read in place of `--config FILE` and its options are put before the command line's, so
// the command line wins (the last value given counts). An unknown key is refused by the
// command line's parser as an unknown option, so a typo never passes silently. Secrets stay in
// files of their own (token-file, tls-key, the database's password file): the configuration
// names them.

#include <stdexcept>
#include <string>
#include <vector>

namespace server {

class ConfigFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// argv without argv[0], with `--config FILE` of serve or init replaced by the file's options
// (for init, only db). Throws ConfigFileError for a file that cannot be read or a malformed line.
std::vector<std::string> withConfigFile(int argc, char** argv);

}  // namespace server
