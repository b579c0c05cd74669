// Pictures, text and the screen as GDI makes them: colours in a DIB, glyph
// masks and their GDI objects, owned handles and icons, monitors and fonts.

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32::test {
namespace {

// ---------------------------------------------------------------- pictures

TEST(Win32Pictures, ColoursSwapRedAndBlueForADib) {
  const std::pair<TColor, uint32_t> cases[] = {
      {0x000000FF, 0x00FF0000}, {0x00FF0000, 0x000000FF}, {0x0000FF00, 0x0000FF00},
      {0x00123456, 0x00563412}, {0xFF123456, 0x00563412},  // the top byte has no place in a DIB
  };
  for (auto [from, to] : cases) EXPECT_EQ(ToDibPixel(from), to) << std::hex << from;
}

TEST(Win32Pictures, APictureIsConvertedWholeWhenNewOrResizedAndFollowsAChangedPixel) {
  Image picture(4, 2, 0x00112233);
  std::vector<uint32_t> dib;
  ConvertToDib(picture, dib);
  EXPECT_EQ(dib, std::vector<uint32_t>(8, 0x00332211)) << "a new picture is converted whole";
  picture.SetPixel(2, 1, 0x000000FF);
  ConvertToDib(picture, dib);
  EXPECT_TRUE(dib[6] == 0x00FF0000 && dib[5] == 0x00332211 && dib[7] == 0x00332211)
      << "a changed pixel follows";
  picture.SetSize(2, 2, 0x00FF0000);
  ConvertToDib(picture, dib);
  EXPECT_EQ(dib, std::vector<uint32_t>(4, 0x000000FF)) << "a resized picture is converted whole";
}

TEST(Win32Handles, OwnersKeepTheCountOfLiveHandles) {
  const long gdi = LiveHandles(HandleKind::Gdi);
  {
    BitmapHandle a(::CreateBitmap(1, 1, 1, 1, nullptr));
    BitmapHandle b(std::move(a));
    EXPECT_TRUE(LiveHandles(HandleKind::Gdi) == gdi + 1 && !a && b) << "a move keeps the count";
    b.reset(::CreateBitmap(1, 1, 1, 1, nullptr));
    EXPECT_EQ(LiveHandles(HandleKind::Gdi), gdi + 1) << "a replaced handle is released";
    ::DeleteObject(b.release());
    EXPECT_EQ(LiveHandles(HandleKind::Gdi), gdi) << "a handed-over handle leaves the count";
    b.reset(::CreateBitmap(1, 1, 1, 1, nullptr));
  }
  EXPECT_EQ(LiveHandles(HandleKind::Gdi), gdi) << "owners gone, count back";
}

TEST(Win32Handles, AnIconShowsItsPictureWhereItIsOpaqueAndKeepsNoBitmap) {
  const long gdi = LiveHandles(HandleKind::Gdi);
  // Left half opaque red, right half transparent, drawn over white.
  IconHandle icon = MakeIcon(HalfOpaque(16, 0x0000FF));
  EXPECT_TRUE(icon && LiveHandles(HandleKind::Gdi) == gdi) << "an icon keeps no bitmap of ours";
  WindowDc screen(nullptr);
  MemoryDcHandle dc(::CreateCompatibleDC(screen.Get()));
  BitmapHandle canvas(::CreateCompatibleBitmap(screen.Get(), 16, 16));
  SelectedObject selected(dc.get(), canvas.get());
  const RECT all{0, 0, 16, 16};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawIconEx(dc.get(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(::GetPixel(dc.get(), 3, 8), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(dc.get(), 12, 8), RGB(255, 255, 255));
}

TEST(Win32Handles, MenuPicturesArePremultiplied32BitBitmaps) {
  EXPECT_TRUE(!MakeIcon(MaskedImage()) && !MakeAlphaBitmap(MaskedImage()))
      << "no picture, no handle";
  BitmapHandle alpha = MakeAlphaBitmap(HalfOpaque(16, 0x0000FF));
  BITMAP bm{};
  ::GetObjectW(alpha.get(), sizeof bm, &bm);
  const auto* bits = static_cast<const uint32_t*>(bm.bmBits);
  EXPECT_TRUE(bm.bmBitsPixel == 32 && bits && bits[0] == 0xFFFF0000u && bits[15] == 0);
}

// ---------------------------------------------------------------- text

// The highest table slot that a burst of new objects reaches.
unsigned GdiTableTop() {
  std::vector<HBRUSH> brushes;
  unsigned top = 0;
  for (int i = 0; i < 200; ++i) {
    brushes.push_back(::CreateSolidBrush(RGB(i, 0, 0)));
    top = std::max<unsigned>(top, LOWORD(reinterpret_cast<uintptr_t>(brushes.back())));
  }
  for (HBRUSH b : brushes) ::DeleteObject(b);
  return top;
}

using Win32Text = Win32Test;

TEST_F(Win32Text, ALabelHasASizeAndSmoothedGlyphs) {
  const TextMask digits = Os().RenderText("Liberation Sans", 9, "100");
  EXPECT_TRUE(digits.Advance > 0 && digits.Width >= digits.Advance && digits.Height >= 9)
      << "a label has a size";
  EXPECT_EQ(digits.Coverage.size(),
            static_cast<size_t>(digits.Width) * static_cast<size_t>(digits.Height))
      << "coverage is width x height";
  // Small sizes may be drawn unsmoothed, as the font's own hints ask.
  const TextMask large = Os().RenderText("Liberation Sans", 30, "100");
  bool full = false, partial = false;
  for (uint8_t c : large.Coverage) {
    full |= c > 200;
    partial |= c > 0 && c < 200;
  }
  EXPECT_TRUE(full && partial) << "glyphs are smoothed: solid and partial coverage";
}

TEST_F(Win32Text, AdvancesAddUpAndABiggerFontIsBigger) {
  const TextMask one = Os().RenderText("Liberation Sans", 9, "8");
  const TextMask two = Os().RenderText("Liberation Sans", 9, "88");
  EXPECT_TRUE(two.Advance == 2 * one.Advance && two.Height == one.Height)
      << "advances add up along the line";
  const TextMask big = Os().RenderText("Liberation Sans", 30, "8");
  EXPECT_TRUE(big.Advance > one.Advance && big.Height > one.Height) << "a bigger font is bigger";
  EXPECT_GT(Os().RenderText("No Such Face Anywhere", 9, "8").Advance, 0)
      << "a missing face falls back";
  EXPECT_GT(Os().RenderText("Liberation Sans", 9, "\xC2\xB5").Advance, 0) << "UTF-8 text";
}

// A face of 31 characters may be longer than LOGFONT's 31 units; it is cut
// between two characters and still names a font the system can make.
TEST_F(Win32Text, ALongFaceIsCutBetweenCharactersAndStillDraws) {
  const std::string kAncient = "\xF0\xA0\x80\x80";  // U+20000: a surrogate pair
  const std::pair<std::string, std::wstring> faces[] = {
      {std::string(40, 'x'), std::wstring(31, L'x')},
      {std::string(30, 'x') + kAncient, std::wstring(30, L'x')},
      {std::string(29, 'x') + kAncient, std::wstring(29, L'x') + L"\xD840\xDC00"},
  };
  for (const auto& [face, expected] : faces) {
    SCOPED_TRACE(face.size());
    EXPECT_TRUE(FaceName(face) == expected) << "a face cut between characters";
    EXPECT_GT(Os().RenderText(face, 9, "8").Advance, 0) << "a long face still draws";
  }
}

TEST_F(Win32Text, EmptyTextNoSizeAndAnAbsurdSizeDrawNothing) {
  const TextMask empty = Os().RenderText("Liberation Sans", 9, "");
  EXPECT_TRUE(empty.Advance == 0 && empty.Width == 0 && empty.Coverage.empty() && empty.Height > 0)
      << "empty text";
  for (int height : {0, -9}) {
    const TextMask none = Os().RenderText("Liberation Sans", height, "8");
    EXPECT_TRUE(none.Advance == 0 && none.Width == 0 && none.Height == 0 && none.Coverage.empty())
        << "no size, no text: " << height;
  }
  const TextMask absurd = Os().RenderText("Liberation Sans", 5000, "2048");
  EXPECT_TRUE(absurd.Advance > 0 && absurd.Width == 0 && absurd.Coverage.empty())
      << "an absurd size draws nothing";
}

// Where the system does not count GDI objects (GetGuiResources gives 0) a
// leak still shows in the handles: their low word indexes the handle table,
// whose top then keeps growing.
TEST_F(Win32Text, RenderingLeaksNoGdiObject) {
  const DWORD countBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const unsigned topBefore = GdiTableTop();
  bool allDrawn = true;
  for (int i = 0; i < 2000; ++i)
    allDrawn &= Os().RenderText("Liberation Sans", 9 + i % 5, std::to_string(i)).Width > 0;
  EXPECT_TRUE(allDrawn);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), countBefore);
  EXPECT_LT(GdiTableTop(), topBefore + 100);
}

// ---------------------------------------------------------------- screen

using Win32Screen = Win32Test;

// Each monitor's whole screen beside its work area, the primary one first:
// a ruler over the task bar is on a screen, though off the work area.
TEST_F(Win32Screen, MonitorsComePrimaryFirstEachWorkAreaWithinItsScreen) {
  const std::vector<MonitorArea> monitors = Os().Monitors();
  ASSERT_FALSE(monitors.empty());
  EXPECT_EQ(monitors.front().Bounds,
            (Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}))
      << "the primary monitor first, its whole screen";
  for (const MonitorArea& m : monitors) {
    const Rect &b = m.Bounds, &w = m.WorkArea;
    EXPECT_TRUE(w.Width > 0 && w.Height > 0 && w.Left >= b.Left && w.Top >= b.Top &&
                w.Left + w.Width <= b.Left + b.Width && w.Top + w.Height <= b.Top + b.Height)
        << "a work area lies within its screen";
  }
}

TEST_F(Win32Screen, FontFamiliesComeEachOnceNoneSideways) {
  const std::vector<std::string> families = Os().ScreenFontFamilies();
  const std::set<std::string> unique(families.begin(), families.end());
  EXPECT_FALSE(families.empty());
  EXPECT_EQ(unique.size(), families.size());
  EXPECT_TRUE(std::none_of(families.begin(), families.end(),
                           [](const std::string& f) { return f.empty() || f[0] == '@'; }));
}

}  // namespace
}  // namespace vr::win32::test
