#include "forms/TrayIcon.h"

#include <exception>
#include <stdexcept>

#include "forms/Forms.h"
#include "forms/Menus.h"

namespace vr {

namespace {

constexpr const char* kRefused = "Cannot create shell notification icon";

}  // namespace

TTrayIcon::TTrayIcon(TApplication& app) : App_(app), Os_(app.Os()) {}

TTrayIcon::~TTrayIcon() {
  Retry_.reset();
  Timer_.reset();
  Native_.reset();
}

const MaskedImage& TTrayIcon::CurrentPicture() const {
  if (Icons && IconIndex_ >= 0 && IconIndex_ < Icons->Count()) return Icons->Get(IconIndex_);
  return Icon;
}

void TTrayIcon::SetVisible(bool visible) {
  if (visible == Visible()) return;
  Retry_.reset();
  InArea_ = WasInArea_ = false;
  if (!visible) {
    Native_.reset();
    return;
  }
  Native_ = Os_.CreateTrayIcon(CurrentPicture(), Hint, *this);
  try {
    Place();
  } catch (...) {
    Native_.reset();
    throw;
  }
}

void TTrayIcon::Place() {
  const TrayAddResult added = Native_->Add();
  // After a time-out, or from a shell that kept the icon through a restart
  // or took a timed-out add late, a change finds the icon already there.
  InArea_ =
      added == TrayAddResult::Added ||
      ((added == TrayAddResult::TimedOut || added == TrayAddResult::Refused) && Native_->Modify());
  if (InArea_) {
    WasInArea_ = true;
    Retry_.reset();
    return;
  }
  if (added == TrayAddResult::Refused) {
    Retry_.reset();
    // Without its icon the program has no way back to hidden rulers: an area
    // that will not take it is an error, as at start-up. One that dropped it
    // after a restart is left alone until it announces itself again.
    if (!WasInArea_) throw std::runtime_error(kRefused);
    return;
  }
  // No area yet, or a busy one: the shell's announcement brings the icon in,
  // and the tries cover a shell that never makes one.
  if (!Retry_) Retry_ = Os_.StartTimer(kWaitRetryMs, [this] { PlaceFromLoop(); });
}

void TTrayIcon::PlaceFromLoop() {
  if (!Native_) return;
  try {
    Place();
  } catch (const std::exception& e) {
    App_.Abort(e.what());
  }
}

void TTrayIcon::HandleTrayAreaCreated() { PlaceFromLoop(); }

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

void TTrayIcon::HandleTrayRightButtonUp(uint32_t time, Point at) {
  // One menu per click: a release that comes while the menu is being opened
  // or is open (the wait for pending messages and the menu's own loop hand
  // it over), or that was made before the last menu closed, belonged to that
  // menu.
  if (MenuOpen_) return;
  if (MenuClosedAt_ && static_cast<int32_t>(time - *MenuClosedAt_) <= 0) return;
  int chosen = -1;
  {
    MenuOpen_ = true;
    struct Closed {
      TTrayIcon& Icon;
      ~Closed() {
        Icon.MenuOpen_ = false;
        Icon.MenuClosedAt_ = Icon.Os_.TickCount();
      }
    } closed{*this};
    // The menu of a background program closes only when it is in front; what
    // waits in the queue goes first, so the menu shows the program as it is.
    Os_.BringAppToForeground();
    App_.ProcessMessages();
    if (PopupMenu) chosen = PopupMenu->Track(at);
  }
  // The menu is closed: its command may open a dialog, and the icon works meanwhile.
  if (PopupMenu) PopupMenu->Run(chosen);
}

}  // namespace vr
