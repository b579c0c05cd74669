#include <gtest/gtest.h>

#include <ostream>
#include <set>

#include "Ruler/RulerKeys.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr KeyCode kShift = KeyCode::Shift, kCtrl = KeyCode::Control, kAlt = KeyCode::Alt;

class KeysTest : public ProgramTest {};

struct StepCase {
  std::set<KeyCode> modifiers;
  int32_t step;
};

// Stable, readable names for the test runner.
void PrintTo(const StepCase& c, std::ostream* out) {
  std::ostream& os = *out;
  os << "modifiers";
  for (KeyCode m : c.modifiers) os << "_" << static_cast<int>(m);
}

class Step : public KeysTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(Step, DependsOnTheExactModifierSet) {
  StartAndShowRuler0();
  uint8_t held = 0;
  for (KeyCode m : GetParam().modifiers) held |= m == kShift ? ssShift : m == kAlt ? ssAlt : ssCtrl;
  EXPECT_EQ(KeyStepFor(held), GetParam().step);
  // Every arrow moves by the step, Up and Left toward smaller coordinates.
  TRulerForm& r = Slot(0);
  struct Arrow {
    KeyCode vk;
    int dx, dy;
  };
  for (const Arrow& a : {Arrow{KeyCode::Right, 1, 0}, Arrow{KeyCode::Left, -1, 0},
                         Arrow{KeyCode::Down, 0, 1}, Arrow{KeyCode::Up, 0, -1}}) {
    const Point before = r.CenterPoint();
    Press(a.vk, GetParam().modifiers);
    EXPECT_EQ(r.CenterPoint(),
              (Point{before.X + a.dx * GetParam().step, before.Y + a.dy * GetParam().step}))
        << static_cast<int>(a.vk);
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
  // As the key message carries them.
  uint8_t seen = 0;
  auto filter = [&seen](const Message& m) {
    seen = ModifierState(m);
    return true;
  };
  Queue.Deliver(filter, {MessageKind::KeyDown, KeyCode::Right}, {kShift, kAlt, kCtrl});
  EXPECT_EQ(seen, 7);
  Queue.Deliver(filter, {MessageKind::KeyDown, KeyCode::Right}, {kCtrl});
  EXPECT_EQ(seen, 4);
}

TEST_F(KeysTest, MovesNeverRender) {
  TRulerForm& r = StartAndShowRuler0();
  const uint64_t renders = r.RenderCount();
  for (int i = 0; i < 5000; ++i) Press(KeyCode::Right);
  EXPECT_EQ(r.CenterPoint(), (Point{683 + 40000, 384}));
  EXPECT_EQ(r.RenderCount(), renders);
}

TEST_F(KeysTest, MovingPastTheRangeStopsAtItsEdge) {
  TRulerForm& r = StartAndShowRuler0();
  r.MoveCenterTo({INT32_MAX - 3, INT32_MIN + 1});
  Press(KeyCode::Right);
  Press(KeyCode::Up);
  EXPECT_EQ(r.CenterPoint(), (Point{INT32_MAX, INT32_MIN}));
}

struct TurnCase {
  uint8_t from;
  std::set<KeyCode> modifiers;
  uint8_t to;
};

// Stable, readable names for the test runner.
void PrintTo(const TurnCase& c, std::ostream* out) {
  std::ostream& os = *out;
  os << int(c.from) << "_to_" << int(c.to) << "_with";
  for (KeyCode m : c.modifiers) os << "_" << static_cast<int>(m);
}

class TabTurn : public KeysTest, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(TabTurn, CyclesTheOrientationAroundTheSameCentre) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetOrientation(GetParam().from);
  const Point centre = r.CenterPoint();
  Press(KeyCode::Tab, GetParam().modifiers);
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
  KeyCode vk;
  std::set<KeyCode> modifiers;
  int32_t scaleBefore, scaleAfter;
  int32_t lumBefore, lumAfter;
};

void PrintTo(const TuneCase& c, std::ostream* os) { *os << c.name; }

class Tune : public KeysTest, public ::testing::WithParamInterface<TuneCase> {};

TEST_P(Tune, ChangesScaleAndLuminosityByTheStep) {
  TRulerForm& r = StartAndShowRuler0();
  // The filter alone: the Options window's bar, which brings a luminosity
  // beyond -50..50 back to its end, is proved by the Options tests.
  Rulers().OptionsForm = nullptr;
  r.SetScale(GetParam().scaleBefore);
  r.SetLuminosity(GetParam().lumBefore);
  Press(GetParam().vk, GetParam().modifiers);
  EXPECT_EQ(r.Scale(), GetParam().scaleAfter);
  EXPECT_EQ(r.Luminosity(), GetParam().lumAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Tune,
    ::testing::Values(
        TuneCase{"PlusAtTheTop", KeyCode::NumpadAdd, {}, 2048, 2048, 0, 0},
        TuneCase{"Plus", KeyCode::NumpadAdd, {}, 640, 648, 0, 0},
        TuneCase{"ShiftPlus", KeyCode::NumpadAdd, {kShift}, 640, 641, 0, 0},
        TuneCase{"CtrlMinusToTheBottom", KeyCode::NumpadSubtract, {kCtrl}, 110, 100, 0, 0},
        TuneCase{"MainKeyboardPlus", KeyCode::None, {}, 640, 640, 0, 0},
        TuneCase{"InsertPastFifty", KeyCode::Insert, {}, 640, 640, 50, 58},
        TuneCase{"CtrlDelete", KeyCode::Delete, {kCtrl}, 640, 640, -40, -72},
        TuneCase{"AltInsert", KeyCode::Insert, {kAlt}, 640, 640, 3, 3},
        TuneCase{"InsertAtTheTop", KeyCode::Insert, {}, 640, 640, INT32_MAX, INT32_MAX}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeysTest, AStepOfZeroChangesNothing) {
  TRulerForm& r = StartAndShowRuler0();
  const uint64_t renders = r.RenderCount();
  const int moves = WindowOf(r).BoundsChanges();
  for (KeyCode vk : {KeyCode::Left, KeyCode::Insert, KeyCode::NumpadAdd, KeyCode::NumpadSubtract})
    Press(vk, {kAlt, kCtrl});
  EXPECT_EQ(r.RenderCount(), renders);
  EXPECT_EQ(WindowOf(r).BoundsChanges(), moves);
}

TEST_F(KeysTest, OnlyKeyDownMessagesAct) {
  TRulerForm& r = StartAndShowRuler0();
  for (MessageKind kind :
       {MessageKind::KeyUp, MessageKind::Char, MessageKind::SysKeyUp, MessageKind::Other}) {
    bool handled = false;
    App->OnMessage({kind, KeyCode::Right}, handled);
    EXPECT_FALSE(handled);
  }
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
  bool handled = false;
  App->OnMessage({MessageKind::SysKeyDown, KeyCode::Right}, handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(r.CenterPoint(), (Point{691, 384}));
}

TEST_F(KeysTest, KeysDoNothingWhileANonRulerWindowIsActive) {
  TRulerForm& r = StartAndShowRuler0();
  auto options = std::make_unique<TForm>(*App, WindowParams{WindowKind::Dialog, "Options", {}});
  options->Show();
  Press(KeyCode::Right);
  Press(KeyCode::F1);
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
  EXPECT_EQ(RulerForms[1], nullptr);
}

TEST_F(KeysTest, FunctionKeyShowsAHiddenOrNewRuler) {
  StartAndShowRuler0();
  Press(KeyCode::F4);
  ASSERT_NE(RulerForms[4], nullptr);
  EXPECT_TRUE(GetRulerVisible(4));
  EXPECT_EQ(ActiveRulerIndex(), 4);
  EXPECT_EQ(Slot(4).BaseColor(), 0x4080FFu);
  // F10 while ruler 0 is hidden and ruler 4 has the focus shows ruler 0.
  SetRulerVisible(0, false);
  Press(KeyCode::F10);
  EXPECT_TRUE(GetRulerVisible(0));
  EXPECT_EQ(ActiveRulerIndex(), 0);
  EXPECT_EQ(Os.ZOrder.back(), &WindowOf(Slot(0)));
}

TEST_F(KeysTest, FunctionKeyOfTheFocusedRulerHidesItUnlessItIsTheLast) {
  StartAndShowRuler0();
  Press(KeyCode::F3);
  Press(KeyCode::F3);
  EXPECT_FALSE(GetRulerVisible(3));
  EXPECT_TRUE(GetRulerVisible(0));
  Slot(0).SetFocus();
  Press(KeyCode::F10);
  EXPECT_TRUE(GetRulerVisible(0));
}

TEST_F(KeysTest, FunctionKeyOfAnotherVisibleRulerBringsItForward) {
  StartAndShowRuler0();
  Press(KeyCode::F5);
  Press(KeyCode::F2);
  EXPECT_EQ(ActiveRulerIndex(), 2);
  Press(KeyCode::F5);
  EXPECT_TRUE(GetRulerVisible(5));
  EXPECT_TRUE(GetRulerVisible(2));
  EXPECT_EQ(ActiveRulerIndex(), 5);
  EXPECT_EQ(Os.ZOrder.back(), &WindowOf(Slot(5)));
}

TEST_F(KeysTest, ModifiedFunctionKeysAreLeftToOthers) {
  StartAndShowRuler0();
  Press(KeyCode::F1, {kShift});
  Press(KeyCode::F1, {kCtrl});
  EXPECT_EQ(RulerForms[1], nullptr);
  // Alt+F4 is the windowing system's close: ruler 0 saves and the program ends.
  Press(KeyCode::F4, {kAlt});
  EXPECT_EQ(RulerForms[4], nullptr);
  EXPECT_TRUE(Os.QuitRequested);
  EXPECT_TRUE(Os.Registry.HasKey(Key(0)));
}

TEST_F(KeysTest, MashingFunctionKeysKeepsEveryRulerInItsSlot) {
  StartAndShowRuler0();
  for (int round = 0; round < 50; ++round)
    for (int n = 1; n <= 10; ++n) Press(FunctionKey(n));
  for (int n = 0; n < kSlotCount; ++n) {
    ASSERT_NE(RulerForms[static_cast<size_t>(n)], nullptr);
    EXPECT_EQ(Slot(n).RulerIndex(), n);
  }
  EXPECT_EQ(App->WindowList().size(), 11u) << "the ten rulers and the Options window";
  int visible = 0;
  for (int n = 0; n < kSlotCount; ++n) visible += GetRulerVisible(n);
  EXPECT_GE(visible, 1);
}

}  // namespace
}  // namespace vr::test
