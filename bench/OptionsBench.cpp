// How fast the Options window opens on a machine with many fonts, and how
// fast it follows the active ruler and a keystroke in its Scale box.
#include <benchmark/benchmark.h>

#include "Options/OptionsForm.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

using namespace vr;

struct OptionsProgram {
  headless::HeadlessPlatform os;
  std::unique_ptr<TProgram> program;
  explicit OptionsProgram(int fontFamilies) {
    os.FontFamilies.clear();
    // Names in no order, a few of them twice, as the font enumeration gives them.
    for (int i = 0; i < fontFamilies; ++i)
      os.FontFamilies.push_back("Family " + std::to_string((i * 7919) % fontFamilies));
    program = StartProgram(os);
    program->RulerForms[0]->Show();
  }
  TOptionsForm& Options() { return *program->OptionsForm; }
};

void BM_OptionsFormCreateWith1000Fonts(benchmark::State& state) {
  OptionsProgram p(1000);
  for (auto _ : state) {
    TOptionsForm form(p.program->Application, p.program->RulerForms, *p.program->DM,
                      p.program->ProgramOptions);
    benchmark::DoNotOptimize(&form);
  }
}
BENCHMARK(BM_OptionsFormCreateWith1000Fonts)->Unit(benchmark::kMicrosecond);

void BM_RefreshFromRuler(benchmark::State& state) {
  OptionsProgram p(1000);
  p.Options().Show();
  for (auto _ : state) p.Options().RefreshFromRuler();
}
BENCHMARK(BM_RefreshFromRuler)->Unit(benchmark::kMicrosecond);

// One keystroke in Scale at 2048: the ruler's new layout and picture, and the
// window reloaded from it.
void BM_ScaleKeystrokeAt2048(benchmark::State& state) {
  OptionsProgram p(100);
  p.Options().Show();
  p.program->RulerForms[0]->SetFocus();
  auto& box = *p.os.Find(p.Options())->Find(p.Options().ScaleComboBox);
  int n = 0;
  for (auto _ : state) box.UserSetText(++n % 2 ? "2048" : "2047");
}
BENCHMARK(BM_ScaleKeystrokeAt2048)->Unit(benchmark::kMicrosecond);

}  // namespace
