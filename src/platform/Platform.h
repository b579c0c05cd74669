#pragma once
// The seam between the program and the operating system. Everything above
// this folder talks to the system only through these interfaces; win32/ is
// the real thing and headless/ an in-memory double for tests. Names say what
// the program asks for, not how Win32 does it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace vr {

struct Point {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const Point&) const = default;
};

// Left/top and size, as a window's bounds or a region in window coordinates.
struct Rect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const Rect&) const = default;
};

// One monitor of the desktop: its whole screen, and its work area (the screen
// less the task bar and other docked bars), in screen pixels.
struct MonitorArea {
  Rect Bounds;
  Rect WorkArea;
  bool operator==(const MonitorArea&) const = default;
};

// ---------------------------------------------------------------- settings store

enum class StoreKind { Integer, Text, ExpandText, Other };

struct StoreValue {
  StoreKind Kind = StoreKind::Other;
  uint32_t Integer = 0;  // for Integer
  std::string Text;      // for Text and ExpandText, without the terminating zero
};

// One open key. Closing happens when the object goes.
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  // nullopt: no value of that name.
  virtual std::optional<StoreValue> Read(const std::string& name) = 0;
  // false: the store refused the write.
  virtual bool WriteInteger(const std::string& name, uint32_t value) = 0;
  virtual bool WriteText(const std::string& name, const std::string& text) = 0;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The path is relative to the current user's root. forWrite creates the key
  // and its parents; reading never creates. nullptr when it can't be opened.
  virtual std::unique_ptr<SettingsKey> Open(const std::string& path, bool forWrite) = 0;
};

// ---------------------------------------------------------------- windows

enum class MouseButton { Left, Right, Middle };

enum class DialogKey { Enter, Escape };

// Windows and controls paint in the desktop's system colours unless given
// one; colour values with the top bit set name a system colour by index.
inline constexpr TColor kDefaultColor = 0x1FFFFFFF;
inline constexpr TColor kSysColorFlag = 0x80000000;
inline constexpr TColor clWindowText = kSysColorFlag | 8;

// What a top-level window tells the program. Every call comes on the UI thread.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual void HandleMouseDown(MouseButton) {}
  virtual void HandleMouseMove() {}
  virtual void HandleMouseUp(MouseButton) {}
  // The windowing system asks the window to close (Alt+F4, WM_CLOSE).
  virtual void HandleCloseRequest() {}
  virtual void HandlePaint() {}
  // true: the handler painted, the default erase must not run.
  virtual bool HandleEraseBackground() { return false; }
  // The window received the keyboard focus.
  virtual void HandleFocus() {}
  // The window became the active window or stopped being it, each time, also
  // to or from another program. When it stops, its control that had the
  // keyboard still has it; when it becomes active, the window itself has it.
  virtual void HandleActivate(bool /*active*/) {}
  // The user asks for the window's context menu: right button released over
  // it, Shift+F10 or the Menu key. From the keyboard there is no pointer, so
  // the point is the window's centre.
  virtual void HandleContextMenu(Point /*screen*/, bool /*fromKeyboard*/) {}
  // Dialog keyboard handling: Enter and Esc in a dialog window. true: used.
  virtual bool HandleDialogKey(DialogKey /*key*/) { return false; }
  // The window moved to a monitor of another density; suggested is the outer
  // bounds the system proposes for the new density.
  virtual void HandleDpiChanged(int /*dpi*/, const Rect& /*suggested*/) {}
};

enum class WindowKind {
  Ruler,   // borderless, stay-on-top, owned by the hidden application window
  Dialog,  // fixed single frame, caption with the close box only, owned likewise
};

struct WindowParams {
  WindowKind Kind = WindowKind::Ruler;
  std::string Caption;
  Rect Bounds;  // initial outer bounds, in screen pixels
  bool StayOnTop = true;
};

// ---------------------------------------------------------------- controls

// The standard controls the program's dialogs are made of. They are the
// system's own, so that the visual style, screen readers and the keyboard
// come with them.
enum class ControlKind {
  Label,         // static text; a click and the pointer's coming and going are reported
  GroupBox,      // framed box with a caption; holds controls
  Panel,         // plain box in its own colour; holds controls
  Bevel,         // a sunken line along the bottom of its bounds
  Picture,       // shows a MaskedImage at its size
  Button,        // push button
  CheckBox,      // check box with its caption
  ComboBox,      // editable text with a drop-down list
  DropDownList,  // choose-only drop-down list
  ColorBox,      // choose-only drop-down list; each item a swatch and a name
  TrackBar,      // horizontal track bar, ticks at the two ends only
  ToolBar,       // vertical strip of picture buttons
};

// A font for a control. Height is the character height in device pixels
// (the form layer scales it to the window's density); Color applies to labels.
struct ControlFont {
  std::string Face = "Tahoma";
  int Height = 11;
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;
  bool operator==(const ControlFont&) const = default;
};

class Control;

struct ControlParams {
  ControlKind Kind = ControlKind::Label;
  Control* Parent = nullptr;  // a GroupBox or Panel; nullptr: the window itself
  Rect Bounds;                // in the parent's client area, in device pixels
  std::string Text;
  ControlFont Font;
  bool Visible = true;
  bool TabStop = false;
  bool DefaultButton = false;         // Button: Enter presses it
  TColor Background = kDefaultColor;  // Panel, Label: their own colour
  bool Transparent = false;           // Label: drawn over its parent's background
  bool AutoSize = false;              // Label: sized to its text; Bounds gives the top left
  int DropDownRows = 8;               // ComboBox, DropDownList, ColorBox
  int Min = 0, Max = 10;              // TrackBar
  int ThumbLength = 16;               // TrackBar, in device pixels
};

// One button of a ToolBar.
struct ToolButtonSpec {
  MaskedImage Picture;
  bool Check = false;  // a check button (shows pressed while down)
  std::string Hint;    // tool tip and accessible name
};

// What a control tells the program. Only the user's own actions are
// reported: a change the program makes never comes back as an event.
class ControlHandler {
 public:
  virtual ~ControlHandler() = default;
  virtual void HandleClick() {}            // Button, CheckBox (state already toggled), Label
  virtual void HandleTextEdited() {}       // ComboBox: the user changed the text
  virtual void HandleItemChosen() {}       // ComboBox, DropDownList, ColorBox
  virtual void HandlePositionChanged() {}  // TrackBar moved by the user
  virtual void HandleButtonClick(int /*index*/) {}  // ToolBar
  virtual void HandleMouseEnter() {}                // Label
  virtual void HandleMouseLeave() {}                // Label
};

// A native child control of a top-level window. Operations that do not apply
// to a control's kind do nothing (or read as empty). Destroying it destroys
// the control.
class Control {
 public:
  virtual ~Control() = default;
  virtual void SetBounds(const Rect& bounds) = 0;  // device pixels, in the parent
  virtual void SetVisible(bool visible) = 0;
  virtual void SetFont(const ControlFont& font) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Checked() const = 0;
  // ComboBox, DropDownList, ColorBox: the list, and the selected item (-1 none).
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemIndex() const = 0;
  // ColorBox: the swatch of each item, in item order.
  virtual void SetItemColors(const std::vector<TColor>& colors) = 0;
  // TrackBar
  virtual void SetRange(int min, int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Position() const = 0;
  // The thumb's length across the bar, in device pixels.
  virtual void SetThumbLength(int length) = 0;
  // Picture
  virtual void SetPicture(const MaskedImage& picture) = 0;
  // ToolBar
  virtual void SetButtons(const std::vector<ToolButtonSpec>& buttons) = 0;
  virtual void SetButtonDown(int index, bool down) = 0;
  virtual void Focus() = 0;
  virtual bool Focused() const = 0;
};

// A native top-level window; destroying the object destroys the window.
class Window {
 public:
  virtual ~Window() = default;
  virtual void SetBounds(const Rect& bounds) = 0;
  virtual Rect Bounds() const = 0;
  // A rectangular shape in window coordinates, handed over to the system.
  virtual void SetRegion(const Rect& region) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Top of the Z order (of the stay-on-top group for rulers) and activated.
  virtual void Raise() = 0;
  virtual void Focus() = 0;
  // Constant opacity while enabled; fully opaque otherwise.
  virtual void SetOpacity(bool enabled, uint8_t alpha) = 0;
  virtual void CaptureMouse() = 0;
  virtual bool HasMouseCapture() const = 0;
  virtual void ReleaseMouse() = 0;
  // Copies the picture to the window at (0, 0), now.
  virtual void Present(const Image& picture) = 0;

  // Dialog windows.
  // The size of the area inside the frame; the outer bounds follow.
  virtual void SetClientSize(int width, int height) = 0;
  virtual Point ClientSize() const = 0;
  virtual void SetIcon(const MaskedImage& small, const MaskedImage& large) = 0;
  // Dots per inch of the monitor the window is on (96 at 100 %).
  virtual int Dpi() const = 0;
  virtual std::unique_ptr<Control> CreateControl(const ControlParams& params,
                                                 ControlHandler& handler) = 0;
  // Turns input to the program's other windows off while a modal dialog runs.
  virtual void SetEnabled(bool enabled) = 0;
};

// ---------------------------------------------------------------- menus

struct MenuItemSpec {
  std::string Caption;       // "&" marks the next character as the access key
  std::string ShortcutText;  // shown beside the caption, e.g. "Alt+5"; may be empty
  bool Separator = false;
  bool RadioItem = false;  // a radio item shows its check as a dot
  bool Checked = false;
  MaskedImage Picture;  // empty: none
};

// ---------------------------------------------------------------- tray icon

// What the notification-area icon tells the program.
class TrayIconHandler {
 public:
  virtual ~TrayIconHandler() = default;
  // The right mouse button was released over the icon, at time on the clock
  // of Platform::TickCount.
  virtual void HandleTrayRightButtonUp(uint32_t /*time*/) {}
  // The desktop shell announced a notification area ("TaskbarCreated"): it
  // started late, at log-on, or started again and lost its icons.
  virtual void HandleTrayAreaCreated() {}
};

// What the notification area answered to an icon's add.
enum class TrayAddResult {
  Added,     // the icon is in it
  NoArea,    // there is no notification area (yet): the desktop shell is not running
  TimedOut,  // the shell was too busy to answer in time; the icon may be there all the same
  Refused,   // the notification area answered, and would not take the icon
};

// A repeating timer; stopped when the object goes.
class Timer {
 public:
  virtual ~Timer() = default;
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

// ---------------------------------------------------------------- text

// One line of text rasterised upright: Coverage is Width x Height bytes, row by
// row, 0 empty .. 255 full. Height is the whole cell, from its top to the
// bottom of the descent; Advance the pen advance along the line.
struct TextMask {
  int Advance = 0;
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;
};

// ---------------------------------------------------------------- messages

// Message codes the program looks at; the values are the Win32 ones so that a
// message means the same on every platform.
inline constexpr uint32_t kMsgKeyDown = 0x0100;
inline constexpr uint32_t kMsgKeyUp = 0x0101;
inline constexpr uint32_t kMsgChar = 0x0102;
inline constexpr uint32_t kMsgSysKeyDown = 0x0104;

// Virtual-key codes that more than one part of the program names; again the
// Win32 values.
inline constexpr uint16_t kVkReturn = 13;
inline constexpr uint16_t kVkShift = 0x10;
inline constexpr uint16_t kVkControl = 0x11;
inline constexpr uint16_t kVkMenu = 0x12;  // Alt
inline constexpr uint16_t kVkEscape = 27;
inline constexpr uint16_t kVkApps = 93;  // the Menu key
inline constexpr uint16_t kVkF4 = 115;
inline constexpr uint16_t kVkF10 = 121;

struct Message {
  uint32_t Code = 0;
  uint64_t WParam = 0;  // the virtual-key code for key messages
  // The top-level window the message is for (for a key: the one holding the
  // focus, or the one whose control holds it); nullptr for none of ours.
  WindowHandler* Target = nullptr;
};

// Sees every message taken from the queue before its normal handling; true
// means the program dealt with it (a shortcut) and it goes no further. It
// never throws.
using MessageFilter = std::function<bool(const Message& msg)>;

// ---------------------------------------------------------------- the platform

class TextMaskCache;

class Platform {
 public:
  virtual ~Platform() = default;

  // Screen
  virtual Point PrimaryDisplaySize() const = 0;
  // Every monitor, the primary one first.
  virtual std::vector<MonitorArea> Monitors() const = 0;
  // Screen font families in any character set, each once, in no order.
  virtual std::vector<std::string> ScreenFontFamilies() const = 0;
  virtual Point CursorPos() const = 0;
  virtual int PixelsPerInch() const = 0;
  virtual TColor SysColor(int index) const = 0;
  // A key is down in the key state that goes with the message being handled.
  virtual bool KeyDown(int virtualKey) const = 0;

  // Settings store under the current user.
  virtual SettingsStore& Store() = 0;

  // Text, upright; turning and colouring is the caller's.
  virtual TextMask RenderText(const std::string& face, int pixelHeight,
                              const std::string& text) = 0;
  // Text this platform has rasterised, kept for later renders (TextMaskCache.h).
  TextMaskCache& TextMasks();

  // The application: its hidden owner window, the loop, quitting.
  virtual void SetTitle(const std::string& title) = 0;
  virtual uint32_t AppExStyle() const = 0;
  virtual void SetAppExStyle(uint32_t style) = 0;
  virtual std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                                 WindowHandler& handler) = 0;
  // Runs until Quit. Each message taken from the queue goes to the filter,
  // then, unless the filter took it, to its normal handling (dialog keys in
  // dialog windows, translation, dispatch). An error escaping a handler is
  // passed to ShowError and the loop goes on with the next message.
  virtual void RunMessageLoop(const MessageFilter& filter) = 0;
  // The same loop while a modal dialog runs: it returns when done() says so
  // after a message, or false at once when a quit request arrives, which is
  // left for the outer loop.
  virtual bool RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) = 0;
  // Handles the messages already waiting, then returns.
  virtual void ProcessPendingMessages(const MessageFilter& filter) = 0;
  virtual void Quit() = 0;
  virtual void ShowError(const std::string& text) = 0;
  // Called when the desktop's monitors or their arrangement change.
  virtual void SetDisplayChangeHandler(std::function<void()> handler) = 0;
  // Milliseconds on the clock that stamps input; it wraps after 49.7 days.
  virtual uint32_t TickCount() const = 0;
  // Calls tick every interval milliseconds from the message loop, from the
  // first interval on, until the timer goes.
  virtual std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) = 0;
  // Dots per inch of the monitor at a screen point: menus scale their pictures.
  virtual int DpiAt(Point screen) const = 0;

  // Opens a popup menu at a screen point and returns the index of the item
  // chosen, or -1 when the menu was dismissed.
  virtual int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) = 0;
  // The program becomes the foreground application (before a tray menu).
  virtual void BringAppToForeground() = 0;
  // An icon for the notification area, not in it yet: its Add puts it there.
  virtual std::unique_ptr<TrayIcon> CreateTrayIcon(const MaskedImage& picture,
                                                   const std::string& tip,
                                                   TrayIconHandler& handler) = 0;
  // The system's colour chooser, preset to initial; nullopt when cancelled.
  virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
  // Asks the desktop shell to open a link, such as a mailto: one; the result
  // is not reported.
  virtual void OpenLink(const std::string& url) = 0;

 private:
  std::shared_ptr<TextMaskCache> TextMasks_;  // made on first use
};

}  // namespace vr
