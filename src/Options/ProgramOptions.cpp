#include "Options/ProgramOptions.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vr {

namespace {

constexpr uint8_t kAllModifiers = ModShift | ModAlt | ModCtrl;
constexpr const char* kRefusedNote = "refused by Windows";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

// ---------------------------------------------------------------- the hotkey

uint32_t StoredHotkeyValue(KeyChord chord) {
  if (chord.Key == 0) return 0;
  return chord.Key | static_cast<uint32_t>(chord.Modifiers & kAllModifiers) << 8;
}

std::optional<KeyChord> StoredHotkey(uint32_t value) {
  if (value == 0) return KeyChord{};
  const KeyChord chord{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
  if (value > 0xFFFF || chord.Key == 0 || (chord.Modifiers & ~kAllModifiers) != 0)
    return std::nullopt;
  return chord;
}

TGlobalHotkey::TGlobalHotkey(Platform& os) : Os_(os), Chord_(kDefaultHotkey) {
  if (const auto key = Os_.Store().Open(kProgramKeyPath, false)) {
    if (const auto v = key->Read(kHotkeyValueName); v && v->Kind == StoreKind::Integer) {
      if (const auto stored = StoredHotkey(v->Integer)) Chord_ = *stored;
    }
  }
  Claim();
}

TGlobalHotkey::~TGlobalHotkey() { Os_.ReleaseHotkey(); }

void TGlobalHotkey::Claim() {
  if (Chord_.Key == 0) {
    Os_.ReleaseHotkey();
    State_ = THotkeyState::Off;
  } else if ((Chord_.Modifiers & (ModCtrl | ModAlt)) == 0) {
    Os_.ReleaseHotkey();
    State_ = THotkeyState::NeedsCtrlOrAlt;
  } else {
    switch (Os_.ClaimHotkey(Chord_)) {
      case HotkeyClaim::Claimed:
        State_ = THotkeyState::Active;
        break;
      case HotkeyClaim::InUse:
        State_ = THotkeyState::InUse;
        break;
      case HotkeyClaim::Refused:
        State_ = THotkeyState::Refused;
        break;
    }
  }
}

void TGlobalHotkey::SetChord(KeyChord chord) {
  // Modifiers held so far name no chord yet: the box shows none.
  if (chord.Key == 0) chord = {};
  chord.Modifiers &= kAllModifiers;
  // The same chord again changes nothing, unless its claim or its store failed.
  const bool failed = State_ == THotkeyState::InUse || State_ == THotkeyState::Refused || !Kept_;
  if (chord == Chord_ && !failed) return;
  Chord_ = chord;
  Claim();
  const auto key = Os_.Store().Open(kProgramKeyPath, true);
  Kept_ = key && key->WriteInteger(kHotkeyValueName, StoredHotkeyValue(Chord_));
}

void TGlobalHotkey::ClaimAgain() {
  if (State_ == THotkeyState::InUse || State_ == THotkeyState::Refused) Claim();
}

std::string TGlobalHotkey::Note() const {
  switch (State_) {
    case THotkeyState::NeedsCtrlOrAlt:
      return "needs Ctrl or Alt";
    case THotkeyState::InUse:
      return "in use by another program";
    case THotkeyState::Refused:
      return kRefusedNote;
    case THotkeyState::Off:
    case THotkeyState::Active:
      break;
  }
  return Kept_ ? "" : "kept for this run only";
}

// ---------------------------------------------------------------- the start with Windows

std::string StartCommand(const std::string& programPath) { return "\"" + programPath + "\""; }

TStartState StartStateOf(const std::optional<StoreValue>& value, const std::string& programPath) {
  if (!value) return TStartState::Absent;
  if (value->Kind != StoreKind::Text) return TStartState::OtherPath;
  std::string_view path = Trimmed(value->Text);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return !programPath.empty() && SameNoCase(path, programPath) ? TStartState::Ours
                                                               : TStartState::OtherPath;
}

void TStartWithWindows::Refresh() {
  Refused_ = false;
  std::optional<StoreValue> value;
  if (const auto key = Os_.Store().Open(kSessionStartKeyPath, false))
    value = key->Read(kStartValueName);
  State_ = StartStateOf(value, Os_.ProgramPath());
}

void TStartWithWindows::Set(bool on) {
  bool done = false;
  if (on) {
    const std::string path = Os_.ProgramPath();
    const auto key = path.empty() ? nullptr : Os_.Store().Open(kSessionStartKeyPath, true);
    done = key && key->WriteText(kStartValueName, StartCommand(path));
  } else {
    done = DeleteStoredValue(Os_.Store(), kSessionStartKeyPath, kStartValueName);
  }
  // What the list holds now, whether the store took the change or not.
  Refresh();
  Refused_ = !done;
}

std::string TStartWithWindows::Note() const {
  if (Refused_) return kRefusedNote;
  return State_ == TStartState::OtherPath ? "set for another copy" : "";
}

}  // namespace vr
