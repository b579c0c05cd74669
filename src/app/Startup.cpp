#include "app/Startup.h"

#include "DataModule/DataModule.h"
#include "DataModule/Pictures.h"
#include "Options/OptionsForm.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"

namespace vr {

void SetProgramIcon(TApplication& app) {
  app.SmallIcon = DrawProgramIcon(16);
  app.LargeIcon = DrawProgramIcon(32);
}

void CreateCommandModule(TApplication& app) {
  app.CreateModule(DM, app);
  RulerLinks.TrayIcon = &DM->TrayIcon;
  RulerLinks.PopupMenu = &DM->PopupMenu;
  RulerLinks.KeyHook = RulerKeyHook;
  RulerLinks.ActiveFormChanged = ActiveFormChanged;
  DM->OptionsForm = [&app]() -> TForm& {
    if (!OptionsForm) CreateOptionsWindow(app);
    return *OptionsForm;
  };
  // Nothing a user set is lost, however the run ends.
  app.OnEnding = [](TForm* closed) { SaveRulers(closed); };
  // Before the system ends the process: an icon left in the notification
  // area would stay there until the pointer passes over it.
  app.OnSessionEnd = [] {
    if (DM) DM->TrayIcon.SetVisible(false);
  };
  app.OnShowRequest = ShowRulersOnRequest;
}

void CreateOptionsWindow(TApplication& app) {
  app.CreateForm(OptionsForm);
  // Only a finished window may be refreshed from a render or a focus change.
  RulerLinks.OptionsForm = OptionsForm;
}

void WatchDisplays(Platform& platform) {
  platform.SetDisplayChangeHandler([] { KeepVisibleRulersReachable(); });
}

namespace {

// The handler reaches the rulers of this run only; it goes before they do.
class DisplayWatch {
 public:
  explicit DisplayWatch(Platform& platform) : Platform_(platform) { WatchDisplays(platform); }
  ~DisplayWatch() { Platform_.SetDisplayChangeHandler(nullptr); }
  DisplayWatch(const DisplayWatch&) = delete;
  DisplayWatch& operator=(const DisplayWatch&) = delete;

 private:
  Platform& Platform_;
};

}  // namespace

void ForgetProgram() {
  RulerForms.fill(nullptr);
  RulerLinks = {};
  DM = nullptr;
  OptionsForm = nullptr;
}

void RunVantoriRulers(Platform& platform) {
  // One program a user: a second start sends the user to the first and
  // leaves no trace of its own.
  if (platform.ClaimSingleInstance() == InstanceClaim::AlreadyRunning) {
    platform.AskRunningInstanceToShow();
    return;
  }
  SetSystemColorSource([&platform](int index) { return platform.SysColor(index); });
  try {
    TApplication app(platform);
    app.SetTitle("Vantori Rulers");
    SetProgramIcon(app);
    // The command module comes first: every ruler's creation sets its tray icon.
    CreateCommandModule(app);
    app.CreateForm(RulerForms[0]);
    // After ruler 0, so that ruler 0's first active-window change finds no
    // Options window to refresh.
    CreateOptionsWindow(app);
    DisplayWatch displays(platform);
    app.Run();
  } catch (...) {
    ForgetProgram();
    SetSystemColorSource(nullptr);
    throw;
  }
  ForgetProgram();
  SetSystemColorSource(nullptr);
}

}  // namespace vr
