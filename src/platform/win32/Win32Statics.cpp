// Labels, pictures and frames: the static controls, and the boxes that hold
// other controls.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Win32ControlBase.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

using ControlBrush = Owned<HBRUSH, GdiObjectRelease>;

// Sized to its text, drawn over the face of what holds it in its font's
// colour; it reports clicks and the pointer's coming and going.
class Win32Label final : public Win32ControlOf<Label> {
 public:
  Win32Label(const ControlSite& site, const ControlPlace& place, const std::string& text,
             const ControlFont& font, LabelHandler& handler)
      : Win32ControlOf(site, place), Handler_(handler) {
    Create(WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, Widen(text));
    ApplyFont(font);
  }

  void SetText(const std::string& text) override {
    if (!Hwnd()) return;
    SetWindowTextQuietly(Widen(text));
    Place();
  }
  void SetFont(const ControlFont& font) override {
    ApplyFont(font);
    if (Hwnd()) ::InvalidateRect(Hwnd(), nullptr, TRUE);
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, FaceColor());
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ToColorRef(Font_.Color));
      result = reinterpret_cast<LRESULT>(FaceBrush());
      return true;
    }
    if (msg != WM_COMMAND || HIWORD(wParam) != STN_CLICKED) return false;
    LabelHandler& handler = Handler_;
    Report([&handler] { handler.HandleClick(); });
    return true;
  }

 private:
  std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    LabelHandler& handler = Handler_;
    if (msg == WM_MOUSEMOVE && !Tracking_) {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
      Tracking_ = ::TrackMouseEvent(&track) != FALSE;
      const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
      Report([&handler] { handler.HandleMouseEnter(); });
      return result;
    }
    if (msg == WM_MOUSELEAVE) {
      Tracking_ = false;
      Report([&handler] { handler.HandleMouseLeave(); });
      return 0;
    }
    return std::nullopt;
  }

  Rect Placement() const override {
    WindowDc dc(Hwnd());
    if (!dc.Get()) return Bounds_;
    SelectedObject font(dc.Get(), FontObject());
    const std::wstring text = WindowText();
    SIZE size{};
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return {Bounds_.Left, Bounds_.Top, size.cx, std::max<LONG>(size.cy, metrics.tmHeight)};
  }

  LabelHandler& Handler_;
  bool Tracking_ = false;  // the pointer is over it
};

class Win32Picture final : public Win32ControlOf<Picture> {
 public:
  Win32Picture(const ControlSite& site, const ControlPlace& place) : Win32ControlOf(site, place) {
    Create(WC_STATICW, SS_ICON, 0, L"");
  }

  void SetPicture(const MaskedImage& picture) override {
    if (!Hwnd()) return;
    IconHandle icon = MakeIcon(picture);
    Send(STM_SETICON, reinterpret_cast<WPARAM>(icon.get()));
    // The control no longer shows the old one.
    Icon_ = std::move(icon);
    Size_ = Icon_ ? Point{picture.Width(), picture.Height()} : Point{};
    Place();
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    return AnswerFaceColors(msg, wParam, result);
  }

 private:
  // At the picture's own size once it has one.
  Rect Placement() const override {
    if (Size_.X <= 0) return Bounds_;
    return {Bounds_.Left, Bounds_.Top, Size_.X, Size_.Y};
  }

  IconHandle Icon_;
  Point Size_;
};

// A line along the bottom of its bounds.
class Win32Bevel final : public Win32ControlOf<Control> {
 public:
  Win32Bevel(const ControlSite& site, const ControlPlace& place) : Win32ControlOf(site, place) {
    Create(WC_STATICW, SS_ETCHEDHORZ, 0, L"");
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    return AnswerFaceColors(msg, wParam, result);
  }

 private:
  Rect Placement() const override {
    const int height = std::min(Bounds_.Height, 2);
    return {Bounds_.Left, Bounds_.Top + std::max(Bounds_.Height - height, 0), Bounds_.Width,
            height};
  }
};

// The real parent of its controls: hiding it hides them, and Tab and the
// dialog keys go into it.
class Win32GroupBox final : public Win32ControlOf<GroupBox> {
 public:
  Win32GroupBox(const ControlSite& site, const ControlPlace& place, const std::string& caption,
                const ControlFont& font)
      : Win32ControlOf(site, place) {
    Create(WC_BUTTONW, BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, Widen(caption));
    ApplyFont(font);
  }

  void SetFont(const ControlFont& font) override { ApplyFont(font); }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    return AnswerFaceColors(msg, wParam, result);
  }

 private:
  std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_ERASEBKGND) {
      // A group box leaves its inside unpainted; it holds controls here.
      RECT r{};
      ::GetClientRect(hwnd, &r);
      ::FillRect(reinterpret_cast<HDC>(wParam), &r, FaceBrush());
      return TRUE;
    }
    return PassOnFromInside(hwnd, msg, wParam, lParam);
  }
};

// A plain box in its own colour, or in the face of what holds it.
class Win32Panel final : public Win32ControlOf<Box> {
 public:
  Win32Panel(const ControlSite& site, const ControlPlace& place, TColor color)
      : Win32ControlOf(site, place) {
    if (color != kDefaultColor) {
      if (color & kSysColorFlag) {
        Brush_ = ::GetSysColorBrush(static_cast<int>(color & 0xFF));
      } else {
        OwnBrush_.reset(::CreateSolidBrush(color & 0xFFFFFF));
        Brush_ = OwnBrush_.get();
      }
      BrushColor_ = ToColorRef(color);
    }
    Create(WC_STATICW, SS_LEFT | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, L"");
  }

  HBRUSH FaceBrush() const override { return Brush_ ? Brush_ : NativeControl::FaceBrush(); }
  COLORREF FaceColor() const override { return Brush_ ? BrushColor_ : NativeControl::FaceColor(); }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    return AnswerFaceColors(msg, wParam, result);
  }

 private:
  std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    return PassOnFromInside(hwnd, msg, wParam, lParam);
  }

  HBRUSH Brush_ = nullptr;  // the system's or OwnBrush_; none: the face of what holds it
  COLORREF BrushColor_ = 0;
  ControlBrush OwnBrush_;
};

}  // namespace

std::unique_ptr<Label> MakeLabel(const ControlSite& site, const ControlPlace& place,
                                 const std::string& text, const ControlFont& font,
                                 LabelHandler& handler) {
  return std::make_unique<Win32Label>(site, place, text, font, handler);
}

std::unique_ptr<Picture> MakePicture(const ControlSite& site, const ControlPlace& place) {
  return std::make_unique<Win32Picture>(site, place);
}

std::unique_ptr<Control> MakeBevel(const ControlSite& site, const ControlPlace& place) {
  return std::make_unique<Win32Bevel>(site, place);
}

std::unique_ptr<GroupBox> MakeGroupBox(const ControlSite& site, const ControlPlace& place,
                                       const std::string& caption, const ControlFont& font) {
  return std::make_unique<Win32GroupBox>(site, place, caption, font);
}

std::unique_ptr<Box> MakePanel(const ControlSite& site, const ControlPlace& place, TColor color) {
  return std::make_unique<Win32Panel>(site, place, color);
}

}  // namespace vr::win32
