// The reminder decisions without a window: when the periodic check runs,
// the daily reminder, snooze numbers and times, and the sound repeat.
#include <gtest/gtest.h>

#include "alarms/core/alarm_check_timing.h"
#include "alarms/core/reminder_rows.h"
#include "alarms/core/reminder_snooze.h"

using namespace alarmcore;

namespace {

TEST(CheckInterval, WrapsAtMidnightAndClampsTheFrequency) {
  struct Case {
    int frequency, last, now;
    bool due;
  } cases[] = {
      {3, 86398, 0, false},  {3, 86398, 1, true},     {60, 86370, 29, false}, {60, 86370, 30, true},
      {3, 100, 102, false},  {3, 100, 103, true},     {0, 100, 101, true},    {-5, 100, 100, false},
      {100000, 100, 159, false}, {100000, 100, 160, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.due, IsCheckDue(c.now, c.last, c.frequency)) << c.frequency << " " << c.last << " " << c.now;
}

TEST(CheckClock, SeesTheNewDayAfterMidnightAndASetBackDateOnce) {
  CCheckClock clock(DateNumber(2024, 1, 1), 86398);
  int32_t lastRun = DateNumber(2024, 1, 1);
  EXPECT_FALSE(clock.Tick(DateNumber(2024, 1, 2), 0, 3, &lastRun).run);
  CheckSteps s = clock.Tick(DateNumber(2024, 1, 2), 1, 3, &lastRun);
  EXPECT_TRUE(s.run);
  EXPECT_TRUE(s.dayChanged);
  EXPECT_FALSE(s.dateSetBack);
  EXPECT_EQ(DateNumber(2024, 1, 2), lastRun);
  // The system date goes back a day: asked at the first check only.
  s = clock.Tick(DateNumber(2024, 1, 1), 10, 3, &lastRun);
  EXPECT_TRUE(s.run && s.dayChanged && s.dateSetBack);
  s = clock.Tick(DateNumber(2024, 1, 1), 20, 3, &lastRun);
  EXPECT_TRUE(s.run);
  EXPECT_FALSE(s.dayChanged || s.dateSetBack);
}

TEST(DailyReminder, FiresOncePerMinuteAndDayEvenAtTheLastMinute) {
  CDailyReminderArm at9;
  EXPECT_FALSE(at9.ShouldFire(true, 540, 539, 20240101, false));
  EXPECT_TRUE(at9.ShouldFire(true, 540, 540, 20240101, false));
  EXPECT_FALSE(at9.ShouldFire(true, 540, 540, 20240101, false));
  EXPECT_TRUE(at9.ShouldFire(true, 540, 540, 20240102, false));  // next day, no check between
  EXPECT_FALSE(at9.ShouldFire(false, 540, 540, 20240103, false));
  EXPECT_FALSE(at9.ShouldFire(true, 540, 540, 20240104, true));  // its box is still open

  CDailyReminderArm late;
  EXPECT_TRUE(late.ShouldFire(true, 1439, 1439, 20240101, false));
  EXPECT_FALSE(late.ShouldFire(true, 1439, 1439, 20240101, false));
  EXPECT_FALSE(late.ShouldFire(true, 1439, 0, 20240102, false));
  EXPECT_TRUE(late.ShouldFire(true, 1439, 1439, 20240102, false));
}

TEST(Snooze, NumbersAreReadAndCheckedPerButton) {
  struct Case {
    const char* text;
    SnoozeUnit unit;
    bool valid;
  } cases[] = {
      {"1000", SnoozeUnit::kDays, true},      {"1001", SnoozeUnit::kWeeks, false},
      {"10000", SnoozeUnit::kMinutes, true},  {"10001", SnoozeUnit::kHours, false},
      {"0", SnoozeUnit::kHours, false},
      {"x", SnoozeUnit::kMinutes, false},     {"-5", SnoozeUnit::kMinutes, false},
      {" 12abc", SnoozeUnit::kMinutes, true}, {"0000000005", SnoozeUnit::kMinutes, false},  // ninth digit is 0
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.valid, IsSnoozeNumberValid(c.unit, ReadSnoozeNumber(c.text))) << c.text;
  EXPECT_EQ(12, ReadSnoozeNumber(" 12abc"));
  EXPECT_EQ(123456789, ReadSnoozeNumber("1234567890"));
  EXPECT_EQ("Please enter an integer between 1 and 1000", SnoozeRangeMessage(SnoozeUnit::kDays));
  EXPECT_EQ("Please enter an integer between 1 and 10000", SnoozeRangeMessage(SnoozeUnit::kMinutes));
}

TEST(Snooze, ComesBackByCalendarArithmetic) {
  struct Case {
    SnoozeUnit unit;
    int n;
    const char* until;
  } cases[] = {
      {SnoozeUnit::kMinutes, 10000, "20240108T104000"},
      {SnoozeUnit::kHours, 10000, "20250221T040000"},
      {SnoozeUnit::kDays, 1000, "20260927T120000"},
      {SnoozeUnit::kWeeks, 1000, "20430302T120000"},
  };
  const CDateTime today(1, 1, 2024);
  for (const Case& c : cases)
    EXPECT_EQ(c.until, SnoozeUntil(today, 12 * 3600, c.unit, c.n).FormatICal(CDateTime::kAsStored)) << c.n;
}

TEST(SoundRepeat, PlaysRowsInTurnUntilTheirLengthRunsOut) {
  auto row = [](bool sound, int length) {
    SoundRow r;
    r.present = true;
    r.soundOn = sound;
    r.lengthMinutes = length;
    return r;
  };
  std::vector<SoundRow> rows = {row(false, 5), row(true, 5), SoundRow(), row(true, -1)};
  int next = 0;
  EXPECT_EQ(1, PickRepeatRow(rows, &next, 20));
  EXPECT_EQ(3, PickRepeatRow(rows, &next, 40));
  EXPECT_EQ(1, PickRepeatRow(rows, &next, 60));
  // After five whole minutes only the row without a limit sounds.
  EXPECT_EQ(3, PickRepeatRow(rows, &next, 300));
  EXPECT_EQ(3, PickRepeatRow(rows, &next, 320));
  rows.pop_back();
  next = 7;  // rows went meanwhile: wrapped, nothing left to play
  EXPECT_EQ(-1, PickRepeatRow(rows, &next, 320));
  EXPECT_EQ(-1, PickRepeatRow({}, &next, 0));
}

TEST(Flashing, AnUnreadableOrZeroCountFlashesOnce) {
  EXPECT_EQ(1u, FlashCount(false, 7));
  EXPECT_EQ(1u, FlashCount(true, 0));
  EXPECT_EQ(3u, FlashCount(true, 3));
}

}  // namespace
