// The window "Histórico de alterações" in the desktop host on the offscreen platform, against a
// scripted server: the menu entry opens it, Enter searches with the filters, the products of a
// change of 100,000 rows are read a page at a time as the view reaches them, F8 asks before
// undoing and reports what was done, F6 copies the change as CSV, Esc goes back and closes, and
// a refusal of the server reaches the user in a box.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>
#include <cstdio>

#include "host/desktop/desktop_host.h"
#include "host/desktop/main_window.h"
#include "qt/busy_port.h"
#include "qt/history_models.h"
#include "qt/history_window.h"
#include "qt/modal_driver.h"
#include "support/fake_server.h"
#include "toolkit/application.h"

namespace qttest {
namespace {

namespace rdm = contract::historico;
using testsupport::FakeReply;
using testsupport::RecordedCall;

constexpr int kProducts = 100000;

std::string product(int64_t row) {
  char code[32];
  std::snprintf(code, sizeof code, "P%09lld", static_cast<long long>(row));
  return code;
}

std::string tree(int64_t row) {
  char code[32];
  std::snprintf(code, sizeof code, "%02lld%02lld%04lld", static_cast<long long>(1 + row / 100000),
                static_cast<long long>(1 + row / 10000 % 10), static_cast<long long>(row % 10000));
  return code;
}

// Change 12 put 100,000 products into the promotion; change 11 gave three names a prefix.
void serveHistory(testsupport::FakeServer& server) {
  server.on(rdm::GetAlteracoes, [](const RecordedCall&) {
    return FakeReply::ok(testsupport::answerRows(
        rdm::GetAlteracoes,
        {{"12", "2026-12-09 16:19:12.635", "ana", "caixa1", "127.0.0.1", "SetUpdItemPrecoAlt",
          "0001", "001", "2026-11-09", "Colocar na promoção: todos os produtos", "100000", "2",
          std::nullopt, std::nullopt, "IDPROMOCAO", std::nullopt, std::nullopt, "S"},
         {"11", "2026-12-09 15:00:00.000", "rui", "", "10.0.0.7", "SetAddPrefixo", std::nullopt,
          std::nullopt, std::nullopt, "Adicionar o prefixo \"PROMO \": lista de 2 produtos", "2",
          "0", std::nullopt, std::nullopt, "NMPRODUTO", std::nullopt, std::nullopt, "N"}}));
  });
  server.on(rdm::GetItensAlteracao, [](const RecordedCall& call) {
    const int64_t offset = call.arg("offset").integer, count = call.arg("count").integer;
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (call.arg("change").integer == 11) {
      rows = {
          {"P000000001", "010100001", "PROMO Arroz; tipo 1", "NMPRODUTO", "Arroz; tipo 1",
           "PROMO Arroz; tipo 1"},
          {"P000000002", "", "", "NMPRODUTO", "Feijão \"carioca\"", "PROMO Feijão \"carioca\""}};
    } else {
      static const char* const kNames[] = {"Arroz agulhinha tipo 1 5 kg", "Feijão carioca 1 kg",
                                           "Açúcar cristal 2 kg", "Café torrado e moído 500 g",
                                           "Óleo de soja 900 ml"};
      for (int64_t row = offset; row < std::min<int64_t>(kProducts, offset + count); ++row)
        rows.push_back({product(row), row == 0 ? std::nullopt : std::optional(tree(row)),
                        kNames[row % 5], "IDPROMOCAO", "N", "S"});
    }
    return FakeReply::ok(testsupport::answerRows(rdm::GetItensAlteracao, rows));
  });
  server.on(rdm::GetPreviaRestauracao, [](const RecordedCall&) {
    return FakeReply::ok(
        testsupport::answerRows(rdm::GetPreviaRestauracao, {{"IDPROMOCAO", "99998", "2"}}));
  });
  server.on(rdm::SetRestauraAlteracao, [](const RecordedCall&) {
    return FakeReply::ok(testsupport::answerRows(
        rdm::SetRestauraAlteracao, {{"IDPROMOCAO", "13", "99998", "2", "", "", ""},
                                    {"IDPROMOCAO", "13", "99998", "2", "P000000003", "N", "S"},
                                    {"IDPROMOCAO", "13", "99998", "2", "P000000004", "", "N"}}));
  });
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  HistoryWindowTest() {
    serveHistory(server);
    session.serverPort = server.port();
    options.modulePath = PKG_VND42406_PATH;
    host = std::make_unique<host::DesktopHost>(options, session);
    host->start();
    QApplication::setActiveWindow(&host->mainWindow());
  }
  ~HistoryWindowTest() override {
    StopModalWatchers();
    host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  qtviews::HistoryWindow* open() {
    host->mainWindow().historyAction()->trigger();
    QMdiSubWindow* sub = host->mainWindow().mdiArea()->activeSubWindow();
    return sub != nullptr ? dynamic_cast<qtviews::HistoryWindow*>(sub->widget()) : nullptr;
  }
  template <typename T>
  T* child(QWidget* window, const char* name) {
    return dynamic_cast<T*>(window->findChild<QWidget*>(QString::fromUtf8(name)));
  }
  // The calls of the history's methods, one per line, the searches' filters left out.
  std::string reads() {
    std::string out;
    for (const RecordedCall& call : server.calls())
      if (call.method == "GetItensAlteracao") out += call.describe() + "\n";
    return out;
  }
  // Lets the event loop run until the items read what their view shows.
  void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  testsupport::FakeServer server;
  Varnoke::Session session;
  host::HostOptions options;
  std::unique_ptr<host::DesktopHost> host;
};

TEST_F(HistoryWindowTest, TheFiltersFindAChangeWhoseProductsAreReadAsTheViewReachesThem) {
  qtviews::HistoryWindow* window = open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Histórico de alterações"));
  auto* branch = child<QLineEdit>(window, "branch");
  ASSERT_TRUE(QTest::qWaitFor([branch] { return branch->hasFocus(); }));

  // Typing a branch and a period, then Enter: one search, with the filters as the server takes
  // them (the last day whole).
  QTest::keyClicks(branch, "0001");
  QTest::keyClick(branch, Qt::Key_Down);
  EXPECT_TRUE(child<QLineEdit>(window, "table")->hasFocus());
  child<QLineEdit>(window, "since")->setText(QStringLiteral("01/12/2026"));
  child<QLineEdit>(window, "until")->setText(QStringLiteral("09/12/2026"));
  QTest::keyClick(child<QLineEdit>(window, "table"), Qt::Key_Return);
  std::string searches;
  for (const RecordedCall& call : server.calls())
    if (call.method == "GetAlteracoes") searches += call.describe() + "\n";
  EXPECT_EQ(searches.substr(0, searches.find("str \"20")),
            "GetAlteracoes(str \"0001\", str \"\", date 1899-12-30, str \"\", ");
  EXPECT_NE(searches.find("int 0, int 100)"), std::string::npos) << searches;
  EXPECT_EQ(host->busyPort().showing(), 0);

  // The newest change is chosen, its counts said, and its first page read: one read of 500.
  QTableView* changes = window->changesView();
  ASSERT_EQ(window->changesModel()->rowCount(), 2);
  EXPECT_TRUE(changes->hasFocus());
  const QAbstractItemModel* m = window->changesModel();
  QStringList first;
  for (int c = 0; c < m->columnCount(); ++c) first << m->index(0, c).data().toString();
  EXPECT_EQ(first.mid(2).join(QLatin1Char('|')),
            QStringLiteral("ana|caixa1 (127.0.0.1)|0001|001|09/11/2026|Colocar na promoção: "
                           "todos os produtos|100.000|2"));
  EXPECT_EQ(child<QLabel>(window, "summary")->text(),
            QStringLiteral("Alteração 12: 100.000 alterados, 2 já estavam assim."));
  QTableView* items = window->itemsView();
  EXPECT_EQ(window->itemsModel()->rowCount(), kProducts);
  settle();
  EXPECT_EQ(reads(), "GetItensAlteracao(int 12, int 0, int 500)\n");
  // A product is shown by its tree code through the session's mask, by its code once gone.
  EXPECT_EQ(items->model()->index(0, 0).data().toString(), QStringLiteral("P000000000"));
  EXPECT_EQ(items->model()->index(1, 0).data().toString(), QStringLiteral("01.01.0001"));

  // Enter goes to the products; Ctrl+End jumps to the last one, reading its page alone.
  QTest::keyClick(changes, Qt::Key_Return);
  EXPECT_TRUE(items->hasFocus());
  QTest::keyClick(items, Qt::Key_End, Qt::ControlModifier);
  settle();
  EXPECT_EQ(items->currentIndex().row(), kProducts - 1);
  EXPECT_EQ(items->model()->index(kProducts - 1, 0).data().toString(),
            QStringLiteral("01.10.9999"));
  EXPECT_EQ(reads(),
            "GetItensAlteracao(int 12, int 0, int 500)\n"
            "GetItensAlteracao(int 12, int 99500, int 500)\n");
  EXPECT_EQ(window->itemsModel()->pagesKept(), 2u);

  // The other change: names, with what CSV must quote, copied by F6.
  QTest::keyClick(items, Qt::Key_Escape);
  EXPECT_TRUE(changes->hasFocus());
  QTest::keyClick(changes, Qt::Key_Down);
  EXPECT_EQ(child<QLabel>(window, "summary")->text(),
            QStringLiteral("Alteração 11: 2 alterados, 0 já estavam assim."));
  QTest::keyClick(changes, Qt::Key_F6);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
            "Produto;Código;Nome;Campo;Antes;Depois\r\n"
            "P000000001;010100001;\"PROMO Arroz; tipo 1\";Nome;\"Arroz; tipo 1\";\"PROMO Arroz; "
            "tipo 1\"\r\n"
            "P000000002;;;Nome;\"Feijão \"\"carioca\"\"\";\"PROMO Feijão \"\"carioca\"\"\"\r\n");

  // Esc closes the window.
  QTest::keyClick(changes, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(host->mainWindow().mdiArea()->subWindowList().isEmpty());
}

TEST_F(HistoryWindowTest, F8AsksHowManyGoBackUndoesAndSaysWhatWasLeftAlone) {
  qtviews::HistoryWindow* window = open();
  ASSERT_NE(window, nullptr);
  // A refused search shows the server's words and lists nothing.
  server.queue("GetAlteracoes",
               FakeReply::refuse("O usuário ana não tem permissão para consultar o histórico de "
                                 "alterações."));
  QString refusal;
  WhenModalShows([&](QWidget* box) {
    refusal = DescribeMessageBox(box);
    PressButton(box, "ok");
  });
  QTest::keyClick(child<QLineEdit>(window, "branch"), Qt::Key_F5);
  EXPECT_TRUE(AllModalActionsRan());
  EXPECT_EQ(refusal.toStdString(),
            "[Retaguarda de Vendas] O usuário ana não tem permissão para consultar o histórico de "
            "alterações. (error) OK");
  EXPECT_EQ(window->changesModel()->rowCount(), 0);

  ASSERT_TRUE(window->search());
  QString question, report;
  WhenModalShows([&](QWidget* box) {
    question = DescribeMessageBox(box);
    WhenModalShows([&](QWidget* next) {
      report = DescribeMessageBox(next);
      PressButton(next, "ok");
    });
    PressButton(box, "yes");
  });
  server.clearCalls();
  QTest::keyClick(window->changesView(), Qt::Key_F8);
  ASSERT_TRUE(QTest::qWaitFor([] { return AllModalActionsRan(); }));
  EXPECT_EQ(question.toStdString(),
            std::string("[Retaguarda de Vendas] Desfazer a alteração 12 (Colocar na promoção: "
                        "todos os produtos)?\n\n99.998 produtos voltarão ao valor anterior.\n2 "
                        "produtos alterados depois ficarão como estão. (question) Sim/Não"));
  EXPECT_EQ(report.toStdString(),
            std::string("[Retaguarda de Vendas] Alteração 12 desfeita (registrada como alteração "
                        "13): 99.998 produtos voltaram ao valor anterior.\n\n2 produtos ficaram "
                        "como estão, porque foram alterados depois:\nP000000003 (agora \"N\")\n"
                        "P000000004 (não existe mais) (information) OK"));
  // Asked, undone, then searched again for the list to show the undo.
  std::string undoing;
  for (const RecordedCall& call : server.calls())
    if (call.method != "GetItensAlteracao") undoing += call.describe().substr(0, 40) + "\n";
  EXPECT_EQ(undoing,
            "GetPreviaRestauracao(int 12, bool false)\nSetRestauraAlteracao(int 12, bool false)\n"
            "GetAlteracoes(str \"\", str \"\", date 1899-\n");
  EXPECT_EQ(host->busyPort().showing(), 0);

#ifdef HISTORY_SCREENSHOT_PATH
  settle();
  host->mainWindow().resize(1100, 720);
  host->mainWindow().mdiArea()->activeSubWindow()->setGeometry(0, 0, 1080, 660);
  window->changesView()->resizeColumnsToContents();
  settle();
  EXPECT_TRUE(host->mainWindow().grab().save(QStringLiteral(HISTORY_SCREENSHOT_PATH)));
#endif
}

}  // namespace
}  // namespace qttest
