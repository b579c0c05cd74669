// The Options window's "Program:" group: the hotkey the user presses into its
// box, claimed and stored at once, with a note where it can't be had; and
// "Start with Windows", which shows and sets the program's value in the
// session's start list, whoever changed it last.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "Options/ProgramOptions.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr uint8_t kCtrlAlt = ModCtrl | ModAlt;
constexpr KeyChord kCtrlAltT{'T', kCtrlAlt};

class ProgramOptionsTest : public ProgramTest {
 protected:
  TOptionsForm& Open() {
    StartAndShowRuler0();
    OptionsForm->Show();
    return *OptionsForm;
  }
  headless::HeadlessControl& Native(const TControl& c) { return *Os.Find(*OptionsForm)->Find(c); }
  TProgramOptions& Options() { return Program->ProgramOptions; }
  std::optional<uint32_t> StoredHotkey() {
    const auto v = Os.Registry.Get(kProgramKeyPath, kHotkeyValueName);
    return v ? std::optional<uint32_t>(v->Integer) : std::nullopt;
  }
  std::optional<std::string> StoredStart() {
    const auto v = Os.Registry.Get(kSessionStartKeyPath, kStartValueName);
    return v ? std::optional<std::string>(v->Text) : std::nullopt;
  }
  std::string OurCommand() const { return "\"" + Os.ProgramFile + "\""; }
  // The window loses the activation to a ruler and gets it back by a click.
  void ComeBackToTheWindow() {
    WindowOf(Slot(0)).Focus();
    Os.Find(*OptionsForm)->Focus();
  }
};

// ---------------------------------------------------------------- the hotkey box

TEST_F(ProgramOptionsTest, TheBoxShowsTheChordTheProgramHolds) {
  Os.Registry.PutInteger(kProgramKeyPath, kHotkeyValueName, 'Q' | ModCtrl << 8 | ModShift << 8);
  TOptionsForm& o = Open();
  EXPECT_EQ(Native(o.HotkeyBox).Chord(), (KeyChord{'Q', ModCtrl | ModShift}));
  EXPECT_EQ(Native(o.HotkeyNoteLabel).Text(), "");
  EXPECT_EQ(Native(o.StartWithWindowsCheckBox).Text(), "Start with Windows");
  EXPECT_EQ(Native(o.HotkeyLabel).Text(), "Hotkey:");
}

struct ChordCase {
  const char* name;
  std::function<void(headless::HeadlessPlatform&)> system;  // what holds, or refuses, chords
  KeyChord pressed;
  std::string note;
  std::optional<KeyChord> held;  // by the program afterwards
  std::optional<uint32_t> stored;
};
void PrintTo(const ChordCase& c, std::ostream* os) { *os << c.name; }

class ChordPressed : public ProgramOptionsTest, public ::testing::WithParamInterface<ChordCase> {};

TEST_P(ChordPressed, TheOldChordGoesTheNewIsClaimedAndStoredAndTheNoteSaysWhatCameOfIt) {
  const ChordCase& c = GetParam();
  TOptionsForm& o = Open();
  if (c.system) c.system(Os);
  Native(o.HotkeyBox).UserPressChord(c.pressed);
  EXPECT_EQ(Native(o.HotkeyNoteLabel).Text(), c.note);
  EXPECT_EQ(Os.HeldHotkey, c.held);
  EXPECT_EQ(StoredHotkey(), c.stored);
  // The box keeps what the user pressed, and the old chord does nothing now.
  EXPECT_EQ(Native(o.HotkeyBox).Chord(), c.pressed);
  EXPECT_FALSE(Os.PressHotkey(kDefaultHotkey));
  EXPECT_TRUE(GetRulerVisible(0));
  if (c.held) {
    EXPECT_TRUE(Os.PressHotkey(*c.held));
    EXPECT_FALSE(GetRulerVisible(0));
  }
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Chords, ChordPressed,
    ::testing::Values(
        ChordCase{"AFreeChord", nullptr, kCtrlAltT, "", kCtrlAltT, 0x654},
        ChordCase{"ShiftCtrlF5",
                  nullptr,
                  {0x74, ModShift | ModCtrl},
                  "",
                  KeyChord{0x74, ModShift | ModCtrl},
                  0x574},
        ChordCase{"HeldByAnotherProgram",
                  [](headless::HeadlessPlatform& os) {
                    os.HotkeysInUse.insert({'T', kCtrlAlt});
                  },
                  kCtrlAltT, "in use by another program", std::nullopt, 0x654},
        ChordCase{"RefusedByTheSystem",
                  [](headless::HeadlessPlatform& os) { os.RefuseHotkeys = true; }, kCtrlAltT,
                  "refused by Windows", std::nullopt, 0x654},
        ChordCase{"ABareLetter", nullptr, {'T', 0}, "needs Ctrl or Alt", std::nullopt, 'T'},
        ChordCase{"ShiftAndALetter",
                  nullptr,
                  {'T', ModShift},
                  "needs Ctrl or Alt",
                  std::nullopt,
                  'T' | ModShift << 8},
        ChordCase{"Cleared", nullptr, {}, "", std::nullopt, 0},
        // The box shows the modifiers held before the key: no chord yet.
        ChordCase{"ModifiersAlone", nullptr, {0, kCtrlAlt}, "", std::nullopt, 0},
        ChordCase{"TheStoreRefuses",
                  [](headless::HeadlessPlatform& os) { os.Registry.FailWrites = {"Hotkey"}; },
                  kCtrlAltT, "kept for this run only", kCtrlAltT, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramOptionsTest, TypingAChordStepByStepEndsHoldingIt) {
  TOptionsForm& o = Open();
  auto& box = Native(o.HotkeyBox);
  // Ctrl, then Alt, then T, as the box reports them; the box keeps each.
  box.UserPressChord({0, ModCtrl});
  box.UserPressChord({0, kCtrlAlt});
  EXPECT_EQ(box.Chord(), (KeyChord{0, kCtrlAlt}));
  EXPECT_FALSE(Os.HeldHotkey.has_value());
  box.UserPressChord(kCtrlAltT);
  EXPECT_EQ(Os.HeldHotkey, kCtrlAltT);
  EXPECT_EQ(StoredHotkey(), 0x654u);
  // A reload while the box has the keyboard leaves it alone; the next showing loads it.
  o.RefreshFromRuler();
  EXPECT_EQ(box.Chord(), kCtrlAltT);
  o.Hide();
  o.Show();
  EXPECT_EQ(Native(o.HotkeyBox).Chord(), kCtrlAltT);
}

TEST_F(ProgramOptionsTest, AChordInUseIsTriedAgainWhenTheWindowIsActivated) {
  Os.HotkeysInUse.insert({'R', kCtrlAlt});
  TOptionsForm& o = Open();
  EXPECT_EQ(Native(o.HotkeyNoteLabel).Text(), "in use by another program");
  // The other program lets it go.
  Os.HotkeysInUse.clear();
  ComeBackToTheWindow();
  EXPECT_EQ(Native(o.HotkeyNoteLabel).Text(), "");
  EXPECT_EQ(Os.HeldHotkey, kDefaultHotkey);
  EXPECT_FALSE(StoredHotkey().has_value()) << "the stored chord stays as it was";
}

TEST_F(ProgramOptionsTest, AHeldChordIsNotClaimedAgainOnEachActivation) {
  Open();
  const size_t claims = Os.HotkeyClaims.size();
  ComeBackToTheWindow();
  ComeBackToTheWindow();
  EXPECT_EQ(Os.HotkeyClaims.size(), claims);
}

// ---------------------------------------------------------------- start with Windows

struct StartValueCase {
  const char* name;
  std::optional<StoreValue> value;
  TStartState state;
};
void PrintTo(const StartValueCase& c, std::ostream* os) { *os << c.name; }

class StartValueRead : public ::testing::TestWithParam<StartValueCase> {};

TEST_P(StartValueRead, ReadsAsOursOnlyForThisProgramsOwnFile) {
  EXPECT_EQ(StartStateOf(GetParam().value, "C:\\Tools\\Vantori Rulers\\VantoriRulers.exe"),
            GetParam().state);
}

StoreValue Text(const std::string& text) { return {StoreKind::Text, 0, text}; }

INSTANTIATE_TEST_SUITE_P(
    Values, StartValueRead,
    ::testing::Values(
        StartValueCase{"None", std::nullopt, TStartState::Absent},
        StartValueCase{"Quoted", Text("\"C:\\Tools\\Vantori Rulers\\VantoriRulers.exe\""),
                       TStartState::Ours},
        StartValueCase{"Unquoted", Text("C:\\Tools\\Vantori Rulers\\VantoriRulers.exe"),
                       TStartState::Ours},
        StartValueCase{"AnotherCase", Text("\"c:\\tools\\VANTORI RULERS\\vantorirulers.exe\""),
                       TStartState::Ours},
        StartValueCase{"BlanksAround", Text("  \"C:\\Tools\\Vantori Rulers\\VantoriRulers.exe\" "),
                       TStartState::Ours},
        StartValueCase{"Moved", Text("\"D:\\Old\\VantoriRulers.exe\""), TStartState::OtherPath},
        StartValueCase{"WithAnArgument",
                       Text("\"C:\\Tools\\Vantori Rulers\\VantoriRulers.exe\" /quiet"),
                       TStartState::OtherPath},
        StartValueCase{"OneQuote", Text("\"C:\\Tools\\Vantori Rulers\\VantoriRulers.exe"),
                       TStartState::OtherPath},
        StartValueCase{"Empty", Text(""), TStartState::OtherPath},
        StartValueCase{"ANumber", StoreValue{StoreKind::Integer, 1, {}}, TStartState::OtherPath}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Before { Absent, Ours, OtherPath };
struct StartCase {
  const char* name;
  Before before;
  std::function<void(headless::HeadlessStore&)> store;  // how the store answers
  bool ticked;                                          // the box as the window opens
  std::string note;                                     // beside it then
  bool tickedAfterClick;
  std::string noteAfterClick;
  std::optional<Before> after;  // what the list holds then; nullopt: as before
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartWithWindows : public ProgramOptionsTest,
                         public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartWithWindows, TheBoxShowsTheListAndAClickChangesItOrSaysWhyNot) {
  const StartCase& c = GetParam();
  const std::string other = "\"D:\\Old\\VantoriRulers.exe\"";
  auto value = [&](Before b) -> std::optional<std::string> {
    if (b == Before::Absent) return std::nullopt;
    return b == Before::Ours ? OurCommand() : other;
  };
  // Another program's value beside ours, which nothing here touches.
  Os.Registry.PutText(kSessionStartKeyPath, "Other Program", "C:\\Other.exe");
  if (const auto v = value(c.before))
    Os.Registry.PutText(kSessionStartKeyPath, kStartValueName, *v);
  TOptionsForm& o = Open();
  auto& box = Native(o.StartWithWindowsCheckBox);
  EXPECT_EQ(box.Checked(), c.ticked);
  EXPECT_EQ(Native(o.StartNoteLabel).Text(), c.note);

  if (c.store) c.store(Os.Registry);
  box.UserClick();
  EXPECT_EQ(box.Checked(), c.tickedAfterClick);
  EXPECT_EQ(o.StartWithWindowsCheckBox.Checked(), c.tickedAfterClick);
  EXPECT_EQ(Native(o.StartNoteLabel).Text(), c.noteAfterClick);
  EXPECT_EQ(StoredStart(), value(c.after.value_or(c.before)));
  EXPECT_EQ(Os.Registry.Get(kSessionStartKeyPath, "Other Program")->Text, "C:\\Other.exe");
  EXPECT_LE(Os.Registry.ValueCount(kSessionStartKeyPath), 2u);
  EXPECT_TRUE(Os.Errors.empty());
}

const auto kRefuseOurValue = [](headless::HeadlessStore& s) { s.FailWrites = {kStartValueName}; };
const auto kRefuseTheList = [](headless::HeadlessStore& s) {
  s.FailOpenKeys = {headless::HeadlessStore::Normalize(kSessionStartKeyPath)};
};

INSTANTIATE_TEST_SUITE_P(
    Clicks, StartWithWindows,
    ::testing::Values(StartCase{"TickingWritesTheQuotedPath", Before::Absent, nullptr, false, "",
                                true, "", Before::Ours},
                      StartCase{"ClearingDeletesTheValue", Before::Ours, nullptr, true, "", false,
                                "", Before::Absent},
                      StartCase{"AnotherPathShowsClearedAndTickingRepairsIt", Before::OtherPath,
                                nullptr, false, "set for another copy", true, "", Before::Ours},
                      StartCase{"AWriteRefused", Before::Absent, kRefuseOurValue, false, "", false,
                                "refused by Windows", std::nullopt},
                      StartCase{"ADeleteRefused", Before::Ours, kRefuseOurValue, true, "", true,
                                "refused by Windows", std::nullopt},
                      StartCase{"ARepairRefused", Before::OtherPath, kRefuseOurValue, false,
                                "set for another copy", false, "refused by Windows", std::nullopt},
                      StartCase{"TheListRefused", Before::Absent, kRefuseTheList, false, "", false,
                                "refused by Windows", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramOptionsTest, TheBoxFollowsTheListEachTimeTheWindowIsShownOrActivated) {
  TOptionsForm& o = Open();
  auto& box = Native(o.StartWithWindowsCheckBox);
  EXPECT_FALSE(box.Checked());
  // Someone else writes the value: the window shows it once it is active again.
  Os.Registry.PutText(kSessionStartKeyPath, kStartValueName, OurCommand());
  ComeBackToTheWindow();
  EXPECT_TRUE(box.Checked());
  // ... and removes it while the window is hidden.
  o.Hide();
  Os.Registry.Erase(kSessionStartKeyPath, kStartValueName);
  o.Show();
  EXPECT_FALSE(box.Checked());
  // Another copy's path, written meanwhile.
  Os.Registry.PutText(kSessionStartKeyPath, kStartValueName, "\"E:\\VantoriRulers.exe\"");
  ComeBackToTheWindow();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(Native(o.StartNoteLabel).Text(), "set for another copy");
}

TEST_F(ProgramOptionsTest, ARefusalIsSaidUntilTheListIsReadAgain) {
  TOptionsForm& o = Open();
  Os.Registry.FailWrites = {kStartValueName};
  Native(o.StartWithWindowsCheckBox).UserClick();
  EXPECT_EQ(Native(o.StartNoteLabel).Text(), "refused by Windows");
  Os.Registry.FailWrites.clear();
  ComeBackToTheWindow();
  EXPECT_EQ(Native(o.StartNoteLabel).Text(), "");
  Native(o.StartWithWindowsCheckBox).UserClick();
  EXPECT_EQ(StoredStart(), OurCommand());
}

}  // namespace
}  // namespace vr::test
