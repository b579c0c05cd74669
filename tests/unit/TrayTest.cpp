#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace vr::test {
namespace {

using Answer = headless::HeadlessPlatform::TrayAnswer;
constexpr auto kAdded = TrayAddResult::Added;
constexpr auto kNoArea = TrayAddResult::NoArea;
constexpr auto kTimedOut = TrayAddResult::TimedOut;
constexpr auto kRefused = TrayAddResult::Refused;
constexpr const char* kError = "Cannot create shell notification icon";

class TrayTest : public ProgramTest {
 protected:
  // A run whose notification area gives these answers, from the start.
  void Restart(std::vector<Answer> answers) {
    EndProgram();
    Os.TrayAnswers.assign(answers.begin(), answers.end());
    Os.TrayCalls.clear();
  }
  headless::HeadlessTrayIcon& Tray() { return *Os.TrayIcons.at(0); }
  // One interval of the tries passes; the animation's does not.
  void TryAgain() {
    const std::vector<headless::HeadlessTimer*> timers = Os.Timers;
    for (headless::HeadlessTimer* t : timers) {
      if (t->Interval != TTrayIcon::kWaitRetryMs) continue;
      const std::function<void()> tick = t->Tick;
      tick();
    }
  }
  bool Waiting() const {
    for (const headless::HeadlessTimer* t : Os.Timers)
      if (t->Interval == TTrayIcon::kWaitRetryMs) return true;
    return false;
  }
};

enum class Then { TryAgain, Announce };

struct AreaCase {
  const char* name;
  std::vector<Answer> answers;
  std::vector<Then> events;  // while the program runs
  const char* runError;      // the run ends with it; nullptr: it goes on
  bool inArea;
  std::vector<std::string> calls;
};

TEST_F(TrayTest, TheIconWaitsForANotificationAreaAndOnlyARefusalIsAnError) {
  const std::vector<std::string> add{"add"}, addModify{"add", "modify"};
  const std::vector<Then> sevenTries(7, Then::TryAgain);
  const std::vector<AreaCase> cases{
      {"an area takes it at once", {}, {}, nullptr, true, add},
      // Longer than the 20 tries of 250 ms that start-up used to wait.
      {"no area for eight seconds, then the shell announces one", std::vector<Answer>(8, {kNoArea}),
       [&] {
         auto e = sevenTries;
         e.push_back(Then::Announce);
         return e;
       }(),
       nullptr, true, std::vector<std::string>(9, "add")},
      {"a shell that makes an area without announcing it",
       {{kNoArea}, {kNoArea}},
       {Then::TryAgain, Then::TryAgain},
       nullptr,
       true,
       std::vector<std::string>(3, "add")},
      {"an add that timed out but took effect", {{kTimedOut, true}}, {}, nullptr, true, addModify},
      {"an add that timed out and did not: tried again",
       {{kTimedOut, false}},
       {Then::TryAgain},
       nullptr,
       true,
       {"add", "modify", "add"}},
      {"a timed-out add the shell took late is found, not refused",
       {{kTimedOut, false}, {kRefused, true}},
       {Then::TryAgain},
       nullptr,
       true,
       {"add", "modify", "add", "modify"}},
      // Ruler 0 was up already: it goes before the error shows.
      {"an area that refuses at start-up", {{kRefused, false}}, {}, kError, false, addModify},
      {"an area that comes late and refuses",
       {{kNoArea}, {kRefused, false}},
       {Then::Announce},
       kError,
       false,
       {"add", "add", "modify"}},
      {"a restarted shell that kept the icon",
       {{kAdded}, {kRefused, true}},
       {Then::Announce},
       nullptr,
       true,
       {"add", "add", "modify"}},
      // It had the icon: the program runs on, and the next announcement brings it back.
      {"a restarted shell that refuses it once",
       {{kAdded}, {kRefused, false}},
       {Then::Announce, Then::TryAgain, Then::Announce},
       nullptr,
       true,
       {"add", "add", "modify", "add"}},
  };
  for (const AreaCase& c : cases) {
    SCOPED_TRACE(c.name);
    Restart(c.answers);
    StartBeforeTheLoop();
    EXPECT_TRUE(Os.TrayCalls.empty()) << "the area is asked once ruler 0 is up";
    // The first add waits until ruler 0 is on the screen, painted.
    bool ruler0Up = false;
    Os.WhileTrayAdd = [&] {
      if (Os.TrayCalls.size() == 1)
        ruler0Up = Slot(0).Visible() && WindowOf(Slot(0)).Presents() > 0;
    };
    for (Then event : c.events)
      Queue.PostAction(
          [this, event] { event == Then::TryAgain ? TryAgain() : Os.AnnounceTrayArea(); });
    try {
      App->Run();
      EXPECT_EQ(c.runError, nullptr) << "the run went on";
      // Ruler 0 was on the screen all along, and the icon shows its picture.
      EXPECT_TRUE(WindowOf(Slot(0)).IsVisible());
      EXPECT_EQ(Tray().Picture, DM->ImageList.Get(0));
    } catch (const std::runtime_error& e) {
      ASSERT_NE(c.runError, nullptr) << e.what();
      EXPECT_STREQ(e.what(), c.runError);
      // Reported with no ruler on the screen, and nothing saved.
      EXPECT_FALSE(WindowOf(Slot(0)).IsVisible());
      EXPECT_FALSE(Os.Registry.HasKey(Key(0))) << "nothing saved";
    }
    Os.WhileTrayAdd = nullptr;
    EXPECT_TRUE(ruler0Up);
    EXPECT_TRUE(Os.Errors.empty());
    EXPECT_EQ(!Os.TrayIcons.empty() && Tray().InArea, c.inArea);
    EXPECT_EQ(DM->TrayIcon.InArea(), c.inArea);
    EXPECT_FALSE(c.inArea && Waiting()) << "no tries once it is in";
    EXPECT_EQ(Os.TrayCalls, c.calls);
  }
}

struct ClickCase {
  const char* name;
  // What happens while the first menu is being opened, and while it is open
  // (the open menu's loop hands over what comes meanwhile).
  std::function<void(TrayTest&, headless::HeadlessTrayIcon&)> whilePending, whileOpen;
  uint32_t menuOpenMs;  // how long the first menu stays open
  // Releases handed over after the first menu closed, at these times from its opening.
  std::vector<uint32_t> laterReleases;
  size_t menus;
};

TEST_F(TrayTest, EachReleaseOfTheRightButtonOpensTheMenuOnceAtMost) {
  const auto againNow = [](TrayTest&, headless::HeadlessTrayIcon& tray) { tray.RightClick(); };
  const std::vector<ClickCase> cases{
      {"one release", {}, {}, 300, {}, 1},
      {"a second release waiting in the queue", againNow, {}, 300, {}, 1},
      {"a second release while the menu is open", {}, againNow, 300, {}, 1},
      {"a release made while the menu was open, handed over after it", {}, {}, 300, {200}, 1},
      {"a release at the moment the menu closed", {}, {}, 300, {300}, 1},
      {"a release after the menu closed", {}, {}, 300, {301}, 2},
      {"two later releases, each after the previous menu", {}, {}, 300, {301, 700}, 3},
  };
  StartAndShowRuler0();
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    headless::HeadlessTrayIcon& tray = Tray();
    const size_t before = Os.Menus.size();
    const uint32_t opened = Os.Now += 5000;
    bool first = true;
    Os.WhilePending = [&] {
      if (first && c.whilePending) c.whilePending(*this, tray);
    };
    Os.MenuAnswer = [&](const headless::OpenedMenu&) {
      if (first) {
        first = false;
        if (c.whileOpen) c.whileOpen(*this, tray);
        Os.Now = opened + c.menuOpenMs;
      }
      return -1;
    };
    tray.RightClick(opened);
    for (uint32_t at : c.laterReleases) {
      Os.Now = std::max(Os.Now, opened + at);
      tray.RightClick(opened + at);
      Os.Now += 100;  // each later menu is open for a while too
    }
    EXPECT_EQ(Os.Menus.size() - before, c.menus);
  }
  Os.WhilePending = nullptr;
  Os.MenuAnswer = nullptr;
}

}  // namespace
}  // namespace vr::test
