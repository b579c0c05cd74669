#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

#include "About/AboutForm.h"
#include "DataModule/Pictures.h"
#include "Options/OptionsForm.h"
#include "Ruler/RulerKeys.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

constexpr KeyCode kAlt = KeyCode::Alt, kShift = KeyCode::Shift;

class CommandsTest : public ProgramTest {
 protected:
  // Start-up as the program does it: ruler 0 shown and focused, then the Options window.
  TRulerForm& Start() { return StartAndShowRuler0(); }
  std::vector<bool> Checks() const {
    std::vector<bool> checks;
    for (int n = 0; n < kSlotCount; ++n) checks.push_back(DM->RulerAction(n).Checked());
    return checks;
  }
  static std::vector<bool> Only(int n) {
    std::vector<bool> v(kSlotCount, false);
    if (n >= 0) v[static_cast<size_t>(n)] = true;
    return v;
  }
  headless::HeadlessTrayIcon& Tray() { return *Os.TrayIcons.at(0); }
  const headless::OpenedMenu& LastMenu() const { return Os.Menus.back(); }
};

TEST_F(CommandsTest, CheckingAnActionOfAGroupUnchecksTheOthersAndRunningItFlipsNothing) {
  Start();
  DM->RulerAction(3).SetChecked(true);
  DM->RulerAction(5).SetChecked(true);
  EXPECT_EQ(Checks(), Only(5));
  // Actions of group 0 are on their own.
  DM->OptionsAction.SetChecked(true);
  DM->AboutAction.SetChecked(true);
  EXPECT_TRUE(DM->OptionsAction.Checked());
  EXPECT_EQ(Checks(), Only(5));
  // Running an action never flips its check mark.
  TActionList list;
  int runs = 0;
  TAction toggle(list, {"&Toggle", "", 0, -1, {}}, [&](TAction& sender) {
    EXPECT_EQ(&sender, &toggle);
    ++runs;
  });
  toggle.Execute();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(toggle.Checked());
}

TEST_F(CommandsTest, BothMenusHaveTheirItemsShortcutsPicturesAndTheActiveRulerSelected) {
  Start();
  SetRulerVisible(4, true);
  DM->UpdateRulerChecks();
  const std::vector<MenuItemSpec> context = DM->PopupMenu.Describe(96);
  const std::vector<MenuItemSpec> tray = DM->TrayPopupMenu.Describe(96);
  ASSERT_EQ(context.size(), 15u);
  ASSERT_EQ(tray.size(), 15u);
  for (int n = 0; n < kSlotCount; ++n) {
    const auto& c = context[static_cast<size_t>(n)];
    const auto& t = tray[static_cast<size_t>(n)];
    EXPECT_EQ(c.Caption, "Ruler &" + std::to_string(n));
    EXPECT_EQ(c.ShortcutText, "Alt+" + std::to_string(n));
    EXPECT_TRUE(c.RadioItem && t.RadioItem);
    EXPECT_EQ(c.Checked, n == 4);
    EXPECT_EQ(t.Checked, n == 4);
    EXPECT_EQ(c.Picture.Width(), 16);
    EXPECT_EQ(t.Caption, c.Caption);
    EXPECT_EQ(t.ShortcutText, "");
  }
  const std::vector<std::pair<std::string, std::string>> contextTail{
      {"", ""}, {"Options...", ""}, {"About Vantori Rulers...", ""}, {"", ""}, {"Hide", "Esc"}};
  const std::vector<std::pair<std::string, std::string>> trayTail{
      {"", ""}, {"Options...", ""}, {"About Vantori Rulers...", ""}, {"", ""}, {"Close", ""}};
  for (size_t i = 0; i < contextTail.size(); ++i) {
    EXPECT_EQ(context[10 + i].Separator, contextTail[i].first.empty());
    EXPECT_EQ(context[10 + i].Caption, contextTail[i].first);
    EXPECT_EQ(context[10 + i].ShortcutText, contextTail[i].second);
    EXPECT_EQ(tray[10 + i].Caption, trayTail[i].first);
    EXPECT_EQ(tray[10 + i].ShortcutText, trayTail[i].second);
  }
  // The Options item never shows a check mark; its picture is number 10.
  EXPECT_FALSE(context[11].Checked);
  EXPECT_EQ(context[11].Picture, DM->ImageList.Get(10));
  // Pictures follow the monitor's density.
  EXPECT_EQ(DM->PopupMenu.Describe(144)[0].Picture.Width(), 24);
}

TEST_F(CommandsTest, RulerCommandsToggleTheirSlotAndTheLastVisibleRulerStays) {
  Start();
  SetRulerVisible(3, true);
  BringRulerToFront(0);
  // Ruler 3 visible, another ruler active: its item hides it, a second time shows it in front.
  Os.AnswerMenuWith("Ruler 3");
  DM->PopupMenu.Popup({10, 10});
  EXPECT_FALSE(GetRulerVisible(3));
  Os.AnswerMenuWithAccessKey('3');
  DM->TrayPopupMenu.Popup({10, 10});
  EXPECT_TRUE(GetRulerVisible(3));
  EXPECT_EQ(ActiveRulerIndex(), 3);
  EXPECT_EQ(Os.ZOrder.back(), &WindowOf(Slot(3)));
  // The only visible ruler stays.
  SetRulerVisible(3, false);
  DM->RulerAction(0).Execute();
  EXPECT_TRUE(GetRulerVisible(0));
}

TEST_F(CommandsTest, HideTakesEvenTheLastRulerAwayAndTheTrayMenuBringsItBack) {
  Start();
  Press(KeyCode::Escape);  // Esc on ruler 0, the only ruler
  EXPECT_FALSE(GetRulerVisible(0));
  EXPECT_EQ(ActiveRulerIndex(), 0);
  ASSERT_EQ(Os.TrayIcons.size(), 1u);
  Os.AnswerMenuWith("Ruler 0");
  Tray().RightClick();
  EXPECT_EQ(Os.ForegroundRequests, 1);
  EXPECT_EQ(Os.PendingMessageRuns, 1);
  EXPECT_EQ(LastMenu().At, Os.Cursor);
  EXPECT_TRUE(GetRulerVisible(0));
  // With no ruler active at all, Hide does nothing and no command is checked.
}

TEST_F(CommandsTest, Ruler0IsCheckedFromItsFirstShowingBeforeTheOptionsWindowIsMade) {
  // As the loop starts: ruler 0 shown, what waits for the first idle moment not done yet.
  StartBeforeTheLoop();
  Slot(0).Show();
  ASSERT_EQ(Program->OptionsForm, nullptr);
  EXPECT_EQ(Checks(), Only(0));
  EXPECT_TRUE(DM->PopupMenu.Describe(96)[0].Checked);
  Os.RunIdleCalls();
  EXPECT_EQ(Checks(), Only(0));
}

TEST_F(CommandsTest, WithNoActiveRulerHideDoesNothingAndNoCommandIsChecked) {
  // The command module over slots with no ruler yet, as before ruler 0 is made.
  TApplication app(Os);
  TRulerSlots rulers(app);
  TDM dm(app, rulers);
  dm.HideAction.Execute();
  dm.UpdateRulerChecks();
  for (int n = 0; n < kSlotCount; ++n) EXPECT_FALSE(dm.RulerAction(n).Checked());
  EXPECT_EQ(dm.TrayIcon.IconIndex(), -1);
}

TEST_F(CommandsTest, CloseWritesTheRulersAndEndsTheProgramAlsoWhileRuler0IsHidden) {
  Start();
  SetRulerVisible(2, true);
  SetRulerVisible(0, false);
  ASSERT_FALSE(GetRulerVisible(0));
  Os.AnswerMenuWith("Close");
  Tray().RightClick();
  EXPECT_TRUE(App->Terminated());
  EXPECT_EQ(Os.Registry.ValueCount(Key(0)), 24u);
  EXPECT_EQ(Os.Registry.ValueCount(Key(2)), 24u);
}

struct ShortcutCase {
  const char* name;
  bool optionsFocused;
  KeyCode vk;
  std::set<KeyCode> modifiers;
  bool ruler5Visible;
  bool ruler0Visible;
};

void PrintTo(const ShortcutCase& c, std::ostream* os) { *os << c.name; }

class Shortcuts : public CommandsTest, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(Shortcuts, WorkOnlyWhileARulerHasTheFocus) {
  const ShortcutCase& c = GetParam();
  Start();
  SetRulerVisible(2, true);
  BringRulerToFront(0);
  if (c.optionsFocused) DM->OptionsAction.Execute();
  Press(c.vk, c.modifiers);
  EXPECT_EQ(GetRulerVisible(5), c.ruler5Visible);
  EXPECT_EQ(GetRulerVisible(0), c.ruler0Visible);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Shortcuts,
    ::testing::Values(ShortcutCase{"AltDigitOnARuler", false, KeyCode::Digit5, {kAlt}, true, true},
                      ShortcutCase{"AltDigitInOptions", true, KeyCode::Digit5, {kAlt}, false, true},
                      ShortcutCase{"DigitWithoutAlt", false, KeyCode::Digit5, {}, false, true},
                      ShortcutCase{
                          "ShiftAltDigit", false, KeyCode::Digit5, {kAlt, kShift}, false, true},
                      ShortcutCase{"EscOnARuler", false, KeyCode::Escape, {}, false, false},
                      ShortcutCase{"EscInOptions", true, KeyCode::Escape, {}, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, ShiftF10AndTheMenuKeyOpenTheContextMenuAtTheRuler) {
  TRulerForm& r = Start();
  Press(KeyCode::F10, {kShift});
  Press(KeyCode::Menu);
  ASSERT_EQ(Os.Menus.size(), 2u);
  const Rect b = WindowOf(r).Bounds();
  EXPECT_EQ(Os.Menus[0].At, (Point{b.Left + b.Width / 2, b.Top + b.Height / 2}));
  EXPECT_EQ(Os.Menus[0].Items.back().Caption, "Hide");
  EXPECT_TRUE(GetRulerVisible(0));  // Shift+F10 is not F10
}

TEST_F(CommandsTest, TheTrayShowsTheProgramIconUntilARulerIsActiveThenItsPicture) {
  {
    // Start-up up to the command module, before ruler 0 is made.
    TApplication app(Os);
    app.SetTitle("Vantori Rulers");
    app.SmallIcon = DrawProgramIcon(16);
    TRulerSlots rulers(app);
    TDM dm(app, rulers);
    // Its add to the notification area waits for ruler 0 on the screen.
    EXPECT_TRUE(Os.TrayIcons.empty());
    dm.TrayIcon.SetVisible(true);
    ASSERT_EQ(Os.TrayIcons.size(), 1u);
    EXPECT_EQ(Tray().Tip, "Vantori Rulers");
    EXPECT_EQ(Tray().Picture, app.SmallIcon);
  }
  Start();
  EXPECT_EQ(Tray().Picture, DM->ImageList.Get(0));
  SetRulerVisible(4, true);
  EXPECT_EQ(Tray().Picture, DM->ImageList.Get(4));
  // The animation steps on once in 24.8 days, from the last picture to the first.
  ASSERT_EQ(Os.Timers.size(), 1u);
  EXPECT_EQ(Os.Timers[0]->Interval, 2147483647u);
  DM->TrayIcon.SetIconIndex(11);
  Os.FireTimers();
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 0);
  // Setting the index it has changes nothing.
  const int changes = Tray().PictureChanges;
  DM->TrayIcon.SetIconIndex(0);
  EXPECT_EQ(Tray().PictureChanges, changes);
}

TEST_F(CommandsTest, OptionsCommandShowsAndHidesTheWindowWhichOpensCentredThenStaysPut) {
  Start();
  TOptionsForm& options = *OptionsForm;
  headless::HeadlessWindow& w = *Os.Find(options);
  EXPECT_FALSE(options.Visible());
  EXPECT_EQ(w.ClientSize(), (Point{340, 399}));
  EXPECT_EQ(w.Params().Caption, "Vantori Rulers Options");
  EXPECT_EQ(w.SmallIcon(), DM->ImageList.Get(10));
  DM->OptionsAction.Execute();
  EXPECT_TRUE(options.Visible());
  const Rect b = w.Bounds();
  EXPECT_EQ(b.Left, (1366 - b.Width) / 2);
  EXPECT_EQ(b.Top, (768 - b.Height) / 2);
  EXPECT_EQ(ActiveRulerIndex(), 0);  // the Options window edits the last ruler
  EXPECT_EQ(Checks(), Only(0));
  w.SetBounds({10, 20, b.Width, b.Height});
  options.HandleCloseRequest();  // the close box hides it
  EXPECT_FALSE(options.Visible());
  EXPECT_FALSE(App->Terminated());
  DM->OptionsAction.Execute();
  EXPECT_EQ(w.Bounds().Left, 10);
  DM->OptionsAction.Execute();
  EXPECT_FALSE(options.Visible());
  EXPECT_FALSE(DM->OptionsAction.Checked());
}

TEST_F(CommandsTest, EveryAboutCommandMakesAFreshBoxThatLeavesNothingBehind) {
  Start();
  const size_t windows = Os.ZOrder.size();
  std::vector<std::string> seen;
  auto inspect = [&] {
    headless::HeadlessWindow& w = *Os.Focused;
    seen.push_back(w.Params().Caption);
    EXPECT_EQ(w.ClientSize(), (Point{480, 320}));
    EXPECT_EQ(w.Controls().size(), 9u);
  };
  // Enter, Esc and the close box each close it.
  for (const auto& close : std::vector<std::function<void()>>{
           [&] { Queue.PostKey(KeyCode::Enter); }, [&] { Queue.PostKey(KeyCode::Escape); },
           [&] { Queue.PostAction([&] { Os.Focused->Handler().HandleCloseRequest(); }); }}) {
    Queue.PostAction(inspect);
    close();
    DM->AboutAction.Execute();
    EXPECT_EQ(Os.ZOrder.size(), windows);
    EXPECT_EQ(Os.ModalLoopsRunDry, 0);
  }
  EXPECT_EQ(seen, std::vector<std::string>(3, "About Vantori Rulers"));
  EXPECT_TRUE(WindowOf(Slot(0)).IsEnabled());
}

TEST_F(CommandsTest, TheAboutBoxSaysWhoWeAreAndItsLinkWritesToUs) {
  Start();
  TAboutForm box(*App);
  EXPECT_EQ(box.VersionLabel.Caption(), "Vantori Rulers 7.7 (Build 67)");
  EXPECT_TRUE(box.VersionLabel.Font().Bold);
  EXPECT_EQ(box.ProgramIcon.Picture(), App->LargeIcon);
  EXPECT_EQ(box.BannerImage.Picture().Width(), 480);
  box.Show();
  headless::HeadlessControl& mail = *Os.Find(box)->Find(box.MailLabel);
  mail.UserMouseEnter();
  EXPECT_TRUE(mail.Params().Font.Underline);
  mail.UserMouseLeave();
  EXPECT_FALSE(mail.Params().Font.Underline);
  EXPECT_FALSE(mail.Params().Font.Bold);
  EXPECT_EQ(mail.Params().Font.Color, 0xFF0000u);
  mail.UserClick();
  EXPECT_EQ(Os.OpenedLinks, std::vector<std::string>{"mailto:support@vantori.example"
                                                     "?subject=About Vantori Rulers&body=:)"});
  EXPECT_EQ(box.ModalResult(), mrNone);  // a click on the link leaves the box open
}

TEST_F(CommandsTest, TrayCloseWhileTheAboutBoxIsOpenEndsTheProgramCleanly) {
  bool after = false;
  Queue.PostAction([&] { DM->AboutAction.Execute(); });
  Queue.PostAction([&] {
    Os.AnswerMenuWith("Close");
    Tray().RightClick();
  });
  Queue.PostAction([&] { after = true; });
  Start();
  App->Run();
  EXPECT_FALSE(after);
  EXPECT_EQ(Os.Registry.ValueCount(Key(0)), 24u);
  EXPECT_EQ(Os.ModalLoops, 1);
}

// Dialogs opened over dialogs: at each point, which of the program's windows
// take input (+) and which don't (-). X is a window of the test's own; About
// boxes are named by the order they appear in.
class Nested;
struct NestCase {
  const char* name;
  int depth;                             // About boxes, each opened from the tray over the last
  std::function<void(Nested&)> inOuter;  // done in the outermost box first
  std::vector<std::string> trace;        // noted in each box, back in each, and at the end
};
void PrintTo(const NestCase& c, std::ostream* os) { *os << c.name; }

class Nested : public CommandsTest, public ::testing::WithParamInterface<NestCase> {
 public:
  using ProgramTest::App;
  void SetUp() override {
    CommandsTest::SetUp();
    Start();
    X = &MakeForm(DialogWindow("X"));
    Cast = {{"R0", RulerForms[0]}, {"O", OptionsForm}, {"X", X}};
  }
  void Note() {
    const auto& live = App->WindowList();
    std::erase_if(Cast,
                  [&](const auto& c) { return !std::count(live.begin(), live.end(), c.second); });
    for (TForm* f : live) {
      if (std::any_of(Cast.begin(), Cast.end(), [f](const auto& c) { return c.second == f; }))
        continue;
      std::string name = f == RulerForms[3] ? "R3" : "A";
      if (name == "A") name += std::to_string(++Abouts_);
      Cast.push_back({name, f});
    }
    std::string states;
    for (const auto& [name, form] : Cast) {
      EXPECT_EQ(Os.Find(*form)->IsEnabled(), form->Enabled()) << name;  // the window agrees
      states += states.empty() ? "" : " ";
      states += name;
      states += form->Enabled() ? '+' : '-';
    }
    Trace.push_back(states);
  }
  void TrayAbout() {
    Os.AnswerMenuWith("About Vantori Rulers...");
    Tray().RightClick();
  }
  // Posted: closes the newest About box still open, the innermost.
  void PostCloseAbout() {
    Queue.PostAction([this] {
      for (auto c = Cast.rbegin(); c != Cast.rend(); ++c)
        if (c->first[0] == 'A') return c->second->Close();
    });
  }
  TForm* X = nullptr;
  std::vector<std::pair<std::string, TForm*>> Cast;
  std::vector<std::string> Trace;
  int Abouts_ = 0;
};

TEST_P(Nested, AnInnerDialogLeavesTheOuterOnesWindowsAsItLeftThem) {
  const NestCase& c = GetParam();
  for (int level = 1; level <= c.depth; ++level) {
    Queue.PostAction([this, level, &c] {
      if (level == 1 && c.inOuter) c.inOuter(*this);
      Note();
      if (level == c.depth) return;
      TrayAbout();
      Note();
    });
  }
  for (int level = 1; level <= c.depth; ++level) PostCloseAbout();
  DM->AboutAction.Execute();
  Note();
  EXPECT_EQ(Trace, c.trace);
  EXPECT_EQ(Os.ModalLoopsRunDry, 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, Nested,
                         ::testing::Values(NestCase{"TwoDeep",
                                                    2,
                                                    nullptr,
                                                    {"R0- O- X- A1+", "R0- O- X- A1- A2+",
                                                     "R0- O- X- A1+", "R0+ O+ X+"}},
                                           NestCase{"ThreeDeep",
                                                    3,
                                                    nullptr,
                                                    {"R0- O- X- A1+", "R0- O- X- A1- A2+",
                                                     "R0- O- X- A1- A2- A3+", "R0- O- X- A1- A2+",
                                                     "R0- O- X- A1+", "R0+ O+ X+"}},
                                           // Made under the outer box: it takes input, which only
                                           // the inner box takes away and gives back.
                                           NestCase{"RulerShownUnderTheOuterBox",
                                                    2,
                                                    [](Nested& t) { t.SetRulerVisible(3, true); },
                                                    {"R0- O- X- R3+ A1+", "R0- O- X- R3- A1- A2+",
                                                     "R0- O- X- R3+ A1+", "R0+ O+ X+ R3+"}},
                                           // Destroyed under the box that took its input.
                                           NestCase{"WindowGoneUnderTheBox",
                                                    1,
                                                    [](Nested& t) { t.OwnForms.clear(); },
                                                    {"R0- O- A1+", "R0+ O+"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nested, AboutOverTheColourChooserLeavesItModal) {
  OptionsForm->Show();
  Os.WhileColorChooserOpen = [this] {
    Note();
    Queue.PostAction([this] { Note(); });
    PostCloseAbout();
    TrayAbout();
    Note();
  };
  Os.Find(*OptionsForm)->Find(OptionsForm->FontColorBox)->UserChoose(0);
  Note();
  EXPECT_EQ(Trace,
            (std::vector<std::string>{"R0- O- X-", "R0- O- X- A1+", "R0- O- X-", "R0+ O+ X+"}));
}

TEST_F(CommandsTest, AnErrorInAMessageIsShownAndThatMessageGoesNoFurther) {
  Start();
  App->OnMessage = [](const Message& msg, bool&) {
    if (msg.Key == KeyCode::Escape) throw std::runtime_error("Out of paper");
  };
  Press(KeyCode::Escape);  // Esc: its shortcut must not run after the error
  EXPECT_EQ(Os.Errors, std::vector<std::string>{"Out of paper"});
  EXPECT_TRUE(GetRulerVisible(0));
  Press(KeyCode::Digit5, {kAlt});  // the next message is handled as usual
  EXPECT_TRUE(GetRulerVisible(5));
}

}  // namespace
}  // namespace vr::test
