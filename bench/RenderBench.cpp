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

void BM_RenderDefaultRuler(benchmark::State& state) {
  Program p;
  TRulerForm& r = p.Ruler0();
  for (auto _ : state) r.Render();
  state.counters["px"] = r.LayoutWidth() * r.LayoutHeight();
}
BENCHMARK(BM_RenderDefaultRuler);

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
