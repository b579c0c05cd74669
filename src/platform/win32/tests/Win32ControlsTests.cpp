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
#include "platform/win32/Win32Window.h"

namespace vr::win32::tests {

using CheckFn = std::function<void(bool, std::string_view, std::source_location)>;

namespace {

// What a control told the program, with what it showed at that moment.
struct Events : ControlHandler {
  std::vector<std::string> Calls;
  Control* Of = nullptr;
  bool Throw = false;
  void Record(const std::string& call) {
    if (Of) Seen.push_back({Of->Text(), Of->ItemIndex(), Of->Checked(), Of->Position()});
    Calls.push_back(call);
    if (Throw) throw std::runtime_error("boom " + call);
  }
  struct State {
    std::string Text;
    int Index;
    bool Checked;
    int Position;
  };
  std::vector<State> Seen;
  void HandleClick() override { Record("click"); }
  void HandleTextEdited() override { Record("edit"); }
  void HandleItemChosen() override { Record("chosen"); }
  void HandlePositionChanged() override { Record("position"); }
  void HandleButtonClick(int index) override { Record("button " + std::to_string(index)); }
  void HandleMouseEnter() override { Record("enter"); }
  void HandleMouseLeave() override { Record("leave"); }
};

struct Made {
  std::unique_ptr<Control> Native;
  HWND Hwnd;
};

ControlParams Design(ControlKind kind, Rect bounds, Control* parent = nullptr) {
  ControlParams p;
  p.Kind = kind;
  p.Bounds = bounds;
  p.Parent = parent;
  p.TabStop = kind != ControlKind::Label && kind != ControlKind::GroupBox;
  return p;
}

Made Make(Window& window, const ControlParams& params, Events& events) {
  auto native = window.CreateControl(params, events);
  events.Of = native.get();
  const HWND hwnd = NativeHandle(*native);
  return {std::move(native), hwnd};
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
using Change = std::function<void(Control&)>;
using Shows = std::function<bool(const Events::State&)>;
using Strings = std::vector<std::string>;

Act Keys(std::vector<UINT> keys, bool inEdit = false) {
  return [keys, inEdit](HWND h) {
    for (UINT k : keys) Key(inEdit ? EditOf(h) : h, k);
  };
}
void PressBmClick(HWND h) { ::SendMessageW(h, BM_CLICK, 0, 0); }
Change At(int i) {
  return [i](Control& c) { c.SetItemIndex(i); };
}
Change MoveTo(int p) {
  return [p](Control& c) { c.SetPosition(p); };
}
Change Say(std::string text, Change then = nullptr) {
  return [text, then](Control& c) {
    c.SetText(text);
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
  // Every kind gets the same range, items and buttons; each uses what it has.
  auto make = [&window](ControlKind kind, Events& events) {
    ControlParams p = Design(kind, {10, 10, 200, 24});
    p.Min = -50;
    p.Max = 50;
    Made made = Make(*window, p, events);
    made.Native->SetItems({"640", "800", "1024"});
    made.Native->SetButtons({Tool(true), Tool(false)});
    return made;
  };
  auto state = [](const Control& c) {
    return Events::State{c.Text(), c.ItemIndex(), c.Checked(), c.Position()};
  };

  // ---- the program's own changes fire nothing, and the control shows them
  struct ProgramCase {
    const char* What;
    ControlKind Kind;
    Change Do;
    Shows Then;
  };
  const ProgramCase programCases[] = {
      {"SetChecked", ControlKind::CheckBox, [](Control& c) { c.SetChecked(true); }, kChecked},
      {"SetPosition", ControlKind::TrackBar, MoveTo(-20), Position(-20)},
      {"SetPosition beyond the range", ControlKind::TrackBar, MoveTo(99), Position(50)},
      {"SetText", ControlKind::ComboBox, Say("1280"), Saying("1280")},
      {"SetItemIndex", ControlKind::ComboBox, At(2), Item(2, "1024")},
      {"SetItemIndex -1 keeps the text", ControlKind::ComboBox, Say("77", At(-1)), Item(-1, "77")},
      {"SetItems keeps the text", ControlKind::ComboBox,
       Say("5",
           [](Control& c) {
             c.SetItems({"5", "6"});
           }),
       Saying("5")},
      {"SetItemIndex of a list", ControlKind::DropDownList, At(1), Item(1, "800")},
      {"SetItemIndex -1 of a list", ControlKind::DropDownList,
       [](Control& c) { c.SetItemIndex(1), c.SetItemIndex(-1); }, Item(-1, "")},
      {"SetItemIndex of a colour list", ControlKind::ColorBox, At(0), Item(0)},
  };
  for (const ProgramCase& c : programCases) {
    Events events;
    Made made = make(c.Kind, events);
    c.Do(*made.Native);
    PumpMessages();
    check(events.Calls.empty() && c.Then(state(*made.Native)), c.What);
  }

  // ---- each user action comes back once, with the control already showing it
  struct UserCase {
    const char* What;
    ControlKind Kind;
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
      {"a click checks a check box", ControlKind::CheckBox, nullptr, PressBmClick, "click",
       kChecked},
      {"a click on a button", ControlKind::Button, nullptr, PressBmClick, "click"},
      {"an arrow key moves a track bar", ControlKind::TrackBar, MoveTo(10), Keys({VK_RIGHT}),
       "position", Position(11)},
      {"an arrow key at the end moves nothing", ControlKind::TrackBar, MoveTo(50), Keys({VK_RIGHT}),
       ""},
      {"typing edits the text", ControlKind::ComboBox, Say(""), type7, "edit", Saying("7")},
      {"an arrow key chooses the next item", ControlKind::DropDownList, At(0), Keys({VK_DOWN}),
       "chosen", Item(1, "800")},
      {"a chosen item is in the edit field first", ControlKind::ComboBox, At(0),
       Keys({VK_DOWN}, true), "chosen", Item(1, "800")},
      {"the chosen item again from the dropped list", ControlKind::ColorBox, At(0),
       Keys({VK_F4, VK_RETURN}), "chosen", Item(0)},
      {"a list dropped and closed with Esc chooses nothing", ControlKind::DropDownList, At(0),
       Keys({VK_F4, VK_DOWN, VK_ESCAPE}), ""},
      {"a click on a tool button", ControlKind::ToolBar, nullptr, clickSecondTool, "button 1"},
      {"an arrow and Space on the tool bar press the next button", ControlKind::ToolBar, nullptr,
       arrowAndSpace, "button 1"},
      {"a click on a label", ControlKind::Label, Say("mail"), clickLabel, "click"},
      {"the pointer over a label and away", ControlKind::Label, Say("mail"), overAndAway,
       "enter;leave"},
  };
  for (const UserCase& c : userCases) {
    Events events;
    Made made = make(c.Kind, events);
    if (c.Prepare) c.Prepare(*made.Native);
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
    Made bar = make(ControlKind::TrackBar, events);
    const auto thumb = [&bar] {
      return static_cast<int>(::SendMessageW(bar.Hwnd, TBM_GETTHUMBLENGTH, 0, 0));
    };
    const int designed = thumb();
    bar.Native->SetThumbLength(24);
    PumpMessages();
    check(designed == 16 && thumb() == 24 && events.Calls.empty(), "SetThumbLength");
  }

  // A tool bar's buttons pressed by the program fire nothing; a check button
  // pressed with the keys has turned over too; an error in a handler is shown and stays out of the
  // system's frames.
  {
    Events events;
    Made bar = make(ControlKind::ToolBar, events);
    bar.Native->SetButtonDown(0, true), bar.Native->SetButtonDown(1, true);
    PumpMessages();
    check(events.Calls.empty() && ToolChecked(bar.Hwnd, 100) && ToolChecked(bar.Hwnd, 101),
          "SetButtonDown");
    bar.Native->SetButtonDown(0, false);
    ::SendMessageW(static_cast<Win32Window&>(*window).Hwnd(), WM_COMMAND,
                   MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(bar.Hwnd));
    check(events.Calls == Strings{"button 0"} && ToolChecked(bar.Hwnd, 100),
          "a tool check button turns over however it is pressed");
    Events failing;
    failing.Throw = true;
    Made box = make(ControlKind::CheckBox, failing);
    errors.clear();
    PressBmClick(box.Hwnd);
    check(errors == Strings{"boom click"}, "a handler's error is shown");
    errors.clear();
  }

  // ---- a group box passes its controls' news on and hides them with itself
  {
    Events events;
    Made group = Make(*window, Design(ControlKind::GroupBox, {10, 10, 150, 100}), events);
    Made inside =
        Make(*window, Design(ControlKind::CheckBox, {8, 20, 100, 20}, group.Native.get()), events);
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
    Made box = Make(*dialog, Design(ControlKind::CheckBox, {10, 10, 100, 20}), events);
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
    ControlParams design = Design(ControlKind::Label, {10, 10, 0, 0});
    design.AutoSize = true;
    design.Text = "support@vantori.example";
    Made label = Make(*window, design, events);
    RECT r{};
    ::GetClientRect(label.Hwnd, &r);
    const LONG width = r.right;
    label.Native->SetText("a");
    ::GetClientRect(label.Hwnd, &r);
    check(width > 40 && r.right > 0 && r.right < width / 4 && r.bottom >= 11,
          "a label takes the size of its text");
  }

  // ---- nothing is left behind
  {
    const long before = LiveHandles();
    const DWORD userBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    Events events;
    Made label = make(ControlKind::Label, events);
    const long withLabel = LiveHandles();
    for (int i = 0; i < 500; ++i) {
      ControlFont f;
      f.Underline = i % 2 == 0;
      label.Native->SetFont(f);
    }
    check(LiveHandles() == withLabel, "changing a font back and forth keeps one font");
    label.Native.reset();
    for (int round = 0; round < 50; ++round) {
      std::vector<Made> all;
      for (ControlKind kind :
           {ControlKind::Panel, ControlKind::Picture, ControlKind::Bevel, ControlKind::Label,
            ControlKind::Button, ControlKind::GroupBox, ControlKind::ColorBox,
            ControlKind::TrackBar, ControlKind::ToolBar}) {
        all.push_back(make(kind, events));
        all.back().Native->SetPicture(MaskedImage(32, 32));
      }
    }
    check(LiveHandles() == before, "controls made and destroyed leave no handle");
    check(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS) <= userBefore + 2,
          "nor a window of the system's");
  }
}

}  // namespace vr::win32::tests
