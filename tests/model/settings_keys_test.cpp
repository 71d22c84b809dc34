// Every key of the profile with its stored type and default, spelled as the
// stored profiles spell it. An empty profile loads these defaults and the
// first start writes them all back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "tests/support/fixed_clock.h"

namespace {

struct Expected {
  const char* key;
  bool isText;
  int32_t number;
  const char* text;
};

Expected N(const char* key, int32_t v) { return {key, false, v, nullptr}; }
Expected T(const char* key, const char* v) { return {key, true, 0, v}; }

// 2026-03-10, the frozen day of these tests.
const int32_t kToday = 20260310;

std::vector<Expected> ExpectedKeys() {
  const int32_t julianToday = JulianDayFromDate(3, 10, 2026);
  return {
      N("AlarmCheckFrequency", 3), N("SnoozeMinutes", 5), N("AlarmLength", 5), N("AlarmRepeatLength", 20),
      N("AlarmInterupt", 0), N("AutoAcknowledge", 0), N("AlarmSoundEnabled", 1),
      T("AlarmSoundFile", "whip.wav"), N("AlarmEmailEnabled", 0), N("AlarmRunEnabled", 0),
      T("RunFilename", ""), T("RunParms", ""), N("RunState", 1), N("RunAlarm", 1), N("RunSnooze", 1),
      N("DailyReminder", 1), N("DailyReminderTime", 540), N("SoundEnabled", 1), T("SoundFile", "sqeak.wav"),
      N("EmailType", 1), T("EmailServer", ""), N("EmailPort", 25), N("EmailSMTPLogin", 0),
      T("EmailUsername", ""), T("EmailPassword", ""), T("EmailFromName", ""), T("EmailFromAddr", ""),
      T("EmailTo", ""), T("EmailSubject", "Alarm : <name>"),
      T("EmailBody",
        "Event Name : <name>\nEvent Type : <type>\nStart Date : <start date>\nStart Time : <start time>\n"
        "End Date : <end date>\nEnd Time : <end time>\nAge : <age>\nNotes\n<notes>"),
      T("EmailProfile", ""), N("EmailMAPIShared", 1),
      N("DefaultNotifyType", 0), N("DefaultEventTime", 28800), N("DefaultType", -1), N("alarm_enabled", 1),
      N("all_day", 0), N("show_enddate", 0), N("LeadTimeOneTime", 10), T("LeadUnitsOneTime", "Minutes"),
      N("LeadTimeDaily", 1), T("LeadUnitsDaily", "Days"), N("LeadTimeWeekly", 2), T("LeadUnitsWeekly", "Days"),
      N("LeadTimeMonthly", 3), T("LeadUnitsMonthly", "Days"), N("LeadTimeYearly", 7),
      T("LeadUnitsYearly", "Days"), N("DaysPriorOneTime", 14), N("DaysPriorDaily", 2),
      N("DaysPriorWeekly", 5), N("DaysPriorMonthly", 7), N("DaysPriorYearly", 14),
      N("BirthdayAlarmEnabled", 1), N("BirthdayLeadTime", 7), T("BirthdayLeadUnits", "Days"),
      N("DaysPriorBirthday", 14), T("TypeBirthday", "Birthday"), T("TypeAnniversary", "Anniversary"),
      N("NumTypes", 0),
      N("WinStartupMode", 1), N("SplashEnabled", 1), N("AllowMultiple", 0), T("StartupFilter", ""),
      N("ShowState", 1), N("ShowToolbar", 1), N("SaveOnExit", 1), N("WinPosX", -1), N("WinPosY", -1),
      N("WinSizeX", -1), N("WinSizeY", -1), N("Maximized", 0), N("WinCentered", 1), N("GridSizeY", 130),
      N("LastListSize", 130), N("CalMode", 0), N("DailyScale", 30), N("ShowWeekNums", 0),
      N("CalendarStartDay", 0), N("ShowAcknowledgedList", 0), N("ShowAcknowledgedCalendar", 1),
      N("UseAcknowledgedColor", 1), N("CalAcknowledgedColor", 0xC0C0C0), N("ColorCode", 1),
      N("ColorCodePrinting", 1), N("BlankTypeColor", 0xA00000), N("show_age", 1), N("width_name", 170),
      N("width_date", 75), N("width_day", 35), N("width_time", 65), N("width_age", 35),
      N("width_days_left", 60), N("width_type", 120), N("width_notes_flag", 17), N("width_alarm_flag", 17),
      T("ListHeadingFont", "MS Sans Serif,80,700,0"), T("ListItemFont", "MS Sans Serif,80,400,0"),
      T("CalHeadingFont", "MS Sans Serif,80,700,0"), T("CalWeekHeadingFont", "MS Sans Serif,80,400,0"),
      T("CalItemFont", "MS Sans Serif,80,400,0"),
      T("MonthHeadingFont", "Times New Roman,280,700,0"), T("DayHeadingFont", "Arial,120,700,0"),
      T("DayFont", "Times New Roman,120,700,0"), T("ItemFont", "Arial,80,400,0"),
      N("rgb_MonthHeading", 0x000080), N("rgb_DayHeading", 0xFFFFFF), N("rgb_Day", 0x800000),
      N("rgb_Item", 0), N("rgb_CalLineColor", 0xA00000), N("rgb_CalHeadingBkColor", 0xA00000),
      N("cal_line_width", 2), N("cal_orientation", 2), N("cal_margin_left", 1000),
      N("cal_margin_right", 1000), N("cal_margin_top", 1000), N("cal_margin_bottom", 1000),
      N("list_orientation", 1), N("list_margin_left", 1000), N("list_margin_right", 1000),
      N("list_margin_top", 1000), N("list_margin_bottom", 1000),
      T("PrintListHeadingFont", "MS Sans Serif,100,700,0"), T("PrintListItemFont", "MS Sans Serif,100,400,0"),
      N("PrintAcknowledgedList", 1), N("print_name", 1), N("print_day", 1), N("print_date", 1),
      N("print_days_left", 1), N("print_time", 1), N("print_age", 1), N("print_type", 1),
      N("print_width_name", 2100), N("print_width_day", 500), N("print_width_date", 700),
      N("print_width_days_left", 700), N("print_width_time", 700), N("print_width_age", 400),
      N("print_width_type", 1500),
      T("ImportColumnDelimeter", ","), T("ImportDateDelimeter", "/"), N("ImportDateOrder", 0),
      T("ImportColumnOrder", "2301"), N("ImportDefaultFreq", 0), N("ImportAlarmEnabled", 1),
      N("ImportLeadTime", 7), T("ImportLeadUnits", "Days"), N("AutoExport", 0),
      T("ExportFilename", "export.txt"), N("ExportFileFormat", 0), N("ExportDelimiter", 0),
      N("ExportHeadings", 1), N("ExportShowAge", 1),
      N("WarnAdvanced", 1), N("WarnTime", 1), N("WarnTimeBegin", 22), N("WarnTimeEnd", 5),
      N("WarnTimeConflict", 1), N("WarnHiding", 1), N("WarnExit", 1), N("WarnAcknowledge", 1),
      N("WarnFilter", 1),
      T("BackupDir", "a:\\"), N("AutoBackup", 1), N("AutoBackupDays", 30), N("AutoBackupDate", julianToday),
      T("PublishURL", ""), T("PublishUsername", ""), T("PublishPassword", ""),
      N("ConfigExists", 1), N("FirstRun35", 1), N("FirstRun50", 1), N("last_date", kToday),
      N("LastNormalStartupDate", kToday - 1),
  };
}

class SettingsDefaults : public ::testing::Test {
 protected:
  SettingsDefaults()
      : clock_(testsupport::Civil(2026, 3, 10, 11, 0, 0)),
        location_(platform::ProfileStore::ScratchLocation("defaults")),
        profile_(location_) {
    settings_.SetProfile(&profile_);
  }
  ~SettingsDefaults() override { profile_.Clear(); }

  testsupport::FixedClock clock_;
  std::string location_;
  platform::ProfileStore profile_;
  CProgramSettings settings_;
};

TEST_F(SettingsDefaults, TheFirstStartWritesEveryKeyWithItsDefault) {
  settings_.LoadSettings();
  for (const Expected& e : ExpectedKeys()) {
    SCOPED_TRACE(e.key);
    if (e.isText) {
      std::string v;
      ASSERT_TRUE(profile_.ReadString("Settings", e.key, &v));
      EXPECT_EQ(v, e.text);
    } else {
      int32_t v = 0;
      ASSERT_TRUE(profile_.ReadInt("Settings", e.key, &v));
      EXPECT_EQ(v, e.number);
    }
  }
  // No document yet: the file list is left for the next save; the legacy
  // key is never written.
  int32_t unused;
  std::string text;
  EXPECT_FALSE(profile_.ReadInt("Settings", "NumFiles", &unused));
  EXPECT_FALSE(profile_.ReadString("Settings", "DataFile", &text));
  EXPECT_FALSE(profile_.ReadString("Settings", "EventTypes01", &text));
}

TEST_F(SettingsDefaults, AnEmptyProfileLoadsTheDefaultsIntoTheMembers) {
  settings_.LoadSettings();
  EXPECT_EQ(settings_.AlarmCheckFrequency, 3);
  EXPECT_EQ(settings_.SnoozeMinutes, 5);
  EXPECT_EQ(settings_.AlarmSoundFile, "whip.wav");
  EXPECT_EQ(settings_.DefaultEventTime, 28800);
  EXPECT_EQ(settings_.DefaultType, -1);
  EXPECT_EQ(settings_.ConfigExists, 1);
  EXPECT_EQ(settings_.AutoBackupDate, JulianDayFromDate(3, 10, 2026));
  EXPECT_EQ(settings_.last_date, kToday);
  ASSERT_EQ(settings_.DataFilePaths, std::vector<std::string>{"events.akv"});
  EXPECT_EQ(settings_.DataFileEnabled, std::vector<int16_t>{1});
  EXPECT_EQ(settings_.DefaultFile, 1);
  EXPECT_EQ(settings_.EventTypeNames,
            (std::vector<std::string>{"Alarm", "Anniversary", "Birthday", "Holiday", "Meeting", "Work"}));
  EXPECT_EQ(settings_.EventTypeColors,
            (std::vector<uint32_t>{0x000080, 0xA00000, 0xFF8000, 0x0000FF, 0x0080FF, 0x00C000}));
  EXPECT_STREQ(settings_.MonthHeadingLogFont.lfFaceName, "Times New Roman");
  EXPECT_EQ(settings_.MonthHeadingLogFont.lfHeight, 280);
  EXPECT_EQ(settings_.MonthHeadingLogFont.lfWeight, 700);
}

TEST(SettingsInitialValues, TheConstructorAndTheResetsSetTheLayout) {
  CProgramSettings s;
  EXPECT_EQ(s.Metric, 1);  // the tests run in a British locale
  EXPECT_EQ(s.width_name, 170);
  EXPECT_EQ(s.WinPosX, -1);
  EXPECT_EQ(s.WinCentered, 1);
  EXPECT_EQ(s.GridSizeY, 130);
  EXPECT_EQ(s.print_width_type, 1500);
  EXPECT_EQ(s.print_age, 1);
  EXPECT_EQ(s.SnoozeMinutes, 0);  // not an initial-value key: 0 until loaded
  s.width_name = 5;
  s.WinPosX = 300;
  s.CalMode = 1;
  s.print_width_name = 1;
  s.print_day = 0;
  s.SetWindowLayoutDefaults();
  EXPECT_EQ(s.width_name, 170);
  EXPECT_EQ(s.WinPosX, -1);
  EXPECT_EQ(s.CalMode, 0);
  EXPECT_EQ(s.print_width_name, 1);  // print columns have their own reset
  s.SetPrintColumnDefaults();
  EXPECT_EQ(s.print_width_name, 2100);
  EXPECT_EQ(s.print_day, 1);
}

}  // namespace
