#pragma once
// The About box's banner, drawn by code: a soft gradient with a large ruler
// graduation and the program's two rulers.

#include "platform/Image.h"

namespace vr {

constexpr int AboutBannerWidth = 480;
constexpr int AboutBannerHeight = 80;

// 480 x 80, opaque.
Image DrawAboutBanner();

}  // namespace vr
