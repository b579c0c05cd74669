#include "Ruler/RulerRender.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>

#include "Ruler/UnitTicks.h"

namespace vr {

namespace {

// Uniform in [0, 1); never seeded from the clock: the speckle sequence is
// the same on every run.
double NextRandom(SpeckleSource& source) { return static_cast<double>(source() >> 8) / 16777216.0; }

constexpr int kTileSize = 32;
// A point size converts to at most this many pixels.
constexpr int kMaxFontPixels = 512;
// Numbers are drawn no taller than 72 points on a 96-dpi screen, at any
// density: larger ones would only cover each other, and drawing costs by the
// pixel.
constexpr int kMaxLabelPixels = 96;
// The longest number is a hundred's: ten digits at most, since 5t < 2^31.
constexpr int64_t kMaxLabelDigits = 10;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

TColor ColorToRGB(TColor color, const Screen& screen) {
  if ((color & kSysColorFlag) == 0) return color;
  return screen.SysColor(static_cast<int>(color & 0xFF));
}

TColor BlendColor(TColor from, TColor to, double percent, const Screen& screen) {
  return BlendColor(ColorToRGB(from, screen), ColorToRGB(to, screen), percent);
}

TColor BlendColor(TColor from, TColor to, double percent) {
  // A system colour that was not resolved mixes as black: never as a reference.
  const TColor f = (from & kSysColorFlag) ? 0 : from;
  const TColor t = (to & kSysColorFlag) ? 0 : to;
  if (!(percent > 0)) return f;
  // Resolved, so that a system colour never reaches a picture as a reference.
  if (f == t) return f;
  if (percent >= 100) return t;
  const double k = percent / 100.0;
  auto channel = [k](TColor a, TColor b, int shift) -> TColor {
    const double ca = static_cast<double>((a >> shift) & 0xFF);
    const double cb = static_cast<double>((b >> shift) & 0xFF);
    // nearbyint rounds ties to even in the default rounding mode.
    return static_cast<TColor>(std::nearbyint(ca + (cb - ca) * k)) << shift;
  };
  return channel(f, t, 0) | channel(f, t, 8) | channel(f, t, 16);
}

void ShadeRow(Image& image, int64_t y, int64_t xFirst, int64_t xEnd, TColor color, double percent) {
  if (y < 0 || y >= image.Height()) return;
  const int64_t lo = std::max<int64_t>(xFirst, 0);
  const int64_t hi = std::min<int64_t>(xEnd, image.Width());
  for (int64_t x = lo; x < hi; ++x)
    image.SetPixel(x, y, BlendColor(image.Pixel(x, y), color, percent));
}

void ShadeColumn(Image& image, int64_t x, int64_t yFirst, int64_t yEnd, TColor color,
                 double percent) {
  if (x < 0 || x >= image.Width()) return;
  const int64_t lo = std::max<int64_t>(yFirst, 0);
  const int64_t hi = std::min<int64_t>(yEnd, image.Height());
  for (int64_t y = lo; y < hi; ++y)
    image.SetPixel(x, y, BlendColor(image.Pixel(x, y), color, percent));
}

int FontPixelHeight(int32_t points, int pixelsPerInch) {
  const double px = std::round(static_cast<double>(points) * pixelsPerInch / 72.0);
  if (px < 1) return 0;
  return static_cast<int>(std::min<double>(px, kMaxFontPixels));
}

int LabelPixelHeight(int32_t points, int pixelsPerInch, int64_t breadth) {
  const int px = std::min(FontPixelHeight(points, pixelsPerInch), kMaxLabelPixels);
  return static_cast<int>(std::clamp<int64_t>(breadth, 0, px));
}

int64_t DrawTurnedText(Image& image, const InkedText& text, int64_t x, int64_t y, int angle,
                       TColor color) {
  // Mask pixel (i, j), i along the text and j down from the glyph tops, lands
  // at 0 degrees on (x + i, y + j), at 180 on (x - 1 - i, y - 1 - j), at 270 on
  // (x - 1 - j, y + i) and at 90 on (x + j, y - 1 - i). So a span of a mask
  // row (flat text) or column (standing text) is part of one picture row.
  const bool flat = angle != 90 && angle != 270;
  const bool down = angle != 180 && angle != 90;      // picture row y + line, else y - 1 - line
  const bool forward = angle != 180 && angle != 270;  // picture x grows along the span
  const InkedText::Lines& lines = flat ? text.Rows : text.Columns;
  const int64_t lineCount = static_cast<int64_t>(lines.FirstCoverage.size());
  const int64_t width = image.Width();
  TColor* pixels = image.Pixels().data();
  int64_t drawn = 0;
  for (int64_t k = 0; k < lineCount; ++k) {
    const int64_t py = down ? y + k : y - 1 - k;
    if (py < 0 || py >= image.Height()) continue;
    TColor* out = pixels + py * width;
    const uint8_t* coverage = lines.Coverage.data() + lines.FirstCoverage[k];
    for (uint32_t s = lines.First[k]; s < lines.First[k + 1]; ++s) {
      const InkedText::Span span = lines.Spans[s];
      const bool solid = (span.Length & InkedText::Span::kSolid) != 0;
      const int64_t length = span.Length & ~InkedText::Span::kSolid;
      // Span pixel n lands on picture x = start + n, or start - n going back.
      const int64_t start = forward ? x + span.Begin : x - 1 - span.Begin;
      const int64_t lo = std::max<int64_t>(forward ? start : start - length + 1, 0);
      const int64_t hi = std::min<int64_t>(forward ? start + length : start + 1, width);
      if (lo < hi) {
        drawn += hi - lo;
        if (solid) {
          std::fill(out + lo, out + hi, color);
        } else {
          for (int64_t px = lo; px < hi; ++px)
            out[px] = Image::Over(out[px], color, coverage[forward ? px - start : start - px]);
        }
      }
      if (!solid) coverage += length;
    }
  }
  return drawn;
}

int64_t DrawTurnedText(Image& image, const TextMask& mask, int64_t x, int64_t y, int angle,
                       TColor color) {
  return DrawTurnedText(image, InkedText(mask), x, y, angle, color);
}

RulerPicture RenderRuler(const RulerSettings& s, const RulerFont& font, int32_t width,
                         int32_t height, Platform& text, SpeckleSource* speckle,
                         const UnitScale& unit) {
  const int32_t W = width;
  const int32_t H = height;
  RulerPicture out;
  TRenderWork& work = out.Work;
  SpeckleSource fromTheStart;
  SpeckleSource& random = speckle ? *speckle : fromTheStart;
  // System colours mix by their current value, resolved once for the render.
  const TColor baseColor = ColorToRGB(s.BaseColor, text);
  const TColor fontColor = ColorToRGB(font.Color, text);

  // 1. Body colour. Unchanged at no luminosity: kept as the window's colour as it is.
  TColor color = baseColor;
  if (s.Luminosity < 0) {
    color = BlendColor(baseColor, clBlack, -static_cast<double>(s.Luminosity));
  } else if (s.Luminosity > 0) {
    color = BlendColor(baseColor, clWhite, s.Luminosity);
  }
  out.Color = s.Luminosity == 0 ? s.BaseColor : color;

  // 2. Speckle tile, column by column. The factor is a little over 100 so the
  // lightest shade is reached, not only approached.
  const TColor light = BlendColor(color, clWhite, 3);
  const TColor dark = BlendColor(color, clBlack, 3);
  Image& tile = out.NoiseTile;
  tile.SetSize(kTileSize, kTileSize);
  for (int x = 0; x < kTileSize; ++x) {
    for (int y = 0; y < kTileSize; ++y)
      tile.SetPixel(x, y, BlendColor(dark, light, NextRandom(random) * 100.1));
  }

  // 3, 4. The body: the tile repeated from the origin.
  Image& image = out.Picture;
  image.SetSize(W, H);
  image.FillTiled(tile);

  // 5. Bevel: every edge pixel once, light from the top left.
  ShadeRow(image, 0, 0, W, clWhite, 75);
  ShadeColumn(image, 0, 1, H, clWhite, 75);
  ShadeColumn(image, W - 1, 1, H, clBlack, 50);
  ShadeRow(image, H - 1, 1, W - 1, clBlack, 50);

  // 6. Graduation.
  // Anything but the four known orientations is drawn as the first.
  const uint8_t orientation = s.Orientation <= BottomToTop ? s.Orientation : uint8_t{LeftToRight};
  const bool vertical = orientation == TopToBottom || orientation == BottomToTop;
  const bool reversed = orientation == RightToLeft || orientation == BottomToTop;
  const int64_t extent = vertical ? H : W;
  const int64_t breadth = vertical ? W : H;
  const int64_t leftMargin = s.LeftMargin;
  const int64_t scale = s.Scale;
  const int64_t q = (scale - 1) / 5;
  if (q >= 0) {
    const std::array<TColor, kTickLevels> levelColor{
        fontColor, BlendColor(baseColor, fontColor, 90), BlendColor(baseColor, fontColor, 80),
        BlendColor(baseColor, fontColor, 70)};
    static constexpr std::array<int, 4> kAngle{0, 270, 180, 90};
    const int angle = kAngle[orientation];
    const int ppi = font.PixelsPerInch;
    TextMaskCache& masks = text.TextMasks();
    const std::string& face = font.Face;

    // Numbers are never drawn taller than the ruler is broad.
    std::array<int, kTickLevels> labelPixels{};
    int64_t tallest = 0;
    for (int level = 0; level < kTickLevels; ++level) {
      if (!s.ShowTick[level] || !s.ShowNumber[level]) continue;
      labelPixels[level] = LabelPixelHeight(s.FontSize[level], ppi, breadth);
      tallest = std::max<int64_t>(tallest, labelPixels[level]);
    }

    // Only ticks that can reach the picture are visited: those on it, those
    // whose one-digit number can reach it, and, farther out, the hundreds,
    // whose numbers are longer. A digit is taken as at most one em wide, and
    // a glyph may overhang its text by half an em.
    auto ticksWithin = [&](int64_t reach) {
      int64_t lo = 0;
      int64_t hi = q;
      if (!reversed) {
        lo = std::max<int64_t>(lo, CeilDiv(-reach - leftMargin, 5));
        hi = std::min<int64_t>(hi, FloorDiv(extent + reach - leftMargin, 5));
      } else {
        lo = std::max<int64_t>(lo, CeilDiv(leftMargin + scale - extent - reach, 5));
        hi = std::min<int64_t>(hi, FloorDiv(leftMargin + scale + reach, 5));
      }
      return std::pair{lo, hi};
    };
    // One tick: its line, then its number if it has one to show.
    auto drawTick = [&](int64_t p, TickLevel level, std::string_view number) {
      const TColor c = levelColor[level];
      const int64_t T = s.TickSize[level];
      switch (orientation) {
        case LeftToRight:
          image.Line(p, 0, p, T, c);
          break;
        case TopToBottom:
          image.Line(breadth, p, breadth - T, p, c);
          break;
        case RightToLeft:
          image.Line(p, breadth, p, breadth - T, c);
          break;
        default:
          image.Line(0, p, T, p, c);
          break;
      }
      const int pixels = labelPixels[level];
      if (number.empty() || pixels == 0) return;
      const std::string digits(number);
      out.LabelFont = {face, pixels, angle};
      const std::shared_ptr<const InkedText> label =
          masks.Get(face, pixels, digits, [&] { return text.RenderText(face, pixels, digits); });
      const int64_t h = std::max(label->Advance, 0) / 2;
      int64_t drawn = 0;
      switch (orientation) {
        case LeftToRight:
          drawn = DrawTurnedText(image, *label, p - h, T + 2, angle, c);
          break;
        case TopToBottom:
          drawn = DrawTurnedText(image, *label, breadth - T - 2, p - h, angle, c);
          break;
        case RightToLeft:
          drawn = DrawTurnedText(image, *label, p + h, breadth - T - 2, angle, c);
          break;
        default:
          drawn = DrawTurnedText(image, *label, T - 2, p + h, angle, c);
          break;
      }
      if (drawn > 0) {
        ++work.LabelsDrawn;
        work.LabelPixels += drawn;
      }
    };
    auto along = [&](int64_t offset) {
      return reversed ? leftMargin + scale - offset : leftMargin + offset;
    };

    if (unit.Unit != RulerUnit::Px) {
      // The offsets whose ticks can reach the picture, with a reach for their numbers.
      auto offsetsWithin = [&](int64_t reach) {
        return reversed ? std::pair{leftMargin + scale - extent - reach, leftMargin + scale + reach}
                        : std::pair{-reach - leftMargin, extent + reach - leftMargin};
      };
      const TickPlan plan(unit);
      std::array<bool, kTickLevels> numbers{};
      for (int level = 0; level < kTickLevels; ++level)
        numbers[level] = s.ShowNumber[level] && labelPixels[level] > 0 &&
                         plan.Spacing(static_cast<TickLevel>(level)) >= labelPixels[level];
      TickNumberBuffer buffer;
      auto visit = [&](const Tick& tick) {
        ++work.TicksVisited;
        if (!s.ShowTick[tick.Level]) return;
        drawTick(along(tick.Offset), tick.Level,
                 numbers[tick.Level] ? plan.Number(tick, buffer) : std::string_view());
      };
      const auto [nearFrom, nearTo] = offsetsWithin(tallest);
      const auto [farFrom, farTo] = offsetsWithin((kMaxLabelDigits + 1) * tallest / 2 + 1);
      // Near the picture every level; farther out only the hundreds' longer numbers.
      plan.ForEachTick(scale, farFrom, nearFrom - 1, Tick100, visit);
      plan.ForEachTick(scale, nearFrom, nearTo, Tick5, visit);
      plan.ForEachTick(scale, nearTo + 1, farTo, Tick100, visit);
      return out;
    }

    const auto [nearFirst, nearLast] = ticksWithin(tallest);
    const auto [first, last] = ticksWithin((kMaxLabelDigits + 1) * tallest / 2 + 1);

    for (int64_t t = first; t <= last; ++t) {
      if ((t < nearFirst || t > nearLast) && t % 20 != 0) {
        // On to the next hundred, or to the first tick near the picture.
        int64_t next = (t / 20 + 1) * 20;
        if (t < nearFirst) next = std::min(next, nearFirst);
        t = next - 1;
        continue;
      }
      ++work.TicksVisited;
      const TickLevel level = t % 20 == 0   ? Tick100
                              : t % 10 == 0 ? Tick50
                              : t % 2 == 0  ? Tick10
                                            : Tick5;
      if (!s.ShowTick[level]) continue;
      if (!s.ShowNumber[level]) {
        drawTick(along(5 * t), level, {});
        continue;
      }
      const std::string number =
          level == Tick100 ? std::to_string(5 * t) : std::to_string((5 * t % 100) / 10);
      drawTick(along(5 * t), level, number);
    }
  }
  return out;
}

}  // namespace vr
