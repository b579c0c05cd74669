#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "platform/win32/Win32Keys.h"
#include "platform/win32/Win32Strings.h"
#include "platform/win32/Win32Text.h"

namespace vr::win32 {

namespace {

constexpr wchar_t kErrorCaption[] = L"Vantori Rulers";

WNDCLASSEXW WindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background,
                        UINT style = 0) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = style;
  cls.lpfnWndProc = proc;
  cls.hInstance = instance;
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = background;
  cls.lpszClassName = name;
  return cls;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : Instance_(instance),
      AppClass_(WindowClass(instance, kAppClassName, &Win32Platform::AppWindowProc, nullptr)),
      // Rulers paint every pixel themselves: no background brush to flash.
      // Double-clicks set marks on a ruler.
      RulerClass_(
          WindowClass(instance, kRulerClassName, &Win32Window::WindowProc, nullptr, CS_DBLCLKS)),
      DialogClass_(WindowClass(instance, kDialogClassName, &Win32Window::WindowProc,
                               reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)))) {
  if (!AppClass_.Ok() || !RulerClass_.Ok() || !DialogClass_.Ok()) {
    throw std::runtime_error("Could not register the window classes (error " +
                             std::to_string(::GetLastError()) + ").");
  }
  // Sent to every top-level window when the desktop shell (re)starts.
  TaskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  LiveHandlesMessage_ = ::RegisterWindowMessageW(kLiveHandlesMessage);
  ComeForwardMessage_ = ::RegisterWindowMessageW(kComeForwardMessage);
}

HWND Win32Platform::AppWindow() const {
  if (AppWindow_) return AppWindow_.get();
  // Never shown: it owns every window of the program, which keeps them off
  // the task bar, and carries the program's title.
  AppWindow_.reset(::CreateWindowExW(0, kAppClassName, L"Vantori Rulers", WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, Instance_, nullptr));
  if (!AppWindow_) {
    throw std::runtime_error("Could not create the application window (error " +
                             std::to_string(::GetLastError()) + ").");
  }
  // Its window procedure is static; the notices it gets are the platform's.
  ::SetWindowLongPtrW(AppWindow_.get(), GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(const_cast<Win32Platform*>(this)));
  return AppWindow_.get();
}

Win32Platform::~Win32Platform() {
  // Takes any windows still alive with it.
  WindowGroup::DestroyScope destroying(Windows_);
  HeldHotkey_.reset();
  AppWindow_.reset();
}

TextMask Win32Platform::RenderText(const std::string& face, int pixelHeight,
                                   const std::string& text) {
  return RenderGdiText(face, pixelHeight, text);
}

void Win32Platform::SetTitle(const std::string& title) {
  ::SetWindowTextW(AppWindow(), Widen(title).c_str());
}

void Win32Platform::KeepOffTaskBar() {
  // Every window of the program is owned by the application window: as a
  // tool window it takes them all off the task bar and the task switcher.
  const LONG_PTR exStyle = ::GetWindowLongPtrW(AppWindow(), GWL_EXSTYLE);
  ::SetWindowLongPtrW(AppWindow(), GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
}

std::unique_ptr<Window> Win32Platform::CreateTopLevel(const WindowParams& params,
                                                      WindowHandler& handler) {
  auto window = std::make_unique<Win32Window>(Windows_, handler);
  window->Create(params, AppWindow(), Instance_);
  return window;
}

WindowHandler* Win32Platform::TargetOf(HWND hwnd) const {
  const HWND root = hwnd ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (!root) return nullptr;
  // Only windows of our own classes carry a Win32Window in their user data.
  const auto atom = static_cast<ATOM>(::GetClassWord(root, GCW_ATOM));
  if (atom == 0 || (atom != RulerClass_.Atom() && atom != DialogClass_.Atom())) return nullptr;
  const auto* window = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(root, GWLP_USERDATA));
  return window ? window->Handler() : nullptr;
}

HWND Win32Platform::DialogOf(HWND hwnd) const {
  const HWND root = hwnd ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (!root || static_cast<ATOM>(::GetClassWord(root, GCW_ATOM)) != DialogClass_.Atom())
    return nullptr;
  return root;
}

BOOL Win32Platform::NextMessage(MSG& msg) {
  // Before waiting, show the moves held back while input was queued.
  if (Windows_.HasDeferredMoves() && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
    FlushMoves();
  return ::GetMessageW(&msg, nullptr, 0, 0);
}

void Win32Platform::HandleQueued(MSG& msg, const MessageFilter& filter) {
  // The filter catches its own errors (and then takes the message).
  const Message seen = Translate(msg, TargetOf(msg.hwnd));
  if (!filter || !filter(seen)) {
    // A dialog's keyboard interface: Tab, arrows, Enter, Esc, access keys.
    const HWND dialog = DialogOf(msg.hwnd);
    if (!dialog || !::IsDialogMessageW(dialog, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  // Only a burst of input is worth folding; anything else shows the moves now.
  const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                     (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
  if (!input) FlushMoves();
}

void Win32Platform::RunMessageLoop(const MessageFilter& filter) {
  MSG msg{};
  for (;;) {
    const BOOL got = NextMessage(msg);
    if (got == 0) {  // WM_QUIT
      FlushMoves();
      break;
    }
    if (got == -1) {
      // Only bad arguments get here; looping on would spin.
      ReportError("The message loop failed (error " + std::to_string(::GetLastError()) + ").");
      break;
    }
    HandleQueued(msg, filter);
  }
}

bool Win32Platform::RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) {
  // The dialog is about to take the input: a held-back move shows first.
  FlushMoves();
  MSG msg{};
  while (!done()) {
    const BOOL got = NextMessage(msg);
    if (got == 0) {
      // The quit request is the outer loop's: put it back for it.
      FlushMoves();
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (got == -1) {
      ReportError("The message loop failed (error " + std::to_string(::GetLastError()) + ").");
      return false;
    }
    HandleQueued(msg, filter);
  }
  return true;
}

void Win32Platform::ProcessPendingMessages(const MessageFilter& filter) {
  MSG msg{};
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HandleQueued(msg, filter);
  }
}

void Win32Platform::Quit() { ::PostQuitMessage(0); }

uint32_t Win32Platform::TickCount() const { return ::GetTickCount(); }

void Win32Platform::ShowErrorBox(const std::string& text) {
  try {
    // The box runs a loop of its own: a held-back move shows first.
    FlushMoves();
    // Owned by the active window, which gets the activation back when the
    // box goes; topmost, since the rulers stay above everything else.
    ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), kErrorCaption,
                  MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
  } catch (...) {
    // Out of memory while reporting an error: nothing better to do, and
    // nothing may escape into the system's frames.
  }
}

}  // namespace vr::win32
