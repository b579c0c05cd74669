#include "forms/Actions.h"

#include <algorithm>

namespace vr {

std::string ShortCutToText(TShortCut shortcut) {
  if (shortcut.Empty()) return {};
  std::string text;
  if (shortcut.Modifiers & ssCtrl) text += "Ctrl+";
  if (shortcut.Modifiers & ssShift) text += "Shift+";
  if (shortcut.Modifiers & ssAlt) text += "Alt+";
  const KeyCode k = shortcut.Key;
  static const std::map<KeyCode, const char*> kNames{
      {KeyCode::Backspace, "BkSp"}, {KeyCode::Tab, "Tab"},     {KeyCode::Enter, "Enter"},
      {KeyCode::Escape, "Esc"},     {KeyCode::Space, "Space"}, {KeyCode::PageUp, "PgUp"},
      {KeyCode::PageDown, "PgDn"},  {KeyCode::End, "End"},     {KeyCode::Home, "Home"},
      {KeyCode::Left, "Left"},      {KeyCode::Up, "Up"},       {KeyCode::Right, "Right"},
      {KeyCode::Down, "Down"},      {KeyCode::Insert, "Ins"},  {KeyCode::Delete, "Del"}};
  if (auto it = kNames.find(k); it != kNames.end()) return text + it->second;
  if (const auto digit = DigitOf(k)) return text + static_cast<char>('0' + *digit);
  if (const auto letter = LetterOf(k)) return text + *letter;
  if (const auto n = FunctionKeyNumber(k)) return text + "F" + std::to_string(*n);
  return text + "#" + std::to_string(static_cast<int>(k));
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
