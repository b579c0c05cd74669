#include "platform/headless/HeadlessControls.h"

#include <algorithm>

namespace vr::headless {

// ---------------------------------------------------------------- controls

HeadlessControl::HeadlessControl(HeadlessControlHost& window, Control& self, ControlKind kind,
                                 const ControlPlace& place)
    : Window_(window), Self_(self) {
  Record_.Kind = kind;
  Record_.Parent = place.Parent;
  Record_.Bounds = place.Bounds;
  Record_.Visible = place.Visible;
  Record_.TabStop = place.TabStop;
  Window_.Controls_.push_back(this);
}

HeadlessControl::~HeadlessControl() {
  std::erase(Window_.Controls_, this);
  if (Window_.FocusedControl == this) Window_.FocusedControl = nullptr;
}

void HeadlessControl::SetItems(const std::vector<std::string>& items) {
  Items_ = items;
  ItemIndex_ = -1;
  // An editable box keeps its text; a choose-only list shows no choice.
  if (Record_.Kind != ControlKind::ComboBox) Record_.Text.clear();
}

void HeadlessControl::SetItemIndex(int index) {
  ItemIndex_ = index >= 0 && index < static_cast<int>(Items_.size()) ? index : -1;
  // A list that shows its choice in its box shows the item's text there; a
  // choose-only list with no choice shows nothing, an editable box keeps its text.
  if (ItemIndex_ >= 0) {
    Record_.Text = Items_[static_cast<size_t>(ItemIndex_)];
  } else if (Record_.Kind != ControlKind::ComboBox) {
    Record_.Text.clear();
  }
}

void HeadlessControl::SetRange(int min, int max) {
  Record_.Min = min;
  Record_.Max = max;
  Position_ = std::clamp(Position_, min, std::max(min, max));
}

void HeadlessControl::SetPosition(int position) {
  Position_ = std::clamp(position, Record_.Min, std::max(Record_.Min, Record_.Max));
}

void HeadlessControl::SetButtons(const std::vector<ToolButtonSpec>& buttons) {
  Buttons_ = buttons;
  ButtonsDown_.assign(buttons.size(), false);
}

void HeadlessControl::SetButtonDown(int index, bool down) {
  if (index >= 0 && index < static_cast<int>(ButtonsDown_.size()))
    ButtonsDown_[static_cast<size_t>(index)] = down;
}

void HeadlessControl::Focus() {
  if (!Window_.IsActive()) Window_.Focus();
  Window_.FocusedControl = this;
}

// The keyboard is the active window's only.
bool HeadlessControl::Focused() const {
  return Window_.IsActive() && Window_.FocusedControl == this;
}

HeadlessControl* HeadlessControl::Parent() const {
  for (HeadlessControl* c : Window_.Controls_)
    if (Record_.Parent && &c->Native() == Record_.Parent) return c;
  return nullptr;
}

bool HeadlessControl::ShownOnScreen() const {
  for (const HeadlessControl* c = this; c; c = c->Parent())
    if (!c->Record_.Visible) return false;
  return true;
}

void HeadlessControl::UserClick() {
  if (!Record_.Enabled) return;
  if (Record_.Kind == ControlKind::CheckBox) Checked_ = !Checked_;
  Focus();
  if (Clicks_) Clicks_->HandleClick();
  if (CheckEvents_) CheckEvents_->HandleToggled(Checked_);
  if (LabelEvents_) LabelEvents_->HandleClick();
}

void HeadlessControl::UserType(const std::string& text) {
  Focus();
  for (char c : text) {
    Record_.Text += c;
    TextEdited();
  }
}

void HeadlessControl::UserSetText(const std::string& text) {
  Focus();
  Record_.Text = text;
  TextEdited();
}

void HeadlessControl::UserPressChord(KeyChord chord) {
  Focus();
  Chord_ = chord;
  if (ChordEvents_) ChordEvents_->HandleChordChanged(chord);
}

void HeadlessControl::TextEdited() {
  if (EditEvents_) EditEvents_->HandleTextEdited(Record_.Text);
  if (ListEvents_) ListEvents_->HandleTextEdited(Record_.Text);
}

void HeadlessControl::UserChoose(int index) {
  Focus();
  UserBrowse(index);
  UserTake();
}

void HeadlessControl::UserTake() {
  if (ListEvents_) ListEvents_->HandleListClosed(true, ItemIndex_);
}

void HeadlessControl::UserPick(int index) {
  Focus();
  SetItemIndex(index);
  if (ListEvents_) ListEvents_->HandleSelectionChanged(ItemIndex_, false);
}

void HeadlessControl::UserBrowse(int index) {
  SetItemIndex(index);
  if (ListEvents_) ListEvents_->HandleSelectionChanged(ItemIndex_, true);
}

void HeadlessControl::UserCloseList() {
  if (ListEvents_) ListEvents_->HandleListClosed(false, ItemIndex_);
}

void HeadlessControl::UserSetPosition(int position) {
  Focus();
  const int before = Position_;
  SetPosition(position);
  if (Position_ != before && TrackEvents_) TrackEvents_->HandlePositionChanged(Position_);
}

void HeadlessControl::UserClickButton(int index) {
  if (index < 0 || index >= static_cast<int>(Buttons_.size())) return;
  if (Buttons_[static_cast<size_t>(index)].Check)
    ButtonsDown_[static_cast<size_t>(index)] = !ButtonsDown_[static_cast<size_t>(index)];
  if (ToolEvents_) ToolEvents_->HandleButtonClick(index);
}

void HeadlessControl::UserMouseEnter() {
  if (LabelEvents_) LabelEvents_->HandleMouseEnter();
}
void HeadlessControl::UserMouseLeave() {
  if (LabelEvents_) LabelEvents_->HandleMouseLeave();
}

namespace {

// A control of one family: what the family offers goes to the record.
template <class Family>
class HeadlessNative : public Family, public HeadlessControl {
 public:
  HeadlessNative(HeadlessControlHost& window, ControlKind kind, const ControlPlace& place)
      : HeadlessControl(window, *this, kind, place) {}
  void SetBounds(const Rect& bounds) override { HeadlessControl::SetBounds(bounds); }
  void SetVisible(bool visible) override { HeadlessControl::SetVisible(visible); }
  void Focus() override { HeadlessControl::Focus(); }
  bool Focused() const override { return HeadlessControl::Focused(); }
};

class HeadlessLabel final : public HeadlessNative<Label> {
 public:
  HeadlessLabel(HeadlessControlHost& w, const ControlPlace& place, const std::string& text,
                const ControlFont& font, LabelHandler& handler)
      : HeadlessNative(w, ControlKind::Label, place) {
    Record_.Text = text;
    Record_.Font = font;
    LabelEvents_ = &handler;
  }
  void SetText(const std::string& text) override { HeadlessControl::SetText(text); }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
};

class HeadlessButton final : public HeadlessNative<Button> {
 public:
  HeadlessButton(HeadlessControlHost& w, const ControlPlace& place, const std::string& caption,
                 const ControlFont& font, bool isDefault, ClickHandler& handler)
      : HeadlessNative(w, ControlKind::Button, place) {
    Record_.Text = caption;
    Record_.Font = font;
    Record_.DefaultButton = isDefault;
    Clicks_ = &handler;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
  void SetEnabled(bool enabled) override { HeadlessControl::SetEnabled(enabled); }
};

class HeadlessEdit final : public HeadlessNative<Edit> {
 public:
  HeadlessEdit(HeadlessControlHost& w, const ControlPlace& place, const ControlFont& font,
               EditHandler& handler)
      : HeadlessNative(w, ControlKind::Edit, place) {
    Record_.Font = font;
    EditEvents_ = &handler;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
  void SetText(const std::string& text) override { HeadlessControl::SetText(text); }
};

class HeadlessHotkeyBox final : public HeadlessNative<HotkeyBox> {
 public:
  HeadlessHotkeyBox(HeadlessControlHost& w, const ControlPlace& place, const ControlFont& font,
                    HotkeyBoxHandler& handler)
      : HeadlessNative(w, ControlKind::HotkeyBox, place) {
    Record_.Font = font;
    ChordEvents_ = &handler;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
  void SetChord(KeyChord chord) override { HeadlessControl::SetChord(chord); }
};

class HeadlessCheckBox final : public HeadlessNative<CheckBox> {
 public:
  HeadlessCheckBox(HeadlessControlHost& w, const ControlPlace& place, const std::string& caption,
                   const ControlFont& font, CheckHandler& handler)
      : HeadlessNative(w, ControlKind::CheckBox, place) {
    Record_.Text = caption;
    Record_.Font = font;
    CheckEvents_ = &handler;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
  void SetChecked(bool checked) override { HeadlessControl::SetChecked(checked); }
};

// The three lists share what a list offers.
template <class Family>
class HeadlessList : public HeadlessNative<Family> {
 public:
  HeadlessList(HeadlessControlHost& w, ControlKind kind, const ControlPlace& place,
               const ControlFont& font, int dropDownRows, ListHandler& handler)
      : HeadlessNative<Family>(w, kind, place) {
    this->Record_.Font = font;
    this->Record_.DropDownRows = dropDownRows;
    this->ListEvents_ = &handler;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
  void SetItems(const std::vector<std::string>& items) override {
    HeadlessControl::SetItems(items);
  }
  void SetItemIndex(int index) override { HeadlessControl::SetItemIndex(index); }
};

class HeadlessComboBox final : public HeadlessList<ComboBox> {
 public:
  using HeadlessList::HeadlessList;
  void SetText(const std::string& text) override { HeadlessControl::SetText(text); }
};

class HeadlessColorList final : public HeadlessList<ColorList> {
 public:
  using HeadlessList::HeadlessList;
  void SetItemColors(const std::vector<TColor>& colors) override {
    HeadlessControl::SetItemColors(colors);
  }
};

class HeadlessTrackBar final : public HeadlessNative<TrackBar> {
 public:
  HeadlessTrackBar(HeadlessControlHost& w, const ControlPlace& place, int min, int max,
                   int thumbLength, TrackBarHandler& handler)
      : HeadlessNative(w, ControlKind::TrackBar, place) {
    Record_.ThumbLength = thumbLength;
    HeadlessControl::SetRange(min, max);
    HeadlessControl::SetPosition(min);
    TrackEvents_ = &handler;
  }
  void SetRange(int min, int max) override { HeadlessControl::SetRange(min, max); }
  void SetPosition(int position) override { HeadlessControl::SetPosition(position); }
  void SetThumbLength(int length) override { HeadlessControl::SetThumbLength(length); }
};

class HeadlessToolBar final : public HeadlessNative<ToolBar> {
 public:
  HeadlessToolBar(HeadlessControlHost& w, const ControlPlace& place, ToolBarHandler& handler)
      : HeadlessNative(w, ControlKind::ToolBar, place) {
    ToolEvents_ = &handler;
  }
  void SetButtons(const std::vector<ToolButtonSpec>& buttons) override {
    HeadlessControl::SetButtons(buttons);
  }
  void SetButtonDown(int index, bool down) override { HeadlessControl::SetButtonDown(index, down); }
};

class HeadlessPicture final : public HeadlessNative<Picture> {
 public:
  HeadlessPicture(HeadlessControlHost& w, const ControlPlace& place)
      : HeadlessNative(w, ControlKind::Picture, place) {}
  void SetPicture(const MaskedImage& picture) override { HeadlessControl::SetPicture(picture); }
};

class HeadlessPanel final : public HeadlessNative<Box> {
 public:
  HeadlessPanel(HeadlessControlHost& w, const ControlPlace& place, TColor color)
      : HeadlessNative(w, ControlKind::Panel, place) {
    Record_.Background = color;
  }
};

class HeadlessGroupBox final : public HeadlessNative<GroupBox> {
 public:
  HeadlessGroupBox(HeadlessControlHost& w, const ControlPlace& place, const std::string& caption,
                   const ControlFont& font)
      : HeadlessNative(w, ControlKind::GroupBox, place) {
    Record_.Text = caption;
    Record_.Font = font;
  }
  void SetFont(const ControlFont& font) override { HeadlessControl::SetFont(font); }
};

}  // namespace

std::unique_ptr<Label> HeadlessControlHost::CreateLabel(const ControlPlace& place,
                                                        const std::string& text,
                                                        const ControlFont& font,
                                                        LabelHandler& handler) {
  return std::make_unique<HeadlessLabel>(*this, place, text, font, handler);
}

std::unique_ptr<Button> HeadlessControlHost::CreateButton(const ControlPlace& place,
                                                          const std::string& caption,
                                                          const ControlFont& font, bool isDefault,
                                                          ClickHandler& handler) {
  return std::make_unique<HeadlessButton>(*this, place, caption, font, isDefault, handler);
}

std::unique_ptr<CheckBox> HeadlessControlHost::CreateCheckBox(const ControlPlace& place,
                                                              const std::string& caption,
                                                              const ControlFont& font,
                                                              CheckHandler& handler) {
  return std::make_unique<HeadlessCheckBox>(*this, place, caption, font, handler);
}

std::unique_ptr<Edit> HeadlessControlHost::CreateEdit(const ControlPlace& place,
                                                      const ControlFont& font,
                                                      EditHandler& handler) {
  return std::make_unique<HeadlessEdit>(*this, place, font, handler);
}

std::unique_ptr<HotkeyBox> HeadlessControlHost::CreateHotkeyBox(const ControlPlace& place,
                                                                const ControlFont& font,
                                                                HotkeyBoxHandler& handler) {
  return std::make_unique<HeadlessHotkeyBox>(*this, place, font, handler);
}

std::unique_ptr<ComboBox> HeadlessControlHost::CreateComboBox(const ControlPlace& place,
                                                              const ControlFont& font,
                                                              int dropDownRows,
                                                              ListHandler& handler) {
  return std::make_unique<HeadlessComboBox>(*this, ControlKind::ComboBox, place, font, dropDownRows,
                                            handler);
}

std::unique_ptr<DropDownList> HeadlessControlHost::CreateDropDownList(const ControlPlace& place,
                                                                      const ControlFont& font,
                                                                      int dropDownRows,
                                                                      ListHandler& handler) {
  return std::make_unique<HeadlessList<DropDownList>>(*this, ControlKind::DropDownList, place, font,
                                                      dropDownRows, handler);
}

std::unique_ptr<ColorList> HeadlessControlHost::CreateColorList(const ControlPlace& place,
                                                                const ControlFont& font,
                                                                int dropDownRows,
                                                                ListHandler& handler) {
  return std::make_unique<HeadlessColorList>(*this, ControlKind::ColorBox, place, font,
                                             dropDownRows, handler);
}

std::unique_ptr<TrackBar> HeadlessControlHost::CreateTrackBar(const ControlPlace& place, int min,
                                                              int max, int thumbLength,
                                                              TrackBarHandler& handler) {
  return std::make_unique<HeadlessTrackBar>(*this, place, min, max, thumbLength, handler);
}

std::unique_ptr<ToolBar> HeadlessControlHost::CreateToolBar(const ControlPlace& place,
                                                            ToolBarHandler& handler) {
  return std::make_unique<HeadlessToolBar>(*this, place, handler);
}

std::unique_ptr<Picture> HeadlessControlHost::CreatePicture(const ControlPlace& place) {
  return std::make_unique<HeadlessPicture>(*this, place);
}

std::unique_ptr<GroupBox> HeadlessControlHost::CreateGroupBox(const ControlPlace& place,
                                                              const std::string& caption,
                                                              const ControlFont& font) {
  return std::make_unique<HeadlessGroupBox>(*this, place, caption, font);
}

std::unique_ptr<Box> HeadlessControlHost::CreatePanel(const ControlPlace& place, TColor color) {
  return std::make_unique<HeadlessPanel>(*this, place, color);
}

std::unique_ptr<Control> HeadlessControlHost::CreateBevel(const ControlPlace& place) {
  return std::make_unique<HeadlessNative<Control>>(*this, ControlKind::Bevel, place);
}

HeadlessControl* HeadlessControlHost::FindNative(const Control& native) const {
  for (HeadlessControl* c : Controls_)
    if (&c->Native() == &native) return c;
  return nullptr;
}

}  // namespace vr::headless
