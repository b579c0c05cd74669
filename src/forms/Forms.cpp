#include "forms/Forms.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace vr {

int ScaleForDpi(int value, int dpi) {
  if (dpi == 96) return value;
  const int64_t scaled = static_cast<int64_t>(value) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 48) / 96));
}

WindowParams DialogWindow(const std::string& caption) {
  WindowParams p;
  p.Kind = WindowKind::Dialog;
  p.Caption = caption;
  p.StayOnTop = true;
  return p;
}

// ---------------------------------------------------------------- TFont

void TFont::SetName(const std::string& name) {
  if (name == Name_) return;
  Name_ = name;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == Color_) return;
  Color_ = color;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == Height_) return;
  Height_ = height;
  Changed();
}

void TFont::Assign(const TFont& other) {
  Name_ = other.Name_;
  Color_ = other.Color_;
  Height_ = other.Height_;
  Changed();
}

// ---------------------------------------------------------------- TForm

TForm::TForm(TApplication& owner, const WindowParams& params)
    : Owner_(owner), Window_(owner.Os().CreateTopLevel(params, *this)) {
  Dpi_ = std::max(Window_->Dpi(), 1);
  Owner_.FormCreated(this);
}

TForm::~TForm() {
  Owner_.FormDestroyed(this);
  Window_.reset();
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible_) return;
  if (visible && !ControlsMade_) {
    ControlsMade_ = true;
    for (TFormControl* c : Controls_) c->Make();
  }
  if (visible) FormShow();
  Visible_ = visible;
  Window_->SetVisible(visible);
}

void TForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TForm::BringToFront() { Window_->Raise(); }

void TForm::SetFocus() {
  // Focusing the window may take the keyboard from its control: noted first.
  if (TFormControl* c = FocusedControl()) LastFocused_ = c;
  Window_->Focus();
  RestoreControlFocus();
}

TFormControl* TForm::FocusedControl() const {
  for (TFormControl* c : Controls_)
    if (c->Made() && c->HasFocus()) return c;
  return nullptr;
}

void TForm::RestoreControlFocus() {
  if (Controls_.empty() || FocusedControl()) return;
  TFormControl* target = nullptr;
  if (LastFocused_ && LastFocused_->TabStop() && LastFocused_->ShownOnScreen()) {
    target = LastFocused_;
  } else {
    for (TFormControl* c : Controls_) {
      if (c->TabStop() && c->ShownOnScreen()) {
        target = c;
        break;
      }
    }
  }
  if (target) target->SetFocus();
}

void TForm::HandleActivate(bool active) {
  if (!active) {
    // The window itself holding the keyboard leaves the last control noted.
    if (TFormControl* c = FocusedControl()) LastFocused_ = c;
    return;
  }
  RestoreControlFocus();
}

void TForm::Close() {
  TCloseAction action = this == Owner_.MainForm() ? TCloseAction::Free : TCloseAction::Hide;
  FormClose(action);
  if (action == TCloseAction::None) return;
  if (Modal_) {
    ModalResult_ = mrCancel;
  } else if (this == Owner_.MainForm()) {
    Owner_.EndRun(this);
  } else {
    Hide();
  }
}

void TForm::HandleFocus() { Owner_.FormFocused(this); }

TModalScope::TModalScope(TApplication& app, TForm* dialog) : App_(app), Dialog_(dialog) {
  ++App_.ModalScopes_;
  // The system's own dialogs have no form to bring forward.
  if (dialog) App_.ModalForms_.push_back(dialog);
  for (TForm* form : App_.WindowList()) {
    if (form == dialog || !form->Enabled()) continue;
    form->DisabledBy_ = this;
    form->NativeWindow().SetEnabled(false);
  }
}

TModalScope::~TModalScope() {
  --App_.ModalScopes_;
  if (Dialog_) std::erase(App_.ModalForms_, Dialog_);
  // The list holds the live forms only; one made meanwhile was never ours.
  for (TForm* form : App_.WindowList()) {
    if (form->DisabledBy_ != this) continue;
    form->DisabledBy_ = nullptr;
    form->NativeWindow().SetEnabled(true);
  }
}

int TForm::ShowModal() {
  ModalResult_ = mrNone;
  Modal_ = true;
  struct Restore {
    TForm& Self;
    ~Restore() {
      Self.Modal_ = false;
      Self.Hide();
    }
  } restore{*this};
  // The other windows take no input while the dialog runs. Gone before the
  // dialog hides, so that the activation can fall back on them.
  TModalScope others(Owner_, this);
  Show();
  SetFocus();
  TApplication& app = Owner_;
  const bool goOn =
      Owner_.Os().RunModalLoop([&app](const Message& msg) { return app.HandleMessage(msg); },
                               [this] { return ModalResult_ != mrNone; });
  // Ended by a quit request, or with nobody left to answer it.
  if (!goOn || ModalResult_ == mrNone) ModalResult_ = mrCancel;
  return ModalResult_;
}

Rect TForm::Scaled(const Rect& r) const {
  return {Scaled(r.Left), Scaled(r.Top), Scaled(r.Width), Scaled(r.Height)};
}

void TForm::SetClientSize(int width, int height) {
  ClientWidth_ = width;
  ClientHeight_ = height;
  Window_->SetClientSize(Scaled(width), Scaled(height));
}

void TForm::CenterOnScreen() {
  const Rect b = Window_->Bounds();
  const Point display = Owner_.Os().PrimaryDisplaySize();
  Window_->SetBounds({(display.X - b.Width) / 2, (display.Y - b.Height) / 2, b.Width, b.Height});
}

void TForm::SetIcon(std::function<MaskedImage(int size)> draw) {
  Icon_ = std::move(draw);
  if (Icon_) Window_->SetIcon(Icon_(Scaled(16)), Icon_(Scaled(32)));
}

void TForm::HandleContextMenu(Point screen, bool /*fromKeyboard*/) {
  if (PopupMenu) PopupMenu->Popup(screen);
}

bool TForm::HandleDialogKey(DialogKey key) {
  // Copied: a button's click may close the form and take its controls along.
  const std::vector<TFormControl*> controls = Controls_;
  for (TFormControl* c : controls) {
    if (c->HandleDialogKey(key)) return true;
  }
  return false;
}

void TForm::HandleDpiChanged(int dpi, const Rect& suggested) {
  if (dpi <= 0 || dpi == Dpi_) return;
  Dpi_ = dpi;
  Window_->SetBounds(suggested);
  if (ClientWidth_ > 0 || ClientHeight_ > 0)
    Window_->SetClientSize(Scaled(ClientWidth_), Scaled(ClientHeight_));
  for (TFormControl* c : Controls_) c->Rescale();
  if (Icon_) Window_->SetIcon(Icon_(Scaled(16)), Icon_(Scaled(32)));
}

void TForm::ControlDestroyed(TFormControl* control) {
  std::erase(Controls_, control);
  if (LastFocused_ == control) LastFocused_ = nullptr;
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(Platform& platform) : Platform_(platform) {
  Platform_.SetSessionHandler(this);
  Platform_.SetHotkeyHandler(this);
  Platform_.SetErrorHandler([this](const std::string& text) { ReportError(text); });
}

TApplication::~TApplication() {
  ShutDown();
  Platform_.SetErrorHandler(nullptr);
  Platform_.SetHotkeyHandler(nullptr);
  Platform_.SetSessionHandler(nullptr);
}

void TApplication::ReportError(const std::string& text) {
  if (ShowingError_) {
    if (text != ErrorOnShow_ &&
        std::find(PendingErrors_.begin(), PendingErrors_.end(), text) == PendingErrors_.end())
      PendingErrors_.push_back(text);
    return;
  }
  ShowingError_ = true;
  struct Done {
    TApplication& App;
    ~Done() {
      App.ShowingError_ = false;
      App.ErrorOnShow_.clear();
    }
  } done{*this};
  ErrorOnShow_ = text;
  for (;;) {
    Platform_.ShowErrorBox(ErrorOnShow_);
    if (PendingErrors_.empty()) break;
    ErrorOnShow_ = std::move(PendingErrors_.front());
    PendingErrors_.erase(PendingErrors_.begin());
  }
}

void TApplication::ShutDown() {
  // Teardown is not a change of the active window: nobody is told.
  Destroying_ = true;
  OnMessage = nullptr;
  OnActiveFormChange = nullptr;
  OnEnding = nullptr;
  OnSessionEnd = nullptr;
  OnShowRequest = nullptr;
  OnHotkey = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
  Title_ = title;
  Platform_.SetTitle(title);
}

void TApplication::Run() {
  if (MainForm_) MainForm_->Show();
  Platform_.RunMessageLoop([this](const Message& msg) { return HandleMessage(msg); });
  if (AbortError_) {
    // The error is reported with none of the program's windows on the screen.
    const std::vector<TForm*> forms = WindowList_;
    for (TForm* form : forms) form->Hide();
    throw std::runtime_error(*AbortError_);
  }
}

void TApplication::Terminate() {
  Terminated_ = true;
  Platform_.Quit();
}

void TApplication::EndRun(TForm* closed) {
  if (!Ending_) {
    Ending_ = true;
    if (OnEnding) {
      // Copied first, as the other handlers are.
      auto ending = OnEnding;
      ending(closed);
    }
  }
  Terminate();
}

void TApplication::HandleSessionEnd(bool ending) {
  // A session that goes on after all changes nothing; a program that is
  // ending already has kept what it holds.
  if (!ending || Ending_) return;
  try {
    EndRun(nullptr);
    if (OnSessionEnd) {
      auto sessionEnd = OnSessionEnd;
      sessionEnd();
    }
  } catch (...) {
    // A message box now would hold the log-off back, and the user would
    // lose more than this.
  }
  Terminate();
}

void TApplication::HandleShowRequest() {
  if (Ending_) return;
  try {
    if (OnShowRequest) {
      auto show = OnShowRequest;
      show();
    }
    if (TForm* modal = ModalForm()) {
      modal->BringToFront();
      modal->SetFocus();
    }
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
}

void TApplication::HandleHotkey(KeyChord /*chord*/) {
  if (Ending_) return;
  try {
    if (ModalRunning()) {
      // Rulers hidden or shown under a dialog would leave it answering for
      // windows the user no longer sees.
      if (TForm* modal = ModalForm()) {
        modal->BringToFront();
        modal->SetFocus();
      }
      return;
    }
    if (OnHotkey) {
      auto hotkey = OnHotkey;
      hotkey();
    }
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
}

void TApplication::Abort(const std::string& error) {
  if (!AbortError_) AbortError_ = error;
  Terminate();
}

void TApplication::ProcessMessages() {
  Platform_.ProcessPendingMessages([this](const Message& msg) { return HandleMessage(msg); });
}

TForm* TApplication::FormOf(const WindowHandler* target) const {
  if (!target) return nullptr;
  for (TForm* form : WindowList_) {
    if (static_cast<const WindowHandler*>(form) == target) return form;
  }
  return nullptr;
}

bool TApplication::HandleMessage(const Message& msg) {
  try {
    bool handled = false;
    if (OnMessage) {
      // Copied first: the filter may install a new one while it runs.
      auto filter = OnMessage;
      filter(msg, handled);
    }
    if (handled) return true;
    if (IsKeyDown(msg)) {
      TForm* form = FormOf(msg.Target);
      if (!form) return false;
      if (form->PopupMenu) {
        const TShortCut pressed{msg.Key, msg.Modifiers};
        if (form->PopupMenu->IsShortCut(pressed)) return true;
      }
      // Shift+F10 asks for the context menu on every window of the program,
      // a borderless ruler too; from the keyboard, at the window's centre.
      if (msg.Key == KeyCode::F10 && msg.Modifiers == ModShift) {
        const Rect b = form->NativeWindow().Bounds();
        form->HandleContextMenu({static_cast<int32_t>(b.Left + int64_t{b.Width} / 2),
                                 static_cast<int32_t>(b.Top + int64_t{b.Height} / 2)},
                                true);
        return true;
      }
    }
    return false;
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("An unknown error occurred.");
  }
  return true;
}

void TApplication::FormCreated(TForm* form) { WindowList_.push_back(form); }

void TApplication::FormDestroyed(TForm* form) {
  std::erase(WindowList_, form);
  if (MainForm_ == form) MainForm_ = nullptr;
  if (ActiveForm_ == form) {
    ActiveForm_ = nullptr;
    ActiveFormChanged();
  }
}

void TApplication::FormFocused(TForm* form) {
  auto it = std::find(WindowList_.begin(), WindowList_.end(), form);
  if (it == WindowList_.end()) return;
  std::rotate(WindowList_.begin(), it, it + 1);
  if (ActiveForm_ == form) return;
  ActiveForm_ = form;
  ActiveFormChanged();
}

void TApplication::ActiveFormChanged() {
  if (Destroying_ || !OnActiveFormChange) return;
  // Copied first: the handler may install a new one while it runs.
  auto handler = OnActiveFormChange;
  handler(ActiveForm_);
}

}  // namespace vr
