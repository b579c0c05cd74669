// The program's hotkey in Win32's terms: a hotkey registered for the
// application window, whose WM_HOTKEY comes wherever the keyboard is.

#include <exception>
#include <utility>

#include "platform/win32/Win32Platform.h"

namespace vr::win32 {

namespace {

// The one hotkey of the program, among the application window's.
constexpr int kHotkeyId = 1;

constexpr std::pair<UINT, uint8_t> kModifiers[] = {
    {MOD_SHIFT, ModShift},
    {MOD_CONTROL, ModCtrl},
    {MOD_ALT, ModAlt},
};

UINT SystemModifiers(uint8_t modifiers) {
  UINT flags = 0;
  for (const auto& [flag, modifier] : kModifiers)
    if (modifiers & modifier) flags |= flag;
  return flags;
}

uint8_t ProgramModifiers(UINT flags) {
  uint8_t modifiers = 0;
  for (const auto& [flag, modifier] : kModifiers)
    if (flags & flag) modifiers |= modifier;
  return modifiers;
}

}  // namespace

HotkeyClaim Win32Platform::ClaimHotkey(KeyChord chord) {
  HeldHotkey_.reset();
  if (chord.Key == 0) return HotkeyClaim::Refused;
  const HWND app = AppWindow();
  // Held down, the chord comes once, not at the keyboard's repeat rate.
  if (!::RegisterHotKey(app, kHotkeyId, SystemModifiers(chord.Modifiers) | MOD_NOREPEAT,
                        chord.Key)) {
    return ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotkeyClaim::InUse
                                                               : HotkeyClaim::Refused;
  }
  HeldHotkey_ = HotkeyRegistration(app, kHotkeyId);
  return HotkeyClaim::Claimed;
}

void Win32Platform::ReleaseHotkey() { HeldHotkey_.reset(); }

bool Win32Platform::HandleHotkeyMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_HOTKEY) return false;
  if (wParam != kHotkeyId || !HotkeyHandler_) return true;
  const KeyChord chord{static_cast<uint8_t>(HIWORD(lParam)), ProgramModifiers(LOWORD(lParam))};
  try {
    HotkeyHandler_->HandleHotkey(chord);
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
  return true;
}

}  // namespace vr::win32
