// What a render costs, whatever the store holds: numbers no taller than the
// ruler can show, only the ticks that can reach the picture, and text kept in
// a cache of bounded size that belongs to its platform. Measured as work done,
// never as time.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "platform/TextMaskCache.h"
#include "platform/headless/HeadlessFont.h"

namespace vr::test {
namespace {

constexpr uint32_t kBig = 2147483647;

struct HeightCase {
  int32_t points;
  int ppi;
  int64_t breadth;
  int expected;
};

void PrintTo(const HeightCase& c, std::ostream* os) {
  *os << c.points << "pt_" << c.ppi << "ppi_" << c.breadth;
}

class LabelHeight : public ::testing::TestWithParam<HeightCase> {};

TEST_P(LabelHeight, IsThePointSizeButNoMoreThan96PixelsNorTheBreadth) {
  const HeightCase& c = GetParam();
  EXPECT_EQ(LabelPixelHeight(c.points, c.ppi, c.breadth), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LabelHeight,
    ::testing::Values(HeightCase{7, 96, 50, 9}, HeightCase{72, 96, 512, 96},
                      HeightCase{73, 96, 512, 96}, HeightCase{INT32_MAX, 96, 512, 96},
                      HeightCase{INT32_MAX, 192, 512, 96}, HeightCase{30, 192, 512, 80},
                      HeightCase{INT32_MAX, 96, 50, 50}, HeightCase{10, 96, 4, 4},
                      HeightCase{7, 96, 0, 0}, HeightCase{-7, 96, 50, 0}));

// Drawing by spans must put every mask pixel where the turn takes it, mixed
// as one pixel would be, clipped at every edge of the picture.
TEST(TurnedTextBySpans, DrawsWhatPixelByPixelDrawingDraws) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    TextMask mask{5, 2 + static_cast<int>(random() % 9), 2 + static_cast<int>(random() % 9), {}};
    for (int n = 0; n < mask.Width * mask.Height; ++n) {
      const uint32_t r = random() % 4;  // a quarter empty, a quarter full, half partly covered
      mask.Coverage.push_back(r == 0 ? 0 : r == 1 ? 255 : static_cast<uint8_t>(random() % 254 + 1));
    }
    for (int angle : {0, 90, 180, 270}) {
      const int64_t x = static_cast<int64_t>(random() % 24) - 6;
      const int64_t y = static_cast<int64_t>(random() % 24) - 6;
      Image drawn(12, 12, 0x102030);
      DrawTurnedText(drawn, mask, x, y, angle, 0xA0B0C0);
      Image expected(12, 12, 0x102030);
      for (int64_t j = 0; j < mask.Height; ++j)
        for (int64_t i = 0; i < mask.Width; ++i) {
          const int64_t px = angle == 0     ? x + i
                             : angle == 180 ? x - 1 - i
                             : angle == 270 ? x - 1 - j
                                            : x + j;
          const int64_t py = angle == 0     ? y + j
                             : angle == 180 ? y - 1 - j
                             : angle == 270 ? y + i
                                            : y - 1 - i;
          expected.BlendPixel(px, py, 0xA0B0C0,
                              mask.Coverage[static_cast<size_t>(j * mask.Width + i)]);
        }
      ASSERT_EQ(drawn, expected) << "round " << round << " angle " << angle;
    }
  }
}

struct StoredCase {
  const char* name;
  std::vector<std::pair<const char*, uint32_t>> values;
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }

class StoredSettingsCost : public ProgramTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredSettingsCost, StaysWithinWhatThePictureCanShowInEveryOrientation) {
  for (const auto& [name, value] : GetParam().values) Os.Registry.PutInteger(Key(0), name, value);
  TRulerForm& r = StartAndShowRuler0();
  for (int turn = 0; turn < 4; ++turn) {
    SCOPED_TRACE(::testing::Message() << "orientation " << int(r.Orientation()));
    const Image& img = r.RulerImage();
    const bool vertical = r.Orientation() == TopToBottom || r.Orientation() == BottomToTop;
    const int64_t extent = vertical ? img.Height() : img.Width();
    const int64_t breadth = vertical ? img.Width() : img.Height();
    const int64_t area = extent * breadth;
    const TRenderWork& work = r.LastRenderWork();
    EXPECT_LE(extent, kMaxRulerLength);
    EXPECT_LE(breadth, kMaxRulerBreadth);
    EXPECT_LE(r.LabelFont().PixelHeight, std::min<int64_t>(breadth, 96));
    // The ticks on the picture, and a few beyond its ends whose numbers reach in.
    EXPECT_LE(work.TicksVisited, extent / 5 + 64);
    EXPECT_LE(work.LabelsDrawn, work.TicksVisited);
    // Numbers overlap, but their ink grows with the picture, not with the font size.
    EXPECT_LE(work.LabelPixels, 4 * area);
    r.SetOrientation(static_cast<uint8_t>((r.Orientation() + 1) % 4));
  }
  // A second round of turns finds every number in the cache.
  const int rasterised = Os.TextRenders;
  for (int turn = 0; turn < 4; ++turn)
    r.SetOrientation(static_cast<uint8_t>((r.Orientation() + 1) % 4));
  EXPECT_EQ(Os.TextRenders, rasterised);
  EXPECT_LE(Os.TextMasks().Bytes(), TextMaskCache::kDefaultCapacityBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, StoredSettingsCost,
    ::testing::Values(
        StoredCase{"HugeFontsOnALongBroadRuler",
                   {{"Scale", 8182},
                    {"Breadth", 1024},
                    {"FontSize100", kBig},
                    {"FontSize50", kBig},
                    {"FontSize10", kBig},
                    {"FontSize5", kBig},
                    {"ShowNumber5", 1}}},
        StoredCase{"HugeScaleAndFontRightToLeft",
                   {{"Scale", kBig}, {"FontSize100", kBig}, {"Orientation", RightToLeft}}},
        StoredCase{"HugeEverything",
                   {{"Scale", kBig},
                    {"Breadth", kBig},
                    {"RightMargin", kBig},
                    {"TickSize100", kBig},
                    {"FontSize100", kBig},
                    {"FontSize5", kBig},
                    {"ShowNumber5", 1}}},
        StoredCase{"ZeroPastTheFarEnd", {{"LeftMargin", kBig}, {"FontSize100", kBig}}}));

TEST_F(ProgramTest, AHundredsNumberReachesInFromATickBeyondTheEnd) {
  TRulerForm& r = StartRuler0();
  r.SetFontSize(Tick100, 72);  // drawn 50 pixels tall, the breadth
  // Offset 1000 lands 55 pixels before the picture; its number is over 120 wide.
  r.SetScale(2048);
  r.SetLeftMargin(-1055);
  const int T = r.GetTickSize(Tick100);
  const TextMask label = headless::RenderBitmapText(50, "1000");
  Image expected = r.RulerImage();
  DrawTurnedText(expected, label, -55 - label.Advance / 2, T + 2, 0, 0x000000);
  EXPECT_EQ(expected, r.RulerImage());
  int inked = 0;
  for (int y = T + 2; y < 50; ++y) inked += r.RulerImage().Pixel(1, y) == 0x000000;
  EXPECT_GT(inked, 0);
}

TEST_F(ProgramTest, ACacheThatKeepsNothingDrawsTheSameNumbers) {
  TRulerForm& r = StartRuler0();
  // Only the numbers and ticks are black: the speckled body never is.
  auto ink = [&] {
    std::vector<bool> black;
    for (TColor p : r.RulerImage().Pixels()) black.push_back(p == 0x000000);
    return black;
  };
  const std::vector<bool> cached = ink();
  Os.TextMasks().SetCapacity(0);
  const int rasterised = Os.TextRenders;
  r.Render();
  EXPECT_GT(Os.TextRenders, rasterised);
  EXPECT_EQ(Os.TextMasks().Count(), 0u);
  EXPECT_EQ(ink(), cached);
}

TEST(TextCache, BelongsToItsPlatform) {
  headless::HeadlessPlatform a, b;
  a.TextMasks().Get("Arial", 9, "1", [] { return headless::RenderBitmapText(9, "1"); });
  EXPECT_EQ(a.TextMasks().Count(), 1u);
  EXPECT_EQ(b.TextMasks().Count(), 0u);
}

}  // namespace
}  // namespace vr::test
