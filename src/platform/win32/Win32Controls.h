#pragma once
// The standard controls of the program's dialogs, by family: USER and common
// controls behind the portable ones. A top-level window makes them in itself.

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/WindowSystem.h"

namespace vr::win32 {

// Where a control is made: the top-level window it sits in (or the place's
// box in it), and who shows the errors of its handler.
struct ControlSite {
  HWND Window;
  WindowSystem& Errors;
};

// Each throws when the system refuses the control.
std::unique_ptr<Label> MakeLabel(const ControlSite& site, const ControlPlace& place,
                                 const std::string& text, const ControlFont& font,
                                 LabelHandler& handler);
std::unique_ptr<Picture> MakePicture(const ControlSite& site, const ControlPlace& place);
std::unique_ptr<GroupBox> MakeGroupBox(const ControlSite& site, const ControlPlace& place,
                                       const std::string& caption, const ControlFont& font);
std::unique_ptr<Box> MakePanel(const ControlSite& site, const ControlPlace& place, TColor color);
std::unique_ptr<Control> MakeBevel(const ControlSite& site, const ControlPlace& place);
std::unique_ptr<Button> MakeButton(const ControlSite& site, const ControlPlace& place,
                                   const std::string& caption, const ControlFont& font,
                                   bool isDefault, ClickHandler& handler);
std::unique_ptr<CheckBox> MakeCheckBox(const ControlSite& site, const ControlPlace& place,
                                       const std::string& caption, const ControlFont& font,
                                       CheckHandler& handler);
std::unique_ptr<ComboBox> MakeComboBox(const ControlSite& site, const ControlPlace& place,
                                       const ControlFont& font, int dropDownRows,
                                       ListHandler& handler);
std::unique_ptr<DropDownList> MakeDropDownList(const ControlSite& site, const ControlPlace& place,
                                               const ControlFont& font, int dropDownRows,
                                               ListHandler& handler);
std::unique_ptr<ColorList> MakeColorList(const ControlSite& site, const ControlPlace& place,
                                         const ControlFont& font, int dropDownRows,
                                         ListHandler& handler);
std::unique_ptr<TrackBar> MakeTrackBar(const ControlSite& site, const ControlPlace& place, int min,
                                       int max, int thumbLength, TrackBarHandler& handler);
std::unique_ptr<ToolBar> MakeToolBar(const ControlSite& site, const ControlPlace& place,
                                     ToolBarHandler& handler);

// A notification that reached a window from one of its controls (command,
// notify, scroll, owner draw, colours): handled here when it belongs to a
// control made above. true: handled, with its result.
bool RouteControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The native window of a control made above; nullptr for any other control.
HWND NativeHandle(const Control& control);

}  // namespace vr::win32
