#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Ruler/RulerMeasure.h"
#include "Ruler/RulerOverlay.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

// ---------------------------------------------------------------- offsets

struct OffsetCase {
  const char* name;
  uint8_t orientation;
  int32_t leftMargin, rightMargin, scale;
  int32_t along;  // window column (row, standing) the pointer is over
  int64_t offset;
};

void PrintTo(const OffsetCase& c, std::ostream* os) { *os << c.name; }

class PointerOffset : public ProgramTest, public ::testing::WithParamInterface<OffsetCase> {};

// The pointer over the ruler reads the offset the ticks show there, and its
// hairline crosses the whole breadth at that column or row.
TEST_P(PointerOffset, ReadsTheTicksNumberAndDrawsTheHairlineThere) {
  const OffsetCase& c = GetParam();
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(c.orientation);
  r.SetLeftMargin(c.leftMargin);
  r.SetRightMargin(c.rightMargin);
  r.SetScale(c.scale);
  auto& w = WindowOf(r);
  const Rect b = w.Bounds();
  const bool vertical = c.orientation == TopToBottom || c.orientation == BottomToTop;
  const Point at =
      vertical ? Point{b.Left + 3, b.Top + c.along} : Point{b.Left + c.along, b.Top + 3};
  const uint64_t renders = r.RenderCount();
  User.MouseMove(w, at);
  ASSERT_EQ(r.PointerOffset(), std::optional<int64_t>(c.offset));
  EXPECT_EQ(r.RenderCount(), renders);
  const TColor hairline = r.Overlay().Look().Hairline;
  const int breadth = vertical ? b.Width : b.Height;
  for (int across = 0; across < breadth; ++across) {
    const TColor shown =
        vertical ? w.Screen().Pixel(across, c.along) : w.Screen().Pixel(c.along, across);
    ASSERT_EQ(shown, hairline) << "across " << across;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointerOffset,
    ::testing::Values(OffsetCase{"LeftToRightZero", LeftToRight, 5, 5, 640, 5, 0},
                      OffsetCase{"LeftToRight100", LeftToRight, 5, 5, 640, 105, 100},
                      OffsetCase{"LeftToRightScaleEnd", LeftToRight, 5, 5, 640, 645, 640},
                      OffsetCase{"LeftToRightLeadingMargin", LeftToRight, 5, 5, 640, 0, -5},
                      OffsetCase{"LeftToRightTrailingMargin", LeftToRight, 5, 5, 640, 649, 644},
                      OffsetCase{"RightToLeftZero", RightToLeft, 5, 5, 640, 645, 0},
                      OffsetCase{"RightToLeft635", RightToLeft, 5, 5, 640, 10, 635},
                      OffsetCase{"RightToLeftLeadingMargin", RightToLeft, 5, 5, 640, 649, -4},
                      OffsetCase{"TopToBottomZero", TopToBottom, 5, 5, 640, 5, 0},
                      OffsetCase{"TopToBottom100", TopToBottom, 5, 5, 640, 105, 100},
                      OffsetCase{"BottomToTopZero", BottomToTop, 5, 5, 640, 645, 0},
                      OffsetCase{"BottomToTop640", BottomToTop, 5, 5, 640, 5, 640},
                      OffsetCase{"WideLeftMargin", LeftToRight, 20, 0, 640, 20, 0},
                      OffsetCase{"WideLeftMarginRightToLeft", RightToLeft, 20, 0, 640, 20, 640},
                      OffsetCase{"Scale100LastTick", LeftToRight, 5, 5, 100, 100, 95},
                      OffsetCase{"Scale2048BottomToTop", BottomToTop, 5, 5, 2048, 5, 2048}));

struct TickCase {
  uint8_t orientation;
  int64_t offset;
};

class TicksAgree : public ProgramTest, public ::testing::WithParamInterface<TickCase> {};

// Where the axis puts an offset is where the render drew that tick.
TEST_P(TicksAgree, HundredsTickLiesWhereTheAxisPutsItsOffset) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(GetParam().orientation);
  const RulerAxis axis = r.Axis();
  const int64_t along = axis.AlongAt(GetParam().offset);
  const int64_t edge =
      GetParam().orientation == TopToBottom || GetParam().orientation == RightToLeft
          ? axis.Breadth() - 1
          : 0;
  const Image& picture = r.RulerImage();
  auto at = [&](int64_t a) {
    return axis.Vertical() ? picture.Pixel(edge, a) : picture.Pixel(a, edge);
  };
  EXPECT_EQ(at(along), ColorToRGB(r.Font().Color(), Os));
  EXPECT_NE(at(along + 1), ColorToRGB(r.Font().Color(), Os));
}

INSTANTIATE_TEST_SUITE_P(Cases, TicksAgree,
                         ::testing::Values(TickCase{LeftToRight, 0}, TickCase{LeftToRight, 500},
                                           TickCase{TopToBottom, 100}, TickCase{RightToLeft, 0},
                                           TickCase{RightToLeft, 600}, TickCase{BottomToTop, 0},
                                           TickCase{BottomToTop, 300}));

// ---------------------------------------------------------------- marks

struct ToggleCase {
  const char* name;
  std::vector<int64_t> clicks;
  std::vector<int64_t> marks;
  RulerMarks::Toggled last;
};

void PrintTo(const ToggleCase& c, std::ostream* os) { *os << c.name; }

class MarkToggle : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(MarkToggle, AddsOrRemovesWithinTwoPixels) {
  RulerMarks marks;
  RulerMarks::Toggled last{};
  for (int64_t offset : GetParam().clicks) last = marks.Toggle(offset);
  EXPECT_EQ(marks.Offsets(), GetParam().marks);
  EXPECT_EQ(last, GetParam().last);
}

std::vector<int64_t> Sixteen() {
  std::vector<int64_t> v;
  for (int64_t n = 0; n < 16; ++n) v.push_back(n * 40);
  return v;
}

std::vector<int64_t> Then(std::vector<int64_t> v, std::vector<int64_t> more) {
  v.insert(v.end(), more.begin(), more.end());
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkToggle,
    ::testing::Values(
        ToggleCase{"KeptAscending", {50, 10, 30}, {10, 30, 50}, RulerMarks::Toggled::Added},
        ToggleCase{"AtZeroAndAtTheEnd", {0, 640}, {0, 640}, RulerMarks::Toggled::Added},
        ToggleCase{"InTheMargins", {-5, 644}, {-5, 644}, RulerMarks::Toggled::Added},
        ToggleCase{"TwoAwayRemoves", {10, 12}, {}, RulerMarks::Toggled::Removed},
        ToggleCase{"TwoBelowRemoves", {10, 8}, {}, RulerMarks::Toggled::Removed},
        ToggleCase{"ThreeAwayAdds", {10, 13}, {10, 13}, RulerMarks::Toggled::Added},
        ToggleCase{"OnlyTheNearestGoes", {10, 13, 12}, {10}, RulerMarks::Toggled::Removed},
        ToggleCase{"EvenlyNearTheLowerGoes", {10, 14, 12}, {14}, RulerMarks::Toggled::Removed},
        ToggleCase{"SixteenAtMost", Then(Sixteen(), {1000}), Sixteen(), RulerMarks::Toggled::Full},
        ToggleCase{"FullStillRemoves", Then(Sixteen(), {41}),
                   Then({0}, {80, 120, 160, 200, 240, 280, 320, 360, 400, 440, 480, 520, 560, 600}),
                   RulerMarks::Toggled::Removed}));

struct NearestCase {
  std::vector<int64_t> marks;
  int64_t offset;
  std::optional<int64_t> nearest;
};

class Nearest : public ::testing::TestWithParam<NearestCase> {};

TEST_P(Nearest, IsTheClosestMarkTheLowerOnATie) {
  EXPECT_EQ(NearestOffset(GetParam().marks, GetParam().offset), GetParam().nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Nearest,
    ::testing::Values(NearestCase{{}, 5, std::nullopt}, NearestCase{{10, 30}, 20, 10},
                      NearestCase{{10, 30}, 21, 30}, NearestCase{{10, 30}, -50, 10},
                      NearestCase{{10, 30}, 900, 30}, NearestCase{{10, 30}, 30, 30}));

struct CopyCase {
  std::vector<int64_t> clicks;
  int64_t scale;
  std::string text;
};

class Copied : public ::testing::TestWithParam<CopyCase> {};

TEST_P(Copied, IsFirstToLastOrTheOneMarkOrTheScale) {
  RulerMarks marks;
  for (int64_t offset : GetParam().clicks) marks.Toggle(offset);
  EXPECT_EQ(MeasurementText(marks, GetParam().scale), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Copied,
                         ::testing::Values(CopyCase{{}, 640, "640 px"},
                                           CopyCase{{}, 2048, "2048 px"},
                                           CopyCase{{245}, 640, "245 px"},
                                           CopyCase{{0}, 640, "0 px"}, CopyCase{{-3}, 640, "-3 px"},
                                           CopyCase{{255, 10}, 640, "245 px"},
                                           CopyCase{{10, 300, 100}, 640, "290 px"}));

TEST(PointerLabel, ShowsTheDistanceFromTheNearestMarkShortenedToFit) {
  EXPECT_EQ(PointerLabelTexts(123, std::nullopt), (std::vector<std::string>{"123 px", "123"}));
  EXPECT_EQ(PointerLabelTexts(123, 168),
            (std::vector<std::string>{"123 px (45 from mark)", "123 (45)", "123"}));
  EXPECT_EQ(PointerLabelTexts(-4, 6),
            (std::vector<std::string>{"-4 px (10 from mark)", "-4 (10)", "-4"}));
}

// ---------------------------------------------------------------- on a ruler

using MeasureTest = ProgramTest;

Point ScreenAt(TRulerForm& r, headless::HeadlessWindow& w, int64_t offset, int across = 3) {
  const RulerAxis axis = r.Axis();
  const auto along = static_cast<int32_t>(axis.AlongAt(offset));
  const Rect b = w.Bounds();
  return axis.Vertical() ? Point{b.Left + across, b.Top + along}
                         : Point{b.Left + along, b.Top + across};
}

TEST_F(MeasureTest, ThePointerLeavingOrAPressShowsThePictureAlone) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  User.MouseMove(w, ScreenAt(r, w, 100));
  ASSERT_NE(w.Screen(), r.RulerImage());
  User.MouseLeave(w, {w.Bounds().Left - 1, w.Bounds().Top});
  EXPECT_EQ(r.PointerOffset(), std::nullopt);
  EXPECT_EQ(w.Screen(), r.RulerImage());

  User.MouseMove(w, ScreenAt(r, w, 100));
  User.MouseDown(w, MouseButton::Left, ScreenAt(r, w, 100));
  EXPECT_EQ(r.PointerOffset(), std::nullopt);
  EXPECT_EQ(w.Screen(), r.RulerImage());
  User.MouseMove(w, {800, 500});
  EXPECT_EQ(w.Screen(), r.RulerImage());
  // Released where the drag put it, the pointer is read there again.
  User.MouseUp(w, MouseButton::Left, {800, 500});
  EXPECT_EQ(r.PointerOffset(), std::optional<int64_t>(100));
  // The right button's press opens the menu over it: the readout goes too.
  User.MouseDown(w, MouseButton::Right, {800, 500});
  EXPECT_EQ(w.Screen(), r.RulerImage());
}

TEST_F(MeasureTest, MarksKeepTheirOffsetsThroughMovesAndTurns) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  r.ToggleMark(100);
  r.ToggleMark(345);
  const TColor mark = r.Overlay().Look().Mark;
  for (uint8_t o : {TopToBottom, RightToLeft, BottomToTop, LeftToRight}) {
    r.SetOrientation(o);
    r.MoveCenterTo({r.CenterPoint().X + 17, r.CenterPoint().Y - 9});
    ASSERT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{100, 345}));
    for (int64_t m : {100, 345}) {
      const int64_t along = r.Axis().AlongAt(m);
      const int64_t middle = r.Axis().Breadth() / 2;
      EXPECT_EQ(
          r.Axis().Vertical() ? w.Screen().Pixel(middle, along) : w.Screen().Pixel(along, middle),
          mark)
          << "orientation " << int{o} << ", mark " << m;
    }
  }
  EXPECT_EQ(r.MeasurementText(), "245 px");
}

TEST_F(MeasureTest, MarksOffTheShortenedRulerGo) {
  TRulerForm& r = StartAndShowRuler0();
  for (int64_t m : {-5, 0, 104, 110, 600}) r.ToggleMark(m);
  r.SetScale(100);  // the window now shows offsets -5 to 104
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{-5, 0, 104}));
}

// However the overlay changed, a part shown again looks exactly as the whole
// drawn at once: no trace of a label or hairline stays behind.
TEST_F(MeasureTest, PartialUpdatesShowWhatAWholeComposeShows) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  const std::vector<int64_t> path{100, 101, 103, 140, 139, 600, 639, 644, -5, 5, 7, 300};
  int step = 0;
  for (int64_t p : path) {
    User.MouseMove(w, ScreenAt(r, w, p));
    if (++step % 3 == 0) r.ToggleMark(p);
    TRulerOverlay whole;
    whole.Reset(r.RulerImage(), r.Axis(), r.Overlay().Look(), r.Overlay().State(), Os);
    ASSERT_EQ(w.Screen(), whole.Shown(r.RulerImage())) << "at " << p;
  }
  r.ClearMarks();
  User.MouseMove(w, {0, 0});
  EXPECT_EQ(w.Screen(), r.RulerImage());
}

TEST_F(MeasureTest, ADoubleClickMarksAndItsSecondPressStillDrags) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  User.DoubleClick(w, ScreenAt(r, w, 100));
  User.DoubleClick(w, ScreenAt(r, w, 345));
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{100, 345}));
  EXPECT_EQ(r.PointerOffset(), std::optional<int64_t>(345));
  EXPECT_EQ(w.Bounds(), (Rect{358, 359, 650, 50}));
  // Within two pixels of a mark: it goes.
  User.DoubleClick(w, ScreenAt(r, w, 98));
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{345}));

  // Press, release, press again (the double-click) and move: the ruler follows.
  const Point at = ScreenAt(r, w, 200);
  User.MouseDown(w, MouseButton::Left, at);
  User.MouseUp(w, MouseButton::Left, at);
  User.MouseDown(w, MouseButton::Left, at);
  // Handled once the pointer has gone on: the mark is where the click was.
  Os.Cursor = {at.X + 40, at.Y + 30};
  w.Handler().HandleDoubleClick({{at.X - 358, at.Y - 359}, at});
  User.MouseMove(w, {at.X + 40, at.Y + 30});
  User.MouseUp(w, MouseButton::Left, {at.X + 40, at.Y + 30});
  EXPECT_EQ(w.Bounds(), (Rect{398, 389, 650, 50}));
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{200, 345}));
}

TEST_F(MeasureTest, APointerMoveShowsOnlyWhatChanged) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetScale(2048);
  r.SetBreadth(512);
  auto& w = WindowOf(r);
  User.MouseMove(w, ScreenAt(r, w, 1000));
  const int64_t before = w.PresentedPixels();
  const uint64_t renders = r.RenderCount();
  User.MouseMove(w, ScreenAt(r, w, 1001));
  const int64_t shown = w.PresentedPixels() - before;
  EXPECT_GT(shown, 2 * 512);
  EXPECT_LT(shown, int64_t{w.Bounds().Width} * w.Bounds().Height / 100);
  EXPECT_EQ(r.RenderCount(), renders);
}

struct LookCase {
  TColor base;
  int32_t luminosity;
};

class Readable : public MeasureTest, public ::testing::WithParamInterface<LookCase> {};

int Lightness(TColor c) {
  return (299 * static_cast<int>(c & 0xFF) + 587 * static_cast<int>((c >> 8) & 0xFF) +
          114 * static_cast<int>((c >> 16) & 0xFF)) /
         1000;
}

TEST_P(Readable, LinesStandOutAndLabelsContrastOnEveryColour) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetBaseColor(GetParam().base);
  r.SetLuminosity(GetParam().luminosity);
  const TColor body = ColorToRGB(r.Color(), Os);
  const OverlayLook& look = r.Overlay().Look();
  EXPECT_GE(std::abs(Lightness(look.Hairline) - Lightness(body)), 100);
  EXPECT_GE(std::abs(Lightness(look.Ink) - Lightness(look.Plate)), 200);
  EXPECT_GE(std::abs(Lightness(look.MarkInk) - Lightness(look.Mark)), 90);
  EXPECT_NE(look.Mark, look.Hairline);
  auto far = [](TColor a, TColor b) {
    int d = 0;
    for (int s : {0, 8, 16}) d = std::max(d, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
    return d;
  };
  EXPECT_GE(far(look.Mark, body), 128);
  EXPECT_GT(look.LabelPixels, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Readable,
                         ::testing::Values(LookCase{0xC0C0C0, 0}, LookCase{0x0000F0, 0},
                                           LookCase{0x008000, -50}, LookCase{0xF00000, 50},
                                           LookCase{0x4080FF, 0}, LookCase{0xFF00FF, 0},
                                           LookCase{0x00F000, 0}, LookCase{0xFFFF00, 0},
                                           LookCase{0x00FFFF, 0}, LookCase{0x0F0F0F, 0},
                                           LookCase{0x808080, 0}, LookCase{0x7F7F7F, 0},
                                           LookCase{0xFFFFFF, 50}, LookCase{0x000000, -50},
                                           LookCase{kSysColorFlag | 5, 0}));

struct InsideCase {
  const char* name;
  uint8_t orientation;
  int32_t scale, breadth;
  std::vector<int64_t> marks;
  int64_t pointer;
};

void PrintTo(const InsideCase& c, std::ostream* os) { *os << c.name; }

class LabelsInside : public MeasureTest, public ::testing::WithParamInterface<InsideCase> {};

TEST_P(LabelsInside, EveryLineAndLabelLiesWithinTheRuler) {
  const InsideCase& c = GetParam();
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(c.orientation);
  r.SetScale(c.scale);
  r.SetBreadth(c.breadth);
  for (int64_t m : c.marks) r.ToggleMark(m);
  auto& w = WindowOf(r);
  User.MouseMove(w, ScreenAt(r, w, c.pointer, 0));
  ASSERT_EQ(r.PointerOffset(), std::optional<int64_t>(c.pointer));
  const Rect b = w.Bounds();
  size_t labels = 0;
  for (const OverlayItem& item : r.Overlay().Items()) {
    EXPECT_GE(item.Bounds.Left, 0) << item.Text;
    EXPECT_GE(item.Bounds.Top, 0) << item.Text;
    EXPECT_LE(item.Bounds.Left + item.Bounds.Width, b.Width) << item.Text;
    EXPECT_LE(item.Bounds.Top + item.Bounds.Height, b.Height) << item.Text;
    if (!item.Text.empty()) ++labels;
  }
  const bool roomForLabels = c.breadth >= 16;
  EXPECT_EQ(labels, roomForLabels ? 2 * c.marks.size() : 0);  // n marks, n - 1 gaps, the pointer
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelsInside,
    ::testing::Values(InsideCase{"PointerAtTheEnd", LeftToRight, 640, 50, {0, 640}, 644},
                      InsideCase{"PointerAtTheStart", RightToLeft, 640, 50, {0, 5}, -4},
                      InsideCase{"StandingUp", TopToBottom, 640, 50, {0, 320}, 639},
                      InsideCase{"StandingBroad", BottomToTop, 640, 200, {100}, 0},
                      InsideCase{"ShortRuler", LeftToRight, 100, 50, {0, 50, 99}, 97},
                      InsideCase{"JustBroadEnough", LeftToRight, 640, 16, {3}, 2},
                      InsideCase{"TooNarrowForLabels", BottomToTop, 640, 8, {10, 20}, 15}));

}  // namespace
}  // namespace vr::test
