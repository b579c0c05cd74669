#include "forms/Controls.h"

#include <algorithm>
#include <optional>

namespace vr {

// ---------------------------------------------------------------- TControl

TControl::TControl(TForm& form, TBox* parent, Rect bounds, bool tabStop, ControlFont font)
    : Form_(form), Parent_(parent), Bounds_(bounds), TabStop_(tabStop), Font_(std::move(font)) {
  form.ControlCreated(this);
}

void TControl::Created() {
  // A subclass has its state by now, which the native control takes as it is made.
  if (Form_.ControlsMade()) Make();
}

void TControl::Make() {
  if (Native_) return;
  if (Parent_) Parent_->Make();
  const ControlPlace place{Parent_ ? &Parent_->NativeBox() : nullptr, Form_.Scaled(Bounds_),
                           Visible_, TabStop_};
  Native_ = MakeNative(Form_.NativeWindow(), place);
  LoadNative();
}

TControl::~TControl() {
  Form_.ControlDestroyed(this);
  Native_.reset();
}

ControlFont TControl::ScaledFont() const {
  ControlFont scaled = Font_;
  scaled.Height = Form_.Scaled(Font_.Height);
  return scaled;
}

void TControl::SetBounds(const Rect& bounds) {
  Bounds_ = bounds;
  if (Native_) Native_->SetBounds(Form_.Scaled(bounds));
}

void TControl::SetVisible(bool visible) {
  if (visible == Visible_) return;
  Visible_ = visible;
  if (Native_) Native_->SetVisible(visible);
}

bool TControl::ShownOnScreen() const {
  for (const TControl* c = this; c; c = c->Parent_)
    if (!c->Visible_) return false;
  return true;
}

void TControl::SetFont(const ControlFont& font) {
  if (font == Font_) return;
  Font_ = font;
  if (Native_) ApplyFont(ScaledFont());
}

void TControl::Rescale() {
  // One not made yet is made at the density of its time.
  if (!Native_) return;
  ApplyFont(ScaledFont());
  Native_->SetBounds(Form_.Scaled(Bounds_));
}

// ---------------------------------------------------------------- simple controls

TLabel::TLabel(TForm& form, TBox* parent, Point at, const std::string& caption, ControlFont font)
    : TControl(form, parent, {at.X, at.Y, 0, 0}, false, std::move(font)), Caption_(caption) {
  Created();
}

std::unique_ptr<Control> TLabel::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateLabel(place, Caption_, ScaledFont(), *this);
}

void TLabel::ApplyFont(const ControlFont& scaled) { NativeAs<Label>().SetFont(scaled); }

void TLabel::SetCaption(const std::string& caption) {
  Caption_ = caption;
  if (Native_) NativeAs<Label>().SetText(caption);
}

void TLabel::HandleClick() {
  if (OnClick) OnClick(*this);
}
void TLabel::HandleMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}
void TLabel::HandleMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(*this);
}

TGroupBox::TGroupBox(TForm& form, TBox* parent, Rect bounds, const std::string& caption)
    : TBox(form, parent, bounds, false), Caption_(caption) {
  Created();
}

std::unique_ptr<Control> TGroupBox::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateGroupBox(place, Caption_, ScaledFont());
}

void TGroupBox::ApplyFont(const ControlFont& scaled) { NativeAs<GroupBox>().SetFont(scaled); }

TPanel::TPanel(TForm& form, TBox* parent, Rect bounds, TColor color)
    : TBox(form, parent, bounds, false), Color_(color) {
  Created();
}

std::unique_ptr<Control> TPanel::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreatePanel(place, Color_);
}

TBevel::TBevel(TForm& form, TBox* parent, Rect bounds) : TControl(form, parent, bounds, false) {
  Created();
}

std::unique_ptr<Control> TBevel::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateBevel(place);
}

TImage::TImage(TForm& form, TBox* parent, Rect bounds, MaskedImage picture)
    : TControl(form, parent, bounds, false), Picture_(std::move(picture)) {
  Created();
}

std::unique_ptr<Control> TImage::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreatePicture(place);
}

void TImage::SetPicture(const MaskedImage& picture) {
  Picture_ = picture;
  if (Native_) NativeAs<vr::Picture>().SetPicture(picture);
}

void TImage::LoadNative() { NativeAs<vr::Picture>().SetPicture(Picture_); }

// ---------------------------------------------------------------- TButton

TButton::TButton(TForm& form, TBox* parent, Rect bounds, const std::string& caption, Design design)
    : TControl(form, parent, bounds, true), Caption_(caption), Button_(design) {
  Created();
}

std::unique_ptr<Control> TButton::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateButton(place, Caption_, ScaledFont(), Button_.Default, *this);
}

void TButton::ApplyFont(const ControlFont& scaled) { NativeAs<vr::Button>().SetFont(scaled); }

void TButton::Click() {
  if (OnClick) OnClick(*this);
  if (Button_.ModalResult != mrNone) Form_.SetModalResult(Button_.ModalResult);
}

void TButton::SetEnabled(bool enabled) {
  if (enabled == Enabled_) return;
  Enabled_ = enabled;
  if (Native_) NativeAs<vr::Button>().SetEnabled(enabled);
}

void TButton::LoadNative() {
  if (!Enabled_) NativeAs<vr::Button>().SetEnabled(false);
}

bool TButton::HandleDialogKey(DialogKey key) {
  // Enter reaches the form whatever the default button's state.
  if (!Enabled_) return false;
  if ((key == DialogKey::Enter && Button_.Default) ||
      (key == DialogKey::Escape && Button_.Cancel)) {
    Click();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TForm& form, TBox* parent, Rect bounds, const std::string& text)
    : TControl(form, parent, bounds, true), Text_(text) {
  Created();
}

std::unique_ptr<Control> TEdit::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateEdit(place, ScaledFont(), *this);
}

void TEdit::ApplyFont(const ControlFont& scaled) { NativeAs<Edit>().SetFont(scaled); }

void TEdit::LoadNative() {
  if (!Text_.empty()) NativeAs<Edit>().SetText(Text_);
}

void TEdit::SetText(const std::string& text) {
  if (text == Text_) return;
  Text_ = text;
  if (Native_) NativeAs<Edit>().SetText(text);
}

void TEdit::HandleTextEdited(const std::string& text) {
  Text_ = text;
  if (OnChange) OnChange(*this);
}

// ---------------------------------------------------------------- THotkeyBox

THotkeyBox::THotkeyBox(TForm& form, TBox* parent, Rect bounds)
    : TControl(form, parent, bounds, true) {
  Created();
}

std::unique_ptr<Control> THotkeyBox::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateHotkeyBox(place, ScaledFont(), *this);
}

void THotkeyBox::ApplyFont(const ControlFont& scaled) { NativeAs<HotkeyBox>().SetFont(scaled); }

void THotkeyBox::LoadNative() {
  if (Chord_ != KeyChord{}) NativeAs<HotkeyBox>().SetChord(Chord_);
}

void THotkeyBox::SetChord(KeyChord chord) {
  if (chord == Chord_) return;
  Chord_ = chord;
  if (Native_) NativeAs<HotkeyBox>().SetChord(chord);
}

void THotkeyBox::HandleChordChanged(KeyChord chord) {
  Chord_ = chord;
  if (OnChange) OnChange(*this);
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TForm& form, TBox* parent, Rect bounds, const std::string& caption)
    : TControl(form, parent, bounds, true), Caption_(caption) {
  Created();
}

std::unique_ptr<Control> TCheckBox::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateCheckBox(place, Caption_, ScaledFont(), *this);
}

void TCheckBox::ApplyFont(const ControlFont& scaled) { NativeAs<CheckBox>().SetFont(scaled); }

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked_) return;
  Load(checked);
  if (OnClick) OnClick(*this);
}

void TCheckBox::Load(bool checked) {
  if (checked == Checked_) return;
  Checked_ = checked;
  if (Native_) NativeAs<CheckBox>().SetChecked(checked);
}

void TCheckBox::LoadNative() {
  if (Checked_) NativeAs<CheckBox>().SetChecked(true);
}

void TCheckBox::HandleToggled(bool checked) {
  // The native box has toggled itself; the portable state follows it.
  if (checked == Checked_) return;
  Checked_ = checked;
  if (OnClick) OnClick(*this);
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TForm& form, TBox* parent, Rect bounds, TComboBoxStyle style,
                     std::vector<std::string> items, int dropDownRows)
    : TListControl(form, parent, bounds, true), Style_(style), DropDownRows_(dropDownRows) {
  SetItems(std::move(items));
  Created();
}

std::unique_ptr<Control> TComboBox::MakeNative(ControlHost& host, const ControlPlace& place) {
  if (Editable()) return host.CreateComboBox(place, ScaledFont(), DropDownRows_, *this);
  return host.CreateDropDownList(place, ScaledFont(), DropDownRows_, *this);
}

void TComboBox::ApplyFont(const ControlFont& scaled) { NativeAs<DropDownList>().SetFont(scaled); }

void TComboBox::SetItems(std::vector<std::string> items) {
  Items_ = std::move(items);
  // A choose-only list shows nothing until an item is chosen; an editable
  // box keeps its text, which may be one of the new items.
  if (!Editable()) Text_.clear();
  ItemIndex_ = IndexOf(Text_);
  if (!Native_) return;
  NativeAs<DropDownList>().SetItems(Items_);
  if (Editable()) NativeAs<ComboBox>().SetText(Text_);
}

void TComboBox::LoadNative() {
  NativeAs<DropDownList>().SetItems(Items_);
  // As the setters left it: a choose-only list shows its item, an editable
  // box its text.
  if (Editable()) {
    NativeAs<ComboBox>().SetText(Text_);
  } else {
    NativeAs<DropDownList>().SetItemIndex(ItemIndex_);
  }
}

void TComboBox::SetText(const std::string& text) {
  if (!Editable()) {
    // A choose-only list can show only one of its items.
    SetItemIndex(IndexOf(text));
    return;
  }
  // A refresh runs after every render of a ruler: loading what the box
  // already shows costs the native control nothing.
  if (text == Text_) return;
  Text_ = text;
  ItemIndex_ = IndexOf(text);
  if (Native_) NativeAs<ComboBox>().SetText(text);
}

void TComboBox::SetItemIndex(int index) {
  const int valid = index >= 0 && index < static_cast<int>(Items_.size()) ? index : -1;
  if (valid == ItemIndex_) return;
  ItemIndex_ = valid;
  if (Native_) NativeAs<DropDownList>().SetItemIndex(ItemIndex_);
  if (ItemIndex_ >= 0) {
    Text_ = Items_[static_cast<size_t>(ItemIndex_)];
  } else if (!Editable()) {
    Text_.clear();
  }
}

int TComboBox::IndexOf(const std::string& text) const {
  auto it = std::find(Items_.begin(), Items_.end(), text);
  return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
}

void TComboBox::HandleTextEdited(const std::string& text) {
  Text_ = text;
  ItemIndex_ = IndexOf(Text_);
  if (OnChange) OnChange(*this);
}

// ---------------------------------------------------------------- TListControl

void TListControl::HandleSelectionChanged(int index, bool dropped) {
  if (!dropped && index >= 0 && index != ItemIndex_) Choose(index);
}

void TListControl::HandleListClosed(bool taken, int index) {
  if (taken && index >= 0) {
    Choose(index);
  } else {
    ShowChoice();
  }
}

// ---------------------------------------------------------------- TComboBox

void TComboBox::ShowChoice() {
  // An editable box shows its text too.
  NativeAs<DropDownList>().SetItemIndex(ItemIndex_);
  if (Editable()) NativeAs<ComboBox>().SetText(Text_);
}

void TComboBox::Choose(int index) {
  if (index >= static_cast<int>(Items_.size())) return;
  ItemIndex_ = index;
  Text_ = Items_[static_cast<size_t>(index)];
  // The chosen item's text is in the edit field before anyone reads it.
  if (Editable()) NativeAs<ComboBox>().SetText(Text_);
  if (OnSelect) {
    OnSelect(*this);
  } else if (OnChange) {
    OnChange(*this);
  }
}

// ---------------------------------------------------------------- TColorBox

TColorBox::TColorBox(TForm& form, TBox* parent, Rect bounds, std::vector<NamedColor> colors,
                     int dropDownRows)
    : TListControl(form, parent, bounds, true),
      DropDownRows_(dropDownRows),
      Colors_(std::move(colors)) {
  Created();
}

std::unique_ptr<Control> TColorBox::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateColorList(place, ScaledFont(), DropDownRows_, *this);
}

void TColorBox::ApplyFont(const ControlFont& scaled) { NativeAs<ColorList>().SetFont(scaled); }

void TColorBox::LoadNative() {
  std::vector<std::string> names{kCustomName};
  for (const NamedColor& c : Colors_) names.push_back(c.Name);
  NativeAs<ColorList>().SetItems(names);
  Load();
}

void TColorBox::Load() {
  if (!Native_) return;
  std::vector<TColor> swatches{Custom_};
  for (const NamedColor& c : Colors_) swatches.push_back(c.Color);
  NativeAs<ColorList>().SetItemColors(swatches);
  NativeAs<ColorList>().SetItemIndex(ItemIndex_);
}

void TColorBox::SetSelected(TColor color) {
  if (color == Selected_ && ItemIndex_ >= 0) return;
  Selected_ = color;
  auto it = std::find_if(Colors_.begin(), Colors_.end(),
                         [color](const NamedColor& c) { return c.Color == color; });
  if (it != Colors_.end()) {
    ItemIndex_ = static_cast<int>(it - Colors_.begin()) + 1;
  } else {
    Custom_ = color;
    ItemIndex_ = 0;
  }
  Load();
}

void TColorBox::ShowChoice() { NativeAs<ColorList>().SetItemIndex(ItemIndex_); }

void TColorBox::Choose(int index) {
  if (index <= 0) {
    // "Custom...": the chooser decides; cancelled, nothing is chosen. It is a
    // modal dialog like the program's own: no window takes input meanwhile.
    std::optional<TColor> chosen;
    {
      TModalScope modal(Form_.Owner(), nullptr);
      chosen = Form_.Owner().Os().ChooseColor(Custom_);
    }
    if (!chosen) {
      NativeAs<ColorList>().SetItemIndex(ItemIndex_);
      return;
    }
    Custom_ = *chosen & 0xFFFFFF;
    Selected_ = Custom_;
    ItemIndex_ = 0;
    Load();
  } else if (index <= static_cast<int>(Colors_.size())) {
    ItemIndex_ = index;
    Selected_ = Colors_[static_cast<size_t>(index - 1)].Color;
  } else {
    return;
  }
  if (OnSelect) OnSelect(*this);
}

// ---------------------------------------------------------------- TTrackBar

TTrackBar::TTrackBar(TForm& form, TBox* parent, Rect bounds, int min, int max, int position,
                     int thumbLength)
    : TControl(form, parent, bounds, true),
      Min_(min),
      Max_(std::max(min, max)),
      Position_(std::clamp(position, Min_, Max_)),
      ThumbLength_(thumbLength) {
  Created();
}

std::unique_ptr<Control> TTrackBar::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateTrackBar(place, Min_, Max_, Form_.Scaled(ThumbLength_), *this);
}

void TTrackBar::LoadNative() {
  NativeAs<TrackBar>().SetRange(Min_, Max_);
  NativeAs<TrackBar>().SetPosition(Position_);
}

void TTrackBar::SetPosition(int position) {
  const int before = Position_;
  Load(position);
  if (Position_ != before && OnChange) OnChange(*this);
}

bool TTrackBar::Load(int position) {
  const int p = std::clamp(position, Min_, Max_);
  if (p == Position_) return false;
  Position_ = p;
  if (Native_) NativeAs<TrackBar>().SetPosition(p);
  return p != position;
}

void TTrackBar::Rescale() {
  TControl::Rescale();
  if (Native_) NativeAs<TrackBar>().SetThumbLength(Form_.Scaled(ThumbLength_));
}

void TTrackBar::HandlePositionChanged(int position) {
  const int p = std::clamp(position, Min_, Max_);
  if (p == Position_) return;
  Position_ = p;
  if (OnChange) OnChange(*this);
}

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TForm& form, Rect bounds, const TImageList* images)
    : TControl(form, nullptr, bounds, true), Images_(images) {
  Created();
}

std::unique_ptr<Control> TToolBar::MakeNative(ControlHost& host, const ControlPlace& place) {
  return host.CreateToolBar(place, *this);
}

TToolBar::~TToolBar() {
  for (size_t i = 0; i < Buttons_.size(); ++i) Buttons_[i].Action->Unsubscribe(Tokens_[i]);
}

void TToolBar::AddButton(Button button) {
  Buttons_.push_back(button);
  Tokens_.push_back(button.Action->Subscribe([this] { Sync(); }));
  Down_.push_back(false);
  Rebuild();
}

bool TToolBar::ButtonDown(int index) const {
  return index >= 0 && index < static_cast<int>(Down_.size()) && Down_[static_cast<size_t>(index)];
}

void TToolBar::Rebuild() {
  if (!Native_) return;
  const int size = Images_ ? Form_.Scaled(Images_->Size()) : 0;
  std::vector<ToolButtonSpec> entries;
  for (const Button& b : Buttons_) {
    ToolButtonSpec entry;
    if (Images_) entry.Picture = Images_->Get(b.Action->ImageIndex(), size);
    entry.Check = b.Check;
    // The caption without its access-key marker names the button.
    for (char c : b.Action->Caption())
      if (c != '&') entry.Hint += c;
    entries.push_back(std::move(entry));
  }
  NativeAs<ToolBar>().SetButtons(entries);
  Down_.assign(Buttons_.size(), false);
  Sync();
}

void TToolBar::Rescale() {
  TControl::Rescale();
  Rebuild();
}

void TToolBar::Sync() {
  if (!Native_) return;
  for (size_t i = 0; i < Buttons_.size(); ++i) {
    const bool down = Buttons_[i].Action->Checked();
    if (down == Down_[i]) continue;
    Down_[i] = down;
    NativeAs<ToolBar>().SetButtonDown(static_cast<int>(i), down);
  }
}

void TToolBar::HandleButtonClick(int index) {
  if (index < 0 || index >= static_cast<int>(Buttons_.size())) return;
  // A check button has pressed or released itself; what shows is the action's state.
  if (Buttons_[static_cast<size_t>(index)].Check)
    Down_[static_cast<size_t>(index)] = !Down_[static_cast<size_t>(index)];
  Buttons_[static_cast<size_t>(index)].Action->Execute();
  Sync();
}

}  // namespace vr
