#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vr::test {
namespace {

// Records which ruler was active each time it was asked to reload.
class FakeOptions : public TRulerObserver {
 public:
  explicit FakeOptions(TRulerSlots& rulers) : Rulers_(rulers) {}
  void RefreshFromRuler() override { Refreshes.push_back(Rulers_.ActiveRulerIndex()); }
  std::vector<int> Refreshes;

 private:
  TRulerSlots& Rulers_;
};

class SlotsTest : public ProgramTest {
 protected:
  // A window of the program that is not a ruler, as the Options window is.
  TForm& MakeDialog() { return MakeForm(WindowParams{WindowKind::Dialog, "Options", {}}); }
  headless::HeadlessWindow* Top() const { return Os.ZOrder.empty() ? nullptr : Os.ZOrder.back(); }
};

TEST_F(SlotsTest, FreshStartHasRuler0OnlyAndItIsActive) {
  StartAndShowRuler0();
  EXPECT_NE(RulerForms[0], nullptr);
  for (int n = 1; n < kSlotCount; ++n) EXPECT_EQ(RulerForms[static_cast<size_t>(n)], nullptr);
  EXPECT_EQ(ActiveRulerIndex(), 0);
  EXPECT_EQ(ActiveRuler(), RulerForms[0]);
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 0);
}

TEST_F(SlotsTest, Slot0IsFilledWhileRuler0IsBeingCreated) {
  // Ruler 0's creation already finds itself active, so the tray icon is set
  // before the constructor has returned.
  StartRuler0();
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 0);
  EXPECT_EQ(App->MainForm(), RulerForms[0]);
}

TEST_F(SlotsTest, ShowingAnEmptySlotMakesItsRulerShownRaisedAndFocused) {
  StartAndShowRuler0();
  SetRulerVisible(3, true);
  ASSERT_NE(RulerForms[3], nullptr);
  EXPECT_EQ(Slot(3).RulerIndex(), 3);
  EXPECT_TRUE(GetRulerVisible(3));
  EXPECT_TRUE(WindowOf(Slot(3)).IsVisible());
  EXPECT_EQ(Top(), &WindowOf(Slot(3)));
  EXPECT_EQ(Os.Focused, &WindowOf(Slot(3)));
  EXPECT_EQ(ActiveRulerIndex(), 3);
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 3);
  EXPECT_NE(App->MainForm(), RulerForms[3]);
}

TEST_F(SlotsTest, HidingKeepsTheWindowAndShowingReusesIt) {
  StartAndShowRuler0();
  SetRulerVisible(3, true);
  TRulerForm* three = RulerForms[3];
  three->MoveCenterTo({100, 100});
  three->SetLuminosity(-10);
  SetRulerVisible(3, false);
  EXPECT_FALSE(GetRulerVisible(3));
  EXPECT_FALSE(WindowOf(*three).IsVisible());
  EXPECT_EQ(RulerForms[3], three);
  SetRulerVisible(3, true);
  EXPECT_EQ(RulerForms[3], three);
  EXPECT_EQ(three->CenterPoint(), (Point{100, 100}));
  EXPECT_EQ(three->Luminosity(), -10);
}

TEST_F(SlotsTest, TheLastVisibleRulerIsNeverHidden) {
  StartAndShowRuler0();
  SetRulerVisible(0, false);
  EXPECT_TRUE(GetRulerVisible(0));
  SetRulerVisible(5, true);
  SetRulerVisible(0, false);
  EXPECT_FALSE(GetRulerVisible(0));
  SetRulerVisible(5, false);
  EXPECT_TRUE(GetRulerVisible(5));
}

TEST_F(SlotsTest, EmptyOrInvalidSlotsReadAsHiddenAndHideNothing) {
  StartAndShowRuler0();
  for (int n : {-1, 7, 10, 1000}) {
    EXPECT_FALSE(GetRulerVisible(n));
    SetRulerVisible(n, false);
  }
  SetRulerVisible(10, true);
  EXPECT_TRUE(GetRulerVisible(0));
}

TEST_F(SlotsTest, ShowingAVisibleRulerNeitherRaisesNorFocusesIt) {
  StartAndShowRuler0();
  SetRulerVisible(2, true);
  SetRulerVisible(0, true);
  EXPECT_EQ(Top(), &WindowOf(Slot(2)));
  EXPECT_EQ(ActiveRulerIndex(), 2);
}

TEST_F(SlotsTest, BringToFrontRaisesAndActivatesAVisibleRuler) {
  StartAndShowRuler0();
  SetRulerVisible(2, true);
  BringRulerToFront(0);
  EXPECT_EQ(Top(), &WindowOf(Slot(0)));
  EXPECT_EQ(ActiveRulerIndex(), 0);
  EXPECT_TRUE(GetRulerVisible(2));
}

TEST_F(SlotsTest, AFocusedNonRulerWindowLeavesTheLastRulerActive) {
  StartAndShowRuler0();
  SetRulerVisible(6, true);
  TForm& options = MakeDialog();
  options.Show();
  EXPECT_EQ(App->ActiveForm(), &options);
  EXPECT_EQ(ActiveRulerIndex(), 6);
  BringRulerToFront(0);
  options.SetFocus();
  EXPECT_EQ(ActiveRulerIndex(), 0);
}

TEST_F(SlotsTest, AHiddenActiveRulerStaysActiveUntilAnotherWindowIsFocused) {
  StartAndShowRuler0();
  SetRulerVisible(4, true);
  Slot(4).Hide();  // as the Hide command does, past the last-visible rule
  EXPECT_EQ(ActiveRulerIndex(), 4);
  Slot(0).SetFocus();
  EXPECT_EQ(ActiveRulerIndex(), 0);
}

TEST_F(SlotsTest, AFocusReportedAgainIsNoChangeOfTheActiveWindow) {
  StartAndShowRuler0();
  SetRulerVisible(2, true);
  int changes = 0;
  App->OnActiveFormChange = [&changes](TForm*) { ++changes; };
  // The system may report one activation twice (activated, then focused).
  for (int n : {0, 0, 2, 2, 2, 0}) WindowOf(Slot(n)).Handler().HandleFocus();
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(App->ActiveForm(), &Slot(0));
}

TEST_F(SlotsTest, ADestroyedWindowLeavesTheList) {
  StartAndShowRuler0();
  SetRulerVisible(1, true);
  auto dialog = std::make_unique<TForm>(*App, WindowParams{WindowKind::Dialog, "About", {}});
  dialog->Show();
  EXPECT_EQ(App->WindowList().front(), dialog.get());
  dialog.reset();
  EXPECT_EQ(App->ActiveForm(), nullptr);
  EXPECT_EQ(ActiveRulerIndex(), 1);
  EXPECT_EQ(App->WindowList().size(), 3u) << "two rulers and the Options window";
}

TEST_F(SlotsTest, TheOptionsWindowFollowsTheActiveRulerNotTheRenderedOne) {
  StartAndShowRuler0();
  SetRulerVisible(2, true);
  FakeOptions options(Rulers());
  Rulers().OptionsForm = &options;
  Slot(0).SetLuminosity(15);  // ruler 0 renders while ruler 2 is active
  ASSERT_FALSE(options.Refreshes.empty());
  EXPECT_EQ(options.Refreshes.back(), 2);
  EXPECT_EQ(DM->TrayIcon.IconIndex(), 2);
  const size_t before = options.Refreshes.size();
  BringRulerToFront(0);
  EXPECT_GT(options.Refreshes.size(), before);
  EXPECT_EQ(options.Refreshes.back(), 0);
}

TEST_F(SlotsTest, NoRefreshWithoutAnActiveRuler) {
  // Slots with no ruler yet, as before ruler 0 is made, and a dialog in front.
  TApplication app(Os);
  TRulerSlots rulers(app);
  TDM dm(app, rulers);
  rulers.TrayIcon = &dm.TrayIcon;
  FakeOptions options(rulers);
  rulers.OptionsForm = &options;
  TForm dialog(app, WindowParams{WindowKind::Dialog, "Options", {}});
  dialog.Show();
  rulers.ActiveFormChanged(nullptr);
  EXPECT_TRUE(options.Refreshes.empty());
  EXPECT_EQ(dm.TrayIcon.IconIndex(), -1);
}

}  // namespace
}  // namespace vr::test
