#include "platform/clock.h"
#include "platform/clock_source.h"

#include <cerrno>
#include <ctime>

#include "platform/posix/civil_tm.h"

namespace platform {

namespace {

CivilTime FromTm(const std::tm& tm, int ms) {
  CivilTime c;
  c.year = tm.tm_year + 1900;
  c.month = tm.tm_mon + 1;
  c.day = tm.tm_mday;
  c.hour = tm.tm_hour;
  c.minute = tm.tm_min;
  c.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  c.millisecond = ms;
  return c;
}

bool ToTm(const CivilTime& c, std::tm* tm) {
  if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 || c.hour < 0 || c.hour > 23 ||
      c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 60 || c.millisecond < 0 ||
      c.millisecond > 999 || c.year < 1601 || c.year > 30827)
    return false;
  *tm = CivilToTm(c);
  return true;
}

CivilTime Now(bool local) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  time_t t = ts.tv_sec;
  if (local)
    localtime_r(&t, &tm);
  else
    gmtime_r(&t, &tm);
  return FromTm(tm, static_cast<int>(ts.tv_nsec / 1000000));
}

}  // namespace

CivilTime SystemUtcNow() { return Now(false); }
CivilTime SystemLocalNow() { return Now(true); }

bool LocalToUtc(const CivilTime& local, CivilTime* utc) {
  std::tm tm;
  if (!ToTm(local, &tm)) return false;
  tm.tm_isdst = -1;
  std::tm probe = tm;
  errno = 0;
  time_t t = mktime(&probe);
  if (t == static_cast<time_t>(-1) && errno != 0) return false;
  // In a spring-forward gap mktime normalises forward; take the standard
  // offset instead so the result is the earlier, stable reading.
  if (probe.tm_hour != tm.tm_hour || probe.tm_min != tm.tm_min) {
    std::tm standard = tm;
    standard.tm_isdst = 0;
    t = mktime(&standard);
  }
  std::tm out{};
  if (!gmtime_r(&t, &out)) return false;
  *utc = FromTm(out, local.millisecond);
  return true;
}

bool UtcToLocal(const CivilTime& utc, CivilTime* local) {
  std::tm tm;
  if (!ToTm(utc, &tm)) return false;
  long long days = DaysFromCivil(utc.year, static_cast<unsigned>(utc.month), static_cast<unsigned>(utc.day));
  long long secs = days * 86400LL + utc.hour * 3600 + utc.minute * 60 + utc.second;
  time_t t = static_cast<time_t>(secs);
  std::tm out{};
  if (!localtime_r(&t, &out)) return false;
  *local = FromTm(out, utc.millisecond);
  return true;
}

}  // namespace platform
