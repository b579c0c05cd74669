#include "platform/win32/Win32Images.h"

#include <vector>

namespace vr::win32 {

namespace {

BITMAPINFO AlphaDibInfo(int width, int height, bool topDown) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = topDown ? -height : height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// 0x00BBGGRR and an alpha to a DIB's 0xAARRGGBB, straight or premultiplied.
uint32_t DibPixel(TColor c, uint8_t alpha, bool premultiply) {
  uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if (premultiply) {
    r = (r * alpha + 127) / 255;
    g = (g * alpha + 127) / 255;
    b = (b * alpha + 127) / 255;
  }
  return static_cast<uint32_t>(alpha) << 24 | r << 16 | g << 8 | b;
}

// A DIB section holding the picture, rows in the order asked for.
BitmapHandle MakeDib(const MaskedImage& picture, bool premultiply, bool topDown) {
  const int w = picture.Width(), h = picture.Height();
  if (picture.Empty() || picture.Alpha.size() != picture.Color.Pixels().size()) return {};
  const BITMAPINFO info = AlphaDibInfo(w, h, topDown);
  void* bits = nullptr;
  BitmapHandle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y) {
    const int row = topDown ? y : h - 1 - y;
    for (int x = 0; x < w; ++x) {
      out[static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          DibPixel(picture.Color.Pixel(x, y), picture.AlphaAt(x, y), premultiply);
    }
  }
  ::GdiFlush();
  return bitmap;
}

}  // namespace

IconHandle MakeIcon(const MaskedImage& picture) {
  BitmapHandle color = MakeDib(picture, false, true);
  if (!color) return {};
  const int w = picture.Width(), h = picture.Height();
  // The AND mask: a set bit lets the screen show through. Rows are padded to
  // 16 bits, as CreateBitmap wants them.
  const size_t stride = static_cast<size_t>((w + 15) / 16 * 2);
  std::vector<uint8_t> mask(stride * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (picture.AlphaAt(x, y) == 0)
        mask[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] |=
            static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  BitmapHandle maskBitmap(::CreateBitmap(w, h, 1, 1, mask.data()));
  if (!maskBitmap) return {};
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = maskBitmap.get();
  info.hbmColor = color.get();
  // The icon copies both bitmaps; ours go when this returns.
  return IconHandle(::CreateIconIndirect(&info));
}

BitmapHandle MakeAlphaBitmap(const MaskedImage& picture) { return MakeDib(picture, true, false); }

}  // namespace vr::win32
