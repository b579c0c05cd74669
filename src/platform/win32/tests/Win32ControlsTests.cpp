// Checks of the native controls: the program's own changes never come back as
// events, each user action comes back once, boxes hold their controls, and
// nothing is left behind.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Strings.h"
#include "platform/win32/Win32Window.h"

namespace vr::win32::tests {

using CheckFn = std::function<void(bool, std::string_view, std::source_location)>;

namespace {

// The kinds of control the checks make, one or more of each family.
enum class Kind {
  Label,
  GroupBox,
  Panel,
  Bevel,
  Picture,
  Button,
  CheckBox,
  ComboBox,
  DropDownList,
  ColorBox,
  TrackBar,
  ToolBar,
};

// A control as made, with a view of it by its family where it has one.
struct Made {
  std::unique_ptr<Control> Native;
  HWND Hwnd = nullptr;
  Label* AsLabel = nullptr;
  CheckBox* AsCheckBox = nullptr;
  DropDownList* AsList = nullptr;
  ComboBox* AsComboBox = nullptr;
  TrackBar* AsTrackBar = nullptr;
  ToolBar* AsToolBar = nullptr;
  Picture* AsPicture = nullptr;
  Box* AsBox = nullptr;
};

std::string TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  ::GetWindowTextW(hwnd, text, 256);
  return Narrow(text);
}

// What a control told the program, with what it showed at that moment.
struct Events : LabelHandler, ClickHandler, ListHandler, TrackBarHandler, ToolBarHandler {
  std::vector<std::string> Calls;
  const Made* Of = nullptr;
  bool Throw = false;
  struct State {
    std::string Text;
    int Index;
    bool Checked;
    int Position;
  };
  static State StateOf(const Made& m) {
    return {TextOf(m.Hwnd), m.AsList ? m.AsList->ItemIndex() : -1,
            m.AsCheckBox && m.AsCheckBox->Checked(), m.AsTrackBar ? m.AsTrackBar->Position() : 0};
  }
  void Record(const std::string& call) {
    if (Of) Seen.push_back(StateOf(*Of));
    Calls.push_back(call);
    if (Throw) throw std::runtime_error("boom " + call);
  }
  std::vector<State> Seen;
  void HandleClick() override { Record("click"); }
  void HandleTextEdited() override { Record("edit"); }
  void HandleItemChosen() override { Record("chosen"); }
  void HandlePositionChanged() override { Record("position"); }
  void HandleButtonClick(int index) override { Record("button " + std::to_string(index)); }
  void HandleMouseEnter() override { Record("enter"); }
  void HandleMouseLeave() override { Record("leave"); }
};

ControlPlace Design(Kind kind, Rect bounds, Box* parent = nullptr) {
  return {parent, bounds, true, kind != Kind::Label && kind != Kind::GroupBox};
}

std::unique_ptr<Control> Create(Window& w, Kind kind, const ControlPlace& place, Events& events,
                                const std::string& text) {
  const ControlFont font;
  switch (kind) {
    case Kind::Label:
      return w.CreateLabel(place, text, font, events);
    case Kind::GroupBox:
      return w.CreateGroupBox(place, text, font);
    case Kind::Panel:
      return w.CreatePanel(place, kDefaultColor);
    case Kind::Bevel:
      return w.CreateBevel(place);
    case Kind::Picture:
      return w.CreatePicture(place);
    case Kind::Button:
      return w.CreateButton(place, text, font, false, events);
    case Kind::CheckBox:
      return w.CreateCheckBox(place, text, font, events);
    case Kind::ComboBox:
      return w.CreateComboBox(place, font, 8, events);
    case Kind::DropDownList:
      return w.CreateDropDownList(place, font, 8, events);
    case Kind::ColorBox:
      return w.CreateColorList(place, font, 8, events);
    case Kind::TrackBar:
      return w.CreateTrackBar(place, -50, 50, 16, events);
    case Kind::ToolBar:
      return w.CreateToolBar(place, events);
  }
  return nullptr;
}

Made Make(Window& window, Kind kind, const ControlPlace& place, Events& events,
          const std::string& text = {}) {
  Made m;
  m.Native = Create(window, kind, place, events, text);
  Control* c = m.Native.get();
  m.Hwnd = NativeHandle(*c);
  m.AsLabel = dynamic_cast<Label*>(c);
  m.AsCheckBox = dynamic_cast<CheckBox*>(c);
  m.AsList = dynamic_cast<DropDownList*>(c);
  m.AsComboBox = dynamic_cast<ComboBox*>(c);
  m.AsTrackBar = dynamic_cast<TrackBar*>(c);
  m.AsToolBar = dynamic_cast<ToolBar*>(c);
  m.AsPicture = dynamic_cast<Picture*>(c);
  m.AsBox = dynamic_cast<Box*>(c);
  return m;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Key(HWND hwnd, UINT key) {
  ::SendMessageW(hwnd, WM_KEYDOWN, key, 1);
  ::SendMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

void Click(HWND hwnd, POINT at) {
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

HWND EditOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ::GetComboBoxInfo(combo, &info);
  return info.hwndItem;
}

ToolButtonSpec Tool(bool check) {
  ToolButtonSpec b;
  b.Picture = MaskedImage(16, 16);
  b.Check = check;
  b.Hint = check ? "Ruler" : "Last";
  return b;
}

using Act = std::function<void(HWND)>;
using Change = std::function<void(Made&)>;
using Shows = std::function<bool(const Events::State&)>;
using Strings = std::vector<std::string>;

Act Keys(std::vector<UINT> keys, bool inEdit = false) {
  return [keys, inEdit](HWND h) {
    for (UINT k : keys) Key(inEdit ? EditOf(h) : h, k);
  };
}
void PressBmClick(HWND h) { ::SendMessageW(h, BM_CLICK, 0, 0); }
Change At(int i) {
  return [i](Made& c) { c.AsList->SetItemIndex(i); };
}
Change MoveTo(int p) {
  return [p](Made& c) { c.AsTrackBar->SetPosition(p); };
}
Change Say(std::string text, Change then = nullptr) {
  return [text, then](Made& c) {
    if (c.AsComboBox) c.AsComboBox->SetText(text);
    if (c.AsLabel) c.AsLabel->SetText(text);
    if (then) then(c);
  };
}
Shows Item(int i, std::optional<std::string> text = std::nullopt) {
  return [i, text](const Events::State& s) { return s.Index == i && (!text || s.Text == *text); };
}
Shows Saying(std::string text) {
  return [text](const Events::State& s) { return s.Text == text; };
}
Shows Position(int p) {
  return [p](const Events::State& s) { return s.Position == p; };
}
const Shows kChecked = [](const Events::State& s) { return s.Checked; };

bool ToolChecked(HWND bar, int id) {
  return (::SendMessageW(bar, TB_GETSTATE, static_cast<WPARAM>(id), 0) & TBSTATE_CHECKED) != 0;
}

}  // namespace

void TestControls(Win32Platform& platform, std::vector<std::string>& errors,
                  const CheckFn& checkAt) {
  auto check = [&checkAt](bool ok, std::string_view what,
                          std::source_location at = std::source_location::current()) {
    checkAt(ok, what, at);
  };
  struct NoWindowEvents : WindowHandler {
  } windowEvents;
  auto window =
      platform.CreateTopLevel({WindowKind::Dialog, "Controls", {40, 40, 420, 320}}, windowEvents);
  window->SetVisible(true);
  // Every list gets the same items, every tool bar the same buttons.
  auto make = [&window](Kind kind, Events& events) {
    Made made = Make(*window, kind, Design(kind, {10, 10, 200, 24}), events);
    if (made.AsList) made.AsList->SetItems({"640", "800", "1024"});
    if (made.AsToolBar) made.AsToolBar->SetButtons({Tool(true), Tool(false)});
    events.Of = nullptr;
    return made;
  };
  auto state = [](const Made& c) { return Events::StateOf(c); };

  // ---- the program's own changes fire nothing, and the control shows them
  struct ProgramCase {
    const char* What;
    Kind Type;
    Change Do;
    Shows Then;
  };
  const ProgramCase programCases[] = {
      {"SetChecked", Kind::CheckBox, [](Made& c) { c.AsCheckBox->SetChecked(true); }, kChecked},
      {"SetPosition", Kind::TrackBar, MoveTo(-20), Position(-20)},
      {"SetPosition beyond the range", Kind::TrackBar, MoveTo(99), Position(50)},
      {"SetText", Kind::ComboBox, Say("1280"), Saying("1280")},
      {"SetItemIndex", Kind::ComboBox, At(2), Item(2, "1024")},
      {"SetItemIndex -1 keeps the text", Kind::ComboBox, Say("77", At(-1)), Item(-1, "77")},
      {"SetItems keeps the text", Kind::ComboBox,
       Say("5",
           [](Made& c) {
             c.AsList->SetItems({"5", "6"});
           }),
       Saying("5")},
      {"SetItemIndex of a list", Kind::DropDownList, At(1), Item(1, "800")},
      {"SetItemIndex -1 of a list", Kind::DropDownList,
       [](Made& c) { c.AsList->SetItemIndex(1), c.AsList->SetItemIndex(-1); }, Item(-1, "")},
      {"SetItemIndex of a colour list", Kind::ColorBox, At(0), Item(0)},
  };
  for (const ProgramCase& c : programCases) {
    Events events;
    Made made = make(c.Type, events);
    c.Do(made);
    PumpMessages();
    check(events.Calls.empty() && c.Then(state(made)), c.What);
  }

  // ---- each user action comes back once, with the control already showing it
  struct UserCase {
    const char* What;
    Kind Type;
    Change Prepare;
    Act Do;
    const char* Calls;  // "first;second", none ""
    Shows Then = nullptr;
  };
  const Act type7 = [](HWND h) { ::SendMessageW(EditOf(h), WM_CHAR, L'7', 1); };
  const Act clickLabel = [](HWND h) { Click(h, {2, 2}); };
  const Act clickSecondTool = [](HWND h) {
    RECT r{};
    ::SendMessageW(h, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    Click(h, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  // The dialog keys must leave the arrows to the bar.
  const Act arrowAndSpace = [](HWND h) {
    if (::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS) Keys({VK_DOWN, VK_SPACE})(h);
  };
  const Act overAndAway = [](HWND h) {
    ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
    ::SendMessageW(h, WM_MOUSELEAVE, 0, 0);
  };
  const UserCase userCases[] = {
      {"a click checks a check box", Kind::CheckBox, nullptr, PressBmClick, "click", kChecked},
      {"a click on a button", Kind::Button, nullptr, PressBmClick, "click"},
      {"an arrow key moves a track bar", Kind::TrackBar, MoveTo(10), Keys({VK_RIGHT}), "position",
       Position(11)},
      {"an arrow key at the end moves nothing", Kind::TrackBar, MoveTo(50), Keys({VK_RIGHT}), ""},
      {"typing edits the text", Kind::ComboBox, Say(""), type7, "edit", Saying("7")},
      {"an arrow key chooses the next item", Kind::DropDownList, At(0), Keys({VK_DOWN}), "chosen",
       Item(1, "800")},
      {"a chosen item is in the edit field first", Kind::ComboBox, At(0), Keys({VK_DOWN}, true),
       "chosen", Item(1, "800")},
      {"the chosen item again from the dropped list", Kind::ColorBox, At(0),
       Keys({VK_F4, VK_RETURN}), "chosen", Item(0)},
      {"a list dropped and closed with Esc chooses nothing", Kind::DropDownList, At(0),
       Keys({VK_F4, VK_DOWN, VK_ESCAPE}), ""},
      {"a click on a tool button", Kind::ToolBar, nullptr, clickSecondTool, "button 1"},
      {"an arrow and Space on the tool bar press the next button", Kind::ToolBar, nullptr,
       arrowAndSpace, "button 1"},
      {"a click on a label", Kind::Label, Say("mail"), clickLabel, "click"},
      {"the pointer over a label and away", Kind::Label, Say("mail"), overAndAway, "enter;leave"},
  };
  for (const UserCase& c : userCases) {
    Events events;
    Made made = make(c.Type, events);
    if (c.Prepare) c.Prepare(made);
    events.Of = &made;
    ::SetFocus(made.Hwnd);
    PumpMessages();
    events.Calls.clear();
    events.Seen.clear();
    c.Do(made.Hwnd);
    PumpMessages();
    std::string calls;
    for (const std::string& call : events.Calls) calls += (calls.empty() ? "" : ";") + call;
    check(calls == c.Calls && (!c.Then || (!events.Seen.empty() && c.Then(events.Seen[0]))),
          c.What);
  }

  // A track bar's thumb follows the density it is given, quietly.
  {
    Events events;
    Made bar = make(Kind::TrackBar, events);
    const auto thumb = [&bar] {
      return static_cast<int>(::SendMessageW(bar.Hwnd, TBM_GETTHUMBLENGTH, 0, 0));
    };
    const int designed = thumb();
    bar.AsTrackBar->SetThumbLength(24);
    PumpMessages();
    check(designed == 16 && thumb() == 24 && events.Calls.empty(), "SetThumbLength");
  }

  // A tool bar's buttons pressed by the program fire nothing; a check button
  // pressed with the keys has turned over too; an error in a handler is shown and stays out of the
  // system's frames.
  {
    Events events;
    Made bar = make(Kind::ToolBar, events);
    bar.AsToolBar->SetButtonDown(0, true), bar.AsToolBar->SetButtonDown(1, true);
    PumpMessages();
    check(events.Calls.empty() && ToolChecked(bar.Hwnd, 100) && ToolChecked(bar.Hwnd, 101),
          "SetButtonDown");
    bar.AsToolBar->SetButtonDown(0, false);
    ::SendMessageW(static_cast<Win32Window&>(*window).Hwnd(), WM_COMMAND,
                   MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(bar.Hwnd));
    check(events.Calls == Strings{"button 0"} && ToolChecked(bar.Hwnd, 100),
          "a tool check button turns over however it is pressed");
    Events failing;
    failing.Throw = true;
    Made box = make(Kind::CheckBox, failing);
    errors.clear();
    PressBmClick(box.Hwnd);
    check(errors == Strings{"boom click"}, "a handler's error is shown");
    errors.clear();
  }

  // ---- a group box passes its controls' news on and hides them with itself
  {
    Events events;
    Made group = Make(*window, Kind::GroupBox, Design(Kind::GroupBox, {10, 10, 150, 100}), events);
    Made inside = Make(*window, Kind::CheckBox,
                       Design(Kind::CheckBox, {8, 20, 100, 20}, group.AsBox), events);
    PressBmClick(inside.Hwnd);
    check(events.Calls == Strings{"click"}, "a box passes its controls' news on");
    group.Native->SetVisible(false);
    check(!::IsWindowVisible(inside.Hwnd), "a hidden group box hides its controls");
    group.Native->SetVisible(true);
    check(::IsWindowVisible(inside.Hwnd), "and shows them again");
  }
  // ---- a dialog hears that it lost the activation while its control still
  // has the keyboard, and that it has it back once the system has given the
  // keyboard to the window itself
  {
    struct Activations : WindowHandler {
      std::vector<std::pair<bool, HWND>> Heard;
      void HandleActivate(bool active) override { Heard.push_back({active, ::GetFocus()}); }
    } activations;
    auto dialog =
        platform.CreateTopLevel({WindowKind::Dialog, "Keys", {60, 60, 300, 200}}, activations);
    const HWND dh = static_cast<Win32Window&>(*dialog).Hwnd();
    Events events;
    Made box = Make(*dialog, Kind::CheckBox, Design(Kind::CheckBox, {10, 10, 100, 20}), events);
    dialog->SetVisible(true);
    dialog->Raise();
    PumpMessages();
    box.Native->Focus();
    activations.Heard.clear();
    window->Raise();  // another window of the program takes the activation
    PumpMessages();
    dialog->Raise();  // and gives it back, as a click on the caption does
    PumpMessages();
    check(activations.Heard == std::vector<std::pair<bool, HWND>>{{false, box.Hwnd}, {true, dh}},
          "activation lost with the control focused, regained with the window focused");
  }
  {
    // A label sized by its text follows a new text.
    Events events;
    Made label = Make(*window, Kind::Label, Design(Kind::Label, {10, 10, 0, 0}), events,
                      "support@vantori.example");
    RECT r{};
    ::GetClientRect(label.Hwnd, &r);
    const LONG width = r.right;
    label.AsLabel->SetText("a");
    ::GetClientRect(label.Hwnd, &r);
    check(width > 40 && r.right > 0 && r.right < width / 4 && r.bottom >= 11,
          "a label takes the size of its text");
  }

  // ---- nothing is left behind
  {
    const long before = LiveHandles();
    const DWORD userBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    Events events;
    Made label = make(Kind::Label, events);
    const long withLabel = LiveHandles();
    for (int i = 0; i < 500; ++i) {
      ControlFont f;
      f.Underline = i % 2 == 0;
      label.AsLabel->SetFont(f);
    }
    check(LiveHandles() == withLabel, "changing a font back and forth keeps one font");
    label.Native.reset();
    for (int round = 0; round < 50; ++round) {
      std::vector<Made> all;
      for (Kind kind : {Kind::Panel, Kind::Picture, Kind::Bevel, Kind::Label, Kind::Button,
                        Kind::CheckBox, Kind::GroupBox, Kind::ComboBox, Kind::DropDownList,
                        Kind::ColorBox, Kind::TrackBar, Kind::ToolBar}) {
        all.push_back(make(kind, events));
        if (all.back().AsPicture) all.back().AsPicture->SetPicture(MaskedImage(32, 32));
      }
    }
    check(LiveHandles() == before, "controls made and destroyed leave no handle");
    check(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS) <= userBefore + 2,
          "nor a window of the system's");
  }
}

}  // namespace vr::win32::tests
