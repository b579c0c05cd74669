#pragma once
// An in-memory platform: deterministic windows, store, screen and text, with
// switches that let tests make the store fail and script the message loop.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vr::headless {

class HeadlessPlatform;
class HeadlessWindow;

// A control as the tests see it: its state, and the user's actions on it.
class HeadlessControl final : public Control {
 public:
  HeadlessControl(HeadlessWindow& window, const ControlParams& params, ControlHandler& handler);
  ~HeadlessControl() override;

  void SetBounds(const Rect& bounds) override { Params_.Bounds = bounds; }
  void SetVisible(bool visible) override { Params_.Visible = visible; }
  void SetFont(const ControlFont& font) override { Params_.Font = font; }
  void SetText(const std::string& text) override { Params_.Text = text; }
  std::string Text() const override { return Params_.Text; }
  void SetChecked(bool checked) override { Checked_ = checked; }
  bool Checked() const override { return Checked_; }
  void SetItems(const std::vector<std::string>& items) override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return ItemIndex_; }
  void SetItemColors(const std::vector<TColor>& colors) override { ItemColors_ = colors; }
  void SetRange(int min, int max) override;
  void SetPosition(int position) override;
  int Position() const override { return Position_; }
  void SetThumbLength(int length) override { Params_.ThumbLength = length; }
  void SetPicture(const MaskedImage& picture) override { Picture_ = picture; }
  void SetButtons(const std::vector<ToolButtonSpec>& buttons) override;
  void SetButtonDown(int index, bool down) override;
  void Focus() override;
  bool Focused() const override;

  // Inspection
  const ControlParams& Params() const { return Params_; }
  ControlKind Kind() const { return Params_.Kind; }
  HeadlessControl* Parent() const;
  // Shown on the screen: its own flag and every parent's.
  bool ShownOnScreen() const;
  const std::vector<std::string>& Items() const { return Items_; }
  const std::vector<TColor>& ItemColors() const { return ItemColors_; }
  int Min() const { return Params_.Min; }
  int Max() const { return Params_.Max; }
  const MaskedImage& Picture() const { return Picture_; }
  const std::vector<ToolButtonSpec>& Buttons() const { return Buttons_; }
  const std::vector<bool>& ButtonsDown() const { return ButtonsDown_; }
  ControlHandler& Handler() const { return Handler_; }

  // The user's actions, reported as the real control reports them.
  void UserClick();                           // Button, CheckBox (toggles), Label
  void UserType(const std::string& text);     // ComboBox: one edit per character
  void UserSetText(const std::string& text);  // ComboBox: one edit (a paste)
  void UserChoose(int index);                 // the lists
  void UserSetPosition(int position);         // TrackBar
  void UserClickButton(int index);            // ToolBar (a check button toggles)
  void UserMouseEnter();
  void UserMouseLeave();

 private:
  HeadlessWindow& Window_;
  ControlParams Params_;
  ControlHandler& Handler_;
  bool Checked_ = false;
  std::vector<std::string> Items_;
  std::vector<TColor> ItemColors_;
  int ItemIndex_ = -1;
  int Position_ = 0;
  MaskedImage Picture_;
  std::vector<ToolButtonSpec> Buttons_;
  std::vector<bool> ButtonsDown_;
};

class HeadlessWindow final : public Window {
 public:
  HeadlessWindow(HeadlessPlatform& os, const WindowParams& params, WindowHandler& handler);
  ~HeadlessWindow() override;

  void SetBounds(const Rect& bounds) override;
  Rect Bounds() const override { return Bounds_; }
  void SetRegion(const Rect& region) override;
  void SetVisible(bool visible) override;
  void Raise() override;
  void Focus() override;
  void SetOpacity(bool enabled, uint8_t alpha) override;
  void CaptureMouse() override;
  bool HasMouseCapture() const override;
  void ReleaseMouse() override;
  void Present(const Image& picture) override;
  void SetClientSize(int width, int height) override;
  Point ClientSize() const override { return ClientSize_; }
  void SetIcon(const MaskedImage& small, const MaskedImage& large) override;
  int Dpi() const override { return Dpi_; }
  std::unique_ptr<Control> CreateControl(const ControlParams& params,
                                         ControlHandler& handler) override;
  void SetEnabled(bool enabled) override { Enabled_ = enabled; }

  // A dialog's frame around its client area, in pixels.
  static constexpr int kFrame = 3;
  static constexpr int kCaption = 23;

  // Inspection
  const WindowParams& Params() const { return Params_; }
  WindowHandler& Handler() const { return Handler_; }
  bool IsVisible() const { return Visible_; }
  Rect Region() const { return Region_; }
  int RegionChanges() const { return RegionChanges_; }
  int BoundsChanges() const { return BoundsChanges_; }
  bool OpacityEnabled() const { return OpacityEnabled_; }
  uint8_t Alpha() const { return Alpha_; }
  const Image& Screen() const { return Presented_; }
  int Presents() const { return Presents_; }
  bool IsEnabled() const { return Enabled_; }
  const MaskedImage& SmallIcon() const { return SmallIcon_; }
  const MaskedImage& LargeIcon() const { return LargeIcon_; }
  // Controls in the order they were made; the first with this handler.
  const std::vector<HeadlessControl*>& Controls() const { return Controls_; }
  HeadlessControl* Find(const ControlHandler& handler) const;
  // The control with the keyboard while the window is active; nullptr: the
  // window itself.
  HeadlessControl* FocusedControl = nullptr;
  // The window lands on a monitor of another density: the handler hears of it.
  void MoveToDpi(int dpi);

 private:
  friend class HeadlessControl;
  HeadlessPlatform& Os_;
  WindowParams Params_;
  WindowHandler& Handler_;
  Rect Bounds_;
  Rect Region_;
  int RegionChanges_ = 0;
  int BoundsChanges_ = 0;
  bool Visible_ = false;
  bool OpacityEnabled_ = false;
  uint8_t Alpha_ = 255;
  Image Presented_;
  int Presents_ = 0;
  Point ClientSize_;
  int Dpi_ = 96;
  bool Enabled_ = true;
  MaskedImage SmallIcon_;
  MaskedImage LargeIcon_;
  std::vector<HeadlessControl*> Controls_;
};

class HeadlessTrayIcon final : public TrayIcon {
 public:
  HeadlessTrayIcon(HeadlessPlatform& os, const MaskedImage& picture, std::string tip,
                   TrayIconHandler& handler);
  ~HeadlessTrayIcon() override;
  // Answered from the platform's TrayAnswers.
  TrayAddResult Add() override;
  bool Modify() override;
  void SetPicture(const MaskedImage& picture) override {
    Picture = picture;
    ++PictureChanges;
  }
  // The user releases the right button over the icon: a moment after
  // whatever happened before (the clock steps on), or at a time of the
  // platform's clock.
  void RightClick();
  void RightClick(uint32_t time) { Handler.HandleTrayRightButtonUp(time); }

  MaskedImage Picture;
  std::string Tip;
  int PictureChanges = 0;
  bool InArea = false;
  TrayIconHandler& Handler;

 private:
  HeadlessPlatform& Os_;
  std::optional<bool> ModifyFinds_;
};

class HeadlessTimer final : public Timer {
 public:
  HeadlessTimer(HeadlessPlatform& os, uint32_t interval, std::function<void()> tick);
  ~HeadlessTimer() override;
  uint32_t Interval;
  std::function<void()> Tick;

 private:
  HeadlessPlatform& Os_;
};

// A popup menu as it was opened.
struct OpenedMenu {
  std::vector<MenuItemSpec> Items;
  Point At;
};

// The registry stand-in: keys by path (case-insensitive, a trailing
// separator names the same key), values by name.
class HeadlessStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(const std::string& path, bool forWrite) override;

  // Test switches and inspection.
  bool FailOpen = false;
  std::set<std::string> FailWrites;  // value names whose write is refused
  void Put(const std::string& path, const std::string& name, StoreValue value);
  void PutInteger(const std::string& path, const std::string& name, uint32_t v) {
    Put(path, name, {StoreKind::Integer, v, {}});
  }
  void PutText(const std::string& path, const std::string& name, const std::string& text) {
    Put(path, name, {StoreKind::Text, 0, text});
  }
  bool HasKey(const std::string& path) const;
  std::optional<StoreValue> Get(const std::string& path, const std::string& name) const;
  // Value names of a key in the order they were last written.
  std::vector<std::string> WriteOrder(const std::string& path) const;
  size_t ValueCount(const std::string& path) const;

  static std::string Normalize(const std::string& path);
  struct Key {
    std::map<std::string, StoreValue> Values;  // by lower-case name
    std::vector<std::string> Order;
  };
  std::map<std::string, Key> Keys;
};

class HeadlessPlatform final : public Platform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform() override;

  Point PrimaryDisplaySize() const override { return DisplaySize; }
  std::vector<MonitorArea> Monitors() const override { return Displays; }
  std::vector<std::string> ScreenFontFamilies() const override {
    ++FontFamilyQueries;
    return FontFamilies;
  }
  Point CursorPos() const override { return Cursor; }
  int PixelsPerInch() const override { return Ppi; }
  TColor SysColor(int index) const override;
  bool KeyDown(int virtualKey) const override { return KeysDown.count(virtualKey) != 0; }
  SettingsStore& Store() override { return Registry; }
  TextMask RenderText(const std::string& face, int pixelHeight, const std::string& text) override;
  void SetTitle(const std::string& title) override { Title = title; }
  uint32_t AppExStyle() const override { return ExStyle; }
  void SetAppExStyle(uint32_t style) override {
    ExStyle = style;
    ++ExStyleWrites;
  }
  std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                         WindowHandler& handler) override;
  // Runs the scripted events in order until Quit or until none are left.
  void RunMessageLoop(const MessageFilter& filter) override;
  bool RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) override;
  void ProcessPendingMessages(const MessageFilter& /*filter*/) override {
    ++PendingMessageRuns;
    if (WhilePending) WhilePending();
  }
  void Quit() override { QuitRequested = true; }
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  void SetDisplayChangeHandler(std::function<void()> handler) override {
    DisplayChangeHandler = std::move(handler);
  }
  uint32_t TickCount() const override { return Now; }
  std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) override;
  int DpiAt(Point /*screen*/) const override { return Ppi; }
  int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) override;
  void BringAppToForeground() override { ++ForegroundRequests; }
  std::unique_ptr<TrayIcon> CreateTrayIcon(const MaskedImage& picture, const std::string& tip,
                                           TrayIconHandler& handler) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  void OpenLink(const std::string& url) override { OpenedLinks.push_back(url); }

  // ----- the simulated desktop
  Point DisplaySize{1366, 768};
  // The monitors, the primary first: 1366 x 768 with a 40-pixel task bar.
  std::vector<MonitorArea> Displays{{{0, 0, 1366, 768}, {0, 0, 1366, 728}}};
  mutable int FontFamilyQueries = 0;
  std::vector<std::string> FontFamilies{"Arial", "Courier New", "Tahoma", "Times New Roman",
                                        "Verdana"};
  std::function<void()> DisplayChangeHandler;
  // The monitors change while the program runs.
  void ChangeDisplays(std::vector<MonitorArea> monitors);
  Point Cursor{0, 0};
  int Ppi = 96;
  std::map<int, TColor> SysColors;
  std::set<int> KeysDown;
  HeadlessStore Registry;
  std::string Title;
  uint32_t ExStyle = 0;
  int ExStyleWrites = 0;
  bool QuitRequested = false;
  std::vector<std::string> Errors;
  int TextRenders = 0;
  int PendingMessageRuns = 0;
  // What the messages waiting in the queue do when they are handled.
  std::function<void()> WhilePending;
  // The clock of TickCount.
  uint32_t Now = 1000;
  int ForegroundRequests = 0;
  std::vector<std::string> OpenedLinks;

  // Menus: every menu opened, and who answers it. Without an answer the menu
  // is dismissed (-1).
  std::vector<OpenedMenu> Menus;
  std::function<int(const OpenedMenu&)> MenuAnswer;
  // The next menu chooses the item whose caption, "&" left out, is this.
  void AnswerMenuWith(const std::string& caption);
  // The next menu chooses the item whose access key is this character.
  void AnswerMenuWithAccessKey(char key);

  // The notification area: its answers to the adds to come, in order, each
  // with what a change right after it finds (once they run out, an add is
  // taken and a change finds the icon if it is in the area); the calls as
  // they came; the icons.
  struct TrayAnswer {
    TrayAddResult Add = TrayAddResult::Added;
    bool Modify = false;  // what a change after this add finds
  };
  std::deque<TrayAnswer> TrayAnswers;
  std::vector<std::string> TrayCalls;  // "add", "modify"
  std::vector<HeadlessTrayIcon*> TrayIcons;
  // The desktop shell announces its notification area to every icon.
  void AnnounceTrayArea();

  std::vector<HeadlessTimer*> Timers;
  // Every running timer's interval passes once.
  void FireTimers();

  // The colour chooser's answer: a colour, or cancelled; what it was preset
  // to; and what happens while it is open.
  std::optional<TColor> ColorChooserAnswer;
  std::vector<TColor> ColorChooserPresets;
  std::function<void()> WhileColorChooserOpen;

  // Modal loops entered, and how many ran out of scripted events.
  int ModalLoops = 0;
  int ModalLoopsRunDry = 0;

  // Top-level windows, bottom of the Z order first.
  std::vector<HeadlessWindow*> ZOrder;
  HeadlessWindow* Focused = nullptr;  // the active window, which has the keyboard
  HeadlessWindow* Captured = nullptr;
  // The user turns to another program: the active window loses the activation.
  void ActivateOtherProgram();
  HeadlessWindow* Find(const WindowHandler& handler) const;

  // ----- scripting the loop
  // A message as the loop takes it: to the filter, then its normal handling
  // (Alt+F4 on the focused window becomes a close request, Enter and Esc in a
  // dialog its dialog keys, Shift+F10 and the Menu key a context-menu request).
  void PostMessage(Message msg, std::set<int> modifiers = {});
  void PostKey(int vk, std::set<int> modifiers = {});
  // Any other event, e.g. a mouse action on a window.
  void PostAction(std::function<void()> action);
  // Delivers one message now, as the loop would.
  void Deliver(const MessageFilter& filter, const Message& msg, const std::set<int>& modifiers);

  // ----- mouse, as the user does it
  void MouseDown(HeadlessWindow& w, MouseButton b, Point screen);
  void MouseMove(HeadlessWindow& w, Point screen);
  void MouseUp(HeadlessWindow& w, MouseButton b, Point screen);

 private:
  friend class HeadlessWindow;
  void Forget(HeadlessWindow* w);
  // Takes the next scripted event and runs it; false when there is none.
  bool RunOne(const MessageFilter& filter);
  std::deque<std::function<void(const MessageFilter&)>> Queue_;
};

// The digits and the few other characters of the built-in font, 3 x 5 cells.
TextMask RenderBitmapText(int pixelHeight, const std::string& text);

}  // namespace vr::headless
