// The process entry: one platform, the portable program on it.

#include <windows.h>

#include <exception>
#include <string>

#include "app/Program.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Strings.h"

namespace {

// For errors before the platform exists or after it failed.
void ShowFatalError(const char* text) {
  ::MessageBoxW(nullptr, vr::win32::Widen(text).c_str(), L"Vantori Rulers",
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    vr::win32::Win32Platform platform(instance);
    try {
      vr::RunVantoriRulers(platform);
    } catch (const std::exception& e) {
      platform.ShowErrorBox(e.what());
      return 1;
    } catch (...) {
      platform.ShowErrorBox("An unknown error occurred.");
      return 1;
    }
  } catch (const std::exception& e) {
    ShowFatalError(e.what());
    return 1;
  } catch (...) {
    ShowFatalError("An unknown error occurred.");
    return 1;
  }
  return 0;
}
