// Push buttons and check boxes: a click comes back once, a check box's state
// set by the program never; a disabled button takes no click at all.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "platform/win32/Win32ControlBase.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

// A button of the system's: its click comes back as a call of the program's.
template <class Family>
class Win32Clickable : public Win32ControlOf<Family> {
 public:
  Win32Clickable(const ControlSite& site, const ControlPlace& place, DWORD style,
                 const std::string& caption, const ControlFont& font)
      : Win32ControlOf<Family>(site, place) {
    this->Create(WC_BUTTONW, style, 0, Widen(caption));
    this->ApplyFont(font);
  }

  void SetFont(const ControlFont& font) override { this->ApplyFont(font); }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (this->AnswerFaceColors(msg, wParam, result)) return true;
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    if (!this->IsQuiet()) this->Report([this] { Clicked(); });
    return true;
  }

 protected:
  virtual void Clicked() = 0;
};

class Win32Button final : public Win32Clickable<Button> {
 public:
  Win32Button(const ControlSite& site, const ControlPlace& place, const std::string& caption,
              const ControlFont& font, bool isDefault, ClickHandler& handler)
      : Win32Clickable(site, place, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, caption, font),
        Handler_(handler) {}

  void SetEnabled(bool enabled) override {
    if (Hwnd()) ::EnableWindow(Hwnd(), enabled ? TRUE : FALSE);
  }

 private:
  void Clicked() override { Handler_.HandleClick(); }
  ClickHandler& Handler_;
};

class Win32CheckBox final : public Win32Clickable<CheckBox> {
 public:
  Win32CheckBox(const ControlSite& site, const ControlPlace& place, const std::string& caption,
                const ControlFont& font, CheckHandler& handler)
      : Win32Clickable(site, place, BS_AUTOCHECKBOX, caption, font), Handler_(handler) {}

  void SetChecked(bool checked) override {
    if (!Hwnd()) return;
    Quiet quiet(*this);
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
  }

 private:
  // The box has toggled itself by now.
  void Clicked() override { Handler_.HandleToggled(Send(BM_GETCHECK) == BST_CHECKED); }
  CheckHandler& Handler_;
};

}  // namespace

std::unique_ptr<Button> MakeButton(const ControlSite& site, const ControlPlace& place,
                                   const std::string& caption, const ControlFont& font,
                                   bool isDefault, ClickHandler& handler) {
  return std::make_unique<Win32Button>(site, place, caption, font, isDefault, handler);
}

std::unique_ptr<CheckBox> MakeCheckBox(const ControlSite& site, const ControlPlace& place,
                                       const std::string& caption, const ControlFont& font,
                                       CheckHandler& handler) {
  return std::make_unique<Win32CheckBox>(site, place, caption, font, handler);
}

}  // namespace vr::win32
