#include "DataModule/DataModule.h"

#include <exception>
#include <string>

#include "About/AboutForm.h"
#include "DataModule/Pictures.h"
#include "Ruler/Rulers.h"

namespace vr {

namespace {

TAction::Design Command(const char* caption, int imageIndex, TShortCut shortcut = {}) {
  return {caption, "", 0, imageIndex, shortcut};
}

}  // namespace

TDM::TDM(TApplication& app, TRulerSlots& rulers)
    : OptionsAction(ActionList, Command("Options...", OptionsPictureIndex),
                    [this](TAction& a) { OptionsActionExecute(a); }),
      AboutAction(ActionList, Command("About Vantori Rulers...", AboutPictureIndex),
                  [this](TAction& a) { AboutActionExecute(a); }),
      HideAction(ActionList, Command("Hide", -1, {KeyCode::Escape, 0}),
                 [this](TAction& a) { HideActionExecute(a); }),
      CloseAction(ActionList, Command("Close", -1), [this](TAction& a) { CloseActionExecute(a); }),
      PopupMenu(app, &ImageList),
      TrayPopupMenu(app, &ImageList),
      TrayIcon(app),
      App_(app),
      Rulers_(rulers) {
  for (int i = 0; i < PictureCount; ++i)
    ImageList.Add([i](int size) { return DrawImageListPicture(i, size); });
  for (int n = 0; n < kSlotCount; ++n) {
    RulerActions_[static_cast<size_t>(n)] = std::make_unique<TAction>(
        ActionList, TAction::Design{"Ruler &" + std::to_string(n), "Rulers", 1, n, {}},
        [this](TAction& a) { RulerActionExecute(a); });
  }

  // The context menu of every ruler: Alt+digit beside the ruler items, Esc
  // beside Hide (the action's own).
  for (int n = 0; n < kSlotCount; ++n) {
    const TShortCut altDigit{DigitKey(n), ssAlt};
    PopupMenu.Items.emplace_back(TMenuItem::Design{&RulerAction(n), altDigit, 1, true, false});
  }
  PopupMenu.Items.push_back(TMenuItem::Line(2));
  PopupMenu.Items.emplace_back(TMenuItem::Design{&OptionsAction, {}, 2, false, false});
  PopupMenu.Items.emplace_back(TMenuItem::Design{&AboutAction, {}, 2, false, false});
  PopupMenu.Items.push_back(TMenuItem::Line(3));
  PopupMenu.Items.emplace_back(TMenuItem::Design{&HideAction, {}, 3, false, false});

  // The tray's menu: the same without shortcuts, ending in Close.
  for (int n = 0; n < kSlotCount; ++n)
    TrayPopupMenu.Items.emplace_back(TMenuItem::Design{&RulerAction(n), {}, 1, true, false});
  TrayPopupMenu.Items.push_back(TMenuItem::Line(2));
  TrayPopupMenu.Items.emplace_back(TMenuItem::Design{&OptionsAction, {}, 2, false, false});
  TrayPopupMenu.Items.emplace_back(TMenuItem::Design{&AboutAction, {}, 2, false, false});
  TrayPopupMenu.Items.push_back(TMenuItem::Line(3));
  TrayPopupMenu.Items.emplace_back(TMenuItem::Design{&CloseAction, {}, 3, false, false});

  TrayIcon.Hint = app.Title();
  TrayIcon.Icons = &ImageList;
  TrayIcon.Icon = app.SmallIcon;
  TrayIcon.PopupMenu = &TrayPopupMenu;
  TrayIcon.SetAnimate(true, kTrayAnimationMs);
}

TDM::~TDM() = default;

void TDM::RulerActionExecute(TAction& sender) {
  const int n = sender.ImageIndex();
  Rulers_.SetRulerVisible(n, !Rulers_.GetRulerVisible(n));
}

void TDM::OptionsActionExecute(TAction& /*sender*/) {
  if (OptionsForm) {
    TForm& options = OptionsForm();
    if (options.Visible()) {
      options.Hide();
    } else {
      options.Show();
      options.SetFocus();
    }
  }
  UpdateRulerChecks();
}

void TDM::AboutActionExecute(TAction& /*sender*/) {
  // A box of its own each time; it goes either way, and a failure while it
  // showed is not reported.
  const auto box = std::make_unique<TAboutForm>(App_);
  try {
    box->ShowModal();
  } catch (const std::exception&) {
  }
}

void TDM::HideActionExecute(TAction& /*sender*/) {
  // Not through SetRulerVisible: Hide takes the last ruler off the screen
  // too; the tray menu brings rulers back.
  if (TRulerForm* r = Rulers_.ActiveRuler()) r->Hide();
}

void TDM::CloseActionExecute(TAction& /*sender*/) {
  if (TRulerForm* ruler0 = Rulers_[0]) ruler0->Close();
}

void TDM::UpdateRulerChecks() {
  const int active = Rulers_.ActiveRulerIndex();
  for (int n = 0; n < kSlotCount; ++n) RulerAction(n).SetChecked(active == n);
}

}  // namespace vr
