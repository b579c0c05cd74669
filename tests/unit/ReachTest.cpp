#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Ruler/RulerPlacement.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

// The headless desktop: 1366 x 768 with a 40-pixel task bar.
const MonitorArea kPrimary{{0, 0, 1366, 768}, {0, 0, 1366, 728}};
const MonitorArea kRightMonitor{{1366, 0, 1920, 1080}, {1366, 0, 1920, 1040}};
const MonitorArea kLeftMonitor{{-1280, -200, 1280, 1024}, {-1280, -200, 1280, 1024}};

struct RescueCase {
  const char* name;
  Point center;
  Point size;
  std::vector<MonitorArea> monitors;
  std::optional<Point> expected;  // nullopt: left where it is
};

void PrintTo(const RescueCase& c, std::ostream* os) { *os << c.name; }

class Rescue : public ::testing::TestWithParam<RescueCase> {};

TEST_P(Rescue, MovesOnlyAWindowOffEveryMonitorAndOnlyIntoAWorkArea) {
  const RescueCase& c = GetParam();
  EXPECT_EQ(RescuedCenterPoint(c.center, c.size.X, c.size.Y, c.monitors), c.expected);
}

// The one-monitor cases of a stored centre are in StoredCentre below.
const Point kRuler{650, 50};
const Point kHuge{8192, 1024};  // larger than the work area both ways
const std::vector<MonitorArea> kOne{kPrimary};
const std::vector<MonitorArea> kRightToo{kPrimary, kRightMonitor};
const std::vector<MonitorArea> kLeftToo{kPrimary, kLeftMonitor};
const std::vector<MonitorArea> kApart{{{0, 0, 1000, 700}, {0, 0, 1000, 700}},
                                      {{2000, 0, 1000, 700}, {2000, 0, 1000, 700}}};
const std::vector<MonitorArea> kEmptyFirst{{{0, 0, 0, 768}, {0, 0, 0, 728}}, kPrimary};
// A monitor whose work area is empty (all task bar) is a screen but no place to go back to.
const std::vector<MonitorArea> kNoRoomFirst{{{0, 0, 1366, 768}, {0, 0, 1366, 0}}, kRightMonitor};

INSTANTIATE_TEST_SUITE_P(
    Windows, Rescue,
    ::testing::Values(
        // Over the task bar, off the work area but on the screen: where the user put it.
        RescueCase{"over_the_task_bar", {683, 753}, kRuler, kOne, std::nullopt},
        RescueCase{"one_pixel_row_on", {683, 792}, kRuler, kOne, std::nullopt},
        RescueCase{"below_the_screen", {683, 793}, kRuler, kOne, Point{683, 703}},
        RescueCase{"off_a_corner", {-500, 2000}, kRuler, kOne, Point{325, 703}},
        RescueCase{"covers_the_area", {683, 384}, kHuge, kOne, std::nullopt},
        // Larger than the work area: its left or top edge goes to the area's.
        RescueCase{"huge_at_the_limits", {INT32_MIN, INT32_MAX}, kHuge, kOne, Point{4096, 512}},
        RescueCase{"longer_than_area", {10000, 384}, {5010, 50}, kOne, Point{2505, 384}},
        RescueCase{"taller_than_area", {683, -10000}, {50, 8192}, kOne, Point{683, 4096}},
        // Several monitors, the primary first.
        RescueCase{"on_second_monitor", {2300, 500}, kRuler, kRightToo, std::nullopt},
        RescueCase{"over_second_task_bar", {2300, 1060}, kRuler, kRightToo, std::nullopt},
        // Lost below a monitor: back above its task bar, not onto it.
        RescueCase{"below_second_monitor", {2300, 1200}, kRuler, kRightToo, Point{2300, 1015}},
        RescueCase{"nearest_not_primary", {5000, 300}, kRuler, kRightToo, Point{2961, 300}},
        RescueCase{"negative_monitor", {-3000, 900}, kRuler, kLeftToo, Point{-955, 799}},
        RescueCase{"tie_goes_to_first", {1500, 350}, {200, 50}, kApart, Point{900, 350}},
        // Nowhere to go, and areas that don't count.
        RescueCase{"no_work_areas", {5000, 5000}, kRuler, {}, std::nullopt},
        RescueCase{"empty_area_ignored", {5000, 384}, kRuler, kEmptyFirst, Point{1041, 384}},
        RescueCase{"on_a_screen_without_room", {683, 384}, kRuler, kNoRoomFirst, std::nullopt},
        RescueCase{"no_room_no_return", {-2000, 384}, kRuler, kNoRoomFirst, Point{1691, 384}}));

using ReachTest = ProgramTest;

struct StoredCase {
  const char* name;
  std::string stored;  // "CenterPoint" as stored
  Point shown;         // the centre once the ruler is on the screen
  std::string saved;   // "CenterPoint" after the close
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }

class StoredCentre : public ReachTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredCentre, ComesBackInsideTheNearestWorkAreaWhenShownAndIsSavedSo) {
  const StoredCase& c = GetParam();
  Os.Registry.PutText(Key(0), "CenterPoint", c.stored);
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(FormatCenterPoint(r.CenterPoint()), c.stored);  // only showing moves it
  r.Show();
  EXPECT_EQ(r.CenterPoint(), c.shown);
  EXPECT_EQ(WindowOf(r).Bounds(), (Rect{c.shown.X - 325, c.shown.Y - 25, 650, 50}));
  EXPECT_TRUE(WindowOf(r).IsVisible());
  r.Close();
  EXPECT_EQ(Os.Registry.Get(Key(0), "CenterPoint")->Text, c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, StoredCentre,
    ::testing::Values(StoredCase{"beyond_right_edge", "2100,384", {1041, 384}, "1041,384"},
                      StoredCase{"above_top", "683,-200", {683, 25}, "683,25"},
                      StoredCase{"far_left", "-32000,384", {325, 384}, "325,384"},
                      StoredCase{"int32_min", "-2147483648,-2147483648", {325, 25}, "325,25"},
                      StoredCase{"int32_max", "2147483647,2147483647", {1041, 703}, "1041,703"},
                      StoredCase{"monitor_gone", "2300,500", {1041, 500}, "1041,500"},
                      StoredCase{"half_on_screen", "1366,384", {1366, 384}, "1366,384"},
                      StoredCase{"on_the_task_bar", "683,748", {683, 748}, "683,748"},
                      StoredCase{"below_the_screen", "683,800", {683, 703}, "683,703"}));

TEST_F(ReachTest, AHiddenRulerMovedOffTheScreensIsBroughtBackWhenShownAgain) {
  StartAndShowRuler0();
  SetRulerVisible(3, true);
  TRulerForm& three = Slot(3);
  three.MoveCenterTo({683, 5000});  // keys and drags may take a visible ruler anywhere
  EXPECT_EQ(three.CenterPoint(), (Point{683, 5000}));
  SetRulerVisible(3, false);
  SetRulerVisible(3, true);
  // Slot 3 is 810 x 50.
  EXPECT_EQ(three.CenterPoint(), (Point{683, 703}));
  EXPECT_EQ(WindowOf(three).Bounds(), (Rect{278, 678, 810, 50}));
}

TEST_F(ReachTest, UnpluggingAMonitorBringsBackTheVisibleRulersThatWereOnIt) {
  Os.Displays = {kPrimary, kRightMonitor};
  TRulerForm& zero = StartAndShowRuler0();
  zero.MoveCenterTo({2300, 500});  // on the right monitor
  SetRulerVisible(3, true);
  Slot(3).MoveCenterTo({1400, 300});  // across both monitors
  SetRulerVisible(5, true);
  TRulerForm& five = Slot(5);
  five.MoveCenterTo({3000, 900});  // on the right monitor, then hidden
  SetRulerVisible(5, false);
  const int fiveMoves = WindowOf(five).BoundsChanges();

  Os.ChangeDisplays({kPrimary});
  EXPECT_EQ(zero.CenterPoint(), (Point{1041, 500}));
  EXPECT_EQ(WindowOf(zero).Bounds(), (Rect{716, 475, 650, 50}));
  EXPECT_EQ(Slot(3).CenterPoint(), (Point{1400, 300}));  // still partly on the primary
  EXPECT_EQ(five.CenterPoint(), (Point{3000, 900}));     // hidden: seen to when shown
  EXPECT_EQ(WindowOf(five).BoundsChanges(), fiveMoves);

  SetRulerVisible(5, true);
  // Slot 5 stands upright, 50 x 810, taller than the work area: at its right
  // edge and its top.
  EXPECT_EQ(five.CenterPoint(), (Point{1366 - 25, 405}));
}

TEST_F(ReachTest, ARulerOverTheTaskBarStaysAtEveryShowingAndWorkAreaChange) {
  TRulerForm& r = StartAndShowRuler0();
  r.MoveCenterTo({683, 748});  // the task bar's middle, to measure it
  const Point parked = r.CenterPoint();
  SetRulerVisible(3, true);
  r.Hide();
  r.Show();
  EXPECT_EQ(r.CenterPoint(), parked);
  // The task bar hides itself and comes back; then it moves to the top.
  const Rect screen = kPrimary.Bounds;
  for (const Rect& work : {screen, kPrimary.WorkArea, Rect{0, 40, 1366, 728}}) {
    Os.ChangeDisplays({{screen, work}});
    EXPECT_EQ(r.CenterPoint(), parked);
  }
}

TEST(ReachRun, AMonitorGoneDuringTheRunMovesRuler0AndTheCloseStoresWhereItWent) {
  headless::HeadlessPlatform os;
  os.Displays = {kPrimary, kRightMonitor};
  os.Registry.PutText(SettingsKeyPath(0), "CenterPoint", "2300,500");
  ScriptedQueue queue(os);
  std::unique_ptr<TProgram> program = StartProgram(os);
  TRulerForm& zero = *program->RulerForms[0];
  queue.PostAction([&] {
    EXPECT_EQ(zero.CenterPoint(), (Point{2300, 500}));
    os.ChangeDisplays({kPrimary});
  });
  queue.PostAction([&] { zero.Close(); });
  program->Run();
  program.reset();
  EXPECT_EQ(os.Registry.Get(SettingsKeyPath(0), "CenterPoint")->Text, "1041,500");
  // The handler does not outlive the rulers it reaches.
  EXPECT_FALSE(os.DisplayChangeHandler);
}

}  // namespace
}  // namespace vr::test
