// How long start-up takes on a machine with 1,000 font families, up to ruler 0
// shown, on the headless platform; and what the Options window's first showing
// costs there, now that the font list waits for it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "Options/OptionsForm.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

using namespace vr;

void ManyFonts(headless::HeadlessPlatform& os, int families) {
  os.FontFamilies.clear();
  // Names in no order, a few of them twice, as the font enumeration gives them.
  for (int i = 0; i < families; ++i)
    os.FontFamilies.push_back("Family " + std::to_string((i * 7919) % families));
}

// Start-up in the program's order, up to ruler 0 shown as the loop's start shows it.
std::unique_ptr<TProgram> StartUp(headless::HeadlessPlatform& os) {
  auto program = StartProgram(os);
  program->RulerForms[0]->Show();
  return program;
}

void BM_StartupWith1000FontFamilies(benchmark::State& state) {
  headless::HeadlessPlatform os;
  ManyFonts(os, 1000);
  for (auto _ : state) {
    auto program = StartUp(os);
    benchmark::DoNotOptimize(program.get());
    state.PauseTiming();
    program.reset();
    state.ResumeTiming();
  }
  state.counters["font queries"] =
      benchmark::Counter(os.FontFamilyQueries, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartupWith1000FontFamilies)->Unit(benchmark::kMicrosecond);

void BM_OptionsFirstShowingWith1000FontFamilies(benchmark::State& state) {
  headless::HeadlessPlatform os;
  ManyFonts(os, 1000);
  for (auto _ : state) {
    state.PauseTiming();
    auto program = StartUp(os);
    state.ResumeTiming();
    program->OptionsForm->Show();
    state.PauseTiming();
    program.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OptionsFirstShowingWith1000FontFamilies)->Unit(benchmark::kMicrosecond);

}  // namespace
