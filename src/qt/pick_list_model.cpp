#include "qt/pick_list_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace qtviews {

namespace {

// Hands the keys that move through a list from the filter edit to the table.
class FilterKeys : public QObject {
 public:
  FilterKeys(QTableView* table, QObject* parent) : QObject(parent), table_(table) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
          key == Qt::Key_PageDown) {
        QApplication::sendEvent(table_, event);
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableView* table_;
};

}  // namespace

QString FoldForFilter(const QString& text) {
  const QString decomposed = text.normalized(QString::NormalizationForm_D);
  QString out;
  out.reserve(decomposed.size());
  for (const QChar c : decomposed)
    if (c.category() != QChar::Mark_NonSpacing) out += c;
  return out.toCaseFolded();
}

void PickFilterModel::setFilterText(const QString& text) {
  const QString folded = FoldForFilter(text);
  if (folded == folded_) return;
  folded_ = folded;
  invalidateFilter();
}

bool PickFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (folded_.isEmpty()) return true;
  const QAbstractItemModel* source = sourceModel();
  for (int c = 0; c < source->columnCount(sourceParent); ++c) {
    const QString cell = source->index(sourceRow, c, sourceParent).data().toString();
    if (FoldForFilter(cell).contains(folded_)) return true;
  }
  return false;
}

void FillPickModel(QStandardItemModel& model, const std::vector<tk::ListColumn>& columns,
                   const std::vector<std::vector<std::string>>& rows, int firstColumn) {
  const int columnCount = firstColumn + static_cast<int>(columns.size());
  model.setColumnCount(columnCount);
  for (size_t c = 0; c < columns.size(); ++c)
    model.setHeaderData(firstColumn + static_cast<int>(c), Qt::Horizontal,
                        QString::fromStdString(columns[c].label));
  model.setRowCount(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int c = 0; c < columnCount; ++c) {
      auto* item = new QStandardItem;
      item->setEditable(false);
      const int cell = c - firstColumn;
      if (cell >= 0 && static_cast<size_t>(cell) < rows[r].size())
        item->setText(QString::fromStdString(rows[r][static_cast<size_t>(cell)]));
      if (c == 0) item->setData(static_cast<int>(r), kRequestRowRole);
      model.setItem(static_cast<int>(r), c, item);
    }
  }
}

void ChainTabOrder(QLineEdit* filter, QTableView* table, std::initializer_list<QWidget*> buttons) {
  QWidget::setTabOrder(filter, table);
  QWidget* previous = table;
  for (QWidget* button : buttons) {
    QWidget::setTabOrder(previous, button);
    previous = button;
  }
}

QTableView* MakePickTable(QSortFilterProxyModel* proxy, const std::vector<tk::ListColumn>& columns,
                          int firstColumn, QWidget* parent) {
  auto* table = new QTableView(parent);
  table->setObjectName(QStringLiteral("rows"));
  table->setModel(proxy);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setAlternatingRowColors(true);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setStretchLastSection(true);
  // The header keeps one font whatever row is chosen.
  table->horizontalHeader()->setHighlightSections(false);
  table->setWordWrap(false);
  const int charWidth = table->fontMetrics().averageCharWidth();
  int total = 0;
  for (size_t c = 0; c < columns.size(); ++c) {
    const int label =
        table->fontMetrics().horizontalAdvance(QString::fromStdString(columns[c].label));
    const int width = std::max(columns[c].width * charWidth, label) + 16;
    table->setColumnWidth(firstColumn + static_cast<int>(c), width);
    total += width;
  }
  table->setMinimumWidth(std::min(total + 60, 900));
  return table;
}

QLineEdit* MakeFilterEdit(PickFilterModel* proxy, QTableView* table, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QStringLiteral("filter"));
  edit->setPlaceholderText(QStringLiteral("Digite para filtrar"));
  edit->setClearButtonEnabled(true);
  edit->installEventFilter(new FilterKeys(table, edit));
  QObject::connect(edit, &QLineEdit::textChanged, proxy, [proxy, table](const QString& text) {
    proxy->setFilterText(text);
    // Keep a row chosen whenever any is left, so Enter always has something to pick.
    if (!table->currentIndex().isValid() && proxy->rowCount() > 0)
      table->setCurrentIndex(proxy->index(0, 0));
  });
  return edit;
}

}  // namespace qtviews
