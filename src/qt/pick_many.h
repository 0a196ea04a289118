#pragma once
// The pick-many list: a dialog that lists the rows of its data source with a check mark each,
// the rows whose keys are marked when it opens already checked. Typing filters the rows; Tab
// goes from the filter to the list, then to the buttons. Space toggles the chosen row's mark
// wherever in the row the current cell is (in the filter while it is empty), and so does a
// click on the mark; "Marcar todos" and "Desmarcar todos" mark or unmark the rows shown; the
// count of marked rows stays in view. Enter or "Confirmar" hands the marked keys back in row
// order; Esc or "Cancelar" cancels. QtPickManyPort shows it modally.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/ports.h"

class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace qtviews {

class PickFilterModel;

class PickManyDialog : public QDialog {
 public:
  PickManyDialog(const tk::PickManyRequest& request, QWidget* parent = nullptr);

  // The keys of the marked rows, in row order.
  std::vector<std::string> markedKeys() const;
  void markShown(bool marked);
  // Toggles the mark of the chosen row.
  void toggleChosen();
  QLineEdit* filterEdit() const { return filter_; }
  QTableView* table() const { return table_; }
  QLabel* countLabel() const { return count_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void updateCount();

  std::vector<std::string> keys_;
  QStandardItemModel* model_;
  PickFilterModel* proxy_;
  QTableView* table_;
  QLineEdit* filter_;
  QLabel* count_;
};

class QtPickManyPort : public tk::PickManyPort {
 public:
  std::optional<std::vector<std::string>> PickMany(const tk::PickManyRequest& request) override;
};

}  // namespace qtviews
