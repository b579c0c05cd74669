#pragma once
// What the rulers reach above them. Start-up points these at the command
// module's tray icon and context menu, the program-wide keyboard filter and
// active-window handler, and, once it is fully made, at the Options window;
// the rulers stand below all of them and know them only this way.

namespace vr {

class TForm;
class TContextMenu;
class TTrayIcon;
struct Message;

// The Options window as the rulers see it: it reloads its controls from the
// active ruler whenever that may have changed.
class TRulerObserver {
 public:
  virtual ~TRulerObserver() = default;
  virtual void RefreshFromRuler() = 0;
};

struct TRulerLinks {
  TTrayIcon* TrayIcon = nullptr;          // follows the active ruler
  TRulerObserver* OptionsForm = nullptr;  // reloads from the active ruler
  TContextMenu* PopupMenu = nullptr;      // every ruler's context menu
  // Every ruler installs these as it is made (RulerKeyHook and
  // ActiveFormChanged); the second also hears each ruler's "this ruler
  // changed" after a render.
  void (*KeyHook)(const Message& msg, bool& handled) = nullptr;
  void (*ActiveFormChanged)(TForm* sender) = nullptr;
};
inline TRulerLinks RulerLinks;

}  // namespace vr
