#pragma once
// Reading a ruler exactly: the offset a point has along it, the marks a user
// sets on it, and the measurement that Ctrl+C copies.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Ruler/RulerSettings.h"
#include "Ruler/Units.h"
#include "platform/Platform.h"

namespace vr {

// A ruler's scale as it lies in its window. Offsets are what the ticks show:
// counted from the zero tick in the ruler's reading direction, so a "Right to
// Left" or "Bottom to Top" ruler counts from the zero at its far end. Over the
// margins they go on past both ends: below zero before the zero tick, above
// the scale after its end, so that every pixel of the window reads a true distance.
struct RulerAxis {
  uint8_t Orientation = LeftToRight;
  int64_t LeftMargin = 0;
  int64_t Scale = 0;
  int32_t Width = 0;  // the window's, as laid out
  int32_t Height = 0;

  // Anything but the four known orientations reads as the first, as it is drawn.
  static RulerAxis Of(const RulerSettings& settings, int32_t width, int32_t height);

  bool Vertical() const { return Orientation == TopToBottom || Orientation == BottomToTop; }
  bool Reversed() const { return Orientation == RightToLeft || Orientation == BottomToTop; }
  int32_t Length() const { return Vertical() ? Height : Width; }
  int32_t Breadth() const { return Vertical() ? Width : Height; }

  // The offset at a window column (or row, standing) along the ruler, and back.
  int64_t OffsetAt(int64_t along) const {
    return Reversed() ? LeftMargin + Scale - along : along - LeftMargin;
  }
  int64_t AlongAt(int64_t offset) const {
    return Reversed() ? LeftMargin + Scale - offset : LeftMargin + offset;
  }
  // The offset of a point in window coordinates; nullopt off the window.
  std::optional<int64_t> OffsetOf(Point window) const;
  // The offset at the point's place along the ruler, beside it or on it;
  // nullopt past either end of the window.
  std::optional<int64_t> OffsetAlong(Point window) const;
  // The least and greatest offsets the window shows.
  int64_t FirstOffset() const;
  int64_t LastOffset() const;
};

// The marks on one ruler, as offsets, so that they move and turn with it.
class RulerMarks {
 public:
  static constexpr size_t kMaxMarks = 16;
  // A double-click this close to a mark takes it away instead.
  static constexpr int64_t kReach = 2;

  enum class Toggled { Added, Removed, Full };
  // A mark at the offset, or, when one lies within kReach, the nearest one
  // taken away. A ruler that has kMaxMarks takes no more.
  Toggled Toggle(int64_t offset);
  void Clear() { Offsets_.clear(); }
  // Marks left off the window after its scale or margins changed go: a mark
  // the user can't see would still count in what Ctrl+C copies.
  void KeepWithin(int64_t first, int64_t last);

  bool Empty() const { return Offsets_.empty(); }
  size_t Count() const { return Offsets_.size(); }
  // Ascending.
  const std::vector<int64_t>& Offsets() const { return Offsets_; }

 private:
  std::vector<int64_t> Offsets_;
};

// Of ascending offsets, the one nearest the offset (the lower of two as
// near); nullopt when there are none.
std::optional<int64_t> NearestOffset(const std::vector<int64_t>& ascending, int64_t offset);

// "245 px".
std::string PixelText(int64_t pixels);
// What Ctrl+C copies, in the ruler's unit: the distance from the first mark to
// the last, the one mark's offset, or with no marks the ruler's scale.
// "245 px", "64.8 mm", "4.00 m", a bare "250".
std::string MeasurementText(const RulerMarks& marks, int64_t scale, const UnitScale& unit = {});

}  // namespace vr
