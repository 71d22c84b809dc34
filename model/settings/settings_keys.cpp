// The key table of the settings, built from the key list
// (settings_key_list.inc).
#include "model/settings/settings_keys.h"

namespace {

using P = CProgramSettings;
using T = SettingsKey::Type;
using D = SettingsKey::Default;

SettingsKey I(const char* name, int32_t P::*m, int32_t def, D dyn = D::kFixed) {
  return SettingsKey{name, T::kInt, m, nullptr, nullptr, nullptr, def, nullptr, dyn};
}
SettingsKey S(const char* name, int16_t P::*m, int16_t def) {
  return SettingsKey{name, T::kInt16, nullptr, m, nullptr, nullptr, def, nullptr, D::kFixed};
}
SettingsKey X(const char* name, std::string P::*m, const char* def) {
  return SettingsKey{name, T::kText, nullptr, nullptr, m, nullptr, 0, def, D::kFixed};
}
SettingsKey F(const char* name, std::string P::*m, LogFont P::*f, const char* def) {
  return SettingsKey{name, T::kFont, nullptr, nullptr, m, f, 0, def, D::kFixed};
}

const char kEmailBody[] =
    "Event Name : <name>\nEvent Type : <type>\nStart Date : <start date>\nStart Time : <start time>\n"
    "End Date : <end date>\nEnd Time : <end time>\nAge : <age>\nNotes\n<notes>";

// The calendar-sharing service's search page.
const char kCalendarSearchUrl[] = "http://www.skyledger.com/search/";

std::vector<SettingsKey> Build() {
  return {
#define ALMACORA_SETTING_INT(name, def) I(#name, &P::name, def),
#define ALMACORA_SETTING_INT_DAY(name, dynamic) I(#name, &P::name, 0, D::dynamic),
#define ALMACORA_SETTING_INT16(name, def) S(#name, &P::name, def),
#define ALMACORA_SETTING_TEXT(name, def) X(#name, &P::name, def),
#define ALMACORA_SETTING_FONT(name, logFont, def) F(#name, &P::name, &P::logFont, def),
#include "model/settings/settings_key_list.inc"
  };
}

}  // namespace

const std::vector<SettingsKey>& AllSettingsKeys() {
  static const std::vector<SettingsKey> keys = Build();
  return keys;
}

int32_t SettingsNumberDefault(const SettingsKey& key, int year, int month, int day, int32_t julianDay) {
  const int32_t today = year * 10000 + month * 100 + day;
  switch (key.dynamicDefault) {
    case SettingsKey::Default::kTodayNumber:
      return today;
    case SettingsKey::Default::kTodayNumberMinus1:
      return today - 1;
    case SettingsKey::Default::kTodayJulianDay:
      return julianDay;
    case SettingsKey::Default::kFixed:
      break;
  }
  return key.numberDefault;
}
