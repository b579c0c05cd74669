#pragma once
// Drawing a ruler's picture: colour mixing, the speckled body, the bevel and
// the graduation in four orientations.

#include <functional>
#include <string>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "platform/TextMaskCache.h"

namespace vr {

class TRulerForm;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

// Colours with the top bit set name a system colour by their low byte. The
// resolver is the running platform's; without one they resolve to black.
void SetSystemColorSource(std::function<TColor(int index)> source);
TColor ColorToRGB(TColor color);

// Mixes `from` toward `to` by `percent` per cent, per channel, rounding ties to even.
TColor BlendColor(TColor from, TColor to, double percent);
void ShadeRow(Image& image, int64_t y, int64_t xFirst, int64_t xEnd, TColor color, double percent);
void ShadeColumn(Image& image, int64_t x, int64_t yFirst, int64_t yEnd, TColor color,
                 double percent);

// Character height in pixels of a point size on a screen of this density.
int FontPixelHeight(int32_t points, int pixelsPerInch);
// The height a ruler's numbers are drawn at: the point size, but never more
// than 96 pixels (72 points on a 96-dpi screen) nor more than the ruler's breadth.
int LabelPixelHeight(int32_t points, int pixelsPerInch, int64_t breadth);

// Draws an upright text turned by 0, 90, 180 or 270 degrees counter-clockwise
// about its cell's top-left corner (x, y), in one colour. Returns how many
// picture pixels its ink covered.
int64_t DrawTurnedText(Image& image, const InkedText& text, int64_t x, int64_t y, int angle,
                       TColor color);
int64_t DrawTurnedText(Image& image, const TextMask& mask, int64_t x, int64_t y, int angle,
                       TColor color);

// Rebuilds the ruler's picture from its settings and shows it.
void RenderRuler(TRulerForm& ruler);

}  // namespace vr
