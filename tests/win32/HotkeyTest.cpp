// The program's hotkey against the real system: a chord claimed on the
// application window comes back as its own event with the chord, a chord
// another window holds is in use, and a claim replaced or released is given
// back to the system.

#include <windows.h>

#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32::test {
namespace {

struct HotkeysHeard : HotkeyHandler {
  std::vector<KeyChord> Chords;
  void HandleHotkey(KeyChord chord) override { Chords.push_back(chord); }
};

// Another program's claim, as far as the system tells: a window of its own.
class OtherWindow {
 public:
  OtherWindow()
      : Hwnd_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr)) {}
  bool Claim(UINT modifiers, UINT vk) { return ::RegisterHotKey(Hwnd_.get(), 7, modifiers, vk); }
  void Release() { ::UnregisterHotKey(Hwnd_.get(), 7); }
  ~OtherWindow() { Release(); }

 private:
  WindowHandle Hwnd_;
};

class Win32Hotkey : public Win32Test {
 protected:
  void TearDown() override {
    Os().ReleaseHotkey();
    Os().SetHotkeyHandler(nullptr);
    Win32Test::TearDown();
  }
};

constexpr KeyChord kCtrlAltR{'R', ModCtrl | ModAlt};

TEST_F(Win32Hotkey, AClaimedChordComesBackToTheHandlerWithTheChord) {
  HotkeysHeard heard;
  Os().SetHotkeyHandler(&heard);
  ASSERT_EQ(Os().ClaimHotkey(kCtrlAltR), HotkeyClaim::Claimed);
  // As the system posts it when the keys go down, whoever has the keyboard.
  ::PostMessageW(Os().AppWindow(), WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'R'));
  ::PostMessageW(Os().AppWindow(), WM_HOTKEY, 1, MAKELPARAM(MOD_SHIFT, VK_F5));
  // Another id is not the program's.
  ::PostMessageW(Os().AppWindow(), WM_HOTKEY, 2, MAKELPARAM(MOD_ALT, 'Q'));
  Pump();
  ASSERT_EQ(heard.Chords.size(), 2u);
  EXPECT_TRUE(heard.Chords[0] == kCtrlAltR);
  EXPECT_TRUE(heard.Chords[1] == (KeyChord{VK_F5, ModShift}));
  EXPECT_TRUE(Os().Errors.empty());
}

TEST_F(Win32Hotkey, AChordAnotherWindowHoldsIsInUseUntilItLetsGo) {
  OtherWindow other;
  ASSERT_TRUE(other.Claim(MOD_CONTROL | MOD_ALT, 'R'));
  EXPECT_EQ(Os().ClaimHotkey(kCtrlAltR), HotkeyClaim::InUse);
  EXPECT_EQ(Os().ClaimHotkey({'R', ModCtrl}), HotkeyClaim::Claimed) << "another chord is free";
  other.Release();
  EXPECT_EQ(Os().ClaimHotkey(kCtrlAltR), HotkeyClaim::Claimed);
}

TEST_F(Win32Hotkey, AClaimGivesTheChordBeforeBackAndSoDoesARelease) {
  const long before = LiveHandles(HandleKind::Other);
  ASSERT_EQ(Os().ClaimHotkey(kCtrlAltR), HotkeyClaim::Claimed);
  ASSERT_EQ(Os().ClaimHotkey({'T', ModCtrl | ModAlt}), HotkeyClaim::Claimed);
  EXPECT_EQ(LiveHandles(HandleKind::Other), before + 1) << "one claim at a time";
  OtherWindow other;
  EXPECT_TRUE(other.Claim(MOD_CONTROL | MOD_ALT, 'R')) << "the chord before is free again";
  other.Release();
  Os().ReleaseHotkey();
  EXPECT_TRUE(other.Claim(MOD_CONTROL | MOD_ALT, 'T')) << "a released chord is free";
  EXPECT_EQ(LiveHandles(HandleKind::Other), before);
  EXPECT_EQ(Os().ClaimHotkey({}), HotkeyClaim::Refused) << "no key, no chord";
}

TEST_F(Win32Hotkey, TheProgramsPathIsItsOwnFile) {
  wchar_t own[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  const std::string path = Os().ProgramPath();
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(path, Narrow(own));
}

}  // namespace
}  // namespace vr::win32::test
