#include "shell/frame/tray_icon_calls.h"

#ifdef _WIN64
static_assert(kTrayRecordSize == 504, "the version-2 icon record of a 64-bit process");
#endif

namespace {

BOOL RealNotifyIcon(DWORD message, NOTIFYICONDATAA* data) { return ::Shell_NotifyIconA(message, data); }

NotifyIconFn g_notify = &RealNotifyIcon;

}  // namespace

NotifyIconFn SetNotifyIconCall(NotifyIconFn fn) {
  NotifyIconFn previous = g_notify;
  g_notify = fn ? fn : &RealNotifyIcon;
  return previous;
}

BOOL CallNotifyIcon(DWORD message, NOTIFYICONDATAA* data) { return g_notify(message, data); }

UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

const UINT g_TaskbarCreatedMessage = TaskbarCreatedMessage();
