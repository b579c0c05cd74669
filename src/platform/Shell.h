#pragma once
// The desktop shell around the windows: popup menus, the notification-area
// icon, timers, the colour chooser and links.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"

namespace vr {

struct MenuItemSpec {
  std::string Caption;       // "&" marks the next character as the access key
  std::string ShortcutText;  // shown beside the caption, e.g. "Alt+5"; may be empty
  bool Separator = false;
  bool RadioItem = false;  // a radio item shows its check as a dot
  bool Checked = false;
  MaskedImage Picture;  // empty: none
};

// What the notification-area icon tells the program.
class TrayIconHandler {
 public:
  virtual ~TrayIconHandler() = default;
  // The right mouse button was released over the icon, at time on the clock
  // of WindowSystem::TickCount, with the pointer at this screen point.
  virtual void HandleTrayRightButtonUp(uint32_t /*time*/, Point /*at*/) {}
  // The desktop shell announced a notification area: it started late, at
  // log-on, or started again and lost its icons.
  virtual void HandleTrayAreaCreated() {}
};

// What the notification area answered to an icon's add.
enum class TrayAddResult {
  Added,     // the icon is in it
  NoArea,    // there is no notification area (yet): the desktop shell is not running
  TimedOut,  // the shell was too busy to answer in time; the icon may be there all the same
  Refused,   // the notification area answered, and would not take the icon
};

// The program's icon for the notification area; taken out of it when the
// object goes.
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Puts the icon into the notification area.
  virtual TrayAddResult Add() = 0;
  // Hands the icon over again as a change to one the area has; false when
  // the area does not have it.
  virtual bool Modify() = 0;
  // Shown at once while the icon is in the area, and by the next Add.
  virtual void SetPicture(const MaskedImage& picture) = 0;
};

// A repeating timer, or a call waiting for the loop to be idle; stopped when
// the object goes.
class Timer {
 public:
  virtual ~Timer() = default;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a popup menu at a screen point and returns the index of the item
  // chosen, or -1 when the menu was dismissed.
  virtual int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) = 0;
  // The program becomes the foreground application (before a tray menu).
  virtual void BringAppToForeground() = 0;
  // An icon for the notification area, not in it yet: its Add puts it there.
  virtual std::unique_ptr<TrayIcon> CreateTrayIcon(const MaskedImage& picture,
                                                   const std::string& tip,
                                                   TrayIconHandler& handler) = 0;
  // Calls tick every interval milliseconds from the message loop, from the
  // first interval on, until the timer goes.
  virtual std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) = 0;
  // Calls task once from the message loop when it has nothing else to do:
  // after the messages and input waiting, and after the windows on the
  // screen have painted.
  virtual std::unique_ptr<Timer> CallWhenIdle(std::function<void()> task) = 0;
  // The system's colour chooser, preset to initial; nullopt when cancelled.
  virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
  // Asks the desktop shell to open a link, such as a mailto: one; the result
  // is not reported.
  virtual void OpenLink(const std::string& url) = 0;
  // Puts plain text on the clipboard, replacing what it held; false when the
  // clipboard could not be had.
  virtual bool SetClipboardText(const std::string& text) = 0;
};

}  // namespace vr
