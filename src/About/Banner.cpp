#include "About/Banner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace vr {
namespace {

TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r) | static_cast<TColor>(g) << 8 | static_cast<TColor>(b) << 16;
}

TColor Mix(TColor a, TColor b, double t) {
  auto ch = [&](int shift) {
    const double va = (a >> shift) & 0xFF;
    const double vb = (b >> shift) & 0xFF;
    return static_cast<TColor>(va + (vb - va) * t + 0.5) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

void Fill(Image& img, int x0, int y0, int x1, int y1, TColor c, uint8_t coverage = 255) {
  for (int y = std::max(y0, 0); y < std::min(y1, img.Height()); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, img.Width()); ++x)
      img.BlendPixel(x, y, c, coverage);
}

// Ruler numbers, 3 x 5, as on a small screen font.
constexpr std::array<std::array<const char*, 5>, 10> kDigits = {{
    {"###", "#.#", "#.#", "#.#", "###"},
    {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"},
    {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"},
    {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
}};

// Draws n centred on x with its top at y.
void Number(Image& img, int n, int x, int y, TColor c, uint8_t coverage) {
  const std::string text = std::to_string(n);
  int left = x - (static_cast<int>(text.size()) * 4 - 1) / 2;
  for (char ch : text) {
    const auto& rows = kDigits[static_cast<size_t>(ch - '0')];
    for (int r = 0; r < 5; ++r)
      for (int col = 0; col < 3; ++col)
        if (rows[static_cast<size_t>(r)][col] == '#')
          img.BlendPixel(left + col, y + r, c, coverage);
    left += 4;
  }
}

// An upright ruler with a black outline and ticks every 4 pixels along one
// side, with a soft shadow to its lower right.
void Ruler(Image& img, int x0, int y0, int x1, int y1, TColor body, bool ticksLeft) {
  Fill(img, x0 + 4, y0 + 4, x1 + 4, y1 + 4, 0x000000, 28);
  Fill(img, x0 + 2, y0 + 2, x1 + 2, y1 + 2, 0x000000, 28);
  Fill(img, x0, y0, x1, y1, 0x000000);
  Fill(img, x0 + 2, y0 + 2, x1 - 2, y1 - 2, body);
  const int inner = x1 - x0 - 4;
  int i = 0;
  for (int y = y0 + 5; y + 2 <= y1 - 4; y += 4, ++i) {
    const int len = i % 5 == 0 ? inner * 3 / 5 : inner * 3 / 10;
    if (ticksLeft)
      Fill(img, x0 + 2, y, x0 + 2 + len, y + 2, 0x000000);
    else
      Fill(img, x1 - 2 - len, y, x1 - 2, y + 2, 0x000000);
  }
}

}  // namespace

Image DrawAboutBanner() {
  Image img(AboutBannerWidth, AboutBannerHeight);
  const int w = img.Width();
  const int h = img.Height();
  // A pale sky, deeper at the lower left, fading to the panel's white.
  const TColor sky = Rgb(190, 214, 244);
  const TColor mist = Rgb(250, 252, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double t = std::clamp((x + (h - y) * 1.5) / (w * 0.95), 0.0, 1.0);
      img.SetPixel(x, y, Mix(sky, mist, t));
    }
  // A long see-through yellow ruler lying across the bottom, as the program's
  // rulers lie over the desktop: a tick every 5 pixels, longer every 10, 50, 100.
  const int top = 46;
  Fill(img, 0, top + 2, w, h, 0x000000, 18);
  for (int y = top; y < h; ++y)
    Fill(img, 0, y, w, y + 1, Mix(Rgb(255, 240, 130), Rgb(250, 212, 60), (y - top) / 34.0), 170);
  Fill(img, 0, top, w, top + 1, Rgb(150, 120, 20), 160);
  Fill(img, 0, top + 1, w, top + 2, Rgb(255, 255, 255), 120);
  const TColor ink = Rgb(70, 55, 10);
  for (int x = 6; x < w; x += 5) {
    const int n = x - 6;
    const int len = n % 100 == 0 ? 20 : n % 50 == 0 ? 15 : n % 10 == 0 ? 10 : 6;
    Fill(img, x, top + 1, x + 1, top + 1 + len, ink, 200);
    if (n % 50 == 0 && n > 0) Number(img, n, x, top + 23, ink, 200);
  }
  // The program's two rulers, standing at the right.
  Ruler(img, 412, 4, 442, 62, Rgb(255, 255, 0), true);
  Ruler(img, 434, 18, 464, 76, Rgb(255, 255, 255), false);
  return img;
}

}  // namespace vr
