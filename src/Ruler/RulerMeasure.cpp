#include "Ruler/RulerMeasure.h"

#include <algorithm>

namespace vr {

RulerAxis RulerAxis::Of(const RulerSettings& s, int32_t width, int32_t height) {
  RulerAxis a;
  a.Orientation = s.Orientation <= BottomToTop ? s.Orientation : uint8_t{LeftToRight};
  a.LeftMargin = s.LeftMargin;
  a.Scale = s.Scale;
  a.Width = std::max(width, 0);
  a.Height = std::max(height, 0);
  return a;
}

std::optional<int64_t> RulerAxis::OffsetOf(Point w) const {
  if (w.X < 0 || w.Y < 0 || w.X >= Width || w.Y >= Height) return std::nullopt;
  return OffsetAt(Vertical() ? w.Y : w.X);
}

std::optional<int64_t> RulerAxis::OffsetAlong(Point w) const {
  const int64_t along = Vertical() ? w.Y : w.X;
  if (along < 0 || along >= Length()) return std::nullopt;
  return OffsetAt(along);
}

int64_t RulerAxis::FirstOffset() const {
  return std::min(OffsetAt(0), OffsetAt(static_cast<int64_t>(Length()) - 1));
}

int64_t RulerAxis::LastOffset() const {
  return std::max(OffsetAt(0), OffsetAt(static_cast<int64_t>(Length()) - 1));
}

RulerMarks::Toggled RulerMarks::Toggle(int64_t offset) {
  if (const auto nearest = NearestOffset(Offsets_, offset);
      nearest && *nearest - offset <= kReach && offset - *nearest <= kReach) {
    Offsets_.erase(std::find(Offsets_.begin(), Offsets_.end(), *nearest));
    return Toggled::Removed;
  }
  if (Offsets_.size() >= kMaxMarks) return Toggled::Full;
  Offsets_.insert(std::upper_bound(Offsets_.begin(), Offsets_.end(), offset), offset);
  return Toggled::Added;
}

void RulerMarks::KeepWithin(int64_t first, int64_t last) {
  std::erase_if(Offsets_, [&](int64_t m) { return m < first || m > last; });
}

std::optional<int64_t> NearestOffset(const std::vector<int64_t>& ascending, int64_t offset) {
  if (ascending.empty()) return std::nullopt;
  const auto above = std::lower_bound(ascending.begin(), ascending.end(), offset);
  if (above == ascending.end()) return ascending.back();
  if (above == ascending.begin()) return *above;
  const int64_t below = *(above - 1);
  return offset - below <= *above - offset ? below : *above;
}

std::string PixelText(int64_t pixels) { return std::to_string(pixels) + " px"; }

std::string MeasurementText(const RulerMarks& marks, int64_t scale, const UnitScale& unit) {
  const auto& m = marks.Offsets();
  if (m.size() >= 2) return LengthText(m.back() - m.front(), unit);
  if (m.size() == 1) return LengthText(m.front(), unit);
  return LengthText(scale, unit);
}

}  // namespace vr
