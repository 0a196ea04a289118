#include "server/cli/journal_command.h"

#include <iostream>

#include "rtl/system_names.h"
#include "server/cli/journal_text.h"
#include "server/storage/journal/journal_reader.h"
#include "server/storage/journal/prune.h"
#include "server/storage/journal/restore.h"
#include "server/storage/storage.h"

namespace server {

namespace {

int listJournal(const JournalCommands& options) {
  const auto storage = openExistingStorage(options.db);
  auto connection = storage->connection();
  if (options.change > 0) {
    const auto entry = findChange(*connection, options.change);
    if (!entry)
      throw std::runtime_error("change " + std::to_string(options.change) + " does not exist");
    const auto items = changeItems(*connection, entry->id);
    const auto names =
        entry->names ? changeItems(*connection, entry->names->id) : std::vector<JournalItem>{};
    std::cout << (options.json ? journalJson(*entry, items, names)
                               : journalTable(*entry, items, names));
    return 0;
  }
  std::optional<std::string> since;
  if (!options.since.empty()) since = journalTimestamp(options.since);  // checked by the parser
  const auto entries = listChanges(*connection, since);
  std::cout << (options.json ? journalJson(entries) : journalTable(entries));
  return 0;
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

int restore(const JournalCommands& options) {
  const auto storage = openExistingStorage(options.db);
  RestoreCaller caller;
  caller.user = rtl::LoginName();
  if (caller.user.empty()) caller.user = "?";
  caller.machine = rtl::MachineName();
  if (caller.machine.empty()) caller.machine = "localhost";
  caller.client = "local " + caller.user + "@" + caller.machine;
  const RestoreOutcome outcome = restoreChange(*storage, options.change, caller);
  std::vector<LeftAlone> leftAlone = outcome.leftAlone;
  std::cout << "change " << outcome.change << " restored as change " << outcome.id << ": ";
  if (outcome.names) {
    // A change in two rows: its names and its items, names first.
    leftAlone.insert(leftAlone.begin(), outcome.names->leftAlone.begin(),
                     outcome.names->leftAlone.end());
    std::cout << outcome.names->restored << " names and " << outcome.restored << " items";
  } else {
    std::cout << outcome.restored << " rows";
  }
  std::cout << " put back, " << leftAlone.size() << " left alone\n";
  for (const LeftAlone& row : leftAlone) {
    if (row.now) {
      std::cout << "left alone (changed since): " << quoted(row.product) << " is now "
                << quoted(*row.now) << "\n";
    } else {
      std::cout << "left alone (no longer exists): " << quoted(row.product) << "\n";
    }
  }
  return 0;
}

int prune(const JournalCommands& options) {
  const auto storage = openExistingStorage(options.db);
  const std::string before = *journalTimestamp(options.before);  // checked by the parser
  const PruneOutcome outcome = pruneJournal(*storage, before);
  std::cout << "discarded the rows of " << outcome.changes << " changes recorded before " << before
            << " UTC: " << outcome.rows << " rows\n";
  return 0;
}

// The UTC day or time options of the journal take.
CLI::Validator dayOrTime() {
  return CLI::Validator(
      [](const std::string& text) {
        return journalTimestamp(text) ? std::string() : "expected YYYY-MM-DD, got " + text;
      },
      "DATE");
}

}  // namespace

void addJournalCommands(CLI::App& app, JournalCommands& commands) {
  CLI::App* journal = app.add_subcommand("journal", "List the changes recorded in the journal.");
  journal->add_option("--db", commands.db, "SQLite file or postgresql:// URI")->required();
  CLI::Option* since =
      journal
          ->add_option("--since", commands.since,
                       "Only changes at or after this UTC day or time (YYYY-MM-DD[ HH:MM[:SS]])")
          ->check(dayOrTime());
  journal->add_option("--change", commands.change, "Show this change with its rows")
      ->check(CLI::PositiveNumber)
      ->excludes(since);
  journal->add_flag("--json", commands.json, "Write JSON instead of a table");
  commands.journal = journal;

  CLI::App* restore =
      app.add_subcommand("restore", "Put back the values one change replaced (one transaction).");
  restore->add_option("--db", commands.db, "SQLite file or postgresql:// URI")->required();
  restore->add_option("--change", commands.change, "The number of the change (see journal)")
      ->required()
      ->check(CLI::PositiveNumber);
  commands.restore = restore;

  CLI::App* prune = app.add_subcommand(
      "prune", "Discard the rows of the changes recorded before a day; their lines stay.");
  prune->add_option("--db", commands.db, "SQLite file or postgresql:// URI")->required();
  prune
      ->add_option("--before", commands.before,
                   "Changes recorded before this UTC day or time (YYYY-MM-DD[ HH:MM[:SS]])")
      ->required()
      ->check(dayOrTime());
  commands.prune = prune;
}

std::optional<int> runJournalCommands(const JournalCommands& commands) {
  if (commands.journal && *commands.journal) return listJournal(commands);
  if (commands.restore && *commands.restore) return restore(commands);
  if (commands.prune && *commands.prune) return prune(commands);
  return std::nullopt;
}

}  // namespace server
