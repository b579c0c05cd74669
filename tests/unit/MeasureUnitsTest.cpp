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
                      CopyCase{"PxDefault", {}, 640, UnitScale{}, "640 px"},
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
        PointerTextCase{"PxNoMark", 245, std::nullopt, kPx, V{"245 px", "245"}},
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

}  // namespace
}  // namespace vr::test
