// A small helper run under the same Wine as the program under test. It sees
// what X cannot: Win32 class names, extended styles and owners.
//
//   vr_testdriver list          one line per top-level window, tab-separated:
//                               hwnd class title visible left top width height
//                               exstyle owner owner_exstyle foreground active focus
//   vr_testdriver close CLASS   posts WM_CLOSE to every visible window of CLASS
//   vr_testdriver displaychange CLASS
//                               tells every window of CLASS that the desktop's
//                               monitors changed (WM_DISPLAYCHANGE), as the system does
//
//   vr_testdriver controls TITLE
//                               one line per child control of the visible window
//                               TITLE: hwnd class text check visible left top
//                               width height id
//   vr_testdriver click TITLE CAPTION
//                               presses the button CAPTION ("&" left out) of TITLE
//   vr_testdriver tray-rclick   reports a right click on the tray icon, as the
//                               notification area does
//   vr_testdriver handles       the program's live handles by kind ("NAME COUNT"
//                               lines), then the system's GDI and USER object counts
//   vr_testdriver keys CLASS VK...
//                               posts each virtual key (decimal) to the first visible
//                               window of CLASS, e.g. "#32768" for an open menu
//   vr_testdriver about-cycle N opens the About box from the tray menu and closes
//                               it with Escape, N times
//   vr_testdriver activate-cycle N
//                               activates the visible rulers in turn, N times
//   vr_testdriver refuse-tray SECONDS
//   vr_testdriver hold SECONDS  keeps a hidden window for SECONDS: Wine closes its desktop
//                               process about a second after the last program goes, and
//                               a program started then waits for a new one
//                               plays a notification area that refuses every icon
//   vr_testdriver state TITLE   a line for the visible window TITLE (its client area on
//                               the screen), then one per control, those in its group
//                               boxes included, tab-separated: hwnd class parent id
//                               visible focus check value count lo hi left top width
//                               height text. value is a combo box's selected index, a
//                               track bar's position or a hotkey box's HKM_GETHOTKEY,
//                               count a combo box's items, lo and hi a track bar's
//                               range; left and top are in the window's client area; a
//                               tool bar's text is one digit per button, 1 where it
//                               shows pressed
//
// Exit code 0 on success, 2 on bad usage, 1 when close or displaychange found no window.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size - 1));
  return out;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return Utf8(name);
}

// Tabs and line breaks in a title would break the line format.
std::string TitleOf(HWND hwnd) {
  wchar_t title[512] = {};
  GetWindowTextW(hwnd, title, 512);
  std::string text = Utf8(title);
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

unsigned long ExStyleOf(HWND hwnd) {
  return hwnd ? static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)) : 0UL;
}

int List() {
  for (HWND hwnd : TopLevelWindows()) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    // Active and focus windows are per thread: ask the thread that owns this one.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info);
    std::printf("%#llx\t%s\t%s\t%d\t%ld\t%ld\t%ld\t%ld\t%#lx\t%#llx\t%#lx\t%d\t%d\t%d\n",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)),
                ClassOf(hwnd).c_str(), TitleOf(hwnd).c_str(), IsWindowVisible(hwnd) ? 1 : 0, r.left,
                r.top, r.right - r.left, r.bottom - r.top, ExStyleOf(hwnd),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)),
                ExStyleOf(owner), GetForegroundWindow() == hwnd ? 1 : 0,
                info.hwndActive == hwnd ? 1 : 0, info.hwndFocus == hwnd ? 1 : 0);
  }
  return 0;
}

int Close(const std::string& className) {
  int posted = 0;
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == className) {
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      ++posted;
    }
  }
  std::printf("posted %d\n", posted);
  return posted > 0 ? 0 : 1;
}

int DisplayChange(const std::string& className) {
  const WPARAM depth = 32;
  const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  int sent = 0;
  for (HWND hwnd : TopLevelWindows()) {
    if (ClassOf(hwnd) != className) continue;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, WM_DISPLAYCHANGE, depth, size, SMTO_ABORTIFHUNG, 5000, &result);
    ++sent;
  }
  std::printf("sent %d\n", sent);
  return sent > 0 ? 0 : 1;
}

// ---- dialogs, the tray icon and live handles

// The program's hidden application window, which hears the tray and answers
// the handle count.
HWND AppWindow() { return FindWindowW(L"TVantoriApplication", nullptr); }

// The visible top-level window with this title, if any.
HWND VisibleWindowTitled(const std::string& title) {
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd) && TitleOf(hwnd) == title) return hwnd;
  }
  return nullptr;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

// A button's caption as the user reads it: "&" marks no letter.
std::string WithoutAccessMarks(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

int Controls(const std::string& title) {
  const HWND dialog = VisibleWindowTitled(title);
  if (!dialog) {
    std::fprintf(stderr, "no visible window titled %s\n", title.c_str());
    return 1;
  }
  for (HWND hwnd : ChildWindows(dialog)) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    // Check state for buttons; other classes answer 0.
    const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    std::printf("%#llx\t%s\t%s\t%ld\t%d\t%ld\t%ld\t%ld\t%ld\t%d\n",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)),
                ClassOf(hwnd).c_str(), TitleOf(hwnd).c_str(), static_cast<long>(check),
                IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                GetDlgCtrlID(hwnd));
  }
  return 0;
}

int Click(const std::string& title, const std::string& caption) {
  const HWND dialog = VisibleWindowTitled(title);
  if (!dialog) {
    std::fprintf(stderr, "no visible window titled %s\n", title.c_str());
    return 1;
  }
  for (HWND hwnd : ChildWindows(dialog)) {
    if (ClassOf(hwnd) == "Button" && WithoutAccessMarks(TitleOf(hwnd)) == caption) {
      // Posted: the click runs in the program's own loop, as a user's does.
      PostMessageW(hwnd, BM_CLICK, 0, 0);
      std::printf("clicked\n");
      return 0;
    }
  }
  std::fprintf(stderr, "no button %s in %s\n", caption.c_str(), title.c_str());
  return 1;
}

// The notification area's report of a right-button release over the icon:
// the callback message WM_APP + 2 of the program's first icon (id 1).
constexpr UINT kTrayCallback = WM_APP + 2;

int TrayRightClick() {
  const HWND app = AppWindow();
  if (!app) return 1;
  PostMessageW(app, kTrayCallback, 1, WM_RBUTTONDOWN);
  PostMessageW(app, kTrayCallback, 1, WM_RBUTTONUP);
  std::printf("posted\n");
  return 0;
}

// The handle counts of the program's own owners, kind by kind, and the
// system's count of its GDI and USER objects (0 where the system keeps none).
int Handles() {
  const HWND app = AppWindow();
  if (!app) return 1;
  const UINT message = RegisterWindowMessageW(L"VantoriRulers.LiveHandles");
  const char* const kinds[] = {"total", "gdi", "dc", "key", "window", "icon", "menu", "other"};
  for (size_t k = 0; k < std::size(kinds); ++k) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(app, message, k, 0, SMTO_ABORTIFHUNG, 5000, &count)) return 1;
    std::printf("%s %lld\n", kinds[k], static_cast<long long>(static_cast<LONG_PTR>(count)));
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(app, &pid);
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  std::printf("gdi_objects %lu\nuser_objects %lu\n",
              process ? GetGuiResources(process, GR_GDIOBJECTS) : 0UL,
              process ? GetGuiResources(process, GR_USEROBJECTS) : 0UL);
  if (process) CloseHandle(process);
  return 0;
}

// Waits up to 10 s for found() to give a window.
template <typename Find>
HWND WaitFor(Find found) {
  for (int i = 0; i < 2000; ++i) {
    if (const HWND hwnd = found()) return hwnd;
    Sleep(5);
  }
  return nullptr;
}

HWND OpenMenu() {
  for (HWND hwnd : TopLevelWindows())
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32768") return hwnd;
  return nullptr;
}

LPARAM KeyParam(WPARAM vk, bool up) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  return static_cast<LPARAM>(1 | (scan << 16) | (up ? 0xC0000000u : 0u));
}

void PostKey(HWND hwnd, WPARAM vk) {
  PostMessageW(hwnd, WM_KEYDOWN, vk, KeyParam(vk, false));
  PostMessageW(hwnd, WM_KEYUP, vk, KeyParam(vk, true));
}

// Key presses posted to the first visible window of CLASS, as the keyboard
// would queue them: a menu's loop or a dialog's takes them from the queue.
int Keys(const std::string& className, int count, char** keys) {
  HWND target = nullptr;
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == className) {
      target = hwnd;
      break;
    }
  }
  if (!target) {
    std::fprintf(stderr, "no visible window of class %s\n", className.c_str());
    return 1;
  }
  for (int i = 0; i < count; ++i) PostKey(target, std::strtoul(keys[i], nullptr, 10));
  std::printf("posted %d\n", count);
  return 0;
}

// COUNT times: the tray menu opens, its keys choose About, Escape closes the
// box. Exit code 1 as soon as a step does not come.
int AboutCycle(long count) {
  const HWND app = AppWindow();
  if (!app) return 1;
  for (long i = 0; i < count; ++i) {
    PostMessageW(app, kTrayCallback, 1, WM_RBUTTONUP);
    const HWND menu = WaitFor(OpenMenu);
    if (!menu) {
      std::printf("no menu at round %ld\n", i);
      return 1;
    }
    // Up from no selection reaches the last item, Close; once more, About.
    PostKey(menu, VK_UP);
    PostKey(menu, VK_UP);
    PostKey(menu, VK_RETURN);
    const HWND about = WaitFor([] { return VisibleWindowTitled("About Vantori Rulers"); });
    if (!about) {
      std::printf("no About box at round %ld\n", i);
      return 1;
    }
    PostKey(about, VK_ESCAPE);
    if (!WaitFor([about]() -> HWND { return IsWindow(about) ? nullptr : about; })) {
      std::printf("the About box stayed at round %ld\n", i);
      return 1;
    }
  }
  std::printf("cycles %ld\n", count);
  return 0;
}

// COUNT activations, the visible rulers in turn, each sent (not posted) so
// that it is handled before the next.
int ActivateCycle(long count) {
  std::vector<HWND> rulers;
  for (HWND hwnd : TopLevelWindows())
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "TRulerForm") rulers.push_back(hwnd);
  if (rulers.size() < 2) return 1;
  for (long i = 0; i < count; ++i) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(rulers[static_cast<size_t>(i) % rulers.size()], WM_ACTIVATE, WA_ACTIVE,
                             0, SMTO_ABORTIFHUNG, 5000, &result))
      return 1;
  }
  std::printf("activations %ld\n", count);
  return 0;
}

// A notification area that refuses every icon, found before the real one
// (it is the topmost window of that class), until SECONDS have passed.
int RefuseTray(long seconds) {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_COPYDATA) return FALSE;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  };
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"Shell_TrayWnd";
  if (!RegisterClassW(&cls)) return 1;
  const HWND tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"",
                                    WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance, nullptr);
  if (!tray) return 1;
  std::printf("refusing\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  DestroyWindow(tray);
  return 0;
}

// A hidden window that keeps Wine's desktop in use until SECONDS have passed.
int Hold(long seconds) {
  const HWND keeper =
      CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"vr_testdriver hold", WS_POPUP, 0, 0, 0, 0,
                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!keeper) return 1;
  std::printf("holding\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  DestroyWindow(keeper);
  return 0;
}

// ---- the Options window: every control's state, the focus and the tool bar

// Each button's state, 1 where it is checked. TB_GETBUTTON writes into the
// bar's own process, so the answer is fetched from there.
std::string ToolButtonsDown(HWND bar) {
  std::string down;
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  const HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return down;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(TBBUTTON), MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    const LRESULT count = SendMessageW(bar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TBBUTTON button = {};
      SIZE_T read = 0;
      const bool got = SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i),
                                    reinterpret_cast<LPARAM>(remote)) &&
                       ReadProcessMemory(process, remote, &button, sizeof button, &read) &&
                       read == sizeof button;
      down += got && (button.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) ? '1' : '0';
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return down;
}

int State(const std::string& title) {
  const HWND dialog = VisibleWindowTitled(title);
  if (!dialog) {
    std::fprintf(stderr, "no visible window titled %s\n", title.c_str());
    return 1;
  }
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  // The window itself first: its client area's place on the screen and size.
  RECT client = {};
  GetClientRect(dialog, &client);
  MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
  std::printf("%#llx\t%s\t0\t0\t1\t%d\t0\t0\t0\t0\t0\t%ld\t%ld\t%ld\t%ld\t%s\n",
              static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(dialog)),
              ClassOf(dialog).c_str(), info.hwndFocus == dialog ? 1 : 0, client.left, client.top,
              client.right - client.left, client.bottom - client.top, TitleOf(dialog).c_str());
  for (HWND hwnd : ChildWindows(dialog)) {
    const std::string cls = ClassOf(hwnd);
    RECT r = {};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const LRESULT check = cls == "Button" ? SendMessageW(hwnd, BM_GETCHECK, 0, 0) : 0;
    LRESULT value = 0, count = 0, lo = 0, hi = 0;
    // Asked of the control itself: GetWindowText reads only the caption kept
    // for another process's window, never an edit box's text.
    wchar_t buffer[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, &length);
    std::string text = Utf8(buffer);
    for (char& c : text) {
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    if (cls == "ComboBox") {
      value = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
      count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
    } else if (cls == "msctls_trackbar32") {
      value = SendMessageW(hwnd, TBM_GETPOS, 0, 0);
      lo = SendMessageW(hwnd, TBM_GETRANGEMIN, 0, 0);
      hi = SendMessageW(hwnd, TBM_GETRANGEMAX, 0, 0);
    } else if (cls == "ToolbarWindow32") {
      text = ToolButtonsDown(hwnd);
    } else if (cls == "msctls_hotkey32") {
      // The key in the low byte, the HOTKEYF_ flags above it.
      value = SendMessageW(hwnd, HKM_GETHOTKEY, 0, 0);
    }
    const HWND parent = GetParent(hwnd);
    std::printf("%#llx\t%s\t%#llx\t%d\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%s\n",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)), cls.c_str(),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(parent)),
                GetDlgCtrlID(hwnd), IsWindowVisible(hwnd) ? 1 : 0, info.hwndFocus == hwnd ? 1 : 0,
                static_cast<long>(check), static_cast<long>(value), static_cast<long>(count),
                static_cast<long>(lo), static_cast<long>(hi), r.left, r.top, r.right - r.left,
                r.bottom - r.top, text.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  int rc = 2;
  if (command == "list" && argc == 2) {
    rc = List();
  } else if (command == "close" && argc == 3) {
    rc = Close(argv[2]);
  } else if (command == "displaychange" && argc == 3) {
    rc = DisplayChange(argv[2]);
  } else if (command == "controls" && argc == 3) {
    rc = Controls(argv[2]);
  } else if (command == "click" && argc == 4) {
    rc = Click(argv[2], argv[3]);
  } else if (command == "tray-rclick" && argc == 2) {
    rc = TrayRightClick();
  } else if (command == "handles" && argc == 2) {
    rc = Handles();
  } else if (command == "keys" && argc >= 4) {
    rc = Keys(argv[2], argc - 3, argv + 3);
  } else if (command == "about-cycle" && argc == 3) {
    rc = AboutCycle(std::strtol(argv[2], nullptr, 10));
  } else if (command == "activate-cycle" && argc == 3) {
    rc = ActivateCycle(std::strtol(argv[2], nullptr, 10));
  } else if (command == "refuse-tray" && argc == 3) {
    rc = RefuseTray(std::strtol(argv[2], nullptr, 10));
  } else if (command == "state" && argc == 3) {
    rc = State(argv[2]);
  } else if (command == "hold" && argc == 3) {
    rc = Hold(std::strtol(argv[2], nullptr, 10));
  } else {
    std::fprintf(stderr,
                 "usage: vr_testdriver list | close CLASS | displaychange CLASS | controls TITLE |"
                 " click TITLE CAPTION | tray-rclick | handles | keys CLASS VK... | about-cycle N |"
                 " activate-cycle N | refuse-tray SECONDS | state TITLE | hold SECONDS\n");
  }
  std::fflush(stdout);
  return rc;
}
