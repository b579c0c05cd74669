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
  std::vector<MenuItemSpec> entries;
  entries.reserve(Items.size());
  for (const TMenuItem& item : Items) {
    MenuItemSpec entry;
    entry.Separator = item.IsLine();
    if (!entry.Separator) {
      entry.Caption = item.Caption();
      entry.ShortcutText = ShortCutToText(item.ShortCut());
      entry.RadioItem = item.RadioItem();
      entry.Checked = item.Checked();
      if (Images && item.ImageIndex() >= 0) entry.Picture = Images->Get(item.ImageIndex(), size);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

int TPopupMenu::Track(Point at) {
  Platform& os = App_.Os();
  return os.TrackPopupMenu(Describe(os.DpiAt(at)), at);
}

void TPopupMenu::Run(int chosen) {
  // A command chosen as the program was asked to end is not run.
  if (chosen < 0 || chosen >= static_cast<int>(Items.size()) || App_.Terminated()) return;
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
