#include "server/storage/demo_data.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "server/storage/db/dialect.h"
#include "server/storage/schema.h"

namespace server {

namespace {

using db::Param;

struct Branch {
  const char* code;
  const char* name;
  const char* segment;
  const char* differentPrices;
  const char* group;  // nullptr: none
  const char* productModule;
};

constexpr std::array<Branch, 4> kBranches{{
    {"0001", "Matriz São Paulo", "10", "N", "GRP01", "S"},
    {"0002", "Filial Campinas", "10", "S", "GRP01", "N"},
    {"0003", "Filial Ribeirão Preto", "20", "N", "GRP02", "S"},
    {"A1B2", "Loja Conceito Curitiba", "30", "S", nullptr, "N"},
}};

constexpr std::array<std::array<const char*, 2>, 3> kTables{{
    {"001", "Varejo"},
    {"002", "Atacado"},
    {"003", "Promoções"},
}};

// Department names follow the first two digits of the tree code.
constexpr std::array<const char*, 12> kNouns{
    "Café torrado e moído", "Açúcar refinado",   "Feijão carioca", "Arroz agulhinha",
    "Macarrão espaguete",   "Óleo de soja",      "Sabão em pó",    "Pão de forma integral",
    "Leite UHT integral",   "Biscoito recheado", "Água mineral",   "Papel higiênico folha dupla"};
constexpr std::array<const char*, 8> kBrands{"Bom Preço", "São Jorge", "Estrela", "Ipê",
                                             "Brasília",  "Pérola",    "Gaúcha",  "Tropical"};
constexpr std::array<const char*, 6> kSizes{"500 g", "1 kg", "1 L", "2 L", "200 g", "12 un"};

std::string productName(int n) {
  const int j = n - 1;
  return std::string(kNouns[j % 12]) + " " + kBrands[(j / 12) % 8] + " " + kSizes[(j / 96) % 6];
}

std::string iso(rtl::TDateTime day) {
  return rtl::FormatIsoDate(day);
}

void insertProducts(db::Connection& c, int products) {
  const std::string sql =
      "INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO) SELECT c0, c1, "
      "c2 FROM (" +
      db::jsonRowsSource(c.engine(), 3) + ") AS rows_in";
  auto batch = nlohmann::json::array();
  for (int n = 1; n <= products; ++n) {
    batch.push_back({demoProductCode(n), demoTreeCode(n), productName(n)});
    if (batch.size() == 5000 || n == products) {
      c.execute(sql, {batch.dump()});
      batch = nlohmann::json::array();
    }
  }
}

void insertItems(db::Connection& c, const char* branch, const char* table, const std::string& start,
                 int salt, int products) {
  // Prices and promotion flags are computed from the product number so that the rows need no
  // round trip each.
  const std::string number = "CAST(substr(CDPRODUTO, 4) AS INTEGER)";
  const std::string sql =
      "INSERT INTO ITEMPRECO (CDFILIAL, CDTABEPREC, DTINIVGPREC, CDPRODUTO, VRPRECITEM, "
      "IDPROMOCAO) SELECT CAST(? AS CHAR(4)), CAST(? AS CHAR(3)), " +
      std::string(db::dateParam(c.engine())) + ", CDPRODUTO, ((" + number +
      " * 37 + CAST(? AS INTEGER)) % 5000 + 199) / 100.0, CASE WHEN (" + number +
      " + CAST(? AS INTEGER)) % 10 = 0 THEN 'S' ELSE 'N' END FROM PRODUTO WHERE " + number +
      " <= CAST(? AS INTEGER)";
  c.execute(sql, {std::string(branch), std::string(table), start, int64_t{salt * 11}, int64_t{salt},
                  int64_t{products}});
}

}  // namespace

std::string demoProductCode(int n) {
  char code[16];
  std::snprintf(code, sizeof code, "PRD%07d", n);
  return code;
}

std::string demoTreeCode(int n) {
  const int j = n - 1;
  char code[16];
  std::snprintf(code, sizeof code, "%02d%02d%04d", j % 12 + 1, (j / 12) % 100, j / 1200 + 1);
  return code;
}

void fillDemo(db::Connection& c, int products, rtl::TDateTime today) {
  if (products < 0 || products > kMaxDemoProducts)
    throw StorageError("número de produtos de demonstração fora do intervalo 0 a " +
                       std::to_string(kMaxDemoProducts));
  const rtl::TDateTime day = std::floor(today);
  createSchema(c);
  db::Transaction tx(c, db::TxMode::Write);
  // Children first. On PostgreSQL one TRUNCATE: deleted items stay in the table until vacuumed,
  // and the foreign-key check of every deleted product would scan all of them.
  if (c.engine() == db::Engine::Postgres) {
    c.run("TRUNCATE ITEMPRECO, TABEVEND, TABEPREC, FILIAL, PRODUTO, GRPRODPDV, SEGMER");
  } else {
    for (const char* table :
         {"ITEMPRECO", "TABEVEND", "TABEPREC", "FILIAL", "PRODUTO", "GRPRODPDV", "SEGMER"})
      c.execute(std::string("DELETE FROM ") + table);
  }

  const char* segment = "INSERT INTO SEGMER (CDSEGMER, NMSEGMER) VALUES (?, ?)";
  c.execute(segment, {std::string("10"), std::string("Supermercados")});
  c.execute(segment, {std::string("20"), std::string("Atacarejo")});
  c.execute(segment, {std::string("30"), std::string("Conveniência")});
  const char* group = "INSERT INTO GRPRODPDV (CDGRPRODPDV, NMGRPRODPDV) VALUES (?, ?)";
  c.execute(group, {std::string("GRP01"), std::string("Mercearia e bebidas")});
  c.execute(group, {std::string("GRP02"), std::string("Higiene e limpeza")});

  insertProducts(c, products);

  int salt = 0;
  for (const Branch& b : kBranches) {
    c.execute(
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL, CDSEGMER, IDPRECDIFCOM, CDGRPRODPDV, "
        "IDUTMODPRODFIL) VALUES (?, ?, ?, ?, ?, ?)",
        {std::string(b.code), std::string(b.name), std::string(b.segment),
         std::string(b.differentPrices), b.group ? Param(std::string(b.group)) : Param(nullptr),
         std::string(b.productModule)});
    for (const auto& [table, tableName] : kTables) {
      c.execute("INSERT INTO TABEPREC (CDFILIAL, CDTABEPREC, NMTABEPREC) VALUES (?, ?, ?)",
                {std::string(b.code), std::string(table), std::string(tableName)});
      const bool main = std::string_view(b.code) == "0001" && std::string_view(table) == "001";
      const int shift = salt % 7;
      // Ended, in force (today included), starting later; the main table has an older one.
      std::vector<std::pair<rtl::TDateTime, rtl::TDateTime>> periods;
      const rtl::TDateTime currentStart = day - 30 + shift, currentEnd = day + 29 - shift;
      if (main) periods.push_back({day - 240, day - 121 + shift});
      periods.push_back({day - 120 + shift, currentStart - 1});
      periods.push_back({currentStart, currentEnd});
      periods.push_back({currentEnd + 1, currentEnd + 60});
      for (const auto& [start, end] : periods) {
        c.execute(
            "INSERT INTO TABEVEND (CDFILIAL, CDTABEPREC, DTINIVGPREC, DTFINVGPREC) VALUES (?, ?, "
            "?, ?)",
            {std::string(b.code), std::string(table), iso(start), iso(end)});
        const int count =
            main ? products : std::min(products, static_cast<int>(kDemoItemsPerMinorPeriod));
        insertItems(c, b.code, table, iso(start), salt++, count);
      }
    }
  }
  tx.commit();
  // Fresh statistics, so that the planner knows the periods are large: without them
  // PostgreSQL takes a 100,000-item period for one row and joins a long product list to it
  // row by row.
  c.run("ANALYZE");
}

}  // namespace server
