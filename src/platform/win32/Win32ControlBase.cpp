#include "platform/win32/Win32ControlBase.h"

// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Marks the windows of our controls, pointing at their objects.
constexpr wchar_t kControlProperty[] = L"VantoriRulers.Control";
// Child ids from here up, so that IDOK and IDCANCEL stay the dialog keys'.
constexpr int kFirstControlId = 1000;

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  static_cast<void>(done);
}

}  // namespace

int ControlPool::TakeId() {
  auto free = std::find(UsedIds_.begin(), UsedIds_.end(), false);
  const auto index = static_cast<size_t>(free - UsedIds_.begin());
  if (free == UsedIds_.end())
    UsedIds_.push_back(true);
  else
    *free = true;
  return kFirstControlId + static_cast<int>(index);
}

void ControlPool::ReturnId(int id) {
  const auto index = static_cast<size_t>(id - kFirstControlId);
  if (index < UsedIds_.size()) UsedIds_[index] = false;
}

std::shared_ptr<FontHandle> ControlPool::Font(const ControlFont& font) {
  std::erase_if(Fonts_, [](const auto& entry) { return entry.second.expired(); });
  const FontKey key{font.Face, font.Height, font.Bold, font.Underline};
  if (auto it = Fonts_.find(key); it != Fonts_.end()) {
    if (auto shared = it->second.lock()) return shared;
  }
  const std::wstring face = FaceName(font.Face);
  auto made = std::make_shared<FontHandle>(::CreateFontW(
      -std::max(font.Height, 1), 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE,
      font.Underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  if (!*made) return nullptr;
  Fonts_[key] = made;
  return made;
}

COLORREF ToColorRef(TColor c) {
  if (c & kSysColorFlag) return ::GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0xFFFFFF;
}

NativeControl* NativeControl::From(HWND hwnd) {
  return hwnd ? static_cast<NativeControl*>(::GetPropW(hwnd, kControlProperty)) : nullptr;
}

NativeControl::NativeControl(const ControlSite& site, const ControlPlace& place)
    : Parent_(dynamic_cast<NativeControl*>(place.Parent)),
      Bounds_(place.Bounds),
      Window_(site.Window),
      Pool_(site.Pool),
      Place_(place),
      Id_(Pool_.TakeId()) {
  EnsureCommonControls();
}

void NativeControl::Create(const wchar_t* windowClass, DWORD style, DWORD exStyle,
                           const std::wstring& text) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (Place_.Visible) style |= WS_VISIBLE;
  if (Place_.TabStop) style |= WS_TABSTOP;
  const Rect& b = Bounds_;
  Pool_.Creating = this;
  const HWND hwnd = ::CreateWindowExW(exStyle, windowClass, text.c_str(), style, b.Left, b.Top,
                                      std::max(b.Width, 0), std::max(b.Height, 0), ParentHwnd(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id_)),
                                      ::GetModuleHandleW(nullptr), nullptr);
  Pool_.Creating = nullptr;
  if (!hwnd) {
    throw std::runtime_error("Could not create a control (error " +
                             std::to_string(::GetLastError()) + ").");
  }
  Hwnd_.reset(hwnd);
  ::SetWindowSubclass(hwnd, &NativeControl::SubclassProc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SetPropW(hwnd, kControlProperty, this);
}

NativeControl::~NativeControl() {
  if (Hwnd_) {
    ::RemoveWindowSubclass(Hwnd(), &NativeControl::SubclassProc, kSubclassId);
    ::RemovePropW(Hwnd(), kControlProperty);
    Hwnd_.reset();
  }
  Pool_.ReturnId(Id_);
}

HWND NativeControl::ParentHwnd() const { return Parent_ ? Parent_->Hwnd() : Window_; }

// ---------------------------------------------------------------- geometry, font, focus

void NativeControl::Place() {
  if (!Hwnd()) return;
  const Rect at = Placement();
  ::SetWindowPos(Hwnd(), nullptr, at.Left, at.Top, std::max(at.Width, 0), std::max(at.Height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeControl::Reposition(const Rect& bounds) {
  Bounds_ = bounds;
  Place();
}

void NativeControl::Show(bool visible) {
  if (Hwnd()) ::ShowWindow(Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void NativeControl::TakeFocus() {
  if (Hwnd()) ::SetFocus(Hwnd());
}

bool NativeControl::HasFocus() const { return Hwnd() && ::GetFocus() == Hwnd(); }

void NativeControl::ApplyFont(const ControlFont& font) {
  Font_ = font;
  if (!Hwnd()) return;
  auto made = Pool_.Font(font);
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(made ? made->get() : nullptr), TRUE);
  // The old font goes only now that the control no longer uses it.
  FontHandle_ = std::move(made);
  FontChanged();
  Place();
}

HGDIOBJ NativeControl::FontObject() const {
  if (FontHandle_) return FontHandle_->get();
  return ::GetStockObject(DEFAULT_GUI_FONT);
}

// ---------------------------------------------------------------- text, colours

std::wstring NativeControl::WindowText() const {
  if (!Hwnd()) return {};
  const int length = ::GetWindowTextLengthW(Hwnd());
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int got = ::GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void NativeControl::SetWindowTextQuietly(const std::wstring& text) {
  Quiet quiet(*this);
  ::SetWindowTextW(Hwnd(), text.c_str());
}

HBRUSH NativeControl::FaceBrush() const {
  if (Parent_) return Parent_->FaceBrush();
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

COLORREF NativeControl::FaceColor() const {
  if (Parent_) return Parent_->FaceColor();
  return ::GetSysColor(COLOR_BTNFACE);
}

bool NativeControl::AnswerFaceColors(UINT msg, WPARAM wParam, LRESULT& result) const {
  if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) return false;
  const auto dc = reinterpret_cast<HDC>(wParam);
  ::SetBkColor(dc, FaceColor());
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  result = reinterpret_cast<LRESULT>(FaceBrush());
  return true;
}

// ---------------------------------------------------------------- messages

std::optional<LRESULT> NativeControl::Subclassed(HWND, UINT, WPARAM, LPARAM) {
  return std::nullopt;
}

LRESULT CALLBACK NativeControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self) {
  auto& control = *reinterpret_cast<NativeControl*>(self);
  if (msg == WM_NCDESTROY) {
    // The system destroys it (with its parent): nothing left to release.
    ::RemoveWindowSubclass(hwnd, &NativeControl::SubclassProc, kSubclassId);
    ::RemovePropW(hwnd, kControlProperty);
    static_cast<void>(control.Hwnd_.release());
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  if (const auto handled = control.Subclassed(hwnd, msg, wParam, lParam)) return *handled;
  return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

std::optional<LRESULT> NativeControl::PassOnFromInside(HWND box, UINT msg, WPARAM wParam,
                                                       LPARAM lParam) {
  if (LRESULT routed = 0; RouteControlMessage(Pool_, box, msg, wParam, lParam, routed))
    return routed;
  return std::nullopt;
}

bool RouteControlMessage(ControlPool& pool, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) {
  HWND from = nullptr;
  switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      from = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      if (!lParam) return false;
      from = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!item || item->CtlType == ODT_MENU) return false;
      from = item->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      if (!item || item->CtlType == ODT_MENU) return false;
      if (NativeControl* made = pool.Creating;
          made && made->Id() == static_cast<int>(item->CtlID)) {
        result = 0;
        return made->Route(msg, wParam, lParam, result);
      }
      from = ::GetDlgItem(hwnd, static_cast<int>(item->CtlID));
      break;
    }
    default:
      return false;
  }
  NativeControl* control = NativeControl::From(from);
  result = 0;
  return control && control->Route(msg, wParam, lParam, result);
}

HWND NativeHandle(const Control& control) {
  const auto* native = dynamic_cast<const NativeControl*>(&control);
  return native ? native->Hwnd() : nullptr;
}

}  // namespace vr::win32
