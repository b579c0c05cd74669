#include "forms/Actions.h"

#include <algorithm>

namespace vr {

uint8_t KeyboardModifiers(const Platform& os) {
  uint8_t state = 0;
  if (os.KeyDown(kVkShift)) state |= ssShift;
  if (os.KeyDown(kVkMenu)) state |= ssAlt;
  if (os.KeyDown(kVkControl)) state |= ssCtrl;
  return state;
}

std::string ShortCutToText(TShortCut shortcut) {
  if (shortcut.Empty()) return {};
  std::string text;
  if (shortcut.Modifiers & ssCtrl) text += "Ctrl+";
  if (shortcut.Modifiers & ssShift) text += "Shift+";
  if (shortcut.Modifiers & ssAlt) text += "Alt+";
  const uint16_t k = shortcut.Key;
  static const std::map<uint16_t, const char*> kNames{
      {8, "BkSp"},  {9, "Tab"},    {kVkReturn, "Enter"}, {kVkEscape, "Esc"}, {32, "Space"},
      {33, "PgUp"}, {34, "PgDn"},  {35, "End"},          {36, "Home"},       {37, "Left"},
      {38, "Up"},   {39, "Right"}, {40, "Down"},         {45, "Ins"},        {46, "Del"}};
  if (auto it = kNames.find(k); it != kNames.end()) return text + it->second;
  if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z')) return text + static_cast<char>(k);
  if (k >= 112 && k <= 135) return text + "F" + std::to_string(k - 111);
  return text + "#" + std::to_string(k);
}

// ---------------------------------------------------------------- TImageList

int TImageList::Add(Source source) {
  Sources_.push_back(std::move(source));
  return Count() - 1;
}

const MaskedImage& TImageList::Get(int index, int size) const {
  static const MaskedImage kNone;
  if (index < 0 || index >= Count() || size <= 0) return kNone;
  auto key = std::make_pair(index, size);
  auto it = Drawn_.find(key);
  if (it == Drawn_.end())
    it = Drawn_.emplace(key, Sources_[static_cast<size_t>(index)](size)).first;
  return it->second;
}

// ---------------------------------------------------------------- TAction

TAction::TAction(TActionList& list, Design design, std::function<void(TAction&)> onExecute)
    : List_(list), Design_(std::move(design)), OnExecute_(std::move(onExecute)) {
  List_.Actions_.push_back(this);
}

TAction::~TAction() { std::erase(List_.Actions_, this); }

void TAction::SetChecked(bool checked) {
  if (checked == Checked_) return;
  Checked_ = checked;
  if (checked && Design_.GroupIndex != 0) {
    for (TAction* other : List_.Actions_) {
      if (other != this && other->GroupIndex() == Design_.GroupIndex && other->Checked_) {
        other->Checked_ = false;
        other->Changed();
      }
    }
  }
  Changed();
}

void TAction::Execute() {
  if (OnExecute_) OnExecute_(*this);
}

int TAction::Subscribe(std::function<void()> onChange) {
  Clients_.emplace_back(NextToken_, std::move(onChange));
  return NextToken_++;
}

void TAction::Unsubscribe(int token) {
  std::erase_if(Clients_, [token](const auto& c) { return c.first == token; });
}

void TAction::Changed() {
  // Copied: a client may unsubscribe while it hears of the change.
  const auto clients = Clients_;
  for (const auto& c : clients) c.second();
}

}  // namespace vr
