#include "dialogs/core/options_rules.h"

#include <cstdlib>

namespace options_rules {

namespace {
constexpr int32_t kStartupModes[] = {1, 4, 2, 3};
constexpr int16_t kNotifyTypes[] = {0, 5, 1, 2, 3};
}  // namespace

const int32_t kDailyScales[kDailyScaleCount] = {5, 10, 15, 30, 60, 120};

int StartupModeToIndex(int32_t mode) {
  for (int i = 0; i < 4; ++i)
    if (kStartupModes[i] == mode) return i;
  return -1;
}

int32_t IndexToStartupMode(int index, int32_t stored) {
  return index >= 0 && index < 4 ? kStartupModes[index] : stored;
}

int NotifyTypeToIndex(int32_t type) {
  switch (type) {
    case 0: return 0;
    case 5: return 1;
    case 1: return 2;
    case 2: return 3;
    case 3:
    case 4: return 4;
    default: return -1;
  }
}

int16_t IndexToNotifyType(int index, int16_t stored) {
  return index >= 0 && index < 5 ? kNotifyTypes[index] : stored;
}

int DailyScaleToIndex(int32_t scale) {
  for (int i = 0; i < kDailyScaleCount; ++i)
    if (kDailyScales[i] == scale) return i;
  return -1;
}

int32_t IndexToDailyScale(int index, int32_t stored) {
  return index >= 0 && index < kDailyScaleCount ? kDailyScales[index] : stored;
}

ClockTime MinutesToClock(int32_t minutesOfDay, bool hours24) {
  ClockTime t;
  t.hour = minutesOfDay / 60;
  t.minute = minutesOfDay % 60;
  if (!hours24) {
    ClockTime h = HourToClock(t.hour, false);
    t.hour = h.hour;
    t.pm = h.pm;
  }
  return t;
}

int32_t ClockToMinutes(int hour, int minute, bool pm, bool hours24) {
  if (minute < 0 || minute > 59) return -1;
  int32_t h = ClockToHour(hour, pm, hours24);
  return h < 0 ? -1 : h * 60 + minute;
}

ClockTime HourToClock(int32_t hour, bool hours24) {
  ClockTime t;
  t.hour = hour;
  if (hours24) return t;
  if (hour < 12) {
    t.hour = hour == 0 ? 12 : hour;
  } else {
    t.pm = true;
    t.hour = hour > 12 ? hour - 12 : hour;
  }
  return t;
}

int32_t ClockToHour(int typed, bool pm, bool hours24) {
  if (hours24) return typed >= 0 && typed <= 23 ? typed : -1;
  if (typed < 1 || typed > 12) return -1;
  return (typed == 12 ? 0 : typed) + (pm ? 12 : 0);
}

int32_t TenthsToFontDialogHeight(int32_t tenths, int pixelsPerInch) {
  // MulDiv(points, ppi, 72): half away from zero.
  long long product = static_cast<long long>(tenths / -10) * pixelsPerInch;
  long long half = 36;
  long long q = product >= 0 ? (product + half) / 72 : -((-product + half) / 72);
  return static_cast<int32_t>(q);
}

}  // namespace options_rules
