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
};

enum class WindowKind {
  Ruler,   // borderless, stay-on-top, owned by the hidden application window
  Dialog,  // framed dialog window
};

struct WindowParams {
  WindowKind Kind = WindowKind::Ruler;
  std::string Caption;
  Rect Bounds;  // initial outer bounds
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

struct Message {
  uint32_t Code = 0;
  uint64_t WParam = 0;  // the virtual-key code for key messages
};

using MessageFilter = std::function<void(const Message& msg, bool& handled)>;

// ---------------------------------------------------------------- the platform

class Platform {
 public:
  virtual ~Platform() = default;

  // Screen
  virtual Point PrimaryDisplaySize() const = 0;
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

  // The application: its hidden owner window, the loop, quitting.
  virtual void SetTitle(const std::string& title) = 0;
  virtual uint32_t AppExStyle() const = 0;
  virtual void SetAppExStyle(uint32_t style) = 0;
  virtual std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                                 WindowHandler& handler) = 0;
  // Runs until Quit. Each message taken from the queue goes to the filter,
  // then to its normal handling. An error escaping a message's handling is
  // passed to ShowError and the loop goes on.
  virtual void RunMessageLoop(const MessageFilter& filter) = 0;
  virtual void Quit() = 0;
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace vr
