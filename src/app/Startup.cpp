#include "app/Startup.h"

#include "DataModule/DataModule.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "forms/Forms.h"

namespace vr {

void RunVantoriRulers(Platform& platform) {
  SetSystemColorSource([&platform](int index) { return platform.SysColor(index); });
  {
    TApplication app(platform);
    app.SetTitle("Vantori Rulers");
    // The command module comes first: every ruler's creation sets its tray icon.
    app.CreateModule(DM);
    app.CreateForm(RulerForms[0]);
    // The Options window joins here, after ruler 0, so that ruler 0's first
    // active-window change finds none to refresh.
    app.Run();
  }
  RulerForms.fill(nullptr);
  DM = nullptr;
  OptionsForm = nullptr;
  SetSystemColorSource(nullptr);
}

}  // namespace vr
