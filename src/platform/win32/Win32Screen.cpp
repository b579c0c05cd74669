// The screen: its monitors and their densities, the pointer, the system's
// colours and font families.

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

template <typename Function>
Function* SystemFunction(const wchar_t* module, const char* name) {
  // shcore is not loaded by every program; once loaded it stays for the process.
  HMODULE handle = ::GetModuleHandleW(module);
  if (!handle) handle = ::LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return handle ? reinterpret_cast<Function*>(
                      reinterpret_cast<void (*)()>(::GetProcAddress(handle, name)))
                : nullptr;
}

// MDT_EFFECTIVE_DPI and MDT_RAW_DPI of shellscalingapi.h.
constexpr int kEffectiveDpi = 0;
constexpr int kRawDpi = 2;
using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
using GetDpiForSystemFunction = UINT WINAPI();

GetDpiForMonitorFunction* DpiForMonitor() {
  static auto* const function =
      SystemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  return function;
}

// A monitor's name that stays when the monitors are arranged anew: the
// device interface of the monitor itself (maker, model, port), else the
// adapter output it hangs on.
std::string MonitorId(const MONITORINFOEXW& info) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (::EnumDisplayDevicesW(info.szDevice, 0, &device, EDD_GET_DEVICE_INTERFACE_NAME) &&
      device.DeviceID[0] != L'\0')
    return Narrow(device.DeviceID);
  return Narrow(info.szDevice);
}

// Adds one monitor to the list, the primary monitor in front.
BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
  auto& monitors = *reinterpret_cast<std::vector<MonitorArea>*>(data);
  // Nothing may escape into the system's frames.
  try {
    MonitorArea area{ToRect(info.rcMonitor), ToRect(info.rcWork), MonitorId(info)};
    if (auto* dpiFor = DpiForMonitor()) {
      UINT x = 0, y = 0;
      if (SUCCEEDED(dpiFor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
        area.Dpi = static_cast<int>(y);
      // The glass's own density, from the size the monitor reports; whether
      // it is plausible is the program's to judge.
      if (SUCCEEDED(dpiFor(monitor, kRawDpi, &x, &y)) && y > 0) area.PhysicalDpi = y;
    }
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
      monitors.insert(monitors.begin(), std::move(area));
    } else {
      monitors.push_back(std::move(area));
    }
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
  // Vertical variants ("@Name") are the same family set sideways.
  if (font->lfFaceName[0] == L'@' || font->lfFaceName[0] == L'\0') return 1;
  try {
    reinterpret_cast<std::set<std::wstring>*>(data)->insert(font->lfFaceName);
  } catch (...) {
    return 0;  // nothing may escape into the system's frames
  }
  return 1;
}

}  // namespace

int Win32Platform::DpiAt(Point screen) const {
  auto* const dpiForMonitor = DpiForMonitor();
  static auto* const dpiForSystem =
      SystemFunction<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem");
  if (dpiForMonitor) {
    const HMONITOR monitor = ::MonitorFromPoint({screen.X, screen.Y}, MONITOR_DEFAULTTONEAREST);
    UINT x = 0, y = 0;
    if (monitor && SUCCEEDED(dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
      return static_cast<int>(y);
  }
  if (dpiForSystem) {
    if (const UINT dpi = dpiForSystem(); dpi > 0) return static_cast<int>(dpi);
  }
  return PixelsPerInch();
}

std::vector<MonitorArea> Win32Platform::Monitors() const {
  std::vector<MonitorArea> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    // No monitor reported (a session being set up): the primary screen.
    const Rect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT r{};
    monitors.push_back({screen,
                        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0) ? ToRect(r) : screen, "",
                        PixelsPerInch()});
  }
  return monitors;
}

Point Win32Platform::PrimaryDisplaySize() const {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

Point Win32Platform::CursorPos() const {
  POINT p{};
  if (!::GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

int Win32Platform::PixelsPerInch() const {
  WindowDc screen(nullptr);
  const int ppi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return ppi > 0 ? ppi : USER_DEFAULT_SCREEN_DPI;
}

TColor Win32Platform::SysColor(int index) const { return ::GetSysColor(index); }

std::vector<std::string> Win32Platform::ScreenFontFamilies() const {
  std::set<std::wstring> families;
  WindowDc screen(nullptr);
  if (!screen.Get()) return {};
  LOGFONTW every{};
  every.lfCharSet = DEFAULT_CHARSET;  // every family in every character set
  ::EnumFontFamiliesExW(screen.Get(), &every, &CollectFamily, reinterpret_cast<LPARAM>(&families),
                        0);
  std::vector<std::string> names;
  names.reserve(families.size());
  for (const std::wstring& family : families) names.push_back(Narrow(family));
  return names;
}

}  // namespace vr::win32
