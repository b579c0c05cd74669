#include "Ruler/RulerKeys.h"

#include <algorithm>
#include <limits>

#include "Ruler/Rulers.h"

namespace vr {

namespace {

// A step past the 32-bit range stops at its edge instead of wrapping round.
int32_t AddSaturated(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(a) + b,
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// F1..F9 switch slots 1..9, F10 slot 0: show it, hide it when it is the
// focused ruler, else bring it forward.
void SwitchRuler(int n) {
  if (!GetRulerVisible(n)) {
    SetRulerVisible(n, true);
  } else if (ActiveRuler() == RulerForms[static_cast<size_t>(n)]) {
    SetRulerVisible(n, false);
  } else {
    BringRulerToFront(n);
  }
}

}  // namespace

uint8_t ModifierState() { return Application ? KeyboardModifiers(Application->Os()) : 0; }

int32_t KeyStepFor(uint8_t modifiers) {
  switch (modifiers) {
    case 0:
      return 8;
    case ssShift:
      return 1;
    case ssCtrl:
      return 32;
    default:
      return 0;
  }
}

int32_t KeyStep() { return KeyStepFor(ModifierState()); }

void NextOrientation() {
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  r->SetOrientation(r->Orientation() >= BottomToTop ? LeftToRight : r->Orientation() + 1);
}

void PreviousOrientation() {
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  r->SetOrientation(r->Orientation() == LeftToRight || r->Orientation() > BottomToTop
                        ? BottomToTop
                        : r->Orientation() - 1);
}

void RulerKeyHook(const Message& msg, bool& /*handled*/) {
  if (!IsKeyDown(msg)) return;
  if (!Application || !dynamic_cast<TRulerForm*>(Application->ActiveForm())) return;
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  const Point c = r->CenterPoint();
  switch (msg.Key) {
    case KeyCode::Tab: {
      const uint8_t m = ModifierState();
      if (m == 0)
        NextOrientation();
      else if (m == ssShift)
        PreviousOrientation();
      break;
    }
    case KeyCode::Left:
      r->MoveCenterTo({AddSaturated(c.X, -KeyStep()), c.Y});
      break;
    case KeyCode::Up:
      r->MoveCenterTo({c.X, AddSaturated(c.Y, -KeyStep())});
      break;
    case KeyCode::Right:
      r->MoveCenterTo({AddSaturated(c.X, KeyStep()), c.Y});
      break;
    case KeyCode::Down:
      r->MoveCenterTo({c.X, AddSaturated(c.Y, KeyStep())});
      break;
    case KeyCode::Insert:
      r->SetLuminosity(AddSaturated(r->Luminosity(), KeyStep()));
      break;
    case KeyCode::Delete:
      r->SetLuminosity(AddSaturated(r->Luminosity(), -KeyStep()));
      break;
    case KeyCode::NumpadAdd:
      r->SetScale(AddSaturated(r->Scale(), KeyStep()));
      break;
    case KeyCode::NumpadSubtract:
      r->SetScale(AddSaturated(r->Scale(), -KeyStep()));
      break;
    case KeyCode::Space:
      if (ModifierState() == 0) r->ToggleMarkAtPointer();
      break;
    case KeyCode::Backspace:
      if (ModifierState() == 0) r->ClearMarks();
      break;
    case KeyCode::C:
      if (ModifierState() == ssCtrl) r->CopyMeasurement();
      break;
    default:
      if (const auto n = FunctionKeyNumber(msg.Key); n && *n <= 10 && ModifierState() == 0) {
        SwitchRuler(*n % 10);
      }
      break;
  }
}

}  // namespace vr
