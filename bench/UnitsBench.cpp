// What a ruler's ticks cost in each unit: every tick of a 2048-pixel ruler on
// a 96-dpi screen, alone and with the numbers a default ruler shows (those of
// Tick100, Tick50 and Tick10). Argument: the unit's stored code.
#include <benchmark/benchmark.h>

#include "Ruler/UnitTicks.h"

namespace {

using namespace vr;

constexpr int64_t kScale = 2048;

TickPlan PlanFor(const benchmark::State& state) {
  return TickPlan(ScaleOf(StoredUnit(static_cast<uint32_t>(state.range(0))).value_or(RulerUnit::Px),
                          kLogicalPixelsPerInch / kMmPerInch));
}

void CountTicks(benchmark::State& state, const TickPlan& plan) {
  int64_t ticks = 0;
  plan.ForEachTick(kScale, [&](const Tick&) { ++ticks; });
  state.counters["ticks"] = static_cast<double>(ticks);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * ticks);
}

void BM_TicksOf2048(benchmark::State& state) {
  const TickPlan plan = PlanFor(state);
  for (auto _ : state) {
    int64_t sum = 0;
    plan.ForEachTick(kScale, [&](const Tick& t) { sum += t.Offset + t.Level; });
    benchmark::DoNotOptimize(sum);
  }
  CountTicks(state, plan);
}
BENCHMARK(BM_TicksOf2048)->ArgName("unit")->Arg(0)->Arg(1);

void BM_TicksAndNumbersOf2048(benchmark::State& state) {
  const TickPlan plan = PlanFor(state);
  TickNumberBuffer buffer;
  for (auto _ : state) {
    int64_t sum = 0;
    plan.ForEachTick(kScale, [&](const Tick& t) {
      sum += t.Offset;
      if (t.Level != Tick5) sum += static_cast<int64_t>(plan.Number(t, buffer).size());
    });
    benchmark::DoNotOptimize(sum);
  }
  CountTicks(state, plan);
}
BENCHMARK(BM_TicksAndNumbersOf2048)->ArgName("unit")->Arg(0)->Arg(1);

// For scale: the pixel loop as the renderer runs it, offsets and levels only.
void BM_RenderersPixelLoopOf2048(benchmark::State& state) {
  for (auto _ : state) {
    int64_t sum = 0;
    const int64_t q = (kScale - 1) / 5;
    for (int64_t t = 0; t <= q; ++t) {
      const TickLevel level = t % 20 == 0   ? Tick100
                              : t % 10 == 0 ? Tick50
                              : t % 2 == 0  ? Tick10
                                            : Tick5;
      sum += 5 * t + level;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * ((kScale - 1) / 5 + 1));
}
BENCHMARK(BM_RenderersPixelLoopOf2048);

}  // namespace
