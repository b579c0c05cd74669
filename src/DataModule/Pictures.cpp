#include "DataModule/Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace vr {
namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kYellow = 0x00FFFF;

constexpr std::array<TColor, 10> kSlotColors = {
    0xFFFFFF,  // white
    0x0000F0,  // red
    0x008000,  // dark green
    0xF00000,  // blue
    0x2080FF,  // orange
    0xFF00FF,  // magenta
    0x00F000,  // bright green
    0xFFFF00,  // cyan
    0x00FFFF,  // yellow
    0x909090,  // grey
};

// The Options picture's tools.
constexpr TColor kPencil = 0x00C8FF;
constexpr TColor kPencilShade = 0x0096E6;
constexpr TColor kWood = 0x8CC8F0;
constexpr TColor kLead = 0x404040;
constexpr TColor kFerrule = 0xAAAAAA;
constexpr TColor kEraser = 0x9080F0;
constexpr TColor kHandle = 0x2870B0;
constexpr TColor kHandleShade = 0x144678;
constexpr TColor kSteel = 0x969696;
constexpr TColor kSteelLight = 0xC8C8C8;
constexpr TColor kSteelDark = 0x5A5A5A;

// The Options picture at 16 x 16, one letter a pixel (see ArtColor).
constexpr std::array<const char*, 16> kOptionsArt = {
    "KKKKKKK...K.....",  //
    "KPPKWWK..KsK....",  //
    "KPPMKWK.KSSsK...",  //
    "KKMMYKKKSSSSsK..",  //
    "KKKOYYKKDSSSSsK.",  //
    "KWWKOYYKKDSSSSsK",  //
    "KKKKKOYYKKDSSSSK",  //
    "KWWWWKOYYKKDSSK.",  //
    "KKKWWKKOYYKKDK..",  //
    "KWWWKbBKOYYKK...",  //
    "KKKKbBK.KTTTK...",  //
    "KWKbBKK...KTK...",  //
    "KKbBKWK....KLK..",  //
    "KbBKWWK......K..",  //
    "KBKWWWK.........",  //
    "KKKKKKK.........",  //
};

TColor ArtColor(char c) {
  constexpr std::array<std::pair<char, TColor>, 12> kPalette = {{
      {'W', kWhite},
      {'Y', kPencil},
      {'O', kPencilShade},
      {'T', kWood},
      {'L', kLead},
      {'M', kFerrule},
      {'P', kEraser},
      {'B', kHandle},
      {'b', kHandleShade},
      {'S', kSteel},
      {'s', kSteelLight},
      {'D', kSteelDark},
  }};
  for (const auto& [letter, color] : kPalette)
    if (letter == c) return color;
  return kBlack;  // 'K', the outlines
}

// Pixel fonts for the ten digits: 4 x 6 fits the 16-pixel pictures, 5 x 7
// reads better wherever it fits; both are enlarged by whole pixels only.
struct DigitFont {
  int W, H;
  std::array<std::array<const char*, 7>, 10> Rows;
};

constexpr DigitFont kSmallDigits = {4,
                                    6,
                                    {{
                                        {".##.", "#..#", "#..#", "#..#", "#..#", ".##."},
                                        {"..#.", ".##.", "..#.", "..#.", "..#.", ".###"},
                                        {".##.", "#..#", "...#", "..#.", ".#..", "####"},
                                        {"###.", "...#", ".##.", "...#", "...#", "###."},
                                        {"..##", ".#.#", "#..#", "####", "...#", "...#"},
                                        {"####", "#...", "###.", "...#", "...#", "###."},
                                        {".##.", "#...", "###.", "#..#", "#..#", ".##."},
                                        {"####", "...#", "..#.", "..#.", ".#..", ".#.."},
                                        {".##.", "#..#", ".##.", "#..#", "#..#", ".##."},
                                        {".##.", "#..#", "#..#", ".###", "...#", ".##."},
                                    }}};

constexpr DigitFont kLargeDigits = {
    5,
    7,
    {{
        {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
        {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
        {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
        {".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###."},
        {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
        {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
        {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
        {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
        {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
        {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
    }}};

TColor Darker(TColor c, int percent) {
  auto ch = [&](int shift) {
    const int v = static_cast<int>((c >> shift) & 0xFF);
    return static_cast<TColor>(v * (100 - percent) / 100) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

struct Pt {
  double X, Y;
};

// A straight tool: positions along it from `from` and across it, in units.
struct Tool {
  Pt From, To;
  Pt At(double along, double across) const {
    const double len = std::hypot(To.X - From.X, To.Y - From.Y);
    const double ux = (To.X - From.X) / len, uy = (To.Y - From.Y) / len;
    return {From.X + ux * along - uy * across, From.Y + uy * along + ux * across};
  }
};

// Draws in units of the 16 x 16 design grid onto a picture of any size.
class Pen {
 public:
  Pen(MaskedImage& image, int size)
      : S(size / 16.0),
        // Outlines and ticks: one pixel up to 32 x 32, thicker beyond.
        Lw(std::max(1, static_cast<int>(std::floor(S / 1.5 + 0.25)))),
        Image_(image) {}

  int Px(double units) const { return static_cast<int>(std::lround(units * S)); }

  void FillPx(int x0, int y0, int x1, int y1, TColor c) {
    for (int y = std::max(y0, 0); y < std::min(y1, Image_.Height()); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, Image_.Width()); ++x) Image_.Paint(x, y, c);
  }

  // Any simple polygon in design units, antialiased by 4 x 4 samples a pixel.
  void Polygon(const std::vector<Pt>& pts, TColor c) {
    double lx = 1e9, ly = 1e9, hx = -1e9, hy = -1e9;
    for (const Pt& p : pts) {
      lx = std::min(lx, p.X * S);
      ly = std::min(ly, p.Y * S);
      hx = std::max(hx, p.X * S);
      hy = std::max(hy, p.Y * S);
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(lx)));
    const int y0 = std::max(0, static_cast<int>(std::floor(ly)));
    const int x1 = std::min(Image_.Width(), static_cast<int>(std::ceil(hx)));
    const int y1 = std::min(Image_.Height(), static_cast<int>(std::ceil(hy)));
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        int inside = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx)
            inside += Contains(pts, (x + (sx + 0.5) / 4) / S, (y + (sy + 0.5) / 4) / S);
        if (inside > 0) Image_.Paint(x, y, c, static_cast<uint8_t>(inside * 255 / 16));
      }
    }
  }

  // The part of a tool between two positions along it and two across it;
  // `grow` pixels more all round (for the outline under it).
  void Strip(const Tool& t, double a0, double a1, double c0, double c1, TColor c, double grow = 0) {
    const double g = grow / S;
    Polygon(
        {t.At(a0 - g, c0 - g), t.At(a1 + g, c0 - g), t.At(a1 + g, c1 + g), t.At(a0 - g, c1 + g)},
        c);
  }

  const double S;
  const int Lw;

 private:
  MaskedImage& Image_;

  static bool Contains(const std::vector<Pt>& pts, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const Pt& a = pts[i];
      const Pt& b = pts[j];
      if ((a.Y > y) != (b.Y > y) && x < (b.X - a.X) * (y - a.Y) / (b.Y - a.Y) + a.X) in = !in;
    }
    return in;
  }
};

enum class TickSide { Left, Right };

// An upright ruler filling the box (design units) with a black outline and
// ticks every other pixel along one side, longer at regular steps.
void DrawUprightRuler(Pen& pen, double x0, double y0, double x1, double y1, TColor body,
                      TColor ticks, TickSide side) {
  const int lw = pen.Lw;
  const int X0 = pen.Px(x0), Y0 = pen.Px(y0), X1 = pen.Px(x1), Y1 = pen.Px(y1);
  pen.FillPx(X0, Y0, X1, Y1, kBlack);
  pen.FillPx(X0 + lw, Y0 + lw, X1 - lw, Y1 - lw, body);
  const int inner = X1 - X0 - 2 * lw;
  const int pitch = 2 * lw;
  // Small pictures alternate long and short ticks; larger ones read as a real
  // graduation with a long tick every fifth.
  const int every = pen.S < 1.4 ? 2 : 5;
  const int longLen = std::max(2, inner * 3 / 5);
  const int shortLen = std::max(1, inner * 2 / 5);
  int i = 0;
  for (int y = Y0 + lw + lw; y + lw <= Y1 - 2 * lw; y += pitch, ++i) {
    const int len = i % every == 0 ? longLen : shortLen;
    if (side == TickSide::Left)
      pen.FillPx(X0 + lw, y, X0 + lw + len, y + lw, ticks);
    else
      pen.FillPx(X1 - lw - len, y, X1 - lw, y + lw, ticks);
  }
}

void DrawDigitBox(Pen& pen, int digit, double x0, double y0, double x1, double y1) {
  const int lw = pen.Lw;
  const int X0 = pen.Px(x0), Y0 = pen.Px(y0), X1 = pen.Px(x1), Y1 = pen.Px(y1);
  pen.FillPx(X0, Y0, X1, Y1, kBlack);
  pen.FillPx(X0 + lw, Y0 + lw, X1 - lw, Y1 - lw, kWhite);
  // The tallest glyph that leaves a pixel of white on every side.
  const int iw = X1 - X0 - 2 * lw;
  const int ih = Y1 - Y0 - 2 * lw;
  const DigitFont* font = nullptr;
  int k = 0;
  for (const DigitFont* f : {&kSmallDigits, &kLargeDigits}) {
    for (int m = 1; f->W * m + 2 <= iw && f->H * m + 2 <= ih; ++m) {
      if (font == nullptr || f->H * m > font->H * k) {
        font = f;
        k = m;
      }
    }
  }
  if (font == nullptr) return;
  const int gx = X0 + lw + (iw - font->W * k + 1) / 2;
  const int gy = Y0 + lw + (ih - font->H * k + 1) / 2;
  const auto& rows = font->Rows[static_cast<size_t>(digit)];
  for (int row = 0; row < font->H; ++row)
    for (int col = 0; col < font->W; ++col)
      if (rows[static_cast<size_t>(row)][col] == '#')
        pen.FillPx(gx + col * k, gy + row * k, gx + (col + 1) * k, gy + (row + 1) * k, kBlack);
}

}  // namespace

TColor RulerSlotPictureColor(int slot) {
  return slot >= 0 && slot < 10 ? kSlotColors[static_cast<size_t>(slot)] : kBlack;
}

MaskedImage DrawRulerSlotPicture(int slot, int size) {
  if (slot < 0 || slot > 9 || size < 1) return {};
  MaskedImage image(size, size);
  Pen pen(image, size);
  const TColor body = kSlotColors[static_cast<size_t>(slot)];
  DrawUprightRuler(pen, 3, 0, 10, 16, body, Darker(body, 50), TickSide::Left);
  DrawDigitBox(pen, slot, 8, 6, 16, 16);
  return image;
}

MaskedImage DrawOptionsPicture(int size) {
  if (size < 1) return {};
  MaskedImage image(size, size);
  if (size >= 16 && size < 20) {
    // Diagonal tools need every pixel placed by hand at this size.
    const int off = (size - 16) / 2;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const char c = kOptionsArt[static_cast<size_t>(y)][x];
        if (c != '.') image.Paint(off + x, off + y, ArtColor(c));
      }
    return image;
  }
  Pen pen(image, size);
  DrawUprightRuler(pen, 0, 0, 7, 16, kWhite, kBlack, TickSide::Left);
  // Hammer: handle from the lower left, head at the upper right.
  const Tool hammer{{0.9, 15.1}, {10.6, 5.4}};
  pen.Strip(hammer, -0.3, 14.2, -1.1, 1.1, kBlack, pen.Lw);
  pen.Strip(hammer, -0.3, 14.2, -1.1, 1.1, kHandle);
  pen.Strip(hammer, -0.3, 14.2, 0.2, 1.1, kHandleShade);
  const Tool head{{7.6, 2.4}, {13.6, 8.4}};
  pen.Strip(head, 0, 8.5, -2.1, 2.1, kBlack, pen.Lw);
  pen.Strip(head, 0, 8.5, -2.1, 2.1, kSteel);
  pen.Strip(head, 0, 8.5, -2.1, -1.2, kSteelLight);
  pen.Strip(head, 0, 8.5, 1.2, 2.1, kSteelDark);
  // Pencil: eraser at the upper left, lead at the lower right.
  const Tool pencil{{0.6, 0.6}, {13.2, 13.2}};
  const double h = 1.5;
  pen.Strip(pencil, 0, 13.2, -h, h, kBlack, pen.Lw);
  pen.Strip(pencil, 0, 2.3, -h, h, kEraser);
  pen.Strip(pencil, 2.3, 3.6, -h, h, kFerrule);
  pen.Strip(pencil, 3.6, 13.2, -h, h, kPencil);
  pen.Strip(pencil, 3.6, 13.2, 0.5, h, kPencilShade);
  const double lw = pen.Lw / pen.S;
  pen.Polygon(
      {pencil.At(13.2 - lw, -h - lw), pencil.At(17.9 + 1.4 * lw, 0), pencil.At(13.2 - lw, h + lw)},
      kBlack);
  pen.Polygon({pencil.At(13.2, -h), pencil.At(17.6, 0), pencil.At(13.2, h)}, kWood);
  pen.Polygon({pencil.At(16.2, -0.55), pencil.At(17.6, 0), pencil.At(16.2, 0.55)}, kLead);
  return image;
}

MaskedImage DrawProgramIcon(int size) {
  if (size < 1) return {};
  MaskedImage image(size, size);
  Pen pen(image, size);
  DrawUprightRuler(pen, 1, 0, 9, 12, kYellow, kBlack, TickSide::Left);
  DrawUprightRuler(pen, 7, 4, 15, 16, kWhite, kBlack, TickSide::Right);
  return image;
}

MaskedImage DrawAboutPicture(int size) { return DrawProgramIcon(size); }

MaskedImage DrawImageListPicture(int index, int size) {
  if (index >= 0 && index < 10) return DrawRulerSlotPicture(index, size);
  if (index == OptionsPictureIndex) return DrawOptionsPicture(size);
  if (index == AboutPictureIndex) return DrawAboutPicture(size);
  return {};
}

}  // namespace vr
