#pragma once
// GoogleTest's own place for a port's changes, found before its stock one. The
// Win32 checks are cross-built by a mingw-w64 with Win32 threads, whose C++
// library has no std::mutex; GoogleTest's Notification, which only its own
// thread tests use, needs one, so it is given here without.

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { Notified_.store(true); }
  void WaitForNotification() {
    while (!Notified_.load()) ::Sleep(1);
  }

 private:
  std::atomic<bool> Notified_{false};
};

}  // namespace testing::internal
