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

HeadlessWindow::~HeadlessWindow() { Os_.Forget(this); }

void HeadlessWindow::SetBounds(const Rect& bounds) {
  Bounds_ = bounds;
  ++BoundsChanges_;
}

void HeadlessWindow::SetRegion(const Rect& region) {
  Region_ = region;
  ++RegionChanges_;
}

void HeadlessWindow::SetVisible(bool visible) {
  Visible_ = visible;
  // A window taken off the screen gives up the focus, but the program's
  // active window stays what it was: nothing is reported.
  if (!visible && Os_.Focused == this) Os_.Focused = nullptr;
}

void HeadlessWindow::Raise() {
  auto& z = Os_.ZOrder;
  z.erase(std::remove(z.begin(), z.end(), this), z.end());
  z.push_back(this);
  Focus();
}

void HeadlessWindow::Focus() {
  if (Os_.Focused == this) return;
  Os_.Focused = this;
  Handler_.HandleFocus();
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

void HeadlessPlatform::RunMessageLoop(const MessageFilter& filter) {
  QuitRequested = false;
  while (!QuitRequested && !Queue_.empty()) {
    auto event = std::move(Queue_.front());
    Queue_.pop_front();
    try {
      event(filter);
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }
}

void HeadlessPlatform::Deliver(const MessageFilter& filter, const Message& msg,
                               const std::set<int>& modifiers) {
  const std::set<int> before = KeysDown;
  KeysDown = modifiers;
  bool handled = false;
  if (filter) filter(msg, handled);
  // The windowing system's own handling: Alt+F4 asks the focused window to close.
  constexpr int kAlt = 0x12;
  constexpr uint64_t kF4 = 115;
  if (msg.Code == kMsgSysKeyDown && msg.WParam == kF4 && modifiers.count(kAlt) && Focused) {
    Focused->Handler().HandleCloseRequest();
  }
  KeysDown = before;
}

void HeadlessPlatform::PostMessage(Message msg, std::set<int> modifiers) {
  Queue_.push_back(
      [this, msg, modifiers](const MessageFilter& filter) { Deliver(filter, msg, modifiers); });
}

void HeadlessPlatform::PostKey(int vk, std::set<int> modifiers) {
  constexpr int kAlt = 0x12;
  const bool sys = modifiers.count(kAlt) || vk == 121;
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
