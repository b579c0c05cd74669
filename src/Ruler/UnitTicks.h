#pragma once
// A ruler's graduation in any unit: where its ticks stand, at which of the
// four levels, and the numbers they carry.
//
// The levels keep their meaning from coarse to fine in every unit: px 100, 50,
// 10 and 5 pixels; mm and cm 10, 5, 1 and 0.5 mm; in 1, 1/2, 1/8 and 1/16
// inch; pt 100, 50, 10 and 5 points; an own unit 10^k times 1, 1/2, 1/10 and
// 1/20 of it. Every tick stands at the pixel nearest its exact place, worked
// out from its index alone, so nothing drifts along a long ruler.

#include <array>
#include <cstdint>
#include <string_view>

#include "Ruler/RulerSettings.h"
#include "Ruler/Units.h"

namespace vr {

struct Tick {
  int64_t Index = 0;   // counted in the unit's finest steps (a Tick5 step) from zero
  int64_t Offset = 0;  // pixels from the zero tick
  TickLevel Level = Tick100;
};

// Room for any tick's number.
using TickNumberBuffer = std::array<char, 32>;

class TickPlan {
 public:
  // Ticks closer than this merge into a grey smear: their level is left out.
  static constexpr double kMinTickSpacing = 3;
  // No tick is looked for farther from zero than this, whatever is asked.
  static constexpr int64_t kMaxTickOffset = int64_t{1} << 40;

  explicit TickPlan(const UnitScale& unit);

  // Pixels between neighbouring places of a level (a level's ticks and the
  // coarser ones among them).
  double Spacing(TickLevel level) const { return Spacing_[level]; }
  // Whether the level's ticks stand far enough apart to be drawn at all.
  bool Shows(TickLevel level) const { return Spacing_[level] >= kMinTickSpacing; }

  // The pixel nearest the exact place of the tick with this index.
  int64_t OffsetOf(int64_t index) const { return RoundUp(static_cast<double>(index) * Step_); }

  // Calls visit(const Tick&) for every tick, in increasing order: the zero
  // tick, and each further one whose offset is below `scale`. Levels left out
  // are not visited.
  template <class Visit>
  void ForEachTick(int64_t scale, Visit&& visit) const {
    ForEachTick(scale, 0, kMaxTickOffset, Tick5, visit);
  }
  // The same, only the ticks with offsets from `first` to `last` and of the
  // levels from Tick100 down to `finest`.
  template <class Visit>
  void ForEachTick(int64_t scale, int64_t first, int64_t last, TickLevel finest,
                   Visit&& visit) const;

  // A tick's number, written into `buffer`: the value on a Tick100 ("0", "10",
  // "20" in mm); on the finer levels of decimal steps the one digit of the
  // Tick10 at or below the tick within its Tick100 ("5" on a Tick50); nothing
  // on the finer levels of inches.
  std::string_view Number(const Tick& tick, TickNumberBuffer& buffer) const;

 private:
  struct IndexRange {
    int64_t First = 0;
    int64_t Last = -1;
    int64_t Stride = 1;
  };
  IndexRange IndicesWithin(int64_t scale, int64_t first, int64_t last, TickLevel finest) const;

  // Round half up, for the non-negative offsets of ticks. A place that is
  // exactly half a pixel (10 inches at 141.95 per inch: 1419.5) may come out
  // of the multiplication a hair below the half; it is the tie it was meant
  // to be.
  static constexpr double kTieTolerance = 1e-9;
  static int64_t RoundUp(double value) {
    const auto whole = static_cast<int64_t>(value);
    return whole + (value - static_cast<double>(whole) >= 0.5 - kTieTolerance ? 1 : 0);
  }

  double Step_ = 0;          // pixels per finest step
  int Period_ = 20;          // finest steps per Tick100: 20, or 16 in inches
  int Exponent_ = 2;         // a Tick100 is 10^Exponent_ of the unit
  bool FineNumbers_ = true;  // decimal steps: the finer levels carry a digit
  std::array<double, kTickLevels> Spacing_{};
  std::array<TickLevel, 20> LevelAt_{};  // by the index's place within its Tick100
};

template <class Visit>
void TickPlan::ForEachTick(int64_t scale, int64_t first, int64_t last, TickLevel finest,
                           Visit&& visit) const {
  const IndexRange range = IndicesWithin(scale, first, last, finest);
  const auto period = static_cast<int64_t>(Period_);
  int64_t place = range.First % period;
  Tick tick;
  for (int64_t n = range.First; n <= range.Last; n += range.Stride) {
    tick.Index = n;
    tick.Offset = OffsetOf(n);
    tick.Level = LevelAt_[static_cast<size_t>(place)];
    visit(static_cast<const Tick&>(tick));
    place += range.Stride;
    if (place >= period) place -= period;
  }
}

}  // namespace vr
