#pragma once
// What the program asks about the screen: its size and monitors, where the
// pointer is, its density, its colours and its fonts.

#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"

namespace vr {

// Windows and controls paint in the desktop's system colours unless given
// one; colour values with the top bit set name a system colour by index.
inline constexpr TColor kDefaultColor = 0x1FFFFFFF;
inline constexpr TColor kSysColorFlag = 0x80000000;
inline constexpr TColor clWindowText = kSysColorFlag | 8;

class Screen {
 public:
  virtual ~Screen() = default;
  virtual Point PrimaryDisplaySize() const = 0;
  // Every monitor, the primary one first.
  virtual std::vector<MonitorArea> Monitors() const = 0;
  virtual Point CursorPos() const = 0;
  virtual int PixelsPerInch() const = 0;
  // Dots per inch of the monitor at a screen point: menus scale their pictures.
  virtual int DpiAt(Point screen) const = 0;
  virtual TColor SysColor(int index) const = 0;
  // Screen font families in any character set, each once, in no order.
  virtual std::vector<std::string> ScreenFontFamilies() const = 0;
};

}  // namespace vr
