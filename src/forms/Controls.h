#pragma once
// The controls of the program's dialogs. Each stands on a native control of
// the platform and adds the event rules the program relies on, the same on
// every platform: a check box fires its click whenever its state changes,
// also by program; a track bar keeps its position within its range and fires
// on every change, also by program; loading a combo box's text or item fires
// nothing; an editable combo box fires its change on every edit and on
// choosing an item, where a select handler, if there is one, fires instead.
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

class TControl : public ControlHandler {
 public:
  // In the parent (nullptr: the form). The native control is made when the
  // form is first shown, or at once on a form that has been shown: a window
  // made at start-up and shown later costs nothing until then. Until it is
  // made, the control keeps its state and fires its events all the same.
  TControl(TForm& form, TControl* parent, ControlParams design);
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  TForm& Form() const { return Form_; }
  TControl* Parent() const { return Parent_; }
  ControlKind Kind() const { return Design_.Kind; }
  bool Made() const { return Native_ != nullptr; }
  // Only once made.
  Control& Native() const { return *Native_; }
  // Makes the native control, after its parent's, with the state it has.
  void Make();

  const Rect& BoundsRect() const { return Design_.Bounds; }
  void SetBounds(const Rect& bounds);
  bool Visible() const { return Design_.Visible; }
  // Visible, and so is every parent.
  bool ShownOnScreen() const;
  bool TabStop() const { return Design_.TabStop; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  const ControlFont& Font() const { return Design_.Font; }
  void SetFont(const ControlFont& font);
  void SetFocus() {
    if (Native_) Native_->Focus();
  }

  // A small number that tells like controls apart (the tick level of a box).
  int Tag = 0;

  // The form's monitor changed its density: bounds and font again.
  virtual void Rescale();
  // Enter or Esc in the form; true when this control took it.
  virtual bool HandleDialogKey(DialogKey /*key*/) { return false; }

 protected:
  ControlFont ScaledFont(const ControlFont& font) const;
  void MakeNativeControl();
  // The native control has just been made from the design: hand it the rest
  // of the state.
  virtual void LoadNative() {}
  TForm& Form_;
  TControl* Parent_;
  ControlParams Design_;
  std::unique_ptr<Control> Native_;
};

class TLabel : public TControl {
 public:
  TLabel(TForm& form, TControl* parent, Point at, const std::string& caption,
         ControlFont font = {});
  const std::string& Caption() const { return Design_.Text; }
  void SetCaption(const std::string& caption);
  std::function<void(TLabel&)> OnClick, OnMouseEnter, OnMouseLeave;

 private:
  void HandleClick() override;
  void HandleMouseEnter() override;
  void HandleMouseLeave() override;
};

class TGroupBox : public TControl {
 public:
  TGroupBox(TForm& form, TControl* parent, Rect bounds, const std::string& caption);
};

class TPanel : public TControl {
 public:
  TPanel(TForm& form, TControl* parent, Rect bounds, TColor color);
};

class TBevel : public TControl {
 public:
  TBevel(TForm& form, TControl* parent, Rect bounds);
};

class TImage : public TControl {
 public:
  TImage(TForm& form, TControl* parent, Rect bounds, MaskedImage picture = {});
  void SetPicture(const MaskedImage& picture);
  const MaskedImage& Picture() const { return Picture_; }

 private:
  void LoadNative() override;
  MaskedImage Picture_;
};

class TButton : public TControl {
 public:
  struct Design {
    bool Default = false;  // Enter presses it
    bool Cancel = false;   // Esc presses it
    int ModalResult = mrNone;
  };
  TButton(TForm& form, TControl* parent, Rect bounds, const std::string& caption, Design design);
  // As the user's click: the handler, then the form's modal result.
  void Click();
  std::function<void(TButton&)> OnClick;
  bool HandleDialogKey(DialogKey key) override;

 private:
  void HandleClick() override { Click(); }
  Design Button_;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(TForm& form, TControl* parent, Rect bounds, const std::string& caption);
  bool Checked() const { return Checked_; }
  // Fires OnClick when the state changes, also when the program changes it.
  void SetChecked(bool checked);
  std::function<void(TCheckBox&)> OnClick;

 private:
  void HandleClick() override;
  void LoadNative() override;
  bool Checked_ = false;
};

enum class TComboBoxStyle { DropDown, DropDownList };

class TComboBox : public TControl {
 public:
  TComboBox(TForm& form, TControl* parent, Rect bounds, TComboBoxStyle style,
            std::vector<std::string> items, int dropDownRows = 8);
  const std::vector<std::string>& Items() const { return Items_; }
  void SetItems(std::vector<std::string> items);
  // What the box shows. Loading it fires nothing. While the box's own change
  // is being handled the typed text stays: a refresh from what that change
  // did must not overwrite what the user is typing.
  const std::string& Text() const { return Text_; }
  void SetText(const std::string& text);
  int ItemIndex() const { return ItemIndex_; }
  // Loading a choice fires nothing; -1 shows no selection.
  void SetItemIndex(int index);
  // The index of the item with exactly this text, or -1.
  int IndexOf(const std::string& text) const;

  std::function<void(TComboBox&)> OnChange;
  std::function<void(TComboBox&)> OnSelect;

 private:
  void HandleTextEdited() override;
  void HandleItemChosen() override;
  void LoadNative() override;
  void Fire(const std::function<void(TComboBox&)>& handler);
  TComboBoxStyle Style_;
  std::vector<std::string> Items_;
  std::string Text_;
  int ItemIndex_ = -1;
  bool InOwnChange_ = false;
};

// A list of named colours with "Custom..." first. Choosing "Custom..." asks
// the system's colour chooser; selecting a colour that is not in the list
// stores it in the "Custom..." entry.
class TColorBox : public TControl {
 public:
  struct NamedColor {
    std::string Name;
    TColor Color;
  };
  TColorBox(TForm& form, TControl* parent, Rect bounds, std::vector<NamedColor> colors,
            int dropDownRows = 8);
  TColor Selected() const { return Selected_; }
  // Loading: fires nothing.
  void SetSelected(TColor color);
  TColor CustomColor() const { return Custom_; }
  int ItemIndex() const { return ItemIndex_; }
  std::function<void(TColorBox&)> OnSelect;

  static constexpr const char* kCustomName = "Custom...";

 private:
  void HandleItemChosen() override;
  void LoadNative() override;
  void Load();
  std::vector<NamedColor> Colors_;
  TColor Selected_ = 0x000000;
  TColor Custom_ = 0x000000;
  int ItemIndex_ = -1;
};

class TTrackBar : public TControl {
 public:
  TTrackBar(TForm& form, TControl* parent, Rect bounds, int min, int max, int position,
            int thumbLength = 16);
  int Min() const { return Min_; }
  int Max() const { return Max_; }
  int Position() const { return Position_; }
  // Kept within Min..Max; fires OnChange when the position changes, also by program.
  void SetPosition(int position);
  std::function<void(TTrackBar&)> OnChange;
  // The thumb too follows the density.
  void Rescale() override;

 private:
  void HandlePositionChanged() override;
  void LoadNative() override;
  int Min_;
  int Max_;
  int Position_;
};

// A strip of picture buttons docked along the form's left edge, each bound to
// an action: pressed while the action is checked, running it when clicked.
class TToolBar : public TControl {
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
