#include "Ruler/RulerKeys.h"

#include <algorithm>
#include <limits>

#include "Ruler/Rulers.h"
#include "Ruler/UnitDialogs.h"

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
void SwitchRuler(TRulerSlots& rulers, int n) {
  if (!rulers.GetRulerVisible(n)) {
    rulers.SetRulerVisible(n, true);
  } else if (rulers.ActiveRuler() == rulers[static_cast<size_t>(n)]) {
    rulers.SetRulerVisible(n, false);
  } else {
    rulers.BringRulerToFront(n);
  }
}

}  // namespace

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

void NextOrientation(TRulerSlots& rulers) {
  TRulerForm* r = rulers.ActiveRuler();
  if (!r) return;
  r->SetOrientation(r->Orientation() >= BottomToTop ? LeftToRight : r->Orientation() + 1);
}

void PreviousOrientation(TRulerSlots& rulers) {
  TRulerForm* r = rulers.ActiveRuler();
  if (!r) return;
  r->SetOrientation(r->Orientation() == LeftToRight || r->Orientation() > BottomToTop
                        ? BottomToTop
                        : r->Orientation() - 1);
}

void RulerKeyHook(TRulerSlots& rulers, const Message& msg, bool& /*handled*/) {
  if (!IsKeyDown(msg)) return;
  if (!dynamic_cast<TRulerForm*>(rulers.Application().ActiveForm())) return;
  TRulerForm* r = rulers.ActiveRuler();
  if (!r) return;
  const Point c = r->CenterPoint();
  const uint8_t m = ModifierState(msg);
  const int32_t step = KeyStepFor(m);
  switch (msg.Key) {
    case KeyCode::Tab: {
      if (m == 0)
        NextOrientation(rulers);
      else if (m == ssShift)
        PreviousOrientation(rulers);
      break;
    }
    case KeyCode::Left:
      r->MoveCenterTo({AddSaturated(c.X, -step), c.Y});
      break;
    case KeyCode::Up:
      r->MoveCenterTo({c.X, AddSaturated(c.Y, -step)});
      break;
    case KeyCode::Right:
      r->MoveCenterTo({AddSaturated(c.X, step), c.Y});
      break;
    case KeyCode::Down:
      r->MoveCenterTo({c.X, AddSaturated(c.Y, step)});
      break;
    case KeyCode::Insert:
      r->SetLuminosity(AddSaturated(r->Luminosity(), step));
      break;
    case KeyCode::Delete:
      r->SetLuminosity(AddSaturated(r->Luminosity(), -step));
      break;
    case KeyCode::NumpadAdd:
      r->SetScale(AddSaturated(r->Scale(), step));
      break;
    case KeyCode::NumpadSubtract:
      r->SetScale(AddSaturated(r->Scale(), -step));
      break;
    case KeyCode::Space:
      if (m == 0) r->ToggleMarkAtPointer();
      break;
    case KeyCode::Backspace:
      if (m == 0) r->ClearMarks();
      break;
    case KeyCode::C:
      if (m == ssCtrl) r->CopyMeasurement();
      break;
    case KeyCode::U:
      if (m == 0) {
        r->NextUnit();
      } else if (m == ssShift) {
        r->PreviousUnit();
      }
      break;
    case KeyCode::K:
      // The screen's real size from two marks on something of known length.
      if (m == ssCtrl) {
        if (const auto density = AskCalibration(rulers.Application(), r->MarkSpan(), r->Unit()))
          rulers.Calibrate(*r, *density);
      }
      break;
    case KeyCode::L:
      // A unit of the ruler's own from two marks: a plan's metres, a map's miles.
      if (m == ssCtrl) {
        if (const auto own = AskOwnUnit(rulers.Application(), r->MarkSpan())) r->SetOwnUnit(*own);
      }
      break;
    default:
      if (const auto n = FunctionKeyNumber(msg.Key); n && *n <= 10 && m == 0) {
        SwitchRuler(rulers, *n % 10);
      }
      break;
  }
}

}  // namespace vr
