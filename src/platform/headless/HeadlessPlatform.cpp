#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "platform/headless/HeadlessFont.h"

namespace vr::headless {

// ---------------------------------------------------------------- window

HeadlessWindow::HeadlessWindow(HeadlessPlatform& os, const WindowParams& params,
                               WindowHandler& handler)
    : Os_(os), Params_(params), Handler_(handler), Bounds_(params.Bounds) {
  Os_.ZOrder.push_back(this);
}

// Controls belong to their forms, which release them before the window.
HeadlessWindow::~HeadlessWindow() { Os_.Forget(this); }

void HeadlessWindow::SetClientSize(int width, int height) {
  ClientSize_ = {width, height};
  const int frame = Params_.Kind == WindowKind::Dialog ? 2 * kFrame : 0;
  const int caption = Params_.Kind == WindowKind::Dialog ? kCaption : 0;
  Bounds_.Width = width + frame;
  Bounds_.Height = height + frame + caption;
  ++BoundsChanges_;
}

void HeadlessWindow::SetIcon(const MaskedImage& small, const MaskedImage& large) {
  SmallIcon_ = small;
  LargeIcon_ = large;
}

void HeadlessWindow::MoveToDpi(int dpi) {
  Dpi_ = dpi;
  Handler_.HandleDpiChanged(dpi, Bounds_);
}

void HeadlessWindow::SetBounds(const Rect& bounds) {
  Bounds_ = bounds;
  ++BoundsChanges_;
}

void HeadlessWindow::SetRegion(const Rect& region) {
  Region_ = region;
  ++RegionChanges_;
}

// ---------------------------------------------------------------- tray icon, timers

HeadlessTrayIcon::HeadlessTrayIcon(HeadlessPlatform& os, const MaskedImage& picture,
                                   std::string tip, TrayIconHandler& handler)
    : Picture(picture), Tip(std::move(tip)), Handler(handler), Os_(os) {
  Os_.TrayIcons.push_back(this);
}

HeadlessTrayIcon::~HeadlessTrayIcon() { std::erase(Os_.TrayIcons, this); }

TrayAddResult HeadlessTrayIcon::Add() {
  Os_.TrayCalls.push_back("add");
  if (Os_.WhileTrayAdd) Os_.WhileTrayAdd();
  HeadlessPlatform::TrayAnswer answer;
  if (!Os_.TrayAnswers.empty()) {
    answer = Os_.TrayAnswers.front();
    Os_.TrayAnswers.pop_front();
  }
  ModifyFinds_ = answer.Modify;
  if (answer.Add == TrayAddResult::Added) InArea = true;
  return answer.Add;
}

bool HeadlessTrayIcon::Modify() {
  Os_.TrayCalls.push_back("modify");
  if (ModifyFinds_) InArea = *ModifyFinds_;
  ModifyFinds_.reset();
  return InArea;
}

void HeadlessTrayIcon::RightClick() { RightClick(++Os_.Now); }

void HeadlessTrayIcon::RightClick(uint32_t time) {
  Handler.HandleTrayRightButtonUp(time, Os_.Cursor);
}

void HeadlessPlatform::AnnounceTrayArea() {
  const std::vector<HeadlessTrayIcon*> icons = TrayIcons;
  for (HeadlessTrayIcon* icon : icons) {
    if (std::find(TrayIcons.begin(), TrayIcons.end(), icon) == TrayIcons.end()) continue;
    icon->InArea = false;
    icon->Handler.HandleTrayAreaCreated();
  }
}

HeadlessTimer::HeadlessTimer(HeadlessPlatform& os, uint32_t interval, std::function<void()> tick)
    : Interval(interval), Tick(std::move(tick)), Os_(os) {
  Os_.Timers.push_back(this);
}

HeadlessTimer::~HeadlessTimer() { std::erase(Os_.Timers, this); }

HeadlessIdleCall::HeadlessIdleCall(HeadlessPlatform& os, std::function<void()> task)
    : Task(std::move(task)), Number(os.IdleCallsAsked++), Os_(os) {
  Os_.IdleCalls.push_back(this);
}

HeadlessIdleCall::~HeadlessIdleCall() { std::erase(Os_.IdleCalls, this); }

// ---------------------------------------------------------------- window

bool HeadlessWindow::IsActive() const { return Os_.Focused == this; }

void HeadlessWindow::SetVisible(bool visible) {
  Visible_ = visible;
  // A window taken off the screen gives up the activation and the focus, but
  // the program's active window stays what it was: no focus is reported.
  if (!visible && Os_.Focused == this) {
    Handler_.HandleActivate(false);
    Os_.Focused = nullptr;
  }
}

void HeadlessWindow::Raise() {
  auto& z = Os_.ZOrder;
  z.erase(std::remove(z.begin(), z.end(), this), z.end());
  z.push_back(this);
  Focus();
}

void HeadlessWindow::Focus() {
  if (Os_.Focused == this) return;
  // The window that loses the activation hears first, while its control
  // still has the keyboard.
  if (HeadlessWindow* previous = Os_.Focused) previous->Handler().HandleActivate(false);
  Os_.Focused = this;
  // As the system's default activation: the window itself has the keyboard.
  FocusedControl = nullptr;
  Handler_.HandleFocus();
  Handler_.HandleActivate(true);
}

void HeadlessWindow::SetOpacity(bool enabled, uint8_t alpha) {
  OpacityEnabled_ = enabled;
  Alpha_ = alpha;
}

void HeadlessWindow::CaptureMouse() { Os_.Captured = this; }
bool HeadlessWindow::HasMouseCapture() const { return Os_.Captured == this; }
void HeadlessWindow::ReleaseMouse() {
  if (Os_.Captured == this) Os_.Captured = nullptr;
}

void HeadlessWindow::Present(const Image& picture) {
  ++Presents_;
  if (!PaintArea_ || Presented_.Width() != picture.Width() ||
      Presented_.Height() != picture.Height()) {
    Presented_ = picture;
    PresentedPixels_ += static_cast<int64_t>(picture.Pixels().size());
    return;
  }
  const int32_t left = std::max(PaintArea_->Left, 0);
  const int32_t top = std::max(PaintArea_->Top, 0);
  const int32_t right = std::min(PaintArea_->Left + PaintArea_->Width, picture.Width());
  const int32_t bottom = std::min(PaintArea_->Top + PaintArea_->Height, picture.Height());
  for (int32_t y = top; y < bottom; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(picture.Width());
    std::copy(picture.Pixels().begin() + static_cast<std::ptrdiff_t>(row + left),
              picture.Pixels().begin() + static_cast<std::ptrdiff_t>(row + right),
              Presented_.Pixels().begin() + static_cast<std::ptrdiff_t>(row + left));
    PresentedPixels_ += right - left;
  }
}

void HeadlessWindow::Invalidate(const Rect& area) {
  PaintArea_ = area;
  Handler_.HandlePaint();
  PaintArea_.reset();
}

// ---------------------------------------------------------------- platform

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

TColor HeadlessPlatform::SysColor(int index) const {
  auto it = SysColors.find(index);
  return it == SysColors.end() ? 0x00808080 : it->second;
}

TextMask HeadlessPlatform::RenderText(const std::string& /*face*/, int pixelHeight,
                                      const std::string& text) {
  ++TextRenders;
  return RenderBitmapText(pixelHeight, text);
}

std::unique_ptr<Window> HeadlessPlatform::CreateTopLevel(const WindowParams& params,
                                                         WindowHandler& handler) {
  return std::make_unique<HeadlessWindow>(*this, params, handler);
}

HeadlessWindow* HeadlessPlatform::Find(const WindowHandler& handler) const {
  for (HeadlessWindow* w : ZOrder)
    if (&w->Handler() == &handler) return w;
  return nullptr;
}

void HeadlessPlatform::Forget(HeadlessWindow* w) {
  std::erase(ZOrder, w);
  if (Focused == w) Focused = nullptr;
  if (Captured == w) Captured = nullptr;
}

bool HeadlessPlatform::RunOne(const MessageFilter& filter) {
  // As a window procedure does, an error of a handler is shown and the loop goes on.
  try {
    RunIdleCalls();
    if (!TakeMessage) return false;
    return TakeMessage(filter);
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
  return true;
}

void HeadlessPlatform::RunMessageLoop(const MessageFilter& filter) {
  QuitRequested = false;
  while (!QuitRequested && RunOne(filter)) {
  }
}

bool HeadlessPlatform::RunModalLoop(const MessageFilter& filter,
                                    const std::function<bool()>& done) {
  ++ModalLoops;
  while (!QuitRequested && !done()) {
    if (!RunOne(filter)) {
      // Nobody is left to answer the dialog.
      ++ModalLoopsRunDry;
      return true;
    }
  }
  return !QuitRequested;
}

void HeadlessPlatform::ActivateOtherProgram() {
  HeadlessWindow* w = Focused;
  if (!w) return;
  w->Handler().HandleActivate(false);
  Focused = nullptr;
}

void HeadlessPlatform::ChangeDisplays(std::vector<MonitorArea> monitors) {
  Displays = std::move(monitors);
  if (!Displays.empty())
    DisplaySize = {Displays.front().Bounds.Width, Displays.front().Bounds.Height};
  if (DisplayChangeHandler) DisplayChangeHandler();
}

std::unique_ptr<Timer> HeadlessPlatform::StartTimer(uint32_t intervalMs,
                                                    std::function<void()> tick) {
  return std::make_unique<HeadlessTimer>(*this, intervalMs, std::move(tick));
}

std::unique_ptr<Timer> HeadlessPlatform::CallWhenIdle(std::function<void()> task) {
  return std::make_unique<HeadlessIdleCall>(*this, std::move(task));
}

void HeadlessPlatform::RunIdleCalls() {
  // Calls asked for meanwhile wait for the next idle moment, as a real loop's
  // would. A call may drop another, which then leaves the list.
  const uint64_t asked = IdleCallsAsked;
  for (;;) {
    const auto due = std::find_if(IdleCalls.begin(), IdleCalls.end(),
                                  [asked](const HeadlessIdleCall* c) { return c->Number < asked; });
    if (due == IdleCalls.end()) return;
    HeadlessIdleCall* call = *due;
    IdleCalls.erase(due);
    const std::function<void()> task = std::move(call->Task);
    if (task) task();
  }
}

void HeadlessPlatform::FireTimers() {
  const std::vector<HeadlessTimer*> timers = Timers;
  for (HeadlessTimer* t : timers) {
    if (std::find(Timers.begin(), Timers.end(), t) == Timers.end() || !t->Tick) continue;
    // A copy: the tick may stop its own timer.
    const std::function<void()> tick = t->Tick;
    tick();
  }
}

namespace {
std::string WithoutAmpersands(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}
}  // namespace

int HeadlessPlatform::TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at) {
  Menus.push_back({items, at});
  if (!MenuAnswer) return -1;
  // An answer serves one menu.
  auto answer = std::move(MenuAnswer);
  MenuAnswer = nullptr;
  const int chosen = answer(Menus.back());
  // The menu's own loop ends on a quit request, with nothing chosen.
  return QuitRequested ? -1 : chosen;
}

void HeadlessPlatform::AnswerMenuWith(const std::string& caption) {
  MenuAnswer = [caption](const OpenedMenu& menu) {
    for (size_t i = 0; i < menu.Items.size(); ++i)
      if (!menu.Items[i].Separator && WithoutAmpersands(menu.Items[i].Caption) == caption)
        return static_cast<int>(i);
    return -1;
  };
}

void HeadlessPlatform::AnswerMenuWithAccessKey(char key) {
  MenuAnswer = [key](const OpenedMenu& menu) {
    const auto lower = [](char c) {
      return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    for (size_t i = 0; i < menu.Items.size(); ++i) {
      const std::string& c = menu.Items[i].Caption;
      const size_t amp = c.find('&');
      if (amp != std::string::npos && amp + 1 < c.size() && lower(c[amp + 1]) == lower(key))
        return static_cast<int>(i);
    }
    return -1;
  };
}

std::unique_ptr<TrayIcon> HeadlessPlatform::CreateTrayIcon(const MaskedImage& picture,
                                                           const std::string& tip,
                                                           TrayIconHandler& handler) {
  return std::make_unique<HeadlessTrayIcon>(*this, picture, tip, handler);
}

std::optional<TColor> HeadlessPlatform::ChooseColor(TColor initial) {
  ColorChooserPresets.push_back(initial);
  if (WhileColorChooserOpen) WhileColorChooserOpen();
  // The system's dialog ends on a quit request, as cancelled.
  if (QuitRequested) return std::nullopt;
  return ColorChooserAnswer;
}

std::optional<bool> HeadlessPlatform::QuerySessionEnd() {
  if (!Session_) return std::nullopt;
  return Session_->HandleSessionEnding();
}

void HeadlessPlatform::EndSession(bool ending) {
  if (Session_) Session_->HandleSessionEnd(ending);
}

void HeadlessPlatform::ReceiveShowRequest() {
  if (Session_) Session_->HandleShowRequest();
}

HotkeyClaim HeadlessPlatform::ClaimHotkey(KeyChord chord) {
  HotkeyClaims.push_back(chord);
  HeldHotkey.reset();
  if (chord.Key == 0 || RefuseHotkeys) return HotkeyClaim::Refused;
  if (HotkeysInUse.count({chord.Key, chord.Modifiers})) return HotkeyClaim::InUse;
  HeldHotkey = chord;
  return HotkeyClaim::Claimed;
}

bool HeadlessPlatform::PressHotkey(KeyChord chord) {
  if (HeldHotkey != chord || !Hotkey_) return false;
  Hotkey_->HandleHotkey(chord);
  return true;
}

bool HeadlessPlatform::SetClipboardText(const std::string& text) {
  if (ClipboardBusy) return false;
  Clipboard = text;
  return true;
}

}  // namespace vr::headless
