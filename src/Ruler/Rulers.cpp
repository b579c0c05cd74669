#include "Ruler/Rulers.h"

namespace vr {

namespace {
bool ValidSlot(int n) { return n >= 0 && n < kSlotCount; }
}  // namespace

TRulerSlots::~TRulerSlots() {
  // The last made goes first, ruler 0, the main window, last.
  for (auto slot = Slots_.rbegin(); slot != Slots_.rend(); ++slot) slot->reset();
}

TRulerForm& TRulerSlots::Make(int n) {
  auto& slot = Slots_[static_cast<size_t>(ValidSlot(n) ? n : 0)];
  if (!slot) slot = std::make_unique<TRulerForm>(App_, *this, n);
  return *slot;
}

bool TRulerSlots::GetRulerVisible(int n) const {
  return ValidSlot(n) && Slots_[static_cast<size_t>(n)] &&
         Slots_[static_cast<size_t>(n)]->Visible();
}

void TRulerSlots::SetRulerVisible(int n, bool visible) {
  if (!ValidSlot(n)) return;
  if (visible == GetRulerVisible(n)) return;
  if (visible) {
    TRulerForm& ruler = Make(n);
    ruler.SetVisible(true);
    ruler.BringToFront();
    ruler.BringToFront();
    ruler.SetFocus();
    return;
  }
  // Never hide the last ruler on the screen.
  for (int m = 0; m < kSlotCount; ++m) {
    if (m != n && GetRulerVisible(m)) {
      Slots_[static_cast<size_t>(n)]->Hide();
      return;
    }
  }
}

void TRulerSlots::BringRulerToFront(int n) {
  SetRulerVisible(n, true);
  if (ValidSlot(n) && Slots_[static_cast<size_t>(n)])
    Slots_[static_cast<size_t>(n)]->BringToFront();
}

void TRulerSlots::SaveRulers(const TForm* closed) {
  for (const auto& ruler : Slots_) {
    if (ruler && ruler.get() != closed) ruler->SaveSettings();
  }
}

void TRulerSlots::ShowRulersOnRequest() {
  TRulerForm* active = ActiveRuler();
  bool shown = false;
  for (const auto& ruler : Slots_) {
    if (!ruler || !ruler->Visible()) continue;
    shown = true;
    if (ruler.get() != active) ruler->BringToFront();
  }
  if (active && active->Visible()) {
    active->BringToFront();
    active->SetFocus();
  }
  if (!shown) SetRulerVisible(0, true);
}

void TRulerSlots::HideOrShowRulers() {
  std::vector<int> visible;
  for (int n = 0; n < kSlotCount; ++n)
    if (GetRulerVisible(n)) visible.push_back(n);
  if (!visible.empty()) {
    // The visible ruler that had the focus most recently: the active window
    // list's order, most recent first.
    int active = visible.front();
    for (TForm* form : App_.WindowList()) {
      const auto* ruler = dynamic_cast<TRulerForm*>(form);
      if (ruler && ruler->Visible()) {
        active = ruler->RulerIndex();
        break;
      }
    }
    HotkeyHidden_ = visible;
    HotkeyActive_ = active;
    // The one with the keyboard last, so that the activation does not pass
    // from ruler to ruler on the way.
    for (int n : visible)
      if (n != active) Slots_[static_cast<size_t>(n)]->Hide();
    Slots_[static_cast<size_t>(active)]->Hide();
    return;
  }
  if (HotkeyHidden_.empty()) {
    SetRulerVisible(0, true);
    return;
  }
  for (int n : HotkeyHidden_) {
    if (n == HotkeyActive_) continue;
    TRulerForm& ruler = Make(n);
    ruler.SetVisible(true);
    ruler.BringToFront();
  }
  TRulerForm& active = Make(HotkeyActive_);
  active.SetVisible(true);
  active.BringToFront();
  active.SetFocus();
}

void TRulerSlots::KeepVisibleRulersReachable() {
  for (const auto& ruler : Slots_) {
    if (ruler && ruler->Visible()) ruler->KeepReachable();
  }
  DensitiesChanged();
}

void TRulerSlots::DensitiesChanged() {
  for (const auto& ruler : Slots_) {
    if (ruler) ruler->UpdateDensity();
  }
}

bool TRulerSlots::Calibrate(const TRulerForm& ruler, double pixelsPerMm) {
  const bool kept = Densities_.Calibrate(ruler.Monitor(), pixelsPerMm);
  DensitiesChanged();
  return kept;
}

bool TRulerSlots::ForgetCalibration(const TRulerForm& ruler) {
  const bool kept = Densities_.ForgetCalibration(ruler.Monitor());
  DensitiesChanged();
  return kept;
}

int TRulerSlots::ActiveRulerIndex() const {
  const TRulerForm* ruler = ActiveRuler();
  return ruler ? ruler->RulerIndex() : -1;
}

TRulerForm* TRulerSlots::ActiveRuler() const {
  // A ruler being made is already in the window list, before its slot holds it.
  if (auto* ruler = dynamic_cast<TRulerForm*>(App_.ActiveForm())) return ruler;
  for (TForm* form : App_.WindowList()) {
    if (auto* ruler = dynamic_cast<TRulerForm*>(form)) return ruler;
  }
  return nullptr;
}

void TRulerSlots::ActiveFormChanged(TForm* /*sender*/) {
  if (TrayIcon) TrayIcon->SetIconIndex(ActiveRulerIndex());
  if (OptionsForm && ActiveRuler()) OptionsForm->RefreshFromRuler();
}

}  // namespace vr
