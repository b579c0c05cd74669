#pragma once
// A top-level window: turns window messages into WindowHandler calls and the
// Window requests into USER and GDI calls.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32 {

class Win32Window;
struct ControlSite;

inline constexpr wchar_t kRulerClassName[] = L"TRulerForm";
inline constexpr wchar_t kDialogClassName[] = L"TVantoriDialog";

// A focus change that happened while a window was being destroyed, reported
// once the destruction is over (see WindowGroup::ReportFocus).
inline constexpr UINT kMsgDeferredFocus = WM_APP + 1;

// 0x00BBGGRR to the 0x00RRGGBB of a 32-bit DIB.
constexpr uint32_t ToDibPixel(TColor c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The picture as DIB pixels, into a buffer kept from one paint to the next.
// Converting is one vectorised pass (about 30 us for 2100 x 50); telling an
// unchanged picture apart would cost more than that.
void ConvertToDib(const Image& picture, std::vector<uint32_t>& dib);

// What the program's top-level windows share. The platform keeps one, hands
// it to every window it makes and shows the held-back moves from its loop.
class WindowGroup {
 public:
  WindowGroup(Platform& os, ControlPool& controls) : Os_(os), Controls_(controls) {}
  WindowGroup(const WindowGroup&) = delete;
  WindowGroup& operator=(const WindowGroup&) = delete;

  Platform& Os() const { return Os_; }
  // What the windows' controls share; the errors of the windows' handlers go there too.
  ControlPool& Controls() const { return Controls_; }
  void ReportError(const std::string& text) const { Controls_.ReportError(text); }

  // A window that got the focus or was activated: its handler hears of it,
  // as often as the system says so.
  void ReportFocus(Win32Window& window);
  // A window is being destroyed: what the others hear waits for the queue.
  bool Destroying() const { return Destroying_ > 0; }

  // Windows whose last move waits for the queue to run dry.
  void DeferMove(Win32Window& window);
  void ForgetMove(Win32Window& window);
  bool HasDeferredMoves() const { return !PendingMoves_.empty(); }
  void FlushMoves();

  // While a window is being destroyed the system moves the activation to
  // another window; its handler hears of that only after the destruction,
  // through the queue, since the program may be half way through its own
  // teardown at that moment.
  class DestroyScope {
   public:
    explicit DestroyScope(WindowGroup& group) : Group_(group) { ++Group_.Destroying_; }
    ~DestroyScope() { --Group_.Destroying_; }
    DestroyScope(const DestroyScope&) = delete;
    DestroyScope& operator=(const DestroyScope&) = delete;

   private:
    WindowGroup& Group_;
  };

 private:
  Platform& Os_;
  ControlPool& Controls_;
  int Destroying_ = 0;
  std::vector<Win32Window*> PendingMoves_;
};

class Win32Window final : public Window {
 public:
  Win32Window(WindowGroup& group, WindowHandler& handler) : Group_(group), Handler_(&handler) {}
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Throws when the system refuses the window.
  void Create(const WindowParams& params, HWND owner, HINSTANCE instance);
  HWND Hwnd() const { return Hwnd_.get(); }
  // Who hears of the window's events; null once it is being destroyed.
  WindowHandler* Handler() const { return Handler_; }

  void SetBounds(const Rect& bounds) override;
  Rect Bounds() const override;
  void SetRegion(const Rect& region) override;
  void SetVisible(bool visible) override;
  void Raise() override;
  void Focus() override;
  void SetOpacity(bool enabled, uint8_t alpha) override;
  void CaptureMouse() override;
  bool HasMouseCapture() const override;
  void ReleaseMouse() override;
  void Present(const Image& picture) override;
  void Invalidate(const Rect& area) override;
  void SetClientSize(int width, int height) override;
  Point ClientSize() const override;
  void SetIcon(const MaskedImage& small, const MaskedImage& large) override;
  int Dpi() const override;
  void SetEnabled(bool enabled) override;

  std::unique_ptr<Label> CreateLabel(const ControlPlace& place, const std::string& text,
                                     const ControlFont& font, LabelHandler& handler) override;
  std::unique_ptr<Button> CreateButton(const ControlPlace& place, const std::string& caption,
                                       const ControlFont& font, bool isDefault,
                                       ClickHandler& handler) override;
  std::unique_ptr<CheckBox> CreateCheckBox(const ControlPlace& place, const std::string& caption,
                                           const ControlFont& font, CheckHandler& handler) override;
  std::unique_ptr<Edit> CreateEdit(const ControlPlace& place, const ControlFont& font,
                                   EditHandler& handler) override;
  std::unique_ptr<HotkeyBox> CreateHotkeyBox(const ControlPlace& place, const ControlFont& font,
                                             HotkeyBoxHandler& handler) override;
  std::unique_ptr<ComboBox> CreateComboBox(const ControlPlace& place, const ControlFont& font,
                                           int dropDownRows, ListHandler& handler) override;
  std::unique_ptr<DropDownList> CreateDropDownList(const ControlPlace& place,
                                                   const ControlFont& font, int dropDownRows,
                                                   ListHandler& handler) override;
  std::unique_ptr<ColorList> CreateColorList(const ControlPlace& place, const ControlFont& font,
                                             int dropDownRows, ListHandler& handler) override;
  std::unique_ptr<TrackBar> CreateTrackBar(const ControlPlace& place, int min, int max,
                                           int thumbLength, TrackBarHandler& handler) override;
  std::unique_ptr<ToolBar> CreateToolBar(const ControlPlace& place,
                                         ToolBarHandler& handler) override;
  std::unique_ptr<Picture> CreatePicture(const ControlPlace& place) override;
  std::unique_ptr<GroupBox> CreateGroupBox(const ControlPlace& place, const std::string& caption,
                                           const ControlFont& font) override;
  std::unique_ptr<Box> CreatePanel(const ControlPlace& place, TColor color) override;
  std::unique_ptr<Control> CreateBevel(const ControlPlace& place) override;

  // The platform decides when a focus change is news; this tells the handler.
  void NotifyFocus();
  // Puts a move that was held back onto the screen.
  void FlushMove();

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  // Calls the handler; an exception stays here and comes back as its text, so
  // that none crosses the system's frames.
  template <typename Call>
  std::optional<std::string> CallHandler(Call&& call) noexcept;
  // The same, showing any error at once.
  template <typename Call>
  void Notify(Call&& call) noexcept;
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The window's bounds as the system has them, and setting them at once.
  Rect OnScreen() const;
  void Place(const Rect& bounds);
  LRESULT Paint(HWND hwnd);
  LRESULT EraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam);
  // The context-menu request of the keyboard (lParam -1) comes without a point.
  void ContextMenu(HWND hwnd, LPARAM lParam);
  // The outer size of a client area in this window's styles and density.
  SIZE OuterSize(int clientWidth, int clientHeight) const;
  // Where the window's controls are made.
  ControlSite Site() const;

  WindowGroup& Group_;
  WindowHandler* Handler_;  // null once the window is being destroyed
  WindowHandle Hwnd_;
  WindowKind Kind_ = WindowKind::Ruler;
  // The caption's and the task switcher's icons, kept while the window shows them.
  IconHandle SmallIcon_;
  IconHandle LargeIcon_;
  // A move held back while more input waited in the queue: with a key held
  // down or a fast drag, only the last of a burst of moves is worth showing.
  std::optional<Rect> PendingMove_;
  HDC PaintDc_ = nullptr;          // the DC of the paint or erase being handled, if any
  std::optional<RECT> PaintArea_;  // the part of the window the paint being handled is for
  bool TrackingLeave_ = false;     // the system reports the pointer's leaving
  std::vector<uint32_t> Dib_;      // the last picture, converted
  // Cleared by the destructor, for the message being handled when a handler
  // destroys its own window.
  std::shared_ptr<bool> Alive_ = std::make_shared<bool>(true);
};

}  // namespace vr::win32
