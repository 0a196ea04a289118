#pragma once
// What the two pick lists share: the rows of a request in a table model behind a filter, the
// columns sized by their widths in characters, and a filter edit that takes the typing while
// the arrow keys and Page keys move through the table. The filter reads as a Portuguese speaker
// types: any part of any cell, ignoring case and accents ("perola" finds "Pérola"). Each row
// keeps its index in the request, so a pick is reported in the request's order whatever the
// filter shows.

#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <initializer_list>
#include <string>
#include <vector>

#include "toolkit/ports.h"

namespace qtviews {

// The role under which an item of column 0 keeps its row's index in the request.
constexpr int kRequestRowRole = Qt::UserRole + 1;

// `text` without accents, in one case: the form texts are compared in.
QString FoldForFilter(const QString& text);

// The rows whose cells hold the filter text somewhere, both folded.
class PickFilterModel : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void setFilterText(const QString& text);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QString folded_;
};

// Fills `model` with `rows` under `columns`; `firstColumn` columns are left free in front (the
// mark column of the pick-many list).
void FillPickModel(QStandardItemModel& model, const std::vector<tk::ListColumn>& columns,
                   const std::vector<std::vector<std::string>>& rows, int firstColumn);
// Tab goes from `filter` to `table`, then through `buttons` in order. Call once the dialog
// holds all of them.
void ChainTabOrder(QLineEdit* filter, QTableView* table, std::initializer_list<QWidget*> buttons);
// A read-only table view over `proxy` with one row selected at a time.
QTableView* MakePickTable(QSortFilterProxyModel* proxy, const std::vector<tk::ListColumn>& columns,
                          int firstColumn, QWidget* parent);
// The filter edit: typing filters the rows; navigation keys go to `table`.
QLineEdit* MakeFilterEdit(PickFilterModel* proxy, QTableView* table, QWidget* parent);

}  // namespace qtviews
