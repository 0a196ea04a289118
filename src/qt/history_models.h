#pragma once
// The table models of the history window (history_window.h), over a source of the journal
// (shared::HistorySource). Neither knows of views; both make their calls inside a user event
// (tk::RunUserEvent), so a refusal or a lost connection reaches the user as the screen's do, and
// a failed call leaves the model as it was.
//
// ChangesModel: the changes of one search, newest first, a page at a time: the first page when
// searched, the next whenever the view scrolls to the end of what it has (canFetchMore).
//
// ChangeItemsModel: the products of one change, as many rows as the change has from the start,
// so the scroll bar is true and a jump to the end is a jump. A row not read yet shows as empty
// and asks for its page, which is read once control is back in the event loop (never while the
// view paints) and then kept; each page costs one call, whatever part of the list it is.
//
// The busy animation lets the event loop turn while a call is on its way, so a view may ask
// again for what is being read: neither model starts a read of what it is reading already.

#include <QAbstractTableModel>
#include <map>
#include <set>
#include <vector>

#include "shared/history_client.h"

namespace qtviews {

class ChangesModel : public QAbstractTableModel {
 public:
  explicit ChangesModel(shared::HistorySource& source, QObject* parent = nullptr);

  // Replaces the rows with the first page of what `filter` finds. False when the call failed
  // (the user was told); the rows are then gone.
  bool search(const shared::HistoryFilter& filter);
  const shared::HistoryChange* change(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  // "2026-12-09 16:19:12.635" (UTC) as the desk's local time, "09/12/2026 13:19:12".
  static QString localTime(const std::string& utc);

 private:
  shared::HistorySource& source_;
  shared::HistoryFilter filter_;
  std::vector<shared::HistoryChange> changes_;
  bool complete_ = true;
  bool fetching_ = false;
};

class ChangeItemsModel : public QAbstractTableModel {
 public:
  explicit ChangeItemsModel(shared::HistorySource& source, int pageSize, QObject* parent = nullptr);

  // Shows change `change`'s `count` products (nothing is read yet); 0 for none.
  void showChange(int64_t change, int64_t count);
  int64_t change() const { return change_; }
  // Page `index` of the products (rows index * pageSize on), reading it now when it is not
  // kept yet; nullptr when the call failed. A page shorter than the page size is the last.
  const std::vector<shared::HistoryItem>* page(int index);
  int pageSize() const { return pageSize_; }
  // Pages read so far, and reads made (a test's view of the paging).
  size_t pagesKept() const { return pages_.size(); }
  int reads() const { return reads_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  bool readPage(int page);
  void readWanted();

  shared::HistorySource& source_;
  int pageSize_;
  int64_t change_ = 0;
  int rows_ = 0;
  std::map<int, std::vector<shared::HistoryItem>> pages_;
  std::set<int> reading_;  // pages whose call is under way
  mutable std::set<int> wanted_;
  mutable bool readScheduled_ = false;
  int reads_ = 0;
};

}  // namespace qtviews
