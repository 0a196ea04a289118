#pragma once
// CalendarPopup: the drop-down calendar of a date edit. It shows one month -- Portuguese month
// name, the edit's own day names over the columns (Sunday first), six weeks of days -- with
// the chosen day marked and today in bold. A click on a day, or Enter, picks the chosen day;
// the arrow keys move it (Page Up / Page Down by month); Esc closes without a pick.

#include <QDate>
#include <QFrame>
#include <QStringList>
#include <functional>
#include <vector>

class QLabel;
class QToolButton;

namespace qtviews {

class CalendarPopup : public QFrame {
 public:
  // `dayNames`: seven names, Sunday first; the columns show their first three letters.
  explicit CalendarPopup(const QStringList& dayNames, QWidget* parent = nullptr);

  // Shows the popup under `anchor` with `date` chosen (`today` when `date` is not valid).
  void popUp(QWidget* anchor, const QDate& date, const QDate& today);
  // Chooses `date` and shows its month.
  void choose(const QDate& date);
  QDate chosen() const { return chosen_; }
  // "Dezembro 2026"
  QString monthTitle() const;
  QStringList columnTitles() const;
  // The button of day `day` of the month shown.
  QToolButton* dayButton(int day) const;

  std::function<void(const QDate&)> onPicked;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void showMonth();
  void pick(const QDate& date);

  QDate chosen_;
  QDate today_;
  QLabel* title_;
  std::vector<QLabel*> columns_;
  std::vector<QToolButton*> days_;  // 42: six weeks from the Sunday before the 1st
  QDate firstShown_;
};

}  // namespace qtviews
