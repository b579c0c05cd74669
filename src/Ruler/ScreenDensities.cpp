#include "Ruler/ScreenDensities.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace vr {

namespace {

// How far a point lies outside a rectangle, squared; 0 inside. In a double:
// a monitor far out on a desktop of 32-bit coordinates squares past 64 bits.
double DistanceSquared(const Rect& r, Point p) {
  auto axis = [](int64_t v, int64_t lo, int64_t length) -> int64_t {
    if (v < lo) return lo - v;
    if (v >= lo + length) return v - (lo + length - 1);
    return 0;
  };
  const auto dx = static_cast<double>(axis(p.X, r.Left, r.Width));
  const auto dy = static_cast<double>(axis(p.Y, r.Top, r.Height));
  return dx * dx + dy * dy;
}

}  // namespace

std::string TScreenDensities::ValueName(const MonitorArea& monitor) {
  // A value with no name is the key's default one: never a monitor's.
  return monitor.Id.empty() ? std::string("Monitor") : monitor.Id;
}

std::optional<double> TScreenDensities::Calibration(const std::string& name) {
  if (const auto known = Known_.find(name); known != Known_.end()) return known->second;
  std::optional<double> stored;
  if (const auto key = Os_.Store().Open(kCalibrationKeyPath, false)) {
    if (const auto v = key->Read(name); v && v->Kind == StoreKind::Text)
      stored = StoredPixelsPerMm(v->Text);
  }
  Known_[name] = stored;
  return stored;
}

ScreenDensity TScreenDensities::DensityOf(const MonitorArea& monitor) {
  MonitorDensity known;
  known.CalibratedPixelsPerMm = Calibration(ValueName(monitor));
  known.PhysicalPixelsPerInch = monitor.PhysicalDpi;
  known.LogicalPixelsPerInch = monitor.Dpi;
  return ChooseDensity(known);
}

TScreenDensities::Under TScreenDensities::At(Point screen) {
  const std::vector<MonitorArea> monitors = Os_.Monitors();
  MonitorArea nearest;
  double best = std::numeric_limits<double>::infinity();
  for (const MonitorArea& m : monitors) {
    const double d = DistanceSquared(m.Bounds, screen);
    if (d < best) {
      best = d;
      nearest = m;
    }
  }
  return {nearest, DensityOf(nearest)};
}

bool TScreenDensities::Calibrate(const MonitorArea& monitor, double pixelsPerMm) {
  if (!PlausiblePixelsPerMm(pixelsPerMm)) return false;
  const std::string name = ValueName(monitor);
  Known_[name] = pixelsPerMm;
  const auto key = Os_.Store().Open(kCalibrationKeyPath, true);
  return key && key->WriteText(name, StoredNumberText(pixelsPerMm));
}

bool TScreenDensities::ForgetCalibration(const MonitorArea& monitor) {
  const std::string name = ValueName(monitor);
  Known_[name] = std::nullopt;
  return DeleteStoredValue(Os_.Store(), kCalibrationKeyPath, name);
}

}  // namespace vr
