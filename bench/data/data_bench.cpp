// Costs of the data path for a server answer of 100,000 rows of four text fields (sizes 1, 10,
// 20 and 50): encoding, decoding, loading into a client data set, and the data set's memory,
// each compared with a bare MessagePack unpack of the same bytes measured in the same run.
// Targets: the load (decode + bind) within 3x the bare unpack, the data set's memory within
// 2x the packet's bytes. A final summary prints the figures and both ratios.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "rpc/packet_codec.h"

namespace {

constexpr size_t kRows = 100'000;

// Products as a price-table answer carries them: a one-letter mark, a 10-digit code, an
// 8-digit tree code and a name of 20 to 50 letters.
rtl::DataPacket makePacket() {
  rtl::DataPacket p({{"IDMARCADO", rtl::FieldType::String, 1},
                     {"CDPRODUTO", rtl::FieldType::String, 10},
                     {"CDARVPROD", rtl::FieldType::String, 20},
                     {"NMPRODUTO", rtl::FieldType::String, 50}});
  p.reserve(kRows);
  char buf[64];
  for (size_t i = 0; i < kRows; ++i) {
    p.column(0).appendString(i % 3 ? "N" : "S");
    std::snprintf(buf, sizeof buf, "%010zu", i);
    p.column(1).appendString(buf);
    std::snprintf(buf, sizeof buf, "%08zu", (i * 7919) % 100'000'000);
    p.column(2).appendString(buf);
    std::string name = "PRODUTO " + std::to_string(i) + " ";
    name.resize(20 + (i * 13) % 31, 'X');
    p.column(3).appendString(name);
    p.commitRow();
  }
  return p;
}

const rtl::DataPacket& packet() {
  static const rtl::DataPacket p = makePacket();
  return p;
}

const std::string& bytes() {
  static const std::string b = rpc::encodePacket(packet());
  return b;
}

// A data set declaring the four fields, as a screen's definition does.
struct ProductSet {
  tk::TComponent form;
  data::TClientDataSet* cds = form.Create<data::TClientDataSet>();
  ProductSet() {
    for (const auto& f : packet().fields()) {
      auto* field = form.Create<data::TStringField>();
      field->SetFieldName(f.name);
      field->SetSize(f.size);
      field->SetDataSet(cds);
    }
  }
};

void BM_Encode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rpc::encodePacket(packet()));
  state.counters["bytes/row"] = static_cast<double>(bytes().size()) / kRows;
}

void BM_BareUnpack(benchmark::State& state) {
  for (auto _ : state) {
    msgpack::object_handle h = msgpack::unpack(bytes().data(), bytes().size());
    benchmark::DoNotOptimize(h.get());
  }
}

void BM_BareUnpackReferencing(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t offset = 0;
    msgpack::object_handle h =
        msgpack::unpack(bytes().data(), bytes().size(), offset,
                        [](msgpack::type::object_type, std::size_t, void*) { return true; });
    benchmark::DoNotOptimize(h.get());
  }
}

void BM_Decode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rpc::decodePacket(bytes()));
}

// What a screen pays for an answer: decode the bytes and load the packet into its data set.
void BM_Load(benchmark::State& state) {
  ProductSet set;
  for (auto _ : state) {
    set.cds->LoadPacket(rpc::decodePacket(bytes()));
    benchmark::DoNotOptimize(set.cds->RecordCount());
  }
  state.counters["packet bytes/row"] = static_cast<double>(bytes().size()) / kRows;
  state.counters["data set bytes/row"] = static_cast<double>(set.cds->MemoryBytes()) / kRows;
}

// Loading an already decoded packet (copying its columns, checking every value's size).
void BM_BindCopy(benchmark::State& state) {
  ProductSet set;
  for (auto _ : state) {
    set.cds->LoadPacket(packet());
    benchmark::DoNotOptimize(set.cds->RecordCount());
  }
}

// Handing the content back and encoding it, as the confirm action sends a packet.
void BM_HandBackAndEncode(benchmark::State& state) {
  ProductSet set;
  set.cds->LoadPacket(packet());
  for (auto _ : state) benchmark::DoNotOptimize(rpc::encodePacket(*set.cds->Data().asPacket()));
}

// A screen inserting row after row before the current one.
void BM_InsertBeforeCurrent(benchmark::State& state) {
  for (auto _ : state) {
    ProductSet set;
    set.cds->CreateDataSet();
    data::TField& code = set.cds->FieldByName("CDPRODUTO");
    for (size_t i = 0; i < kRows; ++i) {
      set.cds->Insert();
      code.SetAsString("0000012345");
      set.cds->Post();
    }
    benchmark::DoNotOptimize(set.cds->RecordCount());
  }
  state.counters["rows"] = kRows;
}

BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareUnpack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareUnpackReferencing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BindCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandBackAndEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertBeforeCurrent)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's real time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) {
        // In the run's unit (ms). The machine is shared, so CPU time is the steadier figure.
        millis[run.benchmark_name()] = run.GetAdjustedRealTime();
        cpuMillis[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
  }
  std::map<std::string, double> millis, cpuMillis;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  auto find = [](const std::map<std::string, double>& m, const char* name) {
    auto it = m.find(name);
    return it == m.end() ? 0.0 : it->second;
  };
  auto ms = [&](const char* name) { return find(reporter.millis, name); };
  auto cpu = [&](const char* name) { return find(reporter.cpuMillis, name); };
  // The data set's memory as the heap sees it: what stays allocated once the packet is loaded
  // (the decoded packet itself is gone by then), next to the data set's own count.
  const auto heapInUse = [] {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
  };
  const double heapBefore = heapInUse();
  ProductSet set;
  set.cds->LoadPacket(rpc::decodePacket(bytes()));
  const double setBytes = heapInUse() - heapBefore;
  const double packetBytes = static_cast<double>(bytes().size());
  const double countedBytes = static_cast<double>(set.cds->MemoryBytes());
  std::printf("\nSummary for %zu rows x 4 text fields (sizes 1, 10, 20, 50)\n", kRows);
  std::printf("  encode %.2f ms, decode %.2f ms, load (decode + bind) %.2f ms\n", ms("BM_Encode"),
              ms("BM_Decode"), ms("BM_Load"));
  std::printf("  bare unpack %.2f ms (strings referenced in place: %.2f ms)\n", ms("BM_BareUnpack"),
              ms("BM_BareUnpackReferencing"));
  if (ms("BM_BareUnpack") > 0 && ms("BM_BareUnpackReferencing") > 0)
    std::printf(
        "  load / bare unpack = %.2f real, %.2f CPU (target <= 3); against the referencing "
        "unpack %.2f real, %.2f CPU\n",
        ms("BM_Load") / ms("BM_BareUnpack"), cpu("BM_Load") / cpu("BM_BareUnpack"),
        ms("BM_Load") / ms("BM_BareUnpackReferencing"),
        cpu("BM_Load") / cpu("BM_BareUnpackReferencing"));
  std::printf(
      "  packet %.1f bytes/row, data set %.1f bytes/row on the heap (%.1f by its own count), "
      "ratio %.2f (target <= 2)\n",
      packetBytes / kRows, setBytes / kRows, countedBytes / kRows, setBytes / packetBytes);
  std::printf("  %zu inserts before the current row: %.2f ms\n", kRows,
              ms("BM_InsertBeforeCurrent"));
  return 0;
}
