#pragma once
// The program's icon in the notification area: a picture from an image list
// chosen by index (the program's own icon for none), a tip, and a menu that
// opens when the right button is released over it.

#include <cstdint>
#include <memory>
#include <string>

#include "forms/Actions.h"
#include "platform/Platform.h"

namespace vr {

class TPopupMenu;

class TTrayIcon : private TrayIconHandler {
 public:
  explicit TTrayIcon(Platform& os) : Os_(os) {}
  ~TTrayIcon() override;
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  std::string Hint;
  const TImageList* Icons = nullptr;
  TPopupMenu* PopupMenu = nullptr;
  // Shown while no picture of the list is selected.
  MaskedImage Icon;

  // Puts the icon into the notification area, or takes it out. At a log-on
  // the notification area may not exist yet, so a refused add is tried again
  // for a few seconds before it fails with "Cannot create shell notification icon".
  void SetVisible(bool visible);
  bool Visible() const { return Native_ != nullptr; }

  // -1: no picture of the list, the icon shows. Setting the index it has
  // changes nothing.
  int IconIndex() const { return IconIndex_; }
  void SetIconIndex(int index);
  // The picture on show.
  const MaskedImage& CurrentPicture() const;

  // Animation: every interval the index steps on by one, from the last
  // picture back to the first.
  void SetAnimate(bool animate, uint32_t intervalMs);
  void AnimateStep();

  static constexpr int kAddAttempts = 20;
  static constexpr int kAddRetryMs = 250;

 private:
  void HandleTrayRightButtonUp() override;
  Platform& Os_;
  std::unique_ptr<TrayIcon> Native_;
  std::unique_ptr<Timer> Timer_;
  int IconIndex_ = -1;
};

}  // namespace vr
