#pragma once
// Commands and their pictures: shortcuts, the image list, actions and the
// list that groups them. Menu items and tool buttons bound to an action show
// its caption, picture and checked state and run it when chosen.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace vr {

// Modifier keys as one byte: Shift 1, Alt 2, Ctrl 4, as a key message holds them.
enum TShiftState : uint8_t { ssShift = ModShift, ssAlt = ModAlt, ssCtrl = ModCtrl };

// A key with its modifiers; no key is no shortcut.
struct TShortCut {
  KeyCode Key = KeyCode::None;
  uint8_t Modifiers = 0;
  bool Empty() const { return Key == KeyCode::None; }
  bool operator==(const TShortCut&) const = default;
};

// As a menu shows it beside an item: "Alt+5", "Esc", "Ctrl+Shift+F2".
std::string ShortCutToText(TShortCut shortcut);

// Pictures by index. Each picture is drawn by code at whatever size it is
// asked for, so that menus and tool bars stay sharp on dense monitors; the
// drawn pictures are kept.
class TImageList {
 public:
  using Source = std::function<MaskedImage(int size)>;
  explicit TImageList(int size = 16) : Size_(size) {}
  int Add(Source source);
  int Count() const { return static_cast<int>(Sources_.size()); }
  int Size() const { return Size_; }
  // The picture at its design size, or at another size; empty for an index
  // outside the list.
  const MaskedImage& Get(int index) const { return Get(index, Size_); }
  const MaskedImage& Get(int index, int size) const;

 private:
  int Size_;
  std::vector<Source> Sources_;
  mutable std::map<std::pair<int, int>, MaskedImage> Drawn_;
};

class TActionList;

class TAction {
 public:
  struct Design {
    std::string Caption;  // "&" marks the next character as the access key
    std::string Category;
    int GroupIndex = 0;  // actions sharing a non-zero group form a radio group
    int ImageIndex = -1;
    TShortCut ShortCut;
  };
  TAction(TActionList& list, Design design, std::function<void(TAction& sender)> onExecute);
  ~TAction();
  TAction(const TAction&) = delete;
  TAction& operator=(const TAction&) = delete;

  const std::string& Caption() const { return Design_.Caption; }
  const std::string& Category() const { return Design_.Category; }
  int GroupIndex() const { return Design_.GroupIndex; }
  int ImageIndex() const { return Design_.ImageIndex; }
  TShortCut ShortCut() const { return Design_.ShortCut; }
  TActionList& ActionList() const { return List_; }

  // Never flipped by running the action. Checking one action of a group
  // unchecks the others.
  bool Checked() const { return Checked_; }
  void SetChecked(bool checked);

  // Runs the handler with this action as the sender.
  void Execute();

  // Clients (tool buttons) hear of every change of the checked flag until
  // they unsubscribe.
  int Subscribe(std::function<void()> onChange);
  void Unsubscribe(int token);

 private:
  void Changed();
  TActionList& List_;
  Design Design_;
  std::function<void(TAction&)> OnExecute_;
  bool Checked_ = false;
  std::vector<std::pair<int, std::function<void()>>> Clients_;
  int NextToken_ = 1;
};

class TActionList {
 public:
  explicit TActionList(const TImageList* images = nullptr) : Images(images) {}
  const TImageList* Images;
  const std::vector<TAction*>& Actions() const { return Actions_; }

 private:
  friend class TAction;
  std::vector<TAction*> Actions_;
};

}  // namespace vr
