// The track bar: horizontal, ticks at its two ends only. A move by the user
// comes back once; the program's own moves never.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Win32ControlBase.h"

namespace vr::win32 {

namespace {

class Win32TrackBar final : public Win32ControlOf<TrackBar> {
 public:
  Win32TrackBar(const ControlSite& site, const ControlPlace& place, int min, int max,
                int thumbLength, TrackBarHandler& handler)
      : Win32ControlOf(site, place), Handler_(handler) {
    // Without automatic ticks a track bar marks its two ends only.
    Create(TRACKBAR_CLASSW, TBS_HORZ | TBS_BOTTOM | TBS_FIXEDLENGTH, 0, L"");
    Quiet quiet(*this);
    SetThumbLength(thumbLength);
    SetRange(min, max);
  }

  void SetRange(int min, int max) override {
    if (!Hwnd()) return;
    Quiet quiet(*this);
    Send(TBM_SETRANGEMIN, FALSE, min);
    Send(TBM_SETRANGEMAX, TRUE, std::max(min, max));
  }

  void SetPosition(int position) override {
    if (!Hwnd()) return;
    Quiet quiet(*this);
    Send(TBM_SETPOS, TRUE, position);
  }

  void SetThumbLength(int length) override {
    if (!Hwnd()) return;
    Send(TBM_SETTHUMBLENGTH, static_cast<WPARAM>(std::max(length, 1)));
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (AnswerFaceColors(msg, wParam, result)) return true;
    if (msg != WM_HSCROLL && msg != WM_VSCROLL) return false;
    if (IsQuiet()) return true;
    // Every scroll notice says where the thumb is; whether it moved is the program's to tell.
    const auto position = static_cast<int>(Send(TBM_GETPOS));
    TrackBarHandler& handler = Handler_;
    Report([&handler, position] { handler.HandlePositionChanged(position); });
    return true;
  }

 private:
  TrackBarHandler& Handler_;
};

}  // namespace

std::unique_ptr<TrackBar> MakeTrackBar(const ControlSite& site, const ControlPlace& place, int min,
                                       int max, int thumbLength, TrackBarHandler& handler) {
  return std::make_unique<Win32TrackBar>(site, place, min, max, thumbLength, handler);
}

}  // namespace vr::win32
