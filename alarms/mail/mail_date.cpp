#include "alarms/mail/mail_text.h"

#include <cstdio>

#include "platform/civil_time.h"
#include "platform/clock.h"

namespace mail {

namespace {

const char* const kDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

long long Minutes(const platform::CivilTime& c) {
  return platform::DaysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) * 1440 +
         c.hour * 60 + c.minute;
}

}  // namespace

std::string MailDateNow() {
  platform::CivilTime utc = platform::UtcNow();
  platform::CivilTime local;
  if (!platform::UtcToLocal(utc, &local)) local = utc;
  return FormatMailDate(local, static_cast<int>(Minutes(local) - Minutes(utc)));
}

std::string FormatMailDate(const platform::CivilTime& local, int offsetMinutes) {
  long long days =
      platform::DaysFromCivil(local.year, static_cast<unsigned>(local.month), static_cast<unsigned>(local.day));
  int weekday = static_cast<int>(((days % 7) + 7 + 3) % 7);  // 1970-01-01 was a Thursday
  int month = local.month >= 1 && local.month <= 12 ? local.month - 1 : 0;
  char sign = offsetMinutes < 0 ? '-' : '+';
  int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char text[80];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[weekday], local.day,
                kMonths[month], local.year, local.hour, local.minute, local.second, sign, offset / 60, offset % 60);
  return text;
}

}  // namespace mail
