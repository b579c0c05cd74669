#include "platform/Image.h"

#include <algorithm>

namespace vr {

void Image::SetSize(int width, int height, TColor fill) {
  Width_ = std::max(width, 0);
  Height_ = std::max(height, 0);
  Pixels_.assign(static_cast<size_t>(Width_) * static_cast<size_t>(Height_), fill);
}

void Image::FillTiled(const Image& tile) {
  if (tile.Empty() || Empty()) return;
  const int tw = tile.Width();
  const int th = tile.Height();
  for (int y = 0; y < Height_; ++y) {
    const TColor* src = &tile.Pixels_[static_cast<size_t>(y % th) * static_cast<size_t>(tw)];
    TColor* dst = &Pixels_[static_cast<size_t>(y) * static_cast<size_t>(Width_)];
    for (int x = 0; x < Width_; x += tw) {
      std::copy_n(src, std::min(tw, Width_ - x), dst + x);
    }
  }
}

void Image::Line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor c) {
  if (y0 == y1) {
    if (y0 < 0 || y0 >= Height_ || x0 == x1) return;
    // Painted: x0 toward x1, x1 excluded.
    int64_t lo = x0 < x1 ? x0 : x1 + 1;
    int64_t hi = x0 < x1 ? x1 - 1 : x0;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, Width_ - 1);
    for (int64_t x = lo; x <= hi; ++x) Pixels_[Index(x, y0)] = c;
  } else if (x0 == x1) {
    if (x0 < 0 || x0 >= Width_) return;
    int64_t lo = y0 < y1 ? y0 : y1 + 1;
    int64_t hi = y0 < y1 ? y1 - 1 : y0;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, Height_ - 1);
    for (int64_t y = lo; y <= hi; ++y) Pixels_[Index(x0, y)] = c;
  }
  // Diagonal lines are not used by anything the program draws.
}

void MaskedImage::Paint(int64_t x, int64_t y, TColor c, uint8_t coverage) {
  if (!Color.Contains(x, y) || coverage == 0) return;
  uint8_t& a =
      Alpha[static_cast<size_t>(y) * static_cast<size_t>(Width()) + static_cast<size_t>(x)];
  if (a == 0 || coverage == 255) {
    // Over nothing, the pixel takes the colour as it is.
    Color.SetPixel(x, y, c & 0xFFFFFF);
    a = std::max(a, coverage);
    return;
  }
  // "Over" compositing of straight (not premultiplied) colours.
  const uint32_t under = a;
  const uint32_t over = coverage;
  const uint32_t out = over + under * (255 - over) / 255;
  const TColor p = Color.Pixel(x, y);
  auto mix = [&](int shift) {
    const uint32_t cu = (p >> shift) & 0xFF;
    const uint32_t co = (c >> shift) & 0xFF;
    return ((co * over + cu * under * (255 - over) / 255 + out / 2) / out) << shift;
  };
  Color.SetPixel(x, y, mix(0) | mix(8) | mix(16));
  a = static_cast<uint8_t>(out);
}

}  // namespace vr
