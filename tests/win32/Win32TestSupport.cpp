#include "Win32TestSupport.h"

namespace vr::win32::test {

TestPlatform& Os() {
  static TestPlatform platform(::GetModuleHandleW(nullptr));
  // Made at once, as the running program has it, so that no check counts the
  // application window among the handles of what it tests.
  [[maybe_unused]] static const HWND app = platform.AppWindow();
  return platform;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

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

bool RunUntil(Win32Platform& platform, const std::function<bool()>& done,
              const MessageFilter& filter) {
  const UINT_PTR waker = ::SetTimer(nullptr, 0, 20, nullptr);
  const DWORD end = ::GetTickCount() + 20000;
  platform.RunModalLoop(filter,
                        [&] { return done() || static_cast<LONG>(end - ::GetTickCount()) <= 0; });
  ::KillTimer(nullptr, waker);
  return done();
}

}  // namespace vr::win32::test
