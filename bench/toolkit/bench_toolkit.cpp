// The cost of the two things every user event on a screen does: moving the focus (with the
// exit handler of the control left) and a change cascade (a change handler clearing the
// fields that depend on the one changed). Both should stay far below a millisecond.
//
//   bench_toolkit [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/edit.h"
#include "toolkit/mask_edit.h"

namespace {

using namespace tk;

// With views attached, each control has one subscriber, as a Qt view would.
void attachViews(const std::vector<TControl*>& controls, int64_t& seen) {
  for (TControl* c : controls) c->Subscribe([&seen](TControl&, Prop) { ++seen; });
}

void BM_FocusMoveWithExitHandler(benchmark::State& state) {
  TApplication app;
  TForm* form = app.Create<TForm>();
  form->Show();
  auto* medA = form->Create<TMaskEdit>();
  auto* medB = form->Create<TMaskEdit>();
  for (TMaskEdit* m : {medA, medB}) {
    m->SetParent(form);
    m->SetEditMask(">aaaa;0; ");
  }
  int64_t exits = 0, seen = 0;
  // An exit handler that reads its field, as a validator does before asking the server.
  for (TMaskEdit* m : {medA, medB})
    m->OnExit = [&exits, m](TComponent*) { exits += static_cast<int64_t>(m->Text().size()) + 1; };
  if (state.range(0) != 0) attachViews({form, medA, medB}, seen);
  medA->SetFocus();
  bool toB = true;
  for (auto _ : state) {
    (toB ? medB : medA)->SetFocus();
    toB = !toB;
  }
  benchmark::DoNotOptimize(exits);
  state.counters["moves/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FocusMoveWithExitHandler)->ArgName("views")->Arg(0)->Arg(1);

// A code field whose change handler clears five dependent controls, two of which clear
// further controls in their own change handlers. Only the cascade is timed; the controls are
// filled again between iterations.
void BM_ChangeCascadeClearingFive(benchmark::State& state) {
  TApplication app;
  TForm* form = app.Create<TForm>();
  form->Show();
  auto make = [&](const char* mask) {
    auto* m = form->Create<TMaskEdit>();
    m->SetParent(form);
    m->SetEditMask(mask);
    return m;
  };
  TMaskEdit* code = make(">aaaa;0; ");
  std::vector<TCustomEdit*> five{form->Create<TEdit>(), make("999;1; "), form->Create<TEdit>(),
                                 make("!99/99/0000;1;_"), make("!99/99/0000;1;_")};
  std::vector<TCustomEdit*> further{form->Create<TEdit>(), form->Create<TEdit>()};
  for (TCustomEdit* e : five) e->SetParent(form);
  for (TCustomEdit* e : further) e->SetParent(form);
  int64_t changes = 0, seen = 0;
  code->OnChange = [&](TComponent*) {
    ++changes;
    for (TCustomEdit* e : five) e->Clear();
  };
  five[1]->OnChange = [&](TComponent*) {
    ++changes;
    further[0]->Clear();
  };
  five[3]->OnChange = [&](TComponent*) {
    ++changes;
    further[1]->Clear();
  };
  if (state.range(0) != 0) {
    std::vector<TControl*> all{code};
    all.insert(all.end(), five.begin(), five.end());
    all.insert(all.end(), further.begin(), further.end());
    attachViews(all, seen);
  }
  const char* codes[] = {"0001", "0002"};
  int which = 0;
  for (auto _ : state) {
    five[0]->SetText("Matriz");
    five[1]->SetText("001");
    five[2]->SetText("Tabela de preço");
    five[3]->SetText("01/12/2026");
    five[4]->SetText("31/12/2026");
    further[0]->SetText("x");
    further[1]->SetText("y");
    const auto start = std::chrono::steady_clock::now();
    code->SetText(codes[which ^= 1]);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  benchmark::DoNotOptimize(changes);
  for (TCustomEdit* e : five)
    if (!e->Text().empty() && e->Text().find_first_not_of(" /") != std::string::npos)
      state.SkipWithError("the cascade did not clear every control");
}
BENCHMARK(BM_ChangeCascadeClearingFive)->ArgName("views")->Arg(0)->Arg(1)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
