#include "platform/win32/Win32Controls.h"

#include "platform/win32/Win32Window.h"

namespace vr::win32 {

// ---- to be completed
std::unique_ptr<Control> CreateWin32Control(Win32Window&, const ControlParams&, ControlHandler&) {
  return nullptr;
}

bool RouteControlMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }

}  // namespace vr::win32
