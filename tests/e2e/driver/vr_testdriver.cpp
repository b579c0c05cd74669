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
// Exit code 0 on success, 2 on bad usage, 1 when close or displaychange found no window.

#include <windows.h>

#include <cstdio>
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
  } else {
    std::fprintf(stderr, "usage: vr_testdriver list | close CLASS | displaychange CLASS\n");
  }
  std::fflush(stdout);
  return rc;
}
