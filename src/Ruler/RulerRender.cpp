#include "Ruler/RulerRender.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <tuple>

#include "Ruler/RulerForm.h"
#include "Ruler/Rulers.h"

namespace vr {

namespace {

std::function<TColor(int)>& SystemColorSource() {
  static std::function<TColor(int)> source;
  return source;
}

// One generator for the whole process, never seeded from the clock: the
// speckle sequence is the same on every run.
std::mt19937& SpeckleGenerator() {
  static std::mt19937 generator;
  return generator;
}

double NextRandom() { return static_cast<double>(SpeckleGenerator()() >> 8) / 16777216.0; }

constexpr int kTileSize = 32;
// Numbers taller than this are drawn at this height.
constexpr int kMaxLabelPixels = 512;
// Ticks farther than this outside the picture can't reach it, even with the
// widest number; the loop skips them, so a huge stored scale costs nothing.
constexpr int64_t kTickReach = 8 * kMaxLabelPixels;

// Upright text masks by face, height and text. Rulers draw the same few
// numbers on every render, so they are rasterised once.
const TextMask& CachedText(Platform& os, const std::string& face, int pixelHeight,
                           const std::string& text) {
  static std::map<std::tuple<std::string, int, std::string>, TextMask> cache;
  auto key = std::make_tuple(face, pixelHeight, text);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() >= 4096) cache.clear();
  return cache.emplace(std::move(key), os.RenderText(face, pixelHeight, text)).first->second;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

void SetSystemColorSource(std::function<TColor(int index)> source) {
  SystemColorSource() = std::move(source);
}

TColor ColorToRGB(TColor color) {
  if ((color & 0x80000000u) == 0) return color;
  const auto& source = SystemColorSource();
  return source ? source(static_cast<int>(color & 0xFF)) : 0;
}

TColor BlendColor(TColor from, TColor to, double percent) {
  const TColor f = ColorToRGB(from);
  const TColor t = ColorToRGB(to);
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
  return static_cast<int>(std::min<double>(px, kMaxLabelPixels));
}

void DrawTurnedText(Image& image, const TextMask& mask, int64_t x, int64_t y, int angle,
                    TColor color) {
  const int64_t mw = mask.Width;
  const int64_t mh = mask.Height;
  if (mw <= 0 || mh <= 0 || mask.Coverage.size() < static_cast<size_t>(mw * mh)) return;
  // The turned cell on the picture, then each picture pixel maps back to (i, j)
  // in the upright mask: i along the text, j down from the glyph tops.
  int64_t x0 = 0, y0 = 0, w = 0, h = 0;
  switch (angle) {
    case 270:
      x0 = x - mh;
      y0 = y;
      w = mh;
      h = mw;
      break;
    case 180:
      x0 = x - mw;
      y0 = y - mh;
      w = mw;
      h = mh;
      break;
    case 90:
      x0 = x;
      y0 = y - mw;
      w = mh;
      h = mw;
      break;
    default:
      x0 = x;
      y0 = y;
      w = mw;
      h = mh;
      break;
  }
  const int64_t xa = std::max<int64_t>(x0, 0), xb = std::min<int64_t>(x0 + w, image.Width());
  const int64_t ya = std::max<int64_t>(y0, 0), yb = std::min<int64_t>(y0 + h, image.Height());
  for (int64_t py = ya; py < yb; ++py) {
    for (int64_t px = xa; px < xb; ++px) {
      int64_t i = 0, j = 0;
      switch (angle) {
        case 270:
          j = x - 1 - px;
          i = py - y;
          break;
        case 180:
          i = x - 1 - px;
          j = y - 1 - py;
          break;
        case 90:
          j = px - x;
          i = y - 1 - py;
          break;
        default:
          i = px - x;
          j = py - y;
          break;
      }
      const uint8_t c = mask.Coverage[static_cast<size_t>(j * mw + i)];
      if (c) image.BlendPixel(px, py, color, c);
    }
  }
}

void RenderRuler(TRulerForm& ruler) {
  RulerSettings& s = ruler.Settings_;
  Platform& os = ruler.Owner().Os();
  ++ruler.RenderCount_;

  // 1. Body colour.
  TColor color = s.BaseColor;
  if (s.Luminosity < 0) {
    color = BlendColor(s.BaseColor, clBlack, -static_cast<double>(s.Luminosity));
  } else if (s.Luminosity > 0) {
    color = BlendColor(s.BaseColor, clWhite, s.Luminosity);
  }
  ruler.SetColor(color);

  // 2. Speckle tile, column by column. The factor is a little over 100 so the
  // lightest shade is reached, not only approached.
  const TColor light = BlendColor(color, clWhite, 3);
  const TColor dark = BlendColor(color, clBlack, 3);
  Image& tile = ruler.NoiseTile_;
  tile.SetSize(kTileSize, kTileSize);
  for (int x = 0; x < kTileSize; ++x) {
    for (int y = 0; y < kTileSize; ++y)
      tile.SetPixel(x, y, BlendColor(dark, light, NextRandom() * 100.1));
  }

  // 3, 4. The body: the tile repeated from the origin.
  Image& image = ruler.RulerImage_;
  const int32_t W = ruler.Width_;
  const int32_t H = ruler.Height_;
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
    const TColor fontColor = ruler.Font().Color();
    const std::array<TColor, kTickLevels> levelColor{
        ColorToRGB(fontColor), BlendColor(s.BaseColor, fontColor, 90),
        BlendColor(s.BaseColor, fontColor, 80), BlendColor(s.BaseColor, fontColor, 70)};
    static constexpr std::array<int, 4> kAngle{0, 270, 180, 90};
    const int angle = kAngle[orientation];
    const int ppi = os.PixelsPerInch();

    // Only ticks that can reach the picture are visited.
    int64_t first = 0;
    int64_t last = q;
    if (!reversed) {
      first = std::max<int64_t>(first, CeilDiv(-kTickReach - leftMargin, 5));
      last = std::min<int64_t>(last, FloorDiv(extent + kTickReach - leftMargin, 5));
    } else {
      first = std::max<int64_t>(first, CeilDiv(leftMargin + scale - extent - kTickReach, 5));
      last = std::min<int64_t>(last, FloorDiv(leftMargin + scale + kTickReach, 5));
    }

    for (int64_t t = first; t <= last; ++t) {
      const TickLevel level = t % 20 == 0   ? Tick100
                              : t % 10 == 0 ? Tick50
                              : t % 2 == 0  ? Tick10
                                            : Tick5;
      if (!s.ShowTick[level]) continue;
      const TColor c = levelColor[level];
      const int64_t T = s.TickSize[level];
      const int64_t p = reversed ? leftMargin + scale - 5 * t : leftMargin + 5 * t;
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
      if (!s.ShowNumber[level]) continue;
      const int pixels = FontPixelHeight(s.FontSize[level], ppi);
      if (pixels == 0) continue;
      const std::string text =
          level == Tick100 ? std::to_string(5 * t) : std::to_string((5 * t % 100) / 10);
      ruler.LabelFont_ = {ruler.Font().Name(), pixels, angle};
      const TextMask& mask = CachedText(os, ruler.Font().Name(), pixels, text);
      const int64_t h = std::max(mask.Advance, 0) / 2;
      switch (orientation) {
        case LeftToRight:
          DrawTurnedText(image, mask, p - h, T + 2, angle, c);
          break;
        case TopToBottom:
          DrawTurnedText(image, mask, breadth - T - 2, p - h, angle, c);
          break;
        case RightToLeft:
          DrawTurnedText(image, mask, p + h, breadth - T - 2, angle, c);
          break;
        default:
          DrawTurnedText(image, mask, T - 2, p + h, angle, c);
          break;
      }
    }
  }

  // 7, 8. The tray icon and the Options window follow the active ruler, and
  // the new picture is shown at once.
  ActiveFormChanged(&ruler);
  ruler.FormPaint();
}

}  // namespace vr
