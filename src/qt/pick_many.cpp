#include "qt/pick_many.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/pick_list_model.h"

namespace qtviews {

PickManyDialog::PickManyDialog(const tk::PickManyRequest& request, QWidget* parent)
    : QDialog(parent),
      keys_(request.keys),
      model_(new QStandardItemModel(this)),
      proxy_(new PickFilterModel(this)) {
  setObjectName(QStringLiteral("pickMany"));
  setWindowTitle(QString::fromStdString(request.title));
  setModal(true);
  keys_.resize(request.rows.size());
  FillPickModel(*model_, request.columns, request.rows, 1);
  model_->setHeaderData(0, Qt::Horizontal, QString());
  for (int r = 0; r < model_->rowCount(); ++r) {
    QStandardItem* mark = model_->item(r, 0);
    mark->setCheckable(true);
    const bool marked = std::find(request.marked.begin(), request.marked.end(),
                                  keys_[static_cast<size_t>(r)]) != request.marked.end();
    mark->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
  }
  proxy_->setSourceModel(model_);
  table_ = MakePickTable(proxy_, request.columns, 1, this);
  table_->setColumnWidth(0, 28);
  filter_ = MakeFilterEdit(proxy_, table_, this);
  filter_->installEventFilter(this);
  table_->installEventFilter(this);
  if (proxy_->rowCount() > 0) table_->setCurrentIndex(proxy_->index(0, 1));

  auto* all = new QPushButton(QStringLiteral("Marcar todos"), this);
  all->setObjectName(QStringLiteral("markAll"));
  auto* none = new QPushButton(QStringLiteral("Desmarcar todos"), this);
  none->setObjectName(QStringLiteral("markNone"));
  for (QPushButton* b : {all, none}) {
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
  }
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("count"));
  connect(all, &QPushButton::clicked, this, [this] { markShown(true); });
  connect(none, &QPushButton::clicked, this, [this] { markShown(false); });
  connect(model_, &QStandardItemModel::itemChanged, this, [this] { updateCount(); });

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("Confirmar"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("ok"));
  QPushButton* cancel =
      buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* marks = new QHBoxLayout;
  marks->addWidget(all);
  marks->addWidget(none);
  marks->addStretch(1);
  marks->addWidget(count_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(filter_);
  layout->addWidget(table_, 1);
  layout->addLayout(marks);
  layout->addWidget(buttons);
  resize(table_->minimumWidth() + 60, 360);
  updateCount();
  ChainTabOrder(filter_, table_, {ok, cancel});
  filter_->setFocus();
}

std::vector<std::string> PickManyDialog::markedKeys() const {
  std::vector<std::string> out;
  for (int r = 0; r < model_->rowCount(); ++r)
    if (model_->item(r, 0)->checkState() == Qt::Checked)
      out.push_back(keys_[static_cast<size_t>(r)]);
  return out;
}

void PickManyDialog::markShown(bool marked) {
  for (int r = 0; r < proxy_->rowCount(); ++r) {
    const QModelIndex source = proxy_->mapToSource(proxy_->index(r, 0));
    model_->itemFromIndex(source)->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
  }
}

void PickManyDialog::toggleChosen() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  QStandardItem* mark = model_->itemFromIndex(proxy_->mapToSource(proxy_->index(current.row(), 0)));
  mark->setCheckState(mark->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void PickManyDialog::updateCount() {
  const auto marked = static_cast<int>(markedKeys().size());
  count_->setText(QStringLiteral("%1 de %2 marcado(s)").arg(marked).arg(model_->rowCount()));
}

void PickManyDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    toggleChosen();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool PickManyDialog::eventFilter(QObject* watched, QEvent* event) {
  if ((watched != filter_ && watched != table_) || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  // In the list Space marks the row, whichever cell is current; in the filter only while it is
  // empty (a filter text may need a space of its own).
  if (key == Qt::Key_Space && (watched == table_ || filter_->text().isEmpty())) {
    toggleChosen();
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

std::optional<std::vector<std::string>> QtPickManyPort::PickMany(
    const tk::PickManyRequest& request) {
  PickManyDialog dialog(request, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.markedKeys();
}

}  // namespace qtviews
