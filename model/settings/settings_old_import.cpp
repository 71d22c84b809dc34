// The first start imports "almacora.ini", the settings file of earlier
// versions: lines "key=value", keys compared exactly.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/settings/program_settings.h"
#include "model/settings/settings_keys.h"

namespace {

// Keys the old file shares with the profile, under the same names.
const char* const kSameNameKeys[] = {
    "alarm_enabled", "LeadTimeOneTime", "LeadTimeDaily", "LeadTimeWeekly", "LeadTimeMonthly",
    "LeadTimeYearly", "LeadUnitsOneTime", "LeadUnitsDaily", "LeadUnitsWeekly", "LeadUnitsMonthly",
    "LeadUnitsYearly", "width_age", "width_date", "width_day", "width_days_left", "width_name",
    "width_time", "width_type", "ShowState", "ShowToolbar", "SaveOnExit", "WinPosX", "WinPosY",
    "WinSizeX", "WinSizeY", "Maximized", "WinCentered", "GridSizeY", "LastListSize", "WarnTime",
    "WarnTimeBegin", "WarnTimeEnd", "WarnHiding", "WarnExit", "BackupDir", "AutoBackup",
    "AutoBackupDays", "AutoBackupDate", "DailyReminder", "DailyReminderTime", "CalendarStartDay",
    "MonthHeadingFont", "DayHeadingFont", "DayFont", "ItemFont", "cal_line_width", "cal_orientation",
    "cal_margin_left", "cal_margin_right", "cal_margin_top", "cal_margin_bottom", "PrintListHeadingFont",
    "PrintListItemFont", "list_orientation", "list_margin_left", "list_margin_right", "list_margin_top",
    "list_margin_bottom", "ListHeadingFont", "ListItemFont", "CalHeadingFont", "CalItemFont",
    "last_date", "DefaultNotifyType", "DaysPriorOneTime", "DaysPriorDaily", "DaysPriorWeekly",
    "DaysPriorMonthly", "DaysPriorYearly", "WarnAcknowledge", "WarnFilter", "show_age", "print_name",
    "print_day", "print_date", "print_days_left", "print_time", "print_age", "print_type",
    "print_width_name", "print_width_day", "print_width_date", "print_width_days_left",
    "print_width_time", "print_width_age", "print_width_type", "ExportDelimiter", "ExportFileFormat",
    "ExportFilename", "ExportHeadings", "ExportShowAge",
};

// Old spellings of profile keys.
struct Alias {
  const char* oldName;
  const char* key;
};
const Alias kAliases[] = {
    {"soundfile", "SoundFile"},
    {"soundenabled", "SoundEnabled"},
    {"alarmsoundfile", "AlarmSoundFile"},
    {"alarmsoundenabled", "AlarmSoundEnabled"},
    {"winstartupmode", "WinStartupMode"},
    {"snoozeminutes", "SnoozeMinutes"},
    {"alarmlength", "AlarmLength"},
    {"splashenabled", "SplashEnabled"},
    {"MonthHeadingColor", "rgb_MonthHeading"},
    {"DayHeadingColor", "rgb_DayHeading"},
    {"DayColor", "rgb_Day"},
    {"ItemColor", "rgb_Item"},
    {"CalLineColor", "rgb_CalLineColor"},
    {"CalHeadingBkColor", "rgb_CalHeadingBkColor"},
};

const SettingsKey* FindKey(const std::string& name) {
  for (const SettingsKey& k : AllSettingsKeys()) {
    if (name == k.name) return &k;
  }
  return nullptr;
}

void SetFromText(CProgramSettings* s, const SettingsKey& key, const std::string& value) {
  switch (key.type) {
    case SettingsKey::Type::kInt:
      s->*key.intMember = static_cast<int32_t>(std::strtol(value.c_str(), nullptr, 10));
      break;
    case SettingsKey::Type::kInt16:
      s->*key.shortMember = static_cast<int16_t>(std::strtol(value.c_str(), nullptr, 10));
      break;
    case SettingsKey::Type::kText:
      s->*key.textMember = value;
      break;
    case SettingsKey::Type::kFont: {
      LogFont font;
      if (ParseFontText(value, &font)) {
        s->*key.textMember = value;
        s->*key.fontMember = font;
      }
      break;
    }
  }
}

bool IsSameNameKey(const std::string& name) {
  for (const char* k : kSameNameKeys) {
    if (name == k) return true;
  }
  return false;
}

// Reads one whole line, whatever its length; false at the end of the file.
bool ReadLine(FILE* f, std::string* line) {
  line->clear();
  int c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    *line += static_cast<char>(c);
  }
  while (!line->empty() && (line->back() == '\r' || line->back() == '\n')) line->pop_back();
  return any;
}

}  // namespace

void CProgramSettings::ImportOldSettings(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  std::string line;
  while (ReadLine(f, &line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    std::string value = line.substr(eq + 1);

    if (key == "DefaultType") {
      DefaultType = static_cast<int32_t>(std::strtol(value.c_str(), nullptr, 10));
      continue;
    }
    if (IsSameNameKey(key)) {
      if (const SettingsKey* k = FindKey(key)) SetFromText(this, *k, value);
      continue;
    }
    if (key == "datafile") {
      DataFilePaths.push_back(value);
      DataFileEnabled.push_back(1);
      DefaultFile = 0;
      continue;
    }
    bool aliased = false;
    for (const Alias& a : kAliases) {
      if (key == a.oldName) {
        if (const SettingsKey* k = FindKey(a.key)) SetFromText(this, *k, value);
        aliased = true;
        break;
      }
    }
    if (aliased) continue;
    // Numbered list keys: eventtype01, eventcolor01, ... (00 is no entry).
    if (key.size() > 2 && std::isdigit(static_cast<unsigned char>(key[key.size() - 1])) &&
        std::isdigit(static_cast<unsigned char>(key[key.size() - 2]))) {
      int number = std::atoi(key.c_str() + key.size() - 2);
      std::string base = key.substr(0, key.size() - 2);
      if (number == 0) continue;
      if (base == "eventtype") {
        EventTypeNames.push_back(value);
      } else if (base == "eventcolor") {
        EventTypeColors.push_back(static_cast<uint32_t>(std::strtol(value.c_str(), nullptr, 10)));
      }
    }
  }
  std::fclose(f);
}
