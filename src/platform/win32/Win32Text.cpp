#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

FontHandle MakeFont(const std::string& face, int pixelHeight) {
  LOGFONTW font{};
  font.lfHeight = -pixelHeight;  // negative: the em height, without internal leading
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  // Grayscale smoothing: coverage is one value per pixel, and ClearType's
  // colour fringes would turn wrong once the label is turned.
  font.lfQuality = ANTIALIASED_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring wideFace = FaceName(face);
  std::copy(wideFace.begin(), wideFace.end(), font.lfFaceName);
  FontHandle handle(::CreateFontIndirectW(&font));
  if (!handle) throw std::runtime_error("Could not create the font \"" + face + "\".");
  return handle;
}

}  // namespace

TextMask RenderGdiText(const std::string& face, int pixelHeight, const std::string& text) {
  TextMask mask;
  if (pixelHeight <= 0) return mask;

  MemoryDcHandle dc(::CreateCompatibleDC(nullptr));
  if (!dc) throw std::runtime_error("Could not create a drawing context for text.");
  FontHandle font = MakeFont(face, pixelHeight);
  SelectedObject fontSelection(dc.get(), font.get());

  TEXTMETRICW metrics{};
  if (!::GetTextMetricsW(dc.get(), &metrics))
    throw std::runtime_error("Could not measure the font \"" + face + "\".");
  mask.Height = std::max<int>(metrics.tmHeight, 0);

  const std::wstring wide = Widen(text);
  if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX)) return mask;
  SIZE extent{};
  ::GetTextExtentPoint32W(dc.get(), wide.data(), static_cast<int>(wide.size()), &extent);
  mask.Advance = std::max<int>(extent.cx, 0);

  // Room past the advance for glyphs that reach beyond it (overhang, italics);
  // the mask is trimmed back to the ink afterwards.
  const long long canvasWidth =
      static_cast<long long>(mask.Advance) + metrics.tmOverhang + pixelHeight / 2 + 1;
  if (mask.Height == 0 || canvasWidth * mask.Height > kMaxTextMaskPixels) return mask;
  const int width = static_cast<int>(canvasWidth);
  const int height = mask.Height;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapHandle bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) throw std::runtime_error("Could not create a bitmap for text.");
  SelectedObject bitmapSelection(dc.get(), bitmap.get());

  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  auto* pixels = static_cast<uint32_t*>(bits);
  std::memset(pixels, 0, pixelCount * sizeof(uint32_t));
  // White on opaque black: the brightness of each pixel is the glyph coverage.
  ::SetTextColor(dc.get(), RGB(255, 255, 255));
  ::SetBkColor(dc.get(), RGB(0, 0, 0));
  ::SetBkMode(dc.get(), OPAQUE);
  ::SetTextAlign(dc.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  ::ExtTextOutW(dc.get(), 0, 0, 0, nullptr, wide.data(), static_cast<UINT>(wide.size()), nullptr);
  ::GdiFlush();

  auto coverageAt = [&](int x, int y) -> uint8_t {
    const uint32_t p =
        pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    return static_cast<uint8_t>(std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF}));
  };
  int inkRight = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = width - 1; x >= inkRight; --x) {
      if (coverageAt(x, y) != 0) {
        inkRight = x + 1;
        break;
      }
    }
  }
  mask.Width = std::max(mask.Advance, inkRight);
  mask.Width = std::min(mask.Width, width);
  mask.Coverage.resize(static_cast<size_t>(mask.Width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < mask.Width; ++x) {
      mask.Coverage[static_cast<size_t>(y) * static_cast<size_t>(mask.Width) +
                    static_cast<size_t>(x)] = coverageAt(x, y);
    }
  }
  return mask;
}

}  // namespace vr::win32
