#pragma once
// The message queue of a test's run: what the user and the desktop do,
// posted in order and taken by the headless platform's loops, and the
// system's own handling of the few keys that a program hands back to it.

#include <deque>
#include <functional>
#include <set>

#include "platform/headless/HeadlessPlatform.h"

namespace vr::test {

class ScriptedQueue {
 public:
  // The platform's loops take from this queue while it lives.
  explicit ScriptedQueue(headless::HeadlessPlatform& os);
  ~ScriptedQueue();
  ScriptedQueue(const ScriptedQueue&) = delete;
  ScriptedQueue& operator=(const ScriptedQueue&) = delete;

  // A message as the loop takes it, for the focused window unless it names one.
  void PostMessage(Message msg, std::set<KeyCode> modifiers = {});
  // A key pressed with these modifiers held: with Alt, and F10 alone, a system key.
  void PostKey(KeyCode key, std::set<KeyCode> modifiers = {});
  // Anything else, e.g. a mouse action on a window.
  void PostAction(std::function<void()> action);

  // One message now, as the loop hands it over: to the filter, then, unless
  // the filter took it, to the system's own handling: Alt+F4 asks the focused
  // window to close, the Menu key asks for its context menu, and Enter and
  // Esc in a dialog are its dialog keys.
  void Deliver(const MessageFilter& filter, const Message& msg, const std::set<KeyCode>& modifiers);

 private:
  bool TakeOne(const MessageFilter& filter);
  headless::HeadlessPlatform& Os_;
  std::deque<std::function<void(const MessageFilter&)>> Queue_;
};

}  // namespace vr::test
