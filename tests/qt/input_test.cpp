// What the user does to the widgets reaches the model through the user-input API and fires the
// screen's handlers; where the model keeps the focus, the view follows it.

#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "qt/qt_screen_test.h"

namespace qttest {
namespace {

class InputTest : public QtScreenTest {};

TEST_F(InputTest, TypingABranchAndLeavingItAsksTheServerAndFillsTheName) {
  openView();
  calls();
  auto* branch = widget<QLineEdit>("medCdFilial");
  ASSERT_EQ(qtFocus(), "medCdFilial");
  branch->selectAll();
  QTest::keyClicks(branch, "a1b");  // the mask turns letters to upper case
  EXPECT_EQ(branch->text(), QStringLiteral("A1B "));
  EXPECT_EQ(branch->cursorPosition(), 3);
  EXPECT_EQ(form()->medCdFilial->Text(), "A1B");
  EXPECT_EQ(widget<QLineEdit>("edtNmFilial")->text(), QString());  // the change handler cleared it
  QTest::keyClick(branch, Qt::Key_Backspace);
  QTest::keyClicks(branch, "2");
  EXPECT_EQ(branch->text(), QStringLiteral("A12 "));
  QTest::keyClick(branch, Qt::Key_Backspace);
  QTest::keyClick(branch, Qt::Key_Backspace);
  EXPECT_EQ(form()->medCdFilial->Text(), "A");
  QTest::keyClicks(branch, "1B2X");  // the fourth position is the last one
  EXPECT_EQ(form()->medCdFilial->EditText(), "A1B2");

  QTest::keyClick(branch, Qt::Key_Tab);
  EXPECT_EQ(calls(), "GetFilial(str \"A1B2\", str \"\")\n");
  EXPECT_EQ(widget<QLineEdit>("edtNmFilial")->text(), QStringLiteral("Loja Shopping"));
  EXPECT_EQ(focused(), "medCdTabePrec");  // the display field is no tab stop
  EXPECT_EQ(qtFocus(), "medCdTabePrec");
  EXPECT_EQ(shown(), "");
}

TEST_F(InputTest, AnExitHandlerThatRefusesKeepsTheQtFocusWhereTheModelKeepsIt) {
  openView();
  auto* branch = widget<QLineEdit>("medCdFilial");
  branch->selectAll();
  QTest::keyClicks(branch, "9");
  QTest::keyClick(branch, Qt::Key_Tab);
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_EQ(focused(), "medCdFilial");
  EXPECT_EQ(qtFocus(), "medCdFilial");
  EXPECT_EQ(branch->text(), QStringLiteral("0009"));  // normalised by the validator

  // A click elsewhere is refused the same way: the focus comes back, the click does nothing.
  QTest::mouseClick(widget("rbtIntervalo"), Qt::LeftButton);
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_FALSE(widget<QRadioButton>("rbtIntervalo")->isChecked());
  EXPECT_FALSE(form()->rbtIntervalo->Checked());
  EXPECT_EQ(qtFocus(), "medCdFilial");

  // A mouse press in another edit gives Qt the focus first; the model takes it back.
  QTest::mouseClick(widget("medCdTabePrec"), Qt::LeftButton);
  EXPECT_EQ(shown(), "error: Filial não cadastrada.\n");
  EXPECT_EQ(focused(), "medCdFilial");
  EXPECT_EQ(qtFocus(), "medCdFilial");
}

TEST_F(InputTest, ClickingTheModeRadioButtonsRunsTheirHandlers) {
  openView();
  QTest::mouseClick(widget("rbtIntervalo"), Qt::LeftButton);
  EXPECT_TRUE(form()->rbtIntervalo->Checked());
  EXPECT_EQ(state({"rbtTodos", "rbtIntervalo", "btnListaProd", "btnProdutoIni", "medProdIni"}),
            "rbtTodos \"Todos\"\n"
            "rbtIntervalo \"Intervalo\" checked focus\n"
            "btnListaProd \"\" off\n"
            "btnProdutoIni \"\"\n"
            "medProdIni \"\"\n");
  EXPECT_EQ(qtFocus(), "rbtIntervalo");
  EXPECT_EQ(shownControls(), modelControls());

  QTest::mouseClick(widget("rbtLista"), Qt::LeftButton);
  EXPECT_TRUE(widget<QRadioButton>("rbtLista")->isChecked());
  EXPECT_FALSE(widget<QRadioButton>("rbtIntervalo")->isChecked());
  EXPECT_TRUE(widget("btnListaProd")->isEnabled());
  EXPECT_FALSE(widget("medProdIni")->isEnabled());
  EXPECT_EQ(shownControls(), modelControls());

  // Space on the focused check box is a click too.
  QTest::mouseClick(widget("chbPrefixo"), Qt::LeftButton);
  EXPECT_TRUE(form()->chbPrefixo->Checked());
  EXPECT_TRUE(widget("edtPrefixo")->isEnabled());
  QTest::keyClick(widget("chbPrefixo"), Qt::Key_Space);
  EXPECT_FALSE(form()->chbPrefixo->Checked());
  EXPECT_FALSE(widget("edtPrefixo")->isEnabled());
  EXPECT_EQ(shownControls(), modelControls());
}

TEST_F(InputTest, TheRadioGroupChoosesByClickAndArrowKeys) {
  openView();
  auto* group = widget("rdgPromocao");
  auto* second = group->findChild<QRadioButton*>(QStringLiteral("item1"));
  ASSERT_NE(second, nullptr);
  QTest::mouseClick(second, Qt::LeftButton);
  EXPECT_EQ(form()->rdgPromocao->ItemIndex(), 1);
  EXPECT_EQ(focused(), "rdgPromocao");
  EXPECT_TRUE(second->hasFocus());
  QTest::keyClick(second, Qt::Key_Up);
  EXPECT_EQ(form()->rdgPromocao->ItemIndex(), 0);
  EXPECT_TRUE(group->findChild<QRadioButton*>(QStringLiteral("item0"))->hasFocus());
  EXPECT_EQ(shownControls(), modelControls());
}

TEST_F(InputTest, ArrowAndFunctionKeysReachTheModelFromTheWidgets) {
  openViewWithHeader();
  ASSERT_EQ(qtFocus(), "rbtTodos");
  // Down on "Todos" checks "Lista", not the next tab stop; Qt's focus follows the model's.
  QTest::keyClick(widget("rbtTodos"), Qt::Key_Down);
  EXPECT_EQ(focused(), "rbtLista");
  EXPECT_EQ(qtFocus(), "rbtLista");
  EXPECT_TRUE(widget<QRadioButton>("rbtLista")->isChecked());
  EXPECT_TRUE(widget("btnListaProd")->isEnabled());
  // F2 there opens the list; F10 from an edit confirms.
  mark(std::vector<std::string>{"0000000002"});
  QTest::keyClick(widget("rbtLista"), Qt::Key_F2);
  EXPECT_EQ(form()->ListaProd(), "_0000000002_");
  answer(false);
  QTest::keyClick(widget("medCdTabePrec"), Qt::Key_F10);
  EXPECT_EQ(shown(),
            "confirm(no): Confirma alteração dos produtos selecionados?\n"
            "list Produto [Código|Nome] 12.34.5678|Arroz Tipo 1 / 12.34.5679|Feijão Carioca / "
            "98.76.5432|Óleo de Soja -> [0000000002]\n");
  // An edit keeps Up and Down: the focus stays.
  QTest::keyClick(widget("medCdTabePrec"), Qt::Key_Down);
  EXPECT_EQ(qtFocus(), "medCdTabePrec");
  EXPECT_EQ(shownControls(), modelControls());
}

TEST_F(InputTest, TabWalksTheModelsTabOrder) {
  openView();
  std::string walk = focused();
  for (int i = 0; i < 9; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    walk += " " + focused();
    ASSERT_EQ(qtFocus(), focused());
  }
  // The validity edit may be left empty; the display fields and the unchecked radio buttons
  // are no tab stops; the range edits are off while "Todos" is checked, and so are the prefix
  // block's controls while its box is unchecked.
  EXPECT_EQ(walk,
            "medCdFilial medCdTabePrec depDtIniVig rbtTodos rdgPromocao chbPrefixo medCdFilial "
            "medCdTabePrec depDtIniVig rbtTodos");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(focused(), "depDtIniVig");
  EXPECT_EQ(qtFocus(), "depDtIniVig");
}

TEST_F(InputTest, TypingADateThroughItsMaskFillsTheValidity) {
  openView();
  auto* table = widget<QLineEdit>("medCdTabePrec");
  QTest::mouseClick(table, Qt::LeftButton);
  ASSERT_EQ(focused(), "medCdTabePrec");
  table->selectAll();
  QTest::keyClicks(table, "1");
  QTest::keyClick(table, Qt::Key_Tab);
  EXPECT_EQ(table->text(), QStringLiteral("001"));
  auto* start = widget<QLineEdit>("depDtIniVig");
  ASSERT_EQ(qtFocus(), "depDtIniVig");
  start->setCursorPosition(0);
  QTest::keyClicks(start, "1/12/2026");  // a typed separator finishes the day early
  EXPECT_EQ(start->text(), QStringLiteral("1_/12/2026"));
  start->selectAll();
  QTest::keyClicks(start, "01122026");  // the literals are stepped over
  EXPECT_EQ(start->text(), QStringLiteral("01/12/2026"));
  calls();
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(
      calls(),
      "getVigencia(str \"0001\", str \"001\", date 2026-12-01, str \"\", ref \"dd/mm/yyyy\")\n");
  EXPECT_EQ(widget<QLineEdit>("depDtFinVig")->text(), QStringLiteral("31/12/2026"));
  EXPECT_EQ(shown(), "");
}

TEST_F(InputTest, EscapeAbandonsWhatTheMaskRefusedOnExit) {
  openViewWithHeader();
  auto* start = widget<QLineEdit>("depDtIniVig");
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_EQ(focused(), "depDtIniVig");
  start->selectAll();
  QTest::keyClicks(start, "0212");  // no year: the mask refuses to let the focus go
  EXPECT_EQ(start->text(), QStringLiteral("02/12/____"));
  start->setCursorPosition(0);
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(shown(), "error: Valor inválido. Use a tecla Esc para abandonar as alterações.\n");
  EXPECT_EQ(qtFocus(), "depDtIniVig");
  EXPECT_EQ(start->cursorPosition(), 6);  // on the year, the first position in error
  QTest::keyClick(start, Qt::Key_Escape);
  EXPECT_EQ(start->text(), QStringLiteral("01/12/2026"));
  EXPECT_EQ(form()->depDtIniVig->Text(), "01/12/2026");
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(focused(), "rbtTodos");
}

TEST_F(InputTest, EscapeLetsABlankDateBeLeftBlankAgain) {
  openView();
  auto* table = widget<QLineEdit>("medCdTabePrec");
  QTest::mouseClick(table, Qt::LeftButton);
  table->selectAll();
  QTest::keyClicks(table, "1");
  QTest::keyClick(table, Qt::Key_Tab);
  auto* start = widget<QLineEdit>("depDtIniVig");
  ASSERT_EQ(qtFocus(), "depDtIniVig");
  ASSERT_EQ(start->text(), QStringLiteral("__/__/____"));
  shown();
  QTest::keyClicks(start, "0212");
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(shown(), "error: Valor inválido. Use a tecla Esc para abandonar as alterações.\n");
  QTest::keyClick(start, Qt::Key_Escape);
  EXPECT_EQ(start->text(), QStringLiteral("__/__/____"));
  EXPECT_EQ(start->cursorPosition(), 0);
  QTest::keyClick(start, Qt::Key_Tab);
  EXPECT_EQ(shown(), "");
  EXPECT_NE(focused(), "depDtIniVig");
}

}  // namespace
}  // namespace qttest
