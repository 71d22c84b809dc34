#include "alarms/core/alarm_check_timing.h"

namespace alarmcore {

int ClampCheckFrequency(int seconds) {
  if (seconds < kMinCheckFrequency) return kMinCheckFrequency;
  if (seconds > kMaxCheckFrequency) return kMaxCheckFrequency;
  return seconds;
}

bool IsCheckDue(int nowSeconds, int lastSeconds, int frequency) {
  const int f = ClampCheckFrequency(frequency);
  if (nowSeconds >= lastSeconds + f) return true;
  // The clock passed midnight since the last check.
  return nowSeconds < lastSeconds && nowSeconds >= lastSeconds + f - kSecondsPerDay;
}

int DateNumber(int year, int month, int day) { return year * 10000 + month * 100 + day; }

CheckSteps CCheckClock::Tick(int today, int nowSeconds, int frequency, int32_t* lastRunDate) {
  CheckSteps steps;
  if (!IsCheckDue(nowSeconds, lastSeconds_, frequency)) return steps;
  steps.run = true;
  steps.minuteOfDay = nowSeconds / 60;
  if (today != lastDate_) {
    steps.dayChanged = true;
    lastDate_ = today;
  }
  if (lastRunDate) {
    if (*lastRunDate > today) steps.dateSetBack = true;
    *lastRunDate = today;
  }
  lastSeconds_ = nowSeconds;
  return steps;
}

bool CDailyReminderArm::ShouldFire(bool enabled, int reminderMinute, int minuteOfDay, int date, bool boxOpen) {
  if (minuteOfDay != reminderMinute || date != shownDate_) shown_ = false;
  if (!enabled || shown_ || boxOpen || minuteOfDay != reminderMinute) return false;
  shown_ = true;
  shownDate_ = date;
  return true;
}

}  // namespace alarmcore
