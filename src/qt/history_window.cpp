#include "qt/history_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>

#include "qt/history_models.h"
#include "rtl/dates.h"
#include "shared/consiste.h"
#include "shared/history_texts.h"
#include "toolkit/ports.h"
#include "toolkit/user_input.h"

namespace qtviews {

namespace {

// The rows of a change's products kept per page: one call each.
constexpr int kItemsPage = shared::HistoryClient::kItemsPage;

QLineEdit* codeEdit(const char* name, const char* pattern, int length, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setMaxLength(length);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QString::fromUtf8(pattern)), edit));
  return edit;
}

QLineEdit* dateEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setInputMask(QStringLiteral("99/99/9999;_"));
  return edit;
}

// The day of a date edit: nullopt when it is blank, an invalid QDate when it is not a day.
std::optional<QDate> dayOf(const QLineEdit* edit) {
  QString digits = edit->text();
  digits.remove(QLatin1Char('/'));
  if (digits.trimmed().isEmpty()) return std::nullopt;
  return QDate::fromString(edit->text(), QStringLiteral("dd/MM/yyyy"));
}

// The start of a local day, in UTC as the journal keeps its times.
std::string utcStartOf(const QDate& day) {
  return QDateTime(day, QTime(0, 0))
      .toTimeZone(QTimeZone::utc())
      .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
      .toStdString();
}

QPushButton* button(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(QString::fromUtf8(name));
  b->setAutoDefault(false);
  return b;
}

QTableView* table(const char* name, QAbstractItemModel* model, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(QString::fromUtf8(name));
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setTabKeyNavigation(false);
  view->setWordWrap(false);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setHighlightSections(false);
  return view;
}

void fail(const std::string& message) {
  tk::RunUserEvent([&] { Consiste::MensErro(message, true); });
}

}  // namespace

HistoryWindow::HistoryWindow(shared::HistorySource& source, QWidget* parent)
    : QWidget(parent),
      source_(source),
      changes_(new ChangesModel(source, this)),
      items_(new ChangeItemsModel(source, kItemsPage, this)) {
  setObjectName(QStringLiteral("historyWindow"));
  setWindowTitle(QString::fromUtf8(kHistoryTitle));

  branch_ = codeEdit("branch", "[A-Za-z0-9]{0,4}", 4, this);
  table_ = codeEdit("table", "[0-9]{0,3}", 3, this);
  validity_ = dateEdit("validity", this);
  user_ = codeEdit("user", "[A-Za-z0-9._@-]{0,64}", 64, this);
  since_ = dateEdit("since", this);
  until_ = dateEdit("until", this);
  method_ = new QComboBox(this);
  method_->setObjectName(QStringLiteral("method"));
  const std::pair<const char*, const char*> kinds[] = {{"Todos", ""},
                                                       {"Promoção", "SetUpdItemPrecoAlt"},
                                                       {"Adicionar prefixo", "SetAddPrefixo"},
                                                       {"Retirar prefixo", "SetDelPrefixo"},
                                                       {"Desfazer", "restore"}};
  for (const auto& [label, method] : kinds)
    method_->addItem(QString::fromUtf8(label), QString::fromUtf8(method));
  QPushButton* searchButton = button("search", "&Pesquisar (F5)", this);

  auto* filters = new QGridLayout;
  const std::pair<const char*, QWidget*> fields[] = {
      {"&Filial", branch_}, {"&Tabela", table_}, {"&Vigência", validity_}, {"&Usuário", user_},
      {"&De", since_},      {"&Até", until_},    {"Ti&po", method_}};
  int column = 0;
  for (const auto& [caption, field] : fields) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setBuddy(field);
    filters->addWidget(label, 0, column);
    filters->addWidget(field, 1, column++);
    filters_.push_back(field);
    field->installEventFilter(this);
  }
  filters->addWidget(searchButton, 1, column);

  changesView_ = table("changes", changes_, this);
  changesView_->setAccessibleName(QStringLiteral("Alterações"));
  changesView_->horizontalHeader()->setStretchLastSection(true);
  changesView_->installEventFilter(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("summary"));
  itemsView_ = table("items", items_, this);
  itemsView_->setAccessibleName(QStringLiteral("Produtos da alteração"));
  itemsView_->horizontalHeader()->setStretchLastSection(true);
  itemsView_->installEventFilter(this);

  QPushButton* copy = button("copy", "&Copiar CSV (F6)", this);
  QPushButton* save = button("save", "&Salvar CSV (F7)", this);
  QPushButton* undo = button("undo", "&Desfazer (F8)", this);
  QPushButton* close = button("close", "Fechar (Esc)", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy);
  buttons->addWidget(save);
  buttons->addWidget(undo);
  buttons->addStretch(1);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(changesView_, 3);
  layout->addWidget(summary_);
  layout->addWidget(itemsView_, 4);
  layout->addLayout(buttons);

  connect(searchButton, &QPushButton::clicked, this, [this] { search(); });
  connect(copy, &QPushButton::clicked, this, [this] { copyCsv(); });
  connect(save, &QPushButton::clicked, this, [this] { askAndSaveCsv(); });
  connect(undo, &QPushButton::clicked, this, [this] { undoChosen(); });
  connect(close, &QPushButton::clicked, this, [this] { closeWindow(); });
  // The function keys work from every control of the window.
  functionKeys_ = {
      {Qt::Key_F5, searchButton}, {Qt::Key_F6, copy}, {Qt::Key_F7, save}, {Qt::Key_F8, undo}};
  for (QPushButton* b : {searchButton, copy, save, undo, close}) b->installEventFilter(this);
  connect(changesView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { showChosen(); });
  connect(changes_, &QAbstractItemModel::modelReset, this, [this] { showChosen(); });

  setTabOrder(method_, searchButton);
  setTabOrder(searchButton, changesView_);
  setTabOrder(changesView_, itemsView_);
  setTabOrder(itemsView_, copy);
  resize(1040, 640);
}

bool HistoryWindow::filterOf(shared::HistoryFilter& filter) {
  filter.branch = branch_->text().toUpper().toStdString();
  filter.table = table_->text().toStdString();
  filter.user = user_->text().toStdString();
  filter.method = method_->currentData().toString().toStdString();
  const std::optional<QDate> validity = dayOf(validity_);
  const std::optional<QDate> since = dayOf(since_);
  const std::optional<QDate> until = dayOf(until_);
  for (const auto& [day, edit, what] :
       {std::tuple(validity, validity_, "da vigência"), std::tuple(since, since_, "inicial"),
        std::tuple(until, until_, "final")}) {
    if (day && !day->isValid()) {
      edit->setFocus();
      fail(std::string("Data ") + what + " inválida.");
      return false;
    }
  }
  if (validity)
    filter.validityStart = rtl::EncodeDate(validity->year(), validity->month(), validity->day());
  if (since) filter.since = utcStartOf(*since);
  // The whole last day: up to the start of the next.
  if (until) filter.until = utcStartOf(until->addDays(1));
  return true;
}

bool HistoryWindow::search() {
  shared::HistoryFilter filter;
  if (!filterOf(filter)) return false;
  if (!changes_->search(filter)) return false;
  if (changes_->rowCount() > 0) {
    changesView_->setCurrentIndex(changes_->index(0, 0));
    changesView_->resizeColumnsToContents();
    changesView_->setFocus();
  } else {
    summary_->setText(QStringLiteral("Nenhuma alteração encontrada."));
  }
  return true;
}

void HistoryWindow::showChosen() {
  const shared::HistoryChange* change = changes_->change(changesView_->currentIndex().row());
  if (change == nullptr) {
    items_->showChange(0, 0);
    summary_->clear();
    return;
  }
  items_->showChange(change->id, change->itemCount());
  itemsView_->setColumnWidth(
      0, itemsView_->fontMetrics().horizontalAdvance(QStringLiteral("PRD00000000_")));
  itemsView_->setColumnWidth(
      1, itemsView_->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('n'))));
  QString text = QStringLiteral("Alteração %1: %2.")
                     .arg(change->id)
                     .arg(QString::fromStdString(shared::ChangeCounts(*change)));
  if (!change->discarded.empty())
    text += QStringLiteral(" Os produtos foram descartados do histórico em %1.")
                .arg(ChangesModel::localTime(change->discarded));
  else if (change->column.empty())
    text += QStringLiteral(" Os valores anteriores não foram registrados.");
  summary_->setText(text);
}

std::string HistoryWindow::changeCsv() {
  if (items_->change() == 0 || items_->rowCount() == 0) return {};
  std::string csv = shared::CsvHeader();
  for (int index = 0; int64_t{index} * items_->pageSize() < items_->rowCount(); ++index) {
    const std::vector<shared::HistoryItem>* page = items_->page(index);
    if (page == nullptr) return {};
    for (const shared::HistoryItem& item : *page) csv += shared::CsvLine(item);
    if (page->size() < static_cast<size_t>(items_->pageSize())) break;
  }
  return csv;
}

void HistoryWindow::copyCsv() {
  const std::string csv = changeCsv();
  if (!csv.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(csv));
}

bool HistoryWindow::saveCsv(const QString& path) {
  const std::string csv = changeCsv();
  if (csv.empty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("\xEF\xBB\xBF") != 3 ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
    fail("Não foi possível gravar o arquivo " + path.toStdString() + ": " +
         file.errorString().toStdString());
    return false;
  }
  return true;
}

void HistoryWindow::askAndSaveCsv() {
  if (items_->change() == 0) return;
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Salvar a alteração em CSV"),
      QStringLiteral("alteracao-%1.csv").arg(items_->change()), QStringLiteral("CSV (*.csv)"));
  if (!path.isEmpty()) saveCsv(path);
}

void HistoryWindow::undoChosen() {
  const shared::HistoryChange* chosen = changes_->change(changesView_->currentIndex().row());
  if (chosen == nullptr) return;
  const shared::HistoryChange change = *chosen;
  bool undone = false;
  tk::RunUserEvent([&] {
    const std::vector<shared::UndoPreviewPart> preview = source_.Preview(change.id);
    if (tk::MessageDlg(shared::UndoQuestion(change, preview), tk::mtConfirmation,
                       {tk::mbYes, tk::mbNo}, 0) != tk::mrYes)
      return;
    const shared::UndoResult result = source_.Undo(change.id);
    undone = true;
    tk::ShowMessage(shared::UndoReport(change, result));
  });
  // The undo is a change of its own, the newest.
  if (undone) search();
}

void HistoryWindow::closeWindow() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->close();
  } else {
    close();
  }
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  for (const auto& [functionKey, target] : functionKeys_) {
    if (key != functionKey) continue;
    target->click();
    return true;
  }
  if (watched == itemsView_ && key == Qt::Key_Escape) {
    changesView_->setFocus();
    return true;
  }
  if (key == Qt::Key_Escape) {
    closeWindow();
    return true;
  }
  if (watched == changesView_ && enter) {
    if (items_->rowCount() > 0) {
      itemsView_->setFocus();
      if (!itemsView_->currentIndex().isValid()) itemsView_->setCurrentIndex(items_->index(0, 0));
    }
    return true;
  }
  const auto filter = std::find(filters_.begin(), filters_.end(), watched);
  if (filter == filters_.end()) return QWidget::eventFilter(watched, event);
  if (enter) {
    search();
    return true;
  }
  // Up and Down move among the filters, as the screen's arrows do among its fields; the combo
  // box keeps them for its items.
  if ((key == Qt::Key_Up || key == Qt::Key_Down) && watched != method_) {
    const auto at = filter - filters_.begin();
    const auto count = static_cast<long>(filters_.size());
    filters_[static_cast<size_t>((at + (key == Qt::Key_Down ? 1 : count - 1)) % count)]->setFocus();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace qtviews
