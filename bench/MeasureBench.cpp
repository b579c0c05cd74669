// What a pointer move over a ruler costs (the overlay laid out, composed over
// the kept picture and the changed part shown), next to a full render of the
// same ruler. Arguments: scale, breadth, marks. The overlay's own share of a
// move is measured in px and in mm side by side: its labels are the only part
// of a move that reads in the unit.
#include <benchmark/benchmark.h>

#include "DataModule/DataModule.h"
#include "Ruler/RulerOverlay.h"
#include "Ruler/Rulers.h"
#include "Ruler/Units.h"
#include "app/Program.h"
#include "forms/Forms.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/SimulatedUser.h"

namespace {

using namespace vr;

struct Program {
  headless::HeadlessPlatform os;
  test::SimulatedUser user{os};
  std::unique_ptr<TProgram> program;
  TRulerForm* ruler = nullptr;
  explicit Program(const benchmark::State& state) {
    program = StartProgram(os);
    ruler = program->RulerForms[0];
    ruler->Show();
    ruler->SetScale(static_cast<int32_t>(state.range(0)));
    ruler->SetBreadth(static_cast<int32_t>(state.range(1)));
    const int64_t marks = state.range(2);
    for (int64_t m = 0; m < marks; ++m) ruler->ToggleMark(m * ruler->Scale() / marks);
    ruler->SetUnit(static_cast<RulerUnit>(state.range(3)));
  }

  // The screen point over the ruler at an offset, in the middle of its breadth.
  Point At(int64_t offset) const {
    const Rect b = os.Find(*ruler)->Bounds();
    const auto along = static_cast<int32_t>(ruler->Axis().AlongAt(offset));
    return {b.Left + along, b.Top + b.Height / 2};
  }
};

// Each in px (unit 0) and in mm (unit 1).
void Args(benchmark::internal::Benchmark* b) {
  b->ArgNames({"scale", "breadth", "marks", "unit"});
  for (int64_t unit : {0, 1})
    b->Args({640, 50, 0, unit})
        ->Args({640, 50, 16, unit})
        ->Args({2048, 512, 0, unit})
        ->Args({2048, 512, 16, unit});
}

void BM_PointerMove(benchmark::State& state) {
  Program p(state);
  auto& window = *p.os.Find(*p.ruler);
  // Back and forth by one pixel between two offsets that lie between marks.
  const Point a = p.At(p.ruler->Scale() / 2 + 3);
  const Point b = p.At(p.ruler->Scale() / 2 + 4);
  p.user.MouseMove(window, a);
  const uint64_t renders = p.ruler->RenderCount();
  const int presents = window.Presents();
  bool odd = false;
  for (auto _ : state) p.user.MouseMove(window, (odd = !odd) ? b : a);
  state.counters["renders"] = static_cast<double>(p.ruler->RenderCount() - renders);
  state.counters["presents"] = benchmark::Counter(static_cast<double>(window.Presents() - presents),
                                                  benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PointerMove)->Apply(Args);

// The overlay alone over the ruler's picture, laid out and composed as a
// pointer move does it, with its labels in px (0) or mm (1) at 96 per inch.
// "dirty" is the pixels shown again per move.
void BM_OverlayPointerMove(benchmark::State& state) {
  Program p(state);
  const auto unit = state.range(3) == 0 ? RulerUnit::Px : RulerUnit::Mm;
  const UnitScale scale = ScaleOf(unit, kLogicalPixelsPerInch / kMmPerInch);
  const std::vector<int64_t> marks = p.ruler->Marks().Offsets();
  const int64_t a = p.ruler->Scale() / 2 + 3;
  const Image& picture = p.ruler->RulerImage();
  TRulerOverlay overlay;
  overlay.Reset(picture, p.ruler->Axis(), p.ruler->Overlay().Look(), {a, marks, scale}, p.os);
  int64_t dirty = 0;
  bool odd = false;
  for (auto _ : state) {
    const int64_t at = (odd = !odd) ? a + 1 : a;
    for (const Rect& r : overlay.Update(picture, {at, marks, scale}, p.os))
      dirty += int64_t{r.Width} * r.Height;
  }
  state.counters["dirty"] =
      benchmark::Counter(static_cast<double>(dirty), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OverlayPointerMove)->Apply([](benchmark::internal::Benchmark* b) {
  b->ArgNames({"scale", "breadth", "marks", "mm"});
  for (const int64_t mm : {0, 1})
    b->Args({640, 50, 0, mm})
        ->Args({640, 50, 16, mm})
        ->Args({2048, 512, 0, mm})
        ->Args({2048, 512, 16, mm});
});

void BM_FullRender(benchmark::State& state) {
  Program p(state);
  auto& window = *p.os.Find(*p.ruler);
  p.user.MouseMove(window, p.At(p.ruler->Scale() / 2 + 3));
  for (auto _ : state) p.ruler->Render();
}
BENCHMARK(BM_FullRender)->Apply(Args);

}  // namespace
