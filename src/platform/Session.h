#pragma once
// The program in the user's session: one running program per user, the end
// of the session (log-off, restart, shutdown), and its start with the session.

#include <string>

namespace vr {

// Where the session keeps the programs it starts for the user: in the store,
// one text value a program, holding its command line.
inline constexpr const char* kSessionStartKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";

// What the session and later starts of the program tell the running one.
// Every call comes on the UI thread, in whatever loop runs at the time (a
// menu's, a dialog's).
class SessionHandler {
 public:
  virtual ~SessionHandler() = default;
  // The session is about to end; true lets it. The system waits for the
  // answer and asks the user about programs slow to give it.
  virtual bool HandleSessionEnding() { return true; }
  // The session ends now (ending), and the program is ended right after this
  // returns, without a close; or it goes on after all (another program
  // refused), and so does the program.
  virtual void HandleSessionEnd(bool /*ending*/) {}
  // Another start of the program in this session asks this one to come forward.
  virtual void HandleShowRequest() {}
};

enum class InstanceClaim {
  First,           // no other program of this user's runs in the session
  AlreadyRunning,  // one does: it is the one to show
};

class Session {
 public:
  virtual ~Session() = default;
  // Claims the session for this program; made before any window, so that a
  // second start makes none.
  virtual InstanceClaim ClaimSingleInstance() = 0;
  // After AlreadyRunning: asks the program that runs to come forward, and
  // lets it take the foreground. false when it could not be reached.
  virtual bool AskRunningInstanceToShow() = 0;
  // Whom the session's notices go to; nullptr for nobody.
  virtual void SetSessionHandler(SessionHandler* handler) = 0;
  // The program's own file, as the session starts it.
  virtual std::string ProgramPath() const = 0;
};

}  // namespace vr
