#include "forms/TrayIcon.h"

#include <stdexcept>

#include "forms/Forms.h"
#include "forms/Menus.h"

namespace vr {

TTrayIcon::~TTrayIcon() {
  Timer_.reset();
  Native_.reset();
}

const MaskedImage& TTrayIcon::CurrentPicture() const {
  if (Icons && IconIndex_ >= 0 && IconIndex_ < Icons->Count()) return Icons->Get(IconIndex_);
  return Icon;
}

void TTrayIcon::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (!visible) {
    Native_.reset();
    return;
  }
  for (int attempt = 1; attempt <= kAddAttempts; ++attempt) {
    Native_ = Os_.AddTrayIcon(CurrentPicture(), Hint, *this);
    if (Native_) return;
    if (attempt < kAddAttempts) Os_.Sleep(kAddRetryMs);
  }
  throw std::runtime_error("Cannot create shell notification icon");
}

void TTrayIcon::SetIconIndex(int index) {
  if (index == IconIndex_) return;
  IconIndex_ = index;
  if (!Native_) return;
  Native_->SetPicture(CurrentPicture());
}

void TTrayIcon::SetAnimate(bool animate, uint32_t intervalMs) {
  Timer_.reset();
  if (animate) Timer_ = Os_.StartTimer(intervalMs, [this] { AnimateStep(); });
}

void TTrayIcon::AnimateStep() {
  const int count = Icons ? Icons->Count() : 0;
  SetIconIndex(IconIndex_ + 1 >= count ? 0 : IconIndex_ + 1);
}

void TTrayIcon::HandleTrayRightButtonUp() {
  // The menu of a background program closes only when it is in front; what
  // waits in the queue goes first, so the menu shows the program as it is.
  Os_.BringAppToForeground();
  if (Application) Application->ProcessMessages();
  if (PopupMenu) PopupMenu->Popup(Os_.CursorPos());
}

}  // namespace vr
