#pragma once
#include "forms/Forms.h"
#include "platform/Platform.h"

namespace vr {

// The whole run of the program on a platform: start-up, message loop, shutdown.
// Returns when ruler 0, the main window, has been closed.
void RunVantoriRulers(Platform& platform);

// The steps of start-up that wire the parts together, also for tests: the
// program's icon; the command module, with the rulers wired to its tray icon
// and context menu and to the keyboard filter and active-window handler they
// install; and the Options window, which follows the active ruler once it is
// fully made.
void SetProgramIcon(TApplication& app);
void CreateCommandModule(TApplication& app);
void CreateOptionsWindow(TApplication& app);
// When the desktop's monitors change, visible rulers left off every screen
// come back to the nearest one.
void WatchDisplays(Platform& platform);
// Forgets the references of a run that has ended.
void ForgetProgram();

}  // namespace vr
