#include <gtest/gtest.h>

#include "toolkit/headless/headless_ports.h"

namespace {

using namespace tk;

std::string describe(const ShownMessage& m) {
  return m.kind + ":" + m.text + (m.answer.empty() ? "" : "=" + m.answer);
}

TEST(HeadlessPorts, BoxesAreRecordedAndAnsweredFromTheQueue) {
  HeadlessPorts ports;
  ports.QueueAnswer(true);
  ports.QueueAnswer(false);
  EXPECT_EQ(ports.MessageDlg("Confirma?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  EXPECT_EQ(ports.MessageDlg("De novo?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  // Nobody answers: No, or Cancel when the box has one; the answer is recorded as no.
  EXPECT_EQ(ports.MessageDlg("Sem resposta?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(ports.MessageDlg("Cancela?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrCancel);
  ports.QueueAnswer(true);
  EXPECT_EQ(ports.MessageDlg("Ok?", mtWarning, {mbOK, mbCancel}, 0), mrOk);
  // A box with one button informs and takes no answer from the queue.
  ports.QueueAnswer(true);
  EXPECT_EQ(ports.MessageDlg("Aviso", mtInformation, {mbOK}, 0), mrOk);
  EXPECT_EQ(ports.MessageDlg("Erro", mtError, {mbOK}, 0), mrOk);
  ports.ShowMessage("Alteração realizada com sucesso.");
  ports.ShowError("Filial não cadastrada.");
  EXPECT_EQ(ports.MessageDlg("Usa a resposta guardada?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);

  std::vector<std::string> shown;
  for (const ShownMessage& m : ports.TakeShown().messages) shown.push_back(describe(m));
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "confirm:Confirma?=yes", "confirm:De novo?=no", "confirm:Sem resposta?=no",
                       "confirm:Cancela?=no", "confirm:Ok?=yes", "info:Aviso", "error:Erro",
                       "info:Alteração realizada com sucesso.", "error:Filial não cadastrada.",
                       "confirm:Usa a resposta guardada?=yes"}));
  EXPECT_TRUE(ports.Shown().messages.empty());  // taken: a new record starts
}

TEST(HeadlessPorts, ListsAreRecordedWithTheirResult) {
  HeadlessPorts ports;
  const PickOneRequest one{
      "Filial", {{"Código", 4}, {"Nome", 30}}, {{"0001", "Matriz"}, {"0002", "Loja"}}};
  ports.QueuePick(1);
  ports.QueuePick(std::nullopt);
  ports.QueuePick(5);  // no such row: cancelled
  EXPECT_EQ(ports.PickOne(one), std::optional<int>(1));
  EXPECT_EQ(ports.PickOne(one), std::nullopt);
  EXPECT_EQ(ports.PickOne(one), std::nullopt);
  EXPECT_EQ(ports.PickOne(one), std::nullopt);  // nothing queued

  const PickManyRequest many{
      "Produto", {{"Código", 10}}, {{"A"}, {"B"}, {"C"}}, {"ka", "kb", "kc"}, {"kb"}};
  ports.QueueMarks(std::vector<std::string>{"kc", "zz", "ka"});
  ports.QueueMarks(std::vector<std::string>{});
  EXPECT_EQ(ports.PickMany(many), (std::vector<std::string>{"ka", "kc"}));  // row order
  EXPECT_EQ(ports.PickMany(many), std::vector<std::string>{});
  EXPECT_EQ(ports.PickMany(many), std::nullopt);

  const auto lists = ports.TakeShown().lists;
  ASSERT_EQ(lists.size(), 7u);
  EXPECT_EQ(lists[0].title, "Filial");
  EXPECT_EQ(lists[0].columns, (std::vector<std::string>{"Código", "Nome"}));
  EXPECT_EQ(lists[0].rows, one.rows);
  EXPECT_EQ(std::get<int>(lists[0].result), 1);
  for (int i : {1, 2, 3, 6})
    EXPECT_TRUE(std::holds_alternative<ShownList::Cancel>(lists[i].result)) << i;
  EXPECT_EQ(std::get<std::vector<std::string>>(lists[4].result),
            (std::vector<std::string>{"ka", "kc"}));
  EXPECT_TRUE(std::get<std::vector<std::string>>(lists[5].result).empty());
}

TEST(HeadlessPorts, BusyAnimationCountsWhatIsShowing) {
  HeadlessPorts ports;
  ports.Show(nullptr, 6);
  ports.Show(nullptr, 6);
  EXPECT_EQ(ports.BusyCount(), 2);
  ports.Hide();
  ports.Hide();
  ports.Hide();  // none showing: nothing to hide
  EXPECT_EQ(ports.BusyCount(), 0);
}

}  // namespace
