#pragma once
// The command module: the program's pictures, its fourteen commands, the
// context menu of every ruler, the tray icon and the tray icon's menu.

#include <array>
#include <functional>
#include <memory>

#include "forms/Actions.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/TrayIcon.h"

namespace vr {

class TRulerSlots;

class TDM {
 public:
  // The tray icon has its tip, pictures and menu; start-up puts it into the
  // notification area once ruler 0 is up. The ruler commands act on the
  // slots, which may be empty still.
  TDM(TApplication& app, TRulerSlots& rulers);
  ~TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  TImageList ImageList;
  TActionList ActionList{&ImageList};
  // Ruler n's command toggles slot n; its image index is n.
  TAction& RulerAction(int n) { return *RulerActions_[static_cast<size_t>(n)]; }
  TAction OptionsAction;
  TAction AboutAction;
  TAction HideAction;
  TAction CloseAction;
  TPopupMenu PopupMenu;
  TPopupMenu TrayPopupMenu;
  TTrayIcon TrayIcon;

  void RulerActionExecute(TAction& sender);
  void OptionsActionExecute(TAction& sender);
  void AboutActionExecute(TAction& sender);
  void HideActionExecute(TAction& sender);
  void CloseActionExecute(TAction& sender);
  // Exactly the active ruler's command is checked, or none.
  void UpdateRulerChecks();

  // The Options window, made if it does not exist yet. Start-up provides it:
  // the window stands on this module, not the other way round.
  std::function<TForm&()> OptionsForm;

  static constexpr uint32_t kTrayAnimationMs = 2147483647;

 private:
  TApplication& App_;
  TRulerSlots& Rulers_;
  std::array<std::unique_ptr<TAction>, 10> RulerActions_;
};

}  // namespace vr
