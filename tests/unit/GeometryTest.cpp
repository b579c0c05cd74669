#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "TestSupport.h"

namespace vr::test {
namespace {

using GeometryTest = ProgramTest;

TEST_F(GeometryTest, DefaultRulerIsCentredOnThePrimaryDisplay) {
  TRulerForm& r = StartRuler0();
  auto& w = WindowOf(r);
  EXPECT_EQ(w.Bounds(), (Rect{358, 359, 650, 50}));
  EXPECT_EQ(w.Region(), (Rect{0, 0, 650, 50}));
  EXPECT_EQ(w.Params().Caption, "Vantori Rulers");
  EXPECT_EQ(w.Params().Kind, WindowKind::Ruler);
  EXPECT_TRUE(w.OpacityEnabled());
  EXPECT_EQ(w.Alpha(), 192);
  EXPECT_TRUE(Os.OffTaskBar);
  EXPECT_EQ(r.RulerImage().Width(), 650);
  EXPECT_EQ(r.RulerImage().Height(), 50);
}

struct LayoutCase {
  const char* name;
  std::function<void(TRulerForm&)> change;
  Rect bounds;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class Layout : public GeometryTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(Layout, PlacesTheWindowAroundItsCentre) {
  TRulerForm& r = StartRuler0();
  GetParam().change(r);
  EXPECT_EQ(WindowOf(r).Bounds(), GetParam().bounds);
  EXPECT_EQ(WindowOf(r).Region(), (Rect{0, 0, GetParam().bounds.Width, GetParam().bounds.Height}));
  EXPECT_EQ(r.RulerImage().Width(), GetParam().bounds.Width);
  EXPECT_EQ(r.RulerImage().Height(), GetParam().bounds.Height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Layout,
    ::testing::Values(
        LayoutCase{"TopToBottom",
                   [](TRulerForm& r) { r.SetOrientation(TopToBottom); },
                   {658, 59, 50, 650}},
        LayoutCase{"RightToLeft",
                   [](TRulerForm& r) { r.SetOrientation(RightToLeft); },
                   {358, 359, 650, 50}},
        LayoutCase{"BottomToTop",
                   [](TRulerForm& r) { r.SetOrientation(BottomToTop); },
                   {658, 59, 50, 650}},
        LayoutCase{"OddLength", [](TRulerForm& r) { r.SetLeftMargin(6); }, {358, 359, 651, 50}},
        LayoutCase{"OddBreadth", [](TRulerForm& r) { r.SetBreadth(51); }, {358, 359, 650, 51}},
        LayoutCase{"NegativeCentre",
                   [](TRulerForm& r) {
                     r.MoveCenterTo({-3, -3});
                     r.SetBreadth(51);
                   },
                   {-328, -28, 650, 51}},
        LayoutCase{"ScaleClampLow", [](TRulerForm& r) { r.SetScale(50); }, {628, 359, 110, 50}},
        LayoutCase{
            "ScaleClampHigh", [](TRulerForm& r) { r.SetScale(2049); }, {-346, 359, 2058, 50}},
        // A size no window can have is laid out at the nearest one that can.
        LayoutCase{
            "HugeBreadth", [](TRulerForm& r) { r.SetBreadth(2000000000); }, {358, 128, 650, 512}},
        LayoutCase{"ZeroBreadth", [](TRulerForm& r) { r.SetBreadth(0); }, {358, 384, 650, 1}},
        LayoutCase{
            "NegativeLength", [](TRulerForm& r) { r.SetLeftMargin(-1000); }, {683, 359, 1, 50}},
        LayoutCase{"OverflowingLength",
                   [](TRulerForm& r) {
                     r.SetLeftMargin(INT32_MAX);
                     r.SetRightMargin(INT32_MAX);
                   },
                   {-3413, 359, 8192, 50}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeometryTest, SetScaleComparesBeforeItClamps) {
  TRulerForm& r = StartRuler0();
  auto& w = WindowOf(r);
  struct Step {
    int32_t value;
    int32_t scale;
    bool laidOut;
  };
  for (const Step& s :
       {Step{640, 640, false}, Step{50, 100, true}, Step{100, 100, false}, Step{2049, 2048, true},
        Step{3000, 2048, true}, Step{2048, 2048, false}, Step{INT32_MIN, 100, true}}) {
    const int regions = w.RegionChanges();
    const uint64_t renders = r.RenderCount();
    r.SetScale(s.value);
    EXPECT_EQ(r.Scale(), s.scale) << s.value;
    EXPECT_EQ(w.RegionChanges() - regions, s.laidOut ? 1 : 0) << s.value;
    EXPECT_EQ(r.RenderCount() - renders, s.laidOut ? 1u : 0u) << s.value;
  }
}

struct SetterCase {
  const char* name;
  std::function<void(TRulerForm&)> sameValue;
  std::function<void(TRulerForm&)> newValue;
  bool layout;
};

void PrintTo(const SetterCase& c, std::ostream* os) { *os << c.name; }

class Setter : public GeometryTest, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(Setter, DoesNothingForTheCurrentValueAndRedrawsForANewOne) {
  TRulerForm& r = StartRuler0();
  auto& w = WindowOf(r);
  const Rect bounds = w.Bounds();
  uint64_t renders = r.RenderCount();
  int regions = w.RegionChanges();
  GetParam().sameValue(r);
  EXPECT_EQ(r.RenderCount(), renders);
  EXPECT_EQ(w.RegionChanges(), regions);
  GetParam().newValue(r);
  EXPECT_EQ(r.RenderCount(), renders + 1);
  EXPECT_EQ(w.RegionChanges(), regions + (GetParam().layout ? 1 : 0));
  if (!GetParam().layout) {
    EXPECT_EQ(w.Bounds(), bounds);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, Setter,
    ::testing::Values(SetterCase{"LeftMargin", [](TRulerForm& r) { r.SetLeftMargin(5); },
                                 [](TRulerForm& r) { r.SetLeftMargin(9); }, true},
                      SetterCase{"RightMargin", [](TRulerForm& r) { r.SetRightMargin(5); },
                                 [](TRulerForm& r) { r.SetRightMargin(0); }, true},
                      SetterCase{"Breadth", [](TRulerForm& r) { r.SetBreadth(50); },
                                 [](TRulerForm& r) { r.SetBreadth(30); }, true},
                      SetterCase{"Orientation", [](TRulerForm& r) { r.SetOrientation(0); },
                                 [](TRulerForm& r) { r.SetOrientation(3); }, true},
                      SetterCase{"Luminosity", [](TRulerForm& r) { r.SetLuminosity(0); },
                                 [](TRulerForm& r) { r.SetLuminosity(-20); }, false},
                      SetterCase{"BaseColor", [](TRulerForm& r) { r.SetBaseColor(0xC0C0C0); },
                                 [](TRulerForm& r) { r.SetBaseColor(0x123456); }, false},
                      SetterCase{"ShowTick", [](TRulerForm& r) { r.SetShowTick(Tick50, true); },
                                 [](TRulerForm& r) { r.SetShowTick(Tick50, false); }, false},
                      SetterCase{"ShowNumber", [](TRulerForm& r) { r.SetShowNumber(Tick5, false); },
                                 [](TRulerForm& r) { r.SetShowNumber(Tick5, true); }, false},
                      SetterCase{"TickSize", [](TRulerForm& r) { r.SetTickSize(Tick10, 17); },
                                 [](TRulerForm& r) { r.SetTickSize(Tick10, 3); }, false},
                      SetterCase{"FontSize", [](TRulerForm& r) { r.SetFontSize(Tick100, 7); },
                                 [](TRulerForm& r) { r.SetFontSize(Tick100, 9); }, false},
                      SetterCase{"FontColor", [](TRulerForm& r) { r.Font().SetColor(0); },
                                 [](TRulerForm& r) { r.Font().SetColor(0xFF); }, false},
                      SetterCase{"FontName", [](TRulerForm& r) { r.Font().SetName("Arial"); },
                                 [](TRulerForm& r) { r.Font().SetName("Tahoma"); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeometryTest, MovingOnlyMovesTheWindow) {
  TRulerForm& r = StartRuler0();
  auto& w = WindowOf(r);
  const uint64_t renders = r.RenderCount();
  const int regions = w.RegionChanges();
  const int moves = w.BoundsChanges();
  r.MoveCenterTo({683, 384});
  EXPECT_EQ(w.BoundsChanges(), moves);
  r.MoveCenterTo({100, 200});
  EXPECT_EQ(w.Bounds(), (Rect{-225, 175, 650, 50}));
  EXPECT_EQ(r.RenderCount(), renders);
  EXPECT_EQ(w.RegionChanges(), regions);
}

TEST_F(GeometryTest, MovingToTheEdgeOfTheRangeDoesNotWrap) {
  TRulerForm& r = StartRuler0();
  r.MoveCenterTo({INT32_MIN, INT32_MAX});
  EXPECT_EQ(WindowOf(r).Bounds(), (Rect{INT32_MIN, INT32_MAX - 25, 650, 50}));
}

TEST_F(GeometryTest, LeftDragMovesTheCentreByTheCursorsMotion) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  const uint64_t renders = r.RenderCount();
  User.MouseDown(w, MouseButton::Left, {700, 390});
  EXPECT_EQ(r.DragOffset(), (Point{17, 6}));
  User.MouseMove(w, {800, 500});
  EXPECT_EQ(r.CenterPoint(), (Point{783, 494}));
  EXPECT_EQ(w.Bounds(), (Rect{458, 469, 650, 50}));
  User.MouseUp(w, MouseButton::Left, {800, 500});
  User.MouseMove(w, {900, 600});
  EXPECT_EQ(r.CenterPoint(), (Point{783, 494}));
  EXPECT_EQ(r.RenderCount(), renders);
}

TEST_F(GeometryTest, ADragFollowsWhereEachMessageWasNotWhereThePointerIsWhenHandled) {
  // On a busy machine the pointer has gone on by the time a press or a move
  // is handled: here it is already at the drag's end throughout.
  TRulerForm& r = StartAndShowRuler0();
  Os.Cursor = {740, 395};
  auto at = [](int x, int y) { return MouseEvent{{x - 358, y - 359}, {x, y}}; };
  r.HandleMouseDown(at(700, 390));
  EXPECT_EQ(r.DragOffset(), (Point{17, 6}));
  for (int step = 1; step <= 4; ++step) {
    r.HandleMouseMove(at(700 + 10 * step, 390));
    EXPECT_EQ(r.CenterPoint(), (Point{683 + 10 * step, 384})) << "step " << step;
  }
  r.HandleMouseUp(at(740, 390));
  EXPECT_EQ(WindowOf(r).Bounds(), (Rect{398, 359, 650, 50}));
}

TEST_F(GeometryTest, OtherButtonsDoNotDrag) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  for (MouseButton b : {MouseButton::Right, MouseButton::Middle}) {
    User.MouseDown(w, b, {700, 390});
    User.MouseMove(w, {800, 500});
    User.MouseUp(w, b, {800, 500});
  }
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
}

TEST_F(GeometryTest, ReleasingAnyButtonEndsTheDrag) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  User.MouseDown(w, MouseButton::Left, {700, 390});
  User.MouseUp(w, MouseButton::Right, {710, 390});
  User.MouseMove(w, {800, 500});
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
}

TEST_F(GeometryTest, ACaptureTakenElsewhereStopsTheDrag) {
  TRulerForm& r = StartAndShowRuler0();
  auto& w = WindowOf(r);
  User.MouseDown(w, MouseButton::Left, {700, 390});
  Os.Captured = nullptr;
  User.MouseMove(w, {800, 500});
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
}

TEST_F(GeometryTest, OpacityFollowsAlphaBlend) {
  TRulerForm& r = StartRuler0();
  r.SetAlphaBlendValue(100);
  EXPECT_EQ(WindowOf(r).Alpha(), 100);
  r.SetAlphaBlend(false);
  EXPECT_FALSE(WindowOf(r).OpacityEnabled());
}

TEST_F(GeometryTest, StoredOpacityIsAppliedAtCreation) {
  Os.Registry.PutInteger(Key(0), "AlphaBlendValue", 77);
  StartRuler0();
  EXPECT_EQ(WindowOf(Slot(0)).Alpha(), 77);
}

}  // namespace
}  // namespace vr::test
