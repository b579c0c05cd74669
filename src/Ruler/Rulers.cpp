#include "Ruler/Rulers.h"

namespace vr {

std::array<TRulerForm*, kSlotCount> RulerForms{};

namespace {
bool ValidSlot(int n) { return n >= 0 && n < kSlotCount; }
}  // namespace

bool GetRulerVisible(int n) {
  return ValidSlot(n) && RulerForms[static_cast<size_t>(n)] &&
         RulerForms[static_cast<size_t>(n)]->Visible();
}

void SetRulerVisible(int n, bool visible) {
  if (!ValidSlot(n) || !Application) return;
  if (visible == GetRulerVisible(n)) return;
  TRulerForm*& slot = RulerForms[static_cast<size_t>(n)];
  if (visible) {
    if (!slot) {
      auto form = std::make_unique<TRulerForm>(*Application, n);
      TRulerForm* made = form.get();
      Application->Adopt(std::move(form));
      slot = made;
    }
    slot->SetVisible(true);
    slot->BringToFront();
    slot->BringToFront();
    slot->SetFocus();
    return;
  }
  // Never hide the last ruler on the screen.
  for (int m = 0; m < kSlotCount; ++m) {
    if (m != n && GetRulerVisible(m)) {
      slot->Hide();
      return;
    }
  }
}

void BringRulerToFront(int n) {
  SetRulerVisible(n, true);
  if (ValidSlot(n) && RulerForms[static_cast<size_t>(n)])
    RulerForms[static_cast<size_t>(n)]->BringToFront();
}

void SaveRulers(const TForm* closed) {
  for (TRulerForm* ruler : RulerForms) {
    if (ruler && ruler != closed) ruler->SaveSettings();
  }
}

void ShowRulersOnRequest() {
  TRulerForm* active = ActiveRuler();
  bool shown = false;
  for (TRulerForm* ruler : RulerForms) {
    if (!ruler || !ruler->Visible()) continue;
    shown = true;
    if (ruler != active) ruler->BringToFront();
  }
  if (active && active->Visible()) {
    active->BringToFront();
    active->SetFocus();
  }
  if (!shown) SetRulerVisible(0, true);
}

void KeepVisibleRulersReachable() {
  for (TRulerForm* ruler : RulerForms) {
    if (ruler && ruler->Visible()) ruler->KeepReachable();
  }
}

int ActiveRulerIndex() {
  if (!Application) return -1;
  if (auto* ruler = dynamic_cast<TRulerForm*>(Application->ActiveForm()))
    return ruler->RulerIndex();
  for (TForm* form : Application->WindowList()) {
    if (auto* ruler = dynamic_cast<TRulerForm*>(form)) return ruler->RulerIndex();
  }
  return -1;
}

TRulerForm* ActiveRuler() {
  const int i = ActiveRulerIndex();
  return ValidSlot(i) ? RulerForms[static_cast<size_t>(i)] : nullptr;
}

void ActiveFormChanged(TForm* /*sender*/) {
  const int i = ActiveRulerIndex();
  if (RulerLinks.TrayIcon) RulerLinks.TrayIcon->SetIconIndex(i);
  if (RulerLinks.OptionsForm && ActiveRuler()) RulerLinks.OptionsForm->RefreshFromRuler();
}

}  // namespace vr
