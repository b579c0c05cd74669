// How long start-up takes on a machine with 1,000 font families, up to ruler 0
// shown, on the headless platform; and what the Options window's first showing
// costs there, now that the font list waits for it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "Options/OptionsForm.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Startup.h"
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
std::unique_ptr<TApplication> StartUp(headless::HeadlessPlatform& os) {
  auto app = std::make_unique<TApplication>(os);
  app->SetTitle("Vantori Rulers");
  SetProgramIcon(*app);
  CreateCommandModule(*app);
  app->CreateForm(RulerForms[0]);
  CreateOptionsWindow(*app);
  RulerForms[0]->Show();
  return app;
}

void End(std::unique_ptr<TApplication>& app) {
  app.reset();
  ForgetProgram();
}

void BM_StartupWith1000FontFamilies(benchmark::State& state) {
  headless::HeadlessPlatform os;
  ManyFonts(os, 1000);
  SetSystemColorSource([&os](int index) { return os.SysColor(index); });
  for (auto _ : state) {
    auto app = StartUp(os);
    benchmark::DoNotOptimize(app.get());
    state.PauseTiming();
    End(app);
    state.ResumeTiming();
  }
  SetSystemColorSource(nullptr);
  state.counters["font queries"] =
      benchmark::Counter(os.FontFamilyQueries, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartupWith1000FontFamilies)->Unit(benchmark::kMicrosecond);

void BM_OptionsFirstShowingWith1000FontFamilies(benchmark::State& state) {
  headless::HeadlessPlatform os;
  ManyFonts(os, 1000);
  SetSystemColorSource([&os](int index) { return os.SysColor(index); });
  for (auto _ : state) {
    state.PauseTiming();
    auto app = StartUp(os);
    state.ResumeTiming();
    OptionsForm->Show();
    state.PauseTiming();
    End(app);
    state.ResumeTiming();
  }
  SetSystemColorSource(nullptr);
}
BENCHMARK(BM_OptionsFirstShowingWith1000FontFamilies)->Unit(benchmark::kMicrosecond);

}  // namespace
