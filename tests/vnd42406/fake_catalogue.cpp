#include "vnd42406/fake_catalogue.h"

#include <cctype>

#include "rtl/dates.h"

namespace screentest {

using testsupport::answerRows;
using testsupport::FakeReply;
using testsupport::RecordedCall;
namespace rdm = contract::tabe_preco;

namespace {

struct Period {
  rtl::TDateTime start, end;
};

std::vector<Period> periods() {
  return {{rtl::EncodeDate(2026, 11, 1), rtl::EncodeDate(2026, 11, 30)},
          {rtl::EncodeDate(2026, 12, 1), rtl::EncodeDate(2026, 12, 31)},
          {rtl::EncodeDate(2027, 1, 1), rtl::EncodeDate(2027, 6, 30)}};
}

struct Item {
  const char* code;
  const char* tree;  // digits only, as stored
  const char* name;
};

const Item kItems[] = {{"0000000001", "12345678", "Arroz Tipo 1"},
                       {"0000000002", "12345679", "Feijão Carioca"},
                       {"0000000003", "98765432", "Óleo de Soja"}};

std::string digitsOf(const std::string& text) {
  std::string out;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c))) out += c;
  return out;
}

std::string text(const RecordedCall& c, std::string_view name) {
  return c.arg(name).text;
}

bool isDefaultValidity(const RecordedCall& c) {
  const rpc::WireValue& start = c.arg("validityStart");
  return text(c, "branch") == "0001" && text(c, "table") == "001" &&
         start.kind == rpc::WireKind::Date && start.date == rtl::EncodeDate(2026, 12, 1);
}

}  // namespace

void ServeCatalogue(testsupport::FakeServer& server) {
  server.on(rdm::GetFilial, [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    const std::vector<std::pair<std::string, std::string>> all{
        {"0001", "Matriz"}, {"0002", "Filial Centro"}, {"A1B2", "Loja Shopping"}};
    for (const auto& [code, name] : all)
      if (text(c, "all") == "T" || text(c, "branch") == code)
        rows.push_back({code, name, "01", "01 - Varejo", "N", "10", "10 - Geral", "S"});
    return FakeReply::ok(answerRows(rdm::GetFilial, rows));
  });
  server.on(rdm::GetTabePrec, [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (text(c, "branch") == "0001") {
      rows.push_back({"0001", "001", "Tabela Varejo"});
      rows.push_back({"0001", "002", "Tabela Atacado"});
    } else if (text(c, "branch") == "0002") {
      rows.push_back({"0002", "003", "Tabela Centro"});
    }
    return FakeReply::ok(answerRows(rdm::GetTabePrec, rows));
  });
  server.on(rdm::getVigencia, [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    const std::string format = text(c, "dateFormat");
    const rpc::WireValue& start = c.arg("validityStart");
    if (text(c, "branch") == "0001" && text(c, "table") == "001") {
      for (const Period& p : periods()) {
        const bool all = text(c, "all") == "T";
        if (all || (start.kind == rpc::WireKind::Date && start.date == p.start))
          rows.push_back(
              {rtl::FormatDateTime(format, p.start), rtl::FormatDateTime(format, p.end)});
      }
    }
    return FakeReply::ok(answerRows(rdm::getVigencia, rows));
  });
  server.on(rdm::GetAutItemPreco, [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (isDefaultValidity(c))
      for (const Item& i : kItems) rows.push_back({std::nullopt, i.code, i.tree, i.name});
    return FakeReply::ok(answerRows(rdm::GetAutItemPreco, rows));
  });
  server.on(rdm::GetProdValid, [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (isDefaultValidity(c))
      for (const Item& i : kItems)
        if (digitsOf(text(c, "product")) == i.tree) rows.push_back({i.code, i.tree, i.name});
    return FakeReply::ok(answerRows(rdm::GetProdValid, rows));
  });
}

}  // namespace screentest
