// Text boxes: each edit of the user's comes back with the text it left, the
// program's own text never.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "platform/win32/Win32ControlBase.h"
#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

class Win32Edit final : public Win32ControlOf<Edit> {
 public:
  Win32Edit(const ControlSite& site, const ControlPlace& place, const ControlFont& font,
            EditHandler& handler)
      : Win32ControlOf(site, place), Handler_(handler) {
    Create(WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"");
    ApplyFont(font);
  }

  void SetFont(const ControlFont& font) override { ApplyFont(font); }

  // The box sends EN_CHANGE for this too.
  void SetText(const std::string& text) override {
    if (Hwnd()) SetWindowTextQuietly(Widen(text));
  }

  bool Route(UINT msg, WPARAM wParam, LPARAM, LRESULT&) override {
    if (msg != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    if (IsQuiet()) return true;
    EditHandler& handler = Handler_;
    const std::string text = Narrow(WindowText());
    Report([&handler, &text] { handler.HandleTextEdited(text); });
    return true;
  }

 private:
  EditHandler& Handler_;
};

}  // namespace

std::unique_ptr<Edit> MakeEdit(const ControlSite& site, const ControlPlace& place,
                               const ControlFont& font, EditHandler& handler) {
  return std::make_unique<Win32Edit>(site, place, font, handler);
}

}  // namespace vr::win32
