#include "vnd42406/fake_catalogue.h"

#include <cctype>

#include "rtl/dates.h"

namespace screentest {

using testsupport::FakeReply;
using testsupport::RecordedCall;
using testsupport::stringPacket;

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

bool isDefaultValidity(const RecordedCall& c) {
  return c.args.size() >= 3 && c.args[0].text == "0001" && c.args[1].text == "001" &&
         c.args[2].kind == rpc::WireKind::Date && c.args[2].date == rtl::EncodeDate(2026, 12, 1);
}

}  // namespace

void ServeCatalogue(testsupport::FakeServer& server) {
  server.on("GetFilial", [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    const std::vector<std::pair<std::string, std::string>> all{
        {"0001", "Matriz"}, {"0002", "Filial Centro"}, {"A1B2", "Loja Shopping"}};
    for (const auto& [code, name] : all)
      if (c.args[1].text == "T" || c.args[0].text == code)
        rows.push_back({code, name, "01", "01 - Varejo", "N", "10", "10 - Geral", "S"});
    return FakeReply::ok(stringPacket({{"CDFILIAL", 4},
                                       {"NMFILIAL", 30},
                                       {"CDSEGMER", 5},
                                       {"SEGMENTO", 48},
                                       {"IDPRECDIFCOM", 1},
                                       {"CDGRPRODPDV", 10},
                                       {"GRUPOPROD", 53},
                                       {"IDUTMODPRODFIL", 1}},
                                      rows));
  });
  server.on("GetTabePrec", [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (c.args[0].text == "0001") {
      rows.push_back({"0001", "001", "Tabela Varejo"});
      rows.push_back({"0001", "002", "Tabela Atacado"});
    } else if (c.args[0].text == "0002") {
      rows.push_back({"0002", "003", "Tabela Centro"});
    }
    return FakeReply::ok(
        stringPacket({{"CDFILIAL", 4}, {"CDTABEPREC", 3}, {"NMTABEPREC", 20}}, rows));
  });
  server.on("getVigencia", [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    const std::string format = c.args[4].text;
    if (c.args[0].text == "0001" && c.args[1].text == "001") {
      for (const Period& p : periods()) {
        const bool all = c.args[3].text == "T";
        if (all || (c.args[2].kind == rpc::WireKind::Date && c.args[2].date == p.start))
          rows.push_back({rtl::FormatDateTime(format, p.start), rtl::FormatDateTime(format, p.end)});
      }
    }
    return FakeReply::ok(stringPacket({{"DTINIVGPREC", 30}, {"DTFINVGPREC", 30}}, rows));
  });
  server.on("GetAutItemPreco", [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (isDefaultValidity(c))
      for (const Item& i : kItems) rows.push_back({std::nullopt, i.code, i.tree, i.name});
    return FakeReply::ok(stringPacket(
        {{"IDMARCADO", 1}, {"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}}, rows));
  });
  server.on("GetProdValid", [](const RecordedCall& c) {
    std::vector<std::vector<std::optional<std::string>>> rows;
    if (isDefaultValidity(c))
      for (const Item& i : kItems)
        if (digitsOf(c.args[3].text) == i.tree) rows.push_back({i.code, i.tree, i.name});
    return FakeReply::ok(
        stringPacket({{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}}, rows));
  });
}

}  // namespace screentest
