#include "toolkit/containers.h"
#include "toolkit/edit.h"
#include "toolkit/mask_edit.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

class Focus : public tktest::ToolkitTest {
 protected:
  void SetUp() override {
    form = showForm();
    grbA = add<TGroupBox>(form, form, "grbA");
    grbB = add<TGroupBox>(form, form, "grbB");
    edtA = add<TEdit>(form, grbA, "edtA");
    edtA2 = add<TEdit>(form, grbA, "edtA2");
    edtB = add<TEdit>(form, grbB, "edtB");
    for (TWinControl* c : std::initializer_list<TWinControl*>{grbA, grbB, edtA, edtA2, edtB}) {
      c->OnEnter = log.note("OnEnter");
      c->OnExit = log.note("OnExit");
    }
    edtA->SetFocus();
    log.take();
  }
  std::string focused() const {
    return form->ActiveControl() ? form->ActiveControl()->Name() : "none";
  }

  TForm* form = nullptr;
  TGroupBox *grbA = nullptr, *grbB = nullptr;
  TEdit *edtA = nullptr, *edtA2 = nullptr, *edtB = nullptr;
};

TEST_F(Focus, ExitRunsBeforeEnterAndContainersFollowNesting) {
  edtA2->SetFocus();  // within one box: the box is neither left nor entered
  EXPECT_EQ(log.take(), "edtA.OnExit edtA2.OnEnter");
  edtB->SetFocus();  // inner exit before the container's, outer enter before the inner
  EXPECT_EQ(log.take(), "edtA2.OnExit grbA.OnExit grbB.OnEnter edtB.OnEnter");
  EXPECT_EQ(focused(), "edtB");
  EXPECT_TRUE(edtB->Focused());
  EXPECT_FALSE(edtA2->Focused());

  edtB->SetFocus();  // focused already: nothing
  EXPECT_EQ(log.take(), "");
}

TEST_F(Focus, RaisingExitHandlerAbandonsTheMove) {
  edtA->OnExit = [&](TComponent*) {
    log.add("edtA.OnExit");
    throw rtl::EAbort();
  };
  EXPECT_THROW(edtB->SetFocus(), rtl::EAbort);
  EXPECT_EQ(log.take(), "edtA.OnExit");
  EXPECT_EQ(focused(), "edtA");

  // The validator's way: focus back on itself, then raise. The nested SetFocus runs no exit
  // handler again, and the target gets no OnEnter.
  edtA->OnExit = [&](TComponent*) {
    log.add("edtA.OnExit");
    edtA->SetFocus();
    throw rtl::EConvertError("bad");
  };
  EXPECT_THROW(edtB->SetFocus(), rtl::EConvertError);
  EXPECT_EQ(log.take(), "edtA.OnExit");
  EXPECT_EQ(focused(), "edtA");

  // A container's exit handler raising abandons the move as well.
  edtA->OnExit = log.note("OnExit");
  grbA->OnExit = [&](TComponent*) {
    log.add("grbA.OnExit");
    throw rtl::EAbort();
  };
  EXPECT_THROW(edtB->SetFocus(), rtl::EAbort);
  EXPECT_EQ(log.take(), "edtA.OnExit grbA.OnExit");
  EXPECT_EQ(focused(), "edtA");
}

TEST_F(Focus, ExitHandlerMayMoveTheFocusElsewhere) {
  edtA->OnExit = [&](TComponent*) {
    log.add("edtA.OnExit");
    edtA2->SetFocus();
  };
  edtB->SetFocus();
  EXPECT_EQ(log.take(), "edtA.OnExit edtA2.OnEnter");
  EXPECT_EQ(focused(), "edtA2");
}

TEST_F(Focus, SetFocusFromCodeRunsTheExitHandlerInsideTheCall) {
  bool insideCall = false;
  edtA->OnExit = [&](TComponent*) { log.add(insideCall ? "exit-inside" : "exit-outside"); };
  insideCall = true;
  edtB->SetFocus();
  insideCall = false;
  EXPECT_EQ(log.take(), "exit-inside grbA.OnExit grbB.OnEnter edtB.OnEnter");
}

TEST_F(Focus, DisabledOrInvisibleControlsCannotTakeTheFocus) {
  auto focusError = [&](TWinControl* c) -> std::string {
    try {
      c->SetFocus();
    } catch (const rtl::EInvalidOperation& e) {
      return e.message();
    }
    return "no error";
  };
  const std::string kMessage = "Não é possível pôr o foco em uma janela desabilitada ou invisível";
  edtB->SetEnabled(false);
  EXPECT_FALSE(edtB->CanFocus());
  EXPECT_EQ(focusError(edtB), kMessage);
  edtB->SetEnabled(true);

  grbB->SetEnabled(false);  // a disabled parent disables the children's focus
  EXPECT_EQ(focusError(edtB), kMessage);
  grbB->SetEnabled(true);

  edtB->SetVisible(false);
  EXPECT_EQ(focusError(edtB), kMessage);
  edtB->SetVisible(true);

  form->Hide();  // a form that is not showing
  EXPECT_EQ(focusError(edtB), kMessage);
  form->Show();

  EXPECT_EQ(log.take(), "");  // no exit handler ran for a refused move
  EXPECT_EQ(focused(), "edtA");
  EXPECT_EQ(focusError(edtB), "no error");
}

TEST_F(Focus, MaskedEditChangedByTheUserMustBeCompleteToLeave) {
  auto* med = add<TMaskEdit>(form, form, "med");
  med->SetEditMask("00/00;1;_");
  med->OnExit = log.note("OnExit");
  med->SetFocus();
  log.take();

  std::vector<int> carets;
  med->Subscribe([&](TControl&, Prop p) {
    if (p == Prop::Caret) carets.push_back(med->SelStart());
  });
  med->UserEditText(med->TypedEditText("1"));
  try {
    edtA->SetFocus();
    FAIL() << "an incomplete masked edit was left";
  } catch (const rtl::EDBEditError& e) {
    EXPECT_EQ(e.message(), "Valor inválido. Use a tecla Esc para abandonar as alterações");
  }
  EXPECT_EQ(log.take(), "");  // the check comes before OnExit
  EXPECT_EQ(focused(), "med");
  EXPECT_EQ(carets, std::vector<int>{1});  // "1_/__": the second digit is missing

  med->UserEditText(med->TypedEditText("1231"));
  edtA->SetFocus();
  EXPECT_EQ(log.take(), "med.OnExit grbA.OnEnter edtA.OnEnter");

  // A text the program assigned is not checked.
  med->SetFocus();
  med->SetText("1");
  edtA->SetFocus();
  EXPECT_EQ(focused(), "edtA");
}

TEST_F(Focus, FreeingTheFocusedControlClearsTheFocus) {
  form->FreeOwned(edtA);
  EXPECT_EQ(focused(), "none");
  edtB->SetFocus();
  EXPECT_EQ(log.take(), "grbB.OnEnter edtB.OnEnter");
}

}  // namespace
