// The program in the user's session against the real system: the claim a
// first start holds, and the session's messages to the application window.

#include <windows.h>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32::test {
namespace {

struct SessionHeard : SessionHandler {
  Strings Calls;
  bool Answer = true;
  bool HandleSessionEnding() override {
    Calls.push_back("ending?");
    return Answer;
  }
  void HandleSessionEnd(bool ending) override { Calls.push_back(ending ? "end" : "goes on"); }
  void HandleShowRequest() override { Calls.push_back("forward"); }
};

using Win32Session = Win32Test;

TEST_F(Win32Session, TheSessionsMessagesReachTheHandlerAndAreAnsweredAtOnce) {
  SessionHeard heard;
  Os().SetSessionHandler(&heard);
  const HWND app = Os().AppWindow();
  EXPECT_EQ(::SendMessageW(app, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  heard.Answer = false;
  EXPECT_EQ(::SendMessageW(app, WM_QUERYENDSESSION, 0, 0), FALSE) << "the answer is the program's";
  ::SendMessageW(app, WM_ENDSESSION, FALSE, 0);
  ::SendMessageW(app, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  ::SendMessageW(app, ::RegisterWindowMessageW(kComeForwardMessage), 0, 0);
  EXPECT_EQ(heard.Calls, (Strings{"ending?", "ending?", "goes on", "end", "forward"}));
  Os().SetSessionHandler(nullptr);
  EXPECT_EQ(::SendMessageW(app, WM_QUERYENDSESSION, 0, 0), TRUE) << "nobody holds the session";
  EXPECT_TRUE(Os().Errors.empty());
}

TEST_F(Win32Session, TheFirstClaimHoldsTheUsersNameAndNamesItsApplicationWindow) {
  ASSERT_EQ(Os().ClaimSingleInstance(), InstanceClaim::First);
  // Where a second start of the same user looks.
  const KernelHandle found(::OpenFileMappingW(FILE_MAP_READ, FALSE, InstanceClaimName().c_str()));
  ASSERT_TRUE(found);
  const MappedView view(::MapViewOfFile(found.get(), FILE_MAP_READ, 0, 0, sizeof(SharedInstance)));
  ASSERT_TRUE(view);
  const auto* shared = static_cast<const SharedInstance*>(view.get());
  EXPECT_EQ(reinterpret_cast<HWND>(shared->Window), Os().AppWindow());
  EXPECT_EQ(static_cast<DWORD>(shared->ProcessId), ::GetCurrentProcessId());
  EXPECT_NE(InstanceClaimName().find(L"Local\\VantoriRulers.S-1-"), std::wstring::npos)
      << "per user, in the session's namespace";
}

}  // namespace
}  // namespace vr::win32::test
