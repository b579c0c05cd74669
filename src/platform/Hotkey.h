#pragma once
// The program's hotkey: one chord that reaches the program whichever program
// has the keyboard.

#include "platform/Keys.h"

namespace vr {

// What the system tells the program of its hotkey. Every call comes on the UI
// thread, in whatever loop runs at the time (a menu's, a dialog's).
class HotkeyHandler {
 public:
  virtual ~HotkeyHandler() = default;
  // The user pressed the chord the program holds.
  virtual void HandleHotkey(KeyChord /*chord*/) {}
};

// What came of a claim.
enum class HotkeyClaim {
  Claimed,  // the chord is the program's until it is released
  InUse,    // another program holds it
  Refused,  // the system would not give it, for another reason
};

class GlobalHotkey {
 public:
  virtual ~GlobalHotkey() = default;
  // Claims the chord for the program; a held key does not repeat it. The
  // program holds one chord at most: a claim first releases the one before,
  // also when it fails. A chord without a key is never claimed.
  virtual HotkeyClaim ClaimHotkey(KeyChord chord) = 0;
  virtual void ReleaseHotkey() = 0;
  // Who hears of a press; nullptr for nobody.
  virtual void SetHotkeyHandler(HotkeyHandler* handler) = 0;
};

}  // namespace vr
