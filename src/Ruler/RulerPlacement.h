#pragma once
// Keeping rulers where the user can reach them.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace vr {

// A window of this size around this centre that lies wholly outside every
// monitor's screen (a monitor unplugged since it was placed, a hand-edited
// store) can't be seen, clicked or closed. Returns the centre that puts it
// inside the work area nearest to it, moved as little as it takes; where the
// window is wider or taller than that work area, its left or top edge goes to
// the area's. nullopt when any part of it is on a screen: a ruler partly on a
// screen, or parked over the task bar to measure it, stays exactly where the
// user put it. Empty screens and work areas don't count.
std::optional<Point> RescuedCenterPoint(Point center, int32_t width, int32_t height,
                                        const std::vector<MonitorArea>& monitors);

}  // namespace vr
