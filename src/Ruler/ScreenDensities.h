#pragma once
// How dense the screen under a ruler is: the user's calibration of the
// monitor that holds the ruler's centre, else the density the system reports
// for that monitor's glass, else its logical one (96 per inch at 100 %).

#include <map>
#include <optional>
#include <string>

#include "Ruler/Units.h"
#include "platform/Platform.h"

namespace vr {

// Each monitor's calibration is kept under the program's key, by the name the
// monitor keeps when the monitors are arranged anew.
inline constexpr const char* kCalibrationKeyPath = "SOFTWARE\\Vantori\\Rulers\\Calibration\\";

class TScreenDensities {
 public:
  explicit TScreenDensities(Platform& os) : Os_(os) {}

  struct Under {
    MonitorArea Monitor;
    ScreenDensity Density;
  };
  // The monitor that holds the point, or the nearest one, and its density.
  Under At(Point screen);
  ScreenDensity DensityOf(const MonitorArea& monitor);

  // The user's calibration of the monitor, at once and for later runs; the
  // system's density again. false when the store refused: the monitor then
  // keeps its calibration for this run all the same.
  bool Calibrate(const MonitorArea& monitor, double pixelsPerMm);
  bool ForgetCalibration(const MonitorArea& monitor);

 private:
  std::optional<double> Calibration(const std::string& id);
  static std::string ValueName(const MonitorArea& monitor);
  Platform& Os_;
  // As read from the store or set in this run, by value name; nullopt: none.
  std::map<std::string, std::optional<double>> Known_;
};

}  // namespace vr
