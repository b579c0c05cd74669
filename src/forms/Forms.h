#pragma once
// The application object and the form base class: who owns the windows, which
// window is active, the window list in focus order, the main-window rule.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/Actions.h"
#include "platform/Platform.h"

namespace vr {

class TApplication;
class TModalScope;

// What a form asks of each control it holds. The controls are made of forms,
// so the form knows them only by this.
class TFormControl {
 public:
  // Makes the native control, after its parent's, with the state it has.
  virtual void Make() = 0;
  virtual bool Made() const = 0;
  // Only once made.
  virtual bool HasFocus() const = 0;
  virtual bool TabStop() const = 0;
  // Visible, and so is every parent.
  virtual bool ShownOnScreen() const = 0;
  virtual void SetFocus() = 0;
  // The form's monitor changed its density: bounds and font again.
  virtual void Rescale() = 0;
  // Enter or Esc in the form; true when this control took it.
  virtual bool HandleDialogKey(DialogKey key) = 0;

 protected:
  ~TFormControl() = default;
};

// What a form asks of its context menu.
class TContextMenu {
 public:
  // Opens the menu at a screen point and runs the chosen item; nothing when
  // it is dismissed or the program is ending meanwhile.
  virtual void Popup(Point at) = 0;
  // Runs the item with this shortcut, if any; true when there was one.
  virtual bool IsShortCut(TShortCut shortcut) const = 0;

 protected:
  ~TContextMenu() = default;
};

// A length designed at 96 dots per inch, at another density (rounded to nearest).
int ScaleForDpi(int value, int dpi);

// A dialog window of the program: fixed frame, close box only, above the
// rulers, which stay on top of everything else. Its size comes from its
// client area, set when the form is made.
WindowParams DialogWindow(const std::string& caption);

// What a modal form's run ended with.
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// A font's face, colour and size; any change is reported through OnChange.
class TFont {
 public:
  const std::string& Name() const { return Name_; }
  TColor Color() const { return Color_; }
  int Height() const { return Height_; }
  void SetName(const std::string& name);
  void SetColor(TColor color);
  void SetHeight(int height);
  // Copies face, colour and size and reports one change.
  void Assign(const TFont& other);
  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::string Name_ = "Arial";
  TColor Color_ = 0x000000;
  int Height_ = -11;
};

// What a close does once the close handler has run.
enum class TCloseAction { None, Hide, Free };

// A top-level window of the program. It joins the application's window list
// when it is made and leaves it when it goes.
class TForm : public WindowHandler {
 public:
  TForm(TApplication& owner, const WindowParams& params);
  ~TForm() override;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  TApplication& Owner() const { return Owner_; }
  Window& NativeWindow() const { return *Window_; }

  bool Visible() const { return Visible_; }
  // Showing runs FormShow first, so the form is drawn with its fresh contents.
  void SetVisible(bool visible);
  // Visible, on top and focused.
  void Show();
  void Hide() { SetVisible(false); }
  void BringToFront();
  void SetFocus();
  // As the windowing system's close request: runs the close handler, then
  // hides the form, or ends the program when it is the main form. A modal
  // form's run ends with mrCancel instead.
  void Close();

  // Shows the form and runs messages until its ModalResult is set (a button
  // with a modal result, Enter, Esc, the close box) or the program is asked
  // to end; the other windows take no input meanwhile. Returns the result.
  int ShowModal();
  int ModalResult() const { return ModalResult_; }
  // False while a modal dialog keeps input from the form.
  bool Enabled() const { return DisabledBy_ == nullptr; }
  void SetModalResult(int result) { ModalResult_ = result; }

  TColor Color() const { return Color_; }
  void SetColor(TColor c) { Color_ = c; }
  TFont& Font() { return Font_; }
  const TFont& Font() const { return Font_; }

  // The context menu, opened by the right button or the keyboard; its
  // shortcuts work while the form has the focus.
  TContextMenu* PopupMenu = nullptr;

  // Dialog layout, in pixels designed at 96 dots per inch.
  int Dpi() const { return Dpi_; }
  int Scaled(int value) const { return ScaleForDpi(value, Dpi_); }
  Rect Scaled(const Rect& r) const;
  int ClientWidth() const { return ClientWidth_; }
  int ClientHeight() const { return ClientHeight_; }
  void SetClientSize(int width, int height);
  // Centres the window on the primary display.
  void CenterOnScreen();
  // The window's icon, drawn at the small (16) and large (32) sizes scaled to
  // the monitor's density, and drawn again when that changes.
  void SetIcon(std::function<MaskedImage(int size)> draw);

  // WindowHandler
  void HandleCloseRequest() override { Close(); }
  void HandleFocus() override;
  // A dialog gives the keyboard back to the control that had it when the
  // dialog last lost the activation, as native dialogs do; the first tab
  // stop if there is none, or if that one can't take it now.
  void HandleActivate(bool active) override;
  void HandleContextMenu(Point screen, bool fromKeyboard) override;
  bool HandleDialogKey(DialogKey key) override;
  void HandleDpiChanged(int dpi, const Rect& suggested) override;

  // The controls report themselves, in the order they are made.
  void ControlCreated(TFormControl* control) { Controls_.push_back(control); }
  void ControlDestroyed(TFormControl* control);
  // The native controls exist: the form has been shown. Until then a form
  // costs one hidden window.
  bool ControlsMade() const { return ControlsMade_; }

 protected:
  virtual void FormClose(TCloseAction& /*action*/) {}
  virtual void FormShow() {}

 private:
  TApplication& Owner_;
  std::unique_ptr<Window> Window_;
  bool Visible_ = false;
  TColor Color_ = 0xFFFFFF;
  TFont Font_;
  int ModalResult_ = mrNone;
  bool Modal_ = false;
  // The modal dialog that keeps input from the form, if one does.
  friend class TModalScope;
  const TModalScope* DisabledBy_ = nullptr;
  int Dpi_ = 96;
  int ClientWidth_ = 0;
  int ClientHeight_ = 0;
  std::vector<TFormControl*> Controls_;
  bool ControlsMade_ = false;
  std::function<MaskedImage(int size)> Icon_;
  // The control that had the keyboard when the form last lost the activation.
  TFormControl* LastFocused_ = nullptr;
  TFormControl* FocusedControl() const;
  void RestoreControlFocus();
};

// While it lives, every form of the program that takes input now, except the
// dialog that runs, takes none; when it goes, exactly those take input again.
// So a dialog opened over another (About from the tray while About or the
// colour chooser is up) leaves the outer one's windows as that one left them.
// Forms made meanwhile are left alone, forms destroyed meanwhile are forgotten.
class TModalScope {
 public:
  TModalScope(TApplication& app, TForm* dialog);
  ~TModalScope();
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;

 private:
  TApplication& App_;
  TForm* Dialog_;
};

// The one object that owns the loop, the program's windows and modules.
class TApplication : private SessionHandler, private HotkeyHandler {
 public:
  explicit TApplication(Platform& platform);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  Platform& Os() const { return Platform_; }
  const std::string& Title() const { return Title_; }
  void SetTitle(const std::string& title);

  // The window whose close ends the run: ruler 0. The program owns its
  // windows; the application only knows them.
  TForm* MainForm() const { return MainForm_; }
  void SetMainForm(TForm* form) { MainForm_ = form; }

  // The window that most recently received the focus; kept while the program
  // is in the background or the window is hidden, cleared when it goes.
  TForm* ActiveForm() const { return ActiveForm_; }
  // Every form of the program, most recently focused first.
  const std::vector<TForm*>& WindowList() const { return WindowList_; }

  // The program-wide message filter and active-window-change handler; each
  // installation replaces the previous one.
  std::function<void(const Message&, bool&)> OnMessage;
  std::function<void(TForm* sender)> OnActiveFormChange;

  // The run ends on the user's terms: the main form was closed (closed, its
  // close handler has run) or the session ends (nullptr). Runs once, before
  // the loop is asked to stop.
  std::function<void(TForm* closed)> OnEnding;
  // The session ends: after OnEnding, what must go before the system ends the
  // process without a close (the tray icon). Nothing here may wait for the
  // user: a failure is dropped.
  std::function<void()> OnSessionEnd;
  // Another start of the program asks this one to come forward. A modal
  // dialog that runs comes in front afterwards: it is what waits for the user.
  std::function<void()> OnShowRequest;
  // The user pressed the program's hotkey, wherever the keyboard was. While a
  // modal dialog runs it is not called: the dialog comes in front instead, if
  // it is one of the program's, since it is what waits for the user.
  std::function<void()> OnHotkey;
  // The modal dialog that runs now, the innermost where one runs over another.
  TForm* ModalForm() const { return ModalForms_.empty() ? nullptr : ModalForms_.back(); }
  // A modal dialog runs: one of the program's or one of the system's (the
  // colour chooser).
  bool ModalRunning() const { return ModalScopes_ > 0; }

  // The program's own icon, small (16) and large (32).
  MaskedImage SmallIcon;
  MaskedImage LargeIcon;

  // Shows the main form and runs the message loop until Terminate, or until
  // Abort; then it hides the program's windows and throws the error Abort
  // was given.
  void Run();
  void Terminate();
  bool Terminated() const { return Terminated_; }
  // The main form's close ends the run: OnEnding, then Terminate.
  void EndRun(TForm* closed);
  // Ends the run on an error found in the loop that start-up would have
  // failed on: no window is closed, so nothing is saved, and Run throws it.
  void Abort(const std::string& error);
  // Handles the messages already waiting, then returns.
  void ProcessMessages();
  // Every message taken from the queue, before its normal handling: the
  // program-wide filter, then the shortcuts of the focused form's context
  // menu. true: taken, it goes no further. An error escaping either is shown
  // and the message goes no further either; the loop goes on with the next.
  bool HandleMessage(const Message& msg);
  // An error that escaped the handling of a message, shown to the user. A
  // box runs a loop of its own, where the same fault may strike again (a
  // paint, a mouse move): those are shown one after another, each text once,
  // instead of boxes stacked on boxes.
  void ReportError(const std::string& text);
  // The form a message is for, if it is one of ours.
  TForm* FormOf(const WindowHandler* target) const;

  // Reports from the forms.
  void FormCreated(TForm* form);
  void FormDestroyed(TForm* form);
  void FormFocused(TForm* form);
  // The run is over and its windows go: nobody hears of it, no handler runs.
  void ShutDown();

 private:
  friend class TModalScope;
  void ActiveFormChanged();
  // SessionHandler: the query is answered at once, and always yes.
  bool HandleSessionEnding() override { return true; }
  void HandleSessionEnd(bool ending) override;
  void HandleShowRequest() override;
  // HotkeyHandler
  void HandleHotkey(KeyChord chord) override;

  Platform& Platform_;
  std::string Title_;
  TForm* MainForm_ = nullptr;
  TForm* ActiveForm_ = nullptr;
  std::vector<TForm*> WindowList_;
  bool Destroying_ = false;
  bool Terminated_ = false;
  bool Ending_ = false;
  std::vector<TForm*> ModalForms_;
  int ModalScopes_ = 0;
  bool ShowingError_ = false;
  std::string ErrorOnShow_;
  std::vector<std::string> PendingErrors_;
  std::optional<std::string> AbortError_;
};

}  // namespace vr
