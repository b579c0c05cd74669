#pragma once
// One line of text rasterised by GDI as grayscale coverage.

#include <string>

#include "platform/Text.h"

namespace vr::win32 {

// Past this many pixels a mask is refused (Width 0, no coverage): a label
// font of absurd size must not take the process's memory with it.
inline constexpr long long kMaxTextMaskPixels = 16LL * 1024 * 1024;

// face and text are UTF-8. A pixel height of zero or less, or empty text, gives
// an empty mask.
TextMask RenderGdiText(const std::string& face, int pixelHeight, const std::string& text);

}  // namespace vr::win32
