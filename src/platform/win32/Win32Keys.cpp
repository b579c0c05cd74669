#include "platform/win32/Win32Keys.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vr::win32 {

namespace {

constexpr std::pair<KeyCode, int> kNamedKeys[] = {
    {KeyCode::Backspace, VK_BACK},
    {KeyCode::Tab, VK_TAB},
    {KeyCode::Enter, VK_RETURN},
    {KeyCode::Escape, VK_ESCAPE},
    {KeyCode::Space, VK_SPACE},
    {KeyCode::PageUp, VK_PRIOR},
    {KeyCode::PageDown, VK_NEXT},
    {KeyCode::End, VK_END},
    {KeyCode::Home, VK_HOME},
    {KeyCode::Left, VK_LEFT},
    {KeyCode::Up, VK_UP},
    {KeyCode::Right, VK_RIGHT},
    {KeyCode::Down, VK_DOWN},
    {KeyCode::Insert, VK_INSERT},
    {KeyCode::Delete, VK_DELETE},
    {KeyCode::NumpadAdd, VK_ADD},
    {KeyCode::NumpadSubtract, VK_SUBTRACT},
    {KeyCode::Shift, VK_SHIFT},
    {KeyCode::Control, VK_CONTROL},
    {KeyCode::Alt, VK_MENU},
    {KeyCode::Menu, VK_APPS},
};

// Digits, letters and function keys run in the same order in both sets.
struct KeyRange {
  KeyCode First;
  int FirstVk;
  int Count;
};
constexpr KeyRange kKeyRanges[] = {
    {KeyCode::Digit0, '0', 10},
    {KeyCode::A, 'A', 26},
    {KeyCode::F1, VK_F1, 24},
};

constexpr std::pair<UINT, MessageKind> kMessages[] = {
    {WM_KEYDOWN, MessageKind::KeyDown},
    {WM_KEYUP, MessageKind::KeyUp},
    {WM_SYSKEYDOWN, MessageKind::SysKeyDown},
    {WM_SYSKEYUP, MessageKind::SysKeyUp},
    {WM_CHAR, MessageKind::Char},
};

}  // namespace

KeyCode KeyFromVirtualKey(WPARAM vk) {
  for (const auto& [key, code] : kNamedKeys)
    if (static_cast<WPARAM>(code) == vk) return key;
  for (const KeyRange& range : kKeyRanges) {
    if (vk >= static_cast<WPARAM>(range.FirstVk) &&
        vk < static_cast<WPARAM>(range.FirstVk + range.Count))
      return static_cast<KeyCode>(static_cast<int>(range.First) +
                                  static_cast<int>(vk - static_cast<WPARAM>(range.FirstVk)));
  }
  return KeyCode::None;
}

int VirtualKeyOf(KeyCode key) {
  for (const auto& [named, code] : kNamedKeys)
    if (named == key) return code;
  for (const KeyRange& range : kKeyRanges) {
    const int offset = static_cast<int>(key) - static_cast<int>(range.First);
    if (offset >= 0 && offset < range.Count) return range.FirstVk + offset;
  }
  return 0;
}

MessageKind MessageKindOf(UINT msg) {
  for (const auto& [code, kind] : kMessages)
    if (code == msg) return kind;
  return MessageKind::Other;
}

Message Translate(const MSG& msg, WindowHandler* target) {
  const MessageKind kind = MessageKindOf(msg.message);
  // A character message carries a character, not a key.
  const bool key = kind != MessageKind::Other && kind != MessageKind::Char;
  if (!key) return {kind, KeyCode::None, 0, target};
  // The key state as of this message: it is taken from the queue just now.
  uint8_t modifiers = 0;
  if (::GetKeyState(VK_SHIFT) < 0) modifiers |= ModShift;
  if (::GetKeyState(VK_MENU) < 0) modifiers |= ModAlt;
  if (::GetKeyState(VK_CONTROL) < 0) modifiers |= ModCtrl;
  return {kind, KeyFromVirtualKey(msg.wParam), modifiers, target};
}

}  // namespace vr::win32
