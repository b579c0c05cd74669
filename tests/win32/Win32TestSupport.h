#pragma once
// What the Win32 layer's checks share: the one platform of the test process,
// whose errors are kept for the checks instead of shown in a box nobody
// would close, and the message pumps that let the system answer.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32::test {

class TestPlatform : public Win32Platform {
 public:
  using Win32Platform::Win32Platform;
  void ShowErrorBox(const std::string& text) override { Errors.push_back(text); }
  std::vector<std::string> Errors;
};

using Strings = std::vector<std::string>;

// Made on first use and kept for the whole run, as the program keeps its own:
// the application window and the window classes belong to the process.
TestPlatform& Os();

// A check that needs the platform starts with no error left by another.
class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override { Os().Errors.clear(); }
  void TearDown() override { Os().Errors.clear(); }
};

// Handles the messages waiting, then returns.
void Pump();
inline HWND HwndOf(Window& w) { return static_cast<Win32Window&>(w).Hwnd(); }

// Left half opaque in the colour, right half transparent.
MaskedImage HalfOpaque(int size, TColor color);

// A key down and up, queued as the keyboard would queue them.
void PostKey(HWND hwnd, WPARAM vk);

// Runs the platform's modal loop until done, or for twenty seconds at most (a
// deadline for a busy machine, not a speed check): a thread timer wakes the
// loop to look.
bool RunUntil(Win32Platform& platform, const std::function<bool()>& done,
              const MessageFilter& filter = {});

}  // namespace vr::win32::test
