// The status log. Its stamp is the asctime form of the platform's local
// time (so a frozen test clock freezes it too).
#include "isam/runtime/status_log.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "isam/runtime/os_file_layer.h"
#include "platform/clock.h"
#include "platform/fatal.h"

namespace isam {

namespace {

std::atomic<bool> g_failure_reported{false};

// 0 = Monday .. 6 = Sunday, for a proleptic Gregorian date.
int WeekdayMondayZero(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (m + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = static_cast<long long>(era) * 146097 + doe - 719468;  // from 1970-01-01 (Thu)
  long long w = (days + 3) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w);
}

void AscTimeStamp(char* out, size_t size) {
  static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  platform::CivilTime t = platform::LocalNow();
  int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
  std::snprintf(out, size, "%s %s%3d %02d:%02d:%02d %d\n",
                kDays[WeekdayMondayZero(t.year, month, t.day)], kMonths[month - 1], t.day, t.hour,
                t.minute, t.second, t.year);
}

}  // namespace

void FormatStatusLogEntry(char* out, int size, const char* stamp, const char* text, int value) {
  if (size <= 0) return;
  if (value < -198) value = -value - 199;
  if (value != 0) {
    std::snprintf(out, size, "%s\t%s: %d\n", stamp, text ? text : "", value);
  } else {
    std::snprintf(out, size, "%s\t%s\n", stamp, text ? text : "");
  }
}

bool WriteStatusLog(const char* text, int value) {
  const int tries = value == kStatusLogFatalValue ? 1 : 11;
  std::FILE* log = nullptr;
  for (int i = 0; i < tries && log == nullptr; ++i) {
    log = std::fopen(kStatusLogName, "a");
    if (log == nullptr && i + 1 < tries && !ReleaseOneHandle()) break;
  }
  bool ok = false;
  if (log != nullptr) {
    char stamp[64];
    AscTimeStamp(stamp, sizeof stamp);
    char line[1024];
    FormatStatusLogEntry(line, sizeof line, stamp, text, value);
    ok = std::fputs(line, log) >= 0;
    ok = std::fclose(log) == 0 && ok;
  }
  if (!ok && !g_failure_reported.exchange(true)) {
    // The engine goes on without its log; the user hears about it once.
    char box[512];
    std::snprintf(box, sizeof box, "\nEngine status log failure: %s (%d)\n", text ? text : "", value);
    platform::ShowErrorMessage(box);
  }
  return ok;
}

void ResetStatusLogFailureReport() { g_failure_reported = false; }

}  // namespace isam
