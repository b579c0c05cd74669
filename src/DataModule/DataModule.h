#pragma once
// The command module: for now only the tray icon's picture index, which
// follows the active ruler. Commands, menus and the icon itself join here.

namespace vr {

class TTrayIcon {
 public:
  // -1 selects no picture: the program's own icon shows.
  int IconIndex() const { return IconIndex_; }
  void SetIconIndex(int index) {
    if (index == IconIndex_) return;
    IconIndex_ = index;
    ++Changes_;
  }
  int Changes() const { return Changes_; }

 private:
  int IconIndex_ = -1;
  int Changes_ = 0;
};

class TDM {
 public:
  TTrayIcon TrayIcon;
};

// The command module of this run; it exists before the first ruler.
extern TDM* DM;

}  // namespace vr
