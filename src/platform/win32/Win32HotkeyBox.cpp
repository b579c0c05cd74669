// The hotkey box: the common controls' own, whose chord comes back in the
// program's names each time the user's keys change it, the program's own
// chord never.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <utility>

#include "platform/win32/Win32ControlBase.h"

namespace vr::win32 {

namespace {

constexpr std::pair<BYTE, uint8_t> kModifiers[] = {
    {HOTKEYF_SHIFT, ModShift},
    {HOTKEYF_CONTROL, ModCtrl},
    {HOTKEYF_ALT, ModAlt},
};

// The keys of the keyboard's extended part, which the box names by their scan
// code: without the flag it would call Home "Num 7".
bool IsExtendedKey(BYTE vk) {
  switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
      return true;
    default:
      return false;
  }
}

KeyChord ChordOf(WORD hotkey) {
  KeyChord chord{LOBYTE(hotkey), 0};
  for (const auto& [flag, modifier] : kModifiers)
    if (HIBYTE(hotkey) & flag) chord.Modifiers |= modifier;
  return chord;
}

WORD HotkeyOf(KeyChord chord) {
  if (chord.Key == 0) return 0;
  BYTE flags = IsExtendedKey(chord.Key) ? HOTKEYF_EXT : 0;
  for (const auto& [flag, modifier] : kModifiers)
    if (chord.Modifiers & modifier) flags |= flag;
  return MAKEWORD(chord.Key, flags);
}

class Win32HotkeyBox final : public Win32ControlOf<HotkeyBox> {
 public:
  Win32HotkeyBox(const ControlSite& site, const ControlPlace& place, const ControlFont& font,
                 HotkeyBoxHandler& handler)
      : Win32ControlOf(site, place), Handler_(handler) {
    Create(HOTKEY_CLASSW, 0, WS_EX_CLIENTEDGE, L"");
    ApplyFont(font);
  }

  void SetFont(const ControlFont& font) override { ApplyFont(font); }

  void SetChord(KeyChord chord) override {
    if (!Hwnd()) return;
    Quiet quiet(*this);
    Send(HKM_SETHOTKEY, HotkeyOf(chord));
    Shown_ = static_cast<WORD>(Send(HKM_GETHOTKEY));
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT&) override {
    if (msg != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    // Within a key the key's end tells; a change from elsewhere tells now.
    if (!IsQuiet() && !InKey_) ReportChange();
    return true;
  }

 private:
  // Every key the box takes may change its chord, and some do so without a
  // notice (Backspace clears it so here and there): after each the chord is
  // compared with the one the program heard of last.
  std::optional<LRESULT> Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg < WM_KEYFIRST || msg > WM_KEYLAST) return std::nullopt;
    InKey_ = true;
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    InKey_ = false;
    ReportChange();
    return result;
  }

  // Touches no member after the report: the handler may take the box away.
  void ReportChange() {
    const auto now = static_cast<WORD>(Send(HKM_GETHOTKEY));
    if (now == Shown_) return;
    Shown_ = now;
    HotkeyBoxHandler& handler = Handler_;
    const KeyChord chord = ChordOf(now);
    Report([&handler, chord] { handler.HandleChordChanged(chord); });
  }

  HotkeyBoxHandler& Handler_;
  WORD Shown_ = 0;  // the chord the program knows the box to show
  bool InKey_ = false;
};

}  // namespace

std::unique_ptr<HotkeyBox> MakeHotkeyBox(const ControlSite& site, const ControlPlace& place,
                                         const ControlFont& font, HotkeyBoxHandler& handler) {
  return std::make_unique<Win32HotkeyBox>(site, place, font, handler);
}

}  // namespace vr::win32
