#pragma once
// The program-wide keyboard filter: while a ruler has the focus, keys move,
// turn, tune and switch rulers.

#include <cstdint>

#include "Ruler/Rulers.h"
#include "forms/Actions.h"
#include "platform/Keys.h"

namespace vr {

// The modifiers held with a key message: Shift 1, Alt 2, Ctrl 4.
inline uint8_t ModifierState(const Message& msg) { return msg.Modifiers; }
// 8 with no modifier, 1 with Shift alone, 32 with Ctrl alone, else 0.
int32_t KeyStepFor(uint8_t modifiers);
inline int32_t KeyStep(const Message& msg) { return KeyStepFor(ModifierState(msg)); }

void RulerKeyHook(TRulerSlots& rulers, const Message& msg, bool& handled);
void NextOrientation(TRulerSlots& rulers);
void PreviousOrientation(TRulerSlots& rulers);

}  // namespace vr
