// Checks of menus, the tray icon, timers, dialog windows and the three loops
// against the real system: what each request does, the messages each one turns
// into handler calls, and the handle counts that must come back to where they
// started.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32::tests {

using CheckFn = std::function<void(bool, std::string_view, std::source_location)>;

namespace {

CheckFn CheckWith;
void Check(bool ok, std::string_view what,
           std::source_location at = std::source_location::current()) {
  CheckWith(ok, what, at);
}

struct Heard : WindowHandler, TrayIconHandler {
  std::vector<std::string> Calls;
  Point At;
  Rect Suggested;
  void HandleContextMenu(Point at, bool keyboard) override {
    At = at;
    Calls.push_back(keyboard ? "menu key" : "menu mouse");
  }
  bool HandleDialogKey(DialogKey key) override {
    Calls.push_back(key == DialogKey::Enter ? "enter" : "escape");
    return true;
  }
  void HandleDpiChanged(int dpi, const Rect& suggested) override {
    Suggested = suggested;
    Calls.push_back("dpi " + std::to_string(dpi));
  }
  void HandleTrayRightButtonUp() override { Calls.push_back("tray"); }
};

HWND HwndOf(Window& w) { return static_cast<Win32Window&>(w).Hwnd(); }

MaskedImage HalfOpaque(int size, TColor color) {
  MaskedImage picture(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size / 2; ++x) picture.Paint(x, y, color);
  return picture;
}

void PostKey(HWND hwnd, WPARAM vk) {
  const auto scan = static_cast<LPARAM>(::MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC));
  ::PostMessageW(hwnd, WM_KEYDOWN, vk, 1 | scan << 16);
  ::PostMessageW(hwnd, WM_KEYUP, vk, 1 | scan << 16 | 0xC0000000);
}

// Runs the platform's modal loop until done, or for two seconds at most: a
// thread timer wakes the loop to look.
bool RunUntil(Win32Platform& platform, const std::function<bool()>& done,
              const MessageFilter& filter = {}) {
  const UINT_PTR waker = ::SetTimer(nullptr, 0, 20, nullptr);
  const DWORD end = ::GetTickCount() + 2000;
  platform.RunModalLoop(filter,
                        [&] { return done() || static_cast<LONG>(end - ::GetTickCount()) <= 0; });
  ::KillTimer(nullptr, waker);
  return done();
}

void TestCountsAndIcons() {
  const long gdi = LiveHandles(HandleKind::Gdi);
  {
    BitmapHandle a(::CreateBitmap(1, 1, 1, 1, nullptr));
    Check(LiveHandles(HandleKind::Gdi) == gdi + 1, "an owner counts its handle");
    BitmapHandle b(std::move(a));
    Check(LiveHandles(HandleKind::Gdi) == gdi + 1 && !a && b, "a move keeps the count");
    b.reset(::CreateBitmap(1, 1, 1, 1, nullptr));
    Check(LiveHandles(HandleKind::Gdi) == gdi + 1, "a replaced handle is released");
    const HBITMAP raw = b.release();
    Check(LiveHandles(HandleKind::Gdi) == gdi, "a handed-over handle leaves the count");
    ::DeleteObject(raw);
  }
  Check(LiveHandles(HandleKind::Gdi) == gdi, "owners gone, count back");

  // Left half opaque red, right half transparent, drawn over white.
  IconHandle icon = MakeIcon(HalfOpaque(16, 0x0000FF));
  Check(icon && LiveHandles(HandleKind::Icon) >= 1 && LiveHandles(HandleKind::Gdi) == gdi,
        "an icon keeps no bitmap of ours");
  WindowDc screen(nullptr);
  MemoryDcHandle dc(::CreateCompatibleDC(screen.Get()));
  BitmapHandle canvas(::CreateCompatibleBitmap(screen.Get(), 16, 16));
  {
    SelectedObject selected(dc.get(), canvas.get());
    const RECT all{0, 0, 16, 16};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(dc.get(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
    Check(::GetPixel(dc.get(), 3, 8) == RGB(255, 0, 0) &&
              ::GetPixel(dc.get(), 12, 8) == RGB(255, 255, 255),
          "an icon shows its picture where it is opaque only");
  }
  Check(!MakeIcon(MaskedImage()) && !MakeAlphaBitmap(MaskedImage()), "no picture, no handle");
  BitmapHandle alpha = MakeAlphaBitmap(HalfOpaque(16, 0x0000FF));
  BITMAP bm{};
  ::GetObjectW(alpha.get(), sizeof bm, &bm);
  const auto* bits = static_cast<const uint32_t*>(bm.bmBits);
  Check(bm.bmBitsPixel == 32 && bits && bits[0] == 0xFFFF0000u && bits[15] == 0,
        "menu pictures: 32 bits, premultiplied");
}

void TestDialogWindow(Win32Platform& platform) {
  Heard heard;
  WindowParams params{WindowKind::Dialog, "Dialog", {40, 50, 300, 200}, true};
  auto window = platform.CreateTopLevel(params, heard);
  const HWND hwnd = HwndOf(*window);
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  Check(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) &&
            (exStyle & WS_EX_DLGMODALFRAME) && (exStyle & WS_EX_CONTROLPARENT) &&
            (exStyle & WS_EX_TOPMOST),
        "a fixed frame, close box only, on top when asked");

  window->SetClientSize(480, 320);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  Check(window->ClientSize() == Point{480, 320} && client.right == 480 && client.bottom == 320,
        "the client size");
  Check(window->Bounds().Left == 40 && window->Bounds().Top == 50, "the top left stays");
  Check(window->Dpi() == platform.DpiAt({40, 50}), "the window's density is its monitor's");

  const long icons = LiveHandles(HandleKind::Icon);
  for (int i = 0; i < 3; ++i) window->SetIcon(HalfOpaque(16, 0xFF0000), HalfOpaque(32, 0xFF0000));
  Check(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0) != 0 &&
            ::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0) != 0 &&
            LiveHandles(HandleKind::Icon) == icons + 2,
        "two icons shown, replaced ones released");

  window->SetEnabled(false);
  Check(!::IsWindowEnabled(hwnd), "disabled");
  window->SetEnabled(true);
  Check(::IsWindowEnabled(hwnd), "enabled");

  // Enter and Esc as the dialog manager reports them, naming no control or
  // the focused one; a control's own notification is no dialog key.
  const HWND other = ::CreateWindowExW(0, L"BUTTON", L"y", WS_CHILD, 0, 0, 10, 10, hwnd,
                                       reinterpret_cast<HMENU>(1001), nullptr, nullptr);
  struct Case {
    WPARAM Command;
    HWND From;
    std::vector<std::string> Calls;
  };
  const Case cases[] = {
      {IDOK, nullptr, {"enter"}},
      {IDCANCEL, nullptr, {"escape"}},
      {IDOK, other, {"enter"}},
      {MAKEWPARAM(1001, BN_CLICKED), other, {}},
  };
  for (const Case& c : cases) {
    heard.Calls.clear();
    ::SendMessageW(hwnd, WM_COMMAND, c.Command, reinterpret_cast<LPARAM>(c.From));
    Check(heard.Calls == c.Calls, "dialog keys from WM_COMMAND");
  }

  // The keyboard's Enter and Esc reach the dialog through the loop.
  heard.Calls.clear();
  ::SetFocus(other);
  PostKey(other, VK_ESCAPE);
  PostKey(other, VK_RETURN);
  RunUntil(platform, [&heard] { return heard.Calls.size() >= 2; });
  Check(heard.Calls == std::vector<std::string>{"escape", "enter"}, "Esc and Enter in a dialog");

  RECT suggested{10, 20, 610, 420};
  heard.Calls.clear();
  ::SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  Check(heard.Calls == std::vector<std::string>{"dpi 144"} &&
            heard.Suggested == Rect{10, 20, 600, 400},
        "a dialog hears of a new density");
}

void TestContextMenuRequests(Win32Platform& platform) {
  Heard heard;
  auto window = platform.CreateTopLevel({WindowKind::Ruler, "Ruler", {100, 200, 300, 40}}, heard);
  const HWND hwnd = HwndOf(*window);
  ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(130, 215));
  Check(heard.Calls == std::vector<std::string>{"menu mouse"} && heard.At == Point{130, 215},
        "the right button's menu at the pointer");
  heard.Calls.clear();
  ::SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
  Check(heard.Calls == std::vector<std::string>{"menu key"} && heard.At == Point{250, 220},
        "the keyboard's menu at the window's middle");

  // Shift+F10 asks for it; F10 alone does not.
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE saved = keys[VK_SHIFT];
  for (bool shift : {true, false}) {
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    heard.Calls.clear();
    ::SendMessageW(hwnd, WM_SYSKEYDOWN, VK_F10, 0);
    Check(
        heard.Calls == (shift ? std::vector<std::string>{"menu key"} : std::vector<std::string>{}),
        "Shift+F10");
  }
  keys[VK_SHIFT] = saved;
  ::SetKeyboardState(keys);

  RECT suggested{0, 0, 600, 80};
  heard.Calls.clear();
  ::SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  Check(heard.Calls.empty(), "rulers never scale");
}

void TestLoops(Win32Platform& platform) {
  Heard ruler, dialog;
  auto r = platform.CreateTopLevel({WindowKind::Ruler, "Ruler", {0, 0, 100, 20}}, ruler);
  auto d = platform.CreateTopLevel({WindowKind::Dialog, "Dialog", {0, 0, 200, 100}}, dialog);
  const HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, HwndOf(*d),
                                       nullptr, nullptr, nullptr);
  const HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, nullptr, nullptr);
  // The window a message is for: ours, a control's window, or none.
  const std::pair<HWND, WindowHandler*> targets[] = {
      {HwndOf(*r), &ruler}, {HwndOf(*d), &dialog},
      {child, &dialog},     {platform.AppWindow(), nullptr},
      {foreign, nullptr},
  };
  std::vector<WindowHandler*> seen;
  for (const auto& [hwnd, target] : targets) ::PostMessageW(hwnd, WM_NULL, 0, 0);
  const bool done = RunUntil(
      platform, [&seen, count = std::size(targets)] { return seen.size() == count; },
      [&seen](const Message& msg) {
        if (msg.Code == WM_NULL) seen.push_back(msg.Target);
        return false;
      });
  bool right = done && seen.size() == std::size(targets);
  for (size_t i = 0; right && i < seen.size(); ++i) right = seen[i] == targets[i].second;
  Check(right, "each message names the top-level window it is for");
  ::DestroyWindow(foreign);

  // A quit request ends a modal loop and is left for the outer one.
  ::PostQuitMessage(7);
  Check(!platform.RunModalLoop({}, [] { return false; }), "a modal loop ends at a quit");
  MSG msg{};
  Check(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7,
        "the quit request is put back");

  // Pending messages are handled up to a quit request, which stays.
  int handled = 0;
  ::PostMessageW(HwndOf(*r), WM_NULL, 0, 0);
  ::PostMessageW(HwndOf(*r), WM_NULL, 0, 0);
  ::PostQuitMessage(3);
  platform.ProcessPendingMessages([&handled](const Message& m) {
    handled += m.Code == WM_NULL;
    return false;
  });
  Check(
      handled == 2 && ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3,
      "pending messages up to the quit request");

  // A held-back move shows before a modal loop takes over.
  ::PostMessageW(HwndOf(*r), WM_KEYDOWN, VK_RIGHT, 0);
  r->SetBounds({10, 0, 100, 20});
  RECT onScreen{};
  ::GetWindowRect(HwndOf(*r), &onScreen);
  const bool heldBack = onScreen.left == 0;
  platform.RunModalLoop({}, [] { return true; });
  ::GetWindowRect(HwndOf(*r), &onScreen);
  Check(heldBack && onScreen.left == 10, "a modal loop shows a held-back move first");
  platform.ProcessPendingMessages({});
}

void TestTimers(Win32Platform& platform, std::vector<std::string>& errors) {
  int ticks = 0;
  auto timer = platform.StartTimer(15, [&ticks] {
    if (++ticks == 2) throw std::runtime_error("tick failed");
  });
  RunUntil(platform, [&ticks] { return ticks >= 3; });
  Check(ticks >= 3 && errors == std::vector<std::string>{"tick failed"},
        "a timer ticks from the loop; its error is shown");
  errors.clear();
  timer.reset();
  const int stopped = ticks;
  ::Sleep(50);
  platform.ProcessPendingMessages({});
  Check(ticks == stopped, "a timer stops when it goes");
  auto longest = platform.StartTimer(2147483647u, [] {});
  Check(longest != nullptr, "the longest interval is taken");
}

void TestMenus(Win32Platform& platform) {
  std::vector<MenuItemSpec> items;
  for (int n = 0; n < 10; ++n) {
    MenuItemSpec item;
    item.Caption = "Ruler &" + std::to_string(n);
    item.ShortcutText = "Alt+" + std::to_string(n);
    item.RadioItem = true;
    item.Checked = n == 3;
    item.Picture = HalfOpaque(16, 0x0000FF);
    items.push_back(item);
  }
  MenuItemSpec line, hide;
  line.Separator = true;
  hide.Caption = "Hide";
  hide.ShortcutText = "Esc";
  items.push_back(line);
  items.push_back(hide);
  // Keys queued before the menu opens, as the keyboard would queue them.
  struct Case {
    std::vector<WPARAM> Keys;
    int Chosen;
  };
  const Case cases[] = {
      {{VK_ESCAPE}, -1},
      {{VK_DOWN, VK_RETURN}, 0},
      {{'5'}, 5},
      {{VK_UP, VK_RETURN}, 11},
  };
  const long before = LiveHandles();
  for (const Case& c : cases) {
    for (WPARAM vk : c.Keys) PostKey(platform.AppWindow(), vk);
    Check(platform.TrackPopupMenu(items, {50, 50}) == c.Chosen, "the item chosen");
    platform.ProcessPendingMessages({});
  }
  Check(LiveHandles() == before, "a menu leaves no handle");
}

void TestTray(Win32Platform& platform) {
  Heard heard;
  const long before = LiveHandles();
  auto icon = platform.AddTrayIcon(HalfOpaque(16, 0x2080FF), "Vantori Rulers", heard);
  Check(icon != nullptr, "the notification area takes the icon");
  if (!icon) return;
  for (int i = 0; i < 50; ++i) icon->SetPicture(HalfOpaque(16, static_cast<TColor>(i)));
  Check(LiveHandles() == before + 1, "one icon shown, the replaced ones released");
  const std::pair<LPARAM, std::vector<std::string>> clicks[] = {
      {WM_LBUTTONUP, {}}, {WM_LBUTTONDBLCLK, {}}, {WM_RBUTTONDOWN, {}}, {WM_RBUTTONUP, {"tray"}}};
  for (const auto& [mouse, calls] : clicks) {
    heard.Calls.clear();
    ::SendMessageW(platform.AppWindow(), kMsgTrayCallback, 1, mouse);
    Check(heard.Calls == calls, "only the right button's release reaches the program");
  }
  ::SendMessageW(platform.AppWindow(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  heard.Calls.clear();
  ::SendMessageW(platform.AppWindow(), kMsgTrayCallback, 1, WM_RBUTTONUP);
  Check(heard.Calls.size() == 1, "back after the shell restarts");
  icon.reset();
  Check(LiveHandles() == before, "nothing left of the icon");
  Check(::SendMessageW(platform.AppWindow(), ::RegisterWindowMessageW(kLiveHandlesMessage), 0, 0) ==
            LiveHandles(),
        "the application window tells the count");
}

// The colour chooser is answered by a thread timer: its dialog's own loop
// runs the timer's procedure, which presses the button asked for.
WPARAM ColorAnswer = IDOK;
void CALLBACK AnswerColorChooser(HWND, UINT, UINT_PTR timer, DWORD) {
  for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId() &&
        std::wstring_view(cls) == L"#32770" && ::IsWindowVisible(hwnd)) {
      ::KillTimer(nullptr, timer);
      ::PostMessageW(hwnd, WM_COMMAND, ColorAnswer, 0);
      return;
    }
  }
}

void TestColorChooser(Win32Platform& platform) {
  const std::pair<WPARAM, std::optional<TColor>> answers[] = {{IDOK, 0x00336699},
                                                              {IDCANCEL, std::nullopt}};
  for (const auto& [answer, expected] : answers) {
    ColorAnswer = answer;
    ::SetTimer(nullptr, 0, 50, &AnswerColorChooser);
    Check(platform.ChooseColor(0x00336699) == expected, "the chooser, preset; Ok and Cancel");
  }
}

void TestScreen(Win32Platform& platform) {
  const std::vector<std::string> families = platform.ScreenFontFamilies();
  const std::set<std::string> unique(families.begin(), families.end());
  Check(!families.empty() && unique.size() == families.size() &&
            std::none_of(families.begin(), families.end(),
                         [](const std::string& f) { return f.empty() || f[0] == '@'; }),
        "font families, each once, none sideways");
  Check(platform.DpiAt({0, 0}) == platform.PixelsPerInch(), "the monitor's density");
}

}  // namespace

void TestShell(Win32Platform& platform, std::vector<std::string>& errors, const CheckFn& check) {
  CheckWith = check;
  TestCountsAndIcons();
  TestDialogWindow(platform);
  TestContextMenuRequests(platform);
  TestLoops(platform);
  TestTimers(platform, errors);
  TestMenus(platform);
  TestTray(platform);
  TestScreen(platform);
  TestColorChooser(platform);
  errors.clear();
}

}  // namespace vr::win32::tests
