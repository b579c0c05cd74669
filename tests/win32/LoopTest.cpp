// Keys and messages in the program's own names, and the application's loops:
// the filter, the modal loop and its quit request, held-back moves, timers
// and the application window.

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Keys.h"

namespace vr::win32::test {
namespace {

// ---------------------------------------------------------------- keys and messages

struct NamedKey {
  KeyCode Key;
  int Vk;
};

class Win32Keys : public ::testing::TestWithParam<NamedKey> {};

// Every key the program names has exactly one virtual-key code, and back.
TEST_P(Win32Keys, ANamedKeyAndItsVirtualKeyCode) {
  EXPECT_EQ(VirtualKeyOf(GetParam().Key), GetParam().Vk);
  EXPECT_EQ(KeyFromVirtualKey(static_cast<WPARAM>(GetParam().Vk)), GetParam().Key);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32Keys,
    ::testing::Values(NamedKey{KeyCode::Tab, VK_TAB}, NamedKey{KeyCode::Enter, VK_RETURN},
                      NamedKey{KeyCode::Escape, VK_ESCAPE}, NamedKey{KeyCode::Left, VK_LEFT},
                      NamedKey{KeyCode::Down, VK_DOWN}, NamedKey{KeyCode::Insert, VK_INSERT},
                      NamedKey{KeyCode::Delete, VK_DELETE}, NamedKey{KeyCode::NumpadAdd, VK_ADD},
                      NamedKey{KeyCode::Digit0, '0'}, NamedKey{KeyCode::Digit9, '9'},
                      NamedKey{KeyCode::A, 'A'}, NamedKey{KeyCode::Z, 'Z'},
                      NamedKey{KeyCode::F1, VK_F1}, NamedKey{KeyCode::F10, VK_F10},
                      NamedKey{KeyCode::F24, VK_F24}, NamedKey{KeyCode::Shift, VK_SHIFT},
                      NamedKey{KeyCode::Control, VK_CONTROL}, NamedKey{KeyCode::Alt, VK_MENU},
                      NamedKey{KeyCode::Menu, VK_APPS},
                      NamedKey{KeyCode::NumpadSubtract, VK_SUBTRACT}),
    [](const auto& info) { return "Vk" + std::to_string(info.param.Vk); });

TEST(Win32KeyTable, EveryKeyOfTheProgramRoundTrips) {
  for (int k = static_cast<int>(KeyCode::None) + 1; k <= static_cast<int>(KeyCode::Menu); ++k) {
    const auto key = static_cast<KeyCode>(k);
    EXPECT_EQ(KeyFromVirtualKey(static_cast<WPARAM>(VirtualKeyOf(key))), key) << k;
  }
}

TEST(Win32KeyTable, KeysTheProgramDoesNotNameComeAsNone) {
  for (WPARAM vk :
       {WPARAM{0}, WPARAM{VK_OEM_PLUS}, WPARAM{VK_LWIN}, WPARAM{VK_NUMPAD5}, WPARAM{0xFF}})
    EXPECT_EQ(KeyFromVirtualKey(vk), KeyCode::None) << vk;
  EXPECT_EQ(VirtualKeyOf(KeyCode::None), 0) << "no key, no code";
}

TEST(Win32KeyTable, MessagesComeAsTheirKindAndACharacterIsNoKey) {
  const std::pair<UINT, MessageKind> messages[] = {
      {WM_KEYDOWN, MessageKind::KeyDown},
      {WM_KEYUP, MessageKind::KeyUp},
      {WM_SYSKEYDOWN, MessageKind::SysKeyDown},
      {WM_SYSKEYUP, MessageKind::SysKeyUp},
      {WM_CHAR, MessageKind::Char},
      {WM_LBUTTONDOWN, MessageKind::Other},
      {WM_NULL, MessageKind::Other},
  };
  for (const auto& [msg, kind] : messages) EXPECT_EQ(MessageKindOf(msg), kind) << msg;
  MSG typed{nullptr, WM_CHAR, 'A', 0, 0, {}};
  EXPECT_EQ(Translate(typed, nullptr).Key, KeyCode::None) << "a character is no key";
  MSG pressed{nullptr, WM_SYSKEYDOWN, VK_F4, 0, 0, {}};
  const Message f4 = Translate(pressed, nullptr);
  EXPECT_TRUE(f4.Kind == MessageKind::SysKeyDown && f4.Key == KeyCode::F4)
      << "Alt+F4 as the program sees it";
}

// ---------------------------------------------------------------- loops

struct Clicks : WindowHandler {
  int Downs = 0;
  void HandleMouseDown(const MouseEvent&) override { ++Downs; }
};

WindowParams RulerAt(Rect bounds) { return {WindowKind::Ruler, "Vantori Rulers", bounds}; }

using Win32Loop = Win32Test;

TEST_F(Win32Loop, TheFilterSeesEachMessageInTheProgramsNamesAndMayTakeIt) {
  Clicks handler;
  auto window = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  const HWND hwnd = HwndOf(*window);
  std::vector<std::pair<MessageKind, KeyCode>> seen;
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  Os().Quit();
  int clicks = 0;
  Os().RunMessageLoop([&](const Message& msg) {
    seen.emplace_back(msg.Kind, msg.Key);
    // The second click is taken by the filter: it must not reach the window.
    return msg.Kind == MessageKind::Other && msg.Target == &handler && ++clicks == 2;
  });
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(seen.front() == std::make_pair(MessageKind::KeyDown, KeyCode::Right));
  EXPECT_EQ(handler.Downs, 1) << "messages are dispatched unless the filter takes them";
  Os().Errors.clear();
  Os().Quit();
  Os().RunMessageLoop({});
  EXPECT_TRUE(Os().Errors.empty()) << "a loop without a filter";
}

TEST_F(Win32Loop, OffTheTaskBarTheApplicationWindowIsAToolWindowAndNoCloseDestroysIt) {
  Clicks handler;
  auto window = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  const LONG_PTR before = ::GetWindowLongPtrW(Os().AppWindow(), GWL_EXSTYLE);
  Os().KeepOffTaskBar();
  Os().KeepOffTaskBar();
  EXPECT_EQ(::GetWindowLongPtrW(Os().AppWindow(), GWL_EXSTYLE), before | WS_EX_TOOLWINDOW)
      << "its other styles kept";
  ::SendMessageW(Os().AppWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(Os().AppWindow()) && ::IsWindow(HwndOf(*window)))
      << "closing the application window destroys nothing";
}

// A move made while more input is queued reaches the screen once the queue
// is dry, or at once when nothing waits.
TEST_F(Win32Loop, AMoveWaitsWhileInputIsQueuedAndShowsBeforeAnythingElse) {
  Clicks handler;
  auto window = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  const HWND hwnd = HwndOf(*window);
  auto onScreen = [hwnd] {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  window->SetBounds({110, 100, 300, 40});
  EXPECT_EQ(onScreen(), (Rect{110, 100, 300, 40})) << "a move with nothing queued is immediate";
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({120, 100, 300, 40});
  window->SetBounds({130, 100, 300, 40});
  EXPECT_EQ(onScreen(), (Rect{110, 100, 300, 40})) << "moves wait while input is queued";
  EXPECT_EQ(window->Bounds(), (Rect{130, 100, 300, 40})) << "the bounds are the last move's";
  Os().Quit();
  Os().RunMessageLoop({});
  EXPECT_EQ(onScreen(), (Rect{130, 100, 300, 40})) << "the loop shows the last move";
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({140, 100, 300, 40});
  window->SetBounds({140, 100, 320, 40});
  EXPECT_EQ(onScreen(), (Rect{140, 100, 320, 40})) << "a resize is never held back";
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({150, 100, 320, 40});
  window->SetVisible(false);
  EXPECT_EQ(onScreen(), (Rect{150, 100, 320, 40})) << "anything else shows the move first";
  Pump();
  // A destroyed window's held-back move is forgotten: the loop runs on.
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({160, 100, 320, 40});
  window.reset();
  Os().Quit();
  Os().RunMessageLoop({});
  EXPECT_TRUE(Os().Errors.empty());
}

TEST_F(Win32Loop, EachMessageNamesTheTopLevelWindowItIsFor) {
  Clicks ruler, dialog;
  auto r = Os().CreateTopLevel({WindowKind::Ruler, "Ruler", {0, 0, 100, 20}}, ruler);
  auto d = Os().CreateTopLevel({WindowKind::Dialog, "Dialog", {0, 0, 200, 100}}, dialog);
  const HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, HwndOf(*d),
                                       nullptr, nullptr, nullptr);
  const HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, nullptr, nullptr);
  // Ours, a control's window, or none.
  const std::pair<HWND, WindowHandler*> targets[] = {
      {HwndOf(*r), &ruler},        {HwndOf(*d), &dialog}, {child, &dialog},
      {Os().AppWindow(), nullptr}, {foreign, nullptr},
  };
  std::vector<WindowHandler*> seen, expected;
  for (const auto& [hwnd, target] : targets) {
    ::PostMessageW(hwnd, WM_KEYUP, VK_SHIFT, 0);
    expected.push_back(target);
  }
  RunUntil(
      Os(), [&] { return seen.size() == expected.size(); },
      [&seen](const Message& msg) {
        if (msg.Kind == MessageKind::KeyUp) seen.push_back(msg.Target);
        return false;
      });
  EXPECT_EQ(seen, expected);
  ::DestroyWindow(foreign);
}

// A quit request ends a modal loop and is left for the outer one; pending
// messages are handled up to it.
TEST_F(Win32Loop, AQuitRequestEndsAModalLoopAndIsLeftForTheOuterOne) {
  Clicks ruler;
  auto r = Os().CreateTopLevel({WindowKind::Ruler, "Ruler", {0, 0, 100, 20}}, ruler);
  MSG msg{};
  ::PostQuitMessage(7);
  EXPECT_FALSE(Os().RunModalLoop({}, [] { return false; }));
  EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7)
      << "a modal loop ends at a quit and puts it back";
  int handled = 0;
  ::PostMessageW(HwndOf(*r), WM_KEYUP, VK_SHIFT, 0);
  ::PostMessageW(HwndOf(*r), WM_KEYUP, VK_SHIFT, 0);
  ::PostQuitMessage(3);
  Os().ProcessPendingMessages([&handled](const Message& m) {
    handled += m.Kind == MessageKind::KeyUp;
    return false;
  });
  EXPECT_TRUE(handled == 2 && ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) &&
              msg.wParam == 3)
      << "pending messages up to the quit request";
}

TEST_F(Win32Loop, AModalLoopShowsAHeldBackMoveFirst) {
  Clicks ruler;
  auto r = Os().CreateTopLevel({WindowKind::Ruler, "Ruler", {0, 0, 100, 20}}, ruler);
  ::PostMessageW(HwndOf(*r), WM_KEYDOWN, VK_RIGHT, 0);
  r->SetBounds({10, 0, 100, 20});
  RECT onScreen{};
  ::GetWindowRect(HwndOf(*r), &onScreen);
  EXPECT_EQ(onScreen.left, 0) << "held back";
  Os().RunModalLoop({}, [] { return true; });
  ::GetWindowRect(HwndOf(*r), &onScreen);
  EXPECT_EQ(onScreen.left, 10);
  Os().ProcessPendingMessages({});
}

TEST_F(Win32Loop, ATimerTicksFromTheLoopShowsItsErrorAndStopsWhenItGoes) {
  int ticks = 0;
  auto timer = Os().StartTimer(15, [&ticks] {
    if (++ticks == 2) throw std::runtime_error("tick failed");
  });
  RunUntil(Os(), [&ticks] { return ticks >= 3; });
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(Os().Errors, Strings{"tick failed"});
  timer.reset();
  const int stopped = ticks;
  ::Sleep(50);  // time for a stopped timer to tick if it still could, not a wait for a state
  Os().ProcessPendingMessages({});
  EXPECT_EQ(ticks, stopped) << "a timer stops when it goes";
  EXPECT_TRUE(Os().StartTimer(2147483647u, [] {}) != nullptr) << "the longest interval is taken";
}

// Start-up leaves for later what ruler 0 does not need: it runs once the
// loop has handed over what was queued and the shown window has painted.
TEST_F(Win32Loop, AnIdleCallRunsOnceAfterTheQueuedMessagesAndThePaint) {
  struct Painted : WindowHandler {
    std::vector<std::string>* Order;
    void HandlePaint() override { Order->push_back("paint"); }
  } handler;
  std::vector<std::string> order;
  handler.Order = &order;
  auto window = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  int dropped = 0;
  auto never = Os().CallWhenIdle([&dropped] { ++dropped; });
  auto call = Os().CallWhenIdle([&order] { order.push_back("idle"); });
  never.reset();
  // Asked first, it still waits for what comes after.
  window->SetVisible(true);
  order.clear();
  window->Invalidate({0, 0, 300, 40});
  ::PostMessageW(HwndOf(*window), WM_KEYDOWN, VK_RIGHT, 0);
  const MessageFilter filter = [&order](const Message& msg) {
    if (msg.Kind == MessageKind::KeyDown) order.push_back("key");
    return false;
  };
  RunUntil(
      Os(), [&order] { return std::count(order.begin(), order.end(), "idle") > 0; }, filter);
  // Time for a second call to come if one could, not a wait for a state.
  ::Sleep(50);
  Os().ProcessPendingMessages(filter);
  EXPECT_EQ(std::count(order.begin(), order.end(), "idle"), 1) << "once";
  const auto idle = std::find(order.begin(), order.end(), "idle");
  for (const char* before : {"key", "paint"})
    EXPECT_NE(std::find(order.begin(), idle, before), idle) << "after the " << before;
  EXPECT_EQ(dropped, 0) << "a dropped call never runs";
  EXPECT_TRUE(Os().Errors.empty());
}

}  // namespace
}  // namespace vr::win32::test
