#include "Options/OptionsForm.h"

#include "DataModule/DataModule.h"
#include "DataModule/Pictures.h"

namespace vr {

TOptionsForm* OptionsForm = nullptr;

namespace {

WindowParams OptionsWindowDesign() {
  WindowParams p;
  p.Kind = WindowKind::Dialog;
  p.Caption = "Vantori Rulers Options";
  p.Bounds = {0, 0, 346, 284};
  p.StayOnTop = true;
  return p;
}

}  // namespace

TOptionsForm::TOptionsForm(TApplication& owner) : TForm(owner, OptionsWindowDesign()) {
  FormCreate();
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::FormCreate() {
  if (DM) {
    const int index = DM->OptionsAction.ImageIndex();
    NativeWindow().SetIcon(DM->ImageList.Get(index, Scaled(16)),
                           DM->ImageList.Get(index, Scaled(32)));
  }
  SetClientSize(340, 255);
}

void TOptionsForm::FormShow() {
  // Centred the first time; later it opens where the user left it.
  if (!Shown_) CenterOnScreen();
  Shown_ = true;
  RefreshFromRuler();
}

void TOptionsForm::RefreshFromRuler() {
  if (DM) DM->UpdateRulerChecks();
  TRulerForm* r = ActiveRuler();
  if (!r) return;
}

}  // namespace vr
