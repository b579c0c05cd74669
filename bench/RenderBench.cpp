// How long a ruler takes to redraw, and that moving it draws nothing.
#include <benchmark/benchmark.h>

#include "DataModule/DataModule.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "forms/Forms.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

using namespace vr;

struct Program {
  headless::HeadlessPlatform os;
  std::unique_ptr<TProgram> program = StartProgram(os);
  TRulerForm& Ruler0() const { return *program->RulerForms[0]; }
  Program() { Ruler0().Show(); }
};

// The default ruler in px (unit 0) and in mm (unit 1): reading in a real unit
// is meant to cost at most a fifth more.
void BM_RenderDefaultRuler(benchmark::State& state) {
  Program p;
  TRulerForm& r = p.Ruler0();
  r.SetUnit(static_cast<RulerUnit>(state.range(0)));
  for (auto _ : state) r.Render();
  state.counters["px"] = r.LayoutWidth() * r.LayoutHeight();
  state.counters["ticks"] = static_cast<double>(r.LastRenderWork().TicksVisited);
  state.counters["labels"] = static_cast<double>(r.LastRenderWork().LabelsDrawn);
}
BENCHMARK(BM_RenderDefaultRuler)->ArgName("unit")->Arg(0)->Arg(1);

void BM_RenderRulerAtScale2048(benchmark::State& state) {
  Program p;
  TRulerForm& r = p.Ruler0();
  r.SetScale(2048);
  for (auto _ : state) r.Render();
}
BENCHMARK(BM_RenderRulerAtScale2048);

void BM_ArrowKeyMove(benchmark::State& state) {
  Program p;
  TRulerForm& r = p.Ruler0();
  const uint64_t before = r.RenderCount();
  bool handled = false;
  int n = 0;
  for (auto _ : state) {
    RulerKeyHook(p.program->RulerForms,
                 {MessageKind::KeyDown, ++n % 2 ? KeyCode::Right : KeyCode::Left}, handled);
  }
  state.counters["renders"] = static_cast<double>(r.RenderCount() - before);
}
BENCHMARK(BM_ArrowKeyMove);

void BM_TabTurnAtScale2048(benchmark::State& state) {
  Program p;
  TRulerForm& r = p.Ruler0();
  r.SetScale(2048);
  bool handled = false;
  for (auto _ : state)
    RulerKeyHook(p.program->RulerForms, {MessageKind::KeyDown, KeyCode::Tab}, handled);
}
BENCHMARK(BM_TabTurnAtScale2048);

}  // namespace

BENCHMARK_MAIN();
