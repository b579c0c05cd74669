#include "ScriptedQueue.h"

#include <utility>

namespace vr::test {

ScriptedQueue::ScriptedQueue(headless::HeadlessPlatform& os) : Os_(os) {
  Os_.TakeMessage = [this](const MessageFilter& filter) { return TakeOne(filter); };
}

ScriptedQueue::~ScriptedQueue() { Os_.TakeMessage = nullptr; }

bool ScriptedQueue::TakeOne(const MessageFilter& filter) {
  if (Queue_.empty()) return false;
  auto event = std::move(Queue_.front());
  Queue_.pop_front();
  event(filter);
  return true;
}

void ScriptedQueue::Deliver(const MessageFilter& filter, const Message& message,
                            const std::set<KeyCode>& modifiers) {
  Message msg = message;
  msg.Modifiers = 0;
  if (modifiers.count(KeyCode::Shift)) msg.Modifiers |= ModShift;
  if (modifiers.count(KeyCode::Alt)) msg.Modifiers |= ModAlt;
  if (modifiers.count(KeyCode::Control)) msg.Modifiers |= ModCtrl;
  headless::HeadlessWindow* focused = Os_.Focused;
  if (!msg.Target && focused) msg.Target = &focused->Handler();
  if ((filter && filter(msg)) || !IsKeyDown(msg) || !focused) return;
  WindowHandler& w = focused->Handler();
  const Rect b = focused->Bounds();
  if (msg.Kind == MessageKind::SysKeyDown && msg.Key == KeyCode::F4 && msg.Modifiers == ModAlt) {
    w.HandleCloseRequest();
  } else if (msg.Key == KeyCode::Menu) {
    w.HandleContextMenu({b.Left + b.Width / 2, b.Top + b.Height / 2}, true);
  } else if (focused->Params().Kind == WindowKind::Dialog && msg.Modifiers == 0 &&
             (msg.Key == KeyCode::Enter || msg.Key == KeyCode::Escape)) {
    w.HandleDialogKey(msg.Key == KeyCode::Enter ? DialogKey::Enter : DialogKey::Escape);
  }
}

void ScriptedQueue::PostMessage(Message msg, std::set<KeyCode> modifiers) {
  Queue_.push_back([this, msg, modifiers = std::move(modifiers)](const MessageFilter& filter) {
    Deliver(filter, msg, modifiers);
  });
}

void ScriptedQueue::PostKey(KeyCode key, std::set<KeyCode> modifiers) {
  const bool sys = modifiers.count(KeyCode::Alt) || key == KeyCode::F10;
  PostMessage({sys ? MessageKind::SysKeyDown : MessageKind::KeyDown, key}, std::move(modifiers));
}

void ScriptedQueue::PostAction(std::function<void()> action) {
  Queue_.push_back([action = std::move(action)](const MessageFilter&) { action(); });
}

}  // namespace vr::test
