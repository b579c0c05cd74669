#pragma once
#include "platform/Platform.h"

namespace vr {

// The whole run of the program on a platform: start-up, message loop, shutdown.
// Returns when ruler 0, the main window, has been closed.
void RunVantoriRulers(Platform& platform);

}  // namespace vr
