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

// The reading of t on the user's wall clock, as seconds from the epoch on
// that clock; false when t cannot be read.
bool WallOf(time_t t, long long* wall) {
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return false;
  *wall = DaysFromCivil(tm.tm_year + 1900LL, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday)) *
              86400LL + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
  return true;
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
  } else {
    // In the hour repeated by a change back mktime gives either instance
    // (it starts from the offset it last worked with). Take the first, read
    // in the offset in force a day earlier, as the zone rules take it.
    long long wall = 0, before = 0, again = 0;
    const time_t dayEarlier = t - 86400;
    if (WallOf(t, &wall) && WallOf(dayEarlier, &before)) {
      const time_t first = static_cast<time_t>(wall - (before - dayEarlier));
      if (first < t && WallOf(first, &again) && again == wall) t = first;
    }
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
