#pragma once
// An in-memory platform: deterministic windows, store, screen and text, with
// switches that let tests make the system answer as they need. What a user
// does, and the queue a test scripts, are the tests' own (tests/unit/support).

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessControls.h"
#include "platform/headless/HeadlessStore.h"

namespace vr::headless {

class HeadlessPlatform;

class HeadlessWindow final : public HeadlessControlHost {
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
  // Paints the area at once, as a paint message would.
  void Invalidate(const Rect& area) override;
  void SetClientSize(int width, int height) override;
  Point ClientSize() const override { return ClientSize_; }
  void SetIcon(const MaskedImage& small, const MaskedImage& large) override;
  int Dpi() const override { return Dpi_; }
  void SetEnabled(bool enabled) override { Enabled_ = enabled; }
  bool IsActive() const override;

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
  // Pixels copied to the screen by all presents so far.
  int64_t PresentedPixels() const { return PresentedPixels_; }
  bool IsEnabled() const { return Enabled_; }
  const MaskedImage& SmallIcon() const { return SmallIcon_; }
  const MaskedImage& LargeIcon() const { return LargeIcon_; }
  // The window lands on a monitor of another density: the handler hears of it.
  void MoveToDpi(int dpi);

 private:
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
  int64_t PresentedPixels_ = 0;
  // While a paint runs: the part of the window it is for.
  std::optional<Rect> PaintArea_;
  Point ClientSize_;
  int Dpi_ = 96;
  bool Enabled_ = true;
  MaskedImage SmallIcon_;
  MaskedImage LargeIcon_;
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
  void RightClick(uint32_t time);

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

// A call waiting for the loop to be idle.
class HeadlessIdleCall final : public Timer {
 public:
  HeadlessIdleCall(HeadlessPlatform& os, std::function<void()> task);
  ~HeadlessIdleCall() override;
  std::function<void()> Task;
  // The how-manieth call of the platform's this is, from 0.
  const uint64_t Number;

 private:
  HeadlessPlatform& Os_;
};

// A popup menu as it was opened.
struct OpenedMenu {
  std::vector<MenuItemSpec> Items;
  Point At;
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
  SettingsStore& Store() override { return Registry; }
  TextMask RenderText(const std::string& face, int pixelHeight, const std::string& text) override;
  void SetTitle(const std::string& title) override { Title = title; }
  void KeepOffTaskBar() override { OffTaskBar = true; }
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
  // Records the text; what happens while the box is up, the test says.
  void ShowErrorBox(const std::string& text) override {
    Errors.push_back(text);
    if (WhileErrorShown) WhileErrorShown();
  }

  void SetDisplayChangeHandler(std::function<void()> handler) override {
    DisplayChangeHandler = std::move(handler);
  }
  uint32_t TickCount() const override { return Now; }
  std::unique_ptr<Timer> StartTimer(uint32_t intervalMs, std::function<void()> tick) override;
  std::unique_ptr<Timer> CallWhenIdle(std::function<void()> task) override;
  int DpiAt(Point /*screen*/) const override { return Ppi; }
  int TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) override;
  void BringAppToForeground() override { ++ForegroundRequests; }
  std::unique_ptr<TrayIcon> CreateTrayIcon(const MaskedImage& picture, const std::string& tip,
                                           TrayIconHandler& handler) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  void OpenLink(const std::string& url) override { OpenedLinks.push_back(url); }
  bool SetClipboardText(const std::string& text) override;
  InstanceClaim ClaimSingleInstance() override {
    ++InstanceClaims;
    return ClaimAnswer;
  }
  bool AskRunningInstanceToShow() override {
    ++ShowRequestsSent;
    return RunningInstanceAnswers;
  }
  void SetSessionHandler(SessionHandler* handler) override { Session_ = handler; }
  std::string ProgramPath() const override { return ProgramFile; }
  HotkeyClaim ClaimHotkey(KeyChord chord) override;
  void ReleaseHotkey() override { HeldHotkey.reset(); }
  void SetHotkeyHandler(HotkeyHandler* handler) override { Hotkey_ = handler; }

  // ----- the hotkey
  // The chords other programs hold, and a system that refuses every claim.
  std::set<std::pair<uint8_t, uint8_t>> HotkeysInUse;  // {key, modifiers}
  bool RefuseHotkeys = false;
  // The chord the program holds now, and every chord it asked for, in order.
  std::optional<KeyChord> HeldHotkey;
  std::vector<KeyChord> HotkeyClaims;
  // The user presses a chord, whichever program has the keyboard: the
  // program hears of it when it holds that chord. true when it did.
  bool PressHotkey(KeyChord chord);
  bool HasHotkeyHandler() const { return Hotkey_ != nullptr; }

  // ----- the session
  // What a claim finds, and whether the running program takes a request.
  InstanceClaim ClaimAnswer = InstanceClaim::First;
  bool RunningInstanceAnswers = true;
  int InstanceClaims = 0;
  int ShowRequestsSent = 0;
  // Where the program's own file lives.
  std::string ProgramFile = "C:\\Program Files\\Vantori Rulers\\VantoriRulers.exe";
  bool HasSessionHandler() const { return Session_ != nullptr; }
  // The system asks whether the session may end: the program's answer, or
  // nullopt when nobody listens.
  std::optional<bool> QuerySessionEnd();
  // The session ends, or goes on after all.
  void EndSession(bool ending);
  // A second start of the program asks this one to come forward.
  void ReceiveShowRequest();

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
  HeadlessStore Registry;
  std::string Title;
  // The program asked to keep off the task bar.
  bool OffTaskBar = false;
  bool QuitRequested = false;
  // The texts of the error boxes shown, and what happens while each is up.
  std::vector<std::string> Errors;
  std::function<void()> WhileErrorShown;
  int TextRenders = 0;
  int PendingMessageRuns = 0;
  // What the messages waiting in the queue do when they are handled.
  std::function<void()> WhilePending;
  // The clock of TickCount.
  uint32_t Now = 1000;
  int ForegroundRequests = 0;
  std::vector<std::string> OpenedLinks;
  // The clipboard's text, and a switch that makes it unavailable.
  std::string Clipboard;
  bool ClipboardBusy = false;

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
  // What the desktop looks like while the area takes an add.
  std::function<void()> WhileTrayAdd;
  std::vector<HeadlessTrayIcon*> TrayIcons;
  // The desktop shell announces its notification area to every icon.
  void AnnounceTrayArea();

  std::vector<HeadlessTimer*> Timers;
  // Every running timer's interval passes once.
  void FireTimers();
  // The calls waiting for the loop to be idle. The loops make them before
  // they take the next scripted message: the loop has caught up with the
  // messages before it and the windows have painted by the user's next act.
  std::vector<HeadlessIdleCall*> IdleCalls;
  uint64_t IdleCallsAsked = 0;
  // The loop is idle now: the calls waiting are made, each once.
  void RunIdleCalls();

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

  // ----- the loops
  // What the loops take next from the queue: a test's script hands the
  // message to the filter and on to its handling. false: the queue is empty,
  // and a loop ends as if nobody were left to answer it.
  std::function<bool(const MessageFilter& filter)> TakeMessage;

 private:
  friend class HeadlessWindow;
  void Forget(HeadlessWindow* w);
  // Takes the next message and handles it; false when there is none.
  bool RunOne(const MessageFilter& filter);
  SessionHandler* Session_ = nullptr;
  HotkeyHandler* Hotkey_ = nullptr;
};

}  // namespace vr::headless
