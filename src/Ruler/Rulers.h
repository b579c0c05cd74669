#pragma once
// The ten ruler slots, and which ruler the commands act on.

#include <array>

#include "Ruler/RulerForm.h"
#include "Ruler/RulerLinks.h"
#include "forms/TrayIcon.h"

namespace vr {

// Slot n holds ruler n once it has been made; a slot is never emptied.
extern std::array<TRulerForm*, kSlotCount> RulerForms;

bool GetRulerVisible(int n);
void SetRulerVisible(int n, bool visible);
void BringRulerToFront(int n);
// The program ends: every ruler made in this run is saved, shown or hidden,
// in slot order, each exactly as its own close saves it; `closed`, the ruler
// whose close ended the run, has saved itself already.
void SaveRulers(const TForm* closed);
// Another start of the program asks this one to come forward: the visible
// rulers come to the front, the active one last and with the keyboard; with
// none visible, ruler 0 is shown.
void ShowRulersOnRequest();
// The desktop's monitors changed: every visible ruler that is now wholly off
// the screens comes back to the nearest one. Hidden rulers are seen to when
// they are next shown.
void KeepVisibleRulersReachable();

// The program's active window if it is a ruler, else the ruler that had the
// focus most recently, else -1. Visibility plays no part.
int ActiveRulerIndex();
TRulerForm* ActiveRuler();

// Run whenever the active window changes, after a ruler's creation and after
// every render ("this ruler changed"): the tray icon and the Options window
// follow the active ruler, whichever ruler was drawn.
void ActiveFormChanged(TForm* sender);

}  // namespace vr
