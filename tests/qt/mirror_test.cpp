// The widgets mirror the model: after opening, every control's view stands where the control
// is, is enabled when it is, and shows its text; changes made by the program reach the widgets.

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <map>

#include "qt/look.h"
#include "qt/qt_screen_test.h"
#include "qt/radio_group_view.h"

namespace qttest {
namespace {

class MirrorTest : public QtScreenTest {};

TEST_F(MirrorTest, EveryWidgetShowsItsControlAfterOpening) {
  openView();
  const std::string model = modelControls();
  EXPECT_EQ(shownControls(), model);
  // A sample of the model's state, so a model that built nothing cannot pass.
  EXPECT_NE(model.find("medCdFilial 90,13 40x21 \"0001\"\n"), std::string::npos) << model;
  EXPECT_NE(model.find("edtNmFilial 159,13 262x21 off \"Matriz\"\n"), std::string::npos);
  EXPECT_NE(model.find("medCdTabePrec 90,39 40x21 \"   \"\n"), std::string::npos);
  EXPECT_NE(model.find("depDtIniVig 90,65 100x21 \"__/__/____\"\n"), std::string::npos);
  EXPECT_NE(model.find("rbtTodos 11,21 84x17 \"Todos\" checked\n"), std::string::npos);
  EXPECT_NE(model.find("btnListaProd 85,42 21x21 off \"\"\n"), std::string::npos);
  EXPECT_NE(model.find("rbtAddPrefixo 8,39 400x17 off \"Adicionar o prefixo ao nome dos produtos "
                       "promocionais.\" checked\n"),
            std::string::npos);
  EXPECT_NE(model.find("rdgPromocao 4,251 428x60 \"(*) Colocar os produtos selecionados na "
                       "promoção.;( ) Retirar os produtos selecionados da promoção.;\"\n"),
            std::string::npos);
  EXPECT_EQ(view->size(), QSize(490, 430));
  EXPECT_EQ(view->windowTitle(), QStringLiteral("Alteração Automática"));
  EXPECT_EQ(qtFocus(), "medCdFilial");
}

TEST_F(MirrorTest, FontsAndColoursFollowTheDefinition) {
  openView();
  const QFontInfo label(widget("lblFilial")->font());
  EXPECT_FALSE(label.family().isEmpty());
  EXPECT_EQ(label.family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(label.pixelSize(), 11);
  EXPECT_TRUE(label.bold());
  // The product block is bold and its children follow it, except the two product edits.
  EXPECT_TRUE(QFontInfo(widget("grbProduto")->font()).bold());
  EXPECT_TRUE(QFontInfo(widget("rbtTodos")->font()).bold());
  EXPECT_FALSE(QFontInfo(widget("medProdIni")->font()).bold());
  EXPECT_FALSE(QFontInfo(widget("medCdFilial")->font()).bold());
  // Accented captions keep their letters.
  EXPECT_EQ(widget<QLabel>("lblTabePrec")->text(), QStringLiteral("Tabela Preço"));
  EXPECT_TRUE(QFontMetrics(widget("lblTabePrec")->font()).inFont(QChar(0x00E7)));

  const QColor infoBk = qtviews::ToQColor(tk::colors::clInfoBk);
  const QColor btnFace = qtviews::ToQColor(tk::colors::clBtnFace);
  for (const char* code : {"medCdFilial", "medCdTabePrec", "depDtIniVig", "medProdIni"})
    EXPECT_EQ(widget(code)->palette().color(QPalette::Active, QPalette::Base), infoBk) << code;
  for (const char* display : {"edtNmFilial", "edtNmTabePrec", "depDtFinVig", "edtNomeIni"})
    EXPECT_EQ(widget(display)->palette().color(QPalette::Disabled, QPalette::Base), btnFace)
        << display;
  EXPECT_EQ(widget("edtPrefixo")->palette().color(QPalette::Active, QPalette::Base),
            qtviews::ToQColor(tk::colors::clWindow));
  // The label "a" between the dates is centred.
  EXPECT_TRUE(widget<QLabel>("lblDtFinVig")->alignment() & Qt::AlignHCenter);
  // The search buttons carry the definition's glyph and hint, with their key; the confirm
  // button is a raised button whose caption and hint say its key.
  EXPECT_FALSE(widget<QToolButton>("btnFilial")->icon().isNull());
  EXPECT_EQ(widget("btnFilial")->toolTip(), QStringLiteral("Pesquisar (F2)"));
  EXPECT_EQ(widget<QToolButton>("sbtConfirma")->text(), QStringLiteral("Confirmar\n(F10)"));
  EXPECT_EQ(widget("sbtConfirma")->toolTip(), QStringLiteral("Confirmar (F10)"));
  EXPECT_FALSE(widget<QToolButton>("sbtConfirma")->autoRaise());
}

TEST_F(MirrorTest, TheFocusIsAlwaysMarkedAndADisabledEditLooksDisabled) {
  openViewWithHeader();
  const auto look = [this](const std::string& name) {
    QWidget* w = widget(name);
    if (auto* group = dynamic_cast<qtviews::RadioGroupView*>(w)) w = group->itemButtons().front();
    return w->grab().toImage();
  };
  // The three tab stops that are no edits, each drawn while it has the focus and after.
  std::map<std::string, QImage> focused;
  for (const char* name : {"rbtTodos", "rdgPromocao", "chbPrefixo"}) {
    ASSERT_EQ(qtFocus(), name);
    focused[name] = look(name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  for (const auto& [name, image] : focused) EXPECT_NE(look(name), image) << name;
  // The focus a validator puts on "Lista" shows too.
  ASSERT_EQ(click("rbtLista"), "ok");
  ASSERT_EQ(focus("medCdFilial"), "ok");
  const QImage lista = look("rbtLista");
  ASSERT_EQ(click("sbtConfirma"), "EAbort");
  EXPECT_EQ(shown(), "error: Produto deve ser informado.\n");
  EXPECT_EQ(qtFocus(), "rbtLista");
  EXPECT_NE(look("rbtLista"), lista);

  // The prefix edit, off while its box is unchecked, shows the display fields' face colour.
  const auto inside = [&] {
    const QImage image = look("edtPrefixo");
    return QColor(image.pixel(image.width() - 5, image.height() / 2));
  };
  EXPECT_EQ(inside(), qtviews::ToQColor(tk::colors::clBtnFace));
  ASSERT_EQ(click("chbPrefixo"), "ok");
  EXPECT_EQ(inside(), qtviews::ToQColor(tk::colors::clWindow));
}

TEST_F(MirrorTest, TheAccessibilityInterfaceReportsTrueRolesAndTheLabelsAsNames) {
  openView();
  const auto report = [this](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (a == nullptr) return std::string("none");
    std::string role = a->role() == QAccessible::RadioButton    ? "radio"
                       : a->role() == QAccessible::CheckBox     ? "check"
                       : a->role() == QAccessible::EditableText ? "edit"
                       : a->role() == QAccessible::Button       ? "button"
                                                                : "other";
    if (a->state().checked) role += " checked";
    return role + " \"" + a->text(QAccessible::Name).toStdString() + "\"";
  };
  std::string seen;
  for (const char* name : {"medCdFilial", "edtNmFilial", "depDtFinVig", "rbtTodos", "rbtLista",
                           "medProdIni", "btnFilial", "btnListaProd", "chbPrefixo", "edtPrefixo"})
    seen += std::string(name) + ": " + report(widget(name)) + "\n";
  auto* group = dynamic_cast<qtviews::RadioGroupView*>(widget("rdgPromocao"));
  ASSERT_NE(group, nullptr);
  seen += "rdgPromocao item 1: " + report(group->itemButtons().at(1)) + "\n";
  EXPECT_EQ(seen,
            "medCdFilial: edit \"Filial\"\n"
            "edtNmFilial: edit \"Filial\"\n"
            "depDtFinVig: edit \"Vigência a\"\n"
            "rbtTodos: radio checked \"Todos\"\n"
            "rbtLista: radio \"Lista\"\n"
            "medProdIni: edit \"Produto\"\n"
            "btnFilial: button \"Pesquisar Filial\"\n"
            "btnListaProd: button \"Pesquisar Lista\"\n"
            "chbPrefixo: check \"Adicionar ou Limpar prefixo.\"\n"
            "edtPrefixo: edit \"Prefixo\"\n"
            "rdgPromocao item 1: radio \"Retirar os produtos selecionados da promoção.\"\n");
  // The press action of a radio button is the user's click.
  QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(widget("rbtLista"));
  ASSERT_NE(lista->actionInterface(), nullptr);
  lista->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(form()->rbtLista->Checked());
  EXPECT_EQ(report(widget("rbtLista")), "radio checked \"Lista\"");
}

TEST_F(MirrorTest, ChangesByTheProgramReachTheWidgets) {
  openView();
  // A handler's work: checking the prefix box in code fires its click handler, which enables
  // the prefix controls.
  form()->chbPrefixo->SetChecked(true);
  EXPECT_TRUE(widget<QAbstractButton>("chbPrefixo")->isChecked());
  EXPECT_TRUE(widget("rbtAddPrefixo")->isEnabled());
  EXPECT_TRUE(widget("edtPrefixo")->isEnabled());
  EXPECT_TRUE(widget("lblPrefixo")->isEnabled());

  form()->edtNmTabePrec->SetText("Tabela Teste");
  EXPECT_EQ(widget<QLineEdit>("edtNmTabePrec")->text(), QStringLiteral("Tabela Teste"));
  form()->rbtDelPrefixo->SetChecked(true);
  EXPECT_TRUE(widget<QRadioButton>("rbtDelPrefixo")->isChecked());
  EXPECT_FALSE(widget<QRadioButton>("rbtAddPrefixo")->isChecked());
  form()->rdgPromocao->SetItemIndex(1);
  form()->lblPrefixo->SetCaption("Texto");
  form()->btnTabePrec->SetEnabled(false);
  form()->medProdIni->SetBounds(20, 90, 90, 21);
  EXPECT_EQ(shownControls(), modelControls());
}

}  // namespace
}  // namespace qttest
