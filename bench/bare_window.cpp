// The least a Win32 program does to put a window on the screen: register a
// class, make one window, show it, and run the message loop until the window
// is closed (Alt+F4, or WM_CLOSE from the start-up benchmark). The benchmark
// starts it beside VantoriRulers.exe, with the same link options, so that the
// difference between the two is what our own start-up costs.

#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"VrBareWindow";
constexpr wchar_t kTitle[] = L"Bare Window";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &WindowProc;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  cls.lpszClassName = kClassName;
  if (!::RegisterClassExW(&cls)) return 1;
  // As large as ruler 0 at its first start, where ruler 0 appears.
  const HWND window = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 358, 359, 650,
                                        50, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ::ShowWindow(window, show);
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
