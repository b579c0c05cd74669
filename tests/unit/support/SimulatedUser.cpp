#include "SimulatedUser.h"

namespace vr::test {

MouseEvent SimulatedUser::EventAt(const headless::HeadlessWindow& w, MouseButton b,
                                  Point screen) const {
  const Rect bounds = w.Bounds();
  return {{screen.X - bounds.Left, screen.Y - bounds.Top}, screen, b, LeftHeld_, false, false};
}

void SimulatedUser::MouseDown(headless::HeadlessWindow& w, MouseButton b, Point screen) {
  Os_.Cursor = screen;
  if (b == MouseButton::Left) LeftHeld_ = true;
  w.Handler().HandleMouseDown(EventAt(w, b, screen));
}

void SimulatedUser::MouseMove(headless::HeadlessWindow& w, Point screen) {
  Os_.Cursor = screen;
  headless::HeadlessWindow* target = Os_.Captured ? Os_.Captured : &w;
  target->Handler().HandleMouseMove(EventAt(*target, MouseButton::Left, screen));
}

void SimulatedUser::MouseUp(headless::HeadlessWindow& w, MouseButton b, Point screen) {
  Os_.Cursor = screen;
  if (b == MouseButton::Left) LeftHeld_ = false;
  headless::HeadlessWindow* target = Os_.Captured ? Os_.Captured : &w;
  target->Handler().HandleMouseUp(EventAt(*target, b, screen));
}

void SimulatedUser::MouseLeave(headless::HeadlessWindow& w, Point screen) {
  Os_.Cursor = screen;
  w.Handler().HandleMouseLeave();
}

void SimulatedUser::DoubleClick(headless::HeadlessWindow& w, Point screen) {
  MouseDown(w, MouseButton::Left, screen);
  MouseUp(w, MouseButton::Left, screen);
  MouseDown(w, MouseButton::Left, screen);
  w.Handler().HandleDoubleClick(EventAt(w, MouseButton::Left, screen));
  MouseUp(w, MouseButton::Left, screen);
}

}  // namespace vr::test
