#include "forms/Controls.h"

#include <algorithm>
#include <optional>

namespace vr {

namespace {

ControlParams Params(ControlKind kind, Rect bounds, const std::string& text = {}) {
  ControlParams p;
  p.Kind = kind;
  p.Bounds = bounds;
  p.Text = text;
  return p;
}

}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TForm& form, TControl* parent, ControlParams design)
    : Form_(form), Parent_(parent), Design_(std::move(design)) {
  // A subclass loads its own state into the native control as it is built,
  // through its setters, so the base only makes it here.
  if (form.ControlsMade()) MakeNativeControl();
  form.ControlCreated(this);
}

void TControl::MakeNativeControl() {
  ControlParams native = Design_;
  native.Parent = Parent_ ? &Parent_->Native() : nullptr;
  native.Bounds = Form_.Scaled(Design_.Bounds);
  native.Font = ScaledFont(Design_.Font);
  native.ThumbLength = Form_.Scaled(Design_.ThumbLength);
  Native_ = Form_.NativeWindow().CreateControl(native, *this);
}

void TControl::Make() {
  if (Native_) return;
  if (Parent_) Parent_->Make();
  MakeNativeControl();
  LoadNative();
}

TControl::~TControl() {
  Form_.ControlDestroyed(this);
  Native_.reset();
}

ControlFont TControl::ScaledFont(const ControlFont& font) const {
  ControlFont scaled = font;
  scaled.Height = Form_.Scaled(font.Height);
  return scaled;
}

void TControl::SetBounds(const Rect& bounds) {
  Design_.Bounds = bounds;
  if (Native_) Native_->SetBounds(Form_.Scaled(bounds));
}

void TControl::SetVisible(bool visible) {
  if (visible == Design_.Visible) return;
  Design_.Visible = visible;
  if (Native_) Native_->SetVisible(visible);
}

bool TControl::ShownOnScreen() const {
  for (const TControl* c = this; c; c = c->Parent_)
    if (!c->Design_.Visible) return false;
  return true;
}

void TControl::SetFont(const ControlFont& font) {
  if (font == Design_.Font) return;
  Design_.Font = font;
  if (Native_) Native_->SetFont(ScaledFont(font));
}

void TControl::Rescale() {
  // One not made yet is made at the density of its time.
  if (!Native_) return;
  Native_->SetFont(ScaledFont(Design_.Font));
  Native_->SetBounds(Form_.Scaled(Design_.Bounds));
}

// ---------------------------------------------------------------- simple controls

TLabel::TLabel(TForm& form, TControl* parent, Point at, const std::string& caption,
               ControlFont font)
    : TControl(form, parent, [&] {
        ControlParams p = Params(ControlKind::Label, {at.X, at.Y, 0, 0}, caption);
        p.Font = font;
        p.Transparent = true;
        p.AutoSize = true;
        return p;
      }()) {}

void TLabel::SetCaption(const std::string& caption) {
  Design_.Text = caption;
  if (Native_) Native_->SetText(caption);
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

TGroupBox::TGroupBox(TForm& form, TControl* parent, Rect bounds, const std::string& caption)
    : TControl(form, parent, Params(ControlKind::GroupBox, bounds, caption)) {}

TPanel::TPanel(TForm& form, TControl* parent, Rect bounds, TColor color)
    : TControl(form, parent, [&] {
        ControlParams p = Params(ControlKind::Panel, bounds);
        p.Background = color;
        return p;
      }()) {}

TBevel::TBevel(TForm& form, TControl* parent, Rect bounds)
    : TControl(form, parent, Params(ControlKind::Bevel, bounds)) {}

TImage::TImage(TForm& form, TControl* parent, Rect bounds, MaskedImage picture)
    : TControl(form, parent, Params(ControlKind::Picture, bounds)) {
  SetPicture(picture);
}

void TImage::SetPicture(const MaskedImage& picture) {
  Picture_ = picture;
  if (Native_) Native_->SetPicture(picture);
}

void TImage::LoadNative() { Native_->SetPicture(Picture_); }

// ---------------------------------------------------------------- TButton

TButton::TButton(TForm& form, TControl* parent, Rect bounds, const std::string& caption,
                 Design design)
    : TControl(form, parent,
               [&] {
                 ControlParams p = Params(ControlKind::Button, bounds, caption);
                 p.TabStop = true;
                 p.DefaultButton = design.Default;
                 return p;
               }()),
      Button_(design) {}

void TButton::Click() {
  if (OnClick) OnClick(*this);
  if (Button_.ModalResult != mrNone) Form_.SetModalResult(Button_.ModalResult);
}

bool TButton::HandleDialogKey(DialogKey key) {
  if ((key == DialogKey::Enter && Button_.Default) ||
      (key == DialogKey::Escape && Button_.Cancel)) {
    Click();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TForm& form, TControl* parent, Rect bounds, const std::string& caption)
    : TControl(form, parent, [&] {
        ControlParams p = Params(ControlKind::CheckBox, bounds, caption);
        p.TabStop = true;
        return p;
      }()) {}

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked_) return;
  Checked_ = checked;
  if (Native_) Native_->SetChecked(checked);
  if (OnClick) OnClick(*this);
}

void TCheckBox::LoadNative() {
  if (Checked_) Native_->SetChecked(true);
}

void TCheckBox::HandleClick() {
  // The native box has toggled itself; the portable state follows it.
  const bool now = Native_->Checked();
  if (now == Checked_) return;
  Checked_ = now;
  if (OnClick) OnClick(*this);
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TForm& form, TControl* parent, Rect bounds, TComboBoxStyle style,
                     std::vector<std::string> items, int dropDownRows)
    : TControl(form, parent,
               [&] {
                 ControlParams p =
                     Params(style == TComboBoxStyle::DropDown ? ControlKind::ComboBox
                                                              : ControlKind::DropDownList,
                            bounds);
                 p.TabStop = true;
                 p.DropDownRows = dropDownRows;
                 return p;
               }()),
      Style_(style) {
  SetItems(std::move(items));
}

void TComboBox::SetItems(std::vector<std::string> items) {
  Items_ = std::move(items);
  // A choose-only list shows nothing until an item is chosen; an editable
  // box keeps its text, which may be one of the new items.
  if (Style_ == TComboBoxStyle::DropDownList) Text_.clear();
  ItemIndex_ = IndexOf(Text_);
  if (!Native_) return;
  Native_->SetItems(Items_);
  Native_->SetText(Text_);
}

void TComboBox::LoadNative() {
  Native_->SetItems(Items_);
  // As the setters left it: a choose-only list shows its item, an editable
  // box its text.
  if (Style_ == TComboBoxStyle::DropDownList) {
    Native_->SetItemIndex(ItemIndex_);
  } else {
    Native_->SetText(Text_);
  }
}

void TComboBox::SetText(const std::string& text) {
  if (InOwnChange_) return;
  if (Style_ == TComboBoxStyle::DropDownList) {
    // A choose-only list can show only one of its items.
    SetItemIndex(IndexOf(text));
    return;
  }
  // A refresh runs after every render of a ruler: loading what the box
  // already shows costs the native control nothing.
  if (text == Text_) return;
  Text_ = text;
  ItemIndex_ = IndexOf(text);
  if (Native_) Native_->SetText(text);
}

void TComboBox::SetItemIndex(int index) {
  if (InOwnChange_) return;
  const int valid = index >= 0 && index < static_cast<int>(Items_.size()) ? index : -1;
  if (valid == ItemIndex_) return;
  ItemIndex_ = valid;
  if (Native_) Native_->SetItemIndex(ItemIndex_);
  if (ItemIndex_ >= 0) {
    Text_ = Items_[static_cast<size_t>(ItemIndex_)];
  } else if (Style_ == TComboBoxStyle::DropDownList) {
    Text_.clear();
  }
}

int TComboBox::IndexOf(const std::string& text) const {
  auto it = std::find(Items_.begin(), Items_.end(), text);
  return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
}

void TComboBox::Fire(const std::function<void(TComboBox&)>& handler) {
  if (!handler) return;
  InOwnChange_ = true;
  struct Reset {
    bool& Flag;
    ~Reset() { Flag = false; }
  } reset{InOwnChange_};
  handler(*this);
}

void TComboBox::HandleTextEdited() {
  Text_ = Native_->Text();
  ItemIndex_ = IndexOf(Text_);
  Fire(OnChange);
}

void TComboBox::HandleItemChosen() {
  const int index = Native_->ItemIndex();
  ItemIndex_ = index >= 0 && index < static_cast<int>(Items_.size()) ? index : -1;
  if (ItemIndex_ >= 0) Text_ = Items_[static_cast<size_t>(ItemIndex_)];
  Fire(OnSelect ? OnSelect : OnChange);
}

// ---------------------------------------------------------------- TColorBox

TColorBox::TColorBox(TForm& form, TControl* parent, Rect bounds, std::vector<NamedColor> colors,
                     int dropDownRows)
    : TControl(form, parent,
               [&] {
                 ControlParams p = Params(ControlKind::ColorBox, bounds);
                 p.TabStop = true;
                 p.DropDownRows = dropDownRows;
                 return p;
               }()),
      Colors_(std::move(colors)) {
  if (Native_) LoadNative();
}

void TColorBox::LoadNative() {
  std::vector<std::string> names{kCustomName};
  for (const NamedColor& c : Colors_) names.push_back(c.Name);
  Native_->SetItems(names);
  Load();
}

void TColorBox::Load() {
  if (!Native_) return;
  std::vector<TColor> swatches{Custom_};
  for (const NamedColor& c : Colors_) swatches.push_back(c.Color);
  Native_->SetItemColors(swatches);
  Native_->SetItemIndex(ItemIndex_);
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

void TColorBox::HandleItemChosen() {
  const int index = Native_->ItemIndex();
  if (index <= 0) {
    // "Custom...": the chooser decides; cancelled, nothing is chosen. It is a
    // modal dialog like the program's own: no window takes input meanwhile.
    std::optional<TColor> chosen;
    {
      TModalScope modal(Form_.Owner(), nullptr);
      chosen = Form_.Owner().Os().ChooseColor(Custom_);
    }
    if (!chosen) {
      Native_->SetItemIndex(ItemIndex_);
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

TTrackBar::TTrackBar(TForm& form, TControl* parent, Rect bounds, int min, int max, int position,
                     int thumbLength)
    : TControl(form, parent,
               [&] {
                 ControlParams p = Params(ControlKind::TrackBar, bounds);
                 p.TabStop = true;
                 p.Min = min;
                 p.Max = max;
                 p.ThumbLength = thumbLength;
                 return p;
               }()),
      Min_(min),
      Max_(std::max(min, max)),
      Position_(std::clamp(position, Min_, Max_)) {
  if (Native_) LoadNative();
}

void TTrackBar::LoadNative() {
  Native_->SetRange(Min_, Max_);
  Native_->SetPosition(Position_);
}

void TTrackBar::SetPosition(int position) {
  const int p = std::clamp(position, Min_, Max_);
  if (p == Position_) return;
  Position_ = p;
  if (Native_) Native_->SetPosition(p);
  if (OnChange) OnChange(*this);
}

void TTrackBar::Rescale() {
  TControl::Rescale();
  Native_->SetThumbLength(Form_.Scaled(Design_.ThumbLength));
}

void TTrackBar::HandlePositionChanged() {
  const int p = std::clamp(Native_->Position(), Min_, Max_);
  if (p == Position_) return;
  Position_ = p;
  if (OnChange) OnChange(*this);
}

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TForm& form, Rect bounds, const TImageList* images)
    : TControl(form, nullptr,
               [&] {
                 ControlParams p = Params(ControlKind::ToolBar, bounds);
                 p.TabStop = true;
                 return p;
               }()),
      Images_(images) {}

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
  Native_->SetButtons(entries);
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
    Native_->SetButtonDown(static_cast<int>(i), down);
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
