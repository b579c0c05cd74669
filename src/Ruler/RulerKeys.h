#pragma once
// The program-wide keyboard filter: while a ruler has the focus, keys move,
// turn, tune and switch rulers.

#include <cstdint>

#include "forms/Actions.h"
#include "platform/Keys.h"

namespace vr {

// The modifiers down with the message being handled: Shift 1, Alt 2, Ctrl 4.
uint8_t ModifierState();
// 8 with no modifier, 1 with Shift alone, 32 with Ctrl alone, else 0.
int32_t KeyStep();
int32_t KeyStepFor(uint8_t modifiers);

void RulerKeyHook(const Message& msg, bool& handled);
void NextOrientation();
void PreviousOrientation();

}  // namespace vr
