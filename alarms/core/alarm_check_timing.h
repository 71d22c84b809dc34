// When the periodic check runs and what it has to do: the interval test
// with its midnight wrap, the day change, the system date set back, and the
// arming of the daily reminder. Pure decisions over clock readings; the
// main frame carries them out.
#pragma once

#include <cstdint>

namespace alarmcore {

constexpr int kSecondsPerDay = 86400;
constexpr int kMinCheckFrequency = 1;
constexpr int kMaxCheckFrequency = 60;

// The check interval in force: a stored AlarmCheckFrequency outside 1..60
// (0 would check every tick anyway, a huge value never) is clamped.
int ClampCheckFrequency(int seconds);

// Whether a check is due at `nowSeconds` (seconds since local midnight)
// when the last one ran at `lastSeconds` with an interval of `frequency`
// (clamped here). Across midnight the clock reading falls below the last
// one: the check then runs once the interval has passed across the wrap.
bool IsCheckDue(int nowSeconds, int lastSeconds, int frequency);

// A local date as year * 10000 + month * 100 + day.
int DateNumber(int year, int month, int day);

// What one tick of the periodic check has to do.
struct CheckSteps {
  bool run = false;          // the interval passed: everything below applies
  bool dayChanged = false;   // renew the icon, roll forward, hint 8
  bool dateSetBack = false;  // ask whether to reset every event
  int minuteOfDay = 0;       // for the daily reminder
};

// The clock state the frame keeps between ticks: the date and time of the
// last check. `lastRunDate` is the stored date the program last ran
// (setting last_date), moved to today by every check that runs.
class CCheckClock {
 public:
  CCheckClock(int date, int seconds) : lastDate_(date), lastSeconds_(seconds) {}

  // One tick at the local date `today` and `nowSeconds`. When it runs, the
  // last check becomes now and *lastRunDate today.
  CheckSteps Tick(int today, int nowSeconds, int frequency, int32_t* lastRunDate);

  int LastDate() const { return lastDate_; }
  int LastSeconds() const { return lastSeconds_; }

 private:
  int lastDate_;
  int lastSeconds_;
};

// The daily reminder fires once in its minute. It is armed again as soon
// as a check sees another minute or another date, so a reminder at 23:59
// comes back the next day too.
class CDailyReminderArm {
 public:
  // True when the reminder must show now: enabled, the minute of day is
  // the reminder's, it has not shown for this minute and date, and its box
  // is not open. Marks it shown.
  bool ShouldFire(bool enabled, int reminderMinute, int minuteOfDay, int date, bool boxOpen);

 private:
  bool shown_ = false;
  int shownDate_ = 0;
};

}  // namespace alarmcore
