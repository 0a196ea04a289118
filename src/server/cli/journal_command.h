#pragma once
// The journal's subcommands of vnd42400:
//   vnd42400 journal --db TARGET [--since DATE] [--change ID] [--json]
//   vnd42400 restore --db TARGET --change ID
//   vnd42400 prune --db TARGET --before DATE
// `journal` lists the changes recorded at or after DATE (UTC; "YYYY-MM-DD" or
// "YYYY-MM-DD HH:MM[:SS]"), or one change with its rows (journal_text.h). `restore` puts back
// the values one change replaced, leaving rows changed again since alone, and prints what it
// did and every row it left alone (storage/journal/restore.h). `prune` discards the rows of the
// changes recorded before DATE, keeping their lines (storage/journal/prune.h). Usage errors
// are CLI11's (exit 2); failures throw, for the command line to report (exit 1).

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace server {

struct JournalCommands {
  CLI::App* journal = nullptr;
  CLI::App* restore = nullptr;
  CLI::App* prune = nullptr;
  std::string db;
  std::string since;
  std::string before;
  int64_t change = 0;
  bool json = false;
};

// Adds the subcommands to `app`; their options are stored in `commands`, which must outlive
// the parse.
void addJournalCommands(CLI::App& app, JournalCommands& commands);

// Runs the subcommand `app` parsed if it is one of these and returns its exit status; nullopt
// when another subcommand was chosen.
std::optional<int> runJournalCommands(const JournalCommands& commands);

}  // namespace server
