#pragma once
// What is drawn over a ruler's picture: the pointer's hairline and its label,
// the marks, their offsets and the distances between them. None of it is part
// of the picture: it is laid over a copy of it, and when it changes only the
// areas that look different are drawn again and shown, so that moving the
// pointer never renders the ruler.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Ruler/RulerMeasure.h"
#include "Ruler/Units.h"
#include "platform/Image.h"
#include "platform/Platform.h"

namespace vr {

// What the overlay shows: the pointer's offset while it is over the ruler,
// the marks (ascending offsets), and the unit every label reads in.
struct OverlayState {
  std::optional<int64_t> Pointer;
  std::vector<int64_t> Marks;
  UnitScale Unit = {};
  bool operator==(const OverlayState&) const = default;
};

// The overlay's colours and label font, chosen for the ruler's body colour so
// that lines and labels stand out on every colour and luminosity.
struct OverlayLook {
  TColor Hairline = 0;  // black on light rulers, white on dark ones
  TColor Mark = 0;      // a strong colour far from the body's
  TColor MarkInk = 0;   // text on a mark's label, which has the mark's colour
  TColor Plate = 0;     // the pointer's and the distances' labels: a plate of
  TColor Ink = 0;       // the body's opposite lightness, and text on it
  std::string Face;
  int LabelPixels = 0;  // 0: the ruler is too narrow for readable labels, lines only
  bool operator==(const OverlayLook&) const = default;
};

// The labels' preferred size: 8 points, as small as reads well beside the
// ruler's own numbers. Narrower rulers get smaller labels, down to the least.
inline constexpr int32_t kOverlayLabelPoints = 8;
inline constexpr int kMinOverlayLabelPixels = 7;

OverlayLook OverlayLookFor(TColor body, const std::string& face, int pixelsPerInch, int32_t breadth,
                           Platform& text);

// One thing drawn over the picture, in window pixels: a one-pixel line across
// the ruler, or a label (a plate with its text, drawn once into Picture).
struct OverlayItem {
  Rect Bounds;
  TColor Fill = 0;   // the line's colour, or the label's plate
  TColor Ink = 0;    // the label's text
  std::string Text;  // empty for a line
  int Angle = 0;     // degrees counter-clockwise the label's text is turned
  std::shared_ptr<const Image> Picture;

  // Looks the same in the same place.
  bool SameAs(const OverlayItem& o) const {
    return Bounds == o.Bounds && Fill == o.Fill && Ink == o.Ink && Text == o.Text &&
           Angle == o.Angle;
  }
};

// The pointer's label in the unit, longest first: its offset, and with marks
// its distance from the nearest one, then shorter texts to try where the
// longer ones do not fit. "245 px (145 from mark)", "245 (145)", "245".
std::vector<std::string> PointerLabelTexts(int64_t offset, std::optional<int64_t> nearestMark,
                                           const UnitScale& unit = {});

// The items in drawing order: marks' lines, distances between neighbouring
// marks, the marks' offsets, then the pointer's hairline and label on top.
// The pointer's label keeps clear of the others: it goes to the other side of
// its hairline, else shortens, and only where nothing is clear covers one.
// Labels of `earlier` that are unchanged are reused, not drawn again.
std::vector<OverlayItem> LayOutOverlay(const RulerAxis& axis, const OverlayState& state,
                                       const OverlayLook& look, Platform& text,
                                       std::span<const OverlayItem> earlier = {});

// The areas that look different between two layouts: the items only one of
// them has, those that touch or overlap merged.
std::vector<Rect> DirtyRects(std::span<const OverlayItem> before,
                             std::span<const OverlayItem> after);

// Within `area`, `out` becomes the picture with the items over it.
void ComposeOverlay(Image& out, const Image& picture, const std::vector<OverlayItem>& items,
                    const Rect& area);

// One ruler's overlay and the picture it shows with it.
class TRulerOverlay {
 public:
  // After a render, layout or new look: laid out and drawn anew over the new
  // picture, which is then shown whole.
  void Reset(const Image& picture, const RulerAxis& axis, const OverlayLook& look,
             const OverlayState& state, Platform& text);
  // A new state over the same picture; returns the areas to show again.
  std::vector<Rect> Update(const Image& picture, const OverlayState& state, Platform& text);

  // What the window shows: the picture itself while nothing lies over it.
  const Image& Shown(const Image& picture) const { return Items_.empty() ? picture : Composed_; }
  const OverlayState& State() const { return State_; }
  const OverlayLook& Look() const { return Look_; }
  const std::vector<OverlayItem>& Items() const { return Items_; }

 private:
  RulerAxis Axis_;
  OverlayLook Look_;
  OverlayState State_;
  std::vector<OverlayItem> Items_;
  size_t MarkItems_ = 0;          // the marks' items come first, the pointer's after them
  std::vector<Rect> MarkLabels_;  // where the marks' labels lie, for the pointer's to keep clear
  // Only while something lies over the picture: a long, broad ruler's copy is large.
  Image Composed_;
};

}  // namespace vr
