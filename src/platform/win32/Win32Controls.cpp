#include "platform/win32/Win32Controls.h"

// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

struct ControlImageListRelease {
  static constexpr HandleKind kKind = HandleKind::Other;
  void operator()(HIMAGELIST list) const noexcept { ::ImageList_Destroy(list); }
};
using ControlBrush = Owned<HBRUSH, GdiObjectRelease>;
using ControlImageList = Owned<HIMAGELIST, ControlImageListRelease>;

constexpr UINT_PTR kSubclassId = 1;
// Marks the windows of our controls, pointing at their objects.
constexpr wchar_t kControlProperty[] = L"VantoriRulers.Control";
// Child ids from here up, so that IDOK and IDCANCEL stay the dialog keys'.
constexpr int kFirstControlId = 1000;
// Tool bar buttons report their index above this.
constexpr int kToolButtonIdBase = 100;

COLORREF ToColorRef(TColor c) {
  if (c & kSysColorFlag) return ::GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0xFFFFFF;
}

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  static_cast<void>(done);
}

// Ids in use, so that a window opened a thousand times never runs out.
std::vector<bool>& UsedIds() {
  static std::vector<bool> used;
  return used;
}

int TakeId() {
  auto& used = UsedIds();
  auto free = std::find(used.begin(), used.end(), false);
  const auto index = static_cast<size_t>(free - used.begin());
  if (free == used.end())
    used.push_back(true);
  else
    *free = true;
  return kFirstControlId + static_cast<int>(index);
}

void ReturnId(int id) {
  auto& used = UsedIds();
  const auto index = static_cast<size_t>(id - kFirstControlId);
  if (index < used.size()) used[index] = false;
}

// One HFONT per distinct font, shared by the controls that show it and
// released with the last of them: a label that underlines on every hover
// must not leave a font behind each time.
class FontCache {
 public:
  std::shared_ptr<FontHandle> Get(const ControlFont& font) {
    std::erase_if(Fonts_, [](const auto& entry) { return entry.second.expired(); });
    const Key key{font.Face, font.Height, font.Bold, font.Underline};
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

 private:
  using Key = std::tuple<std::string, int, bool, bool>;
  std::map<Key, std::weak_ptr<FontHandle>> Fonts_;
};

FontCache& Fonts() {
  static FontCache cache;
  return cache;
}

// The colour swatch of an item of the given height: a little wider than high.
int SwatchWidth(int itemHeight) { return std::max(itemHeight - 4, 1) * 3 / 2; }

// ---------------------------------------------------------------- the control

class Win32Control;

// The control being made, for the owner-draw size question that arrives
// before CreateWindowEx has returned its handle.
Win32Control* Creating = nullptr;

class Win32Control final : public Control {
 public:
  Win32Control(HWND window, Platform& os, const ControlParams& params, ControlHandler& handler);
  ~Win32Control() override;
  Win32Control(const Win32Control&) = delete;
  Win32Control& operator=(const Win32Control&) = delete;

  void SetBounds(const Rect& bounds) override;
  void SetVisible(bool visible) override;
  void SetFont(const ControlFont& font) override;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  void SetChecked(bool checked) override;
  bool Checked() const override;
  void SetItems(const std::vector<std::string>& items) override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override;
  void SetItemColors(const std::vector<TColor>& colors) override;
  void SetRange(int min, int max) override;
  void SetPosition(int position) override;
  int Position() const override;
  void SetThumbLength(int length) override;
  void SetPicture(const MaskedImage& picture) override;
  void SetButtons(const std::vector<ToolButtonSpec>& buttons) override;
  void SetButtonDown(int index, bool down) override;
  void Focus() override;
  bool Focused() const override;

  HWND Hwnd() const { return Hwnd_.get(); }
  int Id() const { return Id_; }
  static Win32Control* From(HWND hwnd);
  // A notification from this control to its parent.
  bool Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Owner-draw list: the height of an item.
  int ItemHeight() const;
  friend HWND vr::win32::NativeHandle(const Control& control);

 private:
  // Changes made by the program: the control's own notifications about them
  // are not the user's and go nowhere.
  class Quiet {
   public:
    explicit Quiet(Win32Control& c) : C_(c) { ++C_.Quiet_; }
    ~Quiet() { --C_.Quiet_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    Win32Control& C_;
  };

  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Calls the handler; an error stays here and is shown, so that none
  // crosses the system's frames. Touches no member afterwards: the handler
  // may have destroyed this control.
  template <typename Call>
  void Report(Call&& call) noexcept;

  HWND ParentHwnd() const;
  bool IsList() const {
    return Kind_ == ControlKind::ComboBox || Kind_ == ControlKind::DropDownList ||
           Kind_ == ControlKind::ColorBox;
  }
  // What shows behind the control, and the brush to paint it with.
  HBRUSH FaceBrush() const;
  COLORREF FaceColor() const;
  LRESULT ControlColor(HDC dc);
  void Place();
  Point NaturalSize() const;
  void ListChoice(int code);
  void Choose(int index);
  void DrawColorItem(const DRAWITEMSTRUCT& item) const;
  // The dropped list shows its longest item whole. Measured when the list
  // drops, not when it is filled: a long list may never be dropped.
  void FitDroppedWidth();
  void SetWindowTextQuietly(const std::wstring& text);
  std::wstring WindowText() const;

  HWND Window_;  // the top-level window the control sits in
  Platform& Os_;
  Win32Control* Parent_;
  ControlKind Kind_;
  ControlHandler& Handler_;
  ControlParams Params_;
  int Id_;
  int Quiet_ = 0;
  std::shared_ptr<FontHandle> Font_;
  HBRUSH Brush_ = nullptr;  // own background, the system's or OwnBrush_
  COLORREF BrushColor_ = 0;
  ControlBrush OwnBrush_;
  IconHandle Icon_;
  Point PictureSize_;
  ControlImageList Images_;
  std::vector<std::wstring> Hints_;
  std::vector<bool> Checks_;  // tool bar: which buttons are check buttons
  std::vector<bool> Down_;    // tool bar: as the program last set them
  std::vector<TColor> ItemColors_;
  bool DroppedWidthFits_ = false;
  int KnownIndex_ = -1;     // lists: the choice as the program knows it
  std::wstring KnownText_;  // editable box: the text as the program knows it
  int KnownPosition_ = 0;   // track bar
  bool Tracking_ = false;   // label: the pointer is over it
  std::shared_ptr<bool> Alive_ = std::make_shared<bool>(true);
  WindowHandle Hwnd_;  // last: it goes first
};

Win32Control* Win32Control::From(HWND hwnd) {
  return hwnd ? static_cast<Win32Control*>(::GetPropW(hwnd, kControlProperty)) : nullptr;
}

Win32Control::Win32Control(HWND window, Platform& os, const ControlParams& params,
                           ControlHandler& handler)
    : Window_(window),
      Os_(os),
      Parent_(static_cast<Win32Control*>(params.Parent)),
      Kind_(params.Kind),
      Handler_(handler),
      Params_(params),
      Id_(TakeId()) {
  EnsureCommonControls();
  const wchar_t* cls = WC_STATICW;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  std::wstring text = Widen(params.Text);
  switch (Kind_) {
    case ControlKind::Label:
      style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
      break;
    case ControlKind::GroupBox:
      cls = WC_BUTTONW;
      // The real parent of its controls: hiding it hides them, and Tab and
      // the dialog keys go into it.
      style |= BS_GROUPBOX | WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::Panel:
      style |= SS_LEFT | WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      text.clear();
      break;
    case ControlKind::Bevel:
      style |= SS_ETCHEDHORZ;
      text.clear();
      break;
    case ControlKind::Picture:
      style |= SS_ICON;
      text.clear();
      break;
    case ControlKind::Button:
      cls = WC_BUTTONW;
      style |= params.DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      break;
    case ControlKind::CheckBox:
      cls = WC_BUTTONW;
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::ComboBox:
      cls = WC_COMBOBOXW;
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
      break;
    case ControlKind::DropDownList:
      cls = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL;
      text.clear();
      break;
    case ControlKind::ColorBox:
      cls = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL;
      text.clear();
      break;
    case ControlKind::TrackBar:
      cls = TRACKBAR_CLASSW;
      // Without automatic ticks a track bar marks its two ends only.
      style |= TBS_HORZ | TBS_BOTTOM | TBS_FIXEDLENGTH;
      text.clear();
      break;
    case ControlKind::ToolBar:
      cls = TOOLBARCLASSNAMEW;
      style |= CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
               TBSTYLE_WRAPABLE;
      text.clear();
      break;
  }
  if (params.Visible) style |= WS_VISIBLE;
  if (params.TabStop) style |= WS_TABSTOP;

  const Rect& b = params.Bounds;
  Creating = this;
  const HWND hwnd = ::CreateWindowExW(exStyle, cls, text.c_str(), style, b.Left, b.Top,
                                      std::max(b.Width, 0), std::max(b.Height, 0), ParentHwnd(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id_)),
                                      ::GetModuleHandleW(nullptr), nullptr);
  Creating = nullptr;
  if (!hwnd) {
    const DWORD error = ::GetLastError();
    ReturnId(Id_);
    throw std::runtime_error("Could not create a control (error " + std::to_string(error) + ").");
  }
  Hwnd_.reset(hwnd);
  ::SetWindowSubclass(hwnd, &Win32Control::SubclassProc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SetPropW(hwnd, kControlProperty, this);

  const bool ownFace =
      Kind_ == ControlKind::Panel || (Kind_ == ControlKind::Label && !params.Transparent);
  if (ownFace && params.Background != kDefaultColor) {
    if (params.Background & kSysColorFlag) {
      Brush_ = ::GetSysColorBrush(static_cast<int>(params.Background & 0xFF));
    } else {
      OwnBrush_.reset(::CreateSolidBrush(params.Background & 0xFFFFFF));
      Brush_ = OwnBrush_.get();
    }
    BrushColor_ = ToColorRef(params.Background);
  }

  Quiet quiet(*this);
  switch (Kind_) {
    case ControlKind::TrackBar:
      SetThumbLength(params.ThumbLength);
      SetRange(params.Min, params.Max);
      break;
    case ControlKind::ToolBar:
      ::SendMessageW(hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
      break;
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
    case ControlKind::ColorBox:
      // Version 6 lists drop as many rows as this; older ones take the
      // height given with the bounds (see Place).
      ::SendMessageW(hwnd, CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(params.DropDownRows, 1)),
                     0);
      break;
    default:
      break;
  }
  SetFont(params.Font);
}

Win32Control::~Win32Control() {
  *Alive_ = false;
  if (Hwnd_) {
    ::RemoveWindowSubclass(Hwnd(), &Win32Control::SubclassProc, kSubclassId);
    ::RemovePropW(Hwnd(), kControlProperty);
    Hwnd_.reset();
  }
  ReturnId(Id_);
}

HWND Win32Control::ParentHwnd() const { return Parent_ ? Parent_->Hwnd() : Window_; }

template <typename Call>
void Win32Control::Report(Call&& call) noexcept {
  Platform& os = Os_;
  ControlHandler& handler = Handler_;
  std::optional<std::string> error;
  try {
    call(handler);
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "An unknown error occurred.";
  }
  if (error) os.ShowError(*error);
}

std::wstring Win32Control::WindowText() const {
  if (!Hwnd()) return {};
  const int length = ::GetWindowTextLengthW(Hwnd());
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int got = ::GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void Win32Control::SetWindowTextQuietly(const std::wstring& text) {
  Quiet quiet(*this);
  ::SetWindowTextW(Hwnd(), text.c_str());
}

// ---------------------------------------------------------------- geometry

Point Win32Control::NaturalSize() const {
  const Rect& b = Params_.Bounds;
  switch (Kind_) {
    case ControlKind::Label: {
      if (!Params_.AutoSize) break;
      WindowDc dc(Hwnd());
      if (!dc.Get()) break;
      SelectedObject font(dc.Get(), Font_ ? static_cast<HGDIOBJ>(Font_->get())
                                          : ::GetStockObject(DEFAULT_GUI_FONT));
      const std::wstring text = WindowText();
      SIZE size{};
      ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
      TEXTMETRICW metrics{};
      ::GetTextMetricsW(dc.Get(), &metrics);
      return {size.cx, std::max<LONG>(size.cy, metrics.tmHeight)};
    }
    case ControlKind::Picture:
      if (PictureSize_.X > 0) return PictureSize_;
      break;
    case ControlKind::Bevel:
      return {b.Width, std::min(b.Height, 2)};
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
    case ControlKind::ColorBox: {
      // The height given to a drop-down box is the box and its dropped list;
      // the box itself takes the height its font needs.
      const auto field = static_cast<int>(::SendMessageW(Hwnd(), CB_GETITEMHEIGHT, WPARAM(-1), 0));
      const auto item = static_cast<int>(::SendMessageW(Hwnd(), CB_GETITEMHEIGHT, 0, 0));
      return {b.Width, field + 8 + std::max(Params_.DropDownRows, 1) * std::max(item, 1) + 2};
    }
    default:
      break;
  }
  return {b.Width, b.Height};
}

void Win32Control::Place() {
  if (!Hwnd()) return;
  const Rect& b = Params_.Bounds;
  const Point size = NaturalSize();
  int top = b.Top;
  // A bevel is a line along the bottom of its bounds.
  if (Kind_ == ControlKind::Bevel) top = b.Top + std::max(b.Height - size.Y, 0);
  ::SetWindowPos(Hwnd(), nullptr, b.Left, top, std::max(size.X, 0), std::max(size.Y, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Control::SetBounds(const Rect& bounds) {
  const bool widthChanged = bounds.Width != Params_.Bounds.Width;
  Params_.Bounds = bounds;
  Place();
  if (widthChanged) DroppedWidthFits_ = false;
}

void Win32Control::SetVisible(bool visible) {
  Params_.Visible = visible;
  if (Hwnd()) ::ShowWindow(Hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Control::SetFont(const ControlFont& font) {
  Params_.Font = font;
  if (!Hwnd()) return;
  auto made = Fonts().Get(font);
  ::SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(made ? made->get() : nullptr), TRUE);
  // The old font goes only now that the control no longer uses it.
  Font_ = std::move(made);
  if (Kind_ == ControlKind::ColorBox) {
    Quiet quiet(*this);
    ::SendMessageW(Hwnd(), CB_SETITEMHEIGHT, WPARAM(-1), ItemHeight());
    ::SendMessageW(Hwnd(), CB_SETITEMHEIGHT, 0, ItemHeight());
  }
  Place();
  DroppedWidthFits_ = false;
  if (Kind_ == ControlKind::Label) ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

int Win32Control::ItemHeight() const {
  WindowDc dc(Hwnd() ? Hwnd() : ParentHwnd());
  if (!dc.Get()) return 16;
  auto font = Font_ ? Font_ : Fonts().Get(Params_.Font);
  SelectedObject select(
      dc.Get(), font ? static_cast<HGDIOBJ>(font->get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.Get(), &metrics);
  return metrics.tmHeight + 2;
}

// ---------------------------------------------------------------- text, state

void Win32Control::SetText(const std::string& text) {
  Params_.Text = text;
  if (!Hwnd()) return;
  switch (Kind_) {
    case ControlKind::DropDownList:
    case ControlKind::ColorBox:
    case ControlKind::Panel:
    case ControlKind::Bevel:
    case ControlKind::Picture:
    case ControlKind::TrackBar:
    case ControlKind::ToolBar:
      return;  // they show no text of their own
    default:
      break;
  }
  SetWindowTextQuietly(Widen(text));
  if (Kind_ == ControlKind::ComboBox) {
    KnownText_ = WindowText();
    KnownIndex_ = ItemIndex();
  }
  if (Kind_ == ControlKind::Label) Place();
}

std::string Win32Control::Text() const { return Narrow(WindowText()); }

void Win32Control::SetChecked(bool checked) {
  if (Kind_ != ControlKind::CheckBox || !Hwnd()) return;
  Quiet quiet(*this);
  ::SendMessageW(Hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Control::Checked() const {
  return Kind_ == ControlKind::CheckBox && Hwnd() &&
         ::SendMessageW(Hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Control::SetItems(const std::vector<std::string>& items) {
  if (!IsList() || !Hwnd()) return;
  Quiet quiet(*this);
  // Emptying the list empties an editable box too; its text stays.
  const std::wstring text = WindowText();
  ::SendMessageW(Hwnd(), WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(Hwnd(), CB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const std::string& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
  ::SendMessageW(Hwnd(), CB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
  for (const std::string& item : items) {
    const std::wstring wide = Widen(item);
    ::SendMessageW(Hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  ::SendMessageW(Hwnd(), WM_SETREDRAW, TRUE, 0);
  if (Kind_ == ControlKind::ComboBox && WindowText() != text)
    ::SetWindowTextW(Hwnd(), text.c_str());
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
  KnownIndex_ = -1;
  KnownText_ = WindowText();
  DroppedWidthFits_ = false;
}

void Win32Control::FitDroppedWidth() {
  if (!IsList() || !Hwnd() || DroppedWidthFits_) return;
  WindowDc dc(Hwnd());
  if (!dc.Get()) return;
  SelectedObject font(
      dc.Get(), Font_ ? static_cast<HGDIOBJ>(Font_->get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  const auto count = static_cast<int>(::SendMessageW(Hwnd(), CB_GETCOUNT, 0, 0));
  LONG widest = 0;
  std::wstring item;
  for (int i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(Hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0) continue;
    item.assign(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(Hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(item.data()));
    SIZE size{};
    ::GetTextExtentPoint32W(dc.Get(), item.c_str(), static_cast<int>(length), &size);
    widest = std::max(widest, size.cx);
  }
  // A list as wide as its longest name, never narrower than the box.
  LONG width = widest + 8 + ::GetSystemMetrics(SM_CXVSCROLL) + 2;
  if (Kind_ == ControlKind::ColorBox) width += SwatchWidth(ItemHeight()) + 6;
  width = std::max<LONG>(width, Params_.Bounds.Width);
  ::SendMessageW(Hwnd(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
  DroppedWidthFits_ = true;
}

void Win32Control::SetItemIndex(int index) {
  if (!IsList() || !Hwnd()) return;
  Quiet quiet(*this);
  const auto count = static_cast<int>(::SendMessageW(Hwnd(), CB_GETCOUNT, 0, 0));
  const int i = index >= 0 && index < count ? index : -1;
  // No choice leaves an editable box's text as it is.
  const std::wstring text = WindowText();
  ::SendMessageW(Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  if (Kind_ == ControlKind::ComboBox && i < 0 && WindowText() != text) {
    ::SetWindowTextW(Hwnd(), text.c_str());
  }
  KnownIndex_ = ItemIndex();
  KnownText_ = WindowText();
}

int Win32Control::ItemIndex() const {
  if (!IsList() || !Hwnd()) return -1;
  const auto index = static_cast<int>(::SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0));
  return index == CB_ERR ? -1 : index;
}

void Win32Control::SetItemColors(const std::vector<TColor>& colors) {
  ItemColors_ = colors;
  if (Kind_ == ControlKind::ColorBox && Hwnd()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void Win32Control::SetRange(int min, int max) {
  if (Kind_ != ControlKind::TrackBar || !Hwnd()) return;
  Quiet quiet(*this);
  ::SendMessageW(Hwnd(), TBM_SETRANGEMIN, FALSE, min);
  ::SendMessageW(Hwnd(), TBM_SETRANGEMAX, TRUE, std::max(min, max));
  KnownPosition_ = Position();
}

void Win32Control::SetPosition(int position) {
  if (Kind_ != ControlKind::TrackBar || !Hwnd()) return;
  Quiet quiet(*this);
  ::SendMessageW(Hwnd(), TBM_SETPOS, TRUE, position);
  KnownPosition_ = Position();
}

int Win32Control::Position() const {
  if (Kind_ != ControlKind::TrackBar || !Hwnd()) return 0;
  return static_cast<int>(::SendMessageW(Hwnd(), TBM_GETPOS, 0, 0));
}

void Win32Control::SetThumbLength(int length) {
  if (Kind_ != ControlKind::TrackBar || !Hwnd()) return;
  Params_.ThumbLength = length;
  ::SendMessageW(Hwnd(), TBM_SETTHUMBLENGTH, static_cast<WPARAM>(std::max(length, 1)), 0);
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void Win32Control::SetPicture(const MaskedImage& picture) {
  if (Kind_ != ControlKind::Picture || !Hwnd()) return;
  IconHandle icon = MakeIcon(picture);
  ::SendMessageW(Hwnd(), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
  // The control no longer shows the old one.
  Icon_ = std::move(icon);
  PictureSize_ = Icon_ ? Point{picture.Width(), picture.Height()} : Point{};
  Place();
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

// ---------------------------------------------------------------- tool bar

void Win32Control::SetButtons(const std::vector<ToolButtonSpec>& buttons) {
  if (Kind_ != ControlKind::ToolBar || !Hwnd()) return;
  Quiet quiet(*this);
  const HWND bar = Hwnd();
  while (::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0) > 0) ::SendMessageW(bar, TB_DELETEBUTTON, 0, 0);

  int w = 0, h = 0;
  for (const ToolButtonSpec& b : buttons) {
    w = std::max(w, b.Picture.Width());
    h = std::max(h, b.Picture.Height());
  }
  ControlImageList images;
  if (w > 0 && h > 0) {
    images.reset(::ImageList_Create(w, h, ILC_COLOR32, static_cast<int>(buttons.size()), 0));
  }
  std::vector<TBBUTTON> entries;
  for (size_t i = 0; i < buttons.size(); ++i) {
    int image = I_IMAGENONE;
    if (images && !buttons[i].Picture.Empty()) {
      // Pictures smaller than the rest sit in the top left of their cell.
      MaskedImage cell(w, h);
      for (int y = 0; y < buttons[i].Picture.Height(); ++y)
        for (int x = 0; x < buttons[i].Picture.Width(); ++x)
          cell.Paint(x, y, buttons[i].Picture.Color.Pixel(x, y), buttons[i].Picture.AlphaAt(x, y));
      if (IconHandle icon = MakeIcon(cell))
        image = ::ImageList_ReplaceIcon(images.get(), -1, icon.get());
    }
    TBBUTTON entry{};
    entry.iBitmap = image;
    entry.idCommand = kToolButtonIdBase + static_cast<int>(i);
    entry.fsState = TBSTATE_ENABLED | TBSTATE_WRAP;
    entry.fsStyle = buttons[i].Check ? BTNS_CHECK : BTNS_BUTTON;
    entry.iString = -1;
    entries.push_back(entry);
  }
  // The picture size can change only while the bar has no buttons.
  ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  if (w > 0 && h > 0) {
    ::SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(w, h));
    ::SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(w + 7, h + 6));
    // One column, centred in the bar.
    ::SendMessageW(bar, TB_SETINDENT,
                   static_cast<WPARAM>(std::max((Params_.Bounds.Width - w - 7) / 2, 0)), 0);
  }
  if (!entries.empty()) {
    ::SendMessageW(bar, TB_ADDBUTTONSW, entries.size(), reinterpret_cast<LPARAM>(entries.data()));
  }
  // The bar no longer draws from the old list.
  Images_ = std::move(images);
  Hints_.clear();
  Checks_.clear();
  for (const ToolButtonSpec& b : buttons) {
    Hints_.push_back(Widen(b.Hint));
    Checks_.push_back(b.Check);
  }
  Down_.assign(buttons.size(), false);
  ::InvalidateRect(bar, nullptr, TRUE);
}

void Win32Control::SetButtonDown(int index, bool down) {
  if (Kind_ != ControlKind::ToolBar || !Hwnd() || index < 0 ||
      index >= static_cast<int>(Down_.size())) {
    return;
  }
  Quiet quiet(*this);
  const WPARAM id = static_cast<WPARAM>(kToolButtonIdBase + index);
  // The state, not TB_CHECKBUTTON: a plain button shows pressed as well.
  auto state = static_cast<BYTE>(::SendMessageW(Hwnd(), TB_GETSTATE, id, 0));
  state = down ? static_cast<BYTE>(state | TBSTATE_CHECKED)
               : static_cast<BYTE>(state & ~TBSTATE_CHECKED);
  ::SendMessageW(Hwnd(), TB_SETSTATE, id, MAKELPARAM(state, 0));
  Down_[static_cast<size_t>(index)] = down;
}

void Win32Control::Focus() {
  if (Hwnd()) ::SetFocus(Hwnd());
}

bool Win32Control::Focused() const {
  const HWND focus = ::GetFocus();
  if (!Hwnd() || !focus) return false;
  // An editable box's focus is in its edit field.
  return focus == Hwnd() || (Kind_ == ControlKind::ComboBox && ::IsChild(Hwnd(), focus));
}

// ---------------------------------------------------------------- notifications

HBRUSH Win32Control::FaceBrush() const {
  if (Brush_) return Brush_;
  if (Parent_) return Parent_->FaceBrush();
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

COLORREF Win32Control::FaceColor() const {
  if (Brush_) return BrushColor_;
  if (Parent_) return Parent_->FaceColor();
  return ::GetSysColor(COLOR_BTNFACE);
}

LRESULT Win32Control::ControlColor(HDC dc) {
  ::SetBkColor(dc, FaceColor());
  if (Kind_ == ControlKind::Label) {
    // Drawn over the face of what holds it.
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(Params_.Font.Color));
  } else {
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  }
  return reinterpret_cast<LRESULT>(FaceBrush());
}

void Win32Control::Choose(int index) {
  KnownIndex_ = index;
  if (Kind_ == ControlKind::ComboBox && index >= 0) {
    // The chosen item's text is in the edit field before anyone reads it.
    const auto length = ::SendMessageW(Hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring item(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(Hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    if (WindowText() != item) SetWindowTextQuietly(item);
    if (ItemIndex() != index) {
      Quiet quiet(*this);
      ::SendMessageW(Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    KnownText_ = item;
  }
  Report([](ControlHandler& h) { h.HandleItemChosen(); });
}

// A list reports a choice once: an item taken from the dropped list (even
// the one already chosen: "Custom..." asks again), or a new item picked in
// the closed box with the keys or the wheel. Moving through the dropped list
// is not a choice yet, and a list closed without one shows the old choice.
void Win32Control::ListChoice(int code) {
  const int index = ItemIndex();
  if (Quiet_) {
    KnownIndex_ = index;
    return;
  }
  const bool dropped = ::SendMessageW(Hwnd(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
  switch (code) {
    case CBN_SELCHANGE:
      if (!dropped && index >= 0 && index != KnownIndex_) Choose(index);
      break;
    case CBN_SELENDOK:
      if (index >= 0) Choose(index);
      break;
    case CBN_SELENDCANCEL: {
      Quiet quiet(*this);
      if (index != KnownIndex_)
        ::SendMessageW(Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(KnownIndex_), 0);
      if (Kind_ == ControlKind::ComboBox && WindowText() != KnownText_) {
        ::SetWindowTextW(Hwnd(), KnownText_.c_str());
      }
      break;
    }
    default:
      break;
  }
}

bool Win32Control::Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (IsList() || Kind_ == ControlKind::ToolBar) return false;
      result = ControlColor(reinterpret_cast<HDC>(wParam));
      return true;
    case WM_COMMAND: {
      const int code = HIWORD(wParam);
      switch (Kind_) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
          if (code != BN_CLICKED) return false;
          if (!Quiet_) Report([](ControlHandler& h) { h.HandleClick(); });
          return true;
        case ControlKind::Label:
          if (code != STN_CLICKED) return false;
          Report([](ControlHandler& h) { h.HandleClick(); });
          return true;
        case ControlKind::ComboBox:
          if (code == CBN_EDITCHANGE) {
            if (Quiet_) return true;
            KnownText_ = WindowText();
            KnownIndex_ = -1;
            Report([](ControlHandler& h) { h.HandleTextEdited(); });
            return true;
          }
          [[fallthrough]];
        case ControlKind::DropDownList:
        case ControlKind::ColorBox:
          // Sent before the list shows; the list takes the width set now.
          if (code == CBN_DROPDOWN) {
            FitDroppedWidth();
            return true;
          }
          if (code != CBN_SELCHANGE && code != CBN_SELENDOK && code != CBN_SELENDCANCEL) {
            return false;
          }
          ListChoice(code);
          return true;
        case ControlKind::ToolBar: {
          const int index = LOWORD(wParam) - kToolButtonIdBase;
          if (Quiet_ || index < 0 || index >= static_cast<int>(Down_.size())) return true;
          const auto i = static_cast<size_t>(index);
          if (Checks_[i]) {
            // A check button has turned over when clicked; from the keys
            // (Space on the hot button) it has not, so turn it here: the
            // program counts on it either way.
            const WPARAM id = static_cast<WPARAM>(kToolButtonIdBase + index);
            const bool down = (::SendMessageW(Hwnd(), TB_GETSTATE, id, 0) & TBSTATE_CHECKED) != 0;
            if (down == Down_[i]) {
              SetButtonDown(index, !down);
            } else {
              Down_[i] = down;
            }
          }
          Report([index](ControlHandler& h) { h.HandleButtonClick(index); });
          return true;
        }
        default:
          return false;
      }
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (Kind_ != ControlKind::TrackBar) return false;
      const int position = Position();
      if (Quiet_ || position == KnownPosition_) {
        KnownPosition_ = position;
        return true;
      }
      KnownPosition_ = position;
      Report([](ControlHandler& h) { h.HandlePositionChanged(); });
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (Kind_ != ControlKind::ToolBar || header->code != TBN_GETINFOTIPW) return false;
      auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(lParam);
      const int index = tip->iItem - kToolButtonIdBase;
      if (index >= 0 && index < static_cast<int>(Hints_.size()) && tip->pszText &&
          tip->cchTextMax > 0) {
        const std::wstring& hint = Hints_[static_cast<size_t>(index)];
        const size_t n = std::min(hint.size(), static_cast<size_t>(tip->cchTextMax - 1));
        std::copy_n(hint.begin(), n, tip->pszText);
        tip->pszText[n] = L'\0';
      }
      return true;
    }
    case WM_DRAWITEM:
      if (Kind_ != ControlKind::ColorBox) return false;
      DrawColorItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_MEASUREITEM:
      if (Kind_ != ControlKind::ColorBox) return false;
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight());
      result = TRUE;
      return true;
    default:
      return false;
  }
}

void Win32Control::DrawColorItem(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const auto index = static_cast<size_t>(item.itemID);
    // A swatch framed in the text colour, then the name.
    const int side = std::max<int>(r.bottom - r.top - 4, 1);
    RECT swatch{r.left + 2, r.top + 2, r.left + 2 + SwatchWidth(r.bottom - r.top),
                r.top + 2 + side};
    if (index < ItemColors_.size()) {
      ControlBrush fill(::CreateSolidBrush(ItemColors_[index] & 0xFFFFFF));
      if (fill) ::FillRect(dc, &swatch, fill.get());
    }
    ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_WINDOWTEXT));

    const auto length = ::SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring name(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    RECT text = r;
    text.left = swatch.right + 4;
    SelectedObject font(
        dc, Font_ ? static_cast<HGDIOBJ>(Font_->get()) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_WINDOWTEXT));
    ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    ::DrawFocusRect(dc, &item.rcItem);
  }
}

LRESULT CALLBACK Win32Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
  return reinterpret_cast<Win32Control*>(self)->Subclassed(hwnd, msg, wParam, lParam);
}

LRESULT Win32Control::Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool container = Kind_ == ControlKind::GroupBox || Kind_ == ControlKind::Panel;
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // The controls inside a box tell the box; the program hears it as from
      // the window.
      if (container) {
        if (LRESULT routed = 0; RouteControlMessage(hwnd, msg, wParam, lParam, routed))
          return routed;
      }
      break;
    case WM_ERASEBKGND:
      if (Kind_ == ControlKind::GroupBox) {
        // A group box leaves its inside unpainted; it holds controls here.
        RECT r{};
        ::GetClientRect(hwnd, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, FaceBrush());
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (Kind_ == ControlKind::Label && !Tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        Tracking_ = ::TrackMouseEvent(&track) != FALSE;
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        Report([](ControlHandler& h) { h.HandleMouseEnter(); });
        return result;
      }
      break;
    case WM_MOUSELEAVE:
      if (Kind_ == ControlKind::Label) {
        Tracking_ = false;
        Report([](ControlHandler& h) { h.HandleMouseLeave(); });
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      // The arrow keys move along the tool bar, as in any tool bar.
      if (Kind_ == ControlKind::ToolBar) {
        return ::DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTARROWS;
      }
      break;
    case WM_SETFOCUS:
      // Arrow keys and Space work on the hot button; show one on arrival.
      if (Kind_ == ControlKind::ToolBar && ::SendMessageW(hwnd, TB_GETHOTITEM, 0, 0) < 0 &&
          !Down_.empty()) {
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        ::SendMessageW(hwnd, TB_SETHOTITEM, 0, 0);
        return result;
      }
      break;
    case WM_NCDESTROY:
      // The system destroys it (with its parent): nothing left to release.
      ::RemoveWindowSubclass(hwnd, &Win32Control::SubclassProc, kSubclassId);
      ::RemovePropW(hwnd, kControlProperty);
      static_cast<void>(Hwnd_.release());
      return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

std::unique_ptr<Control> CreateWin32Control(HWND window, Platform& os, const ControlParams& params,
                                            ControlHandler& handler) {
  return std::make_unique<Win32Control>(window, os, params, handler);
}

bool RouteControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
      if (Creating && Creating->Id() == static_cast<int>(item->CtlID)) {
        return Creating->Route(msg, wParam, lParam, result);
      }
      from = ::GetDlgItem(hwnd, static_cast<int>(item->CtlID));
      break;
    }
    default:
      return false;
  }
  Win32Control* control = Win32Control::From(from);
  return control && control->Route(msg, wParam, lParam, result);
}

HWND NativeHandle(const Control& control) {
  const auto* native = dynamic_cast<const Win32Control*>(&control);
  return native ? native->Hwnd_.get() : nullptr;
}

}  // namespace vr::win32
