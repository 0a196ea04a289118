// The client side of a list-mode confirmation: the product selection list expanded into the
// product data set (one Insert/Post per product) and the data set handed back as a packet.
// Next to it, in the same process and on the same list, the consuming loop as the screen's
// first version wrote it -- copying the rest of the list once per product -- kept here only
// to show what the linear expansion saves.

#include <benchmark/benchmark.h>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "rtl/strings.h"
#include "vnd42406/product_list.h"

namespace {

std::string listOf(int products) {
  std::vector<std::string> codes;
  codes.reserve(static_cast<size_t>(products));
  for (int i = 0; i < products; ++i) {
    std::string code = std::to_string(i);
    codes.push_back("PRD" + std::string(7 - code.size(), '0') + code);
  }
  return vnd42406::MakeProductList(codes);
}

struct ProductSet {
  ProductSet() {
    set.SetName("cdsProduto");
    for (const char* name : {"IDMARCADO", "CDPRODUTO", "CDARVPROD", "NMPRODUTO"}) {
      auto* f = set.Create<data::TStringField>();
      f->SetFieldName(name);
      f->SetSize(std::string(name) == "IDMARCADO" ? 1 : std::string(name) == "NMPRODUTO" ? 50
                 : std::string(name) == "CDPRODUTO" ? 10 : 20);
      f->SetDataSet(&set);
    }
    code = &set.FieldByName("CDPRODUTO");
    set.CreateDataSet();
  }
  void add(std::string_view value) {
    set.Insert();
    code->SetAsString(value);
    set.Post();
  }
  data::TClientDataSet set;
  data::TField* code;
};

// The loop as first written: every step copies what is left of the list.
std::string expandByCopying(std::string list, ProductSet& products) {
  for (;;) {
    const int p = rtl::Pos('_', list);
    const int n = rtl::Length(list);
    if (p != 0 && p != n) products.add(rtl::Copy(list, p + 1, 10));
    if (p == n) return list;
    list = rtl::Copy(list, p + 11, n);
  }
}

void LinearExpansion(benchmark::State& state) {
  const std::string list = listOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ProductSet products;
    std::string rest = vnd42406::ExpandProductList(list, [&](std::string_view c) { products.add(c); });
    benchmark::DoNotOptimize(products.set.Data());
    benchmark::DoNotOptimize(rest);
  }
  state.counters["products"] = static_cast<double>(state.range(0));
}

void CopyingExpansion(benchmark::State& state) {
  const std::string list = listOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ProductSet products;
    std::string rest = expandByCopying(list, products);
    benchmark::DoNotOptimize(products.set.Data());
    benchmark::DoNotOptimize(rest);
  }
  state.counters["products"] = static_cast<double>(state.range(0));
}

BENCHMARK(LinearExpansion)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyingExpansion)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Prints the ratio of the two for each size after the runs.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* size : {"10000", "100000"}) {
      const double linear = times_["LinearExpansion/" + std::string(size)];
      const double copying = times_["CopyingExpansion/" + std::string(size) + "/iterations:1"];
      if (linear > 0 && copying > 0)
        std::printf("%s products: linear %.2f ms, copying %.2f ms, copying / linear = %.1fx\n",
                    size, linear, copying, copying / linear);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
