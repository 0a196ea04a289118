#include "toolkit/user_input.h"
#include "toolkit/check_buttons.h"
#include "toolkit/edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/keyboard.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"
#include "toolkit/search_button.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

// A search button offering fixed rows through the pick-one port.
class RowsSearchButton : public TSearchButtonBase {
 public:
  using TSearchButtonBase::TSearchButtonBase;
  int picked = -1;

 protected:
  bool OfferList() override {
    const auto pick =
        Application().PickOne().PickOne({Title(), {{"Código", 4}}, {{"0001"}, {"0002"}}});
    picked = pick.value_or(-1);
    return pick.has_value();
  }
};

class UserInput : public tktest::ToolkitTest {
 protected:
  void SetUp() override {
    form = showForm();
    medFilial = add<TMaskEdit>(form, form, "medFilial");
    medFilial->SetEditMask(">aaaa;0; ");
    edtNome = add<TEdit>(form, form, "edtNome");
    rbtTodos = add<TRadioButton>(form, form, "rbtTodos");
    rbtLista = add<TRadioButton>(form, form, "rbtLista");
    chbPrefixo = add<TCheckBox>(form, form, "chbPrefixo");
    sbtConfirma = add<TButtonFlat>(form, form, "sbtConfirma");
    rdgPromocao = add<TRadioGroup>(form, form, "rdgPromocao");
    rdgPromocao->SetItems({"Colocar", "Retirar"});
    btnFilial = add<RowsSearchButton>(form, form, "btnFilial");
    btnFilial->SetTitle("Filial");
    for (TWinControl* c : std::initializer_list<TWinControl*>{medFilial, edtNome, rbtTodos,
                                                              rbtLista, chbPrefixo, rdgPromocao}) {
      c->OnExit = log.note("OnExit");
      c->OnEnter = log.note("OnEnter");
    }
    medFilial->OnChange = log.note("OnChange");
    edtNome->OnChange = log.note("OnChange");
    for (TControl* c :
         std::initializer_list<TControl*>{rbtTodos, rbtLista, chbPrefixo, sbtConfirma, rdgPromocao})
      c->OnClick = log.note("OnClick");
    rbtTodos->SetChecked(true);
    medFilial->SetFocus();
    log.take();
  }
  std::string focused() const {
    return form->ActiveControl() ? form->ActiveControl()->Name() : "none";
  }

  TForm* form = nullptr;
  TMaskEdit* medFilial = nullptr;
  TEdit* edtNome = nullptr;
  TRadioButton *rbtTodos = nullptr, *rbtLista = nullptr;
  TCheckBox* chbPrefixo = nullptr;
  TButtonFlat* sbtConfirma = nullptr;
  TRadioGroup* rdgPromocao = nullptr;
  RowsSearchButton* btnFilial = nullptr;
};

TEST_F(UserInput, TypingGoesThroughTheMaskAndFiresOneChange) {
  userType(*medFilial, "ab-12x");
  EXPECT_EQ(medFilial->Text(), "AB12");  // upper-cased, "-" rejected, four positions only
  EXPECT_EQ(log.take(), "medFilial.OnChange");
  userType(*medFilial, "ab12");  // the same text again: no change
  EXPECT_EQ(log.take(), "");

  // Typing into another edit moves the focus first.
  edtNome->SetMaxLength(5);
  userType(*edtNome, "Matriz Central");
  EXPECT_EQ(log.take(), "medFilial.OnExit edtNome.OnEnter edtNome.OnChange");
  EXPECT_EQ(edtNome->Text(), "Matri");

  // A date mask takes its literals as typed.
  auto* dep = add<TMaskEdit>(form, form, "dep");
  dep->SetEditMask("!99/99/0000;1;_");
  userType(*dep, "01/12/2026");
  EXPECT_EQ(dep->Text(), "01/12/2026");
  userType(*dep, "");
  EXPECT_EQ(dep->EditText(), "__/__/____");
}

TEST_F(UserInput, ClickWhoseFocusMoveFailsDoesNotHappen) {
  medFilial->OnExit = [&](TComponent*) {
    log.add("medFilial.OnExit");
    medFilial->SetFocus();
    rtl::Abort();
  };
  const EventOutcome outcome = RunUserEvent([&] { userClick(*rbtLista); });
  EXPECT_TRUE(outcome.raised);
  EXPECT_EQ(outcome.className, "EAbort");
  EXPECT_EQ(log.take(), "medFilial.OnExit");  // no OnEnter, no OnClick
  EXPECT_TRUE(rbtTodos->Checked());
  EXPECT_FALSE(rbtLista->Checked());
  EXPECT_EQ(focused(), "medFilial");
  EXPECT_TRUE(ports.TakeShown().messages.empty());  // the silent abort shows nothing

  // Another failure is shown and reported.
  medFilial->OnExit = [&](TComponent*) { throw rtl::EConvertError("Filial não cadastrada"); };
  const EventOutcome shown = RunUserEvent([&] { userClick(*chbPrefixo); });
  EXPECT_EQ(shown.className, "EConvertError");
  EXPECT_EQ(shown.message, "Filial não cadastrada");
  EXPECT_FALSE(chbPrefixo->Checked());
  const auto messages = ports.TakeShown().messages;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Filial não cadastrada.");
}

TEST_F(UserInput, ClicksCheckToggleAndRunHandlers) {
  userClick(*rbtLista);
  EXPECT_EQ(log.take(), "medFilial.OnExit rbtLista.OnEnter rbtLista.OnClick");
  EXPECT_FALSE(rbtTodos->Checked());
  userClick(*rbtLista);  // checked already: the click changes nothing
  EXPECT_EQ(log.take(), "");

  userClick(*chbPrefixo);
  userClick(*chbPrefixo);
  EXPECT_EQ(log.take(), "rbtLista.OnExit chbPrefixo.OnEnter chbPrefixo.OnClick chbPrefixo.OnClick");
  EXPECT_FALSE(chbPrefixo->Checked());

  // A flat button leaves the focus alone: no exit handler runs.
  userClick(*sbtConfirma);
  EXPECT_EQ(log.take(), "sbtConfirma.OnClick");
  EXPECT_EQ(focused(), "chbPrefixo");

  userChoose(*rdgPromocao, 1);
  userChoose(*rdgPromocao, 1);
  EXPECT_EQ(log.take(), "chbPrefixo.OnExit rdgPromocao.OnEnter rdgPromocao.OnClick");
  EXPECT_EQ(rdgPromocao->ItemIndex(), 1);
}

TEST_F(UserInput, SearchButtonRunsItsSearchWithoutTakingTheFocus) {
  btnFilial->OnBeforePesq = [&](TComponent*, bool&) { log.add("before"); };
  btnFilial->OnAfterPesq = log.note("after");

  ports.QueuePick(1);
  userClick(*btnFilial);
  EXPECT_EQ(log.take(), "before btnFilial.after");
  EXPECT_EQ(btnFilial->picked, 1);

  userClick(*btnFilial);  // nothing queued: the list is cancelled, no after-search
  EXPECT_EQ(log.take(), "before");
  EXPECT_EQ(focused(), "medFilial");
  const auto lists = ports.TakeShown().lists;
  ASSERT_EQ(lists.size(), 2u);
  ASSERT_TRUE(std::holds_alternative<int>(lists[0].result));
  EXPECT_EQ(std::get<int>(lists[0].result), 1);
  EXPECT_EQ(lists[1].title, "Filial");
  EXPECT_TRUE(std::holds_alternative<ShownList::Cancel>(lists[1].result));

  // The before-search handler may cancel; a bound OnClick replaces the search.
  btnFilial->OnBeforePesq = [&](TComponent*, bool& cancel) { cancel = true; };
  userClick(*btnFilial);
  btnFilial->OnClick = log.note("OnClick");
  userClick(*btnFilial);
  EXPECT_EQ(log.take(), "btnFilial.OnClick");
  EXPECT_TRUE(ports.TakeShown().lists.empty());
}

TEST_F(UserInput, RejectedInputChangesNothing) {
  const auto rejected = [&](const std::function<void()>& action) {
    const EventOutcome o = RunUserEvent(action);
    return o.rejected ? o.message : std::string("accepted");
  };
  edtNome->SetEnabled(false);
  rbtLista->SetVisible(false);
  edtNome->SetReadOnly(false);
  auto* lbl = add<TLabel>(form, form, "lblFilial");

  EXPECT_EQ(rejected([&] { userType(*edtNome, "x"); }), "edtNome is disabled");
  EXPECT_EQ(rejected([&] { userClick(*rbtLista); }), "rbtLista is not visible");
  EXPECT_EQ(rejected([&] { userType(*lbl, "x"); }), "lblFilial is not an edit");
  EXPECT_EQ(rejected([&] { userFocus(*lbl); }), "lblFilial cannot take the focus");
  EXPECT_EQ(rejected([&] { userChoose(*rdgPromocao, 2); }), "rdgPromocao has no item 2 (it has 2)");
  EXPECT_EQ(rejected([&] { userChoose(*chbPrefixo, 0); }), "chbPrefixo is not a radio group");
  EXPECT_EQ(rejected([&] { userClick(*rdgPromocao); }),
            "rdgPromocao is a radio group: choose one of its items");
  edtNome->SetEnabled(true);
  edtNome->SetReadOnly(true);
  EXPECT_EQ(rejected([&] { userType(*edtNome, "x"); }), "edtNome is read-only");
  EXPECT_EQ(rejected([&] { userEditText(*medFilial, "x"); }), "accepted");
  EXPECT_EQ(rejected([&] { userEditText(*edtNome, "x"); }), "edtNome is read-only");
  form->Hide();
  EXPECT_EQ(rejected([&] { userClick(*sbtConfirma); }), "sbtConfirma is not on a showing form");
  EXPECT_EQ(rejected([&] { userClose(*form); }), "frm is not showing");
  EXPECT_EQ(rejected([&] { userSetWindowState(*form, TWindowState::wsMinimized); }),
            "frm is not showing");
  EXPECT_EQ(form->WindowState(), TWindowState::wsNormal);

  // Nothing ran, nothing was shown; only the accepted keystroke changed the masked edit.
  EXPECT_EQ(log.take(), "medFilial.OnChange");
  EXPECT_EQ(edtNome->Text(), "");
  EXPECT_TRUE(ports.TakeShown().messages.empty());
}

TEST_F(UserInput, EscapeAbandonsTheUsersChangesToAMaskedEdit) {
  // A blank date the user half filled in: the mask keeps the focus until Esc abandons it.
  auto* dep = add<TMaskEdit>(form, form, "dep");
  dep->SetEditMask("!99/99/0000;1;_");
  dep->OnChange = log.note("OnChange");
  userFocus(*dep);
  log.take();
  EXPECT_FALSE(userEscape(*dep));  // nothing changed: the key is not used
  userEditText(*dep, "02/12/____");
  EXPECT_THROW(userFocus(*edtNome), rtl::EDBEditError);
  EXPECT_TRUE(userEscape(*dep));
  EXPECT_EQ(dep->EditText(), "__/__/____");
  EXPECT_FALSE(dep->Modified());
  EXPECT_EQ(log.take(), "dep.OnChange dep.OnChange");
  userFocus(*edtNome);
  EXPECT_EQ(log.take(), "edtNome.OnEnter");

  // What the program assigned is what the user started from.
  userFocus(*dep);
  dep->SetText("01/12/2026");
  userType(*dep, "3112");
  EXPECT_TRUE(userEscape(*dep));
  EXPECT_EQ(dep->Text(), "01/12/2026");

  // Only a masked edit that has the focus uses the key.
  userType(*edtNome, "Matriz");
  EXPECT_FALSE(userEscape(*edtNome));
  EXPECT_EQ(edtNome->Text(), "Matriz");
  EXPECT_THROW(userEscape(*medFilial), EInputRejected);
}

TEST_F(UserInput, KeystrokeTextFromAViewKeepsTheMask) {
  userEditText(*medFilial, "a1-b");
  EXPECT_EQ(medFilial->EditText(), "A1 B");  // "-" is no letter or digit: blank
  EXPECT_EQ(medFilial->Text(), "A1 B");
  userEditText(*medFilial, "a1");  // a short text is padded with blanks
  EXPECT_EQ(medFilial->EditText(), "A1  ");
  EXPECT_EQ(log.take(), "medFilial.OnChange medFilial.OnChange");
}

TEST_F(UserInput, ArrowsMoveAmongTheParentsControlsAndCheckTheRadioButtonsTheyReach) {
  rbtTodos->SetFocus();
  log.take();
  // The next control in tab order although it is no tab stop; reaching it checks it.
  EXPECT_FALSE(rbtLista->TabStop());
  EXPECT_TRUE(userArrowKey(*rbtTodos, TArrowKey::Down));
  EXPECT_EQ(log.take(), "rbtTodos.OnExit rbtLista.OnEnter rbtLista.OnClick");
  EXPECT_EQ(focused(), "rbtLista");
  EXPECT_TRUE(rbtLista->Checked());
  EXPECT_FALSE(rbtTodos->Checked());
  // A check box reached by an arrow only takes the focus; a radio group then keeps the arrows
  // for its choice, up to its last item.
  EXPECT_TRUE(userArrowKey(*rbtLista, TArrowKey::Right));
  EXPECT_TRUE(userArrowKey(*chbPrefixo, TArrowKey::Down));
  EXPECT_EQ(log.take(), "rbtLista.OnExit chbPrefixo.OnEnter chbPrefixo.OnExit rdgPromocao.OnEnter");
  EXPECT_FALSE(chbPrefixo->Checked());
  EXPECT_TRUE(userArrowKey(*rdgPromocao, TArrowKey::Down));
  EXPECT_TRUE(userArrowKey(*rdgPromocao, TArrowKey::Right));
  EXPECT_FALSE(userArrowKey(*rdgPromocao, TArrowKey::Down));
  EXPECT_EQ(rdgPromocao->ItemIndex(), 1);
  EXPECT_EQ(log.take(), "rdgPromocao.OnClick rdgPromocao.OnClick");
  // Round the end, past what cannot take the focus now, into an edit -- which
  // keeps the arrows for its caret.
  rdgPromocao->SetEnabled(false);
  edtNome->SetEnabled(false);
  chbPrefixo->SetFocus();
  log.take();
  EXPECT_TRUE(userArrowKey(*chbPrefixo, TArrowKey::Right));
  EXPECT_EQ(focused(), "medFilial");
  EXPECT_FALSE(userArrowKey(*medFilial, TArrowKey::Down));
  EXPECT_EQ(focused(), "medFilial");
  EXPECT_THROW(userArrowKey(*rbtTodos, TArrowKey::Up), EInputRejected);  // not focused

  // An exit handler that keeps the focus stops the check as well.
  rbtLista->SetFocus();
  rbtLista->OnExit = [&](TComponent*) {
    rbtLista->SetFocus();
    rtl::Abort();
  };
  log.take();
  EXPECT_THROW(userArrowKey(*rbtLista, TArrowKey::Up), rtl::EAbort);
  EXPECT_EQ(focused(), "rbtLista");
  EXPECT_FALSE(rbtTodos->Checked());
  EXPECT_EQ(log.take(), "");
}

TEST_F(UserInput, FunctionKeysPressTheButtonsTheyBelongTo) {
  btnFilial->SetAssociate(medFilial);
  btnFilial->SetHint("Pesquisar");
  sbtConfirma->SetShortCut("F10");
  sbtConfirma->SetHint("Confirmar");
  sbtConfirma->SetCaption("Confirmar");
  EXPECT_EQ(btnFilial->ShownHint(), "Pesquisar (F2)");
  EXPECT_EQ(sbtConfirma->ShownHint(), "Confirmar (F10)");
  EXPECT_EQ(sbtConfirma->ShownCaption(), "Confirmar\n(F10)");

  // The search key runs the search of the field that has the focus, which keeps it.
  ports.QueuePick(1);
  EXPECT_TRUE(userFunctionKey(*form, "F2"));
  EXPECT_EQ(btnFilial->picked, 1);
  EXPECT_EQ(focused(), "medFilial");
  edtNome->SetFocus();
  EXPECT_FALSE(userFunctionKey(*form, "F2"));  // no search serves this field
  EXPECT_EQ(ports.TakeShown().lists.size(), 1u);
  log.take();
  // A button's own key works from anywhere on the form, while the button is enabled.
  EXPECT_TRUE(userFunctionKey(*form, "F10"));
  EXPECT_EQ(log.take(), "sbtConfirma.OnClick");
  EXPECT_FALSE(userFunctionKey(*form, "F5"));
  sbtConfirma->SetEnabled(false);
  EXPECT_FALSE(userFunctionKey(*form, "F10"));
  EXPECT_EQ(log.take(), "");
}

TEST_F(UserInput, ClosingReleasedFormFreesItAfterTheEvent) {
  form->OnClose = [&](TComponent*, TCloseAction& action) { action = TCloseAction::caFree; };
  const size_t before = app.ComponentCount();
  RunUserEvent([&] { userClose(*form); });
  EXPECT_EQ(app.ComponentCount(), before - 1);
  EXPECT_EQ(app.FindComponent("frm"), nullptr);
}

}  // namespace
