#include "platform/date_format.h"

#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include "platform/locale.h"
#include "platform/posix/civil_tm.h"

namespace platform {

namespace {

bool ToTm(const CivilTime& c, struct tm* tm) {
  if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 || c.hour < 0 || c.hour > 23 || c.minute < 0 ||
      c.minute > 59 || c.second < 0 || c.second > 59)
    return false;
  *tm = CivilToTm(c);
  // timegm fills the weekday without involving the local zone.
  struct tm probe = *tm;
  timegm(&probe);
  if (probe.tm_mday != c.day || probe.tm_mon != c.month - 1) return false;  // 31 April
  tm->tm_wday = probe.tm_wday;
  tm->tm_yday = probe.tm_yday;
  return true;
}

// strftime in the user's LC_TIME, without touching the process-wide locale.
std::string Format(const char* pattern, const struct tm& tm) {
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!loc) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char buf[128] = {0};
  size_t n = 0;
  if (loc) {
    const char* p = pattern ? pattern : nl_langinfo_l(D_FMT, loc);
    n = strftime_l(buf, sizeof buf, p, &tm, loc);
    freelocale(loc);
  }
  return std::string(buf, n);
}

}  // namespace

std::string FormatShortDate(const CivilTime& date) {
  struct tm tm;
  if (!ToTm(date, &tm)) return std::string();
  return Format(nullptr, tm);
}

std::string FormatAbbreviatedDayName(const CivilTime& date) {
  struct tm tm;
  if (!ToTm(date, &tm)) return std::string();
  return Format("%a", tm);
}

std::string FormatTimeNoSeconds(const CivilTime& time) {
  struct tm tm;
  if (!ToTm(time, &tm)) return std::string();
  if (LocaleUses24HourClock()) return Format("%H:%M", tm);
  std::string s = Format("%I:%M %p", tm);
  if (!s.empty() && s[0] == '0') s.erase(0, 1);
  return s;
}

}  // namespace platform
