#pragma once
// Points and rectangles in pixels, and the monitors of the desktop.

#include <cstdint>
#include <optional>
#include <string>

namespace vr {

struct Point {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const Point&) const = default;
};

// Left/top and size, as a window's bounds or a region in window coordinates.
struct Rect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const Rect&) const = default;
};

// One monitor of the desktop: its whole screen, and its work area (the screen
// less the task bar and other docked bars), in screen pixels; what names it
// whatever place it takes beside the others; its density as dialogs scale to
// it (96 at 100 %), and the density of its glass as the system knows it, if
// it does.
struct MonitorArea {
  Rect Bounds;
  Rect WorkArea;
  std::string Id{};
  int Dpi = 96;
  std::optional<double> PhysicalDpi{};
  bool operator==(const MonitorArea&) const = default;
};

}  // namespace vr
