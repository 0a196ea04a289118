#include "qt/pick_one.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "qt/pick_list_model.h"

namespace qtviews {

PickOneDialog::PickOneDialog(const tk::PickOneRequest& request, QWidget* parent)
    : QDialog(parent), model_(new QStandardItemModel(this)), proxy_(new PickFilterModel(this)) {
  setObjectName(QStringLiteral("pickOne"));
  setWindowTitle(QString::fromStdString(request.title));
  setModal(true);
  FillPickModel(*model_, request.columns, request.rows, 0);
  proxy_->setSourceModel(model_);
  table_ = MakePickTable(proxy_, request.columns, 0, this);
  filter_ = MakeFilterEdit(proxy_, table_, this);
  if (proxy_->rowCount() > 0) table_->setCurrentIndex(proxy_->index(0, 0));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("Selecionar"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("ok"));
  QPushButton* cancel =
      buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { pickChosen(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_, &QTableView::doubleClicked, this, [this] { pickChosen(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(filter_);
  layout->addWidget(table_, 1);
  layout->addWidget(buttons);
  resize(table_->minimumWidth() + 24, 320);
  ChainTabOrder(filter_, table_, {ok, cancel});
  filter_->setFocus();
}

std::optional<int> PickOneDialog::chosenRow() const {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return std::nullopt;
  const QModelIndex source = proxy_->mapToSource(proxy_->index(current.row(), 0));
  return model_->data(source, kRequestRowRole).toInt();
}

QStringList PickOneDialog::shownRows() const {
  QStringList out;
  for (int r = 0; r < proxy_->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < proxy_->columnCount(); ++c) cells << proxy_->index(r, c).data().toString();
    out << cells.join(QLatin1Char('|'));
  }
  return out;
}

void PickOneDialog::pickChosen() {
  if (chosenRow()) accept();
}

void PickOneDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    pickChosen();
    return;
  }
  QDialog::keyPressEvent(event);  // Esc rejects
}

std::optional<int> QtPickOnePort::PickOne(const tk::PickOneRequest& request) {
  PickOneDialog dialog(request, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenRow();
}

}  // namespace qtviews
