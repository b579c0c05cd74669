#pragma once
// A plain 32-bit picture in the system's 0x00BBGGRR colour format. Rulers draw
// into it with a few operations; each platform only copies it to a window.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vr {

using TColor = uint32_t;

class Image {
 public:
  Image() = default;
  Image(int width, int height, TColor fill = 0) { SetSize(width, height, fill); }

  // Sizes below zero count as zero: an empty picture is always safe to draw on.
  void SetSize(int width, int height, TColor fill = 0);
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  bool Empty() const { return Width_ == 0 || Height_ == 0; }

  bool Contains(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < Width_ && y < Height_;
  }
  // Reads outside the picture give 0; writes outside it are dropped.
  TColor Pixel(int64_t x, int64_t y) const { return Contains(x, y) ? Pixels_[Index(x, y)] : 0; }
  void SetPixel(int64_t x, int64_t y, TColor c) {
    if (Contains(x, y)) Pixels_[Index(x, y)] = c;
  }

  // Fills the whole picture with the tile repeated from the origin.
  void FillTiled(const Image& tile);

  // A one-pixel line that paints its start and every pixel toward its end,
  // but not the end itself. Only horizontal and vertical lines are needed;
  // they are clipped arithmetically, so any length costs at most the
  // picture's extent.
  void Line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor c);

  // Mixes colour c over pixel (x, y) with coverage 0..255 (255 replaces it).
  void BlendPixel(int64_t x, int64_t y, TColor c, uint8_t coverage) {
    if (Contains(x, y)) Pixels_[Index(x, y)] = Over(Pixels_[Index(x, y)], c, coverage);
  }
  // The mix itself, inline: numbers are drawn with it pixel by pixel.
  static TColor Over(TColor under, TColor c, uint8_t coverage) {
    if (coverage == 255) return c;
    if (coverage == 0) return under;
    const uint32_t a = coverage;
    auto mix = [&](int shift) {
      const uint32_t o = (c >> shift) & 0xFF;
      const uint32_t u = (under >> shift) & 0xFF;
      return ((o * a + u * (255 - a) + 127) / 255) << shift;
    };
    return mix(0) | mix(8) | mix(16);
  }

  const std::vector<TColor>& Pixels() const { return Pixels_; }
  std::vector<TColor>& Pixels() { return Pixels_; }
  bool operator==(const Image&) const = default;

 private:
  size_t Index(int64_t x, int64_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x);
  }
  int Width_ = 0;
  int Height_ = 0;
  std::vector<TColor> Pixels_;
};

// A picture with its own transparency: icons, menu and tool-bar pictures, the
// tray icon. Alpha holds one byte per pixel, row by row: 0 transparent, 255
// opaque; the colour of a pixel counts only where its alpha is not 0.
struct MaskedImage {
  Image Color;
  std::vector<uint8_t> Alpha;

  MaskedImage() = default;
  MaskedImage(int width, int height) : Color(width, height), Alpha(Color.Pixels().size(), 0) {}
  int Width() const { return Color.Width(); }
  int Height() const { return Color.Height(); }
  bool Empty() const { return Color.Empty(); }
  uint8_t AlphaAt(int64_t x, int64_t y) const {
    return Color.Contains(x, y) ? Alpha[static_cast<size_t>(y) * static_cast<size_t>(Width()) +
                                        static_cast<size_t>(x)]
                                : 0;
  }
  // Mixes colour c over the pixel with the given coverage, alpha included.
  void Paint(int64_t x, int64_t y, TColor c, uint8_t coverage = 255);
  bool operator==(const MaskedImage&) const = default;
};

}  // namespace vr
