#pragma once
// The pick-one list: a dialog titled with the search's title that lists the rows of its data
// source under the visible columns' labels and widths, cells as displayed (edit masks
// applied). Typing filters the rows; Enter or a double click picks the chosen row; Esc
// cancels. QtPickOnePort shows it modally for the model.

#include <QDialog>
#include <optional>

#include "toolkit/ports.h"

class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace qtviews {

class PickFilterModel;

class PickOneDialog : public QDialog {
 public:
  PickOneDialog(const tk::PickOneRequest& request, QWidget* parent = nullptr);

  // The index in the request of the chosen row, or nullopt when no row is chosen.
  std::optional<int> chosenRow() const;
  QLineEdit* filterEdit() const { return filter_; }
  QTableView* table() const { return table_; }
  // The rows shown now (after the filter), as "cell|cell" lines.
  QStringList shownRows() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void pickChosen();

  QStandardItemModel* model_;
  PickFilterModel* proxy_;
  QTableView* table_;
  QLineEdit* filter_;
};

class QtPickOnePort : public tk::PickOnePort {
 public:
  std::optional<int> PickOne(const tk::PickOneRequest& request) override;
};

}  // namespace qtviews
