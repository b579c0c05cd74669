// The native controls by family: the program's own changes never come back as
// events, each user action comes back as it happens, with its data and the
// control already showing it, boxes hold their controls, and nothing is left
// behind.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32::test {
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
  Edit,
  HotkeyBox,
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
  Button* AsButton = nullptr;
  Edit* AsEdit = nullptr;
  HotkeyBox* AsHotkeyBox = nullptr;
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
struct Events : LabelHandler,
                ClickHandler,
                CheckHandler,
                EditHandler,
                HotkeyBoxHandler,
                ListHandler,
                TrackBarHandler,
                ToolBarHandler {
  std::vector<std::string> Calls;
  const Made* Of = nullptr;
  bool Throw = false;
  struct State {
    std::string Text;
    int Index;
    bool Checked;
    int Position;
    bool Enabled;
    WORD Hotkey;
  };
  // As the system shows it, asked of the control itself.
  static State StateOf(const Made& m) {
    const auto ask = [&m](UINT msg) { return ::SendMessageW(m.Hwnd, msg, 0, 0); };
    const LRESULT index = m.AsList ? ask(CB_GETCURSEL) : CB_ERR;
    return {TextOf(m.Hwnd),
            index == CB_ERR ? -1 : static_cast<int>(index),
            m.AsCheckBox && ask(BM_GETCHECK) == BST_CHECKED,
            m.AsTrackBar ? static_cast<int>(ask(TBM_GETPOS)) : 0,
            ::IsWindowEnabled(m.Hwnd) != FALSE,
            m.AsHotkeyBox ? static_cast<WORD>(ask(HKM_GETHOTKEY)) : WORD{0}};
  }
  void Record(const std::string& call) {
    if (Of) Seen.push_back(StateOf(*Of));
    Calls.push_back(call);
    if (Throw) throw std::runtime_error("boom " + call);
  }
  std::vector<State> Seen;
  void HandleClick() override { Record("click"); }
  void HandleToggled(bool checked) override { Record(checked ? "checked" : "unchecked"); }
  // A text box's and an editable list's alike.
  void HandleTextEdited(const std::string& text) override { Record("edit " + text); }
  void HandleSelectionChanged(int index, bool dropped) override {
    Record("selected " + std::to_string(index) + (dropped ? " dropped" : " closed"));
  }
  void HandleListClosed(bool taken, int index) override {
    Record((taken ? "taken " : "cancelled ") + std::to_string(index));
  }
  void HandlePositionChanged(int position) override {
    Record("position " + std::to_string(position));
  }
  void HandleButtonClick(int index) override { Record("button " + std::to_string(index)); }
  void HandleChordChanged(KeyChord chord) override {
    Record("chord " + std::to_string(chord.Key) + " " + std::to_string(chord.Modifiers));
  }
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
    case Kind::Edit:
      return w.CreateEdit(place, font, events);
    case Kind::HotkeyBox:
      return w.CreateHotkeyBox(place, font, events);
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
  m.AsButton = dynamic_cast<Button*>(c);
  m.AsEdit = dynamic_cast<Edit*>(c);
  m.AsHotkeyBox = dynamic_cast<HotkeyBox*>(c);
  m.AsList = dynamic_cast<DropDownList*>(c);
  m.AsComboBox = dynamic_cast<ComboBox*>(c);
  m.AsTrackBar = dynamic_cast<TrackBar*>(c);
  m.AsToolBar = dynamic_cast<ToolBar*>(c);
  m.AsPicture = dynamic_cast<Picture*>(c);
  m.AsBox = dynamic_cast<Box*>(c);
  return m;
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

bool ToolChecked(HWND bar, int id) {
  return (::SendMessageW(bar, TB_GETSTATE, static_cast<WPARAM>(id), 0) & TBSTATE_CHECKED) != 0;
}

// "SetItemIndex -1 of a list" as a test name: SetItemIndex1OfAList.
std::string CaseName(const char* what) {
  std::string name;
  bool upper = true;
  for (const char* p = what; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (std::isalnum(c)) {
      name += upper ? static_cast<char>(std::toupper(c)) : static_cast<char>(c);
      upper = false;
    } else {
      upper = true;
    }
  }
  return name;
}

// A dialog window to hold the controls of one check.
class Win32Controls : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    Window_ = Os().CreateTopLevel({WindowKind::Dialog, "Controls", {40, 40, 420, 320}}, Nothing_);
    Window_->SetVisible(true);
  }
  void TearDown() override {
    Window_.reset();
    Win32Test::TearDown();
  }
  // Every list gets the same items, every tool bar the same buttons.
  Made MakeIn(Kind kind, Events& events) {
    Made made = Make(*Window_, kind, Design(kind, {10, 10, 200, 24}), events);
    if (made.AsList) made.AsList->SetItems({"640", "800", "1024"});
    if (made.AsToolBar) made.AsToolBar->SetButtons({Tool(true), Tool(false)});
    events.Of = nullptr;
    return made;
  }
  Window& Dialog() { return *Window_; }

 private:
  struct : WindowHandler {
  } Nothing_;
  std::unique_ptr<Window> Window_;
};

using Act = std::function<void(HWND)>;
using Change = std::function<void(Made&)>;
using Shows = std::function<bool(const Events::State&)>;

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
    if (c.AsEdit) c.AsEdit->SetText(text);
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
Change ShowChord(KeyChord chord) {
  return [chord](Made& c) { c.AsHotkeyBox->SetChord(chord); };
}
Shows Hotkey(BYTE vk, BYTE flags) {
  return [vk, flags](const Events::State& s) { return s.Hotkey == MAKEWORD(vk, flags); };
}
bool IsChecked(const Events::State& s) { return s.Checked; }
bool IsDisabled(const Events::State& s) { return !s.Enabled; }

// ---------------------------------------------------------------- the program's own changes

struct ProgramCase {
  const char* What;
  Kind Type;
  Change Do;
  Shows Then;
};

class ProgramChanges : public Win32Controls, public ::testing::WithParamInterface<ProgramCase> {};

// The program's own changes fire nothing, and the control shows them.
TEST_P(ProgramChanges, FireNothingAndShow) {
  const ProgramCase& c = GetParam();
  Events events;
  Made made = MakeIn(c.Type, events);
  c.Do(made);
  Pump();
  EXPECT_EQ(events.Calls, Strings{});
  EXPECT_TRUE(c.Then(Events::StateOf(made)));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ProgramChanges,
    ::testing::Values(
        ProgramCase{"SetChecked", Kind::CheckBox, [](Made& c) { c.AsCheckBox->SetChecked(true); },
                    IsChecked},
        ProgramCase{"SetPosition", Kind::TrackBar, MoveTo(-20), Position(-20)},
        ProgramCase{"SetPosition beyond the range", Kind::TrackBar, MoveTo(99), Position(50)},
        ProgramCase{"SetText", Kind::ComboBox, Say("1280"), Saying("1280")},
        ProgramCase{"SetItemIndex", Kind::ComboBox, At(2), Item(2, "1024")},
        ProgramCase{"SetItemIndex -1 keeps the text", Kind::ComboBox, Say("77", At(-1)),
                    Item(-1, "77")},
        ProgramCase{"SetItems keeps the text", Kind::ComboBox,
                    Say("5",
                        [](Made& c) {
                          c.AsList->SetItems({"5", "6"});
                        }),
                    Saying("5")},
        ProgramCase{"SetText of a text box", Kind::Edit, Say("85.6 mm"), Saying("85.6 mm")},
        ProgramCase{"SetText of a text box to nothing", Kind::Edit, Say("4 m", Say("")),
                    Saying("")},
        ProgramCase{"SetEnabled false greys a button", Kind::Button,
                    [](Made& c) { c.AsButton->SetEnabled(false); }, IsDisabled},
        ProgramCase{"SetItemIndex of a list", Kind::DropDownList, At(1), Item(1, "800")},
        ProgramCase{"SetItemIndex -1 of a list", Kind::DropDownList,
                    [](Made& c) { c.AsList->SetItemIndex(1), c.AsList->SetItemIndex(-1); },
                    Item(-1, "")},
        ProgramCase{"SetItemIndex of a colour list", Kind::ColorBox, At(0), Item(0)},
        ProgramCase{"SetChord", Kind::HotkeyBox, ShowChord({'R', ModCtrl | ModAlt}),
                    Hotkey('R', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        ProgramCase{"SetChord of an extended key", Kind::HotkeyBox, ShowChord({VK_HOME, ModShift}),
                    Hotkey(VK_HOME, HOTKEYF_SHIFT | HOTKEYF_EXT)},
        ProgramCase{"SetChord of none", Kind::HotkeyBox,
                    [](Made& c) {
                      c.AsHotkeyBox->SetChord({'R', ModCtrl});
                      c.AsHotkeyBox->SetChord({});
                    },
                    Hotkey(0, 0)}),
    [](const auto& info) { return CaseName(info.param.What); });

// ---------------------------------------------------------------- the user's actions

struct UserCase {
  const char* What;
  Kind Type;
  Change Prepare;
  Act Do;
  const char* Calls;  // "first;second", none ""
  Shows Then = nullptr;
};

class UserActions : public Win32Controls, public ::testing::WithParamInterface<UserCase> {};

// Each user action comes back once, with the control already showing it.
TEST_P(UserActions, ComeBackOnceShowingTheirResult) {
  const UserCase& c = GetParam();
  Events events;
  Made made = MakeIn(c.Type, events);
  if (c.Prepare) c.Prepare(made);
  events.Of = &made;
  ::SetFocus(made.Hwnd);
  Pump();
  events.Calls.clear();
  events.Seen.clear();
  c.Do(made.Hwnd);
  Pump();
  std::string calls;
  for (const std::string& call : events.Calls) calls += (calls.empty() ? "" : ";") + call;
  EXPECT_EQ(calls, c.Calls);
  if (c.Then) {
    ASSERT_FALSE(events.Seen.empty());
    EXPECT_TRUE(c.Then(events.Seen[0]));
  }
}

void Type7(HWND h) { ::SendMessageW(EditOf(h), WM_CHAR, L'7', 1); }
// In a text box: to the end of the text first, or over all of it.
Act TypeAtEnd(const std::wstring& typed) {
  return [typed](HWND h) {
    Key(h, VK_END);
    for (wchar_t c : typed) ::SendMessageW(h, WM_CHAR, c, 1);
  };
}
void TypeOverAll(HWND h) {
  ::SendMessageW(h, EM_SETSEL, 0, -1);
  ::SendMessageW(h, WM_CHAR, L'5', 1);
}
// Keys as the keyboard sends them, held ones with Alt as system keys: each
// name pressed in turn, then all released the other way round.
Act PressChord(std::vector<UINT> keys) {
  return [keys](HWND h) {
    const bool alt = std::find(keys.begin(), keys.end(), VK_MENU) != keys.end();
    for (UINT k : keys) ::SendMessageW(h, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, k, 1);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k)
      ::SendMessageW(h, alt ? WM_SYSKEYUP : WM_KEYUP, *k, 0xC0000001);
  };
}
void ClickLabel(HWND h) { Click(h, {2, 2}); }
void ClickSecondTool(HWND h) {
  RECT r{};
  ::SendMessageW(h, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  Click(h, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}
// The dialog keys must leave the arrows to the bar.
void ArrowAndSpace(HWND h) {
  if (::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS) Keys({VK_DOWN, VK_SPACE})(h);
}
void OverAndAway(HWND h) {
  ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  ::SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
  ::SendMessageW(h, WM_MOUSELEAVE, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, UserActions,
    ::testing::Values(
        UserCase{"a click checks a check box", Kind::CheckBox, nullptr, PressBmClick, "checked",
                 IsChecked},
        UserCase{"a click on a button", Kind::Button, nullptr, PressBmClick, "click"},
        UserCase{"an arrow key moves a track bar", Kind::TrackBar, MoveTo(10), Keys({VK_RIGHT}),
                 "position 11;position 11", Position(11)},
        UserCase{"an arrow key at the end says where the thumb stays", Kind::TrackBar, MoveTo(50),
                 Keys({VK_RIGHT}), "position 50"},
        UserCase{"typing edits the text", Kind::ComboBox, Say(""), Type7, "edit 7", Saying("7")},
        UserCase{"typing in a text box, a key at a time", Kind::Edit, Say("3.3"),
                 TypeAtEnd(L"7 in"), "edit 3.37;edit 3.37 ;edit 3.37 i;edit 3.37 in",
                 Saying("3.37")},
        UserCase{"a backspace in a text box", Kind::Edit, Say("85,6"), TypeAtEnd(L"\b"), "edit 85,",
                 Saying("85,")},
        UserCase{"typing over all of a text box's text", Kind::Edit, Say("250 px"), TypeOverAll,
                 "edit 5", Saying("5")},
        UserCase{"an arrow key moves the closed list's selection", Kind::DropDownList, At(0),
                 Keys({VK_DOWN}), "taken 1;selected 1 closed", Item(1, "800")},
        UserCase{"an arrow key in an editable box's closed list", Kind::ComboBox, At(0),
                 Keys({VK_DOWN}, true), "taken 1;selected 1 closed", Item(1)},
        UserCase{"the selected item taken again from the dropped list", Kind::ColorBox, At(0),
                 Keys({VK_F4, VK_RETURN}), "taken 0", Item(0)},
        UserCase{"a list dropped, moved through and closed with Esc", Kind::DropDownList, At(0),
                 Keys({VK_F4, VK_DOWN, VK_ESCAPE}), "selected 1 dropped;cancelled 1"},
        UserCase{"a click on a tool button", Kind::ToolBar, nullptr, ClickSecondTool, "button 1"},
        UserCase{"an arrow and Space on the tool bar press the next button", Kind::ToolBar, nullptr,
                 ArrowAndSpace, "button 1"},
        UserCase{"a chord pressed in a hotkey box", Kind::HotkeyBox, nullptr,
                 PressChord({VK_CONTROL, VK_MENU, 'T'}), "chord 84 6",
                 Hotkey('T', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        UserCase{"Backspace clears a hotkey box", Kind::HotkeyBox,
                 ShowChord({'R', ModCtrl | ModAlt}), Keys({VK_BACK}), "chord 0 0", Hotkey(0, 0)},
        UserCase{"a key alone in a hotkey box", Kind::HotkeyBox, nullptr, Keys({VK_F5}),
                 "chord 116 0", Hotkey(VK_F5, 0)},
        UserCase{"a click on a label", Kind::Label, Say("mail"), ClickLabel, "click"},
        UserCase{"the pointer over a label and away", Kind::Label, Say("mail"), OverAndAway,
                 "enter;leave"}),
    [](const auto& info) { return CaseName(info.param.What); });

// ---------------------------------------------------------------- by family

using Win32TrackBar = Win32Controls;

// A track bar's thumb follows the density it is given, quietly.
TEST_F(Win32TrackBar, TheThumbTakesTheLengthItIsGivenQuietly) {
  Events events;
  Made bar = MakeIn(Kind::TrackBar, events);
  const auto thumb = [&bar] {
    return static_cast<int>(::SendMessageW(bar.Hwnd, TBM_GETTHUMBLENGTH, 0, 0));
  };
  EXPECT_EQ(thumb(), 16);
  bar.AsTrackBar->SetThumbLength(24);
  Pump();
  EXPECT_EQ(thumb(), 24);
  EXPECT_EQ(events.Calls, Strings{});
}

using Win32ToolBar = Win32Controls;

// Buttons pressed by the program fire nothing; a check button pressed with
// the keys has turned over too.
TEST_F(Win32ToolBar, ButtonsDownByTheProgramFireNothingACheckButtonTurnsOverHoweverPressed) {
  Events events;
  Made bar = MakeIn(Kind::ToolBar, events);
  bar.AsToolBar->SetButtonDown(0, true), bar.AsToolBar->SetButtonDown(1, true);
  Pump();
  EXPECT_TRUE(events.Calls.empty() && ToolChecked(bar.Hwnd, 100) && ToolChecked(bar.Hwnd, 101))
      << "SetButtonDown";
  bar.AsToolBar->SetButtonDown(0, false);
  ::SendMessageW(HwndOf(Dialog()), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar.Hwnd));
  EXPECT_EQ(events.Calls, Strings{"button 0"});
  EXPECT_TRUE(ToolChecked(bar.Hwnd, 100));
}

using Win32CheckBox = Win32Controls;

// An error in a handler is shown and stays out of the system's frames.
TEST_F(Win32CheckBox, AHandlersErrorIsShown) {
  Events failing;
  failing.Throw = true;
  Made box = MakeIn(Kind::CheckBox, failing);
  PressBmClick(box.Hwnd);
  EXPECT_EQ(Os().Errors, Strings{"boom checked"});
}

using Win32GroupBox = Win32Controls;

TEST_F(Win32GroupBox, PassesItsControlsNewsOnAndHidesThemWithItself) {
  Events events;
  Made group = Make(Dialog(), Kind::GroupBox, Design(Kind::GroupBox, {10, 10, 150, 100}), events);
  Made inside =
      Make(Dialog(), Kind::CheckBox, Design(Kind::CheckBox, {8, 20, 100, 20}, group.AsBox), events);
  PressBmClick(inside.Hwnd);
  EXPECT_EQ(events.Calls, Strings{"checked"}) << "a box passes its controls' news on";
  group.Native->SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(inside.Hwnd)) << "a hidden group box hides its controls";
  group.Native->SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(inside.Hwnd)) << "and shows them again";
}

using Win32Label = Win32Controls;

TEST_F(Win32Label, ALabelTakesTheSizeOfItsText) {
  Events events;
  Made label = Make(Dialog(), Kind::Label, Design(Kind::Label, {10, 10, 0, 0}), events,
                    "support@vantori.example");
  RECT r{};
  ::GetClientRect(label.Hwnd, &r);
  const LONG width = r.right;
  label.AsLabel->SetText("a");
  ::GetClientRect(label.Hwnd, &r);
  EXPECT_TRUE(width > 40 && r.right > 0 && r.right < width / 4 && r.bottom >= 11)
      << width << " then " << r.right << " x " << r.bottom;
}

using Win32DialogFocus = Win32Controls;

// A dialog hears that it lost the activation while its control still has
// the keyboard, and that it has it back once the system has given the
// keyboard to the window itself.
TEST_F(Win32DialogFocus, ActivationLostWithTheControlFocusedRegainedWithTheWindowFocused) {
  struct Activations : WindowHandler {
    std::vector<std::pair<bool, HWND>> Heard;
    void HandleActivate(bool active) override { Heard.push_back({active, ::GetFocus()}); }
  } activations;
  auto dialog = Os().CreateTopLevel({WindowKind::Dialog, "Keys", {60, 60, 300, 200}}, activations);
  const HWND dh = HwndOf(*dialog);
  Events events;
  Made box = Make(*dialog, Kind::CheckBox, Design(Kind::CheckBox, {10, 10, 100, 20}), events);
  dialog->SetVisible(true);
  dialog->Raise();
  Pump();
  box.Native->Focus();
  activations.Heard.clear();
  Dialog().Raise();  // another window of the program takes the activation
  Pump();
  dialog->Raise();  // and gives it back, as a click on the caption does
  Pump();
  EXPECT_TRUE(activations.Heard ==
              (std::vector<std::pair<bool, HWND>>{{false, box.Hwnd}, {true, dh}}));
}

using Win32ControlHandles = Win32Controls;

TEST_F(Win32ControlHandles, ChangingAFontBackAndForthKeepsOneFont) {
  Events events;
  Made label = MakeIn(Kind::Label, events);
  const long withLabel = LiveHandles();
  for (int i = 0; i < 500; ++i) {
    ControlFont f;
    f.Underline = i % 2 == 0;
    label.AsLabel->SetFont(f);
  }
  EXPECT_EQ(LiveHandles(), withLabel);
}

TEST_F(Win32ControlHandles, ControlsMadeAndDestroyedLeaveNoHandleNorASystemWindow) {
  const long before = LiveHandles();
  const DWORD userBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  Events events;
  for (int round = 0; round < 50; ++round) {
    std::vector<Made> all;
    for (Kind kind : {Kind::Panel, Kind::Picture, Kind::Bevel, Kind::Label, Kind::Button,
                      Kind::CheckBox, Kind::GroupBox, Kind::Edit, Kind::HotkeyBox, Kind::ComboBox,
                      Kind::DropDownList, Kind::ColorBox, Kind::TrackBar, Kind::ToolBar}) {
      all.push_back(MakeIn(kind, events));
      if (all.back().AsPicture) all.back().AsPicture->SetPicture(MaskedImage(32, 32));
    }
  }
  EXPECT_EQ(LiveHandles(), before);
  EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), userBefore + 2);
}

}  // namespace
}  // namespace vr::win32::test
