// The one call frame: the busy animation around every call, on success and on failure.

#include "vnd42406/remote/call_frame.h"
#include "vnd42406/product_list.h"
#include "vnd42406/remote/method_catalogue.h"
#include "vnd42406/screen_test.h"
#include "vnd42406/unit_lifecycle.h"

namespace screentest {
namespace {

using testsupport::FakeReply;

// A busy port that writes down every show and hide.
class BusyRecorder : public tk::BusyPort {
 public:
  void Show(tk::TForm* mainForm, int kind) override {
    log += "show(" + (mainForm ? mainForm->Name() : std::string("none")) + "," +
           std::to_string(kind) + ") ";
    if (failShow) throw std::runtime_error("sem animação");
  }
  void Hide() override { log += "hide "; }
  std::string take() { return std::exchange(log, {}); }
  std::string log;
  bool failShow = false;
};

class CallFrameTest : public ScreenTest {
 protected:
  CallFrameTest() {
    tk::Ports ports;
    ports.busy = &busyRecorder;
    app.SetPorts(ports);
  }
  BusyRecorder busyRecorder;
};

TEST_F(CallFrameTest, EveryCallShowsAndHidesTheAnimationOnceOverTheMainForm) {
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(busyRecorder.take(), "");
  ASSERT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
  server.queue("GetTabePrec", FakeReply::error(500, "erro interno"));
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  EXPECT_EQ(focus("depDtIniVig"), "ERemoteError");
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
  server.queue("GetTabePrec", FakeReply::refuse("Tabela bloqueada."));
  EXPECT_EQ(focus("depDtIniVig"), "EAbort");
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
}

TEST_F(CallFrameTest, AnAnimationThatCannotBeShownFailsTheCallAndIsStillHidden) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  busyRecorder.take();
  calls();
  busyRecorder.failShow = true;
  EXPECT_EQ(focus("depDtIniVig"), "Exception");
  EXPECT_EQ(shown(), "error: sem animação.\n");
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
  EXPECT_EQ(calls(), "");
  EXPECT_EQ(focused(), "medCdTabePrec");
}

TEST_F(CallFrameTest, AnArgumentThatCannotBeReadFailsInsideTheFrame) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(type("medCdTabePrec", "001"), "ok");
  ASSERT_EQ(type("depDtIniVig", "31/02/2026"), "ok");
  busyRecorder.take();
  calls();
  EXPECT_EQ(focus("rbtTodos"), "EConvertError");
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
  EXPECT_EQ(calls(), "");  // nothing was sent
  EXPECT_EQ(shown(), "error: '31/02/2026' não é uma data válida.\n");
  EXPECT_EQ(focused(), "depDtIniVig");
}

TEST_F(CallFrameTest, AnAnswerOfTheWrongShapeIsAClearError) {
  ASSERT_EQ(open(), "ok");
  server.queue("GetFilial",
               FakeReply::ok(testsupport::stringPacket({{"CDFILIAL", 4}}, {{"0001"}})));
  EXPECT_EQ(focus("medCdTabePrec"), "EDatabaseError");
  const std::string boxes = shown();
  EXPECT_NE(boxes.find("NMFILIAL"), std::string::npos) << boxes;
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
}

TEST_F(CallFrameTest, TheCatalogueRefusesArgumentsOfTheWrongKindBeforeSending) {
  ASSERT_EQ(open(), "ok");
  EXPECT_EQ(contract::kTabePreco.methods.size(), 8u);
  EXPECT_NO_THROW(vnd42406::CheckArguments(vnd42406::methods::getVigencia,
                                           {"0001", "001", 0, "T", rtl::Variant::ByRef(stErro)}));
  EXPECT_THROW(
      vnd42406::CheckArguments(vnd42406::methods::getVigencia, {"0001", "001", 0, "T", ""}),
      rtl::EInvalidOperation);
  EXPECT_THROW(vnd42406::CheckArguments(vnd42406::methods::GetTabePrec, {}),
               rtl::EInvalidOperation);
  busyRecorder.take();
  calls();
  EXPECT_THROW(vnd42406::CallFrame(
                   *form()->netTabePreco, vnd42406::methods::GetTabePrec,
                   [] { return std::vector<rtl::Variant>{0}; }, nullptr),
               rtl::EInvalidOperation);
  EXPECT_EQ(busyRecorder.take(), "show(frmPrincipal,6) hide ");
  EXPECT_EQ(calls(), "");
}

TEST(ProductListTest, ExpansionGivesEveryCodeAndWhatIsLeft) {
  const auto expand = [](std::string_view list) {
    std::string rows;
    std::string rest = vnd42406::ExpandProductList(
        list, [&](std::string_view code) { rows += "[" + std::string(code) + "]"; });
    return rows + " rest=\"" + rest + "\"";
  };
  EXPECT_EQ(expand("_0000000001_0000000002_0000000003_"),
            "[0000000001][0000000002][0000000003] rest=\"_\"");
  EXPECT_EQ(expand("_"), " rest=\"_\"");
  EXPECT_EQ(expand(""), " rest=\"\"");
  EXPECT_EQ(expand("12345678"), " rest=\"\"");
  EXPECT_EQ(expand("123456789012345"), " rest=\"\"");
  EXPECT_EQ(expand("_0000000001"), "[0000000001] rest=\"\"");
  EXPECT_EQ(expand("_00001"), "[00001] rest=\"\"");
  EXPECT_EQ(expand("ab_0000000001_"), "[0000000001] rest=\"_\"");
  EXPECT_EQ(vnd42406::MakeProductList({"1", "0000000002"}), "_1         _0000000002_");
  EXPECT_EQ(vnd42406::MakeProductList({}), "");

  // Codes are ten characters, not ten bytes.
  EXPECT_EQ(vnd42406::MakeProductList({"AÇÚCAR"}), "_AÇÚCAR    _");
  EXPECT_EQ(expand("_AÇÚCAR0001_PÃO0000002_"), "[AÇÚCAR0001][PÃO0000002] rest=\"_\"");
  EXPECT_EQ(expand("ÇÇÇÇÇÇÇÇÇÇ_0000000001_"), "[0000000001] rest=\"_\"");
}

TEST(UnitLifecycleTest, StartAndStopWorkOncePerProcess) {
  boStCriado = true;
  stErro = "x";
  vnd42406::UnitInitialization();
  EXPECT_FALSE(boStCriado);
  boStCriado = true;
  vnd42406::UnitInitialization();  // a second loader: nothing
  EXPECT_TRUE(boStCriado);
  vnd42406::UnitFinalization();
  EXPECT_EQ(stErro, "x");
  vnd42406::UnitFinalization();  // as many stops as starts
  EXPECT_EQ(stErro, "");
  boStCriado = false;
}

}  // namespace
}  // namespace screentest
