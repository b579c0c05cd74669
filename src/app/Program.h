#pragma once
// The program: the one object that owns its parts, made in the order the
// user sees them come up, and its run from start to end.

#include <memory>

#include "DataModule/DataModule.h"
#include "Options/OptionsForm.h"
#include "Options/ProgramOptions.h"
#include "Ruler/Rulers.h"
#include "forms/Forms.h"
#include "platform/Platform.h"

namespace vr {

class TProgram {
 public:
  // Start-up: the title and icon, the command module, ruler 0 (the main
  // window), then the Options window, hidden. What ruler 0 does not need
  // waits until the loop has shown and painted it: the tray icon's add to the
  // notification area, then the Options window. A notification area that
  // refuses the icon ends the run: Run throws the error. Throws what start-up
  // fails on before.
  explicit TProgram(Platform& platform);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Shows ruler 0 and runs the message loop until the run ends.
  void Run();

  // Going in reverse order at the end of the run: the rulers, the Options
  // window, the command module, the hotkey, then the application object.
  TApplication Application;
  TProgramOptions ProgramOptions;
  std::unique_ptr<TDM> DM;
  std::unique_ptr<TOptionsForm> OptionsForm;
  TRulerSlots RulerForms;

 private:
  void CreateOptionsWindow();
  // The part of start-up that waited for ruler 0.
  void FinishStart();
  Platform& Platform_;
  std::unique_ptr<Timer> RestOfStart_;
};

// Start-up as the program does it, for the run and for tests alike.
std::unique_ptr<TProgram> StartProgram(Platform& platform);

// The whole run of the program on a platform: start-up, message loop,
// shutdown. Returns when the run has ended, or at once when the program runs
// already for this user, which it then brings forward.
void RunVantoriRulers(Platform& platform);

}  // namespace vr
