// The Qt ports as the screen uses them: the boxes, the pick-one and pick-many lists, the busy
// animation and the screen cursor. Dialogs are answered from inside their own event loop
// (modal_driver.h), so nothing blocks.

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <functional>
#include <optional>

#include "qt/busy_port.h"
#include "qt/dialog_port.h"
#include "qt/modal_driver.h"
#include "qt/pick_many.h"
#include "qt/pick_one.h"
#include "qt/qt_screen_test.h"
#include "qt/screen_cursor.h"

namespace qttest {
namespace {

// Records what the busy port looks like right after each Show, while the call runs, and plays
// what a user does meanwhile (duringCall), which waits in the queue until the call ends.
class RecordingBusyPort : public qtviews::QtBusyPort {
 public:
  using QtBusyPort::QtBusyPort;
  void Show(tk::TForm* mainForm, int kind) override {
    QtBusyPort::Show(mainForm, kind);
    if (duringCall) duringCall();
    const QCursor* cursor = QApplication::overrideCursor();
    seen += QStringLiteral("%1 overlay=%2 wait=%3\n")
                .arg(showing())
                .arg(overlay() != nullptr && overlay()->isVisible() ? overlay()->text()
                                                                    : QStringLiteral("none"))
                .arg(cursor != nullptr && cursor->shape() == Qt::WaitCursor ? "yes" : "no");
  }
  QString seen;
  std::function<void()> duringCall;
};

class PortsTest : public QtScreenTest {
 protected:
  void useQtPorts() { app.SetPorts(tk::Ports{&dialogs, &busy, &pickOne, &pickMany, nullptr}); }
  ~PortsTest() override {
    EXPECT_TRUE(AllModalActionsRan());
    app.SetPorts(tk::Ports{});
  }

  qtviews::QtDialogPort dialogs;
  RecordingBusyPort busy{[this](tk::TForm*) -> QWidget* { return view.get(); }};
  qtviews::QtPickOnePort pickOne;
  qtviews::QtPickManyPort pickMany;
};

std::string headers(const QTableView* table) {
  std::string out;
  for (int c = 0; c < table->model()->columnCount(); ++c)
    out += (c ? "|" : "") + table->model()->headerData(c, Qt::Horizontal).toString().toStdString();
  return out;
}

TEST_F(PortsTest, ThePickOneListShowsTheRowsMaskedFiltersAndReturnsThePick) {
  openViewWithHeader();
  useQtPorts();
  QTest::mouseClick(widget("rbtIntervalo"), Qt::LeftButton);
  calls();
  QString seen;
  WhenModalShows([&seen](QWidget* dialog) {
    auto* list = dynamic_cast<qtviews::PickOneDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    seen = list->windowTitle() + " [" + QString::fromStdString(headers(list->table())) + "] " +
           list->shownRows().join(QStringLiteral(" / "));
    QTest::keyClicks(list->filterEdit(), "feijao");  // as a Portuguese speaker types
    seen += " || " + list->shownRows().join(QStringLiteral(" / "));
    QTest::keyClick(list->filterEdit(), Qt::Key_Return);
  });
  QTest::mouseClick(widget("btnProdutoIni"), Qt::LeftButton);
  EXPECT_EQ(seen.toStdString(),
            "Produto [Código|Nome] 12.34.5678|Arroz Tipo 1 / 12.34.5679|Feijão Carioca / "
            "98.76.5432|Óleo de Soja || 12.34.5679|Feijão Carioca");
  EXPECT_EQ(calls(), "GetAutItemPreco(str \"0001\", str \"001\", date 2026-12-01)\n");
  EXPECT_EQ(widget<QLineEdit>("medProdIni")->text(), QStringLiteral("12.34.5679"));
  EXPECT_EQ(widget<QLineEdit>("edtNomeIni")->text(), QStringLiteral("Feijão Carioca"));
  EXPECT_EQ(busy.seen, QStringLiteral("1 overlay=Aguardando o servidor... wait=yes\n"));
  EXPECT_EQ(busy.showing(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PortsTest, EscapeCancelsThePickOneListAndNothingIsCopied) {
  openView();
  useQtPorts();
  WhenModalShows([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
  QTest::mouseClick(widget("btnFilial"), Qt::LeftButton);
  EXPECT_EQ(widget<QLineEdit>("medCdFilial")->text(), QStringLiteral("0001"));
  EXPECT_EQ(widget<QLineEdit>("edtNmFilial")->text(), QStringLiteral("Matriz"));
  // The arrow keys move through the rows while the filter keeps the focus.
  WhenModalShows([](QWidget* dialog) {
    auto* list = dynamic_cast<qtviews::PickOneDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->filterEdit(), Qt::Key_Down);
    QTest::keyClick(list->filterEdit(), Qt::Key_Down);
    QTest::keyClick(list->filterEdit(), Qt::Key_Return);
  });
  QTest::mouseClick(widget("btnFilial"), Qt::LeftButton);
  EXPECT_EQ(widget<QLineEdit>("medCdFilial")->text(), QStringLiteral("A1B2"));
  EXPECT_EQ(widget<QLineEdit>("edtNmFilial")->text(), QStringLiteral("Loja Shopping"));
}

TEST_F(PortsTest, AnErrorBoxShowsWhenTheServerRefusesTheConfirmedChange) {
  openViewWithHeader();
  useQtPorts();
  app.SetTitle("Retaguarda de Vendas");
  server.queue("SetUpdItemPrecoAlt",
               testsupport::FakeReply::refuse("Tabela bloqueada para alteração"));
  QStringList boxes;
  WhenModalShows([&boxes](QWidget* box) {
    boxes << DescribeMessageBox(box);
    PressButton(box, "yes");
    WhenModalShows([&boxes](QWidget* error) {
      boxes << DescribeMessageBox(error);
      PressButton(error, "ok");
    });
  });
  QTest::mouseClick(widget("sbtConfirma"), Qt::LeftButton);
  EXPECT_EQ(
      boxes.join(QLatin1Char('\n')).toStdString(),
      "[Retaguarda de Vendas] Confirma alteração dos produtos selecionados? (question) Sim/Não\n"
      "[Retaguarda de Vendas] Tabela bloqueada para alteração (error) OK");
  ASSERT_NE(form(), nullptr);  // the screen stays open after the failure
  EXPECT_EQ(busy.showing(), 0);
}

TEST_F(PortsTest, AnsweringNoToTheConfirmationChangesNothing) {
  openViewWithHeader();
  useQtPorts();
  calls();
  QString box;
  WhenModalShows([&box](QWidget* dialog) {
    box = DescribeMessageBox(dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);  // Esc answers No
  });
  QTest::mouseClick(widget("sbtConfirma"), Qt::LeftButton);
  EXPECT_TRUE(box.contains(QStringLiteral("Confirma alteração")));
  EXPECT_EQ(calls().find("SetUpdItemPrecoAlt"), std::string::npos);
  EXPECT_NE(form(), nullptr);
}

TEST_F(PortsTest, ThePickManyListIsUsedFromTheKeyboardAlone) {
  openViewWithHeader();
  useQtPorts();
  QTest::keyClick(widget("rbtTodos"), Qt::Key_Down);  // "Lista"
  std::string seen;
  WhenModalShows([&seen](QWidget* dialog) {
    auto* list = dynamic_cast<qtviews::PickManyDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    QTableView* table = list->table();
    EXPECT_FALSE(table->horizontalHeader()->highlightSections());
    // Tab goes from the filter to the list; Space marks the current row from any of its cells.
    QTest::keyClick(list->filterEdit(), Qt::Key_Tab);
    EXPECT_EQ(list->focusWidget(), table) << list->focusWidget()->objectName().toStdString() << " "
                                          << list->focusWidget()->metaObject()->className();
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Right);
    seen = std::to_string(table->currentIndex().row()) + "," +
           std::to_string(table->currentIndex().column());
    QTest::keyClick(table, Qt::Key_Space);
    seen += " " + list->countLabel()->text().toStdString();
    QTest::keyClick(table, Qt::Key_Return);  // Enter confirms
  });
  QTest::keyClick(widget("rbtLista"), Qt::Key_F2);
  EXPECT_EQ(seen, "1,2 1 de 3 marcado(s)");
  EXPECT_EQ(form()->ListaProd(), "_0000000002_");
}

TEST_F(PortsTest, ThePickManyListMarksFiltersCountsAndReturnsTheKeys) {
  openViewWithHeader();
  useQtPorts();
  QTest::mouseClick(widget("rbtLista"), Qt::LeftButton);
  QStringList seen;
  WhenModalShows([&seen](QWidget* dialog) {
    auto* list = dynamic_cast<qtviews::PickManyDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    seen << list->windowTitle() + " [" + QString::fromStdString(headers(list->table())) + "] " +
                list->countLabel()->text();
    QTest::keyClick(list->filterEdit(), Qt::Key_Space);  // marks the first row
    seen << list->countLabel()->text();
    QTest::keyClicks(list->filterEdit(), "OLEO");
    list->findChild<QPushButton*>(QStringLiteral("markAll"))->click();
    seen << list->countLabel()->text();
    list->filterEdit()->clear();
    QTest::keyClick(list->filterEdit(), Qt::Key_Return);
  });
  QTest::mouseClick(widget("btnListaProd"), Qt::LeftButton);
  EXPECT_EQ(seen.join(QStringLiteral(" / ")).toStdString(),
            "Produto [|Código|Nome] 0 de 3 marcado(s) / 1 de 3 marcado(s) / 2 de 3 marcado(s)");
  EXPECT_EQ(form()->ListaProd(), "_0000000001_0000000003_");

  // Opening again shows the marks kept; unmarking all and cancelling keeps the list.
  WhenModalShows([&seen](QWidget* dialog) {
    auto* list = dynamic_cast<qtviews::PickManyDialog*>(dialog);
    ASSERT_NE(list, nullptr);
    seen = QStringList{list->countLabel()->text()};
    list->findChild<QPushButton*>(QStringLiteral("markNone"))->click();
    seen << list->countLabel()->text();
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  QTest::mouseClick(widget("btnListaProd"), Qt::LeftButton);
  EXPECT_EQ(seen.join(QStringLiteral(" / ")).toStdString(),
            "2 de 3 marcado(s) / 0 de 3 marcado(s)");
  EXPECT_EQ(form()->ListaProd(), "_0000000001_0000000003_");
}

TEST_F(PortsTest, TheBusyAnimationPairsShowsAndHidesAndCoversTheWindow) {
  openView();
  qtviews::QtBusyPort port([this](tk::TForm*) -> QWidget* { return view.get(); });
  port.Hide();  // none showing: nothing happens
  EXPECT_EQ(port.showing(), 0);
  const QString title = view->windowTitle();
  port.Show(nullptr, 6);
  port.Show(nullptr, 3);
  ASSERT_NE(port.overlay(), nullptr);
  EXPECT_TRUE(port.overlay()->isVisible());
  EXPECT_EQ(port.overlay()->geometry(), view->rect());
  EXPECT_EQ(port.overlay()->text(), QStringLiteral("Aguardando o servidor..."));
  EXPECT_EQ(view->windowTitle(), title + QStringLiteral(" - Aguardando o servidor..."));
  port.Hide();
  EXPECT_EQ(port.showing(), 1);
  ASSERT_NE(port.overlay(), nullptr);
  EXPECT_TRUE(port.overlay()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  port.Hide();
  EXPECT_EQ(port.overlay(), nullptr);
  EXPECT_EQ(view->windowTitle(), title);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PortsTest, KeysAndClicksMadeWhileTheServerAnswersAreDropped) {
  openView();
  useQtPorts();
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "01/12/2026"), "ok");
  ASSERT_EQ(qtFocus(), "depDtIniVig");
  calls();
  busy.seen.clear();
  // While the validity is checked, the user types "99" and clicks "Lista".
  busy.duringCall = [this] {
    QWidget* typedInto = QApplication::focusWidget();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease, QEvent::KeyPress})
      QCoreApplication::postEvent(
          typedInto, new QKeyEvent(type, Qt::Key_9, Qt::NoModifier, QStringLiteral("9")));
    QWidget* lista = widget("rbtLista");
    const QPointF at(lista->rect().center());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
      QCoreApplication::postEvent(
          lista, new QMouseEvent(type, at, lista->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                                 Qt::NoModifier));
  };
  QTest::keyClick(widget("depDtIniVig"), Qt::Key_Tab);
  busy.duringCall = nullptr;
  EXPECT_EQ(busy.seen.toStdString(), "1 overlay=Aguardando o servidor... wait=yes\n");
  EXPECT_EQ(
      calls(),
      "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"dd/mm/yyyy\")\n");
  EXPECT_EQ(state({"depDtIniVig", "rbtTodos", "rbtLista"}),
            "depDtIniVig \"01/12/2026\"\n"
            "rbtTodos \"Todos\" checked focus\n"
            "rbtLista \"Lista\"\n");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(qtFocus(), "rbtTodos");
  // Once the answer is in, the keyboard is the user's again.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_TRUE(form()->rbtLista->Checked());
}

TEST_F(PortsTest, TheScreenCursorShowsTheHourglass) {
  // A notice handler installed before the view keeps receiving every notice.
  int forwarded = 0;
  app.Screen().OnChange = [&forwarded] { ++forwarded; };
  std::optional<qtviews::ScreenCursorView> cursor(app.Screen());
  EXPECT_FALSE(cursor->hourglassShown());
  app.Screen().SetCursor(tk::crHourGlass);
  EXPECT_TRUE(cursor->hourglassShown());
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  app.Screen().SetCursor(tk::crDefault);
  EXPECT_FALSE(cursor->hourglassShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(forwarded, 2);
  // Gone with the hourglass showing: the cursor comes back and the old handler is reinstalled.
  app.Screen().SetCursor(tk::crHourGlass);
  cursor.reset();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  app.Screen().SetCursor(tk::crDefault);
  EXPECT_EQ(forwarded, 4);
  app.Screen().OnChange = nullptr;
}

}  // namespace
}  // namespace qttest
