#pragma once
// The program's top-level windows: rulers and dialogs, what they are asked to
// do and what they tell the program.

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/Geometry.h"
#include "platform/Image.h"

namespace vr {

enum class MouseButton { Left, Right, Middle };

// A mouse message as the user made it: where the pointer was then, which
// button went down or up (for a move: the left), and the buttons held. The
// window may have moved since, and the pointer with it: handlers read the
// point here, never where the pointer is by the time they run.
struct MouseEvent {
  Point Window;  // in the window's own pixels, (0, 0) its top-left corner
  Point Screen;
  MouseButton Button = MouseButton::Left;
  bool LeftHeld = false;
  bool RightHeld = false;
  bool MiddleHeld = false;
};

enum class DialogKey { Enter, Escape };

// What a top-level window tells the program. Every call comes on the UI thread.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual void HandleMouseDown(const MouseEvent&) {}
  virtual void HandleMouseMove(const MouseEvent&) {}
  virtual void HandleMouseUp(const MouseEvent&) {}
  // The pointer left the window, or another window now covers it there.
  // Reported once after moves over the window, with or without the capture.
  virtual void HandleMouseLeave() {}
  // The left button's second press of a double-click, right after that
  // press's HandleMouseDown: a double-click is two presses as well.
  virtual void HandleDoubleClick(const MouseEvent&) {}
  // The windowing system asks the window to close (Alt+F4, the close box).
  virtual void HandleCloseRequest() {}
  // The window shows what the program drew, now or again (a ruler is also
  // painted in place of erasing its background).
  virtual void HandlePaint() {}
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
  // bounds the system proposes for the new density, which the window takes
  // only if it says so.
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

// A native top-level window; destroying the object destroys the window. A
// dialog holds controls, which go before it.
class Window : public ControlHost {
 public:
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
  // Copies the picture to the window at (0, 0), now; from the paint handler,
  // only the part that the paint is for.
  virtual void Present(const Image& picture) = 0;
  // The area, in window pixels, looks different now: the window paints it
  // soon (HandlePaint), and only it.
  virtual void Invalidate(const Rect& area) = 0;

  // Dialog windows.
  // The size of the area inside the frame; the outer bounds follow.
  virtual void SetClientSize(int width, int height) = 0;
  virtual Point ClientSize() const = 0;
  virtual void SetIcon(const MaskedImage& small, const MaskedImage& large) = 0;
  // Dots per inch of the monitor the window is on (96 at 100 %).
  virtual int Dpi() const = 0;
  // Turns input to the program's other windows off while a modal dialog runs.
  virtual void SetEnabled(bool enabled) = 0;
};

}  // namespace vr
