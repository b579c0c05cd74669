#include <gtest/gtest.h>

#include <ostream>
#include <set>

#include "Ruler/RulerKeys.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr int kShift = VK_SHIFT_KEY, kCtrl = VK_CONTROL_KEY, kAlt = VK_MENU_KEY;

class KeysTest : public ProgramTest {
 protected:
  // A key press as the loop hands it to the filter, then its normal handling.
  void Press(int vk, std::set<int> modifiers = {}) {
    const bool sys = modifiers.count(kAlt) || vk == VK_F10_KEY;
    Os.Deliver([this](const Message& m) { return App->HandleMessage(m); },
               {sys ? kMsgSysKeyDown : kMsgKeyDown, static_cast<uint64_t>(vk)}, modifiers);
  }
};

struct StepCase {
  std::set<int> modifiers;
  int32_t step;
};

// Stable, readable names for the test runner.
void PrintTo(const StepCase& c, std::ostream* out) {
  std::ostream& os = *out;
  os << "modifiers";
  for (int m : c.modifiers) os << "_" << m;
}

class Step : public KeysTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(Step, DependsOnTheExactModifierSet) {
  StartAndShowRuler0();
  Os.KeysDown = GetParam().modifiers;
  EXPECT_EQ(KeyStep(), GetParam().step);
  // Every arrow moves by the step, Up and Left toward smaller coordinates.
  TRulerForm& r = Slot(0);
  struct Arrow {
    int vk, dx, dy;
  };
  for (const Arrow& a : {Arrow{VK_RIGHT_KEY, 1, 0}, Arrow{VK_LEFT_KEY, -1, 0},
                         Arrow{VK_DOWN_KEY, 0, 1}, Arrow{VK_UP_KEY, 0, -1}}) {
    const Point before = r.CenterPoint();
    Press(a.vk, GetParam().modifiers);
    EXPECT_EQ(r.CenterPoint(),
              (Point{before.X + a.dx * GetParam().step, before.Y + a.dy * GetParam().step}))
        << a.vk;
  }
}

INSTANTIATE_TEST_SUITE_P(ModifierSets, Step,
                         ::testing::Values(StepCase{{}, 8}, StepCase{{kShift}, 1},
                                           StepCase{{kCtrl}, 32}, StepCase{{kAlt}, 0},
                                           StepCase{{kShift, kCtrl}, 0},
                                           StepCase{{kShift, kAlt}, 0}, StepCase{{kCtrl, kAlt}, 0},
                                           StepCase{{kShift, kCtrl, kAlt}, 0}));

TEST_F(KeysTest, ModifierStateReadsShiftAltCtrlAsOneTwoFour) {
  StartAndShowRuler0();
  Os.KeysDown = {kShift, kAlt, kCtrl};
  EXPECT_EQ(ModifierState(), 7);
  Os.KeysDown = {kCtrl};
  EXPECT_EQ(ModifierState(), 4);
}

TEST_F(KeysTest, MovesNeverRender) {
  TRulerForm& r = StartAndShowRuler0();
  const uint64_t renders = r.RenderCount();
  for (int i = 0; i < 5000; ++i) Press(VK_RIGHT_KEY);
  EXPECT_EQ(r.CenterPoint(), (Point{683 + 40000, 384}));
  EXPECT_EQ(r.RenderCount(), renders);
}

TEST_F(KeysTest, MovingPastTheRangeStopsAtItsEdge) {
  TRulerForm& r = StartAndShowRuler0();
  r.MoveCenterTo({INT32_MAX - 3, INT32_MIN + 1});
  Press(VK_RIGHT_KEY);
  Press(VK_UP_KEY);
  EXPECT_EQ(r.CenterPoint(), (Point{INT32_MAX, INT32_MIN}));
}

struct TurnCase {
  uint8_t from;
  std::set<int> modifiers;
  uint8_t to;
};

// Stable, readable names for the test runner.
void PrintTo(const TurnCase& c, std::ostream* out) {
  std::ostream& os = *out;
  os << int(c.from) << "_to_" << int(c.to) << "_with";
  for (int m : c.modifiers) os << "_" << m;
}

class TabTurn : public KeysTest, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(TabTurn, CyclesTheOrientationAroundTheSameCentre) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(GetParam().from);
  const Point centre = r.CenterPoint();
  Press(VK_TAB_KEY, GetParam().modifiers);
  EXPECT_EQ(r.Orientation(), GetParam().to);
  EXPECT_EQ(r.CenterPoint(), centre);
  const bool vertical = GetParam().to % 2 == 1;
  EXPECT_EQ(WindowOf(r).Bounds(), vertical ? (Rect{658, 59, 50, 650}) : (Rect{358, 359, 650, 50}));
}

INSTANTIATE_TEST_SUITE_P(Cases, TabTurn,
                         ::testing::Values(TurnCase{LeftToRight, {}, TopToBottom},
                                           TurnCase{TopToBottom, {}, RightToLeft},
                                           TurnCase{RightToLeft, {}, BottomToTop},
                                           TurnCase{BottomToTop, {}, LeftToRight},
                                           TurnCase{LeftToRight, {kShift}, BottomToTop},
                                           TurnCase{TopToBottom, {kShift}, LeftToRight},
                                           TurnCase{LeftToRight, {kCtrl}, LeftToRight},
                                           TurnCase{LeftToRight, {kAlt}, LeftToRight},
                                           TurnCase{LeftToRight, {kShift, kCtrl}, LeftToRight}));

struct TuneCase {
  const char* name;
  int vk;
  std::set<int> modifiers;
  int32_t scaleBefore, scaleAfter;
  int32_t lumBefore, lumAfter;
};

// Stable, readable names for the test runner.
void PrintTo(const TuneCase& c, std::ostream* out) {
  std::ostream& os = *out;
  os << c.name;
}

class Tune : public KeysTest, public ::testing::WithParamInterface<TuneCase> {};

TEST_P(Tune, ChangesScaleAndLuminosityByTheStep) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetScale(GetParam().scaleBefore);
  r.SetLuminosity(GetParam().lumBefore);
  Press(GetParam().vk, GetParam().modifiers);
  EXPECT_EQ(r.Scale(), GetParam().scaleAfter);
  EXPECT_EQ(r.Luminosity(), GetParam().lumAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Tune,
    ::testing::Values(TuneCase{"PlusAtTheTop", VK_ADD_KEY, {}, 2048, 2048, 0, 0},
                      TuneCase{"Plus", VK_ADD_KEY, {}, 640, 648, 0, 0},
                      TuneCase{"ShiftPlus", VK_ADD_KEY, {kShift}, 640, 641, 0, 0},
                      TuneCase{"CtrlMinusToTheBottom", VK_SUBTRACT_KEY, {kCtrl}, 110, 100, 0, 0},
                      TuneCase{"MainKeyboardPlus", 187, {}, 640, 640, 0, 0},
                      TuneCase{"InsertPastFifty", VK_INSERT_KEY, {}, 640, 640, 50, 58},
                      TuneCase{"CtrlDelete", VK_DELETE_KEY, {kCtrl}, 640, 640, -40, -72},
                      TuneCase{"AltInsert", VK_INSERT_KEY, {kAlt}, 640, 640, 3, 3},
                      TuneCase{
                          "InsertAtTheTop", VK_INSERT_KEY, {}, 640, 640, INT32_MAX, INT32_MAX}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeysTest, AStepOfZeroChangesNothing) {
  TRulerForm& r = StartAndShowRuler0();
  const uint64_t renders = r.RenderCount();
  const int moves = WindowOf(r).BoundsChanges();
  for (int vk : {VK_LEFT_KEY, VK_INSERT_KEY, VK_ADD_KEY, VK_SUBTRACT_KEY}) Press(vk, {kAlt, kCtrl});
  EXPECT_EQ(r.RenderCount(), renders);
  EXPECT_EQ(WindowOf(r).BoundsChanges(), moves);
}

TEST_F(KeysTest, OnlyKeyDownMessagesAct) {
  TRulerForm& r = StartAndShowRuler0();
  for (uint32_t code : {kMsgKeyUp, kMsgChar, 0x0105u, 0x0200u}) {
    bool handled = false;
    App->OnMessage({code, VK_RIGHT_KEY}, handled);
    EXPECT_FALSE(handled);
  }
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
  bool handled = false;
  App->OnMessage({kMsgSysKeyDown, VK_RIGHT_KEY}, handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(r.CenterPoint(), (Point{691, 384}));
}

TEST_F(KeysTest, KeysDoNothingWhileANonRulerWindowIsActive) {
  TRulerForm& r = StartAndShowRuler0();
  auto options = std::make_unique<TForm>(*App, WindowParams{WindowKind::Dialog, "Options", {}});
  options->Show();
  Press(VK_RIGHT_KEY);
  Press(VK_F1_KEY);
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
  EXPECT_EQ(RulerForms[1], nullptr);
}

TEST_F(KeysTest, FunctionKeyShowsAHiddenOrNewRuler) {
  StartAndShowRuler0();
  Press(VK_F1_KEY + 3);  // F4
  ASSERT_NE(RulerForms[4], nullptr);
  EXPECT_TRUE(GetRulerVisible(4));
  EXPECT_EQ(ActiveRulerIndex(), 4);
  EXPECT_EQ(Slot(4).BaseColor(), 0x4080FFu);
  // F10 while ruler 0 is hidden and ruler 4 has the focus shows ruler 0.
  SetRulerVisible(0, false);
  Press(VK_F10_KEY);
  EXPECT_TRUE(GetRulerVisible(0));
  EXPECT_EQ(ActiveRulerIndex(), 0);
  EXPECT_EQ(Os.ZOrder.back(), &WindowOf(Slot(0)));
}

TEST_F(KeysTest, FunctionKeyOfTheFocusedRulerHidesItUnlessItIsTheLast) {
  StartAndShowRuler0();
  Press(VK_F1_KEY + 2);  // F3
  Press(VK_F1_KEY + 2);
  EXPECT_FALSE(GetRulerVisible(3));
  EXPECT_TRUE(GetRulerVisible(0));
  Slot(0).SetFocus();
  Press(VK_F10_KEY);
  EXPECT_TRUE(GetRulerVisible(0));
}

TEST_F(KeysTest, FunctionKeyOfAnotherVisibleRulerBringsItForward) {
  StartAndShowRuler0();
  Press(VK_F1_KEY + 4);  // F5
  Press(VK_F1_KEY + 1);  // F2
  EXPECT_EQ(ActiveRulerIndex(), 2);
  Press(VK_F1_KEY + 4);
  EXPECT_TRUE(GetRulerVisible(5));
  EXPECT_TRUE(GetRulerVisible(2));
  EXPECT_EQ(ActiveRulerIndex(), 5);
  EXPECT_EQ(Os.ZOrder.back(), &WindowOf(Slot(5)));
}

TEST_F(KeysTest, ModifiedFunctionKeysAreLeftToOthers) {
  StartAndShowRuler0();
  Press(VK_F1_KEY, {kShift});
  Press(VK_F1_KEY, {kCtrl});
  EXPECT_EQ(RulerForms[1], nullptr);
  // Alt+F4 is the windowing system's close: ruler 0 saves and the program ends.
  Press(VK_F1_KEY + 3, {kAlt});
  EXPECT_EQ(RulerForms[4], nullptr);
  EXPECT_TRUE(Os.QuitRequested);
  EXPECT_TRUE(Os.Registry.HasKey(Key(0)));
}

TEST_F(KeysTest, MashingFunctionKeysKeepsEveryRulerInItsSlot) {
  StartAndShowRuler0();
  for (int round = 0; round < 50; ++round)
    for (int k = VK_F1_KEY; k <= VK_F10_KEY; ++k) Press(k);
  for (int n = 0; n < kSlotCount; ++n) {
    ASSERT_NE(RulerForms[static_cast<size_t>(n)], nullptr);
    EXPECT_EQ(Slot(n).RulerIndex(), n);
  }
  EXPECT_EQ(App->WindowList().size(), 10u);
  int visible = 0;
  for (int n = 0; n < kSlotCount; ++n) visible += GetRulerVisible(n);
  EXPECT_GE(visible, 1);
}

}  // namespace
}  // namespace vr::test
