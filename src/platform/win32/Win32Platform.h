#pragma once
// The real platform: USER windows, GDI text, the registry.

#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Store.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32 {

inline constexpr wchar_t kAppClassName[] = L"TVantoriApplication";

// The notification area reports on our icon to the application window with
// this message (wParam: the icon's id; lParam: the mouse message).
inline constexpr UINT kMsgTrayCallback = WM_APP + 2;
// Registered: the application window answers it with the live count of the
// handles this layer owns (wParam 0: all; k: those of HandleKind k - 1).
inline constexpr wchar_t kLiveHandlesMessage[] = L"VantoriRulers.LiveHandles";
// Registered: a second start of the program asks the running one, through
// its application window, to come forward.
inline constexpr wchar_t kComeForwardMessage[] = L"VantoriRulers.ComeForward";

class Win32TrayIcon;
class Win32Timer;

// The name under which the first start of the program holds the session for
// its user, in the session's own namespace (another session is another
// user's), and what it shares there: its application window, written last,
// and its process.
std::wstring InstanceClaimName();
struct SharedInstance {
  volatile LONG64 Window;
  volatile LONG ProcessId;
};

// Not final: tests override ShowErrorBox to see the errors instead of a box.
class Win32Platform : public Platform {
 public:
  // Registers the window classes; throws when the system refuses them. The
  // hidden application window is made when first needed (a second start of
  // the program makes none), and throws then when the system refuses it.
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Screen
  Point PrimaryDisplaySize() const override;
  std::vector<MonitorArea> Monitors() const override;
  Point CursorPos() const override;
  int PixelsPerInch() const override;
  int DpiAt(Point screen) const override;
  TColor SysColor(int index) const override;
  std::vector<std::string> ScreenFontFamilies() const override;

  // Windows and the loop
  void SetTitle(const std::string& title) override;
  void KeepOffTaskBar() override;
  std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                         WindowHandler& handler) override;
  void RunMessageLoop(const MessageFilter& filter) override;
  bool RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) override;
  void ProcessPendingMessages(const MessageFilter& filter) override;
  void Quit() override;
  void ShowErrorBox(const std::string& text) override;
  uint32_t TickCount() const override;
  void SetDisplayChangeHandler(std::function<void()> handler) override;

  // Shell
  int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) override;
  void BringAppToForeground() override;
  std::unique_ptr<TrayIcon> CreateTrayIcon(const MaskedImage& picture, const std::string& tip,
                                           TrayIconHandler& handler) override;
  std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) override;
  std::unique_ptr<Timer> CallWhenIdle(std::function<void()> task) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  void OpenLink(const std::string& url) override;
  bool SetClipboardText(const std::string& text) override;

  // Session
  InstanceClaim ClaimSingleInstance() override;
  bool AskRunningInstanceToShow() override;
  void SetSessionHandler(SessionHandler* handler) override { Session_ = handler; }
  std::string ProgramPath() const override;

  // The hotkey
  HotkeyClaim ClaimHotkey(KeyChord chord) override;
  void ReleaseHotkey() override;
  void SetHotkeyHandler(HotkeyHandler* handler) override { HotkeyHandler_ = handler; }

  TextMask RenderText(const std::string& face, int pixelHeight, const std::string& text) override;
  SettingsStore& Store() override { return Store_; }

  HWND AppWindow() const;

  // The handler of the program's top-level window that a message for hwnd
  // (the window itself or one of its controls) is for; nullptr for others.
  WindowHandler* TargetOf(HWND hwnd) const;
  // The tray icons and timers report themselves while they live.
  void TrayIconAdded(Win32TrayIcon& icon) { TrayIcons_.push_back(&icon); }
  void TrayIconRemoved(Win32TrayIcon& icon) { std::erase(TrayIcons_, &icon); }
  void TimerStopped(UINT_PTR id) { Timers_.erase(id); }

 private:
  static LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The application window's own messages: tray, timers, handle counts, the
  // session.
  bool HandleAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HandleSessionMessage(UINT msg, WPARAM wParam, LRESULT& result);
  bool HandleHotkeyMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The root of hwnd when it is one of the program's dialog windows.
  HWND DialogOf(HWND hwnd) const;
  // Shows the moves held back while input waited.
  void FlushMoves() { Windows_.FlushMoves(); }
  // Waits for the next message, first showing held-back moves if none waits.
  BOOL NextMessage(MSG& msg);
  // One message taken from the queue: the filter, then dialog keys or
  // translation and dispatch.
  void HandleQueued(MSG& msg, const MessageFilter& filter);
  // Calls out of a system frame: an error becomes a message box.
  template <typename Call>
  void Guarded(Call&& call) noexcept;
  std::unique_ptr<Timer> MakeTimer(uint32_t intervalMs, std::function<void()> tick, bool once);
  // The monitors or a work area changed: the handler runs once from the loop,
  // however many notices came.
  void NoticeDisplayChange();
  void RunDisplayChangeHandler();

  HINSTANCE Instance_;
  ClassRegistration AppClass_;
  ClassRegistration RulerClass_;
  ClassRegistration DialogClass_;
  mutable WindowHandle AppWindow_;  // after the classes: it goes before them
  RegistryStore Store_;
  ControlPool Controls_{[this](const std::string& text) { ReportError(text); }};
  WindowGroup Windows_{*this, Controls_};
  UINT TaskbarCreatedMessage_ = 0;
  UINT LiveHandlesMessage_ = 0;
  std::vector<Win32TrayIcon*> TrayIcons_;
  std::map<UINT_PTR, Win32Timer*> Timers_;
  UINT_PTR NextTimerId_ = 1;
  UINT NextTrayId_ = 1;
  // The colour chooser's sixteen custom colours, kept from one use to the next.
  std::array<COLORREF, 16> CustomColors_{};
  std::function<void()> DisplayChangeHandler_;
  bool DisplayChangePosted_ = false;
  SessionHandler* Session_ = nullptr;
  UINT ComeForwardMessage_ = 0;
  // This user's claim on the session: who holds it names its application
  // window there.
  KernelHandle InstanceClaim_;
  MappedView InstanceView_;
  HotkeyHandler* HotkeyHandler_ = nullptr;
  // The chord the program holds, on its application window: released before
  // the window goes.
  HotkeyRegistration HeldHotkey_;
};

// The id the notification area knows an icon of this platform by: the
// wParam of its kMsgTrayCallback messages.
UINT TrayIconId(const TrayIcon& icon);

}  // namespace vr::win32
