#pragma once
// The headless platform's text: a small built-in bitmap font, so that the
// tests know every pixel a number covers.

#include <string>

#include "platform/Text.h"

namespace vr::headless {

// The digits and the few other characters of the font, 3 x 5 cells scaled to
// the pixel height; anything else takes its place empty.
TextMask RenderBitmapText(int pixelHeight, const std::string& text);

}  // namespace vr::headless
