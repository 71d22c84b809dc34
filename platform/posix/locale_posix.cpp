#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace platform {

bool LocaleUses24HourClock() {
  // The user's LC_TIME, without touching the process-wide locale.
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!loc) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  if (!loc) return true;
  const char* fmt = nl_langinfo_l(T_FMT, loc);
  bool twelve = fmt && (std::strstr(fmt, "%I") || std::strstr(fmt, "%l") || std::strstr(fmt, "%r") ||
                        std::strstr(fmt, "%p"));
  freelocale(loc);
  return !twelve;
}

bool LocaleMeasuresMetric() {
#if defined(__GLIBC__)
  // The user's LC_MEASUREMENT: 1 metric, 2 U.S.
  locale_t loc = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(0));
  if (!loc) return true;
  const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
  bool metric = !m || m[0] != 2;
  freelocale(loc);
  return metric;
#else
  return true;
#endif
}

}  // namespace platform
