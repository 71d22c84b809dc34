// Snoozing from the reminder window: reading the number typed, its range
// per button, and the time the alarm comes back.
#pragma once

#include <string>

#include "model/dates/date_time.h"

namespace alarmcore {

enum class SnoozeUnit { kMinutes, kHours, kDays, kWeeks };

// The number in the snooze edit: the decimal value of at most its first 9
// characters (leading blanks and a sign allowed, reading stops at the first
// other character); 0 when there is none.
int ReadSnoozeNumber(const std::string& text);

// Minutes and hours take 1..10000, days and weeks 1..1000.
int SnoozeLimit(SnoozeUnit unit);
bool IsSnoozeNumberValid(SnoozeUnit unit, int n);
// "Please enter an integer between 1 and <limit>".
std::string SnoozeRangeMessage(SnoozeUnit unit);
constexpr const char* kSnoozeMessageCaption = "Snooze Value";

// When a snoozed alarm comes back: `today` (a floating local date) at
// `secondsOfDay` plus n of the unit, by calendar arithmetic.
CDateTime SnoozeUntil(const CDateTime& today, int secondsOfDay, SnoozeUnit unit, int n);

}  // namespace alarmcore
