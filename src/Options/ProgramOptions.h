#pragma once
// The program's own options beside the rulers': the hotkey that hides and
// shows the rulers from anywhere, and the start with the user's session. The
// Options window shows them; each change is kept in the store at once.

#include <cstdint>
#include <optional>
#include <string>

#include "forms/Forms.h"
#include "platform/Platform.h"

namespace vr {

// The program's key, which holds the rulers' keys, and the hotkey's value in it.
inline constexpr const char* kProgramKeyPath = "SOFTWARE\\Vantori\\Rulers\\";
inline constexpr const char* kHotkeyValueName = "Hotkey";
inline constexpr KeyChord kDefaultHotkey{'R', ModCtrl | ModAlt};

// The hotkey as the store keeps it: the key in the low byte, the modifiers
// (ModifierKeys) in the byte above; 0 for none.
uint32_t StoredHotkeyValue(KeyChord chord);
// The chord a stored value holds; nullopt for a value that holds none (bits
// beyond the two bytes, modifiers without a key). 0 is the chord of none.
std::optional<KeyChord> StoredHotkey(uint32_t value);

enum class THotkeyState {
  Off,             // no chord: the box is empty
  Active,          // the program holds the chord
  NeedsCtrlOrAlt,  // a key alone or with Shift is for typing: not taken from other programs
  InUse,           // another program holds the chord
  Refused,         // the system would not give it
};

// The hotkey the program holds, read from the store at start.
class TGlobalHotkey {
 public:
  // The stored chord, or the default where none or a damaged one is stored, claimed.
  explicit TGlobalHotkey(Platform& os);
  ~TGlobalHotkey();
  TGlobalHotkey(const TGlobalHotkey&) = delete;
  TGlobalHotkey& operator=(const TGlobalHotkey&) = delete;

  KeyChord Chord() const { return Chord_; }
  THotkeyState State() const { return State_; }
  // The user's chord, at once: the one before released, this one claimed and
  // stored. A chord without a key turns the hotkey off.
  void SetChord(KeyChord chord);
  // Another program may have let go of the chord since: tried again.
  void ClaimAgain();
  // What the Options window says beside the box; empty when all is well.
  std::string Note() const;

 private:
  void Claim();
  Platform& Os_;
  KeyChord Chord_;
  THotkeyState State_ = THotkeyState::Off;
  bool Kept_ = true;  // the store took the last change
};

// The value of the session's start list that names the program.
inline constexpr const char* kStartValueName = "Vantori Rulers";

// What the session's start list holds under the program's name.
enum class TStartState {
  Absent,     // nothing: the program does not start with the session
  Ours,       // this program's own file
  OtherPath,  // another file: the program moved, or another copy of it
};

// The command line the list holds for the program at path: the path, quoted.
std::string StartCommand(const std::string& programPath);
// What a value found in the list (nullopt: none) is for the program at path.
// A path reads the same with or without quotes, and in any case of letters.
TStartState StartStateOf(const std::optional<StoreValue>& value, const std::string& programPath);

// "Start with Windows": the program's value in the session's start list.
class TStartWithWindows {
 public:
  explicit TStartWithWindows(Platform& os) : Os_(os) {}

  // Reads the list again: someone else may have changed it.
  void Refresh();
  TStartState State() const { return State_; }
  // The box shows this: ticked only for the program's own file.
  bool On() const { return State_ == TStartState::Ours; }
  // On: the program's file goes into the list, in place of any other; off:
  // its value goes. A store that refuses leaves State() what the list holds
  // then, and Note() says so until the next change or read.
  void Set(bool on);
  // What the Options window says beside the box; empty when all is well.
  std::string Note() const;

 private:
  Platform& Os_;
  TStartState State_ = TStartState::Absent;
  bool Refused_ = false;
};

// Both, as the program holds them and the Options window shows them.
struct TProgramOptions {
  explicit TProgramOptions(TApplication& app) : Hotkey(app.Os()), StartWithWindows(app.Os()) {}
  TGlobalHotkey Hotkey;
  TStartWithWindows StartWithWindows;
};

}  // namespace vr
