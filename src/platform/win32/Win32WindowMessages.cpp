// A top-level window's messages: each becomes a call of its handler, and an
// error of the handler stays out of the system's frames.

#include <windowsx.h>

#include <exception>

#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32 {

namespace {

// Points the window's drawing DC at the one of a paint or erase, and back when
// the scope ends, unless the handler destroyed the window meanwhile.
class DcOverride {
 public:
  DcOverride(HDC& slot, HDC dc, std::shared_ptr<bool> alive)
      : Slot_(slot), Previous_(slot), Alive_(std::move(alive)) {
    slot = dc;
  }
  ~DcOverride() {
    if (*Alive_) Slot_ = Previous_;
  }
  DcOverride(const DcOverride&) = delete;
  DcOverride& operator=(const DcOverride&) = delete;

 private:
  HDC& Slot_;
  HDC Previous_;
  std::shared_ptr<bool> Alive_;
};

}  // namespace

// Touches no member after the call: the handler may have destroyed this window.
template <typename Call>
std::optional<std::string> Win32Window::CallHandler(Call&& call) noexcept {
  if (!Handler_) return std::nullopt;
  try {
    call(*Handler_);
  } catch (const std::exception& e) {
    return std::string(e.what());
  } catch (...) {
    return std::string("An unknown error occurred.");
  }
  return std::nullopt;
}

template <typename Call>
void Win32Window::Notify(Call&& call) noexcept {
  // Taken first: the handler may destroy this window.
  const WindowGroup& group = Group_;
  if (auto error = CallHandler(std::forward<Call>(call))) group.ReportError(*error);
}

void Win32Window::NotifyFocus() {
  Notify([](WindowHandler& h) { h.HandleFocus(); });
}

void Win32Window::ContextMenu(HWND hwnd, LPARAM lParam) {
  Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const bool fromKeyboard = lParam == -1;
  if (fromKeyboard) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    at = {static_cast<int32_t>((int64_t{r.left} + r.right) / 2),
          static_cast<int32_t>((int64_t{r.top} + r.bottom) / 2)};
  }
  Notify([at, fromKeyboard](WindowHandler& h) { h.HandleContextMenu(at, fromKeyboard); });
}

LRESULT Win32Window::Paint(HWND hwnd) {
  const WindowGroup& group = Group_;
  std::optional<std::string> error;
  {
    PaintScope paint(hwnd);
    DcOverride useDc(PaintDc_, paint.Dc(), Alive_);
    PaintArea_ = paint.Area();
    const auto alive = Alive_;
    error = CallHandler([](WindowHandler& h) { h.HandlePaint(); });
    if (*alive) PaintArea_.reset();
  }
  // After EndPaint: the message box runs its own loop, and this paint is over.
  if (error) group.ReportError(*error);
  return 0;
}

LRESULT Win32Window::EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  // A dialog's face is the class's brush; a ruler paints every pixel itself,
  // so it paints instead of being erased and never flashes a background.
  if (Kind_ != WindowKind::Ruler) return ::DefWindowProcW(hwnd, WM_ERASEBKGND, wParam, lParam);
  const WindowGroup& group = Group_;
  const auto alive = Alive_;
  std::optional<std::string> error;
  {
    DcOverride useDc(PaintDc_, reinterpret_cast<HDC>(wParam), alive);
    error = CallHandler([](WindowHandler& h) { h.HandlePaint(); });
  }
  if (error) group.ReportError(*error);
  return 0;
}

// hwnd, not Hwnd(): during destruction the member is already cleared. After a
// handler call nothing here touches a member: the handler may have destroyed
// its window.
LRESULT Win32Window::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Enter and Esc as the dialog manager reports them: IDOK or IDCANCEL. Our
  // controls' ids start at 1000, so these come from no control of ours, even
  // where the system names the focused control as their sender; the controls
  // must not take them for a click of their own.
  if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    const DialogKey key = LOWORD(wParam) == IDOK ? DialogKey::Enter : DialogKey::Escape;
    Notify([key](WindowHandler& h) { h.HandleDialogKey(key); });
    return 0;
  }
  if (LRESULT routed = 0; RouteControlMessage(Group_.Controls(), hwnd, msg, wParam, lParam, routed))
    return routed;
  // The point the message carries, on the screen too: the window is where
  // it was when the message was taken from the queue.
  auto mouseEvent = [hwnd, wParam, lParam](MouseButton b) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const Point window{screen.x, screen.y};
    ::ClientToScreen(hwnd, &screen);
    return MouseEvent{window,
                      {screen.x, screen.y},
                      b,
                      (wParam & MK_LBUTTON) != 0,
                      (wParam & MK_RBUTTON) != 0,
                      (wParam & MK_MBUTTON) != 0};
  };
  auto mouseDown = [this, &mouseEvent](MouseButton b) {
    const MouseEvent e = mouseEvent(b);
    Notify([&e](WindowHandler& h) { h.HandleMouseDown(e); });
  };
  // Asked again after each leave, since the system reports one leave per
  // request; and after a release, which may end a drag with the pointer at
  // rest over the window.
  auto trackLeave = [this, hwnd] {
    if (TrackingLeave_) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
    TrackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
  };
  auto mouseUp = [this, &trackLeave, &mouseEvent](MouseButton b) {
    trackLeave();
    const MouseEvent e = mouseEvent(b);
    Notify([&e](WindowHandler& h) { h.HandleMouseUp(e); });
  };
  switch (msg) {
    case WM_LBUTTONDOWN:
      mouseDown(MouseButton::Left);
      return 0;
    case WM_RBUTTONDOWN:
      mouseDown(MouseButton::Right);
      return 0;
    case WM_MBUTTONDOWN:
      mouseDown(MouseButton::Middle);
      return 0;
    case WM_LBUTTONDBLCLK: {
      // The second press is a press as well: it starts a drag like any other.
      const auto alive = Alive_;
      const MouseEvent e = mouseEvent(MouseButton::Left);
      mouseDown(MouseButton::Left);
      if (*alive) Notify([&e](WindowHandler& h) { h.HandleDoubleClick(e); });
      return 0;
    }
    case WM_LBUTTONUP:
      mouseUp(MouseButton::Left);
      return 0;
    case WM_RBUTTONUP:
      // Not returned at once: DefWindowProc turns it into WM_CONTEXTMENU.
      mouseUp(MouseButton::Right);
      break;
    case WM_MBUTTONUP:
      mouseUp(MouseButton::Middle);
      return 0;
    case WM_MOUSEMOVE: {
      trackLeave();
      const MouseEvent e = mouseEvent(MouseButton::Left);
      Notify([&e](WindowHandler& h) { h.HandleMouseMove(e); });
      return 0;
    }
    case WM_MOUSELEAVE:
      TrackingLeave_ = false;
      Notify([](WindowHandler& h) { h.HandleMouseLeave(); });
      return 0;
    case WM_CONTEXTMENU:
      // From a control too: the window's menu, if it has one, is the program's.
      ContextMenu(hwnd, lParam);
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const Rect bounds{suggested->left, suggested->top, suggested->right - suggested->left,
                        suggested->bottom - suggested->top};
      const int dpi = LOWORD(wParam);
      Notify([dpi, bounds](WindowHandler& h) { h.HandleDpiChanged(dpi, bounds); });
      return 0;
    }
    case WM_CLOSE:
      // What a close does is the program's decision; the default would destroy.
      Notify([](WindowHandler& h) { h.HandleCloseRequest(); });
      return 0;
    case WM_PAINT:
      return Paint(hwnd);
    case WM_ERASEBKGND:
      return EraseBackground(hwnd, wParam, lParam);
    case WM_ACTIVATE: {
      const auto alive = Alive_;
      if (LOWORD(wParam) == WA_INACTIVE) {
        // Before the focus leaves: the handler notes which control has it.
        Notify([](WindowHandler& h) { h.HandleActivate(false); });
        return *alive ? ::DefWindowProcW(hwnd, msg, wParam, lParam) : 0;
      }
      // Default first: it moves the focus into the window, which may already
      // report it through WM_SETFOCUS; the program takes a report of the
      // window it has as focused already for none.
      const LRESULT result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
      if (*alive) Group_.ReportFocus(*this);
      // During a destruction the handler hears of it from the queue, below.
      if (*alive && !Group_.Destroying()) Notify([](WindowHandler& h) { h.HandleActivate(true); });
      return result;
    }
    case WM_SETFOCUS:
      Group_.ReportFocus(*this);
      return 0;
    case kMsgDeferredFocus:
      if (::GetActiveWindow() == hwnd) {
        const auto alive = Alive_;
        Group_.ReportFocus(*this);
        if (*alive) Notify([](WindowHandler& h) { h.HandleActivate(true); });
      }
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      static_cast<void>(Hwnd_.release());  // the system has destroyed it
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self =
        static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Hwnd_.reset(hwnd);
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->HandleMessage(hwnd, msg, wParam, lParam);
}

}  // namespace vr::win32
