#pragma once
// The seam between the program and the operating system. Everything above
// this folder talks to the system only through these interfaces, one header
// per concern; win32/ is the real thing and headless/ an in-memory double for
// tests. Names say what the program asks for, not how Win32 does it.

#include "platform/Controls.h"
#include "platform/Geometry.h"
#include "platform/Hotkey.h"
#include "platform/Image.h"
#include "platform/Keys.h"
#include "platform/Screen.h"
#include "platform/Session.h"
#include "platform/Shell.h"
#include "platform/Store.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "platform/WindowSystem.h"

namespace vr {

// The one object that hands the program all of the system.
class Platform : public Screen,
                 public WindowSystem,
                 public Shell,
                 public Session,
                 public GlobalHotkey,
                 public TextRenderer {
 public:
  // Under the current user.
  virtual SettingsStore& Store() = 0;
};

}  // namespace vr
