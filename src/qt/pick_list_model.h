#pragma once
// What the two pick lists share: the rows of a request in a table model behind a filter, the
// columns sized by their widths in characters, and a filter edit that takes the typing while
// the arrow keys and Page keys move through the table. Each row keeps its index in the
// request, so a pick is reported in the request's order whatever the filter shows.

#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <string>
#include <vector>

#include "toolkit/ports.h"

namespace qtviews {

// The role under which an item of column 0 keeps its row's index in the request.
constexpr int kRequestRowRole = Qt::UserRole + 1;

// Fills `model` with `rows` under `columns`; `firstColumn` columns are left free in front (the
// mark column of the pick-many list).
void FillPickModel(QStandardItemModel& model, const std::vector<tk::ListColumn>& columns,
                   const std::vector<std::vector<std::string>>& rows, int firstColumn);
// A read-only table view over `proxy` with one row selected at a time.
QTableView* MakePickTable(QSortFilterProxyModel* proxy, const std::vector<tk::ListColumn>& columns,
                          int firstColumn, QWidget* parent);
// The filter edit: typing filters every column (any part, case-insensitive); navigation keys go
// to `table`.
QLineEdit* MakeFilterEdit(QSortFilterProxyModel* proxy, QTableView* table, QWidget* parent);

}  // namespace qtviews
