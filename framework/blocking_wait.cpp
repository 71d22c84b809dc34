#include "framework/blocking_wait.h"

#include <memory>

#include "framework/thread.h"

namespace framework {

namespace {

CCancelScope* g_current = nullptr;

// A cancel is seen within this (the loop also wakes for every message).
constexpr DWORD kPollMs = 50;

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// Input the wait lets through: to the cancel window itself (moving it, its
// close box), to its Cancel button, and Escape anywhere in it.
bool InputAllowed(const MSG& msg, HWND window) {
  if (window == nullptr || msg.hwnd == nullptr) return false;
  if (msg.hwnd == window) return true;
  if (!::IsChild(window, msg.hwnd)) return false;
  if (::GetParent(msg.hwnd) == window && ::GetDlgCtrlID(msg.hwnd) == IDCANCEL) return true;
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
  return key && msg.wParam == VK_ESCAPE;
}

// Dispatches what is queued; false when the program was told to quit.
bool Pump(int* quitCode) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *quitCode = static_cast<int>(msg.wParam);
      return false;
    }
    HWND window = g_current ? g_current->Window() : nullptr;
    if (IsInput(msg.message) && !InputAllowed(msg, window)) continue;
    if (window && ::IsDialogMessageA(window, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

struct Job {
  std::function<void()> call;
  HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ~Job() {
    if (done) ::CloseHandle(done);
  }
};

}  // namespace

CCancelScope::CCancelScope(HWND window) : window_(window), outer_(g_current) { g_current = this; }

CCancelScope::~CCancelScope() {
  // Scopes end in the order they began (a progress window's with its work,
  // a dialog's with the command that ran the transfer).
  if (g_current == this) g_current = outer_;
}

CCancelScope* CCancelScope::Current() { return g_current; }

bool TransferRunsIn(HWND window) { return g_current != nullptr && g_current->Window() == window; }

bool CancelTransferOf(HWND window) {
  if (!TransferRunsIn(window)) return false;
  g_current->Cancel();
  return true;
}

namespace {
bool g_timedOut = false;  // window thread only
}  // namespace

bool TimedOut() { return g_timedOut; }

bool WaitForCall(std::function<void()> call, const std::function<void()>& abandon, ULONGLONG deadline) {
  g_timedOut = false;
  CCancelScope* scope = g_current;
  if (scope && scope->Cancelled()) {
    abandon();
    return false;
  }
  auto job = std::make_shared<Job>();
  job->call = std::move(call);
  HANDLE thread = job->done ? StartWorkerThread([job] {
    job->call();
    ::SetEvent(job->done);
  })
                            : nullptr;
  if (!thread) {
    // No worker to be had: the call blocks this thread, as it would alone.
    job->call();
    return true;
  }
  ::CloseHandle(thread);
  int quitCode = 0;
  bool quit = false;
  for (;;) {
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &job->done, FALSE, kPollMs, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (!Pump(&quitCode)) quit = true;
    if (::WaitForSingleObject(job->done, 0) == WAIT_OBJECT_0) {
      if (quit) ::PostQuitMessage(quitCode);
      return true;
    }
    if (deadline != 0 && ::GetTickCount64() >= deadline) {
      g_timedOut = true;
      abandon();
      if (quit) ::PostQuitMessage(quitCode);
      return false;
    }
    if (quit || (scope && scope->Cancelled())) {
      abandon();
      if (quit) ::PostQuitMessage(quitCode);
      return false;
    }
  }
}

}  // namespace framework
