#pragma once
// The keys and messages the program looks at, in its own names: each platform
// translates its key codes and messages into these.

#include <cstdint>
#include <functional>
#include <optional>

namespace vr {

enum class KeyCode : uint8_t {
  None,  // a key the program has no name for
  Backspace,
  Tab,
  Enter,
  Escape,
  Space,
  PageUp,
  PageDown,
  End,
  Home,
  Left,
  Up,
  Right,
  Down,
  Insert,
  Delete,
  // clang-format off
  Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
  A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  NumpadAdd,       // + on the numeric pad
  NumpadSubtract,  // - on the numeric pad
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  F13, F14, F15, F16, F17, F18, F19, F20, F21, F22, F23, F24,
  // clang-format on
  Shift,
  Control,
  Alt,
  Menu,  // the key that opens the context menu
};

// The digit keys 0..9 and the function keys F1..F24 by number.
constexpr KeyCode DigitKey(int digit) {
  return static_cast<KeyCode>(static_cast<int>(KeyCode::Digit0) + digit);
}
constexpr KeyCode FunctionKey(int number) {
  return static_cast<KeyCode>(static_cast<int>(KeyCode::F1) + number - 1);
}
constexpr std::optional<int> DigitOf(KeyCode key) {
  if (key < KeyCode::Digit0 || key > KeyCode::Digit9) return std::nullopt;
  return static_cast<int>(key) - static_cast<int>(KeyCode::Digit0);
}
constexpr std::optional<int> FunctionKeyNumber(KeyCode key) {
  if (key < KeyCode::F1 || key > KeyCode::F24) return std::nullopt;
  return static_cast<int>(key) - static_cast<int>(KeyCode::F1) + 1;
}
// 'A'..'Z' for the letter keys, nothing for the others.
constexpr std::optional<char> LetterOf(KeyCode key) {
  if (key < KeyCode::A || key > KeyCode::Z) return std::nullopt;
  return static_cast<char>('A' + (static_cast<int>(key) - static_cast<int>(KeyCode::A)));
}

// The modifier keys held with a key message, as one byte; left and right
// keys count alike.
enum ModifierKeys : uint8_t { ModShift = 1, ModAlt = 2, ModCtrl = 4 };

// A key with the modifiers held, as a hotkey is typed and claimed. Key is the
// key's number in the standard PC keyboard's virtual-key set, which the store
// keeps too: a letter or a digit is its character ('A'..'Z', '0'..'9'). Key 0
// is no chord at all, whatever the modifiers.
struct KeyChord {
  uint8_t Key = 0;
  uint8_t Modifiers = 0;  // ModifierKeys
  bool operator==(const KeyChord&) const = default;
};

// A key goes down (with Alt, or F10 alone, it is a system key) and up; a
// character is what a key down typed. The rest the program only passes on.
enum class MessageKind : uint8_t { Other, KeyDown, KeyUp, SysKeyDown, SysKeyUp, Char };

class WindowHandler;

struct Message {
  MessageKind Kind = MessageKind::Other;
  KeyCode Key = KeyCode::None;  // for the key messages
  uint8_t Modifiers = 0;        // for the key messages: held as the key went down
  // The top-level window the message is for (for a key: the one holding the
  // focus, or the one whose control holds it); nullptr for none of ours.
  WindowHandler* Target = nullptr;
};

constexpr bool IsKeyDown(const Message& msg) {
  return msg.Kind == MessageKind::KeyDown || msg.Kind == MessageKind::SysKeyDown;
}

// Sees every message taken from the queue before its normal handling; true
// means the program dealt with it (a shortcut) and it goes no further. It
// never throws.
using MessageFilter = std::function<bool(const Message& msg)>;

}  // namespace vr
