// What the overlay and Ctrl+C say in the ruler's unit, and where the
// pointer's label goes when other labels lie in its way.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Ruler/RulerMeasure.h"
#include "Ruler/RulerOverlay.h"
#include "Ruler/Units.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr double kCalibrated = 141.95;  // pixels per inch, as a user calibrated it

UnitScale At(RulerUnit unit, double pixelsPerInch = 96, std::optional<OwnUnit> own = {}) {
  return ScaleOf(unit, pixelsPerInch / kMmPerInch, own);
}
const UnitScale kPx = At(RulerUnit::Px);
const UnitScale kMm = At(RulerUnit::Mm);
const UnitScale kMetres = At(RulerUnit::Own, 96, OwnUnit{"m", 250.0 / 4});
const UnitScale kBare = At(RulerUnit::Own, 96, OwnUnit{"", 1});

// ---------------------------------------------------------------- texts

struct CopyCase {
  const char* name;
  std::vector<int64_t> marks;
  int64_t scale;
  UnitScale unit;
  std::string text;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopiedInUnit : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopiedInUnit, ReadsInTheRulersUnit) {
  RulerMarks marks;
  for (int64_t m : GetParam().marks) marks.Toggle(m);
  EXPECT_EQ(MeasurementText(marks, GetParam().scale, GetParam().unit), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopiedInUnit,
    ::testing::Values(CopyCase{"PxAsBefore", {10, 255}, 640, kPx, "245 px"},
                      CopyCase{"MmInch", {4, 100}, 640, kMm, "25.4 mm"},
                      CopyCase{"InOneMark", {96}, 640, At(RulerUnit::In), "1.00 in"},
                      CopyCase{"CmTheScale", {}, 640, At(RulerUnit::Cm), "16.93 cm"},
                      CopyCase{"PtHalfUp", {0, 245}, 640, At(RulerUnit::Pt), "183.8 pt"},
                      CopyCase{
                          "MmCalibrated", {0, 300}, 640, At(RulerUnit::Mm, kCalibrated), "53.7 mm"},
                      CopyCase{"MmBeforeTheZero", {-3}, 640, kMm, "-0.8 mm"},
                      CopyCase{"OwnMetres", {10, 260}, 640, kMetres, "4.00 m"},
                      CopyCase{"OwnWithoutAName", {10, 260}, 640, kBare, "250"}));

struct PointerTextCase {
  const char* name;
  int64_t offset;
  std::optional<int64_t> mark;
  UnitScale unit;
  std::vector<std::string> texts;
};

void PrintTo(const PointerTextCase& c, std::ostream* os) { *os << c.name; }

class PointerTextsInUnit : public ::testing::TestWithParam<PointerTextCase> {};

TEST_P(PointerTextsInUnit, ShortenStepByStepInTheUnit) {
  const PointerTextCase& c = GetParam();
  EXPECT_EQ(PointerLabelTexts(c.offset, c.mark, c.unit), c.texts);
}

using V = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Cases, PointerTextsInUnit,
    ::testing::Values(
        PointerTextCase{"Px", 245, 100, kPx, V{"245 px (145 from mark)", "245 (145)", "245"}},
        PointerTextCase{"Mm", 245, 100, kMm, V{"64.8 mm (38.4 from mark)", "64.8 (38.4)", "64.8"}},
        PointerTextCase{"MmNoMark", 245, std::nullopt, kMm, V{"64.8 mm", "64.8"}},
        PointerTextCase{"MmBeforeTheZero", -4, 6, kMm,
                        V{"-1.1 mm (2.6 from mark)", "-1.1 (2.6)", "-1.1"}},
        // 0.5 and 0.3 apart, yet the marks are 0.3 mm apart, not 0.2.
        PointerTextCase{"MmDistanceRoundedOnce", 2, 1, kMm,
                        V{"0.5 mm (0.3 from mark)", "0.5 (0.3)", "0.5"}},
        PointerTextCase{"Cm", 245, 100, At(RulerUnit::Cm),
                        V{"6.48 cm (3.84 from mark)", "6.48 (3.84)", "6.48"}},
        PointerTextCase{"In", 245, 390, At(RulerUnit::In),
                        V{"2.55 in (1.51 from mark)", "2.55 (1.51)", "2.55"}},
        PointerTextCase{"Pt", 245, 100, At(RulerUnit::Pt),
                        V{"183.8 pt (108.8 from mark)", "183.8 (108.8)", "183.8"}},
        PointerTextCase{"OwnMetres", 245, 100, kMetres,
                        V{"3.92 m (2.32 from mark)", "3.92 (2.32)", "3.92"}},
        PointerTextCase{"OwnWithoutAName", 245, 100, kBare,
                        V{"245 (145 from mark)", "245 (145)", "245"}},
        // Nothing to leave out: the one text is tried once.
        PointerTextCase{"OwnWithoutANameNoMark", 245, std::nullopt, kBare, V{"245"}}));

// ---------------------------------------------------------------- on the overlay

using OverlayUnitTest = ProgramTest;

std::vector<std::string> LabelTexts(const std::vector<OverlayItem>& items) {
  std::vector<std::string> texts;
  for (const OverlayItem& item : items)
    if (!item.Text.empty()) texts.push_back(item.Text);
  return texts;
}

struct LabelsCase {
  const char* name;
  UnitScale unit;
  // The distance, the two marks' offsets, then the pointer's label.
  std::vector<std::string> texts;
};

void PrintTo(const LabelsCase& c, std::ostream* os) { *os << c.name; }

class LabelsInUnit : public OverlayUnitTest, public ::testing::WithParamInterface<LabelsCase> {};

TEST_P(LabelsInUnit, DistancesMarksAndThePointerReadInTheUnit) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetScale(2048);  // room for the pointer's whole label past the second mark
  const OverlayState state{600, {100, 345}, GetParam().unit};
  EXPECT_EQ(LabelTexts(LayOutOverlay(r.Axis(), state, r.Overlay().Look(), Os)), GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelsInUnit,
    ::testing::Values(
        LabelsCase{"Px", kPx, V{"245 px", "100", "345", "600 px (255 from mark)"}},
        LabelsCase{"Mm", kMm, V{"64.8 mm", "26.5", "91.3", "158.8 mm (67.5 from mark)"}},
        LabelsCase{"In", At(RulerUnit::In),
                   V{"2.55 in", "1.04", "3.59", "6.25 in (2.66 from mark)"}},
        LabelsCase{"OwnMetres", kMetres, V{"3.92 m", "1.60", "5.52", "9.60 m (4.08 from mark)"}},
        LabelsCase{"OwnWithoutAName", kBare, V{"245", "100", "345", "600 (255 from mark)"}}));

// A new unit over the same marks draws their labels anew, not only the
// pointer's, and shows every label that changed.
TEST_F(OverlayUnitTest, ANewUnitRedrawsTheMarksLabels) {
  TRulerForm& r = StartAndShowRuler0();
  TRulerOverlay overlay;
  overlay.Reset(r.RulerImage(), r.Axis(), r.Overlay().Look(), {300, {100, 200}, kPx}, Os);
  const std::vector<Rect> dirty = overlay.Update(r.RulerImage(), {300, {100, 200}, kMm}, Os);
  EXPECT_EQ(LabelTexts(overlay.Items()),
            (V{"26.5 mm", "26.5", "52.9", "79.4 mm (26.5 from mark)"}));
  TRulerOverlay whole;
  whole.Reset(r.RulerImage(), r.Axis(), r.Overlay().Look(), overlay.State(), Os);
  EXPECT_EQ(overlay.Shown(r.RulerImage()), whole.Shown(r.RulerImage()));
  for (const OverlayItem& item : overlay.Items()) {
    if (item.Text.empty()) continue;
    const bool shown = std::any_of(dirty.begin(), dirty.end(), [&](const Rect& d) {
      return d.Left <= item.Bounds.Left && d.Top <= item.Bounds.Top &&
             d.Left + d.Width >= item.Bounds.Left + item.Bounds.Width &&
             d.Top + d.Height >= item.Bounds.Top + item.Bounds.Height;
    });
    EXPECT_TRUE(shown) << item.Text;
  }
}

// ---------------------------------------------------------------- crowding

enum class Side { After, Before };

struct CrowdCase {
  const char* name;
  uint8_t orientation;
  std::vector<int64_t> marks;
  int64_t pointer;
  UnitScale unit;
  std::string text;  // what the pointer's label says
  Side side;         // of its hairline, along the window's axis
  bool clear;        // false: no text is clear anywhere, the last covers another label
};

void PrintTo(const CrowdCase& c, std::ostream* os) { *os << c.name; }

bool Overlap(const Rect& a, const Rect& b) {
  return a.Left < b.Left + b.Width && b.Left < a.Left + a.Width && a.Top < b.Top + b.Height &&
         b.Top < a.Top + a.Height;
}

class PointerLabelMakesWay : public OverlayUnitTest,
                             public ::testing::WithParamInterface<CrowdCase> {};

TEST_P(PointerLabelMakesWay, FlipsThenShortensAndTheOthersStay) {
  const CrowdCase& c = GetParam();
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(c.orientation);
  const RulerAxis axis = r.Axis();
  const OverlayLook& look = r.Overlay().Look();
  const OverlayState state{c.pointer, c.marks, c.unit};
  const std::vector<OverlayItem> items = LayOutOverlay(axis, state, look, Os);

  // The marks' lines and labels lie exactly where they lie without the pointer.
  const std::vector<OverlayItem> marksAlone =
      LayOutOverlay(axis, {std::nullopt, c.marks, c.unit}, look, Os);
  ASSERT_EQ(items.size(), marksAlone.size() + 2);  // the hairline and the pointer's label
  for (size_t i = 0; i < marksAlone.size(); ++i)
    EXPECT_TRUE(items[i].SameAs(marksAlone[i])) << marksAlone[i].Text;

  const OverlayItem& label = items.back();
  EXPECT_EQ(label.Text, c.text);
  const int64_t hairline = axis.AlongAt(c.pointer);
  const int64_t start = axis.Vertical() ? label.Bounds.Top : label.Bounds.Left;
  const int64_t end = start + (axis.Vertical() ? label.Bounds.Height : label.Bounds.Width);
  if (c.side == Side::After) {
    EXPECT_GT(start, hairline);
  } else {
    EXPECT_LE(end, hairline);
  }
  EXPECT_GE(start, 1);
  EXPECT_LE(end, axis.Length() - 1);

  bool overlap = false;
  for (size_t i = 0; i < items.size(); ++i)
    for (size_t j = i + 1; j < items.size(); ++j)
      if (!items[i].Text.empty() && !items[j].Text.empty() &&
          Overlap(items[i].Bounds, items[j].Bounds))
        overlap = true;
  EXPECT_EQ(overlap, !c.clear);

  // Moved there, the pointer's label lands in the same place.
  TRulerOverlay moved;
  moved.Reset(r.RulerImage(), axis, look, {std::nullopt, c.marks, c.unit}, Os);
  moved.Update(r.RulerImage(), state, Os);
  ASSERT_EQ(moved.Items().size(), items.size());
  EXPECT_TRUE(moved.Items().back().SameAs(label));
}

constexpr uint8_t kLying = LeftToRight;
constexpr uint8_t kStanding = TopToBottom;

// Reversed rulers take the offsets mirrored (640 - o): the same places along
// the window, reached from the other end.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PointerLabelMakesWay, ::testing::Values(
    // A standing ruler with marks at 100 and 400, the pointer at 245.
    CrowdCase{"BesideTheDistance",            kStanding,   {100, 400},      245, kPx, "245 px (145 from mark)",   Side::Before, true},
    CrowdCase{"BesideTheDistanceBottomToTop", BottomToTop, {100, 400},      245, kPx, "245 px (145 from mark)",   Side::After,  true},
    // The distance label lies where the label would be: it goes to the other side.
    CrowdCase{"Flips",                        kLying,      {300, 500},      250, kPx, "250 px (50 from mark)",    Side::Before, true},
    CrowdCase{"FlipsInMm",                    kLying,      {300, 500},      250, kMm, "66.1 mm (13.2 from mark)", Side::Before, true},
    CrowdCase{"FlipsRightToLeft",             RightToLeft, {140, 340},      390, kPx, "390 px (50 from mark)",    Side::Before, true},
    CrowdCase{"FlipsBottomToTop",             BottomToTop, {140, 340},      390, kPx, "390 px (50 from mark)",    Side::Before, true},
    // Distance labels on both sides: the long text reaches one either way.
    CrowdCase{"Shortens",                     kLying,      {0, 200, 500},   220, kPx, "220 (20)",                 Side::After,  true},
    CrowdCase{"ShortensRightToLeft",          RightToLeft, {140, 440, 640}, 420, kPx, "420 (20)",                 Side::After,  true},
    CrowdCase{"ShortensAndFlipsStanding",     kStanding,   {0, 200, 420},   260, kPx, "260 (60)",                 Side::Before, true},
    CrowdCase{"ShortensAndFlipsBottomToTop",  BottomToTop, {220, 440, 640}, 380, kPx, "380 (60)",                 Side::Before, true},
    // Near an end the other side has no room: shorter, on the same side.
    CrowdCase{"NoRoomBeforeTheStart",         kLying,      {40, 200},       20,  kPx, "20 (20)",                  Side::After,  true},
    CrowdCase{"NoRoomStanding",               kStanding,   {40, 200},       20,  kPx, "20 (20)",                  Side::After,  true},
    CrowdCase{"NoRoomRightToLeft",            RightToLeft, {440, 600},      620, kPx, "620 (20)",                 Side::After,  true},
    CrowdCase{"NoRoomBottomToTop",            BottomToTop, {40, 240},       10,  kPx, "10 (30)",                  Side::Before, true},
    // The hairline stands inside the distance label on a lying ruler: no side
    // is clear, and the shortest text stays where it always was.
    CrowdCase{"NothingClearLying",            kLying,      {100, 400},      245, kPx, "245",                      Side::After,  false},
    CrowdCase{"NothingClearRightToLeft",      RightToLeft, {240, 540},      395, kPx, "395",                      Side::After,  false}));
// clang-format on

// On the screen: the pointer's label, having moved aside, leaves the distance
// label whole but for the hairline across it.
class BesideTheDistanceOnScreen : public OverlayUnitTest,
                                  public ::testing::WithParamInterface<uint8_t> {};

TEST_P(BesideTheDistanceOnScreen, TheDistanceLabelShowsWhole) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(GetParam());
  r.ToggleMark(100);
  r.ToggleMark(400);
  auto& w = WindowOf(r);
  const RulerAxis axis = r.Axis();
  const auto along = static_cast<int32_t>(axis.AlongAt(245));
  const Rect b = w.Bounds();
  User.MouseMove(
      w, axis.Vertical() ? Point{b.Left + 3, b.Top + along} : Point{b.Left + along, b.Top + 3});
  ASSERT_EQ(r.PointerOffset(), std::optional<int64_t>(245));
  const auto& items = r.Overlay().Items();
  const auto distance = std::find_if(items.begin(), items.end(),
                                     [](const OverlayItem& i) { return i.Text == "300 px"; });
  ASSERT_NE(distance, items.end());
  ASSERT_TRUE(distance->Picture);
  EXPECT_EQ(items.back().Text, "245 px (145 from mark)");
  const Rect d = distance->Bounds;
  for (int32_t y = 0; y < d.Height; ++y) {
    for (int32_t x = 0; x < d.Width; ++x) {
      if ((axis.Vertical() ? d.Top + y : d.Left + x) == along) continue;  // the hairline
      ASSERT_EQ(w.Screen().Pixel(d.Left + x, d.Top + y), distance->Picture->Pixel(x, y))
          << "at " << x << ", " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Standing, BesideTheDistanceOnScreen,
                         ::testing::Values(uint8_t{TopToBottom}, uint8_t{BottomToTop}));

}  // namespace
}  // namespace vr::test
