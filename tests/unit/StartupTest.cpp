#include <gtest/gtest.h>

#include <stdexcept>

#include "DataModule/DataModule.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"

namespace vr::test {
namespace {

constexpr KeyCode kAlt = KeyCode::Alt;
constexpr KeyCode kF4 = KeyCode::F4;

class StartupTest : public ::testing::Test {
 protected:
  headless::HeadlessPlatform Os;
  std::unique_ptr<TProgram> Program;
  // Runs the whole program on the scripted events.
  void Run() {
    Program = StartProgram(Os);
    Program->Run();
    Program.reset();
  }
  TRulerForm* Ruler(int n) { return Program->RulerForms[static_cast<size_t>(n)]; }
  headless::HeadlessWindow& WindowOfSlot(int n) { return *Os.Find(*Ruler(n)); }
};

TEST_F(StartupTest, FirstRunShowsRuler0AndClosingItSavesAndEnds) {
  bool checked = false;
  Os.PostAction([&, this] {
    EXPECT_EQ(Os.Title, "Vantori Rulers");
    EXPECT_TRUE(Os.OffTaskBar);
    ASSERT_NE(Ruler(0), nullptr);
    EXPECT_TRUE(WindowOfSlot(0).IsVisible());
    EXPECT_EQ(Os.Focused, &WindowOfSlot(0));
    EXPECT_EQ(WindowOfSlot(0).Bounds(), (Rect{358, 359, 650, 50}));
    EXPECT_EQ(Program->DM->TrayIcon.IconIndex(), 0);
    for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(Ruler(n), nullptr);
    checked = true;
  });
  Os.PostKey(kF4, {kAlt});
  Os.PostAction([] { ADD_FAILURE() << "the loop went on after ruler 0 closed"; });
  Run();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(0)), 24u);
  EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(0), "CenterPoint")->Text, "683,384");
  // Everything of the run is gone.
  EXPECT_TRUE(Os.ZOrder.empty());
  EXPECT_TRUE(Os.TrayIcons.empty());
}

TEST_F(StartupTest, TheNextRunPutsRuler0BackWhereItWas) {
  Os.PostAction([&, this] { Ruler(0)->MoveCenterTo({400, 380}); });
  Os.PostAction([&, this] { Ruler(0)->SetOrientation(TopToBottom); });
  Os.PostKey(kF4, {kAlt});
  Run();
  Os.PostAction([&, this] { EXPECT_EQ(WindowOfSlot(0).Bounds(), (Rect{375, 55, 50, 650})); });
  Os.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, AnErrorEscapingAMessageIsShownAndTheLoopGoesOn) {
  bool after = false;
  Os.PostAction([] { throw std::runtime_error("Out of paper"); });
  Os.PostAction([&, this] { after = true; });
  Os.PostKey(kF4, {kAlt});
  Run();
  EXPECT_EQ(Os.Errors, std::vector<std::string>{"Out of paper"});
  EXPECT_TRUE(after);
}

TEST_F(StartupTest, ClosingAnotherRulerSavesItHidesItAndGoesOn) {
  Os.PostKey(kF4);  // F4: ruler 4 shown and focused
  Os.PostAction([&, this] { Ruler(4)->SetBreadth(77); });
  Os.PostKey(kF4, {kAlt});  // Alt+F4 on ruler 4
  bool after = false;
  Os.PostAction([&, this] {
    after = true;
    EXPECT_FALSE(Program->RulerForms.GetRulerVisible(4));
    EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(4), "Breadth")->Integer, 77u);
    EXPECT_FALSE(Os.Registry.HasKey(SettingsKeyPath(0)));
    // Changed again while hidden: the end of the run keeps that too.
    Ruler(4)->SetBreadth(99);
    Ruler(0)->SetFocus();
  });
  Os.PostKey(kF4, {kAlt});  // Alt+F4 on ruler 0 ends the program
  Run();
  EXPECT_TRUE(after);
  EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(4), "Breadth")->Integer, 99u);
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(0)), 24u);
}

TEST_F(StartupTest, EveryRunStartsWithRuler0Alone) {
  Os.PostKey(KeyCode::F3);
  Os.PostKey(KeyCode::F5);
  Os.PostAction([&, this] { Ruler(0)->SetFocus(); });
  Os.PostKey(kF4, {kAlt});
  Run();
  Os.PostAction([&, this] {
    for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(Ruler(n), nullptr);
  });
  Os.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, HidingRuler0DoesNotEndTheProgram) {
  Os.PostKey(KeyCode::F2);  // F2: ruler 2
  Os.PostAction([&, this] { Ruler(0)->SetFocus(); });
  Os.PostKey(KeyCode::F10);  // hides ruler 0
  bool after = false;
  Os.PostAction([&, this] {
    after = true;
    EXPECT_FALSE(Program->RulerForms.GetRulerVisible(0));
    EXPECT_FALSE(Os.QuitRequested);
  });
  Os.PostAction([&, this] { Ruler(0)->Close(); });  // as the tray's Close will
  Run();
  EXPECT_TRUE(after);
  EXPECT_TRUE(Os.Registry.HasKey(SettingsKeyPath(0)));
}

}  // namespace
}  // namespace vr::test
