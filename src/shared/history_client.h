#pragma once
// HistoryClient: the desk's way into the journal of changes, the server object
// Vnd42400.rdmHistorico (contract/remote_contract.h). It keeps its own connection, opened at
// its first call with the session's server, token, TLS and login (TNetConnection), and makes
// every call as the screens do: busy animation on, the call, the answer checked (a refusal is
// shown as an error and ends the running handler with the silent abort, Consiste), animation
// off. Use it on the user-interface thread, from inside a user event.

#include <memory>
#include <vector>

#include "shared/history_records.h"

namespace shared {

class TNetConnection;

// Where the desk reads the journal from; the history window and its models see only this.
class HistorySource {
 public:
  virtual ~HistorySource() = default;
  // The changes that pass `filter`, newest first, numbered below `before` (0: the newest).
  virtual std::vector<HistoryChange> Changes(const HistoryFilter& filter, int64_t before,
                                             int count) = 0;
  // `count` products of change `change` from position `offset` (names' part first).
  virtual std::vector<HistoryItem> Items(int64_t change, int64_t offset, int count) = 0;
  // What undoing `change` would do now.
  virtual std::vector<UndoPreviewPart> Preview(int64_t change) = 0;
  // Undoes `change`.
  virtual UndoResult Undo(int64_t change) = 0;
};

class HistoryClient : public HistorySource {
 public:
  HistoryClient();
  ~HistoryClient() override;
  HistoryClient(const HistoryClient&) = delete;
  HistoryClient& operator=(const HistoryClient&) = delete;

  // The page size the desk asks for: the server allows up to 500 changes and 1000 products.
  static constexpr int kChangesPage = 100;
  static constexpr int kItemsPage = 500;

  std::vector<HistoryChange> Changes(const HistoryFilter& filter, int64_t before,
                                     int count) override;
  std::vector<HistoryItem> Items(int64_t change, int64_t offset, int count) override;
  std::vector<UndoPreviewPart> Preview(int64_t change) override;
  UndoResult Undo(int64_t change) override;

 private:
  std::unique_ptr<TNetConnection> connection_;
};

}  // namespace shared
