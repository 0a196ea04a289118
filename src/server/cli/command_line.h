#pragma once
// The command line of vnd42400:
//   vnd42400 init --db TARGET
//   vnd42400 demo --db TARGET [--products N]
//   vnd42400 serve --db TARGET [--listen HOST:PORT] [--token-file FILE] [--max-connections N]
//                  [--lock-wait SECONDS] [--tls-cert FILE --tls-key FILE]
//                  [--insecure-allow-plaintext-and-anonymous]
//   vnd42400 user add|passwd|disable|enable|remove|grant|revoke|list ...   (account_commands.h)
//   vnd42400 journal --db TARGET [--since DATE] [--change ID] [--json]   (journal_command.h)
//   vnd42400 restore --db TARGET --change ID
//   vnd42400 prune --db TARGET --before DATE
// TARGET is an SQLite file path or a postgresql:// URI. Exit status 0 on success, 2 on bad
// usage and 1 on failure, with a one-line error on standard error. `serve` prints exactly one
// line "listening on HOST:PORT" on standard output once it accepts connections.

namespace server {

int runCommandLine(int argc, char** argv);

}  // namespace server
