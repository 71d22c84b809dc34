// The platform calls by which alarms reach the user: playing a sound, the
// beep when it cannot be played, flashing and activating windows. The
// reminder window and the daily reminder call them through this table so
// tests can record them instead of making noise; the defaults are the real
// calls.
#pragma once

#include <windows.h>

struct AlarmPlatform {
  // sndPlaySoundA; FALSE when the file could not be played.
  BOOL (*playSound)(const char* file, UINT flags);
  BOOL (*messageBeep)(UINT type);
  BOOL (*flashWindow)(HWND window, BOOL invert);
  // The task-bar button flashed `count` times; false when the platform has
  // no such call.
  bool (*flashInTaskbar)(HWND window, unsigned count);
  // SPI_GETFOREGROUNDFLASHCOUNT; FALSE when it cannot be read.
  BOOL (*foregroundFlashCount)(UINT* count);
  BOOL (*setForegroundWindow)(HWND window);
  HWND (*setActiveWindow)(HWND window);
};

// The table in use (the real calls until a test replaces entries).
AlarmPlatform& GetAlarmPlatform();
// The real calls.
AlarmPlatform RealAlarmPlatform();

// Plays a sound file asynchronously, never the default sound; a file that
// cannot be played gives one default beep. No message. A path that is not
// on this computer (platform/local_path.h: another computer's share, a
// device, an address) is never handed to the system: the beep, and false
// so that the caller can say why.
bool PlaySoundOrBeep(const char* file);
