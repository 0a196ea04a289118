// Rights and branches on every method, through the dispatcher: a caller is held to the account
// it logged in with whatever it asks, a refusal names what it may not do, and nothing is read
// beyond its branches or changed anywhere.

#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Access : public StorageTest {
 protected:
  // A caller of account `name` with these rights on branch 0001 only (or on every branch).
  static server::CallContext caller(const std::string& name, std::vector<server::Right> rights,
                                    bool allBranches = false) {
    auto access = std::make_shared<server::Access>();
    access->account = name;
    for (const server::Right right : rights) access->grant(right);
    access->allBranches = allBranches;
    if (!allBranches) access->branches = {"0001"};
    return {"127.0.0.1:50000", name, "caixa1", access};
  }

  // One call as `who`: "ok" or the refusal's message.
  std::string outcome(const std::string& method, const Args& args, const server::CallContext& who) {
    const server::Answer answer = call(method, args, who);
    return answer.status == 0 ? "ok" : answer.message;
  }
};

Args update(const std::string& branch, const std::string& table) {
  return {ref("S"), ref(""),        ref(""),     ref(""),    ref("T"),
          null(),   boolean(false), str(branch), str(table), date(2024, 1, 1)};
}
Args prefix() {
  return {ref("X "), ref(""), ref(""), ref(""), ref("T")};
}

TEST_P(Access, EveryMethodRefusesWhatTheAccountMayNotDoAndChangesNothing) {
  using server::Right;
  const auto reader = caller("bia", {});
  const auto promoter = caller("ana", {Right::Promotion});
  const auto namer = caller("rui", {Right::Prefix}, true);
  const std::string before = wholeState();

  struct Case {
    const char* method;
    Args args;
    const server::CallContext& who;
    std::string expected;
  };
  const std::string otherBranch = "O usuário ana não tem permissão na filial A1B2.";
  const std::vector<Case> refused = {
      {"GetFilial", {str("A1B2"), str("")}, promoter, otherBranch},
      {"GetTabePrec", {str("A1B2")}, promoter, otherBranch},
      {"getVigencia",
       {str("A1B2"), str("001"), integer(0), str("T"), ref("dd/mm/yyyy")},
       promoter,
       otherBranch},
      {"GetAutItemPreco", {str("A1B2"), str("001"), date(2024, 2, 10)}, promoter, otherBranch},
      {"GetProdValid",
       {str("A1B2"), str("001"), date(2024, 2, 10), str("01020001")},
       promoter,
       otherBranch},
      // A branch that does not exist reads as one not granted: nothing tells them apart.
      {"GetTabePrec", {str("9999")}, promoter, "O usuário ana não tem permissão na filial 9999."},
      {"SetUpdItemPrecoAlt", update("A1B2", "001"), promoter, otherBranch},
      {"SetUpdItemPrecoAlt", update("0001", "001"), reader,
       "O usuário bia não tem permissão para colocar ou retirar produtos de promoção."},
      {"SetUpdItemPrecoAlt", update("0001", "001"), namer,
       "O usuário rui não tem permissão para colocar ou retirar produtos de promoção."},
      // Names belong to every branch: changing them is a right of its own.
      {"SetAddPrefixo", prefix(), promoter,
       "O usuário ana não tem permissão para alterar o prefixo dos nomes dos produtos."},
      {"SetDelPrefixo", prefix(), reader,
       "O usuário bia não tem permissão para alterar o prefixo dos nomes dos produtos."},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.method);
    EXPECT_EQ(outcome(c.method, c.args, c.who), c.expected);
  }
  EXPECT_EQ(wholeState(), before);

  // What each may do, it does; reads need only the branch.
  EXPECT_EQ(outcome("GetTabePrec", {str("0001")}, reader), "ok");
  EXPECT_EQ(outcome("SetUpdItemPrecoAlt", update("0001", "002"), promoter), "ok");
  EXPECT_EQ(outcome("SetAddPrefixo", prefix(), namer), "ok");
  EXPECT_EQ(dump(*storage_, "SELECT DSUSUARIO, DSMETODO FROM ALTERACAOLOG ORDER BY ID"),
            "ana|SetUpdItemPrecoAlt\nrui|SetAddPrefixo\n");
}

TEST_P(Access, BranchListsHoldOnlyTheBranchesGranted) {
  const auto codes = [&](const server::CallContext& who) {
    const server::Answer answer = call("GetFilial", {str(""), str("T")}, who);
    std::string out;
    for (size_t row = 0; row < answer.data->rowCount(); ++row)
      out += std::string(answer.data->column(0).string(row)) + " ";
    return out;
  };
  EXPECT_EQ(codes(caller("ana", {})), "0001 ");
  EXPECT_EQ(codes(caller("rui", {}, true)), "0001 A1B2 ");
  // Without accounts, every branch.
  EXPECT_EQ(codes({"127.0.0.1:50000", "", "", nullptr}), "0001 A1B2 ");
}

INSTANTIATE_TEST_SUITE_P(Engines, Access,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
