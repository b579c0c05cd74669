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

namespace vr::win32 {

class Win32Window;

inline constexpr wchar_t kAppClassName[] = L"TVantoriApplication";

// The notification area reports on our icon to the application window with
// this message (wParam: the icon's id; lParam: the mouse message).
inline constexpr UINT kMsgTrayCallback = WM_APP + 2;
// Registered: the application window answers it with the live count of the
// handles this layer owns (wParam 0: all; k: those of HandleKind k - 1).
inline constexpr wchar_t kLiveHandlesMessage[] = L"VantoriRulers.LiveHandles";

class Win32TrayIcon;
class Win32Timer;

// Not final: tests override ShowError to see the errors instead of a box.
class Win32Platform : public Platform {
 public:
  // Registers the window classes and creates the hidden application window;
  // throws when the system refuses either.
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Point PrimaryDisplaySize() const override;
  std::vector<Rect> MonitorWorkAreas() const override;
  std::vector<std::string> ScreenFontFamilies() const override;
  Point CursorPos() const override;
  int PixelsPerInch() const override;
  TColor SysColor(int index) const override;
  bool KeyDown(int virtualKey) const override;

  SettingsStore& Store() override { return Store_; }

  TextMask RenderText(const std::string& face, int pixelHeight, const std::string& text) override;

  void SetTitle(const std::string& title) override;
  uint32_t AppExStyle() const override;
  void SetAppExStyle(uint32_t style) override;
  std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                         WindowHandler& handler) override;
  void RunMessageLoop(const MessageFilter& filter) override;
  bool RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) override;
  void ProcessPendingMessages(const MessageFilter& filter) override;
  void Quit() override;
  void ShowError(const std::string& text) override;
  void SetDisplayChangeHandler(std::function<void()> handler) override;
  void Sleep(int milliseconds) override;
  std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) override;
  int DpiAt(Point screen) const override;
  int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) override;
  void BringAppToForeground() override;
  std::unique_ptr<TrayIcon> AddTrayIcon(const MaskedImage& picture, const std::string& tip,
                                        TrayIconHandler& handler) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  void OpenLink(const std::string& url) override;

  HWND AppWindow() const { return AppWindow_.get(); }

  // The handler of the program's top-level window that a message for hwnd
  // (the window itself or one of its controls) is for; nullptr for others.
  WindowHandler* TargetOf(HWND hwnd) const;
  // The tray icons and timers report themselves while they live.
  void TrayIconAdded(Win32TrayIcon& icon) { TrayIcons_.push_back(&icon); }
  void TrayIconRemoved(Win32TrayIcon& icon) { std::erase(TrayIcons_, &icon); }
  void TimerStopped(UINT_PTR id) { Timers_.erase(id); }
  // The pictures of an open menu are drawn here, with their transparency
  // (not every system's menus blend it): the menu's owner window hands on
  // WM_MEASUREITEM and WM_DRAWITEM of a menu. true: handled.
  bool HandleMenuPicture(UINT msg, LPARAM lParam);

  // For the windows. A window that got the focus or was activated: the handler
  // hears of it once per change of the program's focused window.
  void ReportFocus(Win32Window& window);
  void WindowDestroyed(HWND hwnd);
  // Windows whose last move waits for the queue to run dry.
  void DeferMove(Win32Window& window);
  void ForgetMove(Win32Window& window);
  void FlushMoves();

  // While a window is being destroyed the system moves the activation to
  // another window; its handler hears of that only after the destruction,
  // through the queue, since the program may be half way through its own
  // teardown at that moment.
  class DestroyScope {
   public:
    explicit DestroyScope(Win32Platform& platform) : Platform_(platform) {
      ++Platform_.Destroying_;
    }
    ~DestroyScope() { --Platform_.Destroying_; }
    DestroyScope(const DestroyScope&) = delete;
    DestroyScope& operator=(const DestroyScope&) = delete;

   private:
    Win32Platform& Platform_;
  };

 private:
  static LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The application window's own messages: tray, timers, handle counts.
  bool HandleAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The root of hwnd when it is one of the program's dialog windows.
  HWND DialogOf(HWND hwnd) const;
  // Waits for the next message, first showing held-back moves if none waits.
  BOOL NextMessage(MSG& msg);
  // One message taken from the queue: the filter, then dialog keys or
  // translation and dispatch.
  void HandleQueued(MSG& msg, const MessageFilter& filter);
  // Calls out of a system frame: an error becomes a message box.
  template <typename Call>
  void Guarded(Call&& call) noexcept;
  // The monitors or a work area changed: the handler runs once from the loop,
  // however many notices came.
  void NoticeDisplayChange();
  void RunDisplayChangeHandler();

  HINSTANCE Instance_;
  ClassRegistration AppClass_;
  ClassRegistration RulerClass_;
  ClassRegistration DialogClass_;
  WindowHandle AppWindow_;  // after the classes: it goes before them
  RegistryStore Store_;
  HWND FocusReported_ = nullptr;
  int Destroying_ = 0;
  bool ShowingError_ = false;
  std::deque<std::string> PendingErrors_;
  std::vector<Win32Window*> PendingMoves_;
  UINT TaskbarCreatedMessage_ = 0;
  UINT LiveHandlesMessage_ = 0;
  std::vector<Win32TrayIcon*> TrayIcons_;
  std::map<UINT_PTR, Win32Timer*> Timers_;
  UINT_PTR NextTimerId_ = 1;
  UINT NextTrayId_ = 1;
  // The colour chooser's sixteen custom colours, kept from one use to the next.
  std::array<COLORREF, 16> CustomColors_{};
  const std::vector<BitmapHandle>* MenuPictures_ = nullptr;  // while a menu is open
  std::function<void()> DisplayChangeHandler_;
  bool DisplayChangePosted_ = false;
};

}  // namespace vr::win32
