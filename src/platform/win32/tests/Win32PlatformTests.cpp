// Checks of the Win32 layer against the real system (under Wine on a display
// in CI): registry kinds and failures, text masks, window attributes and
// messages, the loop's filter and error handling. Prints one line per failure
// and "N passed, N failed" last; exits non-zero on any failure.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Win32Keys.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Store.h"
#include "platform/win32/Win32Strings.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32::tests {
// Win32ControlsTests.cpp
void TestControls(Win32Platform& platform, std::vector<std::string>& errors,
                  const std::function<void(bool, std::string_view, std::source_location)>& check);
// Win32ShellTests.cpp
void TestShell(Win32Platform& platform, std::vector<std::string>& errors,
               const std::function<void(bool, std::string_view, std::source_location)>& check);
}  // namespace vr::win32::tests

namespace {

using namespace vr;
using namespace vr::win32;

int Passed = 0;
int Failed = 0;

void Check(bool ok, std::string_view what,
           std::source_location at = std::source_location::current()) {
  if (ok) {
    ++Passed;
    return;
  }
  ++Failed;
  std::printf("FAIL %s:%u: %.*s\n", at.file_name(), static_cast<unsigned>(at.line()),
              static_cast<int>(what.size()), what.data());
}

// Errors land here instead of in a message box nobody would close.
class TestPlatform : public Win32Platform {
 public:
  using Win32Platform::Win32Platform;
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  std::vector<std::string> Errors;
};

struct Recorder : WindowHandler {
  std::vector<std::string> Calls;
  bool Throw = false;
  bool Erases = false;
  std::function<void()> Then;  // runs after each call is recorded
  void Record(const std::string& call) {
    Calls.push_back(call);
    if (Then) Then();
    if (Throw) throw std::runtime_error("boom " + call);
  }
  static std::string Name(MouseButton b) {
    return b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M";
  }
  void HandleMouseDown(MouseButton b) override { Record("down " + Name(b)); }
  void HandleMouseMove() override { Record("move"); }
  void HandleMouseUp(MouseButton b) override { Record("up " + Name(b)); }
  void HandleCloseRequest() override { Record("close"); }
  void HandlePaint() override { Record("paint"); }
  bool HandleEraseBackground() override {
    Record("erase");
    return Erases;
  }
  void HandleFocus() override { Record("focus"); }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : Calls) n += c == call;
    return n;
  }
};

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

HWND HwndOf(Window& w) { return static_cast<Win32Window&>(w).Hwnd(); }

WindowParams RulerAt(Rect bounds) { return {WindowKind::Ruler, "Vantori Rulers", bounds}; }

// ---------------------------------------------------------------- store

const std::string kTestRoot =
    "Software\\VantoriRulersTest\\" + std::to_string(::GetCurrentProcessId());

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

void TestStore() {
  RegistryStore store;
  const std::string path = kTestRoot + "\\Rulers\\3\\";
  Check(store.Open(path, false) == nullptr, "reading a missing key opens nothing");
  Check(!KeyExists(kTestRoot), "reading never creates a key");

  auto key = store.Open(path, true);
  Check(key != nullptr, "writing creates the key and its parents");
  if (!key) return;
  Check(!key->Read("Missing").has_value(), "a missing value reads as missing");

  // Round trips through the interface.
  Check(key->WriteInteger("Zero", 0) && key->Read("Zero")->Integer == 0, "integer 0");
  Check(key->WriteInteger("Max", 0xFFFFFFFFu) && key->Read("Max")->Integer == 0xFFFFFFFFu,
        "integer max");
  Check(key->WriteText("Empty", "") && key->Read("Empty")->Kind == StoreKind::Text &&
            key->Read("Empty")->Text.empty(),
        "empty text");
  Check(key->WriteText("Center", "683,384") && key->Read("Center")->Text == "683,384", "text");
  Check(key->WriteText("Zeroed", std::string("ab\0cd", 5)) && key->Read("Zeroed")->Text == "ab",
        "text ends at an embedded zero, as it reads back");

  // What the writes leave in the registry.
  HKEY raw = nullptr;
  ::RegOpenKeyExA(HKEY_CURRENT_USER, path.substr(0, path.size() - 1).c_str(), 0,
                  KEY_READ | KEY_WRITE, &raw);
  KeyHandle rawKey(raw);
  DWORD type = 0, size = 0;
  ::RegQueryValueExA(raw, "Center", nullptr, &type, nullptr, &size);
  Check(type == REG_SZ && size == 8, "text is REG_SZ, its size counting the terminator");
  ::RegQueryValueExA(raw, "Max", nullptr, &type, nullptr, &size);
  Check(type == REG_DWORD && size == 4, "integers are 4-byte REG_DWORD");

  // Values written by someone else, of every kind and shape.
  struct RawCase {
    const char* name;
    DWORD type;
    std::string bytes;
    StoreKind kind;
    std::string text;
    uint32_t integer;
  };
  const std::string big(70000, 'x');
  const RawCase cases[] = {
      {"SzNoTerminator", REG_SZ, "abc", StoreKind::Text, "abc", 0},
      {"SzTerminated", REG_SZ, std::string("abc\0", 4), StoreKind::Text, "abc", 0},
      {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9), StoreKind::ExpandText, "%TEMP%\\x",
       0},
      {"Dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4), StoreKind::Integer, "", 0x04030201u},
      {"ShortDword", REG_DWORD, std::string("\x01\x02", 2), StoreKind::Other, "", 0},
      {"Qword", REG_QWORD, std::string(8, '\x01'), StoreKind::Other, "", 0},
      {"Binary", REG_BINARY, std::string("\x01\x02\x03\x04", 4), StoreKind::Other, "", 0},
      {"None", REG_NONE, "", StoreKind::Other, "", 0},
      {"Huge", REG_SZ, big + '\0', StoreKind::Other, "", 0},
      {"Long", REG_SZ, std::string(1000, 'y') + '\0', StoreKind::Text, std::string(1000, 'y'), 0},
  };
  for (const RawCase& c : cases) {
    ::RegSetValueExA(raw, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                     static_cast<DWORD>(c.bytes.size()));
    const auto value = key->Read(c.name);
    Check(value && value->Kind == c.kind && value->Text == c.text && value->Integer == c.integer,
          c.name);
  }

  auto readOnly = store.Open(path, false);
  Check(readOnly && !readOnly->WriteInteger("Refused", 1),
        "a key opened for reading refuses writes");
  Check(readOnly && readOnly->Read("Center")->Text == "683,384", "a key opened for reading reads");

  rawKey.reset();
  key.reset();
  readOnly.reset();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestRoot.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER,
                  "Software\\VantoriRulersTest");  // fails while others' runs use it
}

// ---------------------------------------------------------------- pixels and text

void TestDibPixels() {
  const std::pair<TColor, uint32_t> cases[] = {
      {0x000000FF, 0x00FF0000}, {0x00FF0000, 0x000000FF}, {0x0000FF00, 0x0000FF00},
      {0x00123456, 0x00563412}, {0xFF123456, 0x00563412},  // the top byte has no place in a DIB
  };
  for (auto [from, to] : cases) Check(ToDibPixel(from) == to, "red and blue swap");

  Image picture(4, 2, 0x00112233);
  std::vector<uint32_t> dib;
  ConvertToDib(picture, dib);
  Check(dib == std::vector<uint32_t>(8, 0x00332211), "a new picture is converted whole");
  picture.SetPixel(2, 1, 0x000000FF);
  ConvertToDib(picture, dib);
  Check(dib[6] == 0x00FF0000 && dib[5] == 0x00332211 && dib[7] == 0x00332211,
        "a changed pixel follows");
  picture.SetSize(2, 2, 0x00FF0000);
  ConvertToDib(picture, dib);
  Check(dib == std::vector<uint32_t>(4, 0x000000FF), "a resized picture is converted whole");
}

// The highest table slot that a burst of new objects reaches.
unsigned GdiTableTop() {
  std::vector<HBRUSH> brushes;
  unsigned top = 0;
  for (int i = 0; i < 200; ++i) {
    brushes.push_back(::CreateSolidBrush(RGB(i, 0, 0)));
    top = std::max<unsigned>(top, LOWORD(reinterpret_cast<uintptr_t>(brushes.back())));
  }
  for (HBRUSH b : brushes) ::DeleteObject(b);
  return top;
}

void TestText(Platform& platform) {
  const TextMask digits = platform.RenderText("Liberation Sans", 9, "100");
  Check(digits.Advance > 0 && digits.Width >= digits.Advance && digits.Height >= 9,
        "a label has a size");
  Check(digits.Coverage.size() ==
            static_cast<size_t>(digits.Width) * static_cast<size_t>(digits.Height),
        "coverage is width x height");
  // Small sizes may be drawn unsmoothed, as the font's own hints ask.
  const TextMask large = platform.RenderText("Liberation Sans", 30, "100");
  bool full = false, partial = false;
  for (uint8_t c : large.Coverage) {
    full |= c > 200;
    partial |= c > 0 && c < 200;
  }
  Check(full && partial, "glyphs are smoothed: solid and partial coverage");

  const TextMask one = platform.RenderText("Liberation Sans", 9, "8");
  const TextMask two = platform.RenderText("Liberation Sans", 9, "88");
  Check(two.Advance == 2 * one.Advance && two.Height == one.Height,
        "advances add up along the line");
  const TextMask big = platform.RenderText("Liberation Sans", 30, "8");
  Check(big.Advance > one.Advance && big.Height > one.Height, "a bigger font is bigger");
  Check(platform.RenderText("No Such Face Anywhere", 9, "8").Advance > 0,
        "a missing face falls back");
  Check(platform.RenderText("Liberation Sans", 9, "\xC2\xB5").Advance > 0, "UTF-8 text");

  // A face of 31 characters may be longer than LOGFONT's 31 units; it is cut
  // between two characters and still names a font the system can make.
  const std::string kAncient = "\xF0\xA0\x80\x80";  // U+20000: a surrogate pair
  const std::pair<std::string, std::wstring> faces[] = {
      {std::string(40, 'x'), std::wstring(31, L'x')},
      {std::string(30, 'x') + kAncient, std::wstring(30, L'x')},
      {std::string(29, 'x') + kAncient, std::wstring(29, L'x') + L"\xD840\xDC00"},
  };
  for (const auto& [face, expected] : faces) {
    Check(FaceName(face) == expected, "a face cut between characters");
    Check(platform.RenderText(face, 9, "8").Advance > 0, "a long face still draws");
  }

  const TextMask empty = platform.RenderText("Liberation Sans", 9, "");
  Check(empty.Advance == 0 && empty.Width == 0 && empty.Coverage.empty() && empty.Height > 0,
        "empty text");
  for (int height : {0, -9}) {
    const TextMask none = platform.RenderText("Liberation Sans", height, "8");
    Check(none.Advance == 0 && none.Width == 0 && none.Height == 0 && none.Coverage.empty(),
          "no size, no text");
  }
  const TextMask absurd = platform.RenderText("Liberation Sans", 5000, "2048");
  Check(absurd.Advance > 0 && absurd.Width == 0 && absurd.Coverage.empty(),
        "an absurd size draws nothing");

  // Every GDI object made for a label is released. Where the system does not
  // count them (GetGuiResources gives 0) a leak still shows in the handles:
  // their low word indexes the handle table, whose top then keeps growing.
  const DWORD countBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const unsigned topBefore = GdiTableTop();
  bool allDrawn = true;
  for (int i = 0; i < 2000; ++i) {
    allDrawn &= platform.RenderText("Liberation Sans", 9 + i % 5, std::to_string(i)).Width > 0;
  }
  Check(allDrawn && ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS) == countBefore &&
            GdiTableTop() < topBefore + 100,
        "rendering leaks no GDI object");
}

// Each monitor's whole screen beside its work area, the primary one first:
// a ruler over the task bar is on a screen, though off the work area.
void TestMonitors(Platform& platform) {
  const std::vector<MonitorArea> monitors = platform.Monitors();
  Check(!monitors.empty(), "at least one monitor");
  if (monitors.empty()) return;
  const Rect& primary = monitors.front().Bounds;
  Check(primary == Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
        "the primary monitor first, its whole screen");
  for (const MonitorArea& m : monitors) {
    const Rect &b = m.Bounds, &w = m.WorkArea;
    Check(w.Width > 0 && w.Height > 0 && w.Left >= b.Left && w.Top >= b.Top &&
              w.Left + w.Width <= b.Left + b.Width && w.Top + w.Height <= b.Top + b.Height,
          "a work area lies within its screen");
  }
}

// ---------------------------------------------------------------- keys and messages

// Every key the program names has exactly one virtual-key code, and back;
// keys it has no name for come as none.
void TestKeys() {
  const std::pair<KeyCode, int> named[] = {
      {KeyCode::Tab, VK_TAB},
      {KeyCode::Enter, VK_RETURN},
      {KeyCode::Escape, VK_ESCAPE},
      {KeyCode::Left, VK_LEFT},
      {KeyCode::Down, VK_DOWN},
      {KeyCode::Insert, VK_INSERT},
      {KeyCode::Delete, VK_DELETE},
      {KeyCode::NumpadAdd, VK_ADD},
      {KeyCode::Digit0, '0'},
      {KeyCode::Digit9, '9'},
      {KeyCode::A, 'A'},
      {KeyCode::Z, 'Z'},
      {KeyCode::F1, VK_F1},
      {KeyCode::F10, VK_F10},
      {KeyCode::F24, VK_F24},
      {KeyCode::Shift, VK_SHIFT},
      {KeyCode::Control, VK_CONTROL},
      {KeyCode::Alt, VK_MENU},
      {KeyCode::Menu, VK_APPS},
      {KeyCode::NumpadSubtract, VK_SUBTRACT},
  };
  for (const auto& [key, vk] : named) {
    Check(VirtualKeyOf(key) == vk && KeyFromVirtualKey(static_cast<WPARAM>(vk)) == key,
          "a named key and its virtual-key code");
  }
  bool roundTrips = true;
  for (int k = static_cast<int>(KeyCode::None) + 1; k <= static_cast<int>(KeyCode::Menu); ++k) {
    const auto key = static_cast<KeyCode>(k);
    roundTrips &= KeyFromVirtualKey(static_cast<WPARAM>(VirtualKeyOf(key))) == key;
  }
  Check(roundTrips, "every key of the program round-trips");
  for (WPARAM vk :
       {WPARAM{0}, WPARAM{VK_OEM_PLUS}, WPARAM{VK_LWIN}, WPARAM{VK_NUMPAD5}, WPARAM{0xFF}})
    Check(KeyFromVirtualKey(vk) == KeyCode::None, "a key the program does not name");
  Check(VirtualKeyOf(KeyCode::None) == 0, "no key, no code");

  const std::pair<UINT, MessageKind> messages[] = {
      {WM_KEYDOWN, MessageKind::KeyDown},
      {WM_KEYUP, MessageKind::KeyUp},
      {WM_SYSKEYDOWN, MessageKind::SysKeyDown},
      {WM_SYSKEYUP, MessageKind::SysKeyUp},
      {WM_CHAR, MessageKind::Char},
      {WM_LBUTTONDOWN, MessageKind::Other},
      {WM_NULL, MessageKind::Other},
  };
  for (const auto& [msg, kind] : messages) Check(MessageKindOf(msg) == kind, "a message's kind");
  MSG typed{nullptr, WM_CHAR, 'A', 0, 0, {}};
  Check(Translate(typed, nullptr).Key == KeyCode::None, "a character is no key");
  MSG pressed{nullptr, WM_SYSKEYDOWN, VK_F4, 0, 0, {}};
  const Message f4 = Translate(pressed, nullptr);
  Check(f4.Kind == MessageKind::SysKeyDown && f4.Key == KeyCode::F4,
        "Alt+F4 as the program sees it");
}

// ---------------------------------------------------------------- windows

void TestRulerWindow(TestPlatform& platform) {
  Recorder handler;
  auto window = platform.CreateTopLevel(RulerAt({358, 359, 650, 50}), handler);
  const HWND hwnd = HwndOf(*window);
  wchar_t text[64] = {};
  ::GetClassNameW(hwnd, text, 64);
  Check(std::wstring_view(text) == L"TRulerForm", "ruler class name");
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  Check((style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)),
        "borderless popup");
  Check((exStyle & WS_EX_TOPMOST) && (exStyle & WS_EX_LAYERED), "stay-on-top and layered");
  Check(::GetWindow(hwnd, GW_OWNER) == platform.AppWindow(), "owned by the application window");
  Check(!::IsWindowVisible(hwnd), "hidden at creation");
  Check(window->Bounds() == Rect{358, 359, 650, 50}, "initial bounds");

  BYTE alpha = 0;
  DWORD flags = 0;
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  Check(alpha == 255 && (flags & LWA_ALPHA), "opaque until told otherwise");
  window->SetOpacity(true, 192);
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  Check(alpha == 192 && (flags & LWA_ALPHA), "constant opacity");
  window->SetOpacity(false, 192);
  Check(!(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED),
        "opacity off leaves layered mode");
  window->SetOpacity(true, 100);
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  Check((::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) && alpha == 100,
        "opacity on again");

  for (const Rect& r :
       {Rect{658, 59, 50, 650}, Rect{-100, -20, 300, 40}, Rect{358, 359, 650, 50}}) {
    window->SetBounds(r);
    Check(window->Bounds() == r, "bounds round trip");
  }
  for (const Rect& r : {Rect{0, 0, 650, 50}, Rect{0, 0, 100, 20}}) {
    window->SetRegion(r);
    RECT box{};
    ::GetWindowRgnBox(hwnd, &box);
    Check(box.left == r.Left && box.top == r.Top && box.right == r.Width && box.bottom == r.Height,
          "the region is the rectangle");
  }
  window->SetRegion({0, 0, 650, 50});

  window->SetVisible(true);
  Check(::IsWindowVisible(hwnd) && ::GetActiveWindow() != hwnd, "showing does not activate");

  // Messages to handler calls.
  const std::pair<UINT, const char*> mouse[] = {
      {WM_LBUTTONDOWN, "down L"}, {WM_RBUTTONDOWN, "down R"}, {WM_MBUTTONDOWN, "down M"},
      {WM_LBUTTONUP, "up L"},     {WM_RBUTTONUP, "up R"},     {WM_MBUTTONUP, "up M"},
      {WM_MOUSEMOVE, "move"},
  };
  for (auto [msg, call] : mouse) {
    handler.Calls.clear();
    ::SendMessageW(hwnd, msg, 0, MAKELPARAM(5, 5));
    Check(handler.Calls == std::vector<std::string>{call}, call);
  }
  handler.Calls.clear();
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  Check(handler.Calls == std::vector<std::string>{"close"} && ::IsWindow(hwnd),
        "a close request only asks");
  handler.Erases = true;
  handler.Calls.clear();
  Check(::SendMessageW(hwnd, WM_ERASEBKGND, 0, 0) == 0 && handler.Count("erase") == 1,
        "erase goes to the handler");
  handler.Erases = false;

  // The picture reaches the screen, red in the low byte.
  window->SetOpacity(false, 0);
  Pump();
  Image picture(650, 50, 0x00204060);
  for (int y = 0; y < 50; ++y) picture.SetPixel(10, y, 0x000000FF);
  window->Present(picture);
  {
    WindowDc dc(hwnd);
    Check(::GetPixel(dc.Get(), 5, 5) == 0x00204060 && ::GetPixel(dc.Get(), 10, 20) == 0x000000FF,
          "present copies the picture");
  }

  // A handler's error stays in the window procedure and is shown.
  handler.Throw = true;
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  Check(platform.Errors == std::vector<std::string>{"boom down L"}, "handler errors are shown");
  ::InvalidateRect(hwnd, nullptr, FALSE);
  ::UpdateWindow(hwnd);
  Check(platform.Errors.size() == 2 && !::GetUpdateRect(hwnd, nullptr, FALSE),
        "a failed paint still validates");
  platform.Errors.clear();

  // Destruction destroys the window and calls nothing any more.
  handler.Calls.clear();
  window.reset();
  Check(!::IsWindow(hwnd) && handler.Calls.empty() && platform.Errors.empty(), "destroyed quietly");
}

void TestDialogWindow(TestPlatform& platform) {
  Recorder handler;
  auto window =
      platform.CreateTopLevel({WindowKind::Dialog, "Options", {50, 60, 400, 300}}, handler);
  const HWND hwnd = HwndOf(*window);
  wchar_t text[64] = {};
  ::GetClassNameW(hwnd, text, 64);
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  Check(std::wstring_view(text) == L"TVantoriDialog" && (style & WS_CAPTION) == WS_CAPTION &&
            (style & WS_SYSMENU),
        "a dialog has a caption and a system menu");
  Check(::GetWindow(hwnd, GW_OWNER) == platform.AppWindow() &&
            window->Bounds() == Rect{50, 60, 400, 300},
        "a dialog is owned and placed");
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  Check(handler.Count("close") == 1 && ::IsWindow(hwnd), "a dialog's close request only asks");
}

void TestSelfDestruction(TestPlatform& platform) {
  // A handler that destroys its own window, and may fail after that.
  for (bool fails : {false, true}) {
    for (UINT msg : {WM_CLOSE, WM_LBUTTONDOWN, WM_PAINT, WM_ERASEBKGND}) {
      Recorder handler;
      std::unique_ptr<Window> window = platform.CreateTopLevel(RulerAt({0, 0, 100, 20}), handler);
      const HWND hwnd = HwndOf(*window);
      window->SetVisible(true);
      Pump();
      handler.Then = [&window] { window.reset(); };
      handler.Throw = fails;
      platform.Errors.clear();
      if (msg == WM_PAINT) {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
      } else {
        WindowDc dc(hwnd);
        ::SendMessageW(hwnd, msg, reinterpret_cast<WPARAM>(dc.Get()), 0);
      }
      Check(!window && !::IsWindow(hwnd) && platform.Errors.size() == (fails ? 1u : 0u),
            "a handler destroys its own window");
    }
  }
  platform.Errors.clear();
}

void TestCaptureAndFocus(TestPlatform& platform) {
  Recorder a, b;
  auto first = platform.CreateTopLevel(RulerAt({100, 100, 300, 40}), a);
  auto second = platform.CreateTopLevel(RulerAt({100, 200, 300, 40}), b);
  first->SetVisible(true);
  second->SetVisible(true);

  first->CaptureMouse();
  Check(first->HasMouseCapture() && !second->HasMouseCapture(), "capture");
  second->ReleaseMouse();
  Check(first->HasMouseCapture(), "another window's release keeps the capture");
  first->ReleaseMouse();
  Check(!first->HasMouseCapture(), "release");

  first->Raise();
  first->Focus();
  Pump();
  Check(::GetActiveWindow() == HwndOf(*first) && ::GetFocus() == HwndOf(*first), "raise and focus");
  Check(a.Count("focus") == 1, "one focus report per change");
  second->Raise();
  second->Focus();
  first->Focus();
  first->Focus();
  Pump();
  Check(a.Count("focus") == 2 && b.Count("focus") == 1, "each change reported once");

  // The activation that moves on while a window goes is reported afterwards.
  b.Calls.clear();
  first.reset();
  const bool secondActive = ::GetActiveWindow() == HwndOf(*second);
  Check(b.Calls.empty(), "nothing reported during a destruction");
  Pump();
  Check(b.Count("focus") == (secondActive ? 1 : 0), "the deferred focus report");
}

void TestLoopAndApp(TestPlatform& platform) {
  Recorder handler;
  auto window = platform.CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  const HWND hwnd = HwndOf(*window);
  std::vector<std::pair<MessageKind, KeyCode>> seen;
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  platform.Quit();
  int clicks = 0;
  platform.RunMessageLoop([&](const Message& msg) {
    seen.emplace_back(msg.Kind, msg.Key);
    // The second click is taken by the filter: it must not reach the window.
    return msg.Kind == MessageKind::Other && msg.Target == &handler && ++clicks == 2;
  });
  Check(!seen.empty() && seen.front() == std::make_pair(MessageKind::KeyDown, KeyCode::Right),
        "the filter sees each message, in the program's names");
  Check(handler.Count("down L") == 1, "messages are dispatched unless the filter takes them");
  platform.Errors.clear();
  platform.Quit();
  platform.RunMessageLoop({});
  Check(platform.Errors.empty(), "a loop without a filter");

  const LONG_PTR before = ::GetWindowLongPtrW(platform.AppWindow(), GWL_EXSTYLE);
  platform.KeepOffTaskBar();
  platform.KeepOffTaskBar();
  Check(::GetWindowLongPtrW(platform.AppWindow(), GWL_EXSTYLE) == (before | WS_EX_TOOLWINDOW),
        "off the task bar: the application window is a tool window, its other styles kept");
  ::SendMessageW(platform.AppWindow(), WM_CLOSE, 0, 0);
  Check(::IsWindow(platform.AppWindow()) && ::IsWindow(hwnd),
        "closing the application window destroys nothing");
}

// A move made while more input is queued reaches the screen once the queue
// is dry, or at once when nothing waits.
void TestHeldBackMoves(TestPlatform& platform) {
  Recorder handler;
  auto window = platform.CreateTopLevel(RulerAt({100, 100, 300, 40}), handler);
  const HWND hwnd = HwndOf(*window);
  auto onScreen = [hwnd] {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  window->SetBounds({110, 100, 300, 40});
  Check(onScreen() == Rect{110, 100, 300, 40}, "a move with nothing queued is immediate");
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({120, 100, 300, 40});
  window->SetBounds({130, 100, 300, 40});
  Check(onScreen() == Rect{110, 100, 300, 40}, "moves wait while input is queued");
  Check(window->Bounds() == Rect{130, 100, 300, 40}, "the bounds are the last move's");
  platform.Quit();
  platform.RunMessageLoop({});
  Check(onScreen() == Rect{130, 100, 300, 40}, "the loop shows the last move");
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({140, 100, 300, 40});
  window->SetBounds({140, 100, 320, 40});
  Check(onScreen() == Rect{140, 100, 320, 40}, "a resize is never held back");
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  window->SetBounds({150, 100, 320, 40});
  window->SetVisible(false);
  Check(onScreen() == Rect{150, 100, 320, 40}, "anything else shows the move first");
  Pump();
  window.reset();
  platform.Quit();
  platform.RunMessageLoop({});
  Check(true, "a destroyed window's held-back move is forgotten");
}

}  // namespace

int main() {
  try {
    TestStore();
    TestDibPixels();
    TestKeys();
    TestPlatform platform(::GetModuleHandleW(nullptr));
    TestText(platform);
    TestMonitors(platform);
    TestRulerWindow(platform);
    TestDialogWindow(platform);
    TestSelfDestruction(platform);
    TestCaptureAndFocus(platform);
    TestLoopAndApp(platform);
    TestHeldBackMoves(platform);
    tests::TestControls(
        platform, platform.Errors,
        [](bool ok, std::string_view what, std::source_location at) { Check(ok, what, at); });
    tests::TestShell(
        platform, platform.Errors,
        [](bool ok, std::string_view what, std::source_location at) { Check(ok, what, at); });
  } catch (const std::exception& e) {
    std::printf("FAIL: %s\n", e.what());
    ++Failed;
  }
  std::printf("%d passed, %d failed\n", Passed, Failed);
  return Failed == 0 ? 0 : 1;
}
