#include "toolkit/edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/user_input.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

// A form class as a screen writes one: its definition, its published handlers, its members.
class ProbeForm : public TForm {
 public:
  static inline std::string definition;
  static inline bool failOnCreate = false;
  static inline TCloseAction closeAction = TCloseAction::caFree;
  static inline tktest::EventLog* log = nullptr;

  explicit ProbeForm(TComponent* owner) : TForm(owner) {
    Handlers().add("FormCreate", TNotifyEvent([this](TComponent*) {
                     log->add(std::string("create:") + (edt != nullptr ? edt->Name() : "none"));
                     if (failOnCreate) throw rtl::EConvertError("no connection");
                   }));
    Handlers().add("FormDestroy", TNotifyEvent([](TComponent*) { log->add("destroy"); }));
    Handlers().add("FormClose", TCloseEvent([](TComponent*, TCloseAction& action) {
                     log->add("close");
                     action = closeAction;
                   }));
  }
  std::vector<FormDefinition> Definitions() const override { return {{"probe.def", definition}}; }
  const char* ClassName() const override { return "TProbeForm"; }

  TEdit* edt = nullptr;
  TButtonFlat* sbt = nullptr;

 protected:
  void BindComponents() override {
    bind("edt", edt);
    bind("sbt", sbt);
  }
};

class FailingConstructorForm : public TForm {
 public:
  explicit FailingConstructorForm(TComponent* owner) : TForm(owner) {
    if (fail) throw rtl::EInvalidOperation("cannot construct");
  }
  static inline bool fail = true;
};

constexpr const char* kProbeDefinition = R"(
object frmProbe: TProbeForm
  Caption = 'Probe'
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnClose = FormClose
  object edt: TEdit
  end
  object sbt: TButtonFlat
  end
end
)";

class ApplicationTest : public tktest::ToolkitTest {
 protected:
  void SetUp() override {
    ProbeForm::definition = kProbeDefinition;
    ProbeForm::failOnCreate = false;
    ProbeForm::closeAction = TCloseAction::caFree;
    ProbeForm::log = &log;
  }
};

TEST_F(ApplicationTest, CreateFormRunsOnCreateOnceEverythingExists) {
  ProbeForm* frm = nullptr;
  app.CreateForm(frm);
  ASSERT_NE(frm, nullptr);
  EXPECT_EQ(log.take(), "create:edt");
  EXPECT_EQ(frm->Name(), "frmProbe");
  EXPECT_EQ(frm->Caption(), "Probe");
  EXPECT_EQ(frm->Owner(), &app);
  EXPECT_EQ(app.MainForm(), frm);
  EXPECT_FALSE(frm->Visible());
}

TEST_F(ApplicationTest, FailedCreationEmptiesTheReferenceAndLeavesNoForm) {
  ProbeForm* kept = nullptr;
  app.CreateForm(kept);
  log.take();
  FailingConstructorForm::fail = false;
  FailingConstructorForm* failing = nullptr;
  app.CreateForm(failing);
  ASSERT_NE(failing, nullptr);
  const size_t owned = app.ComponentCount();

  FailingConstructorForm::fail = true;
  EXPECT_THROW(app.CreateForm(failing), rtl::EInvalidOperation);
  EXPECT_EQ(failing, nullptr);

  ProbeForm* frm = kept;  // a reference that held a form is emptied all the same
  ProbeForm::definition = "object frmProbe: TProbeForm\n  Colour = clRed\nend\n";
  EXPECT_THROW(app.CreateForm(frm), EDefinitionError);
  EXPECT_EQ(frm, nullptr);
  EXPECT_EQ(log.take(), "");  // no OnCreate, no OnDestroy for a form never created

  ProbeForm::definition = kProbeDefinition;
  ProbeForm::failOnCreate = true;
  frm = kept;
  EXPECT_THROW(app.CreateForm(frm), rtl::EConvertError);
  EXPECT_EQ(frm, nullptr);
  // What OnCreate started is closed again by OnDestroy before the form goes.
  EXPECT_EQ(log.take(), "create:edt destroy");
  EXPECT_EQ(app.ComponentCount(), owned);
  EXPECT_EQ(app.MainForm(), kept);
}

TEST_F(ApplicationTest, FormReleasedInsideAnEventIsFreedWhenTheEventEnds) {
  ProbeForm* frm = nullptr;
  app.CreateForm(frm);
  frm->Show();
  frm->Subscribe([&](TControl&, Prop p) {
    if (p == Prop::Destroying) log.add("gone");
  });
  frm->sbt->OnClick = [&](TComponent*) {
    frm->Close();
    log.add("still-here:" + frm->Caption());  // the form outlives its own handler
  };
  log.take();

  const EventOutcome outcome = RunUserEvent([&] { userClick(*frm->sbt); });
  EXPECT_FALSE(outcome.raised);
  EXPECT_EQ(log.take(), "close still-here:Probe destroy gone");
  EXPECT_EQ(app.ComponentCount(), 0u);
  EXPECT_EQ(app.Screen().ActiveForm(), nullptr);
  EXPECT_EQ(app.MainForm(), nullptr);
}

TEST_F(ApplicationTest, FreeAllRunsEveryFormsOnDestroyAndSparesTheOneKept) {
  TForm* main = app.Create<TForm>();
  ProbeForm* first = nullptr;
  ProbeForm* second = nullptr;
  app.CreateForm(first);
  app.CreateForm(second);
  second->OnDestroy = [&](TComponent*) {
    log.add("second");
    throw rtl::EInvalidOperation("ignored at shutdown");
  };
  log.take();

  app.FreeAll(main);
  EXPECT_EQ(log.take(), "second destroy");
  ASSERT_EQ(app.ComponentCount(), 1u);
  EXPECT_EQ(app.Components(0), main);
}

TEST_F(ApplicationTest, CloseActionDecidesWhatClosingDoes) {
  ProbeForm* frm = nullptr;
  app.CreateForm(frm);
  frm->OnDeactivate = log.note("OnDeactivate");
  frm->Show();
  log.take();

  ProbeForm::closeAction = TCloseAction::caNone;
  frm->Close();
  EXPECT_TRUE(frm->Visible());
  ProbeForm::closeAction = TCloseAction::caMinimize;
  frm->Close();
  EXPECT_EQ(frm->WindowState(), TWindowState::wsMinimized);
  ProbeForm::closeAction = TCloseAction::caHide;
  frm->Close();
  EXPECT_FALSE(frm->Visible());
  EXPECT_EQ(log.take(), "close close close frmProbe.OnDeactivate");
  EXPECT_EQ(app.ComponentCount(), 1u);

  // Without a close handler: an MDI child with a minimize button is minimized, others hidden.
  TForm* plain = showForm("plain");
  plain->Close();
  EXPECT_FALSE(plain->Visible());
  TForm* child = showForm("child");
  child->SetFormStyle(TFormStyle::fsMDIChild);
  child->Close();
  EXPECT_TRUE(child->Visible());
  EXPECT_EQ(child->WindowState(), TWindowState::wsMinimized);
}

TEST_F(ApplicationTest, ActivationDeactivatesTheFormThatWasActive) {
  TForm* one = app.Create<TForm>();
  one->SetName("one");
  TForm* two = app.Create<TForm>();
  two->SetName("two");
  for (TForm* f : {one, two}) {
    f->OnActivate = log.note("OnActivate");
    f->OnDeactivate = log.note("OnDeactivate");
    f->OnShow = log.note("OnShow");
  }
  one->Show();
  one->Show();  // showing and active already: nothing
  two->Show();
  EXPECT_EQ(log.take(), "one.OnShow one.OnActivate two.OnShow one.OnDeactivate two.OnActivate");
  EXPECT_EQ(app.Screen().ActiveForm(), two);

  userActivate(*two);
  EXPECT_EQ(log.take(), "two.OnDeactivate two.OnActivate");
  one->Show();  // visible already: brought to the front, activated
  EXPECT_EQ(log.take(), "two.OnDeactivate one.OnActivate");
}

TEST_F(ApplicationTest, HandleExceptionShowsEveryExceptionButAbort) {
  app.HandleException(rtl::EAbort());
  app.HandleException(rtl::EConvertError("'x' não é uma data válida"));
  app.HandleException(rtl::Exception("Filial não cadastrada."));
  app.HandleException(rtl::Exception("Falha na conexão"));
  app.HandleException(std::runtime_error("socket closed"));
  app.HandleException(rtl::Exception("(sem texto)"));
  std::vector<std::string> shown;
  for (const ShownMessage& m : ports.TakeShown().messages) shown.push_back(m.kind + ":" + m.text);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "error:'x' não é uma data válida.", "error:Filial não cadastrada.",
                       "error:Falha na conexão.", "error:socket closed.", "error:(sem texto)"}));

  std::string seen;
  app.OnException = [&](const std::exception& e) { seen = e.what(); };
  app.HandleException(rtl::Exception("routed"));
  EXPECT_EQ(seen, "routed");
  EXPECT_TRUE(ports.TakeShown().messages.empty());
}

TEST_F(ApplicationTest, OnlyOneApplicationPerProcess) {
  EXPECT_THROW(TApplication second, rtl::EInvalidOperation);
  EXPECT_EQ(&Application(), &app);
  EXPECT_EQ(&Screen(), &app.Screen());
  Screen().SetCursor(crHourGlass);
  EXPECT_EQ(app.Screen().Cursor(), -11);
}

}  // namespace
