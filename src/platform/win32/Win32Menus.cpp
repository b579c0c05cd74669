// Popup menus: the program's items with their shortcuts, radio checks and
// pictures, which are drawn here with their transparency (not every system's
// menus blend it).

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/Win32Images.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

// Draws the pictures of the menu that is open while it lives. The menu asks
// its owner window for them, which need not be ours: with the colour chooser
// or an error box in front, that window is the system's. So the owner, a
// window of this thread, is subclassed meanwhile to answer. A menu opened
// from another on the same owner stacks its subclass on the first, answers
// first, and takes only its own away.
class OpenMenu {
 public:
  OpenMenu(const std::vector<BitmapHandle>& pictures, HWND owner)
      : Pictures_(pictures), Owner_(owner) {
    Subclassed_ =
        Owner_ && ::SetWindowSubclass(Owner_, &OwnerProc, reinterpret_cast<UINT_PTR>(this),
                                      reinterpret_cast<DWORD_PTR>(this));
  }
  ~OpenMenu() {
    if (Subclassed_) ::RemoveWindowSubclass(Owner_, &OwnerProc, reinterpret_cast<UINT_PTR>(this));
  }
  OpenMenu(const OpenMenu&) = delete;
  OpenMenu& operator=(const OpenMenu&) = delete;

 private:
  static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    // wParam 0: a menu's item, not a control's.
    if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && wParam == 0 &&
        reinterpret_cast<const OpenMenu*>(self)->Answer(msg, lParam))
      return TRUE;
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
  }

  // WM_MEASUREITEM and WM_DRAWITEM of a menu item with a picture. true: answered.
  bool Answer(UINT msg, LPARAM lParam) const;

  const std::vector<BitmapHandle>& Pictures_;
  HWND Owner_;
  bool Subclassed_ = false;
};

bool OpenMenu::Answer(UINT msg, LPARAM lParam) const {
  const auto picture = [this](ULONG_PTR index) -> HBITMAP {
    return index < Pictures_.size() ? Pictures_[index].get() : nullptr;
  };
  if (msg == WM_MEASUREITEM) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    BITMAP bm{};
    if (item.CtlType != ODT_MENU || !::GetObjectW(picture(item.itemData), sizeof bm, &bm))
      return false;
    // A quarter of the picture's width apart from the caption.
    item.itemWidth = static_cast<UINT>(bm.bmWidth + bm.bmWidth / 4);
    item.itemHeight = static_cast<UINT>(bm.bmHeight);
    return true;
  }
  auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  BITMAP bm{};
  if (item.CtlType != ODT_MENU || !::GetObjectW(picture(item.itemData), sizeof bm, &bm))
    return false;
  MemoryDcHandle source(::CreateCompatibleDC(item.hDC));
  if (!source) return true;
  SelectedObject selected(source.get(), picture(item.itemData));
  const RECT& r = item.rcItem;
  const int top = r.top + std::max(0, static_cast<int>((r.bottom - r.top - bm.bmHeight) / 2));
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::GdiAlphaBlend(item.hDC, r.left, top, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, bm.bmWidth,
                  bm.bmHeight, blend);
  return true;
}

// A checked item with a picture shows it on a framed, highlighted square, as
// well as its radio dot: which ruler is the active one shows at a glance.
MaskedImage Highlighted(const MaskedImage& picture) {
  constexpr TColor kFill = 0x00FFE8CC;   // a light blue
  constexpr TColor kFrame = 0x00D77800;  // the desktop's accent blue
  const int w = picture.Width(), h = picture.Height();
  MaskedImage out(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      out.Paint(x, y, edge ? kFrame : kFill);
      out.Paint(x, y, picture.Color.Pixel(x, y), picture.AlphaAt(x, y));
    }
  }
  return out;
}

// After a tab, the shortcut's text: the system lines it up on the right.
std::wstring MenuText(const MenuItemSpec& item) {
  std::wstring text = Widen(item.Caption);
  if (!item.ShortcutText.empty()) text += L"\t" + Widen(item.ShortcutText);
  return text;
}

}  // namespace

int Win32Platform::TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) {
  // The menu runs a loop of its own: a held-back move shows first.
  FlushMoves();
  // Declared before the menu: the pictures must outlive it.
  std::vector<BitmapHandle> pictures;
  pictures.reserve(items.size());
  MenuHandle menu(::CreatePopupMenu());
  if (!menu) return -1;
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuItemSpec& item = items[i];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    info.wID = static_cast<UINT>(i + 1);  // 0 is "dismissed"
    std::wstring text;
    if (item.Separator) {
      info.fType = MFT_SEPARATOR;
    } else {
      text = MenuText(item);
      info.fMask |= MIIM_STRING | MIIM_STATE;
      info.fType = MFT_STRING | (item.RadioItem ? MFT_RADIOCHECK : 0);
      info.fState = item.Checked ? MFS_CHECKED : MFS_UNCHECKED;
      info.dwTypeData = text.data();
      if (!item.Picture.Empty()) {
        pictures.push_back(
            MakeAlphaBitmap(item.Checked ? Highlighted(item.Picture) : item.Picture));
        // Drawn by OpenMenu; the item's data is the picture's place.
        info.fMask |= MIIM_BITMAP | MIIM_DATA;
        info.hbmpItem = HBMMENU_CALLBACK;
        info.dwItemData = pictures.size() - 1;
      }
    }
    if (!::InsertMenuItemW(menu.get(), static_cast<UINT>(i), TRUE, &info)) return -1;
  }
  // A menu closes when the user clicks elsewhere only while its owner is the
  // foreground window. A window of ours in front keeps the keyboard after
  // the menu; otherwise the hidden application window takes the front.
  HWND owner = ::GetForegroundWindow();
  if (!owner || ::GetWindowThreadProcessId(owner, nullptr) != ::GetCurrentThreadId()) {
    owner = AppWindow();
    ::SetForegroundWindow(owner);
  }
  OpenMenu open(pictures, owner);
  const BOOL chosen = ::TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         at.X, at.Y, owner, nullptr);
  // The documented way to let the owner's next menu open at the first click.
  ::PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<size_t>(chosen) > items.size()) return -1;
  return chosen - 1;
}

}  // namespace vr::win32
