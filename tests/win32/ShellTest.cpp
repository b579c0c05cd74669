// The shell around the windows against the real system: popup menus, the
// notification-area icon and the colour chooser, and the handles each must
// give back.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32::test {
namespace {

struct Heard : WindowHandler, TrayIconHandler {
  Strings Calls;
  void HandleTrayRightButtonUp(uint32_t, Point) override { Calls.push_back("tray"); }
  void HandleTrayAreaCreated() override { Calls.push_back("area"); }
};

// ---------------------------------------------------------------- menus

std::vector<MenuItemSpec> RulerMenu() {
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
  return items;
}

using Win32Menus = Win32Test;

TEST_F(Win32Menus, TheItemChosenWithTheKeysAndNoHandleLeft) {
  const std::vector<MenuItemSpec> items = RulerMenu();
  // Keys queued before the menu opens, as the keyboard would queue them.
  const std::pair<std::vector<WPARAM>, int> cases[] = {
      {{VK_ESCAPE}, -1}, {{VK_DOWN, VK_RETURN}, 0}, {{'5'}, 5}, {{VK_UP, VK_RETURN}, 11}};
  const long before = LiveHandles();
  for (const auto& [keys, chosen] : cases) {
    for (WPARAM vk : keys) PostKey(Os().AppWindow(), vk);
    EXPECT_EQ(Os().TrackPopupMenu(items, {50, 50}), chosen);
    Os().ProcessPendingMessages({});
  }
  EXPECT_EQ(LiveHandles(), before) << "a menu leaves no handle";
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

// The pictures show whichever window of the program's thread is in front:
// one of ours, or the system's own (the colour chooser, an error box).
TEST_F(Win32Menus, TheMenusOwnerAnswersForItsPicturesWhileItIsOpenOnly) {
  const std::vector<MenuItemSpec> items = RulerMenu();
  Heard heard;
  auto dialog = Os().CreateTopLevel({WindowKind::Dialog, "Ours", {40, 50, 300, 200}}, heard);
  const HWND system = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                        50, 50, nullptr, nullptr, nullptr, nullptr);
  dialog->SetVisible(true);
  for (const HWND front : {HwndOf(*dialog), system}) {
    SCOPED_TRACE(front == system ? "the system's window" : "ours");
    ::SetForegroundWindow(front);
    MeasuredWidth = 0;
    ::SetTimer(nullptr, 0, 50, &MeasureAndClose);
    Os().TrackPopupMenu(items, {50, 50});
    Os().ProcessPendingMessages({});
    EXPECT_EQ(MeasuredWidth, 20u) << "the menu's owner answers for its pictures";
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    EXPECT_FALSE(::SendMessageW(front, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)))
        << "and no more once the menu is closed";
  }
  ::DestroyWindow(system);
}

// ---------------------------------------------------------------- tray

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

using Win32Tray = Win32Test;

TEST_F(Win32Tray, AnAreaThatRefusesTheIconThenOneThatTakesIt) {
  Heard heard;
  auto icon = Os().CreateTrayIcon(HalfOpaque(16, 0x2080FF), "Vantori Rulers", heard);
  {
    RefusingTrayArea refusing;
    ASSERT_TRUE(refusing.Ok()) << "a refusing notification area";
    EXPECT_EQ(icon->Add(), TrayAddResult::Refused) << "an area that answers no refuses the icon";
    EXPECT_FALSE(icon->Modify()) << "and has no icon to change";
  }
  EXPECT_EQ(icon->Add(), TrayAddResult::Added) << "the notification area takes the icon";
  EXPECT_TRUE(icon->Modify()) << "a change finds it there";
}

// Only the right button's release reaches the program; the shell's
// announcement of its area is passed on.
TEST_F(Win32Tray, OnlyTheRightButtonsReleaseAndTheAreasAnnouncementReachTheProgram) {
  Heard heard;
  auto icon = Os().CreateTrayIcon(HalfOpaque(16, 0x2080FF), "Vantori Rulers", heard);
  ASSERT_EQ(icon->Add(), TrayAddResult::Added);
  const UINT restarted = ::RegisterWindowMessageW(L"TaskbarCreated");
  const std::pair<LPARAM, Strings> clicks[] = {{WM_LBUTTONUP, {}},   {WM_LBUTTONDBLCLK, {}},
                                               {WM_RBUTTONDOWN, {}}, {WM_RBUTTONUP, {"tray"}},
                                               {0, {"area"}},        {WM_RBUTTONUP, {"tray"}}};
  for (const auto& [mouse, calls] : clicks) {
    heard.Calls.clear();
    if (mouse)
      ::SendMessageW(Os().AppWindow(), kMsgTrayCallback, TrayIconId(*icon), mouse);
    else
      ::SendMessageW(Os().AppWindow(), restarted, 0, 0);
    EXPECT_EQ(heard.Calls, calls) << "mouse message " << mouse;
  }
}

TEST_F(Win32Tray, OneIconShownTheReplacedOnesReleasedNothingLeftAfter) {
  Heard heard;
  const long before = LiveHandles();
  auto icon = Os().CreateTrayIcon(HalfOpaque(16, 0x2080FF), "Vantori Rulers", heard);
  ASSERT_EQ(icon->Add(), TrayAddResult::Added);
  for (int i = 0; i < 50; ++i) icon->SetPicture(HalfOpaque(16, static_cast<TColor>(i)));
  EXPECT_EQ(LiveHandles(), before + 1) << "one icon shown, the replaced ones released";
  icon.reset();
  EXPECT_EQ(LiveHandles(), before) << "nothing left of the icon";
}

// ---------------------------------------------------------------- colour chooser

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

using Win32ColorChooser = Win32Test;

TEST_F(Win32ColorChooser, PresetOkGivesTheColourCancelNone) {
  const std::pair<WPARAM, std::optional<TColor>> answers[] = {{IDOK, 0x00336699},
                                                              {IDCANCEL, std::nullopt}};
  for (const auto& [answer, expected] : answers) {
    ColorAnswer = answer;
    ::SetTimer(nullptr, 0, 50, &AnswerColorChooser);
    EXPECT_EQ(Os().ChooseColor(0x00336699), expected) << (answer == IDOK ? "Ok" : "Cancel");
  }
}

// The chooser belongs to the active window, which takes no input while it
// runs, also when the form layer has disabled it first, as it does with every
// window of the program; enabled again, the owner is the active window once
// more.
TEST_F(Win32ColorChooser, ItsOwnerTakesNoInputWhileItRunsAndIsActiveAgainAfter) {
  Heard heard;
  auto owner = Os().CreateTopLevel({WindowKind::Dialog, "Owner", {40, 50, 300, 200}}, heard);
  ChooserOwner = HwndOf(*owner);
  owner->SetVisible(true);
  owner->Raise();
  owner->Focus();
  for (const bool disabledFirst : {false, true}) {
    SCOPED_TRACE(disabledFirst ? "disabled first" : "enabled");
    owner->SetEnabled(!disabledFirst);
    OwnerEnabledWhileOpen = true;
    ColorAnswer = IDOK;
    ::SetTimer(nullptr, 0, 50, &AnswerColorChooser);
    Os().ChooseColor(0);
    owner->SetEnabled(true);
    EXPECT_FALSE(OwnerEnabledWhileOpen) << "the chooser's owner takes no input while it runs";
    EXPECT_EQ(::GetActiveWindow(), ChooserOwner) << "the owner active again after the chooser";
  }
  ChooserOwner = nullptr;
}

// ---------------------------------------------------------------- clipboard

using Win32Clipboard = Win32Test;

// Plain text, as another program reads it; the memory is the clipboard's afterwards.
TEST_F(Win32Clipboard, TakesPlainTextAndItsMemory) {
  const long before = LiveHandles();
  for (const std::string text : {"245 px", "-3 px", ""}) {
    ASSERT_TRUE(Os().SetClipboardText(text));
    std::wstring read = L"(none)";
    if (::OpenClipboard(nullptr)) {
      if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
          read = chars;
          ::GlobalUnlock(data);
        }
      }
      ::CloseClipboard();
    }
    EXPECT_EQ(read, std::wstring(text.begin(), text.end()));
  }
  EXPECT_EQ(LiveHandles(), before);
}

}  // namespace
}  // namespace vr::win32::test
