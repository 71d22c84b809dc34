// The notification-area call (Shell_NotifyIconA) behind one pointer, so
// window tests can record what the frame hands the shell; the default is
// the real call.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstddef>

// The version-2 record: everything before the balloon's GUID (504 bytes
// in a 64-bit process).
constexpr DWORD kTrayRecordSize = static_cast<DWORD>(offsetof(NOTIFYICONDATAA, guidItem));

using NotifyIconFn = BOOL (*)(DWORD message, NOTIFYICONDATAA* data);

// Installs `fn` (null: the real call) and returns the previous one.
NotifyIconFn SetNotifyIconCall(NotifyIconFn fn);
BOOL CallNotifyIcon(DWORD message, NOTIFYICONDATAA* data);

// The registered message the shell broadcasts when the task bar (re)starts.
UINT TaskbarCreatedMessage();
// The same, registered when the program starts (message-map entries read it).
extern const UINT g_TaskbarCreatedMessage;
