#pragma once
// The standard controls the program's dialogs are made of, by family. They are
// the system's own, so that the visual style, screen readers and the keyboard
// come with them. Each family offers what applies to it; a handler hears only
// of the user's own actions: a change the program makes never comes back as
// an event.

#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Keys.h"
#include "platform/Screen.h"

namespace vr {

// A font for a control. Height is the character height in device pixels
// (the form layer scales it to the window's density); Color applies to labels.
struct ControlFont {
  std::string Face = "Tahoma";
  int Height = 11;
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;
  bool operator==(const ControlFont&) const = default;
};

class Box;

// Where a control sits and how it starts out.
struct ControlPlace {
  Box* Parent = nullptr;  // nullptr: the window itself
  Rect Bounds;            // in the parent's client area, in device pixels
  bool Visible = true;
  bool TabStop = false;
};

// What every control offers. Destroying it destroys the control.
class Control {
 public:
  virtual ~Control() = default;
  virtual void SetBounds(const Rect& bounds) = 0;  // device pixels, in the parent
  virtual void SetVisible(bool visible) = 0;
  virtual void Focus() = 0;
  virtual bool Focused() const = 0;
};

// ---------------------------------------------------------------- text, buttons, check boxes

// Static text sized to its text and drawn over its parent's background, in
// its font's colour; a click and the pointer's coming and going are reported.
class LabelHandler {
 public:
  virtual ~LabelHandler() = default;
  virtual void HandleClick() {}
  virtual void HandleMouseEnter() {}
  virtual void HandleMouseLeave() {}
};

class Label : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual void SetFont(const ControlFont& font) = 0;
};

class ClickHandler {
 public:
  virtual ~ClickHandler() = default;
  virtual void HandleClick() {}
};

// A check box the user toggled, with the state it has now.
class CheckHandler {
 public:
  virtual ~CheckHandler() = default;
  virtual void HandleToggled(bool /*checked*/) {}
};

class Button : public Control {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
  // A disabled button is greyed and takes neither the keyboard nor a click.
  virtual void SetEnabled(bool enabled) = 0;
};

class CheckBox : public Control {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
  virtual void SetChecked(bool checked) = 0;
};

// ---------------------------------------------------------------- text boxes

// What the user does to a text box, as it happens.
class EditHandler {
 public:
  virtual ~EditHandler() = default;
  // The user changed the text to this: a key typed, a paste, a cut.
  virtual void HandleTextEdited(const std::string& /*text*/) {}
};

// One line of text to type in, scrolling sideways when it is longer than the box.
class Edit : public Control {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
  virtual void SetText(const std::string& text) = 0;
};

// ---------------------------------------------------------------- hotkey box

// What the user does to a hotkey box, as it happens.
class HotkeyBoxHandler {
 public:
  virtual ~HotkeyBoxHandler() = default;
  // The box shows this chord now: the user pressed keys or cleared it (a
  // chord without a key: the modifiers held so far, or none at all).
  virtual void HandleChordChanged(KeyChord /*chord*/) {}
};

// A box that shows a key chord by its keys' names and takes the one the user
// presses while it has the keyboard.
class HotkeyBox : public Control {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
  virtual void SetChord(KeyChord chord) = 0;
};

// ---------------------------------------------------------------- lists

// What the user does to a list, as it happens; which of it is a choice is
// the program's rule.
class ListHandler {
 public:
  virtual ~ListHandler() = default;
  // An editable box: the user changed the text to this.
  virtual void HandleTextEdited(const std::string& /*text*/) {}
  // The selection moved to an item (-1: none), in the dropped list or in the
  // closed box (the keys, the wheel).
  virtual void HandleSelectionChanged(int /*index*/, bool /*dropped*/) {}
  // The dropped list closed, with an item taken (the one selected then) or
  // without one.
  virtual void HandleListClosed(bool /*taken*/, int /*index*/) {}
};

// A choose-only drop-down list.
class DropDownList : public Control {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
  // Unselects.
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  // -1: none.
  virtual void SetItemIndex(int index) = 0;
};

// Editable text with a drop-down list. Neither a new list nor no selection
// changes the text.
class ComboBox : public DropDownList {
 public:
  virtual void SetText(const std::string& text) = 0;
};

// A choose-only list whose items each show a swatch beside their name.
class ColorList : public DropDownList {
 public:
  // In item order.
  virtual void SetItemColors(const std::vector<TColor>& colors) = 0;
};

// ---------------------------------------------------------------- track bar, tool bar

// Horizontal, ticks at the two ends only.
class TrackBarHandler {
 public:
  virtual ~TrackBarHandler() = default;
  // The user moved the thumb to this position.
  virtual void HandlePositionChanged(int /*position*/) {}
};

class TrackBar : public Control {
 public:
  virtual void SetRange(int min, int max) = 0;
  virtual void SetPosition(int position) = 0;
  // The thumb's length across the bar, in device pixels.
  virtual void SetThumbLength(int length) = 0;
};

// One button of a tool bar.
struct ToolButtonSpec {
  MaskedImage Picture;
  bool Check = false;  // a check button (shows pressed while down)
  std::string Hint;    // tool tip and accessible name
};

// A vertical strip of picture buttons.
class ToolBarHandler {
 public:
  virtual ~ToolBarHandler() = default;
  virtual void HandleButtonClick(int /*index*/) {}
};

class ToolBar : public Control {
 public:
  virtual void SetButtons(const std::vector<ToolButtonSpec>& buttons) = 0;
  virtual void SetButtonDown(int index, bool down) = 0;
};

// ---------------------------------------------------------------- pictures and frames

// Shows a picture at its size.
class Picture : public Control {
 public:
  virtual void SetPicture(const MaskedImage& picture) = 0;
};

// Holds controls: hiding it hides them, and Tab and the dialog keys go into it.
class Box : public Control {};

// A framed box with a caption.
class GroupBox : public Box {
 public:
  virtual void SetFont(const ControlFont& font) = 0;
};

// ---------------------------------------------------------------- making them

// A window that holds controls makes them. Each throws when the system refuses.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual std::unique_ptr<Label> CreateLabel(const ControlPlace& place, const std::string& text,
                                             const ControlFont& font, LabelHandler& handler) = 0;
  // The default button is pressed by Enter.
  virtual std::unique_ptr<Button> CreateButton(const ControlPlace& place,
                                               const std::string& caption, const ControlFont& font,
                                               bool isDefault, ClickHandler& handler) = 0;
  virtual std::unique_ptr<CheckBox> CreateCheckBox(const ControlPlace& place,
                                                   const std::string& caption,
                                                   const ControlFont& font,
                                                   CheckHandler& handler) = 0;
  virtual std::unique_ptr<Edit> CreateEdit(const ControlPlace& place, const ControlFont& font,
                                           EditHandler& handler) = 0;
  virtual std::unique_ptr<HotkeyBox> CreateHotkeyBox(const ControlPlace& place,
                                                     const ControlFont& font,
                                                     HotkeyBoxHandler& handler) = 0;
  // The lists drop this many rows.
  virtual std::unique_ptr<ComboBox> CreateComboBox(const ControlPlace& place,
                                                   const ControlFont& font, int dropDownRows,
                                                   ListHandler& handler) = 0;
  virtual std::unique_ptr<DropDownList> CreateDropDownList(const ControlPlace& place,
                                                           const ControlFont& font,
                                                           int dropDownRows,
                                                           ListHandler& handler) = 0;
  virtual std::unique_ptr<ColorList> CreateColorList(const ControlPlace& place,
                                                     const ControlFont& font, int dropDownRows,
                                                     ListHandler& handler) = 0;
  virtual std::unique_ptr<TrackBar> CreateTrackBar(const ControlPlace& place, int min, int max,
                                                   int thumbLength, TrackBarHandler& handler) = 0;
  virtual std::unique_ptr<ToolBar> CreateToolBar(const ControlPlace& place,
                                                 ToolBarHandler& handler) = 0;
  virtual std::unique_ptr<Picture> CreatePicture(const ControlPlace& place) = 0;
  virtual std::unique_ptr<GroupBox> CreateGroupBox(const ControlPlace& place,
                                                   const std::string& caption,
                                                   const ControlFont& font) = 0;
  // A plain box in its own colour.
  virtual std::unique_ptr<Box> CreatePanel(const ControlPlace& place, TColor color) = 0;
  // A sunken line along the bottom of its bounds.
  virtual std::unique_ptr<Control> CreateBevel(const ControlPlace& place) = 0;
};

}  // namespace vr
