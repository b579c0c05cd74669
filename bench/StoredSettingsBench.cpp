// What one turn of a ruler costs with stored settings that once made it slow
// or huge: the time, and the work behind it (ticks visited, numbers drawn and
// their ink, text rasterised, bytes in the text cache, the process's peak).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "forms/Forms.h"
#include "platform/TextMaskCache.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

using namespace vr;

constexpr uint32_t kBig = 2147483647;
using Stored = std::vector<std::pair<const char*, uint32_t>>;

void BM_TurnWithStoredSettings(benchmark::State& state, const Stored& stored) {
  headless::HeadlessPlatform os;
  for (const auto& [name, value] : stored) os.Registry.PutInteger(SettingsKeyPath(0), name, value);
  {
    const std::unique_ptr<TProgram> program = StartProgram(os);
    TRulerForm& r = *program->RulerForms[0];
    r.Show();
    const int rasterised = os.TextRenders;
    for (auto _ : state) r.SetOrientation(static_cast<uint8_t>((r.Orientation() + 1) % 4));
    const TRenderWork& work = r.LastRenderWork();
    state.counters["ticks"] = static_cast<double>(work.TicksVisited);
    state.counters["labels"] = static_cast<double>(work.LabelsDrawn);
    state.counters["labelPx"] = static_cast<double>(work.LabelPixels);
    state.counters["textRenders"] =
        benchmark::Counter(os.TextRenders - rasterised, benchmark::Counter::kAvgIterations);
    state.counters["cacheMB"] = static_cast<double>(os.TextMasks().Bytes()) / (1 << 20);
    state.counters["picMB"] = r.LayoutWidth() * r.LayoutHeight() * 4.0 / (1 << 20);
  }
  // The whole process's peak: run one case alone to read it for that case.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peakMB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

BENCHMARK_CAPTURE(BM_TurnWithStoredSettings, Defaults, Stored{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TurnWithStoredSettings, HugeFontsScale8182Breadth1024,
                  Stored{{"Scale", 8182},
                         {"Breadth", 1024},
                         {"FontSize100", kBig},
                         {"FontSize50", kBig},
                         {"FontSize10", kBig},
                         {"FontSize5", kBig},
                         {"ShowNumber5", 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TurnWithStoredSettings, HugeScaleAndFont100RightToLeft,
                  Stored{{"Scale", kBig}, {"FontSize100", kBig}, {"Orientation", 2}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
