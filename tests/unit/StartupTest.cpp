#include <gtest/gtest.h>

#include <stdexcept>

#include "DataModule/DataModule.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/Rulers.h"
#include "app/Startup.h"
#include "platform/headless/HeadlessPlatform.h"

namespace vr::test {
namespace {

constexpr KeyCode kAlt = KeyCode::Alt;
constexpr KeyCode kF4 = KeyCode::F4;

class StartupTest : public ::testing::Test {
 protected:
  headless::HeadlessPlatform Os;
  // Runs the whole program on the scripted events.
  void Run() { RunVantoriRulers(Os); }
  headless::HeadlessWindow& WindowOfSlot(int n) {
    return *Os.Find(*RulerForms[static_cast<size_t>(n)]);
  }
};

TEST_F(StartupTest, FirstRunShowsRuler0AndClosingItSavesAndEnds) {
  bool checked = false;
  Os.PostAction([&] {
    EXPECT_EQ(Os.Title, "Vantori Rulers");
    EXPECT_TRUE(Os.OffTaskBar);
    ASSERT_NE(RulerForms[0], nullptr);
    EXPECT_TRUE(WindowOfSlot(0).IsVisible());
    EXPECT_EQ(Os.Focused, &WindowOfSlot(0));
    EXPECT_EQ(WindowOfSlot(0).Bounds(), (Rect{358, 359, 650, 50}));
    EXPECT_EQ(DM->TrayIcon.IconIndex(), 0);
    for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(RulerForms[static_cast<size_t>(n)], nullptr);
    checked = true;
  });
  Os.PostKey(kF4, {kAlt});
  Os.PostAction([] { ADD_FAILURE() << "the loop went on after ruler 0 closed"; });
  Run();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(0)), 24u);
  EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(0), "CenterPoint")->Text, "683,384");
  // Everything of the run is gone.
  EXPECT_EQ(RulerForms[0], nullptr);
  EXPECT_EQ(DM, nullptr);
  EXPECT_TRUE(Os.ZOrder.empty());
}

TEST_F(StartupTest, TheNextRunPutsRuler0BackWhereItWas) {
  Os.PostAction([&] { RulerForms[0]->MoveCenterTo({400, 380}); });
  Os.PostAction([&] { RulerForms[0]->SetOrientation(TopToBottom); });
  Os.PostKey(kF4, {kAlt});
  Run();
  Os.PostAction([&] { EXPECT_EQ(WindowOfSlot(0).Bounds(), (Rect{375, 55, 50, 650})); });
  Os.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, AnErrorEscapingAMessageIsShownAndTheLoopGoesOn) {
  bool after = false;
  Os.PostAction([] { throw std::runtime_error("Out of paper"); });
  Os.PostAction([&] { after = true; });
  Os.PostKey(kF4, {kAlt});
  Run();
  EXPECT_EQ(Os.Errors, std::vector<std::string>{"Out of paper"});
  EXPECT_TRUE(after);
}

TEST_F(StartupTest, ClosingAnotherRulerSavesItHidesItAndGoesOn) {
  Os.PostKey(kF4);  // F4: ruler 4 shown and focused
  Os.PostAction([&] { RulerForms[4]->SetBreadth(77); });
  Os.PostKey(kF4, {kAlt});  // Alt+F4 on ruler 4
  bool after = false;
  Os.PostAction([&] {
    after = true;
    EXPECT_FALSE(GetRulerVisible(4));
    EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(4), "Breadth")->Integer, 77u);
    EXPECT_FALSE(Os.Registry.HasKey(SettingsKeyPath(0)));
    // Changed again while hidden: the end of the run keeps that too.
    RulerForms[4]->SetBreadth(99);
    RulerForms[0]->SetFocus();
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
  Os.PostAction([&] { RulerForms[0]->SetFocus(); });
  Os.PostKey(kF4, {kAlt});
  Run();
  Os.PostAction([&] {
    for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(RulerForms[static_cast<size_t>(n)], nullptr);
  });
  Os.PostKey(kF4, {kAlt});
  Run();
}

TEST_F(StartupTest, HidingRuler0DoesNotEndTheProgram) {
  Os.PostKey(KeyCode::F2);  // F2: ruler 2
  Os.PostAction([&] { RulerForms[0]->SetFocus(); });
  Os.PostKey(KeyCode::F10);  // hides ruler 0
  bool after = false;
  Os.PostAction([&] {
    after = true;
    EXPECT_FALSE(GetRulerVisible(0));
    EXPECT_FALSE(Os.QuitRequested);
  });
  Os.PostAction([&] { RulerForms[0]->Close(); });  // as the tray's Close will
  Run();
  EXPECT_TRUE(after);
  EXPECT_TRUE(Os.Registry.HasKey(SettingsKeyPath(0)));
}

}  // namespace
}  // namespace vr::test
