#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "About/Banner.h"
#include "DataModule/Pictures.h"

namespace vr {
namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kYellow = 0x00FFFF;
const std::vector<int> kSizes = {16, 20, 24, 32, 48};

bool Opaque(const MaskedImage& p, int x, int y) { return p.AlphaAt(x, y) == 255; }

// Opaque pixels of colour c within [x0, x1) x [y0, y1).
int Count(const MaskedImage& p, TColor c, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += Opaque(p, x, y) && p.Color.Pixel(x, y) == c;
  return n;
}
int Count(const MaskedImage& p, TColor c) { return Count(p, c, 0, 0, p.Width(), p.Height()); }

// Every opaque pixel at the edge of the drawing (beside a transparent pixel or
// the picture's border) is black: the outline holds all round.
void ExpectOutlinedInBlack(const MaskedImage& p) {
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      if (!Opaque(p, x, y)) continue;
      const bool edge = p.AlphaAt(x - 1, y) == 0 || p.AlphaAt(x + 1, y) == 0 ||
                        p.AlphaAt(x, y - 1) == 0 || p.AlphaAt(x, y + 1) == 0;
      if (edge) {
        EXPECT_EQ(p.Color.Pixel(x, y), kBlack) << "at " << x << ", " << y;
      }
    }
}

TEST(PicturesTest, EveryListPictureIsSquareAtEverySizeWithATransparentCorner) {
  for (int index = 0; index < PictureCount; ++index)
    for (int size : kSizes) {
      SCOPED_TRACE("picture " + std::to_string(index) + " at " + std::to_string(size));
      const MaskedImage p = DrawImageListPicture(index, size);
      ASSERT_EQ(p.Width(), size);
      ASSERT_EQ(p.Height(), size);
      ASSERT_EQ(p.Alpha.size(), static_cast<size_t>(size * size));
      EXPECT_EQ(p.AlphaAt(size - 1, 0), 0);
      EXPECT_GT(Count(p, kBlack), size);
    }
}

TEST(PicturesTest, OutOfRangeRequestsGiveEmptyPictures) {
  const std::vector<std::function<MaskedImage()>> requests = {
      [] { return DrawRulerSlotPicture(-1); },   [] { return DrawRulerSlotPicture(10); },
      [] { return DrawRulerSlotPicture(3, 0); }, [] { return DrawOptionsPicture(-16); },
      [] { return DrawProgramIcon(0); },         [] { return DrawImageListPicture(PictureCount); },
      [] { return DrawImageListPicture(-1); },
  };
  for (size_t i = 0; i < requests.size(); ++i) EXPECT_TRUE(requests[i]().Empty()) << i;
}

TEST(PicturesTest, SlotPicturesShowTheirColourAndADigitOnWhiteAtTheLowerRight) {
  std::set<TColor> colours;
  for (int size : kSizes) {
    std::set<std::vector<TColor>> digitBoxes;
    for (int slot = 0; slot < 10; ++slot) {
      SCOPED_TRACE("slot " + std::to_string(slot) + " at " + std::to_string(size));
      const MaskedImage p = DrawRulerSlotPicture(slot, size);
      const TColor colour = RulerSlotPictureColor(slot);
      colours.insert(colour);
      // The ruler's body shows at the left, clear of the digit's square.
      EXPECT_GT(Count(p, colour, 0, 0, size / 2, size), size);
      const int half = size / 2;
      EXPECT_GT(Count(p, kWhite, half, half, size, size), size / 2);
      EXPECT_GT(Count(p, kBlack, half + 2, half + 2, size - 2, size - 2), size / 5);
      ExpectOutlinedInBlack(p);
      std::vector<TColor> box;
      for (int y = half; y < size; ++y)
        for (int x = half; x < size; ++x) box.push_back(p.Color.Pixel(x, y));
      digitBoxes.insert(box);
    }
    EXPECT_EQ(digitBoxes.size(), 10u) << "every digit reads differently at " << size;
  }
  EXPECT_EQ(colours.size(), 10u);
  EXPECT_EQ(RulerSlotPictureColor(0), kWhite);
  EXPECT_EQ(RulerSlotPictureColor(8), kYellow);
}

TEST(PicturesTest, ProgramIconIsAYellowRulerOverlappedAtItsLowerRightByAWhiteOne) {
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    const MaskedImage p = DrawProgramIcon(size);
    ASSERT_EQ(p.Width(), size);
    double yx = 0, yy = 0, wx = 0, wy = 0;
    int yn = 0, wn = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        if (!Opaque(p, x, y)) continue;
        if (p.Color.Pixel(x, y) == kYellow) yx += x, yy += y, ++yn;
        if (p.Color.Pixel(x, y) == kWhite) wx += x, wy += y, ++wn;
      }
    ASSERT_GT(yn, size * size / 8);
    ASSERT_GT(wn, size * size / 8);
    EXPECT_LT(yx / yn, wx / wn);
    EXPECT_LT(yy / yn, wy / wn);
    ExpectOutlinedInBlack(p);
    EXPECT_EQ(p.AlphaAt(0, size - 1), 0);
    EXPECT_EQ(p.AlphaAt(size - 1, 0), 0);
  }
  EXPECT_EQ(DrawAboutPicture(16), DrawProgramIcon(16));
}

TEST(PicturesTest, OptionsPictureHasAWhiteRulerBehindItsTools) {
  for (int size : kSizes) {
    const MaskedImage p = DrawOptionsPicture(size);
    EXPECT_GT(Count(p, kWhite, 0, 0, size / 2, size), size / 2) << size;
    EXPECT_EQ(Count(p, kWhite, size / 2, 0, size, size), 0) << size;
    EXPECT_EQ(p.AlphaAt(size - 1, size - 1), 0) << size;
  }
}

TEST(PicturesTest, BannerIsAFullSizeGradientWithTheProgramsYellowRuler) {
  const Image banner = DrawAboutBanner();
  ASSERT_EQ(banner.Width(), AboutBannerWidth);
  ASSERT_EQ(banner.Height(), AboutBannerHeight);
  EXPECT_EQ(banner.Width(), 480);
  EXPECT_EQ(banner.Height(), 80);
  EXPECT_NE(banner.Pixel(0, 0), banner.Pixel(banner.Width() - 1, 0));
  int yellow = 0;
  for (TColor c : banner.Pixels()) yellow += c == kYellow;
  EXPECT_GT(yellow, 100);
}

}  // namespace
}  // namespace vr
