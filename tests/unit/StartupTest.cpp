#include <gtest/gtest.h>

#include <stdexcept>

#include "DataModule/DataModule.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/Rulers.h"
#include "TestSupport.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/ScriptedQueue.h"

namespace vr::test {
namespace {

constexpr KeyCode kAlt = KeyCode::Alt;
constexpr KeyCode kF4 = KeyCode::F4;

class StartupTest : public RunTest {
 protected:
  TRulerForm* Ruler(int n) { return Program->RulerForms[static_cast<size_t>(n)]; }
  headless::HeadlessWindow& WindowOfSlot(int n) { return *Os.Find(*Ruler(n)); }
};

TEST_F(StartupTest, FirstRunShowsRuler0AndClosingItSavesAndEnds) {
  bool checked = false;
  Queue.PostAction([&, this] {
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
  Queue.PostKey(kF4, {kAlt});
  Queue.PostAction([] { ADD_FAILURE() << "the loop went on after ruler 0 closed"; });
  Run();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(0)), 24u);
  EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(0), "CenterPoint")->Text, "683,384");
  // Everything of the run is gone.
  EXPECT_TRUE(Os.ZOrder.empty());
  EXPECT_TRUE(Os.TrayIcons.empty());
}

TEST_F(StartupTest, TheNextRunPutsRuler0BackWhereItWas) {
  Queue.PostAction([&, this] { Ruler(0)->MoveCenterTo({400, 380}); });
  Queue.PostAction([&, this] { Ruler(0)->SetOrientation(TopToBottom); });
  Queue.PostKey(kF4, {kAlt});
  Run();
  Queue.PostAction([&, this] { EXPECT_EQ(WindowOfSlot(0).Bounds(), (Rect{375, 55, 50, 650})); });
  Queue.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, AnErrorEscapingAMessageIsShownAndTheLoopGoesOn) {
  bool after = false;
  Queue.PostAction([] { throw std::runtime_error("Out of paper"); });
  Queue.PostAction([&after] { after = true; });
  Queue.PostKey(kF4, {kAlt});
  Run();
  EXPECT_EQ(Os.Errors, std::vector<std::string>{"Out of paper"});
  EXPECT_TRUE(after);
}

TEST_F(StartupTest, FaultsStrikingAgainWhileAnErrorIsShownComeOneBoxAfterAnotherEachOnce) {
  // A paint or a mouse move under the box meets the same fault again, and another one.
  int boxes = 0;
  Os.WhileErrorShown = [&] {
    if (++boxes > 1) return;
    for (const char* again : {"Out of paper", "Out of ink", "Out of ink", "Out of paper"})
      Os.ReportError(again);
  };
  Queue.PostAction([] { throw std::runtime_error("Out of paper"); });
  Queue.PostKey(kF4, {kAlt});
  Run();
  EXPECT_EQ(Os.Errors, (std::vector<std::string>{"Out of paper", "Out of ink"}));
}

TEST_F(StartupTest, ClosingAnotherRulerSavesItHidesItAndGoesOn) {
  Queue.PostKey(kF4);  // F4: ruler 4 shown and focused
  Queue.PostAction([&, this] { Ruler(4)->SetBreadth(77); });
  Queue.PostKey(kF4, {kAlt});  // Alt+F4 on ruler 4
  bool after = false;
  Queue.PostAction([&, this] {
    after = true;
    EXPECT_FALSE(Program->RulerForms.GetRulerVisible(4));
    EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(4), "Breadth")->Integer, 77u);
    EXPECT_FALSE(Os.Registry.HasKey(SettingsKeyPath(0)));
    // Changed again while hidden: the end of the run keeps that too.
    Ruler(4)->SetBreadth(99);
    Ruler(0)->SetFocus();
  });
  Queue.PostKey(kF4, {kAlt});  // Alt+F4 on ruler 0 ends the program
  Run();
  EXPECT_TRUE(after);
  EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(4), "Breadth")->Integer, 99u);
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(0)), 24u);
}

TEST_F(StartupTest, EveryRunStartsWithRuler0Alone) {
  Queue.PostKey(KeyCode::F3);
  Queue.PostKey(KeyCode::F5);
  Queue.PostAction([&, this] { Ruler(0)->SetFocus(); });
  Queue.PostKey(kF4, {kAlt});
  Run();
  Queue.PostAction([&, this] {
    for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(Ruler(n), nullptr);
  });
  Queue.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, HidingRuler0DoesNotEndTheProgram) {
  Queue.PostKey(KeyCode::F2);  // F2: ruler 2
  Queue.PostAction([&, this] { Ruler(0)->SetFocus(); });
  Queue.PostKey(KeyCode::F10);  // hides ruler 0
  bool after = false;
  Queue.PostAction([&, this] {
    after = true;
    EXPECT_FALSE(Program->RulerForms.GetRulerVisible(0));
    EXPECT_FALSE(Os.QuitRequested);
  });
  Queue.PostAction([&, this] { Ruler(0)->Close(); });  // as the tray's Close will
  Run();
  EXPECT_TRUE(after);
  EXPECT_TRUE(Os.Registry.HasKey(SettingsKeyPath(0)));
}

}  // namespace
}  // namespace vr::test
