// The key table of the settings. Spellings are the stored profiles' and
// must not be "corrected".
#include "model/settings_keys.h"

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
      // Alarms, reminders and their actions.
      I("AlarmCheckFrequency", &P::AlarmCheckFrequency, 3),
      I("SnoozeMinutes", &P::SnoozeMinutes, 5),
      I("AlarmLength", &P::AlarmLength, 5),
      I("AlarmRepeatLength", &P::AlarmRepeatLength, 20),
      I("AlarmInterupt", &P::AlarmInterupt, 0),
      S("AutoAcknowledge", &P::AutoAcknowledge, 0),
      S("AlarmSoundEnabled", &P::AlarmSoundEnabled, 1),
      X("AlarmSoundFile", &P::AlarmSoundFile, "whip.wav"),
      S("AlarmEmailEnabled", &P::AlarmEmailEnabled, 0),
      S("AlarmRunEnabled", &P::AlarmRunEnabled, 0),
      X("RunFilename", &P::RunFilename, ""),
      X("RunParms", &P::RunParms, ""),
      I("RunState", &P::RunState, 1),
      S("RunAlarm", &P::RunAlarm, 1),
      S("RunSnooze", &P::RunSnooze, 1),
      I("DailyReminder", &P::DailyReminder, 1),
      I("DailyReminderTime", &P::DailyReminderTime, 540),
      I("SoundEnabled", &P::SoundEnabled, 1),
      X("SoundFile", &P::SoundFile, "sqeak.wav"),
      // E-mail.
      I("EmailType", &P::EmailType, 1),
      X("EmailServer", &P::EmailServer, ""),
      I("EmailPort", &P::EmailPort, 25),
      I("EmailSMTPLogin", &P::EmailSMTPLogin, 0),
      X("EmailUsername", &P::EmailUsername, ""),
      X("EmailPassword", &P::EmailPassword, ""),
      X("EmailFromName", &P::EmailFromName, ""),
      X("EmailFromAddr", &P::EmailFromAddr, ""),
      X("EmailTo", &P::EmailTo, ""),
      X("EmailSubject", &P::EmailSubject, "Alarm : <name>"),
      X("EmailBody", &P::EmailBody, kEmailBody),
      X("EmailProfile", &P::EmailProfile, ""),
      I("EmailMAPIShared", &P::EmailMAPIShared, 1),
      // New events (DefaultType belongs to the type list).
      S("DefaultNotifyType", &P::DefaultNotifyType, 0),
      I("DefaultEventTime", &P::DefaultEventTime, 28800),
      S("alarm_enabled", &P::alarm_enabled, 1),
      S("all_day", &P::all_day, 0),
      S("show_enddate", &P::show_enddate, 0),
      I("LeadTimeOneTime", &P::LeadTimeOneTime, 10),
      X("LeadUnitsOneTime", &P::LeadUnitsOneTime, "Minutes"),
      I("LeadTimeDaily", &P::LeadTimeDaily, 1),
      X("LeadUnitsDaily", &P::LeadUnitsDaily, "Days"),
      I("LeadTimeWeekly", &P::LeadTimeWeekly, 2),
      X("LeadUnitsWeekly", &P::LeadUnitsWeekly, "Days"),
      I("LeadTimeMonthly", &P::LeadTimeMonthly, 3),
      X("LeadUnitsMonthly", &P::LeadUnitsMonthly, "Days"),
      I("LeadTimeYearly", &P::LeadTimeYearly, 7),
      X("LeadUnitsYearly", &P::LeadUnitsYearly, "Days"),
      S("DaysPriorOneTime", &P::DaysPriorOneTime, 14),
      S("DaysPriorDaily", &P::DaysPriorDaily, 2),
      S("DaysPriorWeekly", &P::DaysPriorWeekly, 5),
      S("DaysPriorMonthly", &P::DaysPriorMonthly, 7),
      S("DaysPriorYearly", &P::DaysPriorYearly, 14),
      S("BirthdayAlarmEnabled", &P::BirthdayAlarmEnabled, 1),
      I("BirthdayLeadTime", &P::BirthdayLeadTime, 7),
      X("BirthdayLeadUnits", &P::BirthdayLeadUnits, "Days"),
      I("DaysPriorBirthday", &P::DaysPriorBirthday, 14),
      X("TypeBirthday", &P::TypeBirthday, "Birthday"),
      X("TypeAnniversary", &P::TypeAnniversary, "Anniversary"),
      // Start-up, window and views.
      I("WinStartupMode", &P::WinStartupMode, 1),
      I("SplashEnabled", &P::SplashEnabled, 1),
      S("AllowMultiple", &P::AllowMultiple, 0),
      X("StartupFilter", &P::StartupFilter, ""),
      I("ShowState", &P::ShowState, 1),
      I("ShowToolbar", &P::ShowToolbar, 1),
      I("SaveOnExit", &P::SaveOnExit, 1),
      I("WinPosX", &P::WinPosX, -1),
      I("WinPosY", &P::WinPosY, -1),
      I("WinSizeX", &P::WinSizeX, -1),
      I("WinSizeY", &P::WinSizeY, -1),
      I("Maximized", &P::Maximized, 0),
      I("WinCentered", &P::WinCentered, 1),
      I("GridSizeY", &P::GridSizeY, 130),
      I("LastListSize", &P::LastListSize, 130),
      S("CalMode", &P::CalMode, 0),
      I("DailyScale", &P::DailyScale, 30),
      S("ShowWeekNums", &P::ShowWeekNums, 0),
      I("CalendarStartDay", &P::CalendarStartDay, 0),
      S("ShowAcknowledgedList", &P::ShowAcknowledgedList, 0),
      S("ShowAcknowledgedCalendar", &P::ShowAcknowledgedCalendar, 1),
      S("UseAcknowledgedColor", &P::UseAcknowledgedColor, 1),
      I("CalAcknowledgedColor", &P::CalAcknowledgedColor, 0xC0C0C0),
      S("ColorCode", &P::ColorCode, 1),
      S("ColorCodePrinting", &P::ColorCodePrinting, 1),
      I("BlankTypeColor", &P::BlankTypeColor, 0xA00000),
      S("show_age", &P::show_age, 1),
      I("width_name", &P::width_name, 170),
      I("width_date", &P::width_date, 75),
      I("width_day", &P::width_day, 35),
      I("width_time", &P::width_time, 65),
      I("width_age", &P::width_age, 35),
      I("width_days_left", &P::width_days_left, 60),
      I("width_type", &P::width_type, 120),
      I("width_notes_flag", &P::width_notes_flag, 17),
      I("width_alarm_flag", &P::width_alarm_flag, 17),
      F("ListHeadingFont", &P::ListHeadingFont, &P::ListHeadingLogFont, "MS Sans Serif,80,700,0"),
      F("ListItemFont", &P::ListItemFont, &P::ListItemLogFont, "MS Sans Serif,80,400,0"),
      F("CalHeadingFont", &P::CalHeadingFont, &P::CalHeadingLogFont, "MS Sans Serif,80,700,0"),
      F("CalWeekHeadingFont", &P::CalWeekHeadingFont, &P::CalWeekHeadingLogFont, "MS Sans Serif,80,400,0"),
      F("CalItemFont", &P::CalItemFont, &P::CalItemLogFont, "MS Sans Serif,80,400,0"),
      // Calendar pages and printing.
      F("MonthHeadingFont", &P::MonthHeadingFont, &P::MonthHeadingLogFont, "Times New Roman,280,700,0"),
      F("DayHeadingFont", &P::DayHeadingFont, &P::DayHeadingLogFont, "Arial,120,700,0"),
      F("DayFont", &P::DayFont, &P::DayLogFont, "Times New Roman,120,700,0"),
      F("ItemFont", &P::ItemFont, &P::ItemLogFont, "Arial,80,400,0"),
      I("rgb_MonthHeading", &P::rgb_MonthHeading, 0x000080),
      I("rgb_DayHeading", &P::rgb_DayHeading, 0xFFFFFF),
      I("rgb_Day", &P::rgb_Day, 0x800000),
      I("rgb_Item", &P::rgb_Item, 0x000000),
      I("rgb_CalLineColor", &P::rgb_CalLineColor, 0xA00000),
      I("rgb_CalHeadingBkColor", &P::rgb_CalHeadingBkColor, 0xA00000),
      I("cal_line_width", &P::cal_line_width, 2),
      I("cal_orientation", &P::cal_orientation, 2),
      I("cal_margin_left", &P::cal_margin_left, 1000),
      I("cal_margin_right", &P::cal_margin_right, 1000),
      I("cal_margin_top", &P::cal_margin_top, 1000),
      I("cal_margin_bottom", &P::cal_margin_bottom, 1000),
      I("list_orientation", &P::list_orientation, 1),
      I("list_margin_left", &P::list_margin_left, 1000),
      I("list_margin_right", &P::list_margin_right, 1000),
      I("list_margin_top", &P::list_margin_top, 1000),
      I("list_margin_bottom", &P::list_margin_bottom, 1000),
      F("PrintListHeadingFont", &P::PrintListHeadingFont, &P::PrintListHeadingLogFont,
        "MS Sans Serif,100,700,0"),
      F("PrintListItemFont", &P::PrintListItemFont, &P::PrintListItemLogFont, "MS Sans Serif,100,400,0"),
      S("PrintAcknowledgedList", &P::PrintAcknowledgedList, 1),
      S("print_name", &P::print_name, 1),
      S("print_day", &P::print_day, 1),
      S("print_date", &P::print_date, 1),
      S("print_days_left", &P::print_days_left, 1),
      S("print_time", &P::print_time, 1),
      S("print_age", &P::print_age, 1),
      S("print_type", &P::print_type, 1),
      I("print_width_name", &P::print_width_name, 2100),
      I("print_width_day", &P::print_width_day, 500),
      I("print_width_date", &P::print_width_date, 700),
      I("print_width_days_left", &P::print_width_days_left, 700),
      I("print_width_time", &P::print_width_time, 700),
      I("print_width_age", &P::print_width_age, 400),
      I("print_width_type", &P::print_width_type, 1500),
      // Text import and export.
      X("ImportColumnDelimeter", &P::ImportColumnDelimeter, ","),
      X("ImportDateDelimeter", &P::ImportDateDelimeter, "/"),
      S("ImportDateOrder", &P::ImportDateOrder, 0),
      X("ImportColumnOrder", &P::ImportColumnOrder, "2301"),
      S("ImportDefaultFreq", &P::ImportDefaultFreq, 0),
      S("ImportAlarmEnabled", &P::ImportAlarmEnabled, 1),
      S("ImportLeadTime", &P::ImportLeadTime, 7),
      X("ImportLeadUnits", &P::ImportLeadUnits, "Days"),
      I("AutoExport", &P::AutoExport, 0),
      X("ExportFilename", &P::ExportFilename, "export.txt"),
      S("ExportFileFormat", &P::ExportFileFormat, 0),
      S("ExportDelimiter", &P::ExportDelimiter, 0),
      S("ExportHeadings", &P::ExportHeadings, 1),
      S("ExportShowAge", &P::ExportShowAge, 1),
      // Warnings.
      S("WarnAdvanced", &P::WarnAdvanced, 1),
      I("WarnTime", &P::WarnTime, 1),
      I("WarnTimeBegin", &P::WarnTimeBegin, 22),
      I("WarnTimeEnd", &P::WarnTimeEnd, 5),
      I("WarnTimeConflict", &P::WarnTimeConflict, 1),
      I("WarnHiding", &P::WarnHiding, 1),
      I("WarnExit", &P::WarnExit, 1),
      S("WarnAcknowledge", &P::WarnAcknowledge, 1),
      S("WarnFilter", &P::WarnFilter, 1),
      // Backup.
      X("BackupDir", &P::BackupDir, "a:\\"),
      I("AutoBackup", &P::AutoBackup, 1),
      I("AutoBackupDays", &P::AutoBackupDays, 30),
      I("AutoBackupDate", &P::AutoBackupDate, 0, D::kTodayJulianDay),
      // Internet calendars.
      X("PublishURL", &P::PublishURL, ""),
      X("PublishUsername", &P::PublishUsername, ""),
      X("PublishPassword", &P::PublishPassword, ""),
      X("CalendarSearchURL", &P::CalendarSearchURL, kCalendarSearchUrl),
      // Bookkeeping.
      I("ConfigExists", &P::ConfigExists, 0),
      I("FirstRun35", &P::FirstRun35, 1),
      I("FirstRun50", &P::FirstRun50, 1),
      I("last_date", &P::last_date, 0, D::kTodayNumber),
      I("LastNormalStartupDate", &P::LastNormalStartupDate, 0, D::kTodayNumberMinus1),
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
