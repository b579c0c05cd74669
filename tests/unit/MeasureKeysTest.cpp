#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Ruler/RulerKeys.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr KeyCode kShift = KeyCode::Shift, kCtrl = KeyCode::Control, kAlt = KeyCode::Alt;

class MeasureKeysTest : public ProgramTest {
 protected:
  // The screen point over ruler r at an offset, `across` pixels into its breadth.
  Point At(TRulerForm& r, int64_t offset, int across = 3) {
    const Rect b = WindowOf(r).Bounds();
    const auto along = static_cast<int32_t>(r.Axis().AlongAt(offset));
    return r.Axis().Vertical() ? Point{b.Left + across, b.Top + along}
                               : Point{b.Left + along, b.Top + across};
  }
};

struct CopyKeyCase {
  const char* name;
  std::vector<int64_t> marks;
  std::set<KeyCode> modifiers;
  std::string clipboard;  // "" : the key copies nothing
};

void PrintTo(const CopyKeyCase& c, std::ostream* os) { *os << c.name; }

class CopyKey : public MeasureKeysTest, public ::testing::WithParamInterface<CopyKeyCase> {};

TEST_P(CopyKey, CtrlCAloneCopiesTheMeasurement) {
  TRulerForm& r = StartAndShowRuler0();
  for (int64_t m : GetParam().marks) r.ToggleMark(m);
  const Point centre = r.CenterPoint();
  Press(KeyCode::C, GetParam().modifiers);
  EXPECT_EQ(Os.Clipboard, GetParam().clipboard);
  // Nothing else changes.
  EXPECT_EQ(r.Marks().Offsets(), GetParam().marks);
  EXPECT_EQ(r.CenterPoint(), centre);
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyKey,
                         ::testing::Values(CopyKeyCase{"NoMarks", {}, {kCtrl}, "640 px"},
                                           CopyKeyCase{"OneMark", {37}, {kCtrl}, "37 px"},
                                           CopyKeyCase{"TwoMarks", {100, 345}, {kCtrl}, "245 px"},
                                           CopyKeyCase{"WithoutCtrl", {100}, {}, ""},
                                           CopyKeyCase{"CtrlShift", {100}, {kCtrl, kShift}, ""},
                                           CopyKeyCase{"CtrlAlt", {100}, {kCtrl, kAlt}, ""}));

TEST_F(MeasureKeysTest, ABusyClipboardLosesNothing) {
  TRulerForm& r = StartAndShowRuler0();
  r.ToggleMark(10);
  Os.Clipboard = "kept";
  Os.ClipboardBusy = true;
  Press(KeyCode::C, {kCtrl});
  EXPECT_EQ(Os.Clipboard, "kept");
  EXPECT_FALSE(r.CopyMeasurement());
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{10}));
}

TEST_F(MeasureKeysTest, SpaceMarksThePointersPlaceAndBackspaceClearsTheFocusedRuler) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  User.MouseMove(w, At(r, 120));
  Press(KeyCode::Space);
  Os.Cursor = At(r, 300, -40);  // above the ruler, over what is being measured
  Press(KeyCode::Space);
  Press(KeyCode::Space, {kShift});  // with a modifier: nothing
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{120, 300}));
  Os.Cursor = At(r, 301, -40);
  Press(KeyCode::Space);  // within reach of a mark: it goes, as by a double-click
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{120}));

  Press(KeyCode::Backspace, {kCtrl});
  EXPECT_EQ(r.Marks().Offsets(), (std::vector<int64_t>{120}));
  Press(KeyCode::Backspace);
  EXPECT_TRUE(r.Marks().Empty());
}

TEST_F(MeasureKeysTest, MarksBelongToTheirRuler) {
  TRulerForm& r0 = StartAndShowRuler0();
  r0.ToggleMark(100);
  Press(KeyCode::F4);  // ruler 4 shows and takes the focus
  TRulerForm& r4 = Slot(4);
  ASSERT_EQ(ActiveRuler(), &r4);
  Os.Cursor = At(r4, 50);
  Press(KeyCode::Space);
  Press(KeyCode::C, {kCtrl});
  EXPECT_EQ(Os.Clipboard, "50 px");
  Press(KeyCode::Backspace);
  EXPECT_TRUE(r4.Marks().Empty());
  EXPECT_EQ(r0.Marks().Offsets(), (std::vector<int64_t>{100}));
}

}  // namespace
}  // namespace vr::test
