// One program a user in the session, and the end of the session, in Win32's
// terms: a named mapping that the first start holds and that names its
// application window, a registered message to that window, and the
// session-end messages every top-level window receives; and the program's
// own file, for the session to start.

#include "platform/win32/Win32Platform.h"
// After windows.h, whose types it uses.
#include <sddl.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

namespace {

// What the first start shares with later ones. The window is written last,
// so a reader that sees it sees the process id too.
// The current user's security id as text, so that two users in one session
// (one of them started with "Run as") each keep their own program.
std::wstring UserSidText() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return L"";
  const KernelHandle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return L"";
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return L"";
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
    return L"";
  std::wstring sid(text);
  ::LocalFree(text);
  return sid;
}

}  // namespace

std::string Win32Platform::ProgramPath() const {
  // Long paths exist; the buffer grows until the whole path fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      return Narrow(path);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::wstring InstanceClaimName() { return L"Local\\VantoriRulers." + UserSidText(); }

InstanceClaim Win32Platform::ClaimSingleInstance() {
  if (InstanceClaim_) return InstanceClaim::First;
  const HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(SharedInstance), InstanceClaimName().c_str());
  // Where the system can't make one, the program runs alone rather than not at all.
  if (!mapping) return InstanceClaim::First;
  const bool running = ::GetLastError() == ERROR_ALREADY_EXISTS;
  InstanceClaim_.reset(mapping);
  InstanceView_.reset(
      ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedInstance)));
  if (running) return InstanceClaim::AlreadyRunning;
  if (auto* shared = static_cast<SharedInstance*>(InstanceView_.get())) {
    ::InterlockedExchange(&shared->ProcessId, static_cast<LONG>(::GetCurrentProcessId()));
    ::InterlockedExchange64(&shared->Window, reinterpret_cast<LONG64>(AppWindow()));
  }
  return InstanceClaim::First;
}

bool Win32Platform::AskRunningInstanceToShow() {
  const auto* shared = static_cast<const SharedInstance*>(InstanceView_.get());
  if (!shared) return false;
  // The first start may still be making its window: it names it within moments.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  HWND window = nullptr;
  for (;;) {
    window = reinterpret_cast<HWND>(
        ::InterlockedCompareExchange64(const_cast<LONG64*>(&shared->Window), 0, 0));
    if (window && ::IsWindow(window)) break;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // The user started this one, so it may hand the foreground on.
  ::AllowSetForegroundWindow(static_cast<DWORD>(shared->ProcessId));
  DWORD_PTR answer = 0;
  return ::SendMessageTimeoutW(window, ::RegisterWindowMessageW(kComeForwardMessage), 0, 0,
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000, &answer) != 0;
}

bool Win32Platform::HandleSessionMessage(UINT msg, WPARAM wParam, LRESULT& result) {
  if (msg == WM_QUERYENDSESSION) {
    // At once: the system waits for every program's answer.
    result = Session_ ? Session_->HandleSessionEnding() : TRUE;
    return true;
  }
  if (msg == WM_ENDSESSION) {
    result = 0;
    if (Session_) {
      SessionHandler& session = *Session_;
      const bool ending = wParam != FALSE;
      // The handler shows no error: a box now would hold the log-off back.
      try {
        session.HandleSessionEnd(ending);
      } catch (...) {
      }
    }
    return true;
  }
  if (ComeForwardMessage_ != 0 && msg == ComeForwardMessage_) {
    result = 1;
    if (Session_) {
      try {
        Session_->HandleShowRequest();
      } catch (const std::exception& e) {
        ReportError(e.what());
      } catch (...) {
        ReportError("An unknown error occurred.");
      }
    }
    return true;
  }
  return false;
}

}  // namespace vr::win32
