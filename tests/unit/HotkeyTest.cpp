// The program's hotkey: which rulers it hides and brings back, and with which
// the keyboard; what it does while a dialog waits for the user; and which
// chord the program claims at start from what the store holds.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Options/ProgramOptions.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

class HotkeyTest : public ProgramTest {
 public:
  // The user presses the default chord, wherever the keyboard is.
  void PressHotkey() { ASSERT_TRUE(Os.PressHotkey(kDefaultHotkey)) << "the chord is not held"; }
  std::vector<int> Visible() {
    std::vector<int> shown;
    for (int n = 0; n < kSlotCount; ++n)
      if (GetRulerVisible(n)) shown.push_back(n);
    return shown;
  }
  // The ruler with the keyboard, -1 for none.
  int Focused() {
    for (int n = 0; n < kSlotCount; ++n)
      if (RulerForms[static_cast<size_t>(n)] && Os.Focused == &WindowOf(Slot(n))) return n;
    return -1;
  }
  headless::HeadlessWindow* Top() const { return Os.ZOrder.empty() ? nullptr : Os.ZOrder.back(); }
  // Rulers 0 and these shown, ruler 0 hidden unless it is among them; then one focused.
  void ShowRulers(const std::vector<int>& shown, int focused) {
    StartAndShowRuler0();
    for (int n : shown) SetRulerVisible(n, true);
    if (std::find(shown.begin(), shown.end(), 0) == shown.end()) Slot(0).Hide();
    Slot(focused).SetFocus();
  }
};

// ---------------------------------------------------------------- hiding and showing

enum class Act {
  Hotkey,  // the chord pressed
  Show,    // the ruler's command in the tray menu shows the ruler
  Hide,    // the ruler focused and hidden with Esc
  Click,   // the ruler clicked, which gives it the keyboard
};
struct Step {
  Act act;
  int slot;                  // for the acts by hand
  std::vector<int> visible;  // afterwards
  int focused;               // the ruler with the keyboard afterwards, -1 for none
};
struct HideShowCase {
  const char* name;
  std::vector<int> shown;
  int focused;
  std::vector<Step> steps;
};
void PrintTo(const HideShowCase& c, std::ostream* os) { *os << c.name; }

class HideShow : public HotkeyTest, public ::testing::WithParamInterface<HideShowCase> {};

TEST_P(HideShow, TheHotkeyHidesWhatIsShownAndBringsBackWhatItHid) {
  const HideShowCase& c = GetParam();
  ShowRulers(c.shown, c.focused);
  Os.Registry.OpenedForWrite.clear();
  for (size_t i = 0; i < c.steps.size(); ++i) {
    const Step& s = c.steps[i];
    switch (s.act) {
      case Act::Hotkey:
        PressHotkey();
        break;
      case Act::Show:
        DM->RulerAction(s.slot).Execute();
        break;
      case Act::Hide:
        Slot(s.slot).SetFocus();
        DM->HideAction.Execute();
        break;
      case Act::Click:
        // The system raises a window clicked and gives it the keyboard.
        WindowOf(Slot(s.slot)).Raise();
        WindowOf(Slot(s.slot)).Focus();
        break;
    }
    EXPECT_EQ(Visible(), s.visible) << "step " << i;
    EXPECT_EQ(Focused(), s.focused) << "step " << i;
    // The ruler with the keyboard is in front of every other window.
    if (s.focused >= 0) {
      EXPECT_EQ(Top(), &WindowOf(Slot(s.focused))) << "step " << i;
    }
  }
  EXPECT_TRUE(Os.Registry.OpenedForWrite.empty()) << "hiding and showing store nothing";
  EXPECT_TRUE(Os.Errors.empty());
}

const std::vector<int> kNone;

INSTANTIATE_TEST_SUITE_P(
    Presses, HideShow,
    ::testing::Values(
        HideShowCase{
            "Ruler0Alone", {0}, 0, {{Act::Hotkey, 0, kNone, -1}, {Act::Hotkey, 0, {0}, 0}}},
        HideShowCase{"TheActiveRulerComesBackLastWithTheKeyboard",
                     {0, 3, 5},
                     3,
                     {{Act::Hotkey, 0, kNone, -1},
                      {Act::Hotkey, 0, {0, 3, 5}, 3},
                      {Act::Hotkey, 0, kNone, -1},
                      {Act::Hotkey, 0, {0, 3, 5}, 3}}},
        HideShowCase{
            "TheRulerClickedLastIsTheActiveOne",
            {0, 3},
            3,
            {{Act::Click, 0, {0, 3}, 0}, {Act::Hotkey, 0, kNone, -1}, {Act::Hotkey, 0, {0, 3}, 0}}},
        HideShowCase{
            "AHiddenRulerStaysHidden",
            {0, 3, 7},
            7,
            {{Act::Hide, 3, {0, 7}, -1}, {Act::Hotkey, 0, kNone, -1}, {Act::Hotkey, 0, {0, 7}, 7}}},
        HideShowCase{"ARulerShownByHandMeanwhileIsWhatTheNextPressHides",
                     {0, 3},
                     3,
                     {{Act::Hotkey, 0, kNone, -1},
                      {Act::Show, 5, {5}, 5},
                      {Act::Hotkey, 0, kNone, -1},
                      {Act::Hotkey, 0, {5}, 5}}},
        HideShowCase{"ShownAndHiddenAgainByHandTheRememberedOnesComeBack",
                     {0, 3},
                     0,
                     {{Act::Hotkey, 0, kNone, -1},
                      {Act::Show, 5, {5}, 5},
                      {Act::Hide, 5, kNone, -1},
                      {Act::Hotkey, 0, {0, 3}, 0}}},
        HideShowCase{"ARulerHiddenByHandAfterTheShowIsNotRememberedAgain",
                     {0, 3, 5},
                     5,
                     {{Act::Hotkey, 0, kNone, -1},
                      {Act::Hotkey, 0, {0, 3, 5}, 5},
                      {Act::Hide, 3, {0, 5}, -1},
                      {Act::Hotkey, 0, kNone, -1},
                      {Act::Hotkey, 0, {0, 5}, 5}}},
        HideShowCase{
            "NothingRememberedAndNothingShownBringsRuler0",
            {0, 4},
            4,
            {{Act::Hide, 4, {0}, -1}, {Act::Hide, 0, kNone, -1}, {Act::Hotkey, 0, {0}, 0}}},
        HideShowCase{"RulersHiddenByHandAfterAHotkeyHideComeBackByTheHotkey",
                     {2, 6},
                     6,
                     {{Act::Hotkey, 0, kNone, -1},
                      {Act::Show, 0, {0}, 0},
                      {Act::Hide, 0, kNone, -1},
                      {Act::Hotkey, 0, {2, 6}, 6}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyTest, TheOptionsWindowStaysAsItIs) {
  ShowRulers({0, 3}, 3);
  DM->OptionsAction.Execute();
  ASSERT_TRUE(OptionsForm->Visible());
  PressHotkey();
  EXPECT_EQ(Visible(), kNone);
  EXPECT_TRUE(OptionsForm->Visible());
  // It goes on showing the ruler the user worked with, hidden or not.
  EXPECT_EQ(ActiveRulerIndex(), 3);
  EXPECT_EQ(OptionsForm->ScaleComboBox.Text(), std::to_string(Slot(3).Scale()));
  PressHotkey();
  EXPECT_EQ(Visible(), (std::vector<int>{0, 3}));
  EXPECT_TRUE(OptionsForm->Visible());
}

// ---------------------------------------------------------------- while a dialog waits

struct ModalCase {
  const char* name;
  // Opens the dialog, with whileOpen run from its loop; false when it is the
  // system's own, with no window of the program's to bring forward.
  std::function<void(HotkeyTest&, const std::function<void()>& whileOpen)> open;
  bool programsDialog;
};
void PrintTo(const ModalCase& c, std::ostream* os) { *os << c.name; }

class WhileModal : public HotkeyTest, public ::testing::WithParamInterface<ModalCase> {};

TEST_P(WhileModal, TheHotkeyLeavesTheRulersAndBringsTheDialogForward) {
  const ModalCase& c = GetParam();
  ShowRulers({0, 3}, 3);
  bool ran = false;
  c.open(*this, [this, &c, &ran] {
    ran = true;
    ASSERT_TRUE(App->ModalRunning());
    TForm* dialog = App->ModalForm();
    ASSERT_EQ(dialog != nullptr, c.programsDialog);
    // The user turns to another program, which covers the dialog.
    Os.ActivateOtherProgram();
    WindowOf(Slot(0)).Raise();
    PressHotkey();
    EXPECT_EQ(Visible(), (std::vector<int>{0, 3}));
    if (dialog) {
      EXPECT_EQ(Top(), Os.Find(*dialog));
      EXPECT_EQ(Os.Focused, Os.Find(*dialog));
      dialog->Close();
    }
  });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(App->ModalRunning());
  // Once the dialog is gone the hotkey works again.
  PressHotkey();
  EXPECT_EQ(Visible(), kNone);
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, WhileModal,
    ::testing::Values(ModalCase{"AboutBox",
                                [](HotkeyTest& t, const std::function<void()>& whileOpen) {
                                  t.Queue.PostAction(whileOpen);
                                  t.DM->AboutAction.Execute();
                                },
                                true},
                      ModalCase{"CalibrateTheScreen",
                                [](HotkeyTest& t, const std::function<void()>& whileOpen) {
                                  t.Queue.PostAction(whileOpen);
                                  t.Press(KeyCode::K, {KeyCode::Control});
                                },
                                true},
                      ModalCase{"ColourChooser",
                                [](HotkeyTest& t, const std::function<void()>& whileOpen) {
                                  t.DM->OptionsAction.Execute();
                                  t.Os.WhileColorChooserOpen = whileOpen;
                                  TOptionsForm& o = *t.OptionsForm;
                                  t.Os.Find(o)->Find(o.FontColorBox)->UserChoose(0);
                                  t.Slot(3).SetFocus();
                                },
                                false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the chord at start

struct StoredHotkeyCase {
  const char* name;
  std::optional<StoreValue> stored;
  KeyChord chord;  // what the program takes
  THotkeyState state;
};
void PrintTo(const StoredHotkeyCase& c, std::ostream* os) { *os << c.name; }

class StoredHotkey : public HotkeyTest, public ::testing::WithParamInterface<StoredHotkeyCase> {};

TEST_P(StoredHotkey, TheProgramClaimsTheStoredChordOrTheDefault) {
  const StoredHotkeyCase& c = GetParam();
  if (c.stored) Os.Registry.Put(kProgramKeyPath, kHotkeyValueName, *c.stored);
  StartAndShowRuler0();
  const TGlobalHotkey& hotkey = Program->ProgramOptions.Hotkey;
  EXPECT_EQ(hotkey.Chord(), c.chord);
  EXPECT_EQ(hotkey.State(), c.state);
  const bool held = c.state == THotkeyState::Active;
  EXPECT_EQ(Os.HeldHotkey, held ? std::optional<KeyChord>(c.chord) : std::nullopt);
  EXPECT_EQ(Os.PressHotkey(c.chord), held);
  EXPECT_EQ(GetRulerVisible(0), !held);
  // Reading writes nothing.
  EXPECT_EQ(Os.Registry.Get(kProgramKeyPath, kHotkeyValueName).has_value(), c.stored.has_value());
}

constexpr uint8_t kCtrlAlt = ModCtrl | ModAlt;
StoreValue Number(uint32_t n) { return {StoreKind::Integer, n, {}}; }

INSTANTIATE_TEST_SUITE_P(
    Values, StoredHotkey,
    ::testing::Values(
        StoredHotkeyCase{
            "NoneStoredIsCtrlAltR", std::nullopt, {'R', kCtrlAlt}, THotkeyState::Active},
        StoredHotkeyCase{"ZeroIsOff", Number(0), {}, THotkeyState::Off},
        StoredHotkeyCase{"CtrlShiftF12",
                         Number(0x7B | (ModCtrl | ModShift) << 8),
                         {0x7B, ModCtrl | ModShift},
                         THotkeyState::Active},
        StoredHotkeyCase{
            "AltHome", Number(0x24 | ModAlt << 8), {0x24, ModAlt}, THotkeyState::Active},
        StoredHotkeyCase{
            "ABareLetterIsShownButNotClaimed", Number('A'), {'A', 0}, THotkeyState::NeedsCtrlOrAlt},
        StoredHotkeyCase{"ShiftIsNoLessATypingKey",
                         Number('A' | ModShift << 8),
                         {'A', ModShift},
                         THotkeyState::NeedsCtrlOrAlt},
        // What holds no chord is ignored, as every damaged value is.
        StoredHotkeyCase{
            "ModifiersWithoutAKey", Number(kCtrlAlt << 8), {'R', kCtrlAlt}, THotkeyState::Active},
        StoredHotkeyCase{"BeyondTwoBytes",
                         Number(0x10000 | 'T' | kCtrlAlt << 8),
                         {'R', kCtrlAlt},
                         THotkeyState::Active},
        StoredHotkeyCase{
            "AnUnknownModifier", Number('T' | 0x800), {'R', kCtrlAlt}, THotkeyState::Active},
        StoredHotkeyCase{"AllBitsSet", Number(0xFFFFFFFF), {'R', kCtrlAlt}, THotkeyState::Active},
        StoredHotkeyCase{
            "Text", StoreValue{StoreKind::Text, 0, "1618"}, {'R', kCtrlAlt}, THotkeyState::Active},
        StoredHotkeyCase{"AnotherKind", StoreValue{}, {'R', kCtrlAlt}, THotkeyState::Active}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyTest, AChordHeldByAnotherProgramAtStartIsNoErrorAndTheProgramRunsOn) {
  Os.HotkeysInUse.insert({'R', kCtrlAlt});
  StartAndShowRuler0();
  EXPECT_EQ(Program->ProgramOptions.Hotkey.State(), THotkeyState::InUse);
  EXPECT_FALSE(Os.HeldHotkey.has_value());
  EXPECT_TRUE(Os.Errors.empty());
  EXPECT_TRUE(GetRulerVisible(0));
}

TEST_F(HotkeyTest, TheChordIsReleasedWhenTheProgramGoes) {
  StartAndShowRuler0();
  ASSERT_TRUE(Os.HeldHotkey.has_value());
  EndProgram();
  EXPECT_FALSE(Os.HeldHotkey.has_value());
  EXPECT_FALSE(Os.HasHotkeyHandler());
}

}  // namespace
}  // namespace vr::test
