#pragma once
// Owners for the Win32 handles this layer creates, one small type per kind, so
// that every way out of a function, exceptions included, releases them. A
// ruler renders on every key press: one leaked font per render would exhaust
// the GDI heap in an afternoon.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace vr::win32 {

struct GdiObjectRelease {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct MemoryDcRelease {
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
struct KeyRelease {
  void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
struct WindowRelease {
  void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};

// Every handle kind above is a pointer to an opaque struct, so unique_ptr holds
// it directly and only ever releases a non-null one.
template <typename Handle, typename Release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Release>;

using FontHandle = Owned<HFONT, GdiObjectRelease>;
using BitmapHandle = Owned<HBITMAP, GdiObjectRelease>;
using RegionHandle = Owned<HRGN, GdiObjectRelease>;
using MemoryDcHandle = Owned<HDC, MemoryDcRelease>;
using KeyHandle = Owned<HKEY, KeyRelease>;
using WindowHandle = Owned<HWND, WindowRelease>;

// A window's DC borrowed with GetDC, handed back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : Window_(window), Dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (Dc_) ::ReleaseDC(Window_, Dc_);
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
  explicit PaintScope(HWND window) : Window_(window) { Dc_ = ::BeginPaint(window, &Paint_); }
  ~PaintScope() { ::EndPaint(Window_, &Paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return Dc_; }

 private:
  HWND Window_;
  PAINTSTRUCT Paint_{};
  HDC Dc_ = nullptr;
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

 private:
  const wchar_t* Name_ = nullptr;  // a string literal of the caller
  HINSTANCE Instance_ = nullptr;
  ATOM Atom_ = 0;
};

}  // namespace vr::win32
