// The screen against a server that fails it: one that goes away in the middle of a call, one
// that never answers, and one that answers in the wrong shape. Each time the user sees one
// clear error, the busy animation and the hourglass are gone, the screen stays open where it
// was, and the next call (on a new connection when the old one broke) works.

#include "vnd42406/screen_test.h"

namespace screentest {
namespace {

using namespace std::string_literals;
using testsupport::FakeReply;

class ServerFaultsTest : public ScreenTest {
 protected:
  void SetUp() override {
    // A fault that went unnoticed would otherwise hold the test for the default two minutes.
    Varnoke::Session s = session();
    s.callTimeoutSeconds = 30;
    setSession(s);
  }

  // Leaves the branch field with "0002" typed afresh (which clears the name an earlier
  // lookup filled in), which asks the server for that branch.
  std::string leaveBranch() {
    if (type("medCdFilial", "") != "ok" || type("medCdFilial", "0002") != "ok")
      return "typing failed";
    return focus("medCdTabePrec");
  }

  // What the user sees after a failed lookup of branch 0002: the screen, the hourglass and
  // the busy animation.
  std::string afterFailure() {
    return state({"medCdFilial", "edtNmFilial", "medCdTabePrec"}) + "cursor " +
           std::to_string(tk::Screen().Cursor()) + ", busy " + std::to_string(busy());
  }

  static constexpr const char* kFailedState =
      "medCdFilial \"0002\" focus\n"
      "edtNmFilial \"\" off\n"
      "medCdTabePrec \"   \"\n"
      "cursor 0, busy 0";
  static constexpr const char* kRecoveredState =
      "medCdFilial \"0002\"\n"
      "edtNmFilial \"Filial Centro\" off\n"
      "medCdTabePrec \"   \" focus\n"
      "cursor 0, busy 0";
};

TEST_F(ServerFaultsTest, AServerLostInTheMiddleOfACallFailsItAndTheNextCallConnectsAgain) {
  ASSERT_EQ(open(), "ok");
  ASSERT_EQ(server.attachCount(), 1);
  // The server takes the request and its connection goes, as when its process is killed.
  server.queue("GetFilial", FakeReply::close());
  EXPECT_EQ(leaveBranch(), "ERemoteError");
  // One box, in a clerk's words, with the call and its cause (the socket's "End of file") for
  // the support on its last line.
  EXPECT_EQ(shown(),
            "error: A conexão com o servidor de aplicação foi perdida. Tente de novo; se o "
            "problema continuar, avise o suporte.\n"
            "(Para o suporte: GetFilial, o servidor encerrou a conexão.)\n");
  EXPECT_EQ(afterFailure(), kFailedState);
  ASSERT_NE(form(), nullptr);

  // Leaving the field again asks again, on a new connection.
  EXPECT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(afterFailure(), kRecoveredState);
  EXPECT_EQ(server.attachCount(), 2);
  EXPECT_EQ(calls(),
            "GetFilial(str \"0002\", str \"\")\n"
            "GetFilial(str \"0002\", str \"\")\n");
}

TEST_F(ServerFaultsTest, AServerThatNeverAnswersTimesOutAndTheScreenStaysUsable) {
  Varnoke::Session s = session();
  s.callTimeoutSeconds = 1;  // the smallest the session allows
  setSession(s);
  ASSERT_EQ(open(), "ok");
  server.queue("GetFilial", FakeReply::silent());
  EXPECT_EQ(leaveBranch(), "ERemoteError");
  EXPECT_EQ(shown(), "error: O servidor de aplicação não respondeu em 1 s (GetFilial).\n");
  EXPECT_EQ(afterFailure(), kFailedState);

  // The late answer, if it ever came, would be for a connection given up: the next call is
  // made on a new one and gets its own answer.
  EXPECT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(shown(), "");
  EXPECT_EQ(afterFailure(), kRecoveredState);
  EXPECT_EQ(server.attachCount(), 2);
}

TEST_F(ServerFaultsTest, AnswersOfTheWrongShapeGiveAClearErrorAndTheConnectionGoesOn) {
  ASSERT_EQ(open(), "ok");
  struct Case {
    const char* what;
    FakeReply reply;
    const char* expected;  // the error box
  };
  const Case cases[] = {
      {"a text instead of [status, message, data]", FakeReply::raw("\xa2ok"s),
       "error: Resposta inválida do servidor de aplicação: não é uma lista [situação, mensagem, "
       "dados].\n"},
      {"two values instead of three", FakeReply::raw("\x92\x00\xa0"s),
       "error: Resposta inválida do servidor de aplicação: esperados 3 elementos, recebidos 2.\n"},
      {"a status that is a text",
       FakeReply::raw("\x93\xa1"
                      "0\xa0\xc0"s),
       "error: Resposta inválida do servidor de aplicação: a situação não é um número inteiro.\n"},
      {"a message that is a number", FakeReply::raw("\x93\x01\x07\xc0"s),
       "error: Resposta inválida do servidor de aplicação: a mensagem não é um texto.\n"},
      {"data that is a list", FakeReply::raw("\x93\x00\xa0\x91\x01"s),
       "error: Resposta inválida do servidor de aplicação: os dados não são um pacote de dados.\n"},
      {"a date, far outside the calendar, as the branch's name",
       FakeReply::raw("\x93\x00\xa0\x82\xa6"
                      "fields\x92\x93\xa8"
                      "CDFILIAL\xa6"
                      "string\x04\x93\xa8"
                      "NMFILIAL\xa4"
                      "date\x00\xa4"
                      "rows\x91\x92\xa4"
                      "0002\xd7\x02\x7e\x37\xe4\x3c\x88\x00\x75\x9c"s),
       "error: cdsFilial: O campo 'NMFILIAL' guarda valores string, mas a coluna do pacote de "
       "dados é do tipo date.\n"},
      {"a packet without the branch name",
       FakeReply::ok(testsupport::stringPacket({{"CDFILIAL", 4}}, {{"0002"}})),
       "error: cdsFilial: Campo 'NMFILIAL' não encontrado no pacote de dados.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.queue("GetFilial", c.reply);
    EXPECT_NE(leaveBranch(), "ok");
    EXPECT_EQ(shown(), c.expected);
    EXPECT_EQ(afterFailure(), kFailedState);
  }
  // None of them broke the connection: the next call is answered on the first one.
  EXPECT_EQ(focus("medCdTabePrec"), "ok");
  EXPECT_EQ(afterFailure(), kRecoveredState);
  EXPECT_EQ(server.attachCount(), 1);
}

TEST_F(ServerFaultsTest, AResponseTheProtocolDoesNotAllowClosesTheConnectionWithAClearError) {
  ASSERT_EQ(open(), "ok");
  struct Case {
    const char* what;
    FakeReply reply;
  };
  const Case cases[] = {
      {"a float", FakeReply::raw("\xcb\x3f\xf0\x00\x00\x00\x00\x00\x00"s)},
      {"an integer beyond 32 bits",
       FakeReply::raw("\x93\xcf\x00\x00\x00\x01\x00\x00\x00\x00\xa0\xc0"s)},
      {"a byte that is never used", FakeReply::raw("\xc1"s)},
      {"a packet with a row too short", FakeReply::raw("\x93\x00\xa0\x82\xa6"
                                                       "fields\x91\x93\xa8"
                                                       "CDFILIAL\xa6"
                                                       "string\x04\xa4"
                                                       "rows\x91\x90"s)},
  };
  int attaches = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.queue("GetFilial", c.reply);
    EXPECT_EQ(leaveBranch(), "ERemoteError");
    const std::string boxes = shown();
    EXPECT_EQ(boxes.rfind("error: Resposta inválida do servidor de aplicação (GetFilial): ", 0), 0u)
        << boxes;
    EXPECT_EQ(afterFailure(), kFailedState);
    // The bytes after a bad one cannot be trusted: the connection is dropped and made anew.
    EXPECT_EQ(focus("medCdTabePrec"), "ok");
    EXPECT_EQ(afterFailure(), kRecoveredState);
    EXPECT_EQ(server.attachCount(), ++attaches);
  }
}

}  // namespace
}  // namespace screentest
