#include "Ruler/UnitTicks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vr {

namespace {

// 10^n, exact for the n used here.
double TenTo(int n) {
  double p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// The own unit's steps are 10^k times 1, 1/2, 1/10 and 1/20 of it, with the
// least k that puts its Tick10 ticks at least kMinTickSpacing apart: the
// finest graduation that still shows three levels, as millimetres do on an
// ordinary screen, and its numbers between 30 and 300 pixels apart.
int OwnExponent(double pixelsPerUnit) {
  constexpr int kLeast = -8;
  constexpr int kMost = 12;
  for (int k = kLeast; k < kMost; ++k) {
    const int j = k - 1;  // a Tick10 is 10^(k-1) of the unit
    const bool wide = j >= 0 ? pixelsPerUnit * TenTo(j) >= TickPlan::kMinTickSpacing
                             : pixelsPerUnit >= TickPlan::kMinTickSpacing * TenTo(-j);
    if (wide) return k;
  }
  return kMost;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

TickPlan::TickPlan(const UnitScale& unit) {
  const double ppu = unit.PixelsPerUnit;
  switch (unit.Unit) {
    case RulerUnit::Mm:
      Exponent_ = 1;
      break;
    case RulerUnit::Cm:
      Exponent_ = 0;
      break;
    case RulerUnit::In:
      Period_ = 16;
      Exponent_ = 0;
      FineNumbers_ = false;
      break;
    case RulerUnit::Own:
      Exponent_ = std::isfinite(ppu) && ppu > 0 ? OwnExponent(ppu) : 0;
      break;
    case RulerUnit::Px:
    case RulerUnit::Pt:
      break;
  }
  for (int place = 0; place < Period_; ++place) {
    LevelAt_[static_cast<size_t>(place)] = place == 0             ? Tick100
                                           : place == Period_ / 2 ? Tick50
                                           : place % 2 == 0       ? Tick10
                                                                  : Tick5;
  }
  // A unit of no size has no ticks at all.
  if (!std::isfinite(ppu) || ppu <= 0) return;
  // Worked out once, with one rounding where the step allows: the ticks'
  // places are then this times their index.
  Step_ = Exponent_ >= 0 ? ppu * TenTo(Exponent_) / Period_ : ppu / (Period_ * TenTo(-Exponent_));
  Spacing_ = {Step_ * Period_, Step_ * (Period_ / 2), Step_ * 2, Step_};
}

TickPlan::IndexRange TickPlan::IndicesWithin(int64_t scale, int64_t first, int64_t last,
                                             TickLevel finest) const {
  IndexRange none;
  int level = std::clamp<int>(finest, Tick100, Tick5);
  while (level >= Tick100 && !Shows(static_cast<TickLevel>(level))) --level;
  if (level < Tick100) return none;
  static_assert(Tick100 == 0 && Tick5 == 3);
  const std::array<int64_t, kTickLevels> strides{Period_, Period_ / 2, 2, 1};
  const int64_t stride = strides[static_cast<size_t>(level)];

  // The zero tick stands on every ruler, even one of no length, as with pixels.
  const int64_t lo = std::max<int64_t>(first, 0);
  const int64_t hi = std::min({last, scale > 0 ? scale - 1 : 0, kMaxTickOffset});
  if (lo > hi) return none;

  // Settled by the offsets themselves from two estimates: the tick a stride
  // before the one at lo / Step_ stands 3 pixels or more before lo, and the
  // one a stride past hi / Step_ 3 pixels or more past hi.
  auto alignedIndexBelow = [&](int64_t offset) {
    const auto n = static_cast<int64_t>(std::floor(static_cast<double>(offset) / Step_));
    return FloorDiv(n, stride) * stride;
  };
  IndexRange range;
  range.Stride = stride;
  range.First = std::max<int64_t>(alignedIndexBelow(lo), 0);
  while (OffsetOf(range.First) < lo) range.First += stride;
  range.Last = alignedIndexBelow(hi) + stride;
  while (range.Last >= range.First && OffsetOf(range.Last) > hi) range.Last -= stride;
  return range;
}

std::string_view TickPlan::Number(const Tick& tick, TickNumberBuffer& buffer) const {
  char* const begin = buffer.data();
  if (tick.Index < 0) return {};
  const int64_t place = tick.Index % Period_;
  if (place != 0) {
    if (!FineNumbers_) return {};
    buffer[0] = static_cast<char>('0' + place / 2);
    return {begin, 1};
  }
  const int64_t multiple = tick.Index / Period_;
  char* end = std::to_chars(begin, begin + buffer.size(), multiple).ptr;
  size_t length = static_cast<size_t>(end - begin);
  if (Exponent_ >= 0) {
    if (multiple != 0) {
      std::fill_n(end, Exponent_, '0');
      length += static_cast<size_t>(Exponent_);
    }
    return {begin, length};
  }
  // Fixed decimals: "0.0", "0.1", ..., "1.0" for tenths.
  const auto decimals = static_cast<size_t>(-Exponent_);
  if (length <= decimals) {
    const size_t pad = decimals + 1 - length;
    std::copy_backward(begin, begin + length, begin + length + pad);
    std::fill_n(begin, pad, '0');
    length += pad;
  }
  std::copy_backward(begin + length - decimals, begin + length, begin + length + 1);
  buffer[length - decimals] = '.';
  return {begin, length + 1};
}

}  // namespace vr
