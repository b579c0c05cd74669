#pragma once
// The ten ruler slots, and which ruler the commands act on.

#include <array>

#include "Ruler/RulerForm.h"
#include "forms/TrayIcon.h"

namespace vr {

// The Options window as the rulers see it: it reloads its controls from the
// active ruler whenever that may have changed.
class TRulerObserver {
 public:
  virtual ~TRulerObserver() = default;
  virtual void RefreshFromRuler() = 0;
};

// Slot n holds ruler n once it has been made; a slot is never emptied.
extern std::array<TRulerForm*, kSlotCount> RulerForms;

// What the rulers reach above them. Start-up points these at the command
// module's tray icon and context menu and, once it is fully made, at the
// Options window; the rulers stand below both and know them only this way.
struct TRulerLinks {
  TTrayIcon* TrayIcon = nullptr;          // follows the active ruler
  TRulerObserver* OptionsForm = nullptr;  // reloads from the active ruler
  TPopupMenu* PopupMenu = nullptr;        // every ruler's context menu
};
extern TRulerLinks RulerLinks;

bool GetRulerVisible(int n);
void SetRulerVisible(int n, bool visible);
void BringRulerToFront(int n);
// The desktop's monitors changed: every visible ruler that is now wholly off
// the screens comes back to the nearest one. Hidden rulers are seen to when
// they are next shown.
void KeepVisibleRulersReachable();

// The program's active window if it is a ruler, else the ruler that had the
// focus most recently, else -1. Visibility plays no part.
int ActiveRulerIndex();
TRulerForm* ActiveRuler();

// Run whenever the active window changes, after a ruler's creation and after
// every render: the tray icon and the Options window follow the active ruler.
void ActiveFormChanged(TForm* sender);

}  // namespace vr
