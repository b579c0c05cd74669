#pragma once
// The application: its hidden owner window, its top-level windows, the
// message loop that runs them, and quitting.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Keys.h"
#include "platform/Window.h"

namespace vr {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // The program's name, carried by its hidden owner window.
  virtual void SetTitle(const std::string& title) = 0;
  // No task-bar button and no entry in the task switcher for any window of
  // the program: the hidden window that owns them all keeps off the task bar.
  virtual void KeepOffTaskBar() = 0;
  virtual std::unique_ptr<Window> CreateTopLevel(const WindowParams& params,
                                                 WindowHandler& handler) = 0;

  // Runs until Quit. Each message taken from the queue goes to the filter,
  // then, unless the filter took it, to its normal handling (dialog keys in
  // dialog windows, translation, dispatch). An error escaping a handler goes
  // to the error handler and the loop goes on with the next message.
  virtual void RunMessageLoop(const MessageFilter& filter) = 0;
  // The same loop while a modal dialog runs: it returns when done() says so
  // after a message, or false at once when a quit request arrives, which is
  // left for the outer loop.
  virtual bool RunModalLoop(const MessageFilter& filter, const std::function<bool()>& done) = 0;
  // Handles the messages already waiting, then returns.
  virtual void ProcessPendingMessages(const MessageFilter& filter) = 0;
  virtual void Quit() = 0;
  // Shows the text in a message box over the program's windows; returns when
  // the user has closed it.
  virtual void ShowErrorBox(const std::string& text) = 0;
  // Who hears of an error that escaped one of the program's handlers where
  // the system called it (a window's, a control's, a timer's); without one,
  // it goes to a box.
  void SetErrorHandler(std::function<void(const std::string& text)> handler) {
    ErrorHandler_ = std::move(handler);
  }
  // Such an error, caught by the platform.
  void ReportError(const std::string& text) {
    if (!ErrorHandler_) return ShowErrorBox(text);
    // A copy: the handler may install another while it runs.
    const auto handler = ErrorHandler_;
    handler(text);
  }
  // Milliseconds on the clock that stamps input; it wraps after 49.7 days.
  virtual uint32_t TickCount() const = 0;
  // Called when the desktop's monitors or their arrangement change.
  virtual void SetDisplayChangeHandler(std::function<void()> handler) = 0;

 private:
  std::function<void(const std::string& text)> ErrorHandler_;
};

}  // namespace vr
