#pragma once
// The program's icon in the notification area: a picture from an image list
// chosen by index (the program's own icon for none), a tip, and a menu that
// opens when the right button is released over it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "forms/Actions.h"
#include "platform/Platform.h"

namespace vr {

class TApplication;
class TPopupMenu;

class TTrayIcon : private TrayIconHandler {
 public:
  explicit TTrayIcon(TApplication& app);
  ~TTrayIcon() override;
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  std::string Hint;
  const TImageList* Icons = nullptr;
  TPopupMenu* PopupMenu = nullptr;
  // Shown while no picture of the list is selected.
  MaskedImage Icon;

  // Puts the icon into the notification area, or takes it out. Where there
  // is no notification area yet (at log-on the program may start before the
  // desktop shell) or the shell is too busy to answer, the icon waits while
  // the program runs on: it goes in when the shell announces its area, or at
  // one of the tries every kWaitRetryMs. A notification area that refuses
  // the icon outright before it was ever in one is an error, "Cannot create
  // shell notification icon": thrown here, or, found while waiting, it ends
  // the run through TApplication::Abort.
  void SetVisible(bool visible);
  bool Visible() const { return Native_ != nullptr; }
  // In the notification area now.
  bool InArea() const { return InArea_; }

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

  static constexpr uint32_t kWaitRetryMs = 1000;

 private:
  void HandleTrayRightButtonUp(uint32_t time, Point at) override;
  void HandleTrayAreaCreated() override;
  // One try to get the icon into the area; throws when it is refused and
  // that is an error.
  void Place();
  // Place from the loop, where an error ends the run.
  void PlaceFromLoop();
  TApplication& App_;
  Platform& Os_;
  std::unique_ptr<TrayIcon> Native_;
  std::unique_ptr<Timer> Timer_;
  std::unique_ptr<Timer> Retry_;
  int IconIndex_ = -1;
  bool InArea_ = false;
  bool WasInArea_ = false;
  bool MenuOpen_ = false;
  std::optional<uint32_t> MenuClosedAt_;
};

}  // namespace vr
