#pragma once
// The program-wide keyboard filter: while a ruler has the focus, keys move,
// turn, tune and switch rulers.

#include <cstdint>

#include "forms/Actions.h"
#include "platform/Platform.h"

namespace vr {

// Virtual-key codes the filter knows.
enum VirtualKey : int {
  VK_TAB_KEY = 9,
  VK_SHIFT_KEY = kVkShift,
  VK_CONTROL_KEY = kVkControl,
  VK_MENU_KEY = kVkMenu,
  VK_LEFT_KEY = 37,
  VK_UP_KEY = 38,
  VK_RIGHT_KEY = 39,
  VK_DOWN_KEY = 40,
  VK_INSERT_KEY = 45,
  VK_DELETE_KEY = 46,
  VK_ADD_KEY = 107,
  VK_SUBTRACT_KEY = 109,
  VK_F1_KEY = 112,
  VK_F9_KEY = 120,
  VK_F10_KEY = kVkF10,
};

// The modifiers down with the message being handled: Shift 1, Alt 2, Ctrl 4.
uint8_t ModifierState();
// 8 with no modifier, 1 with Shift alone, 32 with Ctrl alone, else 0.
int32_t KeyStep();
int32_t KeyStepFor(uint8_t modifiers);

void RulerKeyHook(const Message& msg, bool& handled);
void NextOrientation();
void PreviousOrientation();

}  // namespace vr
