#pragma once
// Drawing a ruler's picture: colour mixing, the speckled body, the bevel and
// the graduation in four orientations.

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "Ruler/RulerSettings.h"
#include "Ruler/Units.h"
#include "platform/Image.h"
#include "platform/Platform.h"
#include "platform/TextMaskCache.h"

namespace vr {

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

// Colours with the top bit set name a system colour by their low byte: the
// screen's current value for it.
TColor ColorToRGB(TColor color, const Screen& screen);

// Mixes `from` toward `to` by `percent` per cent, per channel, rounding ties
// to even; system colours mix by the screen's current value for them.
TColor BlendColor(TColor from, TColor to, double percent, const Screen& screen);
// The same for colours that are plain RGB values.
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

// The font a ruler's numbers are drawn in: the window font's face and colour,
// and the screen density that turns the levels' point sizes into pixels.
struct RulerFont {
  std::string Face;
  TColor Color = clBlack;
  int PixelsPerInch = 96;
};

// The font the numbers are drawn in, as last made for a tick.
struct TLabelFont {
  std::string Face;
  int PixelHeight = 0;
  int Angle = 0;  // degrees counter-clockwise: 0, 90, 180 or 270
};

// The work of a render: ticks looked at, numbers drawn, and the picture
// pixels those numbers covered.
struct TRenderWork {
  int64_t TicksVisited = 0;
  int64_t LabelsDrawn = 0;
  int64_t LabelPixels = 0;
};

// What a render makes: the body colour (`BaseColor` after `Luminosity`), the
// speckle tile, the whole picture, the last label font and the work it took.
struct RulerPicture {
  TColor Color = 0;
  Image NoiseTile;
  Image Picture;
  TLabelFont LabelFont;
  TRenderWork Work;
};

// The pseudo-random numbers of the body's speckle.
using SpeckleSource = std::mt19937;

// Draws a ruler of this size from its settings and font, with the numbers as
// the platform's text makes them (rasterised once, then kept in its cache)
// and the speckle from the ruler's own source (without one, from the start of
// the sequence). It only draws: the picture goes to whoever asked for it.
// The graduation is in the ruler's unit: in px as it has always been, in any
// other on the unit's own steps, where a level whose numbers would stand
// closer than they are tall keeps its ticks and leaves its numbers out.
RulerPicture RenderRuler(const RulerSettings& settings, const RulerFont& font, int32_t width,
                         int32_t height, Platform& text, SpeckleSource* speckle = nullptr,
                         const UnitScale& unit = {});

}  // namespace vr
