#pragma once
// The controls of the program's dialogs. Each stands on a native control of
// the platform and adds the event rules the program relies on, the same on
// every platform: a check box fires its click whenever its state changes,
// also by program; a track bar keeps its position within its range and fires
// on every change, also by program; loading a combo box's text or item fires
// nothing; an editable combo box fires its change on every edit and on
// choosing an item, where a select handler, if there is one, fires instead;
// a text box fires its change on every edit of the user's and never for the
// program's own text, and a hotkey box on every chord the user presses in it;
// a disabled button takes neither Enter nor the keyboard.
//
// Bounds and font sizes are designed at 96 dots per inch; the form scales
// them to its monitor.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/Actions.h"
#include "forms/Forms.h"

namespace vr {

class TBox;

class TControl : public TFormControl {
 public:
  // In the parent (nullptr: the form). The native control is made when the
  // form is first shown, or at once on a form that has been shown: a window
  // made at start-up and shown later costs nothing until then. Until it is
  // made, the control keeps its state and fires its events all the same.
  TControl(TForm& form, TBox* parent, Rect bounds, bool tabStop, ControlFont font = {});
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  TForm& Form() const { return Form_; }
  TBox* Parent() const { return Parent_; }
  bool Made() const override { return Native_ != nullptr; }
  // Only once made.
  Control& Native() const { return *Native_; }
  void Make() override;
  bool HasFocus() const override { return Native_ && Native_->Focused(); }

  const Rect& BoundsRect() const { return Bounds_; }
  void SetBounds(const Rect& bounds);
  bool Visible() const { return Visible_; }
  bool ShownOnScreen() const override;
  bool TabStop() const override { return TabStop_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  const ControlFont& Font() const { return Font_; }
  void SetFont(const ControlFont& font);
  void SetFocus() override {
    if (Native_) Native_->Focus();
  }

  // A small number that tells like controls apart (the tick level of a box).
  int Tag = 0;

  void Rescale() override;
  bool HandleDialogKey(DialogKey /*key*/) override { return false; }

 protected:
  // The native control of the control's family, made in its place.
  virtual std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) = 0;
  // The native control has just been made: hand it the rest of the state.
  virtual void LoadNative() {}
  // The font at the form's density, for the controls that show text.
  virtual void ApplyFont(const ControlFont& /*scaled*/) {}
  // The end of every control's construction: on a form that has been shown,
  // the native control is made now.
  void Created();
  ControlFont ScaledFont() const;
  template <class Family>
  Family& NativeAs() const {
    return static_cast<Family&>(*Native_);
  }
  TForm& Form_;
  TBox* Parent_;
  Rect Bounds_;
  bool Visible_ = true;
  bool TabStop_;
  ControlFont Font_;
  std::unique_ptr<Control> Native_;
};

// A control that holds others.
class TBox : public TControl {
 public:
  using TControl::TControl;
  // Only once made.
  Box& NativeBox() const { return NativeAs<Box>(); }
};

class TLabel : public TControl, private LabelHandler {
 public:
  TLabel(TForm& form, TBox* parent, Point at, const std::string& caption, ControlFont font = {});
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& caption);
  std::function<void(TLabel&)> OnClick, OnMouseEnter, OnMouseLeave;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void HandleClick() override;
  void HandleMouseEnter() override;
  void HandleMouseLeave() override;
  std::string Caption_;
};

class TGroupBox : public TBox {
 public:
  TGroupBox(TForm& form, TBox* parent, Rect bounds, const std::string& caption);

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  std::string Caption_;
};

class TPanel : public TBox {
 public:
  TPanel(TForm& form, TBox* parent, Rect bounds, TColor color);

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  TColor Color_;
};

class TBevel : public TControl {
 public:
  TBevel(TForm& form, TBox* parent, Rect bounds);

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
};

class TImage : public TControl {
 public:
  TImage(TForm& form, TBox* parent, Rect bounds, MaskedImage picture = {});
  void SetPicture(const MaskedImage& picture);
  const MaskedImage& Picture() const { return Picture_; }

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void LoadNative() override;
  MaskedImage Picture_;
};

class TButton : public TControl, private ClickHandler {
 public:
  struct Design {
    bool Default = false;  // Enter presses it
    bool Cancel = false;   // Esc presses it
    int ModalResult = mrNone;
  };
  TButton(TForm& form, TBox* parent, Rect bounds, const std::string& caption, Design design);
  // As the user's click: the handler, then the form's modal result.
  void Click();
  std::function<void(TButton&)> OnClick;
  bool HandleDialogKey(DialogKey key) override;
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool enabled);
  // Tab and the dialog's first focus pass a disabled button by.
  bool TabStop() const override { return TabStop_ && Enabled_; }

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void LoadNative() override;
  void HandleClick() override { Click(); }
  std::string Caption_;
  Design Button_;
  bool Enabled_ = true;
};

// One line of text to type in.
class TEdit : public TControl, private EditHandler {
 public:
  TEdit(TForm& form, TBox* parent, Rect bounds, const std::string& text = {});
  const std::string& Text() const { return Text_; }
  // Shows text the program has: fires nothing.
  void SetText(const std::string& text);
  // Each edit of the user's, with Text() already the new text.
  std::function<void(TEdit&)> OnChange;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void LoadNative() override;
  void HandleTextEdited(const std::string& text) override;
  std::string Text_;
};

// A box that shows a key chord and takes the one the user presses in it.
class THotkeyBox : public TControl, private HotkeyBoxHandler {
 public:
  THotkeyBox(TForm& form, TBox* parent, Rect bounds);
  KeyChord Chord() const { return Chord_; }
  // Shows a chord the program has: fires nothing.
  void SetChord(KeyChord chord);
  // Each chord the user presses or clears, with Chord() already the new one.
  std::function<void(THotkeyBox&)> OnChange;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void LoadNative() override;
  void HandleChordChanged(KeyChord chord) override;
  KeyChord Chord_;
};

class TCheckBox : public TControl, private CheckHandler {
 public:
  TCheckBox(TForm& form, TBox* parent, Rect bounds, const std::string& caption);
  bool Checked() const { return Checked_; }
  // Fires OnClick when the state changes, also when the program changes it.
  void SetChecked(bool checked);
  // Shows a state the program has already: fires nothing.
  void Load(bool checked);
  std::function<void(TCheckBox&)> OnClick;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void HandleToggled(bool checked) override;
  void LoadNative() override;
  std::string Caption_;
  bool Checked_ = false;
};

// A drop-down list, and which of the user's doings with it is a choice: an
// item taken from the dropped list, even the one chosen already ("Custom..."
// asks again), or another item picked in the closed box with the keys or the
// wheel. Moving through the dropped list is not one yet, and a list closed
// without one goes back to the choice it had.
class TListControl : public TControl, protected ListHandler {
 public:
  using TControl::TControl;
  int ItemIndex() const { return ItemIndex_; }

 protected:
  // The user chose the item.
  virtual void Choose(int index) = 0;
  // The native list shows the choice it had again.
  virtual void ShowChoice() = 0;
  int ItemIndex_ = -1;

 private:
  void HandleSelectionChanged(int index, bool dropped) final;
  void HandleListClosed(bool taken, int index) final;
};

enum class TComboBoxStyle { DropDown, DropDownList };

class TComboBox : public TListControl {
 public:
  TComboBox(TForm& form, TBox* parent, Rect bounds, TComboBoxStyle style,
            std::vector<std::string> items, int dropDownRows = 8);
  const std::vector<std::string>& Items() const { return Items_; }
  void SetItems(std::vector<std::string> items);
  // What the box shows. Loading it fires nothing.
  const std::string& Text() const { return Text_; }
  void SetText(const std::string& text);
  // Loading a choice fires nothing; -1 shows no selection.
  void SetItemIndex(int index);
  // The index of the item with exactly this text, or -1.
  int IndexOf(const std::string& text) const;

  std::function<void(TComboBox&)> OnChange;
  std::function<void(TComboBox&)> OnSelect;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void HandleTextEdited(const std::string& text) override;
  void Choose(int index) override;
  void ShowChoice() override;
  void LoadNative() override;
  bool Editable() const { return Style_ == TComboBoxStyle::DropDown; }
  TComboBoxStyle Style_;
  int DropDownRows_;
  std::vector<std::string> Items_;
  std::string Text_;
};

// A list of named colours with "Custom..." first. Choosing "Custom..." asks
// the system's colour chooser; selecting a colour that is not in the list
// stores it in the "Custom..." entry.
class TColorBox : public TListControl {
 public:
  struct NamedColor {
    std::string Name;
    TColor Color;
  };
  TColorBox(TForm& form, TBox* parent, Rect bounds, std::vector<NamedColor> colors,
            int dropDownRows = 8);
  TColor Selected() const { return Selected_; }
  // Loading: fires nothing.
  void SetSelected(TColor color);
  TColor CustomColor() const { return Custom_; }
  std::function<void(TColorBox&)> OnSelect;

  static constexpr const char* kCustomName = "Custom...";

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void ApplyFont(const ControlFont& scaled) override;
  void Choose(int index) override;
  void ShowChoice() override;
  void LoadNative() override;
  void Load();
  int DropDownRows_;
  std::vector<NamedColor> Colors_;
  TColor Selected_ = 0x000000;
  TColor Custom_ = 0x000000;
  int ItemIndex_ = -1;
};

class TTrackBar : public TControl, private TrackBarHandler {
 public:
  TTrackBar(TForm& form, TBox* parent, Rect bounds, int min, int max, int position,
            int thumbLength = 16);
  int Min() const { return Min_; }
  int Max() const { return Max_; }
  int Position() const { return Position_; }
  // Kept within Min..Max; fires OnChange when the position changes, also by program.
  void SetPosition(int position);
  // Shows a value the program has already, kept within Min..Max; fires
  // nothing. True when the bar had to take the nearer end and moved for it.
  bool Load(int position);
  std::function<void(TTrackBar&)> OnChange;
  // The thumb too follows the density.
  void Rescale() override;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void HandlePositionChanged(int position) override;
  void LoadNative() override;
  int Min_;
  int Max_;
  int Position_;
  int ThumbLength_;
};

// A strip of picture buttons docked along the form's left edge, each bound to
// an action: pressed while the action is checked, running it when clicked.
class TToolBar : public TControl, private ToolBarHandler {
 public:
  TToolBar(TForm& form, Rect bounds, const TImageList* images);
  ~TToolBar() override;
  struct Button {
    TAction* Action;
    bool Check;  // a check button; otherwise a plain push button
  };
  void AddButton(Button button);
  const std::vector<Button>& Buttons() const { return Buttons_; }
  bool ButtonDown(int index) const;
  void Rescale() override;

 private:
  std::unique_ptr<Control> MakeNative(ControlHost& host, const ControlPlace& place) override;
  void HandleButtonClick(int index) override;
  void LoadNative() override { Rebuild(); }
  void Rebuild();
  void Sync();
  const TImageList* Images_;
  std::vector<Button> Buttons_;
  std::vector<int> Tokens_;
  std::vector<bool> Down_;
};

// A filled rectangle; the program keeps its shapes hidden, so they need no
// native control.
struct TShape {
  Rect Bounds;
  TColor Brush = 0x0000FF;
  TColor Pen = 0x0000FF;
  bool Visible = false;
};

}  // namespace vr
