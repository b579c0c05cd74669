#pragma once
// Popup menus whose items are bound to actions.

#include <string>
#include <vector>

#include "forms/Actions.h"
#include "forms/Forms.h"

namespace vr {

class TMenuItem {
 public:
  struct Design {
    TAction* Action = nullptr;  // nullptr with Separator
    TShortCut ShortCut;         // the item's own; wins over the action's
    int GroupIndex = 0;
    bool RadioItem = false;
    bool Separator = false;
  };
  explicit TMenuItem(Design design) : Design_(design) {}
  static TMenuItem Line(int groupIndex) {
    return TMenuItem({nullptr, {}, groupIndex, false, true});
  }

  TAction* Action() const { return Design_.Action; }
  bool IsLine() const { return Design_.Separator; }
  bool RadioItem() const { return Design_.RadioItem; }
  int GroupIndex() const { return Design_.GroupIndex; }
  std::string Caption() const { return Design_.Action ? Design_.Action->Caption() : std::string(); }
  bool Checked() const { return Design_.Action && Design_.Action->Checked(); }
  int ImageIndex() const { return Design_.Action ? Design_.Action->ImageIndex() : -1; }
  TShortCut ShortCut() const;
  // Runs the bound action.
  void Click() const;

 private:
  Design Design_;
};

class TPopupMenu : public TContextMenu {
 public:
  explicit TPopupMenu(TApplication& app, const TImageList* images = nullptr)
      : Images(images), App_(app) {}
  const TImageList* Images;
  std::vector<TMenuItem> Items;

  void Popup(Point at) override { Run(Track(at)); }
  // The two halves of Popup: the menu, which returns the index of the item
  // chosen (-1: none) once it has closed, and running that item.
  int Track(Point at);
  void Run(int chosen);
  bool IsShortCut(TShortCut shortcut) const override;
  // What the menu shows, with pictures at the size for this density.
  std::vector<MenuItemSpec> Describe(int dpi) const;

 private:
  TApplication& App_;
};

}  // namespace vr
