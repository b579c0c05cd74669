// Checks of menus, the tray icon, timers, dialog windows and the three loops
// against the real system: the messages each one turns into handler calls, and
// the handle counts that must come back to where they started.

#include <windows.h>

#include <algorithm>
#include <functional>
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

using Strings = std::vector<std::string>;

CheckFn CheckWith;
void Check(bool ok, std::string_view what,
           std::source_location at = std::source_location::current()) {
  CheckWith(ok, what, at);
}

struct Heard : WindowHandler, TrayIconHandler {
  Strings Calls;
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
  void HandleTrayRightButtonUp(uint32_t) override { Calls.push_back("tray"); }
  void HandleTrayAreaCreated() override { Calls.push_back("area"); }
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

// Runs the platform's modal loop until done, or for twenty seconds at most (a
// deadline for a busy machine, not a speed check): a thread timer wakes the
// loop to look.
bool RunUntil(Win32Platform& platform, const std::function<bool()>& done,
              const MessageFilter& filter = {}) {
  const UINT_PTR waker = ::SetTimer(nullptr, 0, 20, nullptr);
  const DWORD end = ::GetTickCount() + 20000;
  platform.RunModalLoop(filter,
                        [&] { return done() || static_cast<LONG>(end - ::GetTickCount()) <= 0; });
  ::KillTimer(nullptr, waker);
  return done();
}

void TestCountsAndIcons() {
  const long gdi = LiveHandles(HandleKind::Gdi);
  {
    BitmapHandle a(::CreateBitmap(1, 1, 1, 1, nullptr));
    BitmapHandle b(std::move(a));
    Check(LiveHandles(HandleKind::Gdi) == gdi + 1 && !a && b, "a move keeps the count");
    b.reset(::CreateBitmap(1, 1, 1, 1, nullptr));
    Check(LiveHandles(HandleKind::Gdi) == gdi + 1, "a replaced handle is released");
    ::DeleteObject(b.release());
    Check(LiveHandles(HandleKind::Gdi) == gdi, "a handed-over handle leaves the count");
    b.reset(::CreateBitmap(1, 1, 1, 1, nullptr));
  }
  Check(LiveHandles(HandleKind::Gdi) == gdi, "owners gone, count back");

  // Left half opaque red, right half transparent, drawn over white.
  IconHandle icon = MakeIcon(HalfOpaque(16, 0x0000FF));
  Check(icon && LiveHandles(HandleKind::Gdi) == gdi, "an icon keeps no bitmap of ours");
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

// What a window's messages turn into: the dialog keys as the dialog manager
// reports them, a new density, which only a dialog takes, and the requests for
// the context menu.
void TestWindowRequests(Win32Platform& platform) {
  Heard dialog, ruler;
  auto d = platform.CreateTopLevel({WindowKind::Dialog, "Dialog", {40, 50, 300, 200}}, dialog);
  auto r = platform.CreateTopLevel({WindowKind::Ruler, "Ruler", {100, 200, 300, 40}}, ruler);
  const HWND dh = HwndOf(*d);
  const HWND button = ::CreateWindowExW(0, L"BUTTON", L"y", WS_CHILD, 0, 0, 10, 10, dh,
                                        reinterpret_cast<HMENU>(1001), nullptr, nullptr);
  RECT suggested{10, 20, 610, 420};
  const auto dpi = MAKEWPARAM(144, 144);
  const auto rect = reinterpret_cast<LPARAM>(&suggested);
  const auto from = reinterpret_cast<LPARAM>(button);
  struct Case {
    const char* What;
    bool ToDialog;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    Strings Expected;
    int Shift = -1;
  };
  const Case cases[] = {
      {"Ok", true, WM_COMMAND, IDOK, 0, {"enter"}},
      {"Cancel", true, WM_COMMAND, IDCANCEL, 0, {"escape"}},
      {"Ok naming a control", true, WM_COMMAND, IDOK, from, {"enter"}},
      {"a control's news is no key", true, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), from, {}},
      {"a dialog scales", true, WM_DPICHANGED, dpi, rect, {"dpi 144"}},
      {"a ruler never scales", false, WM_DPICHANGED, dpi, rect, {}},
      {"the right button's menu", false, WM_CONTEXTMENU, 0, MAKELPARAM(130, 215), {"menu mouse"}},
      {"the keyboard's menu", false, WM_CONTEXTMENU, 0, -1, {"menu key"}},
      {"Shift+F10", false, WM_SYSKEYDOWN, VK_F10, 0, {"menu key"}, 0x80},
      {"F10 alone", false, WM_SYSKEYDOWN, VK_F10, 0, {}, 0},
  };
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE shift = keys[VK_SHIFT];
  for (const Case& c : cases) {
    Heard& to = c.ToDialog ? dialog : ruler;
    if (c.Shift >= 0) {
      keys[VK_SHIFT] = static_cast<BYTE>(c.Shift);
      ::SetKeyboardState(keys);
    }
    to.Calls.clear();
    ::SendMessageW(HwndOf(c.ToDialog ? *d : *r), c.Msg, c.W, c.L);
    Check(to.Calls == c.Expected, c.What);
  }
  keys[VK_SHIFT] = shift;
  ::SetKeyboardState(keys);
  Check(dialog.Suggested == Rect{10, 20, 600, 400}, "the dialog's suggested place");

  // The keyboard's Enter and Esc reach the dialog through the loop.
  dialog.Calls.clear();
  ::SetFocus(button);
  PostKey(button, VK_ESCAPE);
  PostKey(button, VK_RETURN);
  RunUntil(platform, [&dialog] { return dialog.Calls.size() >= 2; });
  Check(dialog.Calls == Strings{"escape", "enter"}, "Esc and Enter in a dialog");

  const long icons = LiveHandles(HandleKind::Icon);
  for (int i = 0; i < 3; ++i) d->SetIcon(HalfOpaque(16, 0xFF0000), HalfOpaque(32, 0xFF0000));
  Check(::SendMessageW(dh, WM_GETICON, ICON_SMALL, 0) &&
            ::SendMessageW(dh, WM_GETICON, ICON_BIG, 0) &&
            LiveHandles(HandleKind::Icon) == icons + 2,
        "two icons shown, replaced ones released");
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
  std::vector<WindowHandler*> seen, expected;
  for (const auto& [hwnd, target] : targets) {
    ::PostMessageW(hwnd, WM_KEYUP, VK_SHIFT, 0);
    expected.push_back(target);
  }
  RunUntil(
      platform, [&] { return seen.size() == expected.size(); },
      [&seen](const Message& msg) {
        if (msg.Kind == MessageKind::KeyUp) seen.push_back(msg.Target);
        return false;
      });
  Check(seen == expected, "each message names the top-level window it is for");
  ::DestroyWindow(foreign);

  // A quit request ends a modal loop and is left for the outer one; pending
  // messages are handled up to it.
  MSG msg{};
  ::PostQuitMessage(7);
  Check(!platform.RunModalLoop({}, [] { return false; }) &&
            ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7,
        "a modal loop ends at a quit and puts it back");
  int handled = 0;
  ::PostMessageW(HwndOf(*r), WM_KEYUP, VK_SHIFT, 0);
  ::PostMessageW(HwndOf(*r), WM_KEYUP, VK_SHIFT, 0);
  ::PostQuitMessage(3);
  platform.ProcessPendingMessages([&handled](const Message& m) {
    handled += m.Kind == MessageKind::KeyUp;
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
  Check(ticks >= 3 && errors == Strings{"tick failed"},
        "a timer ticks from the loop; its error is shown");
  errors.clear();
  timer.reset();
  const int stopped = ticks;
  ::Sleep(50);
  platform.ProcessPendingMessages({});
  Check(ticks == stopped, "a timer stops when it goes");
  Check(platform.StartTimer(2147483647u, [] {}) != nullptr, "the longest interval is taken");
}

// Asked from inside a menu's own loop: does the window in front, the menu's
// owner, answer for the pictures? Then the menu is closed.
UINT MeasuredWidth = 0;
void CALLBACK MeasureAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  MEASUREITEMSTRUCT item{};
  item.CtlType = ODT_MENU;
  item.itemData = 0;
  MeasuredWidth =
      ::SendMessageW(::GetForegroundWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item))
          ? item.itemWidth
          : 0;
  ::EndMenu();
}

void TestMenus(Win32Platform& platform) {
  std::vector<MenuItemSpec> items(12);
  for (int n = 0; n < 10; ++n) {
    items[n].Caption = "Ruler &" + std::to_string(n);
    items[n].ShortcutText = "Alt+" + std::to_string(n);
    items[n].RadioItem = true;
    items[n].Checked = n == 3;
    items[n].Picture = HalfOpaque(16, 0x0000FF);
  }
  items[10].Separator = true;
  items[11].Caption = "Hide";
  items[11].ShortcutText = "Esc";
  // Keys queued before the menu opens, as the keyboard would queue them.
  const std::pair<std::vector<WPARAM>, int> cases[] = {
      {{VK_ESCAPE}, -1}, {{VK_DOWN, VK_RETURN}, 0}, {{'5'}, 5}, {{VK_UP, VK_RETURN}, 11}};
  const long before = LiveHandles();
  for (const auto& [keys, chosen] : cases) {
    for (WPARAM vk : keys) PostKey(platform.AppWindow(), vk);
    Check(platform.TrackPopupMenu(items, {50, 50}) == chosen, "the item chosen");
    platform.ProcessPendingMessages({});
  }
  Check(LiveHandles() == before, "a menu leaves no handle");

  // The pictures show whichever window of the program's thread is in front:
  // one of ours, or the system's own (the colour chooser, an error box).
  Heard heard;
  auto dialog = platform.CreateTopLevel({WindowKind::Dialog, "Ours", {40, 50, 300, 200}}, heard);
  const HWND system = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                        50, 50, nullptr, nullptr, nullptr, nullptr);
  dialog->SetVisible(true);
  for (const HWND front : {HwndOf(*dialog), system}) {
    ::SetForegroundWindow(front);
    MeasuredWidth = 0;
    ::SetTimer(nullptr, 0, 50, &MeasureAndClose);
    platform.TrackPopupMenu(items, {50, 50});
    platform.ProcessPendingMessages({});
    Check(MeasuredWidth == 20, "the menu's owner answers for its pictures");
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    Check(!::SendMessageW(front, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)),
          "and no more once the menu is closed");
  }
  ::DestroyWindow(system);
}

// A notification area that refuses every icon, in front of the one Wine's
// desktop keeps, as long as it lives.
class RefusingTrayArea {
 public:
  RefusingTrayArea() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
      return msg == WM_COPYDATA ? FALSE : ::DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"Shell_TrayWnd";
    Class_ = ::RegisterClassW(&cls);
    Window_.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"",
                                    WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance,
                                    nullptr));
  }
  ~RefusingTrayArea() {
    Window_.reset();
    if (Class_) ::UnregisterClassW(L"Shell_TrayWnd", ::GetModuleHandleW(nullptr));
  }
  RefusingTrayArea(const RefusingTrayArea&) = delete;
  RefusingTrayArea& operator=(const RefusingTrayArea&) = delete;
  bool Ok() const { return Class_ != 0 && Window_; }

 private:
  ATOM Class_ = 0;
  WindowHandle Window_;
};

void TestTray(Win32Platform& platform) {
  Heard heard;
  const long before = LiveHandles();
  auto icon = platform.CreateTrayIcon(HalfOpaque(16, 0x2080FF), "Vantori Rulers", heard);
  {
    RefusingTrayArea refusing;
    Check(refusing.Ok(), "a refusing notification area");
    Check(icon->Add() == TrayAddResult::Refused, "an area that answers no refuses the icon");
    Check(!icon->Modify(), "and has no icon to change");
  }
  Check(icon->Add() == TrayAddResult::Added, "the notification area takes the icon");
  Check(icon->Modify(), "a change finds it there");
  const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");
  // Only the right button's release reaches the program; the shell's
  // announcement of its area is passed on.
  const std::pair<LPARAM, Strings> clicks[] = {{WM_LBUTTONUP, {}},   {WM_LBUTTONDBLCLK, {}},
                                               {WM_RBUTTONDOWN, {}}, {WM_RBUTTONUP, {"tray"}},
                                               {0, {"area"}},        {WM_RBUTTONUP, {"tray"}}};
  for (const auto& [mouse, calls] : clicks) {
    heard.Calls.clear();
    if (mouse)
      ::SendMessageW(platform.AppWindow(), kMsgTrayCallback, 1, mouse);
    else
      ::SendMessageW(platform.AppWindow(), restarted, 0, 0);
    Check(heard.Calls == calls, "the tray icon's mouse news");
  }
  for (int i = 0; i < 50; ++i) icon->SetPicture(HalfOpaque(16, static_cast<TColor>(i)));
  Check(LiveHandles() == before + 1, "one icon shown, the replaced ones released");
  icon.reset();
  Check(LiveHandles() == before, "nothing left of the icon");
}

// The colour chooser is answered by a thread timer: its dialog's own loop
// runs the timer's procedure, which presses the button asked for.
WPARAM ColorAnswer = IDOK;
// A window whose state is noted when the chooser is answered.
HWND ChooserOwner = nullptr;
bool OwnerEnabledWhileOpen = false;
void CALLBACK AnswerColorChooser(HWND, UINT, UINT_PTR timer, DWORD) {
  for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId() &&
        std::wstring_view(cls) == L"#32770" && ::IsWindowVisible(hwnd)) {
      ::KillTimer(nullptr, timer);
      if (ChooserOwner) OwnerEnabledWhileOpen = ::IsWindowEnabled(ChooserOwner) != FALSE;
      ::PostMessageW(hwnd, WM_COMMAND, ColorAnswer, 0);
      return;
    }
  }
}

void TestColorChooserAndFonts(Win32Platform& platform) {
  const std::pair<WPARAM, std::optional<TColor>> answers[] = {{IDOK, 0x00336699},
                                                              {IDCANCEL, std::nullopt}};
  for (const auto& [answer, expected] : answers) {
    ColorAnswer = answer;
    ::SetTimer(nullptr, 0, 50, &AnswerColorChooser);
    Check(platform.ChooseColor(0x00336699) == expected, "the chooser, preset; Ok and Cancel");
  }
  // The chooser belongs to the active window, which takes no input while it
  // runs, also when the form layer has disabled it first, as it does with
  // every window of the program; enabled again, the owner is the active
  // window once more.
  Heard heard;
  auto owner = platform.CreateTopLevel({WindowKind::Dialog, "Owner", {40, 50, 300, 200}}, heard);
  ChooserOwner = HwndOf(*owner);
  owner->SetVisible(true);
  owner->Raise();
  owner->Focus();
  for (const bool disabledFirst : {false, true}) {
    owner->SetEnabled(!disabledFirst);
    OwnerEnabledWhileOpen = true;
    ColorAnswer = IDOK;
    ::SetTimer(nullptr, 0, 50, &AnswerColorChooser);
    platform.ChooseColor(0);
    owner->SetEnabled(true);
    Check(!OwnerEnabledWhileOpen, "the chooser's owner takes no input while it runs");
    Check(::GetActiveWindow() == ChooserOwner, "the owner active again after the chooser");
  }
  ChooserOwner = nullptr;
  const std::vector<std::string> families = platform.ScreenFontFamilies();
  const std::set<std::string> unique(families.begin(), families.end());
  Check(!families.empty() && unique.size() == families.size() &&
            std::none_of(families.begin(), families.end(),
                         [](const std::string& f) { return f.empty() || f[0] == '@'; }),
        "font families, each once, none sideways");
}

}  // namespace

void TestShell(Win32Platform& platform, std::vector<std::string>& errors, const CheckFn& check) {
  CheckWith = check;
  TestCountsAndIcons();
  TestWindowRequests(platform);
  TestLoops(platform);
  TestTimers(platform, errors);
  TestMenus(platform);
  TestTray(platform);
  TestColorChooserAndFonts(platform);
  errors.clear();
}

}  // namespace vr::win32::tests
