#pragma once
// What a ruler reaches above itself: the program hands every ruler this when
// it makes it. The rulers stand below the command module and the Options
// window and know them only this way.

namespace vr {

class TForm;
class TContextMenu;
class TScreenDensities;

class TRulerHost {
 public:
  // Every ruler's context menu.
  virtual TContextMenu* RulerPopupMenu() = 0;
  // A ruler was made, or drawn anew: the tray icon and the Options window
  // follow the active ruler, whichever ruler it was (ActiveFormChanged).
  virtual void ActiveFormChanged(TForm* sender) = 0;
  // How dense the screen under a ruler is.
  virtual TScreenDensities& Densities() = 0;

 protected:
  ~TRulerHost() = default;
};

// The Options window as the rulers see it: it reloads its controls from the
// active ruler whenever that may have changed.
class TRulerObserver {
 public:
  virtual void RefreshFromRuler() = 0;

 protected:
  ~TRulerObserver() = default;
};

}  // namespace vr
