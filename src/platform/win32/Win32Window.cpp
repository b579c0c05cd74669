#include "platform/win32/Win32Window.h"

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

}  // namespace

void ConvertToDib(const Image& picture, std::vector<uint32_t>& dib) {
  // resize keeps the buffer when the size stays, as it does between renders.
  dib.resize(picture.Pixels().size());
  std::transform(picture.Pixels().begin(), picture.Pixels().end(), dib.begin(), ToDibPixel);
}

void WindowGroup::ReportFocus(Win32Window& window) {
  const HWND hwnd = window.Hwnd();
  if (!hwnd) return;
  // The program's windows may be half gone: told from the queue afterwards.
  if (Destroying_ > 0) {
    ::PostMessageW(hwnd, kMsgDeferredFocus, 0, 0);
    return;
  }
  window.NotifyFocus();
}

void WindowGroup::DeferMove(Win32Window& window) { PendingMoves_.push_back(&window); }

void WindowGroup::ForgetMove(Win32Window& window) { std::erase(PendingMoves_, &window); }

void WindowGroup::FlushMoves() {
  auto pending = std::move(PendingMoves_);
  PendingMoves_.clear();
  for (Win32Window* w : pending) w->FlushMove();
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
  if (PaintDc_ && PaintArea_) {
    // Only the part being painted: the pointer's hairline and label repaint a
    // strip of a ruler that may be megapixels large.
    const LONG left = std::max<LONG>(PaintArea_->left, 0);
    const LONG top = std::max<LONG>(PaintArea_->top, 0);
    const LONG right = std::min<LONG>(PaintArea_->right, picture.Width());
    const LONG bottom = std::min<LONG>(PaintArea_->bottom, picture.Height());
    if (right <= left || bottom <= top) return;
    const auto w = static_cast<size_t>(right - left);
    Dib_.resize(w * static_cast<size_t>(bottom - top));
    for (LONG y = top; y < bottom; ++y) {
      const auto row = picture.Pixels().begin() +
                       static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * picture.Width() + left);
      std::transform(row, row + static_cast<std::ptrdiff_t>(w),
                     Dib_.begin() + static_cast<std::ptrdiff_t>(w * static_cast<size_t>(y - top)),
                     ToDibPixel);
    }
    BITMAPINFO part{};
    part.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    part.bmiHeader.biWidth = right - left;
    part.bmiHeader.biHeight = -(bottom - top);
    part.bmiHeader.biPlanes = 1;
    part.bmiHeader.biBitCount = 32;
    part.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(PaintDc_, left, top, static_cast<DWORD>(right - left),
                        static_cast<DWORD>(bottom - top), 0, 0, 0, static_cast<UINT>(bottom - top),
                        Dib_.data(), &part, DIB_RGB_COLORS);
    return;
  }
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

void Win32Window::Invalidate(const Rect& area) {
  if (!Hwnd() || area.Width <= 0 || area.Height <= 0) return;
  const RECT r{area.Left, area.Top, area.Left + area.Width, area.Top + area.Height};
  // No erase: the paint covers the area with the picture.
  ::InvalidateRect(Hwnd(), &r, FALSE);
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

void Win32Window::SetEnabled(bool enabled) {
  if (Hwnd()) ::EnableWindow(Hwnd(), enabled ? TRUE : FALSE);
}

ControlSite Win32Window::Site() const { return {Hwnd(), Group_.Controls()}; }

std::unique_ptr<Label> Win32Window::CreateLabel(const ControlPlace& place, const std::string& text,
                                                const ControlFont& font, LabelHandler& handler) {
  return MakeLabel(Site(), place, text, font, handler);
}

std::unique_ptr<Button> Win32Window::CreateButton(const ControlPlace& place,
                                                  const std::string& caption,
                                                  const ControlFont& font, bool isDefault,
                                                  ClickHandler& handler) {
  return MakeButton(Site(), place, caption, font, isDefault, handler);
}

std::unique_ptr<CheckBox> Win32Window::CreateCheckBox(const ControlPlace& place,
                                                      const std::string& caption,
                                                      const ControlFont& font,
                                                      CheckHandler& handler) {
  return MakeCheckBox(Site(), place, caption, font, handler);
}

std::unique_ptr<Edit> Win32Window::CreateEdit(const ControlPlace& place, const ControlFont& font,
                                              EditHandler& handler) {
  return MakeEdit(Site(), place, font, handler);
}

std::unique_ptr<HotkeyBox> Win32Window::CreateHotkeyBox(const ControlPlace& place,
                                                        const ControlFont& font,
                                                        HotkeyBoxHandler& handler) {
  return MakeHotkeyBox(Site(), place, font, handler);
}

std::unique_ptr<ComboBox> Win32Window::CreateComboBox(const ControlPlace& place,
                                                      const ControlFont& font, int dropDownRows,
                                                      ListHandler& handler) {
  return MakeComboBox(Site(), place, font, dropDownRows, handler);
}

std::unique_ptr<DropDownList> Win32Window::CreateDropDownList(const ControlPlace& place,
                                                              const ControlFont& font,
                                                              int dropDownRows,
                                                              ListHandler& handler) {
  return MakeDropDownList(Site(), place, font, dropDownRows, handler);
}

std::unique_ptr<ColorList> Win32Window::CreateColorList(const ControlPlace& place,
                                                        const ControlFont& font, int dropDownRows,
                                                        ListHandler& handler) {
  return MakeColorList(Site(), place, font, dropDownRows, handler);
}

std::unique_ptr<TrackBar> Win32Window::CreateTrackBar(const ControlPlace& place, int min, int max,
                                                      int thumbLength, TrackBarHandler& handler) {
  return MakeTrackBar(Site(), place, min, max, thumbLength, handler);
}

std::unique_ptr<ToolBar> Win32Window::CreateToolBar(const ControlPlace& place,
                                                    ToolBarHandler& handler) {
  return MakeToolBar(Site(), place, handler);
}

std::unique_ptr<Picture> Win32Window::CreatePicture(const ControlPlace& place) {
  return MakePicture(Site(), place);
}

std::unique_ptr<GroupBox> Win32Window::CreateGroupBox(const ControlPlace& place,
                                                      const std::string& caption,
                                                      const ControlFont& font) {
  return MakeGroupBox(Site(), place, caption, font);
}

std::unique_ptr<Box> Win32Window::CreatePanel(const ControlPlace& place, TColor color) {
  return MakePanel(Site(), place, color);
}

std::unique_ptr<Control> Win32Window::CreateBevel(const ControlPlace& place) {
  return MakeBevel(Site(), place);
}

}  // namespace vr::win32
