#include "Ruler/RulerPlacement.h"

#include <algorithm>
#include <limits>

namespace vr {

namespace {

// Edges in 64 bits: a centre at the end of the 32-bit range puts an edge
// beyond it.
struct Span {
  int64_t Low = 0;
  int64_t High = 0;  // one past the last pixel
};

// The gap between two spans along one axis; 0 when they overlap or touch.
int64_t Gap(const Span& a, const Span& b) {
  return std::max<int64_t>({0, b.Low - a.High, a.Low - b.High});
}

bool Overlap(const Span& a, const Span& b) { return a.Low < b.High && b.Low < a.High; }

// Moves a span as little as it takes to lie inside another; one that is
// longer than the other starts where the other starts.
int64_t FitLow(const Span& s, const Span& area) {
  const int64_t length = s.High - s.Low;
  return std::max(area.Low, std::min(s.Low, area.High - length));
}

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A rectangle's extent along each axis; false for an empty one.
bool Spans(const Rect& r, Span& x, Span& y) {
  if (r.Width <= 0 || r.Height <= 0) return false;
  x = {r.Left, int64_t{r.Left} + r.Width};
  y = {r.Top, int64_t{r.Top} + r.Height};
  return true;
}

}  // namespace

std::optional<Point> RescuedCenterPoint(Point center, int32_t width, int32_t height,
                                        const std::vector<MonitorArea>& monitors) {
  const int64_t w = std::max(width, 1);
  const int64_t h = std::max(height, 1);
  // The window's placement rule: left = centre - width div 2.
  const Span x{int64_t{center.X} - w / 2, int64_t{center.X} - w / 2 + w};
  const Span y{int64_t{center.Y} - h / 2, int64_t{center.Y} - h / 2 + h};

  // Any pixel on a screen, the task bar's included, can be seen and grabbed.
  for (const MonitorArea& m : monitors) {
    Span sx, sy;
    if (Spans(m.Bounds, sx, sy) && Overlap(x, sx) && Overlap(y, sy)) return std::nullopt;
  }

  // Lost: back into the nearest work area, clear of the task bar.
  bool found = false;
  Span nx, ny;
  // Squared distances reach 2^68 at the range's ends; a double orders them
  // well enough, and ties go to the earlier area, the primary one first.
  double nearestDistance = 0;
  for (const MonitorArea& m : monitors) {
    Span ax, ay;
    if (!Spans(m.WorkArea, ax, ay)) continue;
    const auto dx = static_cast<double>(Gap(x, ax));
    const auto dy = static_cast<double>(Gap(y, ay));
    const double distance = dx * dx + dy * dy;
    if (!found || distance < nearestDistance) {
      found = true;
      nx = ax;
      ny = ay;
      nearestDistance = distance;
    }
  }
  if (!found) return std::nullopt;
  return Point{Saturate(FitLow(x, nx) + w / 2), Saturate(FitLow(y, ny) + h / 2)};
}

}  // namespace vr
