// The tool bar: a vertical strip of picture buttons, each a push or a check
// button, with tool tips; clicked or pressed with the keys, each comes back
// once.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Win32ControlBase.h"
#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

struct ImageListRelease {
  static constexpr HandleKind kKind = HandleKind::Other;
  void operator()(HIMAGELIST list) const noexcept { ::ImageList_Destroy(list); }
};
using ImageListHandle = Owned<HIMAGELIST, ImageListRelease>;

// Buttons report their index above this.
constexpr int kToolButtonIdBase = 100;

class Win32ToolBar final : public Win32ControlOf<ToolBar> {
 public:
  Win32ToolBar(const ControlSite& site, const ControlPlace& place, ToolBarHandler& handler)
      : Win32ControlOf(site, place), Handler_(handler) {
    Create(TOOLBARCLASSNAMEW,
           CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
               TBSTYLE_WRAPABLE,
           0, L"");
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  }

  void SetButtons(const std::vector<ToolButtonSpec>& buttons) override;
  void SetButtonDown(int index, bool down) override;
  bool Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool ShowsDown(int index) const {
    const auto id = static_cast<WPARAM>(kToolButtonIdBase + index);
    return (Send(TB_GETSTATE, id) & TBSTATE_CHECKED) != 0;
  }

  ToolBarHandler& Handler_;
  ImageListHandle Images_;
  std::vector<std::wstring> Hints_;
  std::vector<bool> Checks_;  // which buttons are check buttons
  std::vector<bool> Down_;    // as the program last set them
};

void Win32ToolBar::SetButtons(const std::vector<ToolButtonSpec>& buttons) {
  if (!Hwnd()) return;
  Quiet quiet(*this);
  while (Send(TB_BUTTONCOUNT) > 0) Send(TB_DELETEBUTTON, 0);

  int w = 0, h = 0;
  for (const ToolButtonSpec& b : buttons) {
    w = std::max(w, b.Picture.Width());
    h = std::max(h, b.Picture.Height());
  }
  ImageListHandle images;
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
  Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  if (w > 0 && h > 0) {
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(w, h));
    Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(w + 7, h + 6));
    // One column, centred in the bar.
    Send(TB_SETINDENT, static_cast<WPARAM>(std::max((Bounds_.Width - w - 7) / 2, 0)));
  }
  if (!entries.empty()) {
    Send(TB_ADDBUTTONSW, entries.size(), reinterpret_cast<LPARAM>(entries.data()));
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
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void Win32ToolBar::SetButtonDown(int index, bool down) {
  if (!Hwnd() || index < 0 || index >= static_cast<int>(Down_.size())) return;
  Quiet quiet(*this);
  const auto id = static_cast<WPARAM>(kToolButtonIdBase + index);
  // The state, not TB_CHECKBUTTON: a plain button shows pressed as well.
  auto state = static_cast<BYTE>(Send(TB_GETSTATE, id));
  state = down ? static_cast<BYTE>(state | TBSTATE_CHECKED)
               : static_cast<BYTE>(state & ~TBSTATE_CHECKED);
  Send(TB_SETSTATE, id, MAKELPARAM(state, 0));
  Down_[static_cast<size_t>(index)] = down;
}

bool Win32ToolBar::Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& /*result*/) {
  if (msg == WM_COMMAND) {
    const int index = LOWORD(wParam) - kToolButtonIdBase;
    if (IsQuiet() || index < 0 || index >= static_cast<int>(Down_.size())) return true;
    const auto i = static_cast<size_t>(index);
    if (Checks_[i]) {
      // A check button has turned over when clicked; from the keys (Space on
      // the hot button) it has not, so turn it here: the program counts on it
      // either way.
      const bool down = ShowsDown(index);
      if (down == Down_[i]) {
        SetButtonDown(index, !down);
      } else {
        Down_[i] = down;
      }
    }
    ToolBarHandler& handler = Handler_;
    Report([&handler, index] { handler.HandleButtonClick(index); });
    return true;
  }
  if (msg != WM_NOTIFY) return false;
  auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(lParam);
  if (tip->hdr.code != TBN_GETINFOTIPW) return false;
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

std::optional<LRESULT> Win32ToolBar::Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The arrow keys move along the tool bar, as in any tool bar.
  if (msg == WM_GETDLGCODE) return ::DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTARROWS;
  // Arrow keys and Space work on the hot button; show one on arrival.
  if (msg == WM_SETFOCUS && Send(TB_GETHOTITEM) < 0 && !Down_.empty()) {
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    Send(TB_SETHOTITEM, 0);
    return result;
  }
  return std::nullopt;
}

}  // namespace

std::unique_ptr<ToolBar> MakeToolBar(const ControlSite& site, const ControlPlace& place,
                                     ToolBarHandler& handler) {
  return std::make_unique<Win32ToolBar>(site, place, handler);
}

}  // namespace vr::win32
