#include "qt/history_models.h"

#include <QDateTime>
#include <QTimeZone>
#include <QTimer>

#include "shared/history_texts.h"
#include "shared/varnoke.h"
#include "toolkit/edit_mask.h"
#include "toolkit/user_input.h"

namespace qtviews {

namespace {

QString text(const std::string& value) {
  return QString::fromStdString(value);
}

// "2026-11-09" as "09/11/2026"; empty stays empty.
QString day(const std::string& iso) {
  const QDate date = QDate::fromString(text(iso), QStringLiteral("yyyy-MM-dd"));
  return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : text(iso);
}

// "40 + 1.800" for a change in two parts, names first.
QString counts(std::optional<int64_t> names, int64_t count) {
  const QString flags = text(shared::Thousands(count));
  return names ? text(shared::Thousands(*names)) + QStringLiteral(" + ") + flags : flags;
}

enum ChangeColumn {
  cId,
  cWhen,
  cUser,
  cFrom,
  cBranch,
  cTable,
  cValidity,
  cRequest,
  cChanged,
  cUnchanged,
  kChangeColumns
};
enum ItemColumn { iProduct, iName, iColumn, iBefore, iAfter, kItemColumns };

}  // namespace

ChangesModel::ChangesModel(shared::HistorySource& source, QObject* parent)
    : QAbstractTableModel(parent), source_(source) {}

QString ChangesModel::localTime(const std::string& utc) {
  QDateTime when = QDateTime::fromString(text(utc), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
  if (!when.isValid()) return text(utc);
  when.setTimeZone(QTimeZone::utc());
  return when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

bool ChangesModel::search(const shared::HistoryFilter& filter) {
  std::vector<shared::HistoryChange> first;
  const tk::EventOutcome outcome = tk::RunUserEvent(
      [&] { first = source_.Changes(filter, 0, shared::HistoryClient::kChangesPage); });
  beginResetModel();
  filter_ = filter;
  changes_ = outcome.raised ? std::vector<shared::HistoryChange>() : std::move(first);
  complete_ =
      outcome.raised || changes_.size() < static_cast<size_t>(shared::HistoryClient::kChangesPage);
  endResetModel();
  return !outcome.raised;
}

const shared::HistoryChange* ChangesModel::change(int row) const {
  if (row < 0 || row >= static_cast<int>(changes_.size())) return nullptr;
  return &changes_[static_cast<size_t>(row)];
}

int ChangesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(changes_.size());
}

int ChangesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kChangeColumns;
}

QVariant ChangesModel::data(const QModelIndex& index, int role) const {
  const shared::HistoryChange* c = change(index.row());
  if (c == nullptr) return {};
  if (role == Qt::TextAlignmentRole) {
    const bool number = index.column() == cId || index.column() >= cChanged;
    return int((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case cId:
      return QString::number(c->id);
    case cWhen:
      return localTime(c->when);
    case cUser:
      return text(c->user);
    case cFrom:
      return c->machine.empty() ? text(c->address) : text(c->machine + " (" + c->address + ")");
    case cBranch:
      return c->branch.empty() ? QStringLiteral("todas") : text(c->branch);
    case cTable:
      return text(c->table);
    case cValidity:
      return day(c->validityStart);
    case cRequest:
      return text(c->request);
    case cChanged:
      return counts(c->namesChanged, c->changed);
    case cUnchanged:
      return counts(c->namesUnchanged, c->unchanged);
  }
  return {};
}

QVariant ChangesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kTitles[] = {"Nº",        "Quando",          "Usuário",  "De onde",
                                        "Filial",    "Tabela",          "Vigência", "Pedido",
                                        "Alterados", "Já estavam assim"};
  return section >= 0 && section < kChangeColumns ? QString::fromUtf8(kTitles[section])
                                                  : QVariant();
}

bool ChangesModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !complete_ && !fetching_;
}

void ChangesModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent) || changes_.empty()) return;
  std::vector<shared::HistoryChange> next;
  const int64_t before = changes_.back().id;
  fetching_ = true;
  const tk::EventOutcome outcome = tk::RunUserEvent(
      [&] { next = source_.Changes(filter_, before, shared::HistoryClient::kChangesPage); });
  fetching_ = false;
  // A failed page is not asked again by itself: the next search starts over.
  complete_ =
      outcome.raised || next.size() < static_cast<size_t>(shared::HistoryClient::kChangesPage);
  if (next.empty()) return;
  const int first = static_cast<int>(changes_.size());
  beginInsertRows({}, first, first + static_cast<int>(next.size()) - 1);
  for (shared::HistoryChange& c : next) changes_.push_back(std::move(c));
  endInsertRows();
}

ChangeItemsModel::ChangeItemsModel(shared::HistorySource& source, int pageSize, QObject* parent)
    : QAbstractTableModel(parent), source_(source), pageSize_(pageSize) {}

void ChangeItemsModel::showChange(int64_t change, int64_t count) {
  beginResetModel();
  change_ = change;
  rows_ = static_cast<int>(count);
  pages_.clear();
  wanted_.clear();
  endResetModel();
}

bool ChangeItemsModel::readPage(int page) {
  if (pages_.count(page)) return true;
  if (reading_.count(page)) return false;
  std::vector<shared::HistoryItem> items;
  ++reads_;
  const int64_t change = change_;
  reading_.insert(page);
  const tk::EventOutcome outcome = tk::RunUserEvent(
      [&] { items = source_.Items(change, int64_t{page} * pageSize_, pageSize_); });
  reading_.erase(page);
  // The change shown may have changed while the call was on its way.
  if (outcome.raised || change != change_) return false;
  pages_[page] = std::move(items);
  return true;
}

const std::vector<shared::HistoryItem>* ChangeItemsModel::page(int index) {
  if (index < 0 || int64_t{index} * pageSize_ >= rows_ || !readPage(index)) return nullptr;
  return &pages_[index];
}

void ChangeItemsModel::readWanted() {
  readScheduled_ = false;
  const std::set<int> wanted = std::exchange(wanted_, {});
  for (const int page : wanted) {
    if (reading_.count(page)) continue;  // its read, further up the stack, repaints it
    if (!readPage(page)) {
      // Told once; the rows stay empty until the change is shown again.
      pages_[page] = {};
      continue;
    }
    const int first = page * pageSize_;
    const int last = std::min(rows_, first + pageSize_) - 1;
    emit dataChanged(index(first, 0), index(last, kItemColumns - 1));
  }
}

int ChangeItemsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ChangeItemsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kItemColumns;
}

QVariant ChangeItemsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const int row = index.row();
  if (row < 0 || row >= rows_) return {};
  const int page = row / pageSize_;
  const auto found = pages_.find(page);
  if (found == pages_.end() && reading_.count(page)) return {};
  if (found == pages_.end()) {
    // Never read while the view paints: the page is read from the event loop, then repainted.
    wanted_.insert(page);
    if (!readScheduled_) {
      readScheduled_ = true;
      auto* self = const_cast<ChangeItemsModel*>(this);
      QTimer::singleShot(0, self, [self] { self->readWanted(); });
    }
    return {};
  }
  const size_t at = static_cast<size_t>(row % pageSize_);
  if (at >= found->second.size()) return {};
  const shared::HistoryItem& item = found->second[at];
  switch (index.column()) {
    case iProduct:
      return item.treeCode.empty()
                 ? text(item.product)
                 : text(tk::FormatMaskText(Varnoke::DBPict(Varnoke::ptProduto), item.treeCode));
    case iName:
      return text(item.name);
    case iColumn:
      return text(shared::ColumnWords(item.column));
    case iBefore:
      return text(item.before);
    case iAfter:
      return text(item.after);
  }
  return {};
}

QVariant ChangeItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const char* const kTitles[] = {"Produto", "Nome", "Campo", "Antes", "Depois"};
  return section >= 0 && section < kItemColumns ? QString::fromUtf8(kTitles[section]) : QVariant();
}

}  // namespace qtviews
