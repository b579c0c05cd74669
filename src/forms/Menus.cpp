#include "forms/Menus.h"

#include "forms/Forms.h"

namespace vr {

TShortCut TMenuItem::ShortCut() const {
  if (!Design_.ShortCut.Empty() || !Design_.Action) return Design_.ShortCut;
  return Design_.Action->ShortCut();
}

void TMenuItem::Click() const {
  if (Design_.Action) Design_.Action->Execute();
}

std::vector<MenuItemSpec> TPopupMenu::Describe(int dpi) const {
  const int size = Images ? ScaleForDpi(Images->Size(), dpi) : 0;
  std::vector<MenuItemSpec> specs;
  specs.reserve(Items.size());
  for (const TMenuItem& item : Items) {
    MenuItemSpec spec;
    spec.Separator = item.IsLine();
    if (!spec.Separator) {
      spec.Caption = item.Caption();
      spec.ShortcutText = ShortCutToText(item.ShortCut());
      spec.RadioItem = item.RadioItem();
      spec.Checked = item.Checked();
      if (Images && item.ImageIndex() >= 0) spec.Picture = Images->Get(item.ImageIndex(), size);
    }
    specs.push_back(std::move(spec));
  }
  return specs;
}

void TPopupMenu::Popup(Point at) {
  if (!Application) return;
  Platform& os = Application->Os();
  const int chosen = os.TrackPopupMenu(Describe(os.DpiAt(at)), at);
  if (chosen < 0 || chosen >= static_cast<int>(Items.size()) || Application->Terminated()) return;
  Items[static_cast<size_t>(chosen)].Click();
}

bool TPopupMenu::IsShortCut(TShortCut shortcut) const {
  if (shortcut.Empty()) return false;
  for (const TMenuItem& item : Items) {
    if (!item.IsLine() && item.ShortCut() == shortcut) {
      item.Click();
      return true;
    }
  }
  return false;
}

}  // namespace vr
