#include "platform/win32/Win32Window.h"

#include <windowsx.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <stdexcept>

#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// Functions of newer systems, looked up once; null where the system lacks them.
template <typename Function>
Function* User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function*>(
                      reinterpret_cast<void (*)()>(::GetProcAddress(user32, name)))
                : nullptr;
}

using GetDpiForWindowFunction = UINT WINAPI(HWND);
using AdjustWindowRectExForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);

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

void ConvertToDib(const Image& picture, std::vector<uint32_t>& dib) {
  // resize keeps the buffer when the size stays, as it does between renders.
  dib.resize(picture.Pixels().size());
  std::transform(picture.Pixels().begin(), picture.Pixels().end(), dib.begin(), ToDibPixel);
}

void WindowGroup::ReportFocus(Win32Window& window) {
  const HWND hwnd = window.Hwnd();
  if (!hwnd || hwnd == FocusReported_) return;
  if (Destroying_ > 0) {
    ::PostMessageW(hwnd, kMsgDeferredFocus, 0, 0);
    return;
  }
  FocusReported_ = hwnd;
  window.NotifyFocus();
}

void WindowGroup::WindowDestroyed(HWND hwnd) {
  // A later window may get the same handle value; it must be reported.
  if (FocusReported_ == hwnd) FocusReported_ = nullptr;
}

void WindowGroup::DeferMove(Win32Window& window) { PendingMoves_.push_back(&window); }

void WindowGroup::ForgetMove(Win32Window& window) { std::erase(PendingMoves_, &window); }

void WindowGroup::FlushMoves() {
  auto pending = std::move(PendingMoves_);
  PendingMoves_.clear();
  for (Win32Window* w : pending) w->FlushMove();
}

bool WindowGroup::HandleMenuPicture(UINT msg, LPARAM lParam) const {
  if (!MenuPictures_) return false;
  const auto picture = [this](ULONG_PTR index) -> HBITMAP {
    return index < MenuPictures_->size() ? (*MenuPictures_)[index].get() : nullptr;
  };
  if (msg == WM_MEASUREITEM) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    BITMAP bm{};
    if (item.CtlType != ODT_MENU || !::GetObjectW(picture(item.itemData), sizeof bm, &bm))
      return false;
    // A quarter of the picture's width apart from the caption.
    item.itemWidth = static_cast<UINT>(bm.bmWidth + bm.bmWidth / 4);
    item.itemHeight = static_cast<UINT>(bm.bmHeight);
    return true;
  }
  auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  BITMAP bm{};
  if (item.CtlType != ODT_MENU || !::GetObjectW(picture(item.itemData), sizeof bm, &bm))
    return false;
  MemoryDcHandle source(::CreateCompatibleDC(item.hDC));
  if (!source) return true;
  SelectedObject selected(source.get(), picture(item.itemData));
  const RECT& r = item.rcItem;
  const int top = r.top + std::max(0, static_cast<int>((r.bottom - r.top - bm.bmHeight) / 2));
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::GdiAlphaBlend(item.hDC, r.left, top, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, bm.bmWidth,
                  bm.bmHeight, blend);
  return true;
}

WindowGroup::OpenMenu::OpenMenu(WindowGroup& group, const std::vector<BitmapHandle>& pictures,
                                HWND owner)
    : Group_(group), Previous_(std::exchange(group.MenuPictures_, &pictures)), Owner_(owner) {
  // Each open menu its own id: a menu opened from another on the same owner
  // stacks its subclass on the first and takes only its own away.
  Subclassed_ = Owner_ && ::SetWindowSubclass(Owner_, &OwnerProc, reinterpret_cast<UINT_PTR>(this),
                                              reinterpret_cast<DWORD_PTR>(&Group_));
}

WindowGroup::OpenMenu::~OpenMenu() {
  if (Subclassed_) ::RemoveWindowSubclass(Owner_, &OwnerProc, reinterpret_cast<UINT_PTR>(this));
  Group_.MenuPictures_ = Previous_;
}

LRESULT CALLBACK WindowGroup::OpenMenu::OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR, DWORD_PTR group) {
  // wParam 0: a menu's item, not a control's.
  if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && wParam == 0 &&
      reinterpret_cast<const WindowGroup*>(group)->HandleMenuPicture(msg, lParam))
    return TRUE;
  return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

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
  Platform& os = Group_.Os();
  if (auto error = CallHandler(std::forward<Call>(call))) os.ShowError(*error);
}

void Win32Window::NotifyFocus() {
  Notify([](WindowHandler& h) { h.HandleFocus(); });
}

Win32Window::~Win32Window() {
  // The handler may already be half gone: nothing more reaches it.
  Handler_ = nullptr;
  Group_.ForgetMove(*this);
  *Alive_ = false;
  if (Hwnd_) {
    WindowGroup::DestroyScope destroying(Group_);
    Hwnd_.reset();
  }
}

void Win32Window::Create(const WindowParams& params, HWND owner, HINSTANCE instance) {
  Kind_ = params.Kind;
  const bool ruler = params.Kind == WindowKind::Ruler;
  // A dialog: a fixed frame with a caption and the close box only.
  const DWORD style = ruler ? WS_POPUP : WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle =
      ruler ? WS_EX_TOPMOST | WS_EX_LAYERED
            : WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (params.StayOnTop ? WS_EX_TOPMOST : 0);
  const std::wstring caption = Widen(params.Caption);
  // WM_NCCREATE attaches the handle to this object (see WindowProc).
  const HWND hwnd =
      ::CreateWindowExW(exStyle, ruler ? kRulerClassName : kDialogClassName, caption.c_str(), style,
                        params.Bounds.Left, params.Bounds.Top, std::max(params.Bounds.Width, 0),
                        std::max(params.Bounds.Height, 0), owner, nullptr, instance, this);
  if (!hwnd) {
    throw std::runtime_error("Could not create the window \"" + params.Caption + "\" (error " +
                             std::to_string(::GetLastError()) + ").");
  }
  // A layered window shows nothing until it has its attributes; opaque until
  // the program asks for an opacity.
  if (ruler) ::SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA);
}

// Every request checks the handle: after the system destroyed the window (its
// owner went first), a null one would mean "the desktop" or "no window".
void Win32Window::SetBounds(const Rect& bounds) {
  if (!Hwnd()) return;
  const Rect now = OnScreen();
  const bool sameSize = now.Width == bounds.Width && now.Height == bounds.Height;
  // Each move costs the windowing system a round trip; when more keys or
  // mouse moves are already waiting, the next one will move the window again.
  const DWORD waiting = HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_POSTMESSAGE));
  if (sameSize && waiting != 0) {
    if (!PendingMove_) Group_.DeferMove(*this);
    PendingMove_ = bounds;
    return;
  }
  PendingMove_.reset();
  Place(bounds);
}

void Win32Window::FlushMove() {
  if (!PendingMove_ || !Hwnd()) return;
  const Rect b = *PendingMove_;
  PendingMove_.reset();
  Place(b);
}

void Win32Window::Place(const Rect& b) {
  ::SetWindowPos(Hwnd(), nullptr, b.Left, b.Top, std::max(b.Width, 0), std::max(b.Height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Window::OnScreen() const {
  RECT r{};
  if (!::GetWindowRect(Hwnd(), &r)) return {};
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect Win32Window::Bounds() const { return PendingMove_ ? *PendingMove_ : OnScreen(); }

void Win32Window::SetRegion(const Rect& region) {
  if (!Hwnd()) return;
  FlushMove();
  RegionHandle rgn(::CreateRectRgn(region.Left, region.Top,
                                   ClampToInt(int64_t{region.Left} + region.Width),
                                   ClampToInt(int64_t{region.Top} + region.Height)));
  if (!rgn) return;
  // Once given to the window the region is the system's.
  if (::SetWindowRgn(Hwnd(), rgn.get(), FALSE)) static_cast<void>(rgn.release());
}

void Win32Window::SetVisible(bool visible) {
  if (!Hwnd()) return;
  FlushMove();
  // Showing does not activate: the program raises and focuses when it means to.
  ::ShowWindow(Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::Raise() {
  if (!Hwnd()) return;
  FlushMove();
  // For a stay-on-top window HWND_TOPMOST is the top of its group, as
  // HWND_TOP is meant to be; Wine puts such a window at the bottom of the
  // group for HWND_TOP.
  const bool topmost = (::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  ::SetWindowPos(Hwnd(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // SetWindowPos activates only within the thread's own windows; the program
  // means "this window, in front, taking input".
  ::SetForegroundWindow(Hwnd());
}

void Win32Window::Focus() {
  if (!Hwnd()) return;
  // Keyboard focus goes only to a window of the foreground thread.
  if (::GetForegroundWindow() != Hwnd()) ::SetForegroundWindow(Hwnd());
  ::SetFocus(Hwnd());
}

void Win32Window::SetOpacity(bool enabled, uint8_t alpha) {
  if (!Hwnd()) return;
  const LONG_PTR exStyle = ::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE);
  if (enabled) {
    if (!(exStyle & WS_EX_LAYERED))
      ::SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(Hwnd(), 0, alpha, LWA_ALPHA);
  } else if (exStyle & WS_EX_LAYERED) {
    ::SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    // Leaving layered mode drops the window's picture; ask for it again.
    ::RedrawWindow(Hwnd(), nullptr, nullptr,
                   RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void Win32Window::CaptureMouse() {
  if (Hwnd()) ::SetCapture(Hwnd());
}

bool Win32Window::HasMouseCapture() const { return Hwnd() != nullptr && ::GetCapture() == Hwnd(); }

void Win32Window::ReleaseMouse() {
  // Only this window's capture: another window's drag is not ours to end.
  if (HasMouseCapture()) ::ReleaseCapture();
}

void Win32Window::Present(const Image& picture) {
  if (!Hwnd() || picture.Empty()) return;
  ConvertToDib(picture, Dib_);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.Width();
  info.bmiHeader.biHeight = -picture.Height();  // top-down rows, as the picture has them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  auto copy = [&](HDC dc) {
    ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(picture.Width()),
                        static_cast<DWORD>(picture.Height()), 0, 0, 0,
                        static_cast<UINT>(picture.Height()), Dib_.data(), &info, DIB_RGB_COLORS);
  };
  if (PaintDc_) {
    copy(PaintDc_);
  } else {
    WindowDc dc(Hwnd());
    if (dc.Get()) copy(dc.Get());
  }
}

SIZE Win32Window::OuterSize(int clientWidth, int clientHeight) const {
  RECT r{0, 0, std::max(clientWidth, 0), std::max(clientHeight, 0)};
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE));
  // The frame's metrics follow the monitor's density where the system can say so.
  static auto* const adjustForDpi =
      User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(Dpi())))
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

void Win32Window::SetClientSize(int width, int height) {
  if (!Hwnd()) return;
  FlushMove();
  const SIZE outer = OuterSize(width, height);
  // The top left stays where it is.
  ::SetWindowPos(Hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point Win32Window::ClientSize() const {
  RECT r{};
  if (!Hwnd() || !::GetClientRect(Hwnd(), &r)) return {};
  return {r.right - r.left, r.bottom - r.top};
}

void Win32Window::SetIcon(const MaskedImage& small, const MaskedImage& large) {
  if (!Hwnd()) return;
  IconHandle smallIcon = MakeIcon(small);
  IconHandle largeIcon = MakeIcon(large);
  // The window lets go of the old icons before they are destroyed.
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon.get()));
  SmallIcon_ = std::move(smallIcon);
  LargeIcon_ = std::move(largeIcon);
}

int Win32Window::Dpi() const {
  static auto* const dpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = Hwnd() && dpiForWindow ? dpiForWindow(Hwnd()) : 0;
  if (dpi > 0) return static_cast<int>(dpi);
  // Older systems scale every window by the system's density.
  return Group_.Os().PixelsPerInch();
}

std::unique_ptr<Control> Win32Window::CreateControl(const ControlParams& params,
                                                    ControlHandler& handler) {
  return CreateWin32Control(Hwnd(), Group_.Os(), params, handler);
}

void Win32Window::SetEnabled(bool enabled) {
  if (Hwnd()) ::EnableWindow(Hwnd(), enabled ? TRUE : FALSE);
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
  Platform& os = Group_.Os();
  std::optional<std::string> error;
  {
    PaintScope paint(hwnd);
    DcOverride useDc(PaintDc_, paint.Dc(), Alive_);
    error = CallHandler([](WindowHandler& h) { h.HandlePaint(); });
  }
  // After EndPaint: the message box runs its own loop, and this paint is over.
  if (error) os.ShowError(*error);
  return 0;
}

LRESULT Win32Window::EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  Platform& os = Group_.Os();
  const auto alive = Alive_;
  bool painted = false;
  std::optional<std::string> error;
  {
    DcOverride useDc(PaintDc_, reinterpret_cast<HDC>(wParam), alive);
    error = CallHandler([&painted](WindowHandler& h) { painted = h.HandleEraseBackground(); });
  }
  if (error) os.ShowError(*error);
  if (painted || error || !*alive) return 0;
  return ::DefWindowProcW(hwnd, WM_ERASEBKGND, wParam, lParam);
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
  if (LRESULT routed = 0; RouteControlMessage(hwnd, msg, wParam, lParam, routed)) return routed;
  auto mouseDown = [this](MouseButton b) {
    Notify([b](WindowHandler& h) { h.HandleMouseDown(b); });
  };
  auto mouseUp = [this](MouseButton b) { Notify([b](WindowHandler& h) { h.HandleMouseUp(b); }); };
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
    case WM_MOUSEMOVE:
      Notify([](WindowHandler& h) { h.HandleMouseMove(); });
      return 0;
    case WM_CONTEXTMENU:
      // From a control too: the window's menu, if it has one, is the program's.
      ContextMenu(hwnd, lParam);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Shift+F10 asks for the context menu. Not every system's default
      // handling says so for a borderless window; this one does for all. The
      // system itself turns the Menu key into the request.
      if (wParam == VK_F10 && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
          ::GetKeyState(VK_MENU) >= 0) {
        ContextMenu(hwnd, -1);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      // Rulers measure in screen pixels at every density: only dialogs scale.
      if (Kind_ == WindowKind::Dialog) {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const Rect bounds{suggested->left, suggested->top, suggested->right - suggested->left,
                          suggested->bottom - suggested->top};
        const int dpi = LOWORD(wParam);
        Notify([dpi, bounds](WindowHandler& h) { h.HandleDpiChanged(dpi, bounds); });
      }
      return 0;
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
      // report it through WM_SETFOCUS; the group reports a window once.
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
      Group_.WindowDestroyed(hwnd);
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
