#pragma once
// The program's pictures with transparency (MaskedImage) as the system's
// icons and alpha bitmaps.

#include <windows.h>

#include "platform/Image.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32 {

// An icon with the picture's alpha, and a mask for the places that ignore
// alpha. Empty pictures and refusals give a null handle.
IconHandle MakeIcon(const MaskedImage& picture);

// A 32-bit bottom-up DIB section with premultiplied alpha, as menus draw
// their item pictures.
BitmapHandle MakeAlphaBitmap(const MaskedImage& picture);

}  // namespace vr::win32
