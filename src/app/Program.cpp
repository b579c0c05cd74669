#include "app/Program.h"

#include <exception>

#include "DataModule/Pictures.h"
#include "Ruler/RulerKeys.h"

namespace vr {

TProgram::TProgram(Platform& platform)
    : Application(platform),
      ProgramOptions(Application),
      RulerForms(Application),
      Platform_(platform) {
  Application.SetTitle("Vantori Rulers");
  Application.SmallIcon = DrawProgramIcon(16);
  Application.LargeIcon = DrawProgramIcon(32);

  // The command module comes first: every ruler's creation sets its tray icon
  // and names its context menu.
  DM = std::make_unique<TDM>(Application, RulerForms);
  RulerForms.TrayIcon = &DM->TrayIcon;
  RulerForms.PopupMenu = &DM->PopupMenu;
  DM->OptionsForm = [this]() -> TForm& {
    if (!OptionsForm) CreateOptionsWindow();
    return *OptionsForm;
  };
  // The keyboard filter and the active-window handler act on the active
  // ruler, whichever made them: in force from the first ruler on.
  Application.OnMessage = [this](const Message& msg, bool& handled) {
    RulerKeyHook(RulerForms, msg, handled);
  };
  // The menus check the active ruler's item from ruler 0's first activation
  // on, also before the Options window, whose reload checks it too, is made.
  Application.OnActiveFormChange = [this](TForm* sender) {
    RulerForms.ActiveFormChanged(sender);
    DM->UpdateRulerChecks();
  };
  // Nothing a user set is lost, however the run ends.
  Application.OnEnding = [this](TForm* closed) { RulerForms.SaveRulers(closed); };
  // Before the system ends the process: an icon left in the notification
  // area would stay there until the pointer passes over it.
  Application.OnSessionEnd = [this] { DM->TrayIcon.SetVisible(false); };
  Application.OnShowRequest = [this] { RulerForms.ShowRulersOnRequest(); };
  Application.OnHotkey = [this] { RulerForms.HideOrShowRulers(); };

  Application.SetMainForm(&RulerForms.Make(0));
  // Ruler 0 first on the screen: the notification area may keep the icon's
  // add waiting, and the Options window is only made ready for later.
  RestOfStart_ = Platform_.CallWhenIdle([this] { FinishStart(); });
  // When the desktop's monitors change, visible rulers left off every screen
  // come back to the nearest one.
  Platform_.SetDisplayChangeHandler([this] { RulerForms.KeepVisibleRulersReachable(); });
}

TProgram::~TProgram() {
  Platform_.SetDisplayChangeHandler(nullptr);
  Application.ShutDown();
}

void TProgram::FinishStart() {
  // A run that ended meanwhile (the session did) keeps the icon out.
  if (Application.Terminated()) return;
  try {
    DM->TrayIcon.SetVisible(true);
    // After ruler 0, so that ruler 0's first active-window change finds no
    // Options window to refresh; the Options command may have made it already.
    if (!OptionsForm) CreateOptionsWindow();
  } catch (const std::exception& e) {
    // Still start-up's failure, a notification area that refuses the icon
    // among it, with ruler 0 up already: the run ends with the error, and
    // nothing is saved.
    Application.Abort(e.what());
  }
}

void TProgram::CreateOptionsWindow() {
  OptionsForm = std::make_unique<TOptionsForm>(Application, RulerForms, *DM, ProgramOptions);
  // Only a finished window may be refreshed from a render or a focus change.
  RulerForms.OptionsForm = OptionsForm.get();
}

void TProgram::Run() { Application.Run(); }

std::unique_ptr<TProgram> StartProgram(Platform& platform) {
  return std::make_unique<TProgram>(platform);
}

void RunVantoriRulers(Platform& platform) {
  // One program a user: a second start sends the user to the first and
  // leaves no trace of its own.
  if (platform.ClaimSingleInstance() == InstanceClaim::AlreadyRunning) {
    platform.AskRunningInstanceToShow();
    return;
  }
  StartProgram(platform)->Run();
}

}  // namespace vr
