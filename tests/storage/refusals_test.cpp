// Every refusal of the change methods: status 1, the message for the user, and nothing changed
// anywhere, the audit table included.

#include <cmath>
#include <limits>

#include "storage/storage_fixture.h"

namespace storage_test {
namespace {

class Refusals : public StorageTest {};

struct Case {
  const char* what;
  const char* method;
  Args args;
  std::string message;
};

// SetUpdItemPrecoAlt arguments with the given selection and header.
Args update(const std::string& flag, const std::string& first, const std::string& last,
            const std::string& list, const std::string& all, bool listMode,
            const std::string& branch = "0001", const std::string& table = "001",
            Arg start = date(2024, 1, 1)) {
  return {ref(flag), ref(first),        ref(last),   ref(list),  ref(all),
          null(),    boolean(listMode), str(branch), str(table), std::move(start)};
}

Args prefix(const std::string& text, const std::string& first, const std::string& last,
            const std::string& list, const std::string& all) {
  return {ref(text), ref(first), ref(last), ref(list), ref(all)};
}

std::vector<Case> cases() {
  const std::string noSelection =
      "Nenhum produto selecionado: informe todos, uma lista ou um intervalo de produtos.";
  const std::string several = "Informe os produtos de uma única forma: todos, lista ou intervalo.";
  const std::string badList = "Lista de produtos inválida.";
  const std::string good = productList({"PRD0000001"});
  return {
      {"promotion flag X", "SetUpdItemPrecoAlt", update("X", "", "", "", "T", false),
       "Indicador de promoção inválido: deve ser \"S\" ou \"N\"."},
      {"promotion flag empty", "SetUpdItemPrecoAlt", update("", "", "", "", "T", false),
       "Indicador de promoção inválido: deve ser \"S\" ou \"N\"."},
      {"promotion flag s", "SetUpdItemPrecoAlt", update("s", "", "", "", "T", false),
       "Indicador de promoção inválido: deve ser \"S\" ou \"N\"."},
      {"no selection", "SetUpdItemPrecoAlt", update("S", "", "", "", "", false), noSelection},
      {"all and list", "SetUpdItemPrecoAlt", update("S", "", "", good, "T", true), several},
      {"all and first", "SetUpdItemPrecoAlt", update("S", "01", "", "", "T", false), several},
      {"list and range", "SetUpdItemPrecoAlt", update("S", "01", "02", good, "", true), several},
      {"unknown all flag", "SetUpdItemPrecoAlt", update("S", "", "", "", "S", false),
       "Indicador de todos inválido: deve ser \"T\" ou vazio."},
      {"list without separators", "SetUpdItemPrecoAlt", update("S", "", "", "PRD0000001", "", true),
       badList},
      {"list of no entry", "SetUpdItemPrecoAlt", update("S", "", "", "_", "", true), badList},
      {"list entry of 9", "SetUpdItemPrecoAlt", update("S", "", "", "_PRD000001_", "", true),
       badList},
      {"list entry of 11", "SetUpdItemPrecoAlt", update("S", "", "", "_PRD00000011_", "", true),
       badList},
      {"list not closed", "SetUpdItemPrecoAlt",
       update("S", "", "", "_PRD0000001_PRD0000002", "", true), badList},
      {"list with extra separator", "SetUpdItemPrecoAlt",
       update("S", "", "", "_PRD0000001__", "", true), badList},
      {"list of a blank entry", "SetUpdItemPrecoAlt",
       update("S", "", "", productList({"PRD0000001", "          "}), "", true), badList},
      {"list code not an item", "SetUpdItemPrecoAlt",
       update("S", "", "", productList({"PRD0000001", "PRD0000007", "ZZZ0000000"}), "", true),
       "Produto \"PRD0000007\" não pertence à vigência da tabela de preço."},
      {"list code differing in a blank", "SetUpdItemPrecoAlt",
       update("S", "", "", productList({"PRD000001 "}), "", true),
       "Produto \"PRD000001 \" não pertence à vigência da tabela de preço."},
      {"range without last", "SetUpdItemPrecoAlt", update("S", "01", "", "", "", false),
       "Produto final deve ser informado."},
      {"range without first", "SetUpdItemPrecoAlt", update("S", "", "02", "", "", false),
       "Produto inicial deve ser informado."},
      {"range first of literals", "SetUpdItemPrecoAlt", update("S", " . .", "02", "", "", false),
       "Produto inicial deve ser informado."},
      {"range inverted", "SetUpdItemPrecoAlt", update("S", "02", "01.99", "", "", false),
       "Produto inicial deve ser menor ou igual que produto final."},
      {"list mode without list", "SetUpdItemPrecoAlt", update("S", "", "", "", "T", true),
       "Modo lista informado sem lista de produtos."},
      {"list outside list mode", "SetUpdItemPrecoAlt", update("S", "", "", good, "", false),
       "Lista de produtos informada fora do modo lista."},
      {"unknown branch", "SetUpdItemPrecoAlt", update("S", "", "", "", "T", false, "0009"),
       "Filial não cadastrada."},
      {"branch code of 2", "SetUpdItemPrecoAlt", update("S", "", "", "", "T", false, "01"),
       "Filial não cadastrada."},
      {"unknown table", "SetUpdItemPrecoAlt", update("S", "", "", "", "T", false, "0001", "009"),
       "Tabela de preço não cadastrada."},
      {"table of another branch", "SetUpdItemPrecoAlt",
       update("S", "", "", "", "T", false, "A1B2", "002"), "Tabela de preço não cadastrada."},
      {"unknown validity", "SetUpdItemPrecoAlt",
       update("S", "", "", "", "T", false, "0001", "001", date(2024, 1, 2)),
       "Vigência não cadastrada."},
      {"text with a NUL", "SetUpdItemPrecoAlt",
       update("S", "", "",
              std::string("_PRD\0"
                          "00001_",
                          12),
              "", true),
       "Texto inválido no argumento 4."},
      {"empty prefix", "SetAddPrefixo", prefix("", "", "", "", "T"), "Prefixo deve ser informado."},
      {"empty prefix to clear", "SetDelPrefixo", prefix("", "", "", "", "T"),
       "Prefixo deve ser informado."},
      {"name too long", "SetAddPrefixo", prefix("PROMO ", "", "", "", "T"),
       "O nome do produto \"PRD0000005\" ficaria com mais de 50 caracteres com o prefixo."},
      {"prefix longer than a name", "SetAddPrefixo",
       prefix(std::string(51, 'X'), "", "", productList({"AB        "}), ""),
       "O nome do produto \"AB        \" ficaria com mais de 50 caracteres com o prefixo."},
      {"prefix list code not a product", "SetAddPrefixo",
       prefix("X", "", "", productList({"PRD0000001", "ZZZ0000000"}), ""),
       "Produto \"ZZZ0000000\" não cadastrado."},
      {"clear list code not a product", "SetDelPrefixo",
       prefix("X", "", "", productList({"ZZZ0000000"}), ""),
       "Produto \"ZZZ0000000\" não cadastrado."},
      {"prefix without selection", "SetAddPrefixo", prefix("X", "", "", "", ""), noSelection},
      {"prefix with two selections", "SetDelPrefixo", prefix("X", "01", "02", "", "T"), several},
      {"prefix with a bad list", "SetAddPrefixo", prefix("X", "", "", "_A_", ""), badList},
      {"prefix range inverted", "SetAddPrefixo", prefix("X", "02", "01", "", ""),
       "Produto inicial deve ser menor ou igual que produto final."},
  };
}

TEST_P(Refusals, EveryRefusalAnswersItsMessageAndChangesNothing) {
  const std::string before = wholeState();
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.what);
    const server::Answer answer = call(c.method, c.args);
    EXPECT_EQ(answer.status, 1);
    EXPECT_EQ(answer.message, c.message);
    EXPECT_FALSE(answer.data.has_value());
    EXPECT_EQ(wholeState(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, Refusals,
                         ::testing::Values(Backend::SqliteMemory, Backend::Postgres), backendName);

}  // namespace
}  // namespace storage_test
