#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/edit.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"
#include "toolkit/user_input.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;
using tktest::ToolkitTest;

// Records every notification of the controls it watches as "name.Prop". Like a view, it
// unsubscribes when it goes (the controls outlive it here).
struct NotificationSpy {
  tktest::EventLog log;
  std::vector<std::pair<TControl*, SubscriptionId>> subscriptions;
  void watch(TControl& c) {
    subscriptions.emplace_back(&c, c.Subscribe([this](TControl& sender, Prop p) {
      log.add(sender.Name() + "." + PropName(p));
    }));
  }
  ~NotificationSpy() {
    for (auto [control, id] : subscriptions) control->Unsubscribe(id);
  }
};

class ControlEvents : public ToolkitTest {};

TEST_F(ControlEvents, EditChangeFiresOnlyWhenTheTextActuallyChanges) {
  TForm* form = showForm();
  auto* edt = add<TEdit>(form, form, "edt");
  edt->OnChange = log.note("OnChange");

  edt->SetText("abc");
  edt->SetText("abc");  // the same text: nothing
  edt->Clear();
  edt->Clear();  // empty already: nothing
  EXPECT_EQ(log.take(), "edt.OnChange edt.OnChange");

  // The user alike: typing the text the edit already shows changes nothing.
  userType(*edt, "xyz");
  userType(*edt, "xyz");
  EXPECT_EQ(log.take(), "edt.OnChange");
  EXPECT_EQ(edt->Text(), "xyz");
}

TEST_F(ControlEvents, MaskedEditChangeFollowsTheEditText) {
  TForm* form = showForm();
  auto* med = add<TMaskEdit>(form, form, "med");
  med->SetEditMask("999;1; ");
  med->OnChange = log.note("OnChange");

  med->SetText("");     // blank already
  med->SetText("   ");  // the same blank template
  EXPECT_EQ(log.take(), "");
  EXPECT_EQ(med->Text(), "   ");

  med->SetText("12");
  EXPECT_EQ(log.take(), "med.OnChange");
  EXPECT_EQ(med->Text(), "12 ");
  EXPECT_EQ(med->EditText(), "12 ");

  // The same mask again is no change at all; MaxLength stays forced to the mask length.
  med->SetEditMask("999;1; ");
  med->SetMaxLength(10);
  EXPECT_EQ(log.take(), "");
  EXPECT_EQ(med->MaxLength(), 3);

  // Another mask re-lays the current text through it.
  med->SetEditMask("9999;0;_");
  EXPECT_EQ(log.take(), "med.OnChange");
  EXPECT_EQ(med->EditText(), "12__");  // the space of "12 " is a blank position
  EXPECT_EQ(med->Text(), "12");
  EXPECT_EQ(med->MaxLength(), 4);

  // Without a mask the edit is plain again and MaxLength is its own.
  med->SetEditMask("");
  EXPECT_EQ(med->Text(), "12");
  EXPECT_EQ(med->MaxLength(), 10);
}

TEST_F(ControlEvents, NotificationsFollowEveryChangeAndNothingElse) {
  TForm* form = showForm();
  auto* edt = add<TEdit>(form, form, "edt");
  NotificationSpy spy;
  spy.watch(*edt);

  edt->SetText("a");
  edt->SetText("a");
  edt->SetEnabled(false);
  edt->SetEnabled(false);
  edt->SetBounds(1, 2, 3, 4);
  edt->SetBounds(1, 2, 3, 4);
  edt->SetColor(colors::clInfoBk);
  edt->SetColor(colors::clInfoBk);
  edt->SetVisible(false);
  edt->SetHint("h");
  EXPECT_EQ(spy.log.take(), "edt.Text edt.Enabled edt.Bounds edt.Color edt.Visible edt.Hint");

  // Notification comes after the value is stored and before the change event.
  edt->OnChange = log.note("OnChange");
  const SubscriptionId seen =
      edt->Subscribe([&](TControl& c, Prop) { log.add("seen:" + c.Text()); });
  edt->SetText("b");
  EXPECT_EQ(log.take(), "seen:b edt.OnChange");

  // An unsubscribed callback is not called again.
  const SubscriptionId id = edt->Subscribe([&](TControl&, Prop) { log.add("late"); });
  edt->Unsubscribe(id);
  edt->SetText("c");
  EXPECT_EQ(log.take(), "seen:c edt.OnChange");
  edt->Unsubscribe(seen);
}

TEST_F(ControlEvents, RadioButtonsOfOneParentFormOneGroup) {
  TForm* form = showForm();
  auto* grb = add<TGroupBox>(form, form, "grb");
  auto* rbtA = add<TRadioButton>(form, grb, "rbtA");
  auto* rbtB = add<TRadioButton>(form, grb, "rbtB");
  auto* rbtC = add<TRadioButton>(form, grb, "rbtC");
  auto* other = add<TRadioButton>(form, form, "other");  // another parent: another group
  for (TRadioButton* r : {rbtA, rbtB, rbtC, other}) r->OnClick = log.note("OnClick");
  NotificationSpy spy;
  for (TRadioButton* r : {rbtA, rbtB, rbtC, other}) spy.watch(*r);

  other->SetChecked(true);
  rbtA->SetChecked(true);
  EXPECT_EQ(log.take(), "other.OnClick rbtA.OnClick");

  // Checking B unchecks A (which notifies but fires nothing) and leaves the other group.
  rbtB->SetChecked(true);
  EXPECT_EQ(log.take(), "rbtB.OnClick");
  auto states = [&] {
    std::string s;
    for (TRadioButton* r : {rbtA, rbtB, rbtC, other}) s += r->Checked() ? '1' : '0';
    return s;
  };
  EXPECT_EQ(states(), "0101");

  rbtB->SetChecked(true);   // unchanged: nothing
  rbtB->SetChecked(false);  // unchecking fires nothing
  EXPECT_EQ(log.take(), "");
  EXPECT_EQ(states(), "0001");

  // A click checks; a click on the checked button does nothing more.
  rbtC->Click();
  rbtC->Click();
  EXPECT_EQ(log.take(), "rbtC.OnClick");
  // The checked button becomes its group's tab stop (a TabOrder notice), the others stop
  // being one.
  EXPECT_EQ(spy.log.take(),
            "other.TabOrder other.Checked rbtA.TabOrder rbtA.Checked rbtA.Checked rbtA.TabOrder "
            "rbtB.TabOrder rbtB.Checked rbtB.Checked rbtB.TabOrder rbtC.TabOrder rbtC.Checked");
  EXPECT_EQ(std::string() + (rbtA->TabStop() ? '1' : '0') + (rbtB->TabStop() ? '1' : '0') +
                (rbtC->TabStop() ? '1' : '0') + (other->TabStop() ? '1' : '0'),
            "0011");
}

TEST_F(ControlEvents, CheckBoxAndRadioGroupFireOnClickOnChange) {
  TForm* form = showForm();
  auto* chb = add<TCheckBox>(form, form, "chb");
  chb->OnClick = [&](TComponent*) { log.add(chb->Checked() ? "chb:on" : "chb:off"); };
  chb->SetChecked(true);
  chb->SetChecked(true);
  chb->Click();
  chb->SetChecked(false);
  EXPECT_EQ(log.take(), "chb:on chb:off");

  auto* rdg = add<TRadioGroup>(form, form, "rdg");
  EXPECT_EQ(rdg->ItemIndex(), -1);
  rdg->SetItems({"one", "two"});
  rdg->OnClick = [&](TComponent*) { log.add("rdg:" + std::to_string(rdg->ItemIndex())); };
  rdg->SetItemIndex(0);
  rdg->SetItemIndex(0);
  rdg->SetItemIndex(7);   // clamped to the last item
  rdg->SetItemIndex(-1);  // none: no event
  rdg->SetItemIndex(-5);  // clamped to -1, unchanged
  EXPECT_EQ(log.take(), "rdg:0 rdg:1");
  EXPECT_EQ(rdg->ItemIndex(), -1);
  rdg->SetItemIndex(1);
  rdg->SetItems({"only"});  // fewer items: the index follows
  EXPECT_EQ(rdg->ItemIndex(), 0);
}

TEST_F(ControlEvents, ParentFontIsFollowedUntilAControlHasItsOwn) {
  TForm* form = showForm();
  auto* grb = add<TGroupBox>(form, form, "grb");
  auto* lbl = add<TLabel>(form, grb, "lbl");
  auto* med = add<TMaskEdit>(form, grb, "med");
  TFont bold = form->EffectiveFont();
  bold.Style = fsBold;
  grb->SetFont(bold);
  TFont plain = bold;
  plain.Style = 0;
  med->SetFont(plain);

  EXPECT_TRUE(lbl->EffectiveFont().Bold());
  EXPECT_FALSE(med->EffectiveFont().Bold());
  EXPECT_TRUE(lbl->ParentFont());
  EXPECT_FALSE(med->ParentFont());

  // A font change of the box reaches the controls that follow it, and only those.
  NotificationSpy spy;
  spy.watch(*lbl);
  spy.watch(*med);
  TFont larger = bold;
  larger.Height = -15;
  grb->SetFont(larger);
  EXPECT_EQ(spy.log.take(), "lbl.Font");
  EXPECT_EQ(lbl->EffectiveFont().Height, -15);
  EXPECT_EQ(med->EffectiveFont().Height, -11);

  med->SetParentFont(true);
  EXPECT_EQ(spy.log.take(), "med.Font");
  EXPECT_EQ(med->EffectiveFont(), larger);
}

}  // namespace
