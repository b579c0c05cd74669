// Checks of the native controls: the program's own changes never come back as
// events, each user action comes back once, boxes hold their controls, and
// nothing is left behind.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
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
  const HWND dialog = static_cast<Win32Window&>(*window).Hwnd();
  window->SetVisible(true);

  const std::vector<std::string> items{"640", "800", "1024"};

  // ---- the program's own changes fire nothing, and the control shows them
  struct ProgramCase {
    const char* what;
    ControlKind kind;
    std::function<void(Control&)> change;
    std::function<bool(Control&)> shows;
  };
  const ProgramCase programCases[] = {
      {"SetChecked", ControlKind::CheckBox, [](Control& c) { c.SetChecked(true); },
       [](Control& c) { return c.Checked(); }},
      {"SetPosition", ControlKind::TrackBar, [](Control& c) { c.SetPosition(-20); },
       [](Control& c) { return c.Position() == -20; }},
      {"SetPosition beyond the range", ControlKind::TrackBar, [](Control& c) { c.SetPosition(99); },
       [](Control& c) { return c.Position() == 50; }},
      {"SetText", ControlKind::ComboBox, [](Control& c) { c.SetText("1280"); },
       [](Control& c) { return c.Text() == "1280"; }},
      {"SetItemIndex", ControlKind::ComboBox, [](Control& c) { c.SetItemIndex(2); },
       [](Control& c) { return c.ItemIndex() == 2 && c.Text() == "1024"; }},
      {"SetItemIndex -1 keeps the text", ControlKind::ComboBox,
       [](Control& c) {
         c.SetText("77");
         c.SetItemIndex(-1);
       },
       [](Control& c) { return c.ItemIndex() == -1 && c.Text() == "77"; }},
      {"SetItems keeps the text", ControlKind::ComboBox,
       [](Control& c) {
         c.SetText("5");
         c.SetItems({"5", "6"});
       },
       [](Control& c) { return c.Text() == "5"; }},
      {"SetItemIndex of a list", ControlKind::DropDownList, [](Control& c) { c.SetItemIndex(1); },
       [](Control& c) { return c.ItemIndex() == 1 && c.Text() == "800"; }},
      {"SetItemIndex -1 of a list", ControlKind::DropDownList,
       [](Control& c) {
         c.SetItemIndex(1);
         c.SetItemIndex(-1);
       },
       [](Control& c) { return c.ItemIndex() == -1 && c.Text().empty(); }},
      {"SetItemIndex of a colour list", ControlKind::ColorBox,
       [](Control& c) { c.SetItemIndex(0); }, [](Control& c) { return c.ItemIndex() == 0; }},
      {"SetButtonDown", ControlKind::ToolBar,
       [](Control& c) {
         c.SetButtonDown(0, true);
         c.SetButtonDown(1, true);
       },
       [](Control& c) {
         const HWND bar = NativeHandle(c);
         return (::SendMessageW(bar, TB_GETSTATE, 100, 0) & TBSTATE_CHECKED) &&
                (::SendMessageW(bar, TB_GETSTATE, 101, 0) & TBSTATE_CHECKED);
       }},
  };
  for (const ProgramCase& c : programCases) {
    Events events;
    ControlParams p = Design(c.kind, {10, 10, 200, 24});
    p.Min = -50;
    p.Max = 50;
    Made made = Make(*window, p, events);
    made.Native->SetItems(items);
    made.Native->SetButtons({Tool(true), Tool(false)});
    c.change(*made.Native);
    PumpMessages();
    check(events.Calls.empty() && c.shows(*made.Native), c.what);
  }

  // ---- each user action comes back once, with the control already showing it
  struct UserCase {
    const char* what;
    ControlKind kind;
    std::function<void(Control&)> prepare;
    std::function<void(HWND)> act;
    std::vector<std::string> calls;
    std::function<bool(const Events::State&)> seen;
  };
  const UserCase userCases[] = {
      {"a click checks a check box",
       ControlKind::CheckBox,
       {},
       [](HWND h) { ::SendMessageW(h, BM_CLICK, 0, 0); },
       {"click"},
       [](const Events::State& s) { return s.Checked; }},
      {"a click on a button",
       ControlKind::Button,
       {},
       [](HWND h) { ::SendMessageW(h, BM_CLICK, 0, 0); },
       {"click"},
       [](const Events::State&) { return true; }},
      {"an arrow key moves a track bar",
       ControlKind::TrackBar,
       [](Control& c) { c.SetPosition(10); },
       [](HWND h) { Key(h, VK_RIGHT); },
       {"position"},
       [](const Events::State& s) { return s.Position == 11; }},
      {"an arrow key at the end moves nothing",
       ControlKind::TrackBar,
       [](Control& c) { c.SetPosition(50); },
       [](HWND h) { Key(h, VK_RIGHT); },
       {},
       {}},
      {"typing edits the text",
       ControlKind::ComboBox,
       [](Control& c) { c.SetText(""); },
       [](HWND h) { ::SendMessageW(EditOf(h), WM_CHAR, L'7', 1); },
       {"edit"},
       [](const Events::State& s) { return s.Text == "7"; }},
      {"an arrow key chooses the next item",
       ControlKind::DropDownList,
       [](Control& c) { c.SetItemIndex(0); },
       [](HWND h) { Key(h, VK_DOWN); },
       {"chosen"},
       [](const Events::State& s) { return s.Index == 1 && s.Text == "800"; }},
      {"a chosen item is in the edit field first",
       ControlKind::ComboBox,
       [](Control& c) { c.SetItemIndex(0); },
       [](HWND h) { Key(EditOf(h), VK_DOWN); },
       {"chosen"},
       [](const Events::State& s) { return s.Index == 1 && s.Text == "800"; }},
      {"the chosen item again from the dropped list",
       ControlKind::ColorBox,
       [](Control& c) { c.SetItemIndex(0); },
       [](HWND h) {
         Key(h, VK_F4);
         Key(h, VK_RETURN);
       },
       {"chosen"},
       [](const Events::State& s) { return s.Index == 0; }},
      {"a list dropped and closed with Esc chooses nothing",
       ControlKind::DropDownList,
       [](Control& c) { c.SetItemIndex(0); },
       [](HWND h) {
         Key(h, VK_F4);
         Key(h, VK_DOWN);
         Key(h, VK_ESCAPE);
       },
       {},
       {}},
      {"a click on a tool button",
       ControlKind::ToolBar,
       {},
       [](HWND h) {
         RECT r{};
         ::SendMessageW(h, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
         Click(h, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
       },
       {"button 1"},
       [](const Events::State&) { return true; }},
      {"an arrow and Space on the tool bar press the next button",
       ControlKind::ToolBar,
       {},
       [](HWND h) {
         // The dialog keys must leave the arrows to the bar.
         if (!(::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS)) return;
         Key(h, VK_DOWN);
         Key(h, VK_SPACE);
       },
       {"button 1"},
       [](const Events::State&) { return true; }},
      {"a click on a label",
       ControlKind::Label,
       [](Control& c) { c.SetText("mail"); },
       [](HWND h) {
         Click(h, {2, 2});
       },
       {"click"},
       [](const Events::State&) { return true; }},
      {"the pointer over a label and away",
       ControlKind::Label,
       [](Control& c) { c.SetText("mail"); },
       [](HWND h) {
         ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
         ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
         ::SendMessageW(h, WM_MOUSELEAVE, 0, 0);
       },
       {"enter", "leave"},
       [](const Events::State&) { return true; }},
  };
  for (const UserCase& c : userCases) {
    Events events;
    ControlParams p = Design(c.kind, {10, 10, 200, 24});
    p.Min = -50;
    p.Max = 50;
    Made made = Make(*window, p, events);
    made.Native->SetItems(items);
    made.Native->SetButtons({Tool(true), Tool(false)});
    if (c.prepare) c.prepare(*made.Native);
    ::SetFocus(made.Hwnd);
    PumpMessages();
    events.Calls.clear();
    events.Seen.clear();
    c.act(made.Hwnd);
    PumpMessages();
    check(events.Calls == c.calls && (!c.seen || (!events.Seen.empty() && c.seen(events.Seen[0]))),
          c.what);
  }

  // A check button of the tool bar pressed with the keys has turned over too.
  {
    Events events;
    Made bar = Make(*window, Design(ControlKind::ToolBar, {0, 0, 31, 200}), events);
    bar.Native->SetButtons({Tool(true), Tool(false)});
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED),
                   reinterpret_cast<LPARAM>(bar.Hwnd));
    check(events.Calls == std::vector<std::string>{"button 0"} &&
              (::SendMessageW(bar.Hwnd, TB_GETSTATE, 100, 0) & TBSTATE_CHECKED),
          "a tool check button turns over however it is pressed");
  }

  // An error in a handler is shown and stays out of the system's frames.
  {
    Events events;
    events.Throw = true;
    Made box = Make(*window, Design(ControlKind::CheckBox, {10, 10, 100, 20}), events);
    errors.clear();
    ::SendMessageW(box.Hwnd, BM_CLICK, 0, 0);
    check(errors == std::vector<std::string>{"boom click"}, "a handler's error is shown");
    errors.clear();
  }

  // ---- boxes hold their controls
  {
    Events events;
    Made group = Make(*window, Design(ControlKind::GroupBox, {10, 10, 150, 100}), events);
    Made inside =
        Make(*window, Design(ControlKind::CheckBox, {8, 20, 100, 20}, group.Native.get()), events);
    Made after = Make(*window, Design(ControlKind::Button, {200, 10, 75, 25}), events);
    check(::GetParent(inside.Hwnd) == group.Hwnd &&
              (::GetWindowLongPtrW(group.Hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT),
          "a group box is the parent of its controls, and Tab goes into it");
    check(::GetNextDlgTabItem(dialog, inside.Hwnd, FALSE) == after.Hwnd,
          "the tab order is the order of creation");
    ::SendMessageW(inside.Hwnd, BM_CLICK, 0, 0);
    check(events.Calls == std::vector<std::string>{"click"}, "a box passes its controls' news on");
    group.Native->SetVisible(false);
    check(!::IsWindowVisible(inside.Hwnd), "a hidden group box hides its controls");
    group.Native->SetVisible(true);
    check(::IsWindowVisible(inside.Hwnd), "and shows them again");
  }
  {
    // A label over a white panel shows white behind its text.
    Events events;
    ControlParams panelDesign = Design(ControlKind::Panel, {0, 0, 300, 80});
    panelDesign.Background = 0xFFFFFF;
    Made panel = Make(*window, panelDesign, events);
    ControlParams labelDesign = Design(ControlKind::Label, {10, 10, 0, 0}, panel.Native.get());
    labelDesign.Transparent = true;
    labelDesign.AutoSize = true;
    labelDesign.Font.Color = 0xFF0000;
    labelDesign.Text = "support@vantori.example";
    Made label = Make(*window, labelDesign, events);
    MemoryDcHandle dc(::CreateCompatibleDC(nullptr));
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(panel.Hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                       reinterpret_cast<LPARAM>(label.Hwnd)));
    LOGBRUSH logBrush{};
    ::GetObjectW(brush, sizeof logBrush, &logBrush);
    check(logBrush.lbColor == 0xFFFFFF && ::GetTextColor(dc.get()) == 0xFF0000,
          "a label on a white panel: white behind, its own colour in front");
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
    ControlParams labelDesign = Design(ControlKind::Label, {10, 10, 0, 0});
    labelDesign.AutoSize = true;
    labelDesign.Text = "support@vantori.example";
    Made label = Make(*window, labelDesign, events);
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
        all.push_back(Make(*window, Design(kind, {10, 10, 100, 24}), events));
        all.back().Native->SetPicture(MaskedImage(32, 32));
        all.back().Native->SetButtons({Tool(true), Tool(false)});
      }
    }
    check(LiveHandles() == before, "controls made and destroyed leave no handle");
    check(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS) <= userBefore + 2,
          "nor a window of the system's");
  }
}

}  // namespace vr::win32::tests
