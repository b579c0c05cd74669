#pragma once
// What every control of the program's dialogs shares, whatever its family:
// its child window of one of the system's classes and its id, the subclass
// through which it hears its own messages, its font, the face it is painted
// on, and the guard that keeps the program's own changes from coming back as
// the user's.

#include <windows.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "platform/Controls.h"
#include "platform/WindowSystem.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32 {

// 0x00BBGGRR, or a system colour by index, as GDI takes it.
COLORREF ToColorRef(TColor c);

class NativeControl {
 public:
  NativeControl(const ControlSite& site, const ControlPlace& place);
  virtual ~NativeControl();
  NativeControl(const NativeControl&) = delete;
  NativeControl& operator=(const NativeControl&) = delete;

  HWND Hwnd() const { return Hwnd_.get(); }
  int Id() const { return Id_; }
  // The control that a window of ours is; nullptr for any other window.
  static NativeControl* From(HWND hwnd);
  // A notification from this control to its parent (command, notify, scroll,
  // owner draw, colours). true: handled, with its result.
  virtual bool Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // What shows behind the control, and the brush to paint it with: a box's
  // own, else that of what holds it.
  virtual HBRUSH FaceBrush() const;
  virtual COLORREF FaceColor() const;

 protected:
  // Makes the control's window. Called from the family's constructor, so that
  // what the window asks while it is being made reaches the family.
  void Create(const wchar_t* windowClass, DWORD style, DWORD exStyle, const std::wstring& text);
  // One of the control's own messages; nullopt leaves it to the system.
  virtual std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Where the window goes for the bounds it was given; the bounds themselves
  // unless the control takes a size of its own.
  virtual Rect Placement() const { return Bounds_; }
  // The font has just changed, before the control is placed again.
  virtual void FontChanged() {}
  virtual bool HasFocus() const;

  void Place();
  void Reposition(const Rect& bounds);
  void Show(bool visible);
  void TakeFocus();
  // The font is made once per distinct font and shared.
  void ApplyFont(const ControlFont& font);
  HGDIOBJ FontObject() const;
  // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the face behind the control and the
  // window text colour. true: msg was one of them, answered in result.
  bool AnswerFaceColors(UINT msg, WPARAM wParam, LRESULT& result) const;
  std::wstring WindowText() const;
  void SetWindowTextQuietly(const std::wstring& text);
  // The window's messages as a list or a control of the system says them.
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(Hwnd(), msg, wParam, lParam);
  }

  // Calls the handler; an error stays here and is shown, so that none
  // crosses the system's frames. Touches no member afterwards: the handler
  // may have destroyed this control.
  template <typename Call>
  void Report(Call&& call) noexcept {
    const ControlPool& pool = Pool_;
    std::optional<std::string> error;
    try {
      call();
    } catch (const std::exception& e) {
      error = e.what();
    } catch (...) {
      error = "An unknown error occurred.";
    }
    if (error) pool.ReportError(*error);
  }

  // Changes made by the program: the control's own notifications about them
  // are not the user's and go nowhere.
  class Quiet {
   public:
    explicit Quiet(NativeControl& c) : C_(c) { ++C_.Quiet_; }
    ~Quiet() { --C_.Quiet_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    NativeControl& C_;
  };
  bool IsQuiet() const { return Quiet_ > 0; }
  // Group boxes and panels: the controls inside tell the box, and the
  // program hears it as from the window.
  std::optional<LRESULT> PassOnFromInside(HWND box, UINT msg, WPARAM wParam, LPARAM lParam);

  NativeControl* const Parent_;
  Rect Bounds_;
  ControlFont Font_;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  HWND ParentHwnd() const;

  HWND Window_;  // the top-level window the control sits in
  ControlPool& Pool_;
  const ControlPlace Place_;
  int Id_;
  int Quiet_ = 0;
  std::shared_ptr<FontHandle> FontHandle_;
  WindowHandle Hwnd_;  // last: it goes first
};

// A control of one family: the family's requests, on its native window.
template <class Family>
class Win32ControlOf : public Family, public NativeControl {
 public:
  Win32ControlOf(const ControlSite& site, const ControlPlace& place) : NativeControl(site, place) {}
  void SetBounds(const Rect& bounds) override { Reposition(bounds); }
  void SetVisible(bool visible) override { Show(visible); }
  void Focus() override { TakeFocus(); }
  bool Focused() const override { return HasFocus(); }
};

}  // namespace vr::win32
