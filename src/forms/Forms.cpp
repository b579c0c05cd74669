#include "forms/Forms.h"

#include <algorithm>

namespace vr {

TApplication* Application = nullptr;

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
  Owner_.FormCreated(this);
}

TForm::~TForm() {
  Owner_.FormDestroyed(this);
  Window_.reset();
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible_) return;
  Visible_ = visible;
  Window_->SetVisible(visible);
}

void TForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TForm::BringToFront() { Window_->Raise(); }

void TForm::SetFocus() { Window_->Focus(); }

void TForm::Close() {
  TCloseAction action = this == Owner_.MainForm() ? TCloseAction::Free : TCloseAction::Hide;
  FormClose(action);
  if (action == TCloseAction::None) return;
  if (this == Owner_.MainForm()) {
    Owner_.Terminate();
  } else {
    Hide();
  }
}

void TForm::HandleFocus() { Owner_.FormFocused(this); }

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(Platform& platform) : Platform_(platform) { Application = this; }

TApplication::~TApplication() {
  // Teardown is not a change of the active window: nobody is told.
  Destroying_ = true;
  OnMessage = nullptr;
  OnActiveFormChange = nullptr;
  while (!Forms_.empty()) Forms_.pop_back();
  while (!Modules_.empty()) Modules_.pop_back();
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
  Title_ = title;
  Platform_.SetTitle(title);
}

void TApplication::Adopt(std::unique_ptr<TForm> form) { Forms_.push_back(std::move(form)); }

void TApplication::Run() {
  if (MainForm_) MainForm_->Show();
  Platform_.RunMessageLoop([this](const Message& msg, bool& handled) {
    if (OnMessage) OnMessage(msg, handled);
  });
}

void TApplication::Terminate() { Platform_.Quit(); }

void TApplication::FormCreated(TForm* form) { WindowList_.push_back(form); }

void TApplication::FormDestroyed(TForm* form) {
  std::erase(WindowList_, form);
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
