#pragma once
// The user's mouse on the headless platform: each press, move and release
// goes to the window it is for, carrying where it happened, and moves the
// platform's pointer there.

#include "platform/headless/HeadlessPlatform.h"

namespace vr::test {

class SimulatedUser {
 public:
  explicit SimulatedUser(headless::HeadlessPlatform& os) : Os_(os) {}

  void MouseDown(headless::HeadlessWindow& w, MouseButton b, Point screen);
  // With the capture, to the capturing window wherever the pointer is.
  void MouseMove(headless::HeadlessWindow& w, Point screen);
  void MouseUp(headless::HeadlessWindow& w, MouseButton b, Point screen);
  // The pointer leaves the window for a point outside it.
  void MouseLeave(headless::HeadlessWindow& w, Point screen);
  // Two clicks of the left button in quick succession: the second press
  // comes as a press and a double-click.
  void DoubleClick(headless::HeadlessWindow& w, Point screen);

 private:
  MouseEvent EventAt(const headless::HeadlessWindow& w, MouseButton b, Point screen) const;
  headless::HeadlessPlatform& Os_;
  bool LeftHeld_ = false;
};

}  // namespace vr::test
