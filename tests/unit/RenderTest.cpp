#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

#include "TestSupport.h"
#include "platform/headless/HeadlessFont.h"

namespace vr::test {
namespace {

struct BlendCase {
  TColor from, to;
  double percent;
  TColor expected;
};

void PrintTo(const BlendCase& c, std::ostream* os) {
  *os << std::hex << c.from << "_" << c.to << std::dec << "_" << c.percent;
}

class Blend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(Blend, MixesPerChannelRoundingTiesToEven) {
  const BlendCase& c = GetParam();
  EXPECT_EQ(BlendColor(c.from, c.to, c.percent), c.expected)
      << std::hex << c.from << " -> " << c.to << " by " << c.percent;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Blend,
    ::testing::Values(
        BlendCase{0x123456, 0xABCDEF, 0, 0x123456}, BlendCase{0x123456, 0xABCDEF, -5, 0x123456},
        BlendCase{0x123456, 0x123456, 50, 0x123456}, BlendCase{0x123456, 0xABCDEF, 100, 0xABCDEF},
        BlendCase{0x123456, 0xABCDEF, 150, 0xABCDEF},
        BlendCase{0xFFFFFF, 0x000000, 50, 0x808080},  // 127.5 -> 128
        BlendCase{0xFDFDFD, 0x000000, 50, 0x7E7E7E},  // 126.5 -> 126
        BlendCase{0x000000, 0xFFFFFF, 75, 0xBFBFBF}, BlendCase{0xC0C0C0, 0x000000, 20, 0x9A9A9A},
        BlendCase{0xC0C0C0, 0x000000, 90, 0x131313},
        // The top byte of a plain colour does not survive a mix.
        BlendCase{0x01000000, 0x000000, 50, 0x000000},
        BlendCase{0x0000FF, 0xFF0000, 50, 0x800080}));

class SystemColours : public ProgramTest {};

TEST_F(SystemColours, AreMixedByTheirCurrentValue) {
  Os.SysColors[5] = 0x00FFFFFF;
  EXPECT_EQ(BlendColor(0x80000005, 0x000000, 50, Os), 0x808080u);
  EXPECT_EQ(BlendColor(0x000000, 0x80000005, 100, Os), 0xFFFFFFu);
  EXPECT_EQ(BlendColor(0x80000005, 0xFFFFFF, 50, Os), 0xFFFFFFu);
  EXPECT_EQ(BlendColor(0x80000005, 0x000000, 0, Os), 0xFFFFFFu);
}

TEST(FontPixelHeightTest, PointsToPixelsAtTheScreenDensity) {
  EXPECT_EQ(FontPixelHeight(7, 96), 9);
  EXPECT_EQ(FontPixelHeight(6, 96), 8);
  EXPECT_EQ(FontPixelHeight(7, 144), 14);
  EXPECT_EQ(FontPixelHeight(0, 96), 0);
  EXPECT_EQ(FontPixelHeight(-7, 96), 0);
  EXPECT_EQ(FontPixelHeight(INT32_MAX, 96), 512);
}

// One marked pixel at (i, j) of an upright 3 x 2 mask shows where a glyph's
// reading direction (i) and its top (j = 0) end up when turned.
struct TurnCase {
  int angle;
  int i, j;
  Point at;  // with the cell's corner at (10, 10)
};

void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.angle << "_" << c.i << "_" << c.j; }

class Turn : public ::testing::TestWithParam<TurnCase> {};

TEST_P(Turn, MapsTheUprightCellAboutItsCorner) {
  const TurnCase& c = GetParam();
  TextMask mask{3, 3, 2, std::vector<uint8_t>(6, 0)};
  mask.Coverage[static_cast<size_t>(c.j * 3 + c.i)] = 255;
  Image image(20, 20, 0);
  DrawTurnedText(image, mask, 10, 10, c.angle, 0xFFFFFF);
  int count = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (image.Pixel(x, y)) {
        ++count;
        EXPECT_EQ((Point{x, y}), c.at) << c.angle << " " << c.i << "," << c.j;
      }
  EXPECT_EQ(count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, Turn,
    ::testing::Values(
        TurnCase{0, 0, 0, {10, 10}}, TurnCase{0, 2, 0, {12, 10}}, TurnCase{0, 0, 1, {10, 11}},
        // Reads downward, tops toward +x, cell left of the corner.
        TurnCase{270, 0, 0, {9, 10}}, TurnCase{270, 2, 0, {9, 12}}, TurnCase{270, 0, 1, {8, 10}},
        // Upside down, reads leftward, cell above the corner.
        TurnCase{180, 0, 0, {9, 9}}, TurnCase{180, 2, 0, {7, 9}}, TurnCase{180, 0, 1, {9, 8}},
        // Reads upward, tops toward -x, cell right of the corner.
        TurnCase{90, 0, 0, {10, 9}}, TurnCase{90, 2, 0, {10, 7}}, TurnCase{90, 0, 1, {11, 9}}));

TEST(TurnedText, IsClippedToThePicture) {
  TextMask mask{4, 4, 4, std::vector<uint8_t>(16, 255)};
  Image image(3, 3, 0);
  DrawTurnedText(image, mask, -2, -2, 0, 1);
  DrawTurnedText(image, mask, INT64_MAX / 2, 1, 270, 1);
  EXPECT_EQ(image.Pixel(0, 0), 1u);
  EXPECT_EQ(image.Pixel(1, 1), 1u);
  EXPECT_EQ(image.Pixel(2, 2), 0u);
}

class RenderTest : public ProgramTest {
 protected:
  static TColor Level(TickLevel level) {
    static const std::array<TColor, 4> c{0x000000, BlendColor(0xC0C0C0, 0, 90),
                                         BlendColor(0xC0C0C0, 0, 80), BlendColor(0xC0C0C0, 0, 70)};
    return c[level];
  }
  // Length of the run of colour c that starts at the edge the ticks hang from.
  static int TickRun(const Image& img, uint8_t orientation, int along, TColor c) {
    int n = 0;
    for (int k = 0;; ++k) {
      TColor p = 0;
      switch (orientation) {
        case LeftToRight:
          p = img.Pixel(along, k);
          break;
        case TopToBottom:
          p = img.Pixel(img.Width() - 1 - k, along);
          break;
        case RightToLeft:
          p = img.Pixel(along, img.Height() - 1 - k);
          break;
        default:
          p = img.Pixel(k, along);
          break;
      }
      if (p != c || k >= 100) return n;
      ++n;
    }
  }
};

TEST_F(RenderTest, BodyColourFollowsLuminosityButMinorTicksFadeTowardTheBaseColour) {
  TRulerForm& r = StartRuler0();
  // The render alone: the Options window's bar brings a luminosity beyond
  // -50..50 back to its end, as the Options tests prove.
  Rulers().OptionsForm = nullptr;
  r.SetLuminosity(-20);
  EXPECT_EQ(r.Color(), 0x9A9A9Au);
  // The Tick50 tick at x = 55 keeps its colour from the base, not the body.
  EXPECT_EQ(r.RulerImage().Pixel(55, 5), 0x131313u);
  r.SetLuminosity(30);
  EXPECT_EQ(r.Color(), BlendColor(0xC0C0C0, 0xFFFFFF, 30));
  r.SetLuminosity(1000);
  EXPECT_EQ(r.Color(), 0xFFFFFFu);
  r.SetLuminosity(INT32_MIN);
  EXPECT_EQ(r.Color(), 0x000000u);
}

TEST_F(RenderTest, SpeckleTileStaysWithinThreePercentOfTheBody) {
  TRulerForm& r = StartRuler0();
  const TColor light = BlendColor(0xC0C0C0, 0xFFFFFF, 3);
  const TColor dark = BlendColor(0xC0C0C0, 0x000000, 3);
  const Image& tile = r.NoiseTile();
  ASSERT_EQ(tile.Width(), 32);
  ASSERT_EQ(tile.Height(), 32);
  int lightest = 0;
  for (TColor p : tile.Pixels()) {
    EXPECT_GE(p & 0xFF, dark & 0xFF);
    EXPECT_LE(p & 0xFF, light & 0xFF);
    lightest += p == light;
  }
  EXPECT_GT(lightest, 0);
}

TEST_F(RenderTest, BevelShadesEachEdgePixelOnce) {
  TRulerForm& r = StartRuler0();
  for (TickLevel l : {Tick100, Tick50, Tick10, Tick5}) r.SetShowTick(l, false);
  const Image& img = r.RulerImage();
  const Image& tile = r.NoiseTile();
  const int W = img.Width(), H = img.Height();
  auto body = [&](int x, int y) { return tile.Pixel(x % 32, y % 32); };
  for (int x = 0; x < W; ++x) ASSERT_EQ(img.Pixel(x, 0), BlendColor(body(x, 0), 0xFFFFFF, 75)) << x;
  for (int y = 1; y < H; ++y) {
    ASSERT_EQ(img.Pixel(0, y), BlendColor(body(0, y), 0xFFFFFF, 75)) << y;
    ASSERT_EQ(img.Pixel(W - 1, y), BlendColor(body(W - 1, y), 0x000000, 50)) << y;
  }
  for (int x = 1; x < W - 1; ++x)
    ASSERT_EQ(img.Pixel(x, H - 1), BlendColor(body(x, H - 1), 0, 50)) << x;
  EXPECT_EQ(img.Pixel(7, 7), body(7, 7));
  EXPECT_EQ(img.Pixel(600, 40), body(600, 40));
}

struct TickCase {
  uint8_t orientation;
  int along;  // position along the ruler
  TickLevel level;
};

void PrintTo(const TickCase& c, std::ostream* os) { *os << int(c.orientation) << "_" << c.along; }

class Ticks : public RenderTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(Ticks, StandAtTheirPlaceWithTheirLevelsColourAndLength) {
  TRulerForm& r = StartRuler0();
  r.SetOrientation(GetParam().orientation);
  const int T = r.GetTickSize(GetParam().level);
  // In TopToBottom and RightToLeft the tick starts one pixel past the edge.
  const int visible =
      GetParam().orientation == TopToBottom || GetParam().orientation == RightToLeft ? T - 1 : T;
  EXPECT_EQ(
      TickRun(r.RulerImage(), GetParam().orientation, GetParam().along, Level(GetParam().level)),
      visible);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, Ticks,
    ::testing::Values(TickCase{LeftToRight, 5, Tick100}, TickCase{LeftToRight, 10, Tick5},
                      TickCase{LeftToRight, 15, Tick10}, TickCase{LeftToRight, 55, Tick50},
                      TickCase{LeftToRight, 105, Tick100}, TickCase{LeftToRight, 640, Tick5},
                      TickCase{TopToBottom, 5, Tick100}, TickCase{TopToBottom, 55, Tick50},
                      TickCase{RightToLeft, 645, Tick100}, TickCase{RightToLeft, 595, Tick50},
                      TickCase{RightToLeft, 10, Tick5}, TickCase{BottomToTop, 645, Tick100},
                      TickCase{BottomToTop, 640, Tick5}, TickCase{BottomToTop, 10, Tick5}));

TEST_F(RenderTest, LeftToRightHas128TicksFromFiveTo640) {
  TRulerForm& r = StartRuler0();
  r.SetShowNumber(Tick100, false);
  r.SetShowNumber(Tick50, false);
  r.SetShowNumber(Tick10, false);
  const Image& img = r.RulerImage();
  // Row 5 crosses every tick and nothing else drawn.
  int ticks = 0;
  for (int x = 0; x < img.Width(); ++x) {
    const TColor p = img.Pixel(x, 5);
    const bool tick =
        p == Level(Tick100) || p == Level(Tick50) || p == Level(Tick10) || p == Level(Tick5);
    EXPECT_EQ(tick, x >= 5 && x <= 640 && x % 5 == 0) << x;
    ticks += tick;
  }
  EXPECT_EQ(ticks, 128);
  // A tick of 29 covers rows 0 to 28.
  EXPECT_EQ(img.Pixel(105, 28), 0u);
  EXPECT_NE(img.Pixel(105, 29), 0u);
}

TEST_F(RenderTest, TopToBottomTickCoversTheLastColumnsOfTheBreadth) {
  TRulerForm& r = StartRuler0();
  r.SetOrientation(TopToBottom);
  const Image& img = r.RulerImage();
  for (int x = 20; x < 50; ++x) EXPECT_EQ(img.Pixel(x, 105) == 0, x >= 22) << x;
}

struct ScaleCase {
  int32_t stored;
  int ticks;
  int lastAt;  // x of the last tick, -1: none
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.stored; }

class TickCount : public RenderTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(TickCount, TicksExistBelowTheScaleOnly) {
  Os.Registry.PutInteger(Key(0), "Scale", static_cast<uint32_t>(GetParam().stored));
  Os.Registry.PutInteger(Key(0), "ShowNumber100", 0);
  Os.Registry.PutInteger(Key(0), "ShowNumber50", 0);
  Os.Registry.PutInteger(Key(0), "ShowNumber10", 0);
  TRulerForm& r = StartRuler0();
  const Image& img = r.RulerImage();
  int ticks = 0, last = -1;
  for (int x = 1; x < img.Width() - 1; ++x)
    if (img.Pixel(x, 5) == 0 || img.Pixel(x, 5) == Level(Tick5) ||
        img.Pixel(x, 5) == Level(Tick10) || img.Pixel(x, 5) == Level(Tick50)) {
      ++ticks;
      last = x;
    }
  EXPECT_EQ(ticks, GetParam().ticks);
  EXPECT_EQ(last, GetParam().lastAt);
}

INSTANTIATE_TEST_SUITE_P(Scales, TickCount,
                         ::testing::Values(ScaleCase{100, 20, 100}, ScaleCase{101, 21, 105},
                                           ScaleCase{0, 1, 5}, ScaleCase{1, 1, 5}));

TEST_F(RenderTest, AHugeStoredScaleDrawsOnlyWhatTheWindowShows) {
  Os.Registry.PutInteger(Key(0), "Scale", 2000000000);
  Os.Registry.PutInteger(Key(0), "LeftMargin", 0);
  Os.Registry.PutInteger(Key(0), "RightMargin", 0);
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(r.RulerImage().Width(), kMaxRulerLength);
  EXPECT_EQ(r.RulerImage().Pixel(100, 3), 0u);
  EXPECT_EQ(r.RulerImage().Pixel(8100, 3), 0u);
}

TEST_F(RenderTest, ANumberNeedsItsTick) {
  TRulerForm& r = StartRuler0();
  r.Font().SetColor(0x0000FF);
  r.SetShowTick(Tick100, false);
  for (int y = 0; y < 50; ++y) EXPECT_NE(r.RulerImage().Pixel(105, y), 0x0000FFu) << y;
}

// The bounding box of the pixels of one colour inside a window of the picture.
struct Box {
  int x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
  bool empty() const { return x0 > x1; }
};
Box Find(const Image& img, TColor c, int xa, int ya, int xb, int yb) {
  Box b;
  for (int y = ya; y < yb; ++y)
    for (int x = xa; x < xb; ++x)
      if (img.Pixel(x, y) == c) {
        b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
      }
  return b;
}

TEST_F(RenderTest, NumbersAreCentredOnTheirTicksWithTopsTowardTheTickEdge) {
  TRulerForm& r = StartRuler0();
  r.Font().SetColor(0x0000FF);
  // Offset 100: at 105 from the zero end in the first two orientations, 545 in the others.
  r.SetOrientation(LeftToRight);
  Box b = Find(r.RulerImage(), 0x0000FF, 80, 30, 130, 50);
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR((b.x0 + b.x1) / 2.0, 105, 1.0);
  EXPECT_EQ(b.y0, 31);  // two pixels past the tick's end
  r.SetOrientation(TopToBottom);
  b = Find(r.RulerImage(), 0x0000FF, 0, 80, 20, 130);
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR((b.y0 + b.y1) / 2.0, 105, 1.0);
  EXPECT_EQ(b.x1, 50 - 29 - 3);
  r.SetOrientation(RightToLeft);
  b = Find(r.RulerImage(), 0x0000FF, 520, 0, 570, 20);
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR((b.x0 + b.x1) / 2.0, 545, 1.0);
  EXPECT_EQ(b.y1, 50 - 29 - 3);
  r.SetOrientation(BottomToTop);
  b = Find(r.RulerImage(), 0x0000FF, 27, 520, 50, 570);
  ASSERT_FALSE(b.empty());
  EXPECT_NEAR((b.y0 + b.y1) / 2.0, 545, 1.0);
  EXPECT_EQ(b.x0, 29 - 2);
}

TEST_F(RenderTest, MinorNumbersAreTheTensDigitWithinTheHundred) {
  TRulerForm& r = StartRuler0();
  r.SetShowNumber(Tick5, true);
  // Drawing the expected digit over the picture changes nothing only when
  // that digit is already there.
  auto numberAt = [&](int offset, TickLevel level, const char* digit) {
    const int T = r.GetTickSize(level);
    const TextMask m = headless::RenderBitmapText(FontPixelHeight(r.GetFontSize(level), 96), digit);
    Image expected = r.RulerImage();
    DrawTurnedText(expected, m, 5 + offset - m.Advance / 2, T + 2, 0, Level(level));
    return expected == r.RulerImage();
  };
  EXPECT_TRUE(numberAt(35, Tick5, "3"));
  EXPECT_TRUE(numberAt(175, Tick5, "7"));
  EXPECT_TRUE(numberAt(105, Tick5, "0"));
  EXPECT_TRUE(numberAt(250, Tick50, "5"));
  EXPECT_TRUE(numberAt(170, Tick10, "7"));
  EXPECT_TRUE(numberAt(620, Tick10, "2"));
  EXPECT_FALSE(numberAt(170, Tick10, "1"));
}

TEST_F(RenderTest, RendersDifferOnlyInTheSpeckle) {
  TRulerForm& r = StartRuler0();
  const Image first = r.RulerImage();
  const Image firstTile = r.NoiseTile();
  r.Render();
  EXPECT_NE(r.NoiseTile(), firstTile);
  int differing = 0;
  for (int x = 0; x < first.Width(); ++x)
    for (int y = 0; y < first.Height(); ++y) {
      const TColor a = first.Pixel(x, y), b = r.RulerImage().Pixel(x, y);
      if (a != b) {
        ++differing;
        EXPECT_LE(std::abs(static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF)), 12)
            << x << "," << y;
      }
    }
  EXPECT_GT(differing, 0);
  // Ticks and numbers are the same.
  EXPECT_EQ(r.RulerImage().Pixel(105, 10), first.Pixel(105, 10));
}

TEST_F(RenderTest, RenderingShowsThePictureAndMovesTheTrayIcon) {
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 0);
  const int presents = WindowOf(r).Presents();
  r.SetLuminosity(10);
  EXPECT_EQ(WindowOf(r).Presents(), presents + 1);
  EXPECT_EQ(WindowOf(r).Screen(), r.RulerImage());
}

TEST_F(RenderTest, PaintOnlyCopiesThePicture) {
  TRulerForm& r = StartRuler0();
  const uint64_t renders = r.RenderCount();
  const int presents = WindowOf(r).Presents();
  r.HandlePaint();
  EXPECT_EQ(WindowOf(r).Presents(), presents + 1);
  EXPECT_EQ(r.RenderCount(), renders);
}

TEST_F(RenderTest, NumbersAreRasterisedOncePerFaceAndSize) {
  TRulerForm& r = StartRuler0();
  const int before = Os.TextRenders;
  r.Render();
  r.Render();
  EXPECT_EQ(Os.TextRenders, before);
  r.Font().SetName("Courier New");
  EXPECT_GT(Os.TextRenders, before);
}

TEST_F(RenderTest, AbsurdSizesStayDrawable) {
  TRulerForm& r = StartRuler0();
  r.SetTickSize(Tick100, INT32_MAX);
  r.SetTickSize(Tick5, INT32_MIN);
  r.SetFontSize(Tick10, INT32_MAX);
  r.SetFontSize(Tick50, -3);
  r.SetOrientation(BottomToTop);
  r.SetBreadth(-4);
  EXPECT_EQ(r.RulerImage().Width(), 1);
  EXPECT_EQ(r.RulerImage().Height(), 650);
}

// A ruler of the default look, as the store's defaults give it.
RulerSettings DefaultLook() {
  RulerSettings s;
  s.Scale = 640;
  s.LeftMargin = 5;
  s.RightMargin = 5;
  s.Breadth = 50;
  s.BaseColor = 0xC0C0C0;
  s.ShowTick = {true, true, true, true};
  s.TickSize = kDefaultTickSize;
  s.ShowNumber = kDefaultShowNumber;
  s.FontSize = kDefaultFontSize;
  return s;
}

TEST(RenderRulerTest, DrawsFromSettingsFontSizeAndTextAlone) {
  // No application, no window: a platform's text is all it needs.
  headless::HeadlessPlatform text;
  RulerSettings s = DefaultLook();
  s.Luminosity = -20;
  const RulerPicture p = RenderRuler(s, {"Arial", 0x0000FF, 96}, 650, 50, text);
  EXPECT_EQ(p.Picture.Width(), 650);
  EXPECT_EQ(p.Picture.Height(), 50);
  EXPECT_EQ(p.NoiseTile.Width(), 32);
  EXPECT_EQ(p.Color, 0x9A9A9Au);
  // The zero tick in the numbers' colour, drawn over the bevel.
  EXPECT_EQ(p.Picture.Pixel(5, 0), 0x0000FFu);
  EXPECT_EQ(p.Work.TicksVisited, 128);
  EXPECT_GT(p.Work.LabelsDrawn, 0);
  EXPECT_EQ(p.LabelFont.Face, "Arial");
  EXPECT_EQ(p.LabelFont.PixelHeight, 9);
  EXPECT_EQ(p.LabelFont.Angle, 0);
  // The numbers are the platform's text, rasterised once and then kept.
  const int rasterised = text.TextRenders;
  EXPECT_GT(rasterised, 0);
  RenderRuler(s, {"Arial", 0x0000FF, 96}, 650, 50, text);
  EXPECT_EQ(text.TextRenders, rasterised);
  // The density turns the same point sizes into taller numbers.
  EXPECT_EQ(RenderRuler(s, {"Arial", 0x0000FF, 192}, 650, 50, text).LabelFont.PixelHeight, 19);
}

// Sees, when the program is told that a ruler changed, what the ruler shows.
class ChangeWatch : public TRulerObserver {
 public:
  ChangeWatch(const TRulerForm& ruler, const headless::HeadlessWindow& window)
      : Ruler_(ruler), Window_(window) {}
  void RefreshFromRuler() override {
    ++Notices;
    PictureWhenTold = Ruler_.RulerImage();
    PresentsWhenTold = Window_.Presents();
  }
  int Notices = 0;
  Image PictureWhenTold;
  int PresentsWhenTold = 0;

 private:
  const TRulerForm& Ruler_;
  const headless::HeadlessWindow& Window_;
};

struct ChangeCase {
  const char* name;
  std::function<void(TRulerForm&)> change;
};
void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class ProgramHearsOfEachRender : public RenderTest,
                                 public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ProgramHearsOfEachRender, OnceWithTheNewPictureBeforeItIsShown) {
  TRulerForm& r = StartRuler0();
  ChangeWatch watch(r, WindowOf(r));
  Rulers().OptionsForm = &watch;
  const uint64_t renders = r.RenderCount();
  const int presents = WindowOf(r).Presents();
  GetParam().change(r);
  ASSERT_EQ(r.RenderCount(), renders + 1);
  EXPECT_EQ(watch.Notices, 1);
  EXPECT_EQ(watch.PictureWhenTold, r.RulerImage());
  EXPECT_EQ(watch.PresentsWhenTold, presents);
  EXPECT_EQ(WindowOf(r).Presents(), presents + 1);
  EXPECT_EQ(WindowOf(r).Screen(), r.RulerImage());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ProgramHearsOfEachRender,
    ::testing::Values(ChangeCase{"LaidOutAgain", [](TRulerForm& r) { r.SetScale(800); }},
                      ChangeCase{"TurnedAQuarter", [](TRulerForm& r) { r.SetOrientation(1); }},
                      ChangeCase{"Darkened", [](TRulerForm& r) { r.SetLuminosity(-10); }},
                      ChangeCase{"TicksHidden", [](TRulerForm& r) { r.SetShowTick(Tick5, false); }},
                      ChangeCase{"NewFace", [](TRulerForm& r) { r.Font().SetName("Verdana"); }},
                      ChangeCase{"RenderedAgain", [](TRulerForm& r) { r.Render(); }}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vr::test
