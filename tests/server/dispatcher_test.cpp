#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_object.h"
#include "rpc/client_codec.h"
#include "rpc/protocol_error.h"
#include "server/net/call_log.h"
#include "server/net/dispatcher.h"
#include "support/server_process.h"

namespace {

using namespace std::string_literals;
using testsupport::describe;

// Runs requests through one dispatcher and one connection state, as a session would.
class Connection {
 public:
  explicit Connection(const server::Dispatcher& dispatcher) : dispatcher_(dispatcher) {}

  std::string call(std::string_view method, const std::vector<rtl::Variant>& params) {
    rpc::OutBuffer request;
    rpc::encodeRequest(request, ++id_, method, params);
    return raw(std::string(request.view()), id_);
  }

  // The response to raw request bytes, described; "closed" when the dispatcher gives up on
  // the connection, "nothing" when there is no response.
  std::string raw(const std::string& bytes, std::optional<uint32_t> msgid = std::nullopt) {
    rpc::OutBuffer out;
    try {
      last = dispatcher_.handle(rpc::Frame{bytes}, state, out);
    } catch (const rpc::ProtocolError&) {
      return "closed";
    }
    if (out.size() == 0) return "nothing";
    const auto response = rpc::decodeResponse(rpc::Frame{std::string(out.view())});
    if (msgid && response->msgid != *msgid) return "wrong msgid";
    return describe(*response);
  }

  server::SessionState state;
  server::CallOutcome last;

 private:
  const server::Dispatcher& dispatcher_;
  uint32_t id_ = 0;
};

TEST(DispatcherTest, AttachFindsTheObjectByNameAndChecksTheToken) {
  servertest::FakeObject object;
  const server::Dispatcher open({&object}, "");
  Connection c(open);
  EXPECT_EQ(c.call("Echo", {"x", rtl::Variant::Null()}),
            "error 409 conexão sem servidor associado");
  EXPECT_EQ(c.call("attach", {"Test.Nothing"}), "error 404 servidor desconhecido: Test.Nothing");
  EXPECT_EQ(c.call("Echo", {"x", rtl::Variant::Null()}),
            "error 409 conexão sem servidor associado");
  EXPECT_EQ(c.call("attach", {"Test.Fake"}), "true");
  EXPECT_EQ(c.state.object, &object);
  // A server without a token lets a token through, and the nil token of a two-value attach.
  EXPECT_EQ(c.call("attach", {"Test.Fake", "whatever"}), "true");
  EXPECT_EQ(c.call("attach", {"Test.Fake", rtl::Variant::Null()}), "true");

  const server::Dispatcher guarded({&object}, "s3cret");
  Connection g(guarded);
  EXPECT_EQ(g.call("attach", {"Test.Fake"}), "error 401 acesso negado");
  EXPECT_EQ(g.call("attach", {"Test.Fake", "s3cre"}), "error 401 acesso negado");
  EXPECT_EQ(g.call("attach", {"Test.Fake", "s3cret!"}), "error 401 acesso negado");
  EXPECT_EQ(g.call("attach", {"Test.Fake", ""}), "error 401 acesso negado");
  EXPECT_EQ(g.call("attach", {"Test.Nothing", "wrong"}), "error 401 acesso negado");
  EXPECT_EQ(g.state.object, nullptr);
  EXPECT_EQ(g.call("attach", {"Test.Fake", "s3cret"}), "true");
  EXPECT_EQ(g.call("Refuse", {}), "[1, 'Recusado.', null]");

  // A failed attach leaves the connection attached to nothing.
  EXPECT_EQ(g.call("attach", {"Test.Fake", "wrong"}), "error 401 acesso negado");
  EXPECT_EQ(g.call("Refuse", {}), "error 409 conexão sem servidor associado");
}

TEST(DispatcherTest, AttachTakesTheCallerDescriptionAndRefusesOtherShapes) {
  servertest::FakeObject object;
  const server::Dispatcher dispatcher({&object}, "");
  Connection c(dispatcher);

  // [1, 1, nil, ...] cannot be built with Variants: a map of texts goes in as raw bytes.
  // [0, 1, "attach", ["Test.Fake", nil, {"user": "ana", "host": "pc1"}]]
  EXPECT_EQ(c.raw("\x94\x00\x01\xa6"
                  "attach\x93\xa9Test.Fake\xc0"
                  "\x82\xa4user\xa3"
                  "ana\xa4host\xa3pc1"s),
            "true");
  EXPECT_EQ(c.call("Echo", {"x", rtl::Variant::Null()}), "[0, '', packet 1 rows]");
  EXPECT_EQ(c.state.context.user, "ana");
  EXPECT_EQ(c.state.context.host, "pc1");

  std::string ref = "Test.Fake";
  EXPECT_EQ(c.call("attach", {}), "error 400 attach: argumento 1 inválido");
  EXPECT_EQ(c.call("attach", {rtl::Variant::ByRef(ref)}), "error 400 attach: argumento 1 inválido");
  EXPECT_EQ(c.call("attach", {"Test.Fake", int32_t{1}}), "error 400 attach: argumento 2 inválido");
  EXPECT_EQ(c.call("attach", {"Test.Fake", "", "x"}), "error 400 attach: argumento 3 inválido");
  EXPECT_EQ(c.call("attach", {"Test.Fake", "", rtl::Variant::Null(), "x"}),
            "error 400 attach: argumento 4 inválido");
  // Names that are not UTF-8 (a Latin-1 login) still attach; a long one is cut.
  EXPECT_EQ(c.raw("\x94\x00\x02\xa6"
                  "attach\x93\xa9Test.Fake\xc0"
                  "\x82\xa4user\xa4"
                  "J\xe9zi\xa4host\xda\x01\x2c"s +
                  std::string(300, 'h')),
            "true");
  EXPECT_EQ(c.state.context.user, "J\xe9zi");
  EXPECT_EQ(c.state.context.host, std::string(256, 'h'));
  // Re-attaching without a description clears the one given before.
  EXPECT_EQ(c.call("attach", {"Test.Fake"}), "true");
  EXPECT_EQ(c.state.context.user, "");
}

TEST(DispatcherTest, ChecksArgumentCountAndKindsAgainstTheMethod) {
  servertest::FakeObject object;
  const server::Dispatcher dispatcher({&object}, "");
  Connection c(dispatcher);
  ASSERT_EQ(c.call("attach", {"Test.Fake"}), "true");

  std::string ref = "by ref";
  EXPECT_EQ(c.call("Echo", {"a", rtl::Variant::FromDate(45306.5)}), "[0, '', packet 1 rows]");
  EXPECT_EQ(c.call("Echo", {rtl::Variant::ByRef(ref), int32_t{0}}), "[0, '', packet 1 rows]");
  EXPECT_EQ(c.call("Echo", {}), "error 400 Echo: argumento 1 inválido");
  EXPECT_EQ(c.call("Echo", {"a"}), "error 400 Echo: argumento 2 inválido");
  EXPECT_EQ(c.call("Echo", {"a", int32_t{0}, "extra"}), "error 400 Echo: argumento 3 inválido");
  EXPECT_EQ(c.call("Echo", {int32_t{1}, int32_t{0}}), "error 400 Echo: argumento 1 inválido");
  EXPECT_EQ(c.call("Echo", {"a", "2024-01-15"}), "error 400 Echo: argumento 2 inválido");
  EXPECT_EQ(c.call("Echo", {"a", rtl::Variant::FromBool(true)}),
            "error 400 Echo: argumento 2 inválido");
  // Values of no argument kind at all: a float, and text that is not UTF-8.
  EXPECT_EQ(c.raw("\x94\x00\x0a\xa4"
                  "Echo\x92\xa1x\xcb\x3f\xf0\x00\x00\x00\x00\x00\x00"s),
            "error 400 Echo: argumento 2 inválido");
  EXPECT_EQ(c.raw("\x94\x00\x0b\xa4"
                  "Echo\x92\xa1\xff\xc0"s),
            "error 400 Echo: argumento 1 inválido");
  EXPECT_EQ(c.last.result, server::CallOutcome::Result::Error);
  EXPECT_EQ(c.last.code, 400);
  EXPECT_EQ(c.last.method, "Echo");

  EXPECT_EQ(c.call("echo", {"a", int32_t{0}}), "error 405 método desconhecido: echo");
  EXPECT_EQ(c.call("", {}), "error 405 método desconhecido: ");
}

TEST(DispatcherTest, TranslatesWhatHandlersReturnAndThrow) {
  servertest::FakeObject object;
  const server::Dispatcher dispatcher({&object}, "");
  Connection c(dispatcher);
  ASSERT_EQ(c.call("attach", {"Test.Fake"}), "true");

  EXPECT_EQ(c.call("Refuse", {}), "[1, 'Recusado.', null]");
  EXPECT_EQ(c.last.result, server::CallOutcome::Result::Refused);
  EXPECT_EQ(c.call("Fail", {}), "error 422 falhou de propósito");
  // The cause of an internal failure is for the log, not for the peer.
  EXPECT_EQ(c.call("Crash", {}),
            "error 500 erro interno do servidor (Crash); a causa está no registro do servidor");
  EXPECT_EQ(c.last.result, server::CallOutcome::Result::Error);
  EXPECT_EQ(c.last.code, 500);
  EXPECT_EQ(c.last.detail, "boom");
  EXPECT_EQ(server::formatCallLine("127.0.0.1:5", c.last, std::chrono::microseconds(250)),
            "127.0.0.1:5 Crash 0.250 ms error 500: boom");
  // The connection goes on after each of them.
  EXPECT_EQ(c.call("Echo", {"a", rtl::Variant::Null()}), "[0, '', packet 1 rows]");
  EXPECT_EQ(c.last.result, server::CallOutcome::Result::Ok);
}

TEST(DispatcherTest, AnswersMalformedRequestsWhenItCanAndGivesUpWhenItCannot) {
  servertest::FakeObject object;
  const server::Dispatcher dispatcher({&object}, "");
  Connection c(dispatcher);
  // [0, 5, 7, []]: a msgid to answer with, but no method.
  EXPECT_EQ(c.raw("\x94\x00\x05\x07\x90"s),
            "error 400 requisição malformada: method is not a string");
  // [2, "note", []]: a notification is ignored.
  EXPECT_EQ(c.raw("\x93\x02\xa4note\x90"s), "nothing");
  // [1, 5, nil, nil]: a response sent to the server; [0, -1, "m", []]: no usable msgid.
  EXPECT_EQ(c.raw("\x94\x01\x05\xc0\xc0"s), "closed");
  EXPECT_EQ(c.raw("\x94\x00\xff\xa1m\x90"s), "closed");
}

}  // namespace
