#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

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

std::unique_ptr<Control> HeadlessWindow::CreateControl(const ControlParams& params,
                                                       ControlHandler& handler) {
  return std::make_unique<HeadlessControl>(*this, params, handler);
}

HeadlessControl* HeadlessWindow::Find(const ControlHandler& handler) const {
  for (HeadlessControl* c : Controls_)
    if (&c->Handler() == &handler) return c;
  return nullptr;
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

// ---------------------------------------------------------------- controls

HeadlessControl::HeadlessControl(HeadlessWindow& window, const ControlParams& params,
                                 ControlHandler& handler)
    : Window_(window), Params_(params), Handler_(handler), Position_(params.Min) {
  Window_.Controls_.push_back(this);
}

HeadlessControl::~HeadlessControl() {
  std::erase(Window_.Controls_, this);
  if (Window_.FocusedControl == this) Window_.FocusedControl = nullptr;
}

void HeadlessControl::SetItems(const std::vector<std::string>& items) {
  Items_ = items;
  ItemIndex_ = -1;
}

void HeadlessControl::SetItemIndex(int index) {
  ItemIndex_ = index >= 0 && index < static_cast<int>(Items_.size()) ? index : -1;
  // A list that shows its choice in its box shows the item's text there; a
  // choose-only list with no choice shows nothing, an editable box keeps its text.
  if (ItemIndex_ >= 0) {
    Params_.Text = Items_[static_cast<size_t>(ItemIndex_)];
  } else if (Params_.Kind != ControlKind::ComboBox) {
    Params_.Text.clear();
  }
}

void HeadlessControl::SetRange(int min, int max) {
  Params_.Min = min;
  Params_.Max = max;
  Position_ = std::clamp(Position_, min, std::max(min, max));
}

void HeadlessControl::SetPosition(int position) {
  Position_ = std::clamp(position, Params_.Min, std::max(Params_.Min, Params_.Max));
}

void HeadlessControl::SetButtons(const std::vector<ToolButtonSpec>& buttons) {
  Buttons_ = buttons;
  ButtonsDown_.assign(buttons.size(), false);
}

void HeadlessControl::SetButtonDown(int index, bool down) {
  if (index >= 0 && index < static_cast<int>(ButtonsDown_.size()))
    ButtonsDown_[static_cast<size_t>(index)] = down;
}

void HeadlessControl::Focus() {
  // As on the real system, focusing a control of a window in the background
  // activates the window first.
  if (Window_.Os_.Focused != &Window_) Window_.Focus();
  Window_.FocusedControl = this;
}

// The keyboard is the active window's only.
bool HeadlessControl::Focused() const {
  return Window_.Os_.Focused == &Window_ && Window_.FocusedControl == this;
}

HeadlessControl* HeadlessControl::Parent() const {
  for (HeadlessControl* c : Window_.Controls_)
    if (c == Params_.Parent) return c;
  return nullptr;
}

bool HeadlessControl::ShownOnScreen() const {
  for (const HeadlessControl* c = this; c; c = c->Parent())
    if (!c->Params_.Visible) return false;
  return true;
}

void HeadlessControl::UserClick() {
  if (Params_.Kind == ControlKind::CheckBox) Checked_ = !Checked_;
  Focus();
  Handler_.HandleClick();
}

void HeadlessControl::UserType(const std::string& text) {
  Focus();
  for (char c : text) {
    Params_.Text += c;
    Handler_.HandleTextEdited();
  }
}

void HeadlessControl::UserSetText(const std::string& text) {
  Focus();
  Params_.Text = text;
  Handler_.HandleTextEdited();
}

void HeadlessControl::UserChoose(int index) {
  Focus();
  SetItemIndex(index);
  Handler_.HandleItemChosen();
}

void HeadlessControl::UserSetPosition(int position) {
  Focus();
  const int before = Position_;
  SetPosition(position);
  if (Position_ != before) Handler_.HandlePositionChanged();
}

void HeadlessControl::UserClickButton(int index) {
  if (index < 0 || index >= static_cast<int>(Buttons_.size())) return;
  if (Buttons_[static_cast<size_t>(index)].Check)
    ButtonsDown_[static_cast<size_t>(index)] = !ButtonsDown_[static_cast<size_t>(index)];
  Handler_.HandleButtonClick(index);
}

void HeadlessControl::UserMouseEnter() { Handler_.HandleMouseEnter(); }
void HeadlessControl::UserMouseLeave() { Handler_.HandleMouseLeave(); }

// ---------------------------------------------------------------- tray icon, timers

HeadlessTrayIcon::HeadlessTrayIcon(HeadlessPlatform& os, const MaskedImage& picture,
                                   std::string tip, TrayIconHandler& handler)
    : Picture(picture), Tip(std::move(tip)), Handler(handler), Os_(os) {
  Os_.TrayIcons.push_back(this);
}

HeadlessTrayIcon::~HeadlessTrayIcon() { std::erase(Os_.TrayIcons, this); }

TrayAddResult HeadlessTrayIcon::Add() {
  Os_.TrayCalls.push_back("add");
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

// ---------------------------------------------------------------- window

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
  Presented_ = picture;
  ++Presents_;
}

// ---------------------------------------------------------------- store

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class HeadlessKey final : public SettingsKey {
 public:
  HeadlessKey(HeadlessStore& store, std::string path) : Store_(store), Path_(std::move(path)) {}
  std::optional<StoreValue> Read(const std::string& name) override {
    return Store_.Get(Path_, name);
  }
  bool WriteInteger(const std::string& name, uint32_t value) override {
    return Write(name, {StoreKind::Integer, value, {}});
  }
  bool WriteText(const std::string& name, const std::string& text) override {
    return Write(name, {StoreKind::Text, 0, text});
  }

 private:
  bool Write(const std::string& name, StoreValue v) {
    if (Store_.FailWrites.count(name)) return false;
    Store_.Put(Path_, name, std::move(v));
    return true;
  }
  HeadlessStore& Store_;
  std::string Path_;
};

}  // namespace

std::string HeadlessStore::Normalize(const std::string& path) {
  std::string p = Lower(path);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

std::unique_ptr<SettingsKey> HeadlessStore::Open(const std::string& path, bool forWrite) {
  if (FailOpen) return nullptr;
  const std::string p = Normalize(path);
  if (!Keys.count(p)) {
    if (!forWrite) return nullptr;
    Keys[p];
  }
  return std::make_unique<HeadlessKey>(*this, p);
}

void HeadlessStore::Put(const std::string& path, const std::string& name, StoreValue value) {
  Key& key = Keys[Normalize(path)];
  key.Values[Lower(name)] = std::move(value);
  std::erase(key.Order, name);
  key.Order.push_back(name);
}

bool HeadlessStore::HasKey(const std::string& path) const {
  return Keys.count(Normalize(path)) != 0;
}

std::optional<StoreValue> HeadlessStore::Get(const std::string& path,
                                             const std::string& name) const {
  auto k = Keys.find(Normalize(path));
  if (k == Keys.end()) return std::nullopt;
  auto v = k->second.Values.find(Lower(name));
  if (v == k->second.Values.end()) return std::nullopt;
  return v->second;
}

std::vector<std::string> HeadlessStore::WriteOrder(const std::string& path) const {
  auto k = Keys.find(Normalize(path));
  return k == Keys.end() ? std::vector<std::string>{} : k->second.Order;
}

size_t HeadlessStore::ValueCount(const std::string& path) const {
  auto k = Keys.find(Normalize(path));
  return k == Keys.end() ? 0 : k->second.Values.size();
}

// ---------------------------------------------------------------- text

TextMask RenderBitmapText(int pixelHeight, const std::string& text) {
  // 3 x 5 patterns, one row a string of three cells.
  static const std::map<char, std::array<const char*, 5>> kGlyphs{
      {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
      {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", "###", "..#", "###"}},
      {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
      {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", "..#", "..#", "..#"}},
      {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
      {'-', {"...", "...", "###", "...", "..."}},
  };
  TextMask m;
  const int em = std::max(pixelHeight, 1);
  const int glyphWidth = std::max(1, em * 3 / 5);
  const int advance = glyphWidth + 1;
  m.Advance = advance * static_cast<int>(text.size());
  m.Width = m.Advance;
  m.Height = em + std::max(1, em / 4);
  m.Coverage.assign(static_cast<size_t>(m.Width) * static_cast<size_t>(m.Height), 0);
  for (size_t n = 0; n < text.size(); ++n) {
    auto g = kGlyphs.find(text[n]);
    if (g == kGlyphs.end()) continue;
    for (int y = 0; y < em; ++y) {
      for (int x = 0; x < glyphWidth; ++x) {
        if (g->second[static_cast<size_t>(y * 5 / em)][x * 3 / glyphWidth] == '#') {
          const size_t px = n * static_cast<size_t>(advance) + static_cast<size_t>(x);
          m.Coverage[static_cast<size_t>(y) * static_cast<size_t>(m.Width) + px] = 255;
        }
      }
    }
  }
  return m;
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
  if (Queue_.empty()) return false;
  auto event = std::move(Queue_.front());
  Queue_.pop_front();
  // As a window procedure does, an error of a handler is shown and the loop goes on.
  try {
    event(filter);
  } catch (const std::exception& e) {
    ShowError(e.what());
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

void HeadlessPlatform::Deliver(const MessageFilter& filter, const Message& message,
                               const std::set<int>& modifiers) {
  const std::set<int> before = KeysDown;
  KeysDown = modifiers;
  Message msg = message;
  if (!msg.Target && Focused) msg.Target = &Focused->Handler();
  if (!filter || !filter(msg)) {
    // The windowing system's own handling of a few keys.
    const bool keyDown = msg.Code == kMsgKeyDown || msg.Code == kMsgSysKeyDown;
    if (keyDown && Focused) {
      HeadlessWindow& w = *Focused;
      const Rect b = w.Bounds();
      if (msg.Code == kMsgSysKeyDown && msg.WParam == kVkF4 && modifiers.count(kVkMenu)) {
        w.Handler().HandleCloseRequest();
      } else if (msg.WParam == kVkApps ||
                 (msg.WParam == kVkF10 && modifiers == std::set<int>{kVkShift})) {
        w.Handler().HandleContextMenu({b.Left + b.Width / 2, b.Top + b.Height / 2}, true);
      } else if (w.Params().Kind == WindowKind::Dialog && modifiers.empty() &&
                 (msg.WParam == kVkReturn || msg.WParam == kVkEscape)) {
        w.Handler().HandleDialogKey(msg.WParam == kVkReturn ? DialogKey::Enter : DialogKey::Escape);
      }
    }
  }
  KeysDown = before;
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
  return answer(Menus.back());
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
  return ColorChooserAnswer;
}

void HeadlessPlatform::PostMessage(Message msg, std::set<int> modifiers) {
  Queue_.push_back(
      [this, msg, modifiers](const MessageFilter& filter) { Deliver(filter, msg, modifiers); });
}

void HeadlessPlatform::PostKey(int vk, std::set<int> modifiers) {
  const bool sys = modifiers.count(kVkMenu) || vk == kVkF10;
  PostMessage({sys ? kMsgSysKeyDown : kMsgKeyDown, static_cast<uint64_t>(vk)},
              std::move(modifiers));
}

void HeadlessPlatform::PostAction(std::function<void()> action) {
  Queue_.push_back([action = std::move(action)](const MessageFilter&) { action(); });
}

void HeadlessPlatform::MouseDown(HeadlessWindow& w, MouseButton b, Point screen) {
  Cursor = screen;
  w.Handler().HandleMouseDown(b);
}

void HeadlessPlatform::MouseMove(HeadlessWindow& w, Point screen) {
  Cursor = screen;
  // With the capture, moves go to the capturing window wherever the cursor is.
  HeadlessWindow* target = Captured ? Captured : &w;
  target->Handler().HandleMouseMove();
}

void HeadlessPlatform::MouseUp(HeadlessWindow& w, MouseButton b, Point screen) {
  Cursor = screen;
  HeadlessWindow* target = Captured ? Captured : &w;
  target->Handler().HandleMouseUp(b);
}

}  // namespace vr::headless
