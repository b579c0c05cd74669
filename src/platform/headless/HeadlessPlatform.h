#pragma once
// An in-memory platform: deterministic windows, store, screen and text, with
// switches that let tests make the store fail and script the message loop.

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vr::headless {

class HeadlessPlatform;

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
  void Quit() override { QuitRequested = true; }
  void ShowError(const std::string& text) override { Errors.push_back(text); }

  // ----- the simulated desktop
  Point DisplaySize{1366, 768};
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

  // Top-level windows, bottom of the Z order first.
  std::vector<HeadlessWindow*> ZOrder;
  HeadlessWindow* Focused = nullptr;
  HeadlessWindow* Captured = nullptr;
  HeadlessWindow* Find(const WindowHandler& handler) const;

  // ----- scripting the loop
  // A message as the loop takes it: to the filter, then its normal handling
  // (Alt+F4 on the focused window becomes a close request).
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
  std::deque<std::function<void(const MessageFilter&)>> Queue_;
};

// The digits and the few other characters of the built-in font, 3 x 5 cells.
TextMask RenderBitmapText(int pixelHeight, const std::string& text);

}  // namespace vr::headless
