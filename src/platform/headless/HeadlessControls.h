#pragma once
// Headless controls: each records what the program told it, and tests act on
// it as the user would.

#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Window.h"

namespace vr::headless {

class HeadlessControlHost;

// What a control was made as: tests tell the controls of a window apart by it.
enum class ControlKind {
  Label,
  GroupBox,
  Panel,
  Bevel,
  Picture,
  Button,
  CheckBox,
  Edit,
  HotkeyBox,
  ComboBox,
  DropDownList,
  ColorBox,
  TrackBar,
  ToolBar,
};

// How a control was made and what the program told it since.
struct ControlRecord {
  ControlKind Kind = ControlKind::Label;
  Box* Parent = nullptr;
  Rect Bounds;
  std::string Text;
  ControlFont Font;
  bool Visible = true;
  bool TabStop = false;
  bool Enabled = true;                // Button
  bool DefaultButton = false;         // Button
  TColor Background = kDefaultColor;  // Panel
  int DropDownRows = 8;               // the lists
  int Min = 0, Max = 10;              // TrackBar
  int ThumbLength = 16;               // TrackBar
};

// A control as the tests see it, whatever its family: its state, and the
// user's actions on it.
class HeadlessControl {
 public:
  HeadlessControl(HeadlessControlHost& window, Control& self, ControlKind kind,
                  const ControlPlace& place);
  virtual ~HeadlessControl();
  HeadlessControl(const HeadlessControl&) = delete;
  HeadlessControl& operator=(const HeadlessControl&) = delete;

  // Inspection
  const ControlRecord& Params() const { return Record_; }
  ControlKind Kind() const { return Record_.Kind; }
  const Control& Native() const { return Self_; }
  HeadlessControl* Parent() const;
  // Shown on the screen: its own flag and every parent's.
  bool ShownOnScreen() const;
  std::string Text() const { return Record_.Text; }
  bool Checked() const { return Checked_; }
  KeyChord Chord() const { return Chord_; }
  const std::vector<std::string>& Items() const { return Items_; }
  int ItemIndex() const { return ItemIndex_; }
  const std::vector<TColor>& ItemColors() const { return ItemColors_; }
  int Position() const { return Position_; }
  int Min() const { return Record_.Min; }
  int Max() const { return Record_.Max; }
  const MaskedImage& Picture() const { return Picture_; }
  const std::vector<ToolButtonSpec>& Buttons() const { return Buttons_; }
  const std::vector<bool>& ButtonsDown() const { return ButtonsDown_; }
  // As on the real system, focusing a control of a window in the background
  // activates the window first.
  void Focus();
  bool Focused() const;

  // The user's actions, reported as the real control reports them.
  // A disabled control takes none of them, as on the real system.
  void UserClick();                           // Button, CheckBox (toggles), Label
  void UserType(const std::string& text);     // Edit, ComboBox: one edit per character
  void UserSetText(const std::string& text);  // Edit, ComboBox: one edit (a paste)
  void UserPressChord(KeyChord chord);        // HotkeyBox: the keys pressed, or cleared
  void UserChoose(int index);                 // the lists: moved to and taken, dropped
  void UserPick(int index);                   // the lists: moved to in the closed box
  void UserBrowse(int index);                 // the lists: moved to in the dropped list
  void UserTake();                            // the lists: closed with the item taken
  void UserCloseList();                       // the lists: closed with none (Esc)
  void UserSetPosition(int position);         // TrackBar
  void UserClickButton(int index);            // ToolBar (a check button toggles)
  void UserMouseEnter();                      // Label
  void UserMouseLeave();                      // Label

 protected:
  // What the program tells the control, for its families to pass on.
  void SetBounds(const Rect& bounds) { Record_.Bounds = bounds; }
  void SetVisible(bool visible) { Record_.Visible = visible; }
  void SetText(const std::string& text) { Record_.Text = text; }
  void SetEnabled(bool enabled) { Record_.Enabled = enabled; }
  void SetFont(const ControlFont& font) { Record_.Font = font; }
  void SetChecked(bool checked) { Checked_ = checked; }
  void SetChord(KeyChord chord) { Chord_ = chord; }
  void SetItems(const std::vector<std::string>& items);
  void SetItemIndex(int index);
  void SetItemColors(const std::vector<TColor>& colors) { ItemColors_ = colors; }
  void SetRange(int min, int max);
  void SetPosition(int position);
  void SetThumbLength(int length) { Record_.ThumbLength = length; }
  void SetPicture(const MaskedImage& picture) { Picture_ = picture; }
  void SetButtons(const std::vector<ToolButtonSpec>& buttons);
  void SetButtonDown(int index, bool down);

  ControlRecord Record_;
  // Who hears of the user's actions; those of its family only.
  LabelHandler* LabelEvents_ = nullptr;
  ClickHandler* Clicks_ = nullptr;
  CheckHandler* CheckEvents_ = nullptr;
  EditHandler* EditEvents_ = nullptr;
  HotkeyBoxHandler* ChordEvents_ = nullptr;
  ListHandler* ListEvents_ = nullptr;
  TrackBarHandler* TrackEvents_ = nullptr;
  ToolBarHandler* ToolEvents_ = nullptr;

 private:
  // The user's edit, to the box's handler.
  void TextEdited();
  HeadlessControlHost& Window_;
  Control& Self_;
  bool Checked_ = false;
  KeyChord Chord_;
  std::vector<std::string> Items_;
  std::vector<TColor> ItemColors_;
  int ItemIndex_ = -1;
  int Position_ = 0;
  MaskedImage Picture_;
  std::vector<ToolButtonSpec> Buttons_;
  std::vector<bool> ButtonsDown_;
};

// The part of a headless window that holds controls: it makes them and keeps
// them in the order they were made.
class HeadlessControlHost : public Window {
 public:
  std::unique_ptr<Label> CreateLabel(const ControlPlace& place, const std::string& text,
                                     const ControlFont& font, LabelHandler& handler) override;
  std::unique_ptr<Button> CreateButton(const ControlPlace& place, const std::string& caption,
                                       const ControlFont& font, bool isDefault,
                                       ClickHandler& handler) override;
  std::unique_ptr<CheckBox> CreateCheckBox(const ControlPlace& place, const std::string& caption,
                                           const ControlFont& font, CheckHandler& handler) override;
  std::unique_ptr<Edit> CreateEdit(const ControlPlace& place, const ControlFont& font,
                                   EditHandler& handler) override;
  std::unique_ptr<HotkeyBox> CreateHotkeyBox(const ControlPlace& place, const ControlFont& font,
                                             HotkeyBoxHandler& handler) override;
  std::unique_ptr<ComboBox> CreateComboBox(const ControlPlace& place, const ControlFont& font,
                                           int dropDownRows, ListHandler& handler) override;
  std::unique_ptr<DropDownList> CreateDropDownList(const ControlPlace& place,
                                                   const ControlFont& font, int dropDownRows,
                                                   ListHandler& handler) override;
  std::unique_ptr<ColorList> CreateColorList(const ControlPlace& place, const ControlFont& font,
                                             int dropDownRows, ListHandler& handler) override;
  std::unique_ptr<TrackBar> CreateTrackBar(const ControlPlace& place, int min, int max,
                                           int thumbLength, TrackBarHandler& handler) override;
  std::unique_ptr<ToolBar> CreateToolBar(const ControlPlace& place,
                                         ToolBarHandler& handler) override;
  std::unique_ptr<Picture> CreatePicture(const ControlPlace& place) override;
  std::unique_ptr<GroupBox> CreateGroupBox(const ControlPlace& place, const std::string& caption,
                                           const ControlFont& font) override;
  std::unique_ptr<Box> CreatePanel(const ControlPlace& place, TColor color) override;
  std::unique_ptr<Control> CreateBevel(const ControlPlace& place) override;

  // Controls in the order they were made.
  const std::vector<HeadlessControl*>& Controls() const { return Controls_; }
  // The native control that a control of the form layer stands on, once made.
  template <class FormControl>
  HeadlessControl* Find(const FormControl& control) const {
    return control.Made() ? FindNative(control.Native()) : nullptr;
  }
  HeadlessControl* FindNative(const Control& native) const;
  // The control with the keyboard while the window is active; nullptr: the
  // window itself.
  HeadlessControl* FocusedControl = nullptr;
  // The window is the active one, which has the keyboard.
  virtual bool IsActive() const = 0;

 private:
  friend class HeadlessControl;
  std::vector<HeadlessControl*> Controls_;
};

}  // namespace vr::headless
