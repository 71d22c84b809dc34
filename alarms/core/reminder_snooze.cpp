#include "alarms/core/reminder_snooze.h"

#include <cctype>
#include <climits>

#include "model/dates/duration.h"

namespace alarmcore {

int ReadSnoozeNumber(const std::string& text) {
  const std::string head = text.substr(0, 9);
  size_t i = 0;
  while (i < head.size() && std::isspace(static_cast<unsigned char>(head[i]))) ++i;
  bool negative = false;
  if (i < head.size() && (head[i] == '+' || head[i] == '-')) negative = head[i++] == '-';
  long value = 0;  // nine digits at most: no overflow
  for (; i < head.size() && head[i] >= '0' && head[i] <= '9'; ++i) value = value * 10 + (head[i] - '0');
  return static_cast<int>(negative ? -value : value);
}

int SnoozeLimit(SnoozeUnit unit) {
  return unit == SnoozeUnit::kMinutes || unit == SnoozeUnit::kHours ? 10000 : 1000;
}

bool IsSnoozeNumberValid(SnoozeUnit unit, int n) { return n >= 1 && n <= SnoozeLimit(unit); }

std::string SnoozeRangeMessage(SnoozeUnit unit) {
  return "Please enter an integer between 1 and " + std::to_string(SnoozeLimit(unit));
}

CDateTime SnoozeUntil(const CDateTime& today, int secondsOfDay, SnoozeUnit unit, int n) {
  CDateTime at = CDateTime::FromParts(today.GetJulianDay(), secondsOfDay, CDateTime::kFloating);
  CDuration d;
  d.sign = 1;
  switch (unit) {
    case SnoozeUnit::kMinutes: d.minutes = n; break;
    case SnoozeUnit::kHours: d.hours = n; break;
    case SnoozeUnit::kDays: d.days = n; break;
    case SnoozeUnit::kWeeks: d.weeks = n; break;
  }
  at.AddDuration(d);
  return at;
}

}  // namespace alarmcore
