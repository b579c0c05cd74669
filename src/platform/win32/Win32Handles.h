#pragma once
// Owners for the Win32 handles this layer creates, one small type per kind, so
// that every way out of a function, exceptions included, releases them. A
// ruler renders on every key press: one leaked font per render would exhaust
// the GDI heap in an afternoon.

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <type_traits>
#include <utility>

namespace vr::win32 {

// Every live handle of the owners below is counted by kind, so that a test can
// tell that menus, dialogs and tray pictures made over and over leave nothing
// behind.
enum class HandleKind : int { Gdi, Dc, Key, Window, Icon, Menu, Other, Count };
inline constexpr int kHandleKinds = static_cast<int>(HandleKind::Count);

inline std::array<std::atomic<long>, kHandleKinds>& LiveHandleCounts() {
  static std::array<std::atomic<long>, kHandleKinds> counts{};
  return counts;
}
inline void CountHandle(HandleKind kind, long change) {
  LiveHandleCounts()[static_cast<size_t>(kind)] += change;
}
inline long LiveHandles(HandleKind kind) {
  return LiveHandleCounts()[static_cast<size_t>(kind)].load();
}
inline long LiveHandles() {
  long total = 0;
  for (const auto& count : LiveHandleCounts()) total += count.load();
  return total;
}

struct GdiObjectRelease {
  static constexpr HandleKind kKind = HandleKind::Gdi;
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct MemoryDcRelease {
  static constexpr HandleKind kKind = HandleKind::Dc;
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
struct KeyRelease {
  static constexpr HandleKind kKind = HandleKind::Key;
  void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
struct WindowRelease {
  static constexpr HandleKind kKind = HandleKind::Window;
  void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
struct IconRelease {
  static constexpr HandleKind kKind = HandleKind::Icon;
  void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};
struct GlobalMemoryRelease {
  void operator()(HGLOBAL memory) const noexcept { ::GlobalFree(memory); }
};
struct MenuRelease {
  static constexpr HandleKind kKind = HandleKind::Menu;
  void operator()(HMENU menu) const noexcept { ::DestroyMenu(menu); }
};

struct KernelObjectRelease {
  void operator()(HANDLE object) const noexcept { ::CloseHandle(object); }
};
struct MappedViewRelease {
  void operator()(void* view) const noexcept { ::UnmapViewOfFile(view); }
};

template <typename Release>
constexpr HandleKind KindOf() {
  if constexpr (requires { Release::kKind; }) {
    return Release::kKind;
  } else {
    return HandleKind::Other;
  }
}

// Owns one handle, as unique_ptr would, and keeps the live count of its kind.
// release() hands the handle over (to the system, or to another owner), so it
// leaves the count too.
template <typename Handle, typename Release>
class Owned {
 public:
  Owned() noexcept = default;
  explicit Owned(Handle handle) noexcept : Handle_(handle) { Count(Handle_, +1); }
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : Handle_(std::exchange(other.Handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      Handle_ = std::exchange(other.Handle_, nullptr);
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const noexcept { return Handle_; }
  explicit operator bool() const noexcept { return Handle_ != nullptr; }
  // Takes the new handle first, then releases the old one.
  void reset(Handle handle = nullptr) noexcept {
    if (handle == Handle_) return;
    const Handle old = std::exchange(Handle_, handle);
    Count(handle, +1);
    if (old) {
      Release{}(old);
      Count(old, -1);
    }
  }
  [[nodiscard]] Handle release() noexcept {
    Count(Handle_, -1);
    return std::exchange(Handle_, nullptr);
  }

 private:
  static void Count(Handle handle, long change) noexcept {
    if (handle) CountHandle(KindOf<Release>(), change);
  }
  Handle Handle_ = nullptr;
};

using FontHandle = Owned<HFONT, GdiObjectRelease>;
using BitmapHandle = Owned<HBITMAP, GdiObjectRelease>;
using RegionHandle = Owned<HRGN, GdiObjectRelease>;
using MemoryDcHandle = Owned<HDC, MemoryDcRelease>;
using KeyHandle = Owned<HKEY, KeyRelease>;
using WindowHandle = Owned<HWND, WindowRelease>;
using IconHandle = Owned<HICON, IconRelease>;
using MenuHandle = Owned<HMENU, MenuRelease>;
using KernelHandle = Owned<HANDLE, KernelObjectRelease>;
using MappedView = Owned<void*, MappedViewRelease>;
// Memory for the clipboard, until the clipboard takes it.
using GlobalMemoryHandle = Owned<HGLOBAL, GlobalMemoryRelease>;

// A window's DC borrowed with GetDC, handed back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : Window_(window), Dc_(::GetDC(window)) {
    if (Dc_) CountHandle(HandleKind::Dc, +1);
  }
  ~WindowDc() {
    if (!Dc_) return;
    ::ReleaseDC(Window_, Dc_);
    CountHandle(HandleKind::Dc, -1);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return Dc_; }

 private:
  HWND Window_;
  HDC Dc_;
};

// BeginPaint .. EndPaint; EndPaint validates the window even when the paint
// handler failed, so a failing paint does not come back at once.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : Window_(window) {
    Dc_ = ::BeginPaint(window, &Paint_);
    CountHandle(HandleKind::Dc, +1);
  }
  ~PaintScope() {
    ::EndPaint(Window_, &Paint_);
    CountHandle(HandleKind::Dc, -1);
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return Dc_; }
  // The part of the window this paint is for.
  const RECT& Area() const { return Paint_.rcPaint; }

 private:
  HWND Window_;
  PAINTSTRUCT Paint_{};
  HDC Dc_ = nullptr;
};

// The clipboard, open for this thread's window until the scope ends.
class ClipboardScope {
 public:
  explicit ClipboardScope(HWND owner) : Open_(::OpenClipboard(owner) != FALSE) {}
  ~ClipboardScope() {
    if (Open_) ::CloseClipboard();
  }
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;
  bool Open() const { return Open_; }

 private:
  bool Open_;
};

// Selects an object into a DC and puts the previous one back, so the object
// can be deleted afterwards (a selected object can't be).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : Dc_(dc), Previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (Ok()) ::SelectObject(Dc_, Previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  bool Ok() const { return Previous_ != nullptr && Previous_ != HGDI_ERROR; }

 private:
  HDC Dc_;
  HGDIOBJ Previous_;
};

// A hotkey registered for a window, unregistered when it goes. Counted with the
// handles: a chord changed a hundred times leaves one registration.
class HotkeyRegistration {
 public:
  HotkeyRegistration() noexcept = default;
  HotkeyRegistration(HWND window, int id) noexcept : Window_(window), Id_(id) {
    CountHandle(HandleKind::Other, +1);
  }
  ~HotkeyRegistration() { reset(); }
  HotkeyRegistration(HotkeyRegistration&& other) noexcept
      : Window_(std::exchange(other.Window_, nullptr)), Id_(other.Id_) {}
  HotkeyRegistration& operator=(HotkeyRegistration&& other) noexcept {
    if (this != &other) {
      reset();
      Window_ = std::exchange(other.Window_, nullptr);
      Id_ = other.Id_;
    }
    return *this;
  }
  HotkeyRegistration(const HotkeyRegistration&) = delete;
  HotkeyRegistration& operator=(const HotkeyRegistration&) = delete;
  explicit operator bool() const noexcept { return Window_ != nullptr; }
  void reset() noexcept {
    if (!Window_) return;
    ::UnregisterHotKey(std::exchange(Window_, nullptr), Id_);
    CountHandle(HandleKind::Other, -1);
  }

 private:
  HWND Window_ = nullptr;
  int Id_ = 0;
};

// A registered window class, unregistered when it goes. Windows of the class
// must be gone by then, so declare it before the windows that use it.
class ClassRegistration {
 public:
  ClassRegistration() = default;
  explicit ClassRegistration(const WNDCLASSEXW& cls)
      : Name_(cls.lpszClassName), Instance_(cls.hInstance), Atom_(::RegisterClassExW(&cls)) {}
  ~ClassRegistration() {
    if (Atom_) ::UnregisterClassW(Name_, Instance_);
  }
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  bool Ok() const { return Atom_ != 0; }
  ATOM Atom() const { return Atom_; }

 private:
  const wchar_t* Name_ = nullptr;  // a string literal of the caller
  HINSTANCE Instance_ = nullptr;
  ATOM Atom_ = 0;
};

}  // namespace vr::win32
