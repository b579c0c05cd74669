// The desktop around the windows: the notification-area icon, timers, the
// hidden application window that hears of them and of display changes, the
// colour chooser and links.

#include <windows.h>
// After windows.h, whose types they use.
#include <commdlg.h>
#include <shellapi.h>
// commdlg.h names the wide function after ours.
#undef ChooseColor

#include <algorithm>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <utility>

#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

// ---------------------------------------------------------------- tray icon and timers

namespace {

// The desktop shell's task bar, which holds the notification area.
constexpr wchar_t kTrayWindowClass[] = L"Shell_TrayWnd";

}  // namespace

class Win32TrayIcon final : public TrayIcon {
 public:
  Win32TrayIcon(Win32Platform& platform, UINT id, const std::string& tip, IconHandle icon,
                TrayIconHandler& handler)
      : Platform_(platform), Id_(id), Tip_(Widen(tip)), Icon_(std::move(icon)), Handler_(handler) {
    Platform_.TrayIconAdded(*this);
  }
  ~Win32TrayIcon() override {
    if (MayBeInArea_) {
      NOTIFYICONDATAW data = Data(0);
      ::Shell_NotifyIconW(NIM_DELETE, &data);
    }
    Platform_.TrayIconRemoved(*this);
  }
  Win32TrayIcon(const Win32TrayIcon&) = delete;
  Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

  TrayAddResult Add() override {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    ::SetLastError(ERROR_SUCCESS);
    if (::Shell_NotifyIconW(NIM_ADD, &data)) {
      InArea_ = MayBeInArea_ = true;
      return TrayAddResult::Added;
    }
    // The shell answers through a message to its tray window, with a
    // time-out; without that window there is nobody to ask.
    if (::GetLastError() == ERROR_TIMEOUT) {
      MayBeInArea_ = true;
      return TrayAddResult::TimedOut;
    }
    if (!::FindWindowW(kTrayWindowClass, nullptr)) return TrayAddResult::NoArea;
    return TrayAddResult::Refused;
  }

  bool Modify() override {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    InArea_ = ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    if (InArea_) MayBeInArea_ = true;
    return InArea_;
  }

  void SetPicture(const MaskedImage& picture) override {
    IconHandle icon = MakeIcon(picture);
    if (!icon) return;
    if (InArea_) {
      NOTIFYICONDATAW data = Data(NIF_ICON);
      data.hIcon = icon.get();
      ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    // The shell has its own copy now, or takes the new one with the next
    // add; the one shown before goes.
    Icon_ = std::move(icon);
  }

  // The shell has started again and lost its icons.
  void AreaCreated() { InArea_ = false; }

  UINT Id() const { return Id_; }
  TrayIconHandler& Handler() const { return Handler_; }

 private:
  NOTIFYICONDATAW Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Platform_.AppWindow();
    data.uID = Id_;
    data.uFlags = flags;
    // The first version of the callback: the right button's release comes as
    // WM_RBUTTONUP, from the mouse and from the keyboard alike.
    data.uCallbackMessage = kMsgTrayCallback;
    data.hIcon = Icon_.get();
    const size_t length = std::min(Tip_.size(), std::size(data.szTip) - 1);
    std::copy_n(Tip_.begin(), length, data.szTip);
    return data;
  }

  Win32Platform& Platform_;
  UINT Id_;
  std::wstring Tip_;
  IconHandle Icon_;
  TrayIconHandler& Handler_;
  bool InArea_ = false;
  // Also after a time-out, after which the shell may have taken the icon.
  bool MayBeInArea_ = false;
};

class Win32Timer final : public Timer {
 public:
  // once: the timer stops before its first tick runs.
  Win32Timer(Win32Platform& platform, UINT_PTR id, std::function<void()> tick, bool once = false)
      : Platform_(platform), Id_(id), Tick_(std::move(tick)), Once_(once) {}
  ~Win32Timer() override { Stop(); }
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;
  // The tick to run now; a timer that ticks once hands it over and stops.
  std::function<void()> Tick() {
    if (!Once_) return Tick_;
    Stop();
    return std::exchange(Tick_, nullptr);
  }

 private:
  void Stop() {
    ::KillTimer(Platform_.AppWindow(), Id_);
    Platform_.TimerStopped(Id_);
  }
  Win32Platform& Platform_;
  UINT_PTR Id_;
  std::function<void()> Tick_;
  bool Once_;
};

template <typename Call>
void Win32Platform::Guarded(Call&& call) noexcept {
  try {
    call();
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
}

bool Win32Platform::HandleAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (HandleSessionMessage(msg, wParam, result)) return true;
  if (HandleHotkeyMessage(msg, wParam, lParam)) return true;
  if (msg == kMsgTrayCallback) {
    if (LOWORD(lParam) != WM_RBUTTONUP) return true;  // left clicks do nothing
    for (Win32TrayIcon* icon : TrayIcons_) {
      if (icon->Id() == wParam) {
        TrayIconHandler& handler = icon->Handler();
        // When the button went up, not when the message came out of the
        // queue. This message says nothing of where: the shell posts it from
        // another process, so the pointer now is the best there is.
        const auto time = static_cast<uint32_t>(::GetMessageTime());
        POINT cursor{};
        ::GetCursorPos(&cursor);
        const Point at{cursor.x, cursor.y};
        Guarded([&handler, time, at] { handler.HandleTrayRightButtonUp(time, at); });
        break;
      }
    }
    return true;
  }
  if (msg == WM_TIMER) {
    const auto timer = Timers_.find(wParam);
    if (timer == Timers_.end()) return true;
    // A copy: the tick may stop its own timer.
    const std::function<void()> tick = timer->second->Tick();
    if (tick) Guarded(tick);
    return true;
  }
  if (LiveHandlesMessage_ != 0 && msg == LiveHandlesMessage_) {
    if (wParam == 0) {
      result = LiveHandles();
    } else if (wParam <= static_cast<WPARAM>(kHandleKinds)) {
      result = LiveHandles(static_cast<HandleKind>(wParam - 1));
    } else {
      result = -1;
    }
    return true;
  }
  if (TaskbarCreatedMessage_ != 0 && msg == TaskbarCreatedMessage_) {
    const std::vector<Win32TrayIcon*> icons = TrayIcons_;
    for (Win32TrayIcon* icon : icons) {
      // A handler may take an icon away.
      if (std::find(TrayIcons_.begin(), TrayIcons_.end(), icon) == TrayIcons_.end()) continue;
      icon->AreaCreated();
      TrayIconHandler& handler = icon->Handler();
      Guarded([&handler] { handler.HandleTrayAreaCreated(); });
    }
    return true;
  }
  return false;
}

std::unique_ptr<TrayIcon> Win32Platform::CreateTrayIcon(const MaskedImage& picture,
                                                        const std::string& tip,
                                                        TrayIconHandler& handler) {
  return std::make_unique<Win32TrayIcon>(*this, NextTrayId_++, tip, MakeIcon(picture), handler);
}

UINT TrayIconId(const TrayIcon& icon) { return static_cast<const Win32TrayIcon&>(icon).Id(); }

std::unique_ptr<Timer> Win32Platform::StartTimer(uint32_t intervalMs, std::function<void()> tick) {
  return MakeTimer(intervalMs, std::move(tick), false);
}

std::unique_ptr<Timer> Win32Platform::CallWhenIdle(std::function<void()> task) {
  // The queue hands out WM_TIMER only when no sent or posted message, no
  // input and no paint waits: a timer that runs out at once and ticks once.
  return MakeTimer(USER_TIMER_MINIMUM, std::move(task), true);
}

std::unique_ptr<Timer> Win32Platform::MakeTimer(uint32_t intervalMs, std::function<void()> tick,
                                                bool once) {
  const UINT_PTR id = NextTimerId_++;
  auto timer = std::make_unique<Win32Timer>(*this, id, std::move(tick), once);
  // The system takes intervals up to USER_TIMER_MAXIMUM (about 24.8 days).
  const auto interval =
      static_cast<UINT>(std::clamp<uint32_t>(intervalMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
  if (!::SetTimer(AppWindow(), id, interval, nullptr)) {
    throw std::runtime_error("Could not start a timer (error " + std::to_string(::GetLastError()) +
                             ").");
  }
  Timers_[id] = timer.get();
  return timer;
}

// ---------------------------------------------------------------- the application window

namespace {

// Posted to the application window to run the display-change handler from
// the loop, outside whatever sent the notice.
constexpr UINT kMsgDisplaysChanged = WM_APP + 0x40;

}  // namespace

LRESULT CALLBACK Win32Platform::AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Closing it would destroy every ruler behind the program's back; the
  // program ends through its main window.
  if (msg == WM_CLOSE) return 0;
  auto* platform = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (platform) {
    if (LRESULT result = 0; platform->HandleAppMessage(msg, wParam, lParam, result)) return result;
    // Only top-level windows hear of monitor and work-area changes, and this
    // one is the program's.
    if (msg == WM_DISPLAYCHANGE || (msg == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA)) {
      platform->NoticeDisplayChange();
    } else if (msg == kMsgDisplaysChanged) {
      platform->RunDisplayChangeHandler();
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32Platform::NoticeDisplayChange() {
  if (DisplayChangePosted_) return;
  DisplayChangePosted_ = ::PostMessageW(AppWindow(), kMsgDisplaysChanged, 0, 0) != FALSE;
}

void Win32Platform::RunDisplayChangeHandler() {
  DisplayChangePosted_ = false;
  // A copy: the handler may install another one while it runs.
  const std::function<void()> handler = DisplayChangeHandler_;
  if (!handler) return;
  try {
    handler();
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
}

void Win32Platform::SetDisplayChangeHandler(std::function<void()> handler) {
  DisplayChangeHandler_ = std::move(handler);
}

void Win32Platform::BringAppToForeground() {
  // A window of ours in front already keeps the keyboard; otherwise the
  // hidden application window takes the foreground for the program.
  const HWND front = ::GetForegroundWindow();
  if (front && ::GetWindowThreadProcessId(front, nullptr) == ::GetCurrentThreadId()) return;
  ::SetForegroundWindow(AppWindow());
}

// ---------------------------------------------------------------- dialogs of the system

std::optional<TColor> Win32Platform::ChooseColor(TColor initial) {
  // The chooser runs a loop of its own: a held-back move shows first.
  FlushMoves();
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = ::GetActiveWindow();
  choose.rgbResult = initial & 0x00FFFFFF;  // COLORREF is 0x00BBGGRR too
  choose.lpCustColors = CustomColors_.data();
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!::ChooseColorW(&choose)) return std::nullopt;
  return static_cast<TColor>(choose.rgbResult);
}

void Win32Platform::OpenLink(const std::string& url) {
  // No parent, no parameters, no folder; whether anything answers is not ours to report.
  ::ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOW);
}

bool Win32Platform::SetClipboardText(const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  GlobalMemoryHandle memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = ::GlobalLock(memory.get());
  if (!target) return false;
  std::memcpy(target, wide.c_str(), bytes);
  ::GlobalUnlock(memory.get());
  // Opened for the application window: the clipboard needs an owner to
  // accept data after it was emptied.
  ClipboardScope clipboard(AppWindow());
  if (!clipboard.Open() || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  // The clipboard owns the memory now.
  (void)memory.release();
  return true;
}

}  // namespace vr::win32
