#pragma once
// The ten ruler slots, and which ruler the commands act on.

#include <array>
#include <memory>
#include <vector>

#include "Ruler/RulerForm.h"
#include "Ruler/RulerHost.h"
#include "Ruler/ScreenDensities.h"
#include "forms/TrayIcon.h"

namespace vr {

// Slot n holds ruler n once it has been made; a slot is never emptied. The
// slots own their rulers, which go with them at the end of the run.
class TRulerSlots final : public TRulerHost {
 public:
  explicit TRulerSlots(TApplication& app) : App_(app), Densities_(app.Os()) {}
  ~TRulerSlots();
  TRulerSlots(const TRulerSlots&) = delete;
  TRulerSlots& operator=(const TRulerSlots&) = delete;

  // What the rulers reach above them, once the program has made it: the tray
  // icon and the context menu of the command module, the Options window.
  TTrayIcon* TrayIcon = nullptr;
  TContextMenu* PopupMenu = nullptr;
  TRulerObserver* OptionsForm = nullptr;

  // The ruler of slot n, or nullptr while the slot is empty.
  TRulerForm* operator[](size_t n) const { return n < Slots_.size() ? Slots_[n].get() : nullptr; }
  TApplication& Application() const { return App_; }

  // Makes ruler n into its slot if it is empty; returns it.
  TRulerForm& Make(int n);
  bool GetRulerVisible(int n) const;
  void SetRulerVisible(int n, bool visible);
  void BringRulerToFront(int n);
  // The desktop's monitors changed: every visible ruler that is now wholly
  // off the screens comes back to the nearest one (hidden rulers are seen to
  // when they are next shown), and every ruler reads at the density of the
  // monitor it is now on.
  void KeepVisibleRulersReachable();
  // The monitor under the ruler's centre is calibrated, or goes back to the
  // system's density: every ruler on it reads at once at its new density.
  // false when the store refused to keep it for later runs.
  bool Calibrate(const TRulerForm& ruler, double pixelsPerMm);
  bool ForgetCalibration(const TRulerForm& ruler);
  // The program ends: every ruler made in this run is saved, shown or hidden,
  // in slot order, each exactly as its own close saves it; `closed`, the ruler
  // whose close ended the run, has saved itself already.
  void SaveRulers(const TForm* closed);
  // Another start of the program asks this one to come forward: the visible
  // rulers come to the front, the active one last and with the keyboard; with
  // none visible, ruler 0 is shown.
  void ShowRulersOnRequest();
  // The program's hotkey: with any ruler on the screen, every visible ruler
  // is hidden and remembered, with the one the user worked with last among
  // them; with none, the remembered ones come back in front, that one last
  // and with the keyboard (ruler 0 when none are remembered). Rulers shown or
  // hidden by hand meanwhile count as they are: the next press hides what is
  // on the screen then. Hiding and showing store nothing.
  void HideOrShowRulers();

  // The program's active window if it is a ruler, else the ruler that had the
  // focus most recently, else -1. Visibility plays no part.
  int ActiveRulerIndex() const;
  TRulerForm* ActiveRuler() const;

  // TRulerHost. Run whenever the active window changes, after a ruler's
  // creation and after every render ("this ruler changed"): the tray icon and
  // the Options window follow the active ruler, whichever ruler was drawn.
  void ActiveFormChanged(TForm* sender) override;
  TContextMenu* RulerPopupMenu() override { return PopupMenu; }
  TScreenDensities& Densities() override { return Densities_; }

 private:
  void DensitiesChanged();
  TApplication& App_;
  TScreenDensities Densities_;
  std::array<std::unique_ptr<TRulerForm>, kSlotCount> Slots_;
  // What the last hide by the hotkey hid, in slot order, and which of them
  // had the keyboard last.
  std::vector<int> HotkeyHidden_;
  int HotkeyActive_ = -1;
};

}  // namespace vr
