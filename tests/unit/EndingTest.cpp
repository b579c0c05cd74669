// How a run ends, and what it keeps: every ruler made in the run, whichever
// way it ends; the session's end, also while a dialog or a menu is open; and a
// second start, which only sends the user to the first.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DataModule/DataModule.h"
#include "Options/OptionsForm.h"
#include "Ruler/Rulers.h"
#include "TestSupport.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/ScriptedQueue.h"

namespace vr::test {
namespace {

using headless::HeadlessStore;

class EndingTest : public RunTest {
 public:
  TDM& DM() { return *Program->DM; }
  // Each ruler of the run gets a centre of its own, so that its key shows it was written.
  static Point CentreOf(int n) { return {100 + 10 * n, 200 + n}; }
  static std::string CentreText(int n) {
    return std::to_string(CentreOf(n).X) + "," + std::to_string(CentreOf(n).Y);
  }
  // Rulers shown (made), moved, and hidden again where asked; ruler 0 last,
  // so that it holds the focus when it stays shown.
  void MakeRulers(const std::vector<int>& made, const std::vector<int>& hidden) {
    Queue.PostAction([this, made, hidden] {
      for (int n : made) {
        Program->RulerForms.SetRulerVisible(n, true);
        Slot(n).MoveCenterTo(CentreOf(n));
      }
      Slot(0).MoveCenterTo(CentreOf(0));
      for (int n : hidden) Slot(n).Hide();
      if (Slot(0).Visible()) Slot(0).SetFocus();
    });
  }
  // The keys written, in the order they were opened for writing.
  std::vector<std::string> KeysWritten() const { return Os.Registry.OpenedForWrite; }
  static std::vector<std::string> Keys(const std::vector<int>& slots) {
    std::vector<std::string> keys;
    for (int n : slots) keys.push_back(HeadlessStore::Normalize(SettingsKeyPath(n)));
    return keys;
  }
  void ExpectStored(const std::vector<int>& slots) {
    for (int n = 0; n < kSlotCount; ++n) {
      const bool wanted = std::find(slots.begin(), slots.end(), n) != slots.end();
      EXPECT_EQ(Os.Registry.HasKey(SettingsKeyPath(n)), wanted) << "ruler " << n;
      if (!wanted) continue;
      EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(n)), 24u) << "ruler " << n;
      EXPECT_EQ(Os.Registry.Get(SettingsKeyPath(n), "CenterPoint")->Text, CentreText(n))
          << "ruler " << n;
    }
  }
};

enum class Way { CloseCommand, AltF4, SystemClose, SessionEnd };

struct EndingCase {
  const char* name;
  Way way;
  std::vector<int> made;    // besides ruler 0
  std::vector<int> hidden;  // of those, and ruler 0
  std::vector<int> stored;  // every ruler made, in slot order
};

class EveryEnding : public EndingTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EveryEnding, StoresEveryRulerMadeInSlotOrderAndNothingElse) {
  const EndingCase& c = GetParam();
  MakeRulers(c.made, c.hidden);
  switch (c.way) {
    case Way::CloseCommand:
      Queue.PostAction([this] { DM().CloseAction.Execute(); });
      break;
    case Way::AltF4:
      Queue.PostKey(KeyCode::F4, {KeyCode::Alt});
      break;
    case Way::SystemClose:
      Queue.PostAction([this] { Os.Find(Slot(0))->Handler().HandleCloseRequest(); });
      break;
    case Way::SessionEnd:
      Queue.PostAction([this] {
        EXPECT_EQ(Os.QuerySessionEnd(), true);
        EXPECT_TRUE(KeysWritten().empty()) << "the query writes nothing";
        Os.EndSession(true);
        EXPECT_TRUE(Os.TrayIcons.empty()) << "the icon goes before the process does";
      });
      break;
  }
  Queue.PostAction([] { ADD_FAILURE() << "the run went on after its end"; });
  Run();
  EXPECT_EQ(KeysWritten(), Keys(c.stored));
  ExpectStored(c.stored);
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Endings, EveryEnding,
    ::testing::Values(
        EndingCase{"CloseCommandRuler0Alone", Way::CloseCommand, {}, {}, {0}},
        EndingCase{"CloseCommandShownAndHidden", Way::CloseCommand, {5, 3, 8}, {5}, {0, 3, 5, 8}},
        EndingCase{"CloseCommandRuler0Hidden", Way::CloseCommand, {2}, {0}, {0, 2}},
        EndingCase{"AltF4Ruler0Alone", Way::AltF4, {}, {}, {0}},
        EndingCase{"AltF4ShownAndHidden", Way::AltF4, {9, 1}, {9}, {0, 1, 9}},
        EndingCase{"SystemCloseRuler0Hidden", Way::SystemClose, {4, 6}, {0, 6}, {0, 4, 6}},
        EndingCase{"SessionEndRuler0Alone", Way::SessionEnd, {}, {}, {0}},
        EndingCase{"SessionEndShownAndHidden", Way::SessionEnd, {7, 2}, {2}, {0, 2, 7}},
        EndingCase{"SessionEndAllHidden", Way::SessionEnd, {3}, {3, 0}, {0, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndingTest, HidingAndClosingAnotherRulerStillWriteAsBefore) {
  MakeRulers({4, 6}, {});
  Queue.PostAction([this] {
    Slot(6).Hide();
    EXPECT_TRUE(KeysWritten().empty()) << "hiding writes nothing";
    Slot(4).SetFocus();
  });
  Queue.PostKey(KeyCode::F4, {KeyCode::Alt});  // ruler 4 closes: saved and hidden
  Queue.PostAction([this] {
    EXPECT_EQ(KeysWritten(), Keys({4}));
    EXPECT_FALSE(Os.QuitRequested);
    Slot(0).Close();
  });
  Run();
  EXPECT_EQ(KeysWritten(), Keys({4, 0, 4, 6}));
}

TEST_F(EndingTest, AFailedWriteIsSkippedAndTheOtherRulersAreStillStored) {
  MakeRulers({1}, {});
  Queue.PostAction([this] {
    Os.Registry.FailWrites = {"CenterPoint"};
    DM().CloseAction.Execute();
  });
  Run();
  EXPECT_EQ(KeysWritten(), Keys({0, 1}));
  EXPECT_EQ(Os.Registry.ValueCount(SettingsKeyPath(1)), 23u);
  EXPECT_TRUE(Os.Errors.empty());
}

TEST_F(EndingTest, ASessionThatGoesOnChangesNothing) {
  MakeRulers({3}, {});
  Queue.PostAction([this] {
    EXPECT_EQ(Os.QuerySessionEnd(), true);
    Os.EndSession(false);
    EXPECT_TRUE(KeysWritten().empty());
    EXPECT_FALSE(Os.QuitRequested);
    EXPECT_EQ(Os.TrayIcons.size(), 1u);
    EXPECT_TRUE(Slot(0).Visible() && Slot(3).Visible());
    // The run goes on as before, to its own end.
    DM().CloseAction.Execute();
  });
  Run();
  EXPECT_EQ(KeysWritten(), Keys({0, 3}));
}

// While something of the program is open, the session ends: the query is
// answered yes at once, the rulers are stored, the icon goes, the run ends,
// and no box waits for the user.
struct OpenWhileEnding {
  const char* name;
  // Opens it, then runs `end` from inside it.
  std::function<void(EndingTest& t, const std::function<void()>& end)> open;
};

class SessionEndsWhileOpen : public EndingTest,
                             public ::testing::WithParamInterface<OpenWhileEnding> {};

TEST_P(SessionEndsWhileOpen, AnswersAtOnceStoresTheRulersAndEnds) {
  MakeRulers({2}, {});
  bool asked = false;
  auto end = [this, &asked] {
    asked = true;
    EXPECT_EQ(Os.QuerySessionEnd(), true);
    Os.EndSession(true);
    Queue.PostAction([] { ADD_FAILURE() << "the run went on after the session's end"; });
  };
  Queue.PostAction([this, end] { GetParam().open(*this, end); });
  Run();
  EXPECT_TRUE(asked);
  EXPECT_EQ(KeysWritten(), Keys({0, 2}));
  ExpectStored({0, 2});
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Open, SessionEndsWhileOpen,
    ::testing::Values(OpenWhileEnding{"OptionsWindow",
                                      [](EndingTest& t, const std::function<void()>& end) {
                                        t.DM().OptionsAction.Execute();
                                        ASSERT_TRUE(t.Program->OptionsForm->Visible());
                                        end();
                                      }},
                      OpenWhileEnding{
                          "ColourChooser",
                          [](EndingTest& t, const std::function<void()>& end) {
                            t.DM().OptionsAction.Execute();
                            t.Os.WhileColorChooserOpen = end;
                            t.Os.ColorChooserAnswer = 0x123456;
                            TOptionsForm& options = *t.Program->OptionsForm;
                            t.Os.Find(options)->Find(options.FontColorBox)->UserChoose(0);
                            EXPECT_NE(t.Slot(2).Font().Color(), 0x123456u)
                                << "the chooser ended unanswered";
                          }},
                      OpenWhileEnding{"TrayMenu",
                                      [](EndingTest& t, const std::function<void()>& end) {
                                        t.Os.MenuAnswer = [end](const headless::OpenedMenu&) {
                                          end();
                                          return 0;  // "Ruler 0", had the menu not ended
                                        };
                                        t.Os.TrayIcons.front()->RightClick();
                                        EXPECT_TRUE(t.Slot(0).Visible());
                                      }},
                      OpenWhileEnding{"AboutBox",
                                      [](EndingTest& t, const std::function<void()>& end) {
                                        t.Queue.PostAction(end);
                                        t.DM().AboutAction.Execute();
                                      }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- a second start

TEST_F(EndingTest, ASecondStartAsksTheFirstToComeForwardAndLeavesNoTrace) {
  Os.ClaimAnswer = InstanceClaim::AlreadyRunning;
  Queue.PostAction([] { ADD_FAILURE() << "a second start ran a loop"; });
  RunVantoriRulers(Os);
  EXPECT_EQ(Os.ShowRequestsSent, 1);
  EXPECT_TRUE(Os.ZOrder.empty());
  EXPECT_TRUE(Os.TrayIcons.empty());
  EXPECT_TRUE(Os.Registry.OpenedForWrite.empty());
  EXPECT_FALSE(Os.HasSessionHandler());
}

struct ComeForwardCase {
  const char* name;
  std::vector<int> made;
  std::vector<int> hidden;
  int focused;             // the ruler with the focus before, -1: another program's window
  bool about;              // the About box is open
  std::vector<int> shown;  // visible afterwards
  int front;               // the window on top and focused afterwards: a slot, or -1 for About
};

class ComeForward : public EndingTest, public ::testing::WithParamInterface<ComeForwardCase> {};

TEST_P(ComeForward, ShowsTheVisibleRulersOrRuler0InFront) {
  const ComeForwardCase& c = GetParam();
  MakeRulers(c.made, c.hidden);
  auto request = [this, &c] {
    Os.ReceiveShowRequest();
    for (int n = 0; n < kSlotCount; ++n) {
      const bool shown = std::find(c.shown.begin(), c.shown.end(), n) != c.shown.end();
      EXPECT_EQ(Program->RulerForms.GetRulerVisible(n), shown) << "ruler " << n;
    }
    TForm* modal = Program->Application.ModalForm();
    ASSERT_TRUE(c.front >= 0 || modal);
    const headless::HeadlessWindow* front =
        Os.Find(c.front >= 0 ? static_cast<TForm&>(Slot(c.front)) : *modal);
    EXPECT_EQ(Os.ZOrder.back(), front);
    EXPECT_EQ(Os.Focused, front);
    // Every visible ruler stands above whatever else was in front.
    for (int n : c.shown) {
      EXPECT_GE(std::find(Os.ZOrder.begin(), Os.ZOrder.end(), Os.Find(Slot(n))) - Os.ZOrder.begin(),
                static_cast<long>(Os.ZOrder.size() - c.shown.size() - (c.about ? 1 : 0)))
          << "ruler " << n << " came forward";
    }
    EXPECT_TRUE(Os.Registry.OpenedForWrite.empty());
  };
  Queue.PostAction([this, &c, request] {
    if (c.focused >= 0) {
      Slot(c.focused).SetFocus();
    } else {
      Os.ActivateOtherProgram();
    }
    // Some other window of the program over the rulers.
    DM().OptionsAction.Execute();
    if (c.about) {
      Queue.PostAction([this, request] {
        request();
        DM().CloseAction.Execute();
      });
      DM().AboutAction.Execute();
    } else {
      request();
      DM().CloseAction.Execute();
    }
  });
  Run();
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ComeForward,
    ::testing::Values(ComeForwardCase{"Ruler0Alone", {}, {}, -1, false, {0}, 0},
                      ComeForwardCase{
                          "VisibleRulersActiveOnTop", {3, 5}, {}, 3, false, {0, 3, 5}, 3},
                      ComeForwardCase{"HiddenOnesStayHidden", {3, 5}, {5}, 0, false, {0, 3}, 0},
                      ComeForwardCase{"NoneVisibleShowsRuler0", {4}, {0, 4}, 4, false, {0}, 0},
                      ComeForwardCase{"ModalAboutStaysInFront", {6}, {}, 6, true, {0, 6}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vr::test
