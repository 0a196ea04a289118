#pragma once
// HistoryWindow: "Histórico de alterações", the journal of changes at the desk. Filters on
// top (branch, price table, validity, user, period, kind of change), the changes found below
// them, newest first, and under those the products of the change chosen, with their values
// before and after. From the keyboard: Enter or F5 searches, the arrows move among the filters
// and through the lists, Enter on a change goes to its products, F6 copies the change's
// products as CSV, F7 saves them to a file, F8 undoes the change (after a question that says
// how many products will go back; a message then says how many did and which were left alone),
// Esc goes back from the products to the changes and from there closes the window.
//
// Every call goes through the source (shared::HistorySource), which the window does not own;
// with the family's client each shows the busy animation, as on the screen.

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "shared/history_client.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qtviews {

class ChangesModel;
class ChangeItemsModel;

class HistoryWindow : public QWidget {
 public:
  explicit HistoryWindow(shared::HistorySource& source, QWidget* parent = nullptr);

  // Searches with the filters as filled in; false when a filter is wrong or the call failed
  // (the user was told).
  bool search();
  // The chosen change's products as CSV (history_texts.h), reading the pages not read yet;
  // empty when there is no change or a read failed.
  std::string changeCsv();
  // Writes changeCsv() to `path` (UTF-8 with its byte-order mark, for spreadsheets); false
  // when there was nothing to write or the file could not be written (the user was told).
  bool saveCsv(const QString& path);
  // F8: asks, undoes the chosen change, reports, and searches again.
  void undoChosen();

  ChangesModel* changesModel() const { return changes_; }
  ChangeItemsModel* itemsModel() const { return items_; }
  QTableView* changesView() const { return changesView_; }
  QTableView* itemsView() const { return itemsView_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showChosen();
  void copyCsv();
  void askAndSaveCsv();
  void closeWindow();
  bool filterOf(shared::HistoryFilter& filter);

  shared::HistorySource& source_;
  ChangesModel* changes_;
  ChangeItemsModel* items_;
  QLineEdit* branch_;
  QLineEdit* table_;
  QLineEdit* validity_;
  QLineEdit* user_;
  QLineEdit* since_;
  QLineEdit* until_;
  QComboBox* method_;
  QTableView* changesView_;
  QTableView* itemsView_;
  QLabel* summary_;
  std::vector<QWidget*> filters_;
  std::vector<std::pair<int, QPushButton*>> functionKeys_;
};

// The window's title, and the menu entry that opens it.
inline constexpr const char* kHistoryTitle = "Histórico de alterações";

}  // namespace qtviews
