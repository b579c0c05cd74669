// The program's top-level windows against the real system: their styles and
// attributes, the messages each turns into handler calls, a handler that
// fails or destroys its own window, capture, focus and activation.

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32::test {
namespace {

struct Recorder : WindowHandler {
  Strings Calls;
  std::vector<MouseEvent> Points;  // what each mouse call carried
  bool Throw = false;
  std::function<void()> Then;  // runs after each call is recorded
  void Record(const std::string& call) {
    Calls.push_back(call);
    if (Then) Then();
    if (Throw) throw std::runtime_error("boom " + call);
  }
  static std::string Name(MouseButton b) {
    return b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M";
  }
  void HandleMouseDown(const MouseEvent& e) override {
    Points.push_back(e);
    Record("down " + Name(e.Button));
  }
  void HandleMouseMove(const MouseEvent& e) override {
    Points.push_back(e);
    Record("move");
  }
  void HandleMouseUp(const MouseEvent& e) override {
    Points.push_back(e);
    Record("up " + Name(e.Button));
  }
  void HandleMouseLeave() override { Record("leave"); }
  void HandleDoubleClick(const MouseEvent& e) override {
    Points.push_back(e);
    Record("double");
  }
  void HandleCloseRequest() override { Record("close"); }
  void HandlePaint() override { Record("paint"); }
  void HandleFocus() override { Record("focus"); }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : Calls) n += c == call;
    return n;
  }
};

// Only the requests a window passes on: dialog keys, density, context menu.
struct Requests : WindowHandler {
  Strings Calls;
  Rect Suggested;
  void HandleContextMenu(Point, bool keyboard) override {
    Calls.push_back(keyboard ? "menu key" : "menu mouse");
  }
  bool HandleDialogKey(DialogKey key) override {
    Calls.push_back(key == DialogKey::Enter ? "enter" : "escape");
    return true;
  }
  void HandleDpiChanged(int dpi, const Rect& suggested) override {
    Suggested = suggested;
    Calls.push_back("dpi " + std::to_string(dpi));
  }
};

WindowParams RulerAt(Rect bounds) { return {WindowKind::Ruler, "Vantori Rulers", bounds}; }

class Win32Windows : public Win32Test {
 protected:
  // The default ruler, shown fully opaque, so that its pixels on the screen
  // are exactly what it presents.
  std::unique_ptr<Window> ShownOpaqueRuler() {
    auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
    window->SetRegion({0, 0, 650, 50});
    window->SetVisible(true);
    window->SetOpacity(false, 0);
    Pump();
    return window;
  }

  Recorder Handler;
};

TEST_F(Win32Windows, ARulerIsABorderlessStayOnTopPopupOwnedByTheApplicationWindow) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  wchar_t text[64] = {};
  ::GetClassNameW(hwnd, text, 64);
  EXPECT_TRUE(std::wstring_view(text) == L"TRulerForm") << "ruler class name";
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE((style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)))
      << "borderless popup";
  EXPECT_TRUE((exStyle & WS_EX_TOPMOST) && (exStyle & WS_EX_LAYERED)) << "stay-on-top and layered";
  EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), Os().AppWindow()) << "owned by the application window";
  EXPECT_FALSE(::IsWindowVisible(hwnd)) << "hidden at creation";
  EXPECT_EQ(window->Bounds(), (Rect{358, 359, 650, 50})) << "initial bounds";
}

TEST_F(Win32Windows, OpacityIsConstantWhileOnAndLeavesLayeredModeWhenOff) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  BYTE alpha = 0;
  DWORD flags = 0;
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  EXPECT_TRUE(alpha == 255 && (flags & LWA_ALPHA)) << "opaque until told otherwise";
  window->SetOpacity(true, 192);
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  EXPECT_TRUE(alpha == 192 && (flags & LWA_ALPHA)) << "constant opacity";
  window->SetOpacity(false, 192);
  EXPECT_FALSE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)
      << "opacity off leaves layered mode";
  window->SetOpacity(true, 100);
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  EXPECT_TRUE((::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) && alpha == 100)
      << "opacity on again";
}

TEST_F(Win32Windows, BoundsAndRegionRoundTripAndShowingDoesNotActivate) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  for (const Rect& r :
       {Rect{658, 59, 50, 650}, Rect{-100, -20, 300, 40}, Rect{358, 359, 650, 50}}) {
    window->SetBounds(r);
    EXPECT_EQ(window->Bounds(), r) << "bounds round trip";
  }
  for (const Rect& r : {Rect{0, 0, 650, 50}, Rect{0, 0, 100, 20}}) {
    window->SetRegion(r);
    RECT box{};
    ::GetWindowRgnBox(hwnd, &box);
    EXPECT_TRUE(box.left == r.Left && box.top == r.Top && box.right == r.Width &&
                box.bottom == r.Height)
        << "the region is the rectangle";
  }
  window->SetRegion({0, 0, 650, 50});
  window->SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(hwnd) && ::GetActiveWindow() != hwnd)
      << "showing does not activate";
}

TEST_F(Win32Windows, MouseCloseAndEraseMessagesBecomeHandlerCalls) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  window->SetVisible(true);
  const std::pair<UINT, const char*> mouse[] = {
      {WM_LBUTTONDOWN, "down L"}, {WM_RBUTTONDOWN, "down R"}, {WM_MBUTTONDOWN, "down M"},
      {WM_LBUTTONUP, "up L"},     {WM_RBUTTONUP, "up R"},     {WM_MBUTTONUP, "up M"},
      {WM_MOUSEMOVE, "move"},     {WM_MOUSELEAVE, "leave"},
  };
  for (auto [msg, call] : mouse) {
    Handler.Calls.clear();
    ::SendMessageW(hwnd, msg, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Handler.Calls, Strings{call});
  }
  // Each carries the point the user acted at, in the window and on the
  // screen, wherever the pointer is by now.
  ::SetCursorPos(5, 5);
  for (UINT msg : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
    Handler.Points.clear();
    ::SendMessageW(hwnd, msg, MK_LBUTTON | MK_SHIFT, MAKELPARAM(17, 6));
    ASSERT_FALSE(Handler.Points.empty());
    for (const MouseEvent& e : Handler.Points) {
      EXPECT_TRUE(e.Window == (Point{17, 6}) && e.Screen == (Point{375, 365}) && e.LeftHeld &&
                  !e.RightHeld)
          << "message " << msg;
    }
  }
  // A double-click's second press is a press as well.
  EXPECT_NE(::GetClassLongPtrW(hwnd, GCL_STYLE) & CS_DBLCLKS, 0) << "rulers hear double-clicks";
  Handler.Calls.clear();
  ::SendMessageW(hwnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Handler.Calls, (Strings{"down L", "double"}));
  Handler.Calls.clear();
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Handler.Calls == Strings{"close"} && ::IsWindow(hwnd)) << "a close request only asks";
  Handler.Calls.clear();
  EXPECT_TRUE(::SendMessageW(hwnd, WM_ERASEBKGND, 0, 0) == 0 && Handler.Calls == Strings{"paint"})
      << "a ruler paints in place of erasing";
}

TEST_F(Win32Windows, PresentCopiesThePictureRedInTheLowByte) {
  auto window = ShownOpaqueRuler();
  const HWND hwnd = HwndOf(*window);
  Image picture(650, 50, 0x00204060);
  for (int y = 0; y < 50; ++y) picture.SetPixel(10, y, 0x000000FF);
  window->Present(picture);
  WindowDc dc(hwnd);
  EXPECT_EQ(::GetPixel(dc.Get(), 5, 5), 0x00204060u);
  EXPECT_EQ(::GetPixel(dc.Get(), 10, 20), 0x000000FFu);
}

TEST_F(Win32Windows, AnInvalidatedAreaIsPaintedAndPresentedAlone) {
  auto window = ShownOpaqueRuler();
  const HWND hwnd = HwndOf(*window);
  window->Present(Image(650, 50, 0x00204060));
  window->Invalidate({20, 5, 3, 4});
  RECT update{};
  ASSERT_TRUE(::GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_TRUE(update.left == 20 && update.top == 5 && update.right == 23 && update.bottom == 9);
  const Image black(650, 50, 0x00000000);
  Handler.Then = [&] { window->Present(black); };
  ::UpdateWindow(hwnd);
  Handler.Then = nullptr;
  WindowDc dc(hwnd);
  EXPECT_EQ(::GetPixel(dc.Get(), 21, 6), 0u) << "the area is presented";
  EXPECT_EQ(::GetPixel(dc.Get(), 24, 6), 0x00204060u) << "and nothing beside it";
  EXPECT_EQ(::GetPixel(dc.Get(), 5, 5), 0x00204060u);
}

TEST_F(Win32Windows, AHandlersErrorIsShownAndAFailedPaintStillValidates) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  window->SetVisible(true);
  Pump();
  Handler.Throw = true;
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(Os().Errors, Strings{"boom down L"}) << "handler errors are shown";
  ::InvalidateRect(hwnd, nullptr, FALSE);
  ::UpdateWindow(hwnd);
  EXPECT_TRUE(Os().Errors.size() == 2 && !::GetUpdateRect(hwnd, nullptr, FALSE))
      << "a failed paint still validates";
}

TEST_F(Win32Windows, DestructionDestroysTheWindowQuietly) {
  auto window = Os().CreateTopLevel(RulerAt({358, 359, 650, 50}), Handler);
  const HWND hwnd = HwndOf(*window);
  window->SetVisible(true);
  Pump();
  Handler.Calls.clear();
  window.reset();
  EXPECT_TRUE(!::IsWindow(hwnd) && Handler.Calls.empty() && Os().Errors.empty());
}

TEST_F(Win32Windows, ADialogHasACaptionASystemMenuAndIsOwnedAndPlaced) {
  auto window = Os().CreateTopLevel({WindowKind::Dialog, "Options", {50, 60, 400, 300}}, Handler);
  const HWND hwnd = HwndOf(*window);
  wchar_t text[64] = {};
  ::GetClassNameW(hwnd, text, 64);
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_TRUE(std::wstring_view(text) == L"TVantoriDialog" && (style & WS_CAPTION) == WS_CAPTION &&
              (style & WS_SYSMENU))
      << "a dialog has a caption and a system menu";
  EXPECT_TRUE(::GetWindow(hwnd, GW_OWNER) == Os().AppWindow() &&
              window->Bounds() == (Rect{50, 60, 400, 300}))
      << "a dialog is owned and placed";
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Handler.Count("close") == 1 && ::IsWindow(hwnd))
      << "a dialog's close request only asks";
}

// A handler that destroys its own window, and may fail after that.
TEST_F(Win32Windows, AHandlerMayDestroyItsOwnWindowAndFailAfterThat) {
  const std::pair<UINT, const char*> messages[] = {
      {WM_CLOSE, "close"}, {WM_LBUTTONDOWN, "down"}, {WM_PAINT, "paint"}, {WM_ERASEBKGND, "paint"}};
  for (bool fails : {false, true}) {
    for (auto [msg, name] : messages) {
      SCOPED_TRACE(std::string(name) + (fails ? ", failing" : ""));
      Recorder handler;
      std::unique_ptr<Window> window = Os().CreateTopLevel(RulerAt({0, 0, 100, 20}), handler);
      const HWND hwnd = HwndOf(*window);
      window->SetVisible(true);
      Pump();
      handler.Then = [&window] { window.reset(); };
      handler.Throw = fails;
      Os().Errors.clear();
      if (msg == WM_PAINT) {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
      } else {
        WindowDc dc(hwnd);
        ::SendMessageW(hwnd, msg, reinterpret_cast<WPARAM>(dc.Get()), 0);
      }
      EXPECT_TRUE(!window && !::IsWindow(hwnd) && Os().Errors.size() == (fails ? 1u : 0u));
    }
  }
}

TEST_F(Win32Windows, MouseCaptureIsTheWindowsUntilItReleasesIt) {
  Recorder other;
  auto first = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), Handler);
  auto second = Os().CreateTopLevel(RulerAt({100, 200, 300, 40}), other);
  first->SetVisible(true);
  second->SetVisible(true);
  first->CaptureMouse();
  EXPECT_TRUE(first->HasMouseCapture() && !second->HasMouseCapture()) << "capture";
  second->ReleaseMouse();
  EXPECT_TRUE(first->HasMouseCapture()) << "another window's release keeps the capture";
  first->ReleaseMouse();
  EXPECT_FALSE(first->HasMouseCapture()) << "release";
}

TEST_F(Win32Windows, FocusChangesAreReportedAndADestructionsLater) {
  Recorder a, b;
  auto first = Os().CreateTopLevel(RulerAt({100, 100, 300, 40}), a);
  auto second = Os().CreateTopLevel(RulerAt({100, 200, 300, 40}), b);
  first->SetVisible(true);
  second->SetVisible(true);
  first->Raise();
  first->Focus();
  Pump();
  EXPECT_TRUE(::GetActiveWindow() == HwndOf(*first) && ::GetFocus() == HwndOf(*first))
      << "raise and focus";
  EXPECT_GE(a.Count("focus"), 1) << "the focus reported";
  const int before = a.Count("focus");
  second->Raise();
  second->Focus();
  first->Focus();
  first->Focus();
  Pump();
  EXPECT_TRUE(a.Count("focus") > before && b.Count("focus") >= 1) << "each change reported";

  // The activation that moves on while a window goes is reported afterwards.
  b.Calls.clear();
  first.reset();
  const bool secondActive = ::GetActiveWindow() == HwndOf(*second);
  EXPECT_TRUE(b.Calls.empty()) << "nothing reported during a destruction";
  Pump();
  EXPECT_EQ(b.Count("focus") > 0, secondActive) << "the deferred focus report";
}

// What a window's messages turn into: the dialog keys as the dialog manager
// reports them, a new density, and the requests for the context menu.
TEST_F(Win32Windows, DialogKeysDensityAndContextMenuRequests) {
  Requests dialog, ruler;
  auto d = Os().CreateTopLevel({WindowKind::Dialog, "Dialog", {40, 50, 300, 200}}, dialog);
  auto r = Os().CreateTopLevel({WindowKind::Ruler, "Ruler", {100, 200, 300, 40}}, ruler);
  const HWND dh = HwndOf(*d);
  const HWND button = ::CreateWindowExW(0, L"BUTTON", L"y", WS_CHILD, 0, 0, 10, 10, dh,
                                        reinterpret_cast<HMENU>(1001), nullptr, nullptr);
  RECT suggested{10, 20, 610, 420};
  const auto dpi = MAKEWPARAM(144, 144);
  const auto rect = reinterpret_cast<LPARAM>(&suggested);
  const auto from = reinterpret_cast<LPARAM>(button);
  struct Case {
    const char* What;
    bool ToDialog;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    Strings Expected;
    int Shift = -1;
  };
  const Case cases[] = {
      {"Ok", true, WM_COMMAND, IDOK, 0, {"enter"}},
      {"Cancel", true, WM_COMMAND, IDCANCEL, 0, {"escape"}},
      {"Ok naming a control", true, WM_COMMAND, IDOK, from, {"enter"}},
      {"a control's news is no key", true, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), from, {}},
      {"a dialog scales", true, WM_DPICHANGED, dpi, rect, {"dpi 144"}},
      {"a ruler hears of a density too", false, WM_DPICHANGED, dpi, rect, {"dpi 144"}},
      {"the right button's menu", false, WM_CONTEXTMENU, 0, MAKELPARAM(130, 215), {"menu mouse"}},
      {"the keyboard's menu", false, WM_CONTEXTMENU, 0, -1, {"menu key"}},
      // The program takes Shift+F10 before dispatch; here it reaches the system's default.
      {"Shift+F10 dispatched", false, WM_SYSKEYDOWN, VK_F10, 0, {"menu key"}, 0x80},
      {"F10 alone", false, WM_SYSKEYDOWN, VK_F10, 0, {}, 0},
  };
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE shift = keys[VK_SHIFT];
  for (const Case& c : cases) {
    Requests& to = c.ToDialog ? dialog : ruler;
    if (c.Shift >= 0) {
      keys[VK_SHIFT] = static_cast<BYTE>(c.Shift);
      ::SetKeyboardState(keys);
    }
    to.Calls.clear();
    ::SendMessageW(HwndOf(c.ToDialog ? *d : *r), c.Msg, c.W, c.L);
    EXPECT_EQ(to.Calls, c.Expected) << c.What;
  }
  keys[VK_SHIFT] = shift;
  ::SetKeyboardState(keys);
  EXPECT_EQ(dialog.Suggested, (Rect{10, 20, 600, 400})) << "the dialog's suggested place";

  // The keyboard's Enter and Esc reach the dialog through the loop.
  dialog.Calls.clear();
  ::SetFocus(button);
  PostKey(button, VK_ESCAPE);
  PostKey(button, VK_RETURN);
  RunUntil(Os(), [&dialog] { return dialog.Calls.size() >= 2; });
  EXPECT_EQ(dialog.Calls, (Strings{"escape", "enter"})) << "Esc and Enter in a dialog";
}

TEST_F(Win32Windows, ADialogShowsTwoIconsAndReleasesTheReplacedOnes) {
  auto d = Os().CreateTopLevel({WindowKind::Dialog, "Dialog", {40, 50, 300, 200}}, Handler);
  const HWND dh = HwndOf(*d);
  const long icons = LiveHandles(HandleKind::Icon);
  for (int i = 0; i < 3; ++i) d->SetIcon(HalfOpaque(16, 0xFF0000), HalfOpaque(32, 0xFF0000));
  EXPECT_TRUE(::SendMessageW(dh, WM_GETICON, ICON_SMALL, 0) &&
              ::SendMessageW(dh, WM_GETICON, ICON_BIG, 0));
  EXPECT_EQ(LiveHandles(HandleKind::Icon), icons + 2);
}

}  // namespace
}  // namespace vr::win32::test
