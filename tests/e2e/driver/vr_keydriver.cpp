// Feeds key-downs straight into the program's queue, faster than any X input,
// and times how long the program takes to work through them.
//
//   vr_keydriver post LEFT TOP WIDTH HEIGHT KEY...
//
// Posts WM_KEYDOWN for each KEY to the foreground window, which must be a
// ruler, then polls its GetWindowRect until it equals LEFT TOP WIDTH HEIGHT.
// A KEY is a virtual-key code in decimal, or a comma list of them with a
// repeat count: "39,37*1000" is Right, Left, a thousand times over. Posted
// messages carry no key state, so the program sees no modifier held.
//
// Prints one tab-separated line:
//   keys N post_us P landed_us L rect LEFT TOP WIDTH HEIGHT
// where P is the time spent posting and L the time from the first post until
// the rectangle was reached (or the last one seen, on a time-out).
// Exit code 0 when the rectangle was reached, 1 on a time-out, 2 on bad usage
// or when the foreground window is not a ruler.
//
//   vr_keydriver rulers
//
// One tab-separated line per ruler window, top of the Z order first:
//   hwnd xwindow visible foreground left top width height

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kRulerClass[] = L"TRulerForm";
constexpr DWORD kTimeoutMs = 30000;

bool ParseInt(const char* text, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0';
}

// "37" or "39,37*1000" appended to keys; false on anything else.
bool ParseKeys(const char* item, std::vector<WPARAM>& keys) {
  std::string text(item);
  long repeat = 1;
  const size_t star = text.find('*');
  if (star != std::string::npos) {
    if (!ParseInt(text.c_str() + star + 1, repeat) || repeat < 0) return false;
    text.resize(star);
  }
  std::vector<WPARAM> group;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
    long vk = 0;
    if (!ParseInt(part.c_str(), vk) || vk <= 0 || vk > 254) return false;
    group.push_back(static_cast<WPARAM>(vk));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  for (long i = 0; i < repeat; ++i) keys.insert(keys.end(), group.begin(), group.end());
  return true;
}

// What a real key-down would carry: repeat count 1 and the scan code.
LPARAM KeyDownParam(WPARAM vk) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  return static_cast<LPARAM>(1 | (scan << 16));
}

double MicrosecondsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 /
         static_cast<double>(frequency.QuadPart);
}

bool Equal(const RECT& r, const long want[4]) {
  return r.left == want[0] && r.top == want[1] && r.right - r.left == want[2] &&
         r.bottom - r.top == want[3];
}

int Post(int argc, char** argv) {
  long want[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (!ParseInt(argv[2 + i], want[i])) return 2;
  }
  std::vector<WPARAM> keys;
  for (int i = 6; i < argc; ++i) {
    if (!ParseKeys(argv[i], keys)) {
      std::fprintf(stderr, "bad key list: %s\n", argv[i]);
      return 2;
    }
  }
  const HWND ruler = GetForegroundWindow();
  wchar_t cls[64] = {};
  if (!ruler || !GetClassNameW(ruler, cls, 64) || std::wcscmp(cls, kRulerClass) != 0) {
    std::fprintf(stderr, "the foreground window is not a ruler\n");
    return 2;
  }

  // Worked out before the clock starts: the first look-up loads the layout.
  std::vector<LPARAM> params;
  params.reserve(keys.size());
  for (WPARAM vk : keys) params.push_back(KeyDownParam(vk));

  LARGE_INTEGER frequency, start;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (size_t i = 0; i < keys.size(); ++i) {
    if (!PostMessageW(ruler, WM_KEYDOWN, keys[i], params[i])) {
      std::fprintf(stderr, "PostMessage failed (error %lu)\n", GetLastError());
      return 2;
    }
  }
  const double postUs = MicrosecondsSince(start, frequency);

  // Sleep(1) between looks: a busy loop would take a core from the program.
  RECT r = {};
  bool reached = false;
  const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
  while (!reached && GetTickCount64() < deadline) {
    reached = GetWindowRect(ruler, &r) && Equal(r, want);
    if (!reached) Sleep(1);
  }
  const double landedUs = MicrosecondsSince(start, frequency);
  std::printf("keys\t%zu\tpost_us\t%.0f\tlanded_us\t%.0f\trect\t%ld\t%ld\t%ld\t%ld\n", keys.size(),
              postUs, landedUs, r.left, r.top, r.right - r.left, r.bottom - r.top);
  return reached ? 0 : 1;
}

// One line per ruler window: hwnd, X window (Wine keeps it as a window
// property), visible, foreground, and the rectangle.
int Rulers() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        wchar_t cls[64] = {};
        if (GetClassNameW(hwnd, cls, 64) && std::wcscmp(cls, kRulerClass) == 0)
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  const HWND foreground = GetForegroundWindow();
  for (HWND hwnd : windows) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    const auto xid = reinterpret_cast<uintptr_t>(GetPropW(hwnd, L"__wine_x11_whole_window"));
    std::printf("%#llx\t%#llx\t%d\t%d\t%ld\t%ld\t%ld\t%ld\n",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)),
                static_cast<unsigned long long>(xid), IsWindowVisible(hwnd) ? 1 : 0,
                hwnd == foreground ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int rc = 2;
  if (argc >= 7 && std::strcmp(argv[1], "post") == 0) {
    rc = Post(argc, argv);
  } else if (argc == 2 && std::strcmp(argv[1], "rulers") == 0) {
    rc = Rulers();
  } else {
    std::fprintf(stderr, "usage: vr_keydriver post LEFT TOP WIDTH HEIGHT KEY... | rulers\n");
  }
  std::fflush(stdout);
  return rc;
}
