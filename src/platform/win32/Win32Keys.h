#pragma once
// Win32's virtual-key codes and messages in the program's own names.

#include <windows.h>

#include "platform/Keys.h"

namespace vr::win32 {

// KeyCode::None for a key the program has no name for.
KeyCode KeyFromVirtualKey(WPARAM vk);
// 0 for KeyCode::None.
int VirtualKeyOf(KeyCode key);
MessageKind MessageKindOf(UINT msg);
// A message taken from the queue, for the window whose handler is target.
Message Translate(const MSG& msg, WindowHandler* target);

}  // namespace vr::win32
