// The drop-down lists: choose-only, editable (a combo box) and the colour
// list, whose items each show a swatch. What the user does comes back as it
// happens, an edit with its text and a selection with its item; the
// program's own loading never.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Win32ControlBase.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

using SwatchBrush = Owned<HBRUSH, GdiObjectRelease>;

// The colour swatch of an item of the given height: a little wider than high.
int SwatchWidth(int itemHeight) { return std::max(itemHeight - 4, 1) * 3 / 2; }

template <class Family>
class Win32List : public Win32ControlOf<Family> {
 public:
  Win32List(const ControlSite& site, const ControlPlace& place, bool editable, int dropDownRows,
            ListHandler& handler)
      : Win32ControlOf<Family>(site, place),
        Editable_(editable),
        Rows_(std::max(dropDownRows, 1)),
        Handler_(handler) {}

  void SetFont(const ControlFont& font) override { this->ApplyFont(font); }

  void SetItems(const std::vector<std::string>& items) override {
    if (!this->Hwnd()) return;
    NativeControl::Quiet quiet(*this);
    // Emptying the list empties an editable box too; its text stays.
    const std::wstring text = this->WindowText();
    this->Send(WM_SETREDRAW, FALSE);
    this->Send(CB_RESETCONTENT);
    size_t bytes = 0;
    for (const std::string& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
    this->Send(CB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    for (const std::string& item : items) {
      const std::wstring wide = Widen(item);
      this->Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    this->Send(WM_SETREDRAW, TRUE);
    if (Editable_ && this->WindowText() != text) ::SetWindowTextW(this->Hwnd(), text.c_str());
    ::InvalidateRect(this->Hwnd(), nullptr, TRUE);
    DroppedWidthFits_ = false;
  }

  void SetItemIndex(int index) override {
    if (!this->Hwnd()) return;
    NativeControl::Quiet quiet(*this);
    const auto count = static_cast<int>(this->Send(CB_GETCOUNT));
    const int i = index >= 0 && index < count ? index : -1;
    // No choice leaves an editable box's text as it is.
    const std::wstring text = this->WindowText();
    this->Send(CB_SETCURSEL, static_cast<WPARAM>(i));
    if (Editable_ && i < 0 && this->WindowText() != text) {
      ::SetWindowTextW(this->Hwnd(), text.c_str());
    }
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM) return Drawn(msg, lParam, result);
    if (msg != WM_COMMAND) return false;
    const int code = HIWORD(wParam);
    // Sent before the list shows; the list takes the width set now.
    if (code == CBN_DROPDOWN) {
      FitDroppedWidth();
      return true;
    }
    if (code != CBN_EDITCHANGE && code != CBN_SELCHANGE && code != CBN_SELENDOK &&
        code != CBN_SELENDCANCEL)
      return false;
    if (this->IsQuiet()) return true;
    ListHandler& handler = Handler_;
    if (code == CBN_EDITCHANGE) {
      if (Editable_) {
        const std::string text = Narrow(this->WindowText());
        this->Report([&handler, &text] { handler.HandleTextEdited(text); });
      }
      return true;
    }
    const int index = ItemIndex();
    if (code == CBN_SELCHANGE) {
      const bool dropped = this->Send(CB_GETDROPPEDSTATE) != FALSE;
      this->Report([&handler, index, dropped] { handler.HandleSelectionChanged(index, dropped); });
    } else {
      const bool taken = code == CBN_SELENDOK;
      this->Report([&handler, index, taken] { handler.HandleListClosed(taken, index); });
    }
    return true;
  }

 protected:
  // The end of the family's construction: the list with its style and font.
  void Open(DWORD style, const ControlFont& font) {
    this->Create(WC_COMBOBOXW, style | WS_VSCROLL, 0, L"");
    NativeControl::Quiet quiet(*this);
    // Version 6 lists drop as many rows as this; older ones take the height
    // given with the bounds (see Placement).
    this->Send(CB_SETMINVISIBLE, static_cast<WPARAM>(Rows_));
    this->ApplyFont(font);
  }
  void FontChanged() override { DroppedWidthFits_ = false; }
  // Owner-drawn items; false: the system draws them.
  virtual bool Drawn(UINT /*msg*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }
  // Room beside an item's name, for what is drawn there.
  virtual int ExtraItemWidth() const { return 0; }

  int ItemIndex() const {
    if (!this->Hwnd()) return -1;
    const auto index = static_cast<int>(this->Send(CB_GETCURSEL));
    return index == CB_ERR ? -1 : index;
  }

 private:
  bool HasFocus() const override {
    const HWND focus = ::GetFocus();
    if (!this->Hwnd() || !focus) return false;
    // An editable box's focus is in its edit field.
    return focus == this->Hwnd() || (Editable_ && ::IsChild(this->Hwnd(), focus));
  }

  // The height given to a drop-down box is the box and its dropped list; the
  // box itself takes the height its font needs.
  Rect Placement() const override {
    const auto field = static_cast<int>(this->Send(CB_GETITEMHEIGHT, WPARAM(-1)));
    const auto item = static_cast<int>(this->Send(CB_GETITEMHEIGHT, 0));
    const Rect& b = this->Bounds_;
    return {b.Left, b.Top, b.Width, field + 8 + Rows_ * std::max(item, 1) + 2};
  }

  // The dropped list shows its longest item whole. Measured when the list
  // drops, not when it is filled: a long list may never be dropped.
  void FitDroppedWidth() {
    if (!this->Hwnd() || DroppedWidthFits_) return;
    WindowDc dc(this->Hwnd());
    if (!dc.Get()) return;
    SelectedObject font(dc.Get(), this->FontObject());
    const auto count = static_cast<int>(this->Send(CB_GETCOUNT));
    LONG widest = 0;
    std::wstring item;
    for (int i = 0; i < count; ++i) {
      const auto length = this->Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
      if (length <= 0) continue;
      item.assign(static_cast<size_t>(length) + 1, L'\0');
      this->Send(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
      SIZE size{};
      ::GetTextExtentPoint32W(dc.Get(), item.c_str(), static_cast<int>(length), &size);
      widest = std::max(widest, size.cx);
    }
    // A list as wide as its longest name, never narrower than the box.
    LONG width = widest + 8 + ::GetSystemMetrics(SM_CXVSCROLL) + 2 + ExtraItemWidth();
    width = std::max<LONG>(width, this->Bounds_.Width);
    this->Send(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width));
    DroppedWidthFits_ = true;
  }

  const bool Editable_;
  const int Rows_;
  ListHandler& Handler_;
  bool DroppedWidthFits_ = false;
};

class Win32DropDownList final : public Win32List<DropDownList> {
 public:
  Win32DropDownList(const ControlSite& site, const ControlPlace& place, const ControlFont& font,
                    int dropDownRows, ListHandler& handler)
      : Win32List(site, place, false, dropDownRows, handler) {
    Open(CBS_DROPDOWNLIST, font);
  }
};

class Win32ComboBox final : public Win32List<ComboBox> {
 public:
  Win32ComboBox(const ControlSite& site, const ControlPlace& place, const ControlFont& font,
                int dropDownRows, ListHandler& handler)
      : Win32List(site, place, true, dropDownRows, handler) {
    Open(CBS_DROPDOWN | CBS_AUTOHSCROLL, font);
  }

  void SetText(const std::string& text) override {
    if (!Hwnd()) return;
    SetWindowTextQuietly(Widen(text));
  }
};

class Win32ColorList final : public Win32List<ColorList> {
 public:
  Win32ColorList(const ControlSite& site, const ControlPlace& place, const ControlFont& font,
                 int dropDownRows, ListHandler& handler)
      : Win32List(site, place, false, dropDownRows, handler) {
    Open(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, font);
  }

  void SetItemColors(const std::vector<TColor>& colors) override {
    Colors_ = colors;
    if (Hwnd()) ::InvalidateRect(Hwnd(), nullptr, FALSE);
  }

 private:
  // The items follow the font's height.
  void FontChanged() override {
    Win32List::FontChanged();
    Quiet quiet(*this);
    Send(CB_SETITEMHEIGHT, WPARAM(-1), ItemHeight());
    Send(CB_SETITEMHEIGHT, 0, ItemHeight());
  }

  int ExtraItemWidth() const override { return SwatchWidth(ItemHeight()) + 6; }

  bool Drawn(UINT msg, LPARAM lParam, LRESULT& result) override {
    if (msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight());
    } else {
      Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    result = TRUE;
    return true;
  }

  int ItemHeight() const {
    WindowDc dc(Hwnd());
    if (!dc.Get()) return 16;
    SelectedObject select(dc.Get(), FontObject());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return metrics.tmHeight + 2;
  }

  void Draw(const DRAWITEMSTRUCT& item) const;

  std::vector<TColor> Colors_;
};

void Win32ColorList::Draw(const DRAWITEMSTRUCT& item) const {
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
    if (index < Colors_.size()) {
      SwatchBrush fill(::CreateSolidBrush(Colors_[index] & 0xFFFFFF));
      if (fill) ::FillRect(dc, &swatch, fill.get());
    }
    ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_WINDOWTEXT));

    const auto length = ::SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring name(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    RECT text = r;
    text.left = swatch.right + 4;
    SelectedObject font(dc, FontObject());
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

}  // namespace

std::unique_ptr<ComboBox> MakeComboBox(const ControlSite& site, const ControlPlace& place,
                                       const ControlFont& font, int dropDownRows,
                                       ListHandler& handler) {
  return std::make_unique<Win32ComboBox>(site, place, font, dropDownRows, handler);
}

std::unique_ptr<DropDownList> MakeDropDownList(const ControlSite& site, const ControlPlace& place,
                                               const ControlFont& font, int dropDownRows,
                                               ListHandler& handler) {
  return std::make_unique<Win32DropDownList>(site, place, font, dropDownRows, handler);
}

std::unique_ptr<ColorList> MakeColorList(const ControlSite& site, const ControlPlace& place,
                                         const ControlFont& font, int dropDownRows,
                                         ListHandler& handler) {
  return std::make_unique<Win32ColorList>(site, place, font, dropDownRows, handler);
}

}  // namespace vr::win32
