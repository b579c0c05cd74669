#pragma once
// The standard controls of the program's dialogs, by family: USER and common
// controls behind the portable ones. A top-level window makes them in itself.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Controls.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32 {

class NativeControl;

// What the controls of one platform share: who hears their handlers'
// errors, their child ids, their fonts, and the control being made, which
// the system asks about before CreateWindowEx has returned its handle.
class ControlPool {
 public:
  explicit ControlPool(std::function<void(const std::string&)> reportError)
      : ReportError_(std::move(reportError)) {}
  void ReportError(const std::string& text) const { ReportError_(text); }
  // Ids from 1000 up, so that IDOK and IDCANCEL stay the dialog keys'; given
  // back ones are taken again, so that a window opened a thousand times
  // never runs out.
  int TakeId();
  void ReturnId(int id);
  // One HFONT per distinct font, shared by the controls that show it and
  // released with the last of them: a label that underlines on every hover
  // must not leave a font behind each time.
  std::shared_ptr<FontHandle> Font(const ControlFont& font);
  NativeControl* Creating = nullptr;

 private:
  std::function<void(const std::string&)> ReportError_;
  std::vector<bool> UsedIds_;
  using FontKey = std::tuple<std::string, int, bool, bool>;
  std::map<FontKey, std::weak_ptr<FontHandle>> Fonts_;
};

// Where a control is made: the top-level window it sits in (or the place's
// box in it), and what it shares with the others.
struct ControlSite {
  HWND Window;
  ControlPool& Pool;
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
std::unique_ptr<Edit> MakeEdit(const ControlSite& site, const ControlPlace& place,
                               const ControlFont& font, EditHandler& handler);
std::unique_ptr<HotkeyBox> MakeHotkeyBox(const ControlSite& site, const ControlPlace& place,
                                         const ControlFont& font, HotkeyBoxHandler& handler);
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
bool RouteControlMessage(ControlPool& pool, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                         LRESULT& result);

// The native window of a control made above; nullptr for any other control.
HWND NativeHandle(const Control& control);

}  // namespace vr::win32
