#include "alarms/alarm_platform.h"

#include <mmsystem.h>

#include "model/settings/program_settings.h"
#include "platform/local_path.h"

namespace {

BOOL RealPlaySound(const char* file, UINT flags) { return ::sndPlaySoundA(file, flags); }

bool RealFlashInTaskbar(HWND window, unsigned count) { return g_Settings.FlashWindowInTaskbar(window, count); }

BOOL RealFlashCount(UINT* count) {
  return ::SystemParametersInfoA(SPI_GETFOREGROUNDFLASHCOUNT, 0, count, 0);
}

}  // namespace

AlarmPlatform RealAlarmPlatform() {
  return AlarmPlatform{&RealPlaySound,        &::MessageBeep,        &::FlashWindow,      &RealFlashInTaskbar,
                       &RealFlashCount,       &::SetForegroundWindow, &::SetActiveWindow};
}

AlarmPlatform& GetAlarmPlatform() {
  static AlarmPlatform platform = RealAlarmPlatform();
  return platform;
}

bool PlaySoundOrBeep(const char* file) {
  AlarmPlatform& p = GetAlarmPlatform();
  const bool local = platform::IsLocalPath(file);
  if (!local || !p.playSound(file, SND_ASYNC | SND_NODEFAULT)) p.messageBeep(0xFFFFFFFF);
  return local;
}
