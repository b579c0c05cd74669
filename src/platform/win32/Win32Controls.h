#pragma once
// The standard controls of the program's dialogs: USER and common controls
// behind the portable Control interface.

#include <windows.h>

#include <memory>

#include "platform/Platform.h"

namespace vr::win32 {

// Makes a native control in the top-level window (or in the params' parent
// control); its handler's errors are shown by os. Throws when the system
// refuses it.
std::unique_ptr<Control> CreateWin32Control(HWND window, Platform& os, const ControlParams& params,
                                            ControlHandler& handler);

// A notification that reached a window from one of its controls (command,
// notify, scroll, owner draw, colours): handled here when it belongs to a
// control made above. true: handled, with its result.
bool RouteControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The native window of a control made above; nullptr for any other control.
HWND NativeHandle(const Control& control);

}  // namespace vr::win32
