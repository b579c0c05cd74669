#pragma once
// The program's pictures, drawn by code at any size: the twelve pictures of the
// image list (menus, tool bar, tray icon) and the program's own icon. Every
// picture is designed on a 16 x 16 grid and drawn scaled by size / 16, with
// straight edges snapped to whole pixels so that it stays crisp at 16, 20, 24
// and 32 pixels alike.

#include "platform/Image.h"

namespace vr {

// Image-list order: the ten ruler slots, then these two.
constexpr int OptionsPictureIndex = 10;
constexpr int AboutPictureIndex = 11;
constexpr int PictureCount = 12;

// The body colour of slot 0..9's picture; black for any other number.
TColor RulerSlotPictureColor(int slot);

// A small upright ruler in the slot's colour with the slot's digit, black on a
// white square, over its lower right corner. Slots outside 0..9 give an empty
// picture; so does any size below 1.
MaskedImage DrawRulerSlotPicture(int slot, int size = 16);

// A hammer and a pencil in front of a white ruler.
MaskedImage DrawOptionsPicture(int size = 16);

// A yellow ruler overlapping a white ruler: the program icon's subject.
MaskedImage DrawAboutPicture(int size = 16);

// A yellow ruler with ticks along its left edge, overlapped at its lower right
// by a white ruler with ticks along its right edge, both outlined in black.
MaskedImage DrawProgramIcon(int size);

// Picture `index` of the image list (0..11); empty for any other index.
MaskedImage DrawImageListPicture(int index, int size = 16);

}  // namespace vr
