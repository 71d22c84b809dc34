#include "platform/locale.h"

#include <windows.h>

namespace platform {

bool LocaleUses24HourClock() {
  char buf[4] = {0};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ITIME, buf, sizeof buf) <= 0) return true;
  return buf[0] == '1';
}

bool LocaleMeasuresMetric() {
  // LOCALE_IMEASURE: "0" metric, "1" U.S.
  char buf[4] = {0};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, buf, sizeof buf) <= 0) return true;
  return buf[0] != '1';
}

}  // namespace platform
