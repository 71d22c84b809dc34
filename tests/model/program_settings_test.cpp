// Loading and saving the settings against a scratch profile: stored values,
// the lists, fonts, the old settings file, and the helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "platform/profile_store.h"
#include "tests/support/fixed_clock.h"

namespace {

class FakeDocument : public IEventDocument {
 public:
  int16_t SaveEvent(CCalEvent&, int, int, int) override { return 1; }
  int16_t SaveEventAndRefresh(CCalEvent&, int, int, int) override { return 1; }
  CCalendarFile* GetDefaultCalendar() override { return nullptr; }
  int GetPublishAlarmsFlag(const CCalendarFile*) const override { return 0; }
  int GetCalendarCount() const override { return static_cast<int>(calendars.size()); }
  CalendarListEntry GetCalendarEntry(int index) const override { return calendars[index]; }
  int GetDefaultCalendarId() const override { return defaultId; }

  std::vector<CalendarListEntry> calendars;
  int defaultId = -1;
};

class FakeShell : public IShellServices {
 public:
  FontHandle CreatePointFont(const LogFont& font) override {
    created.push_back(font.lfFaceName);
    return reinterpret_cast<FontHandle>(static_cast<uintptr_t>(created.size()));
  }
  void DeleteFont(FontHandle font) override { deleted.push_back(font); }
  bool FlashWindowInTaskbar(WindowHandle, unsigned count) override {
    flashes += count;
    return true;
  }
  void ShowError(const std::string&) override {}

  std::vector<std::string> created;
  std::vector<FontHandle> deleted;
  unsigned flashes = 0;
};

class SettingsStore : public ::testing::Test {
 protected:
  SettingsStore()
      : clock_(testsupport::Civil(2026, 3, 10, 11, 0, 0)),
        location_(platform::ProfileStore::ScratchLocation("settings")),
        profile_(location_) {}
  ~SettingsStore() override { profile_.Clear(); }

  // A profile that has been saved before, so loading imports nothing.
  void MarkConfigured() { ASSERT_TRUE(profile_.WriteInt("Settings", "ConfigExists", 1)); }
  void Load(CProgramSettings* s) {
    s->SetProfile(&profile_);
    s->LoadSettings();
  }

  testsupport::FixedClock clock_;
  std::string location_;
  platform::ProfileStore profile_;
};

TEST_F(SettingsStore, StoredValuesWinAndInt16KeysKeepTheirLowHalf) {
  MarkConfigured();
  profile_.WriteInt("Settings", "SnoozeMinutes", 12);
  profile_.WriteInt("Settings", "AutoAcknowledge", 40000);
  profile_.WriteInt("Settings", "DaysPriorYearly", 32767);
  profile_.WriteInt("Settings", "AlarmCheckFrequency", 40000);  // a 32-bit key keeps it whole
  profile_.WriteString("Settings", "AlarmSoundFile", "bell.wav");
  profile_.WriteString("settings", "alarmlength", "7");  // a text where a number belongs
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.SnoozeMinutes, 12);
  EXPECT_EQ(s.AutoAcknowledge, -25536);
  EXPECT_EQ(s.DaysPriorYearly, 32767);
  EXPECT_EQ(s.AlarmCheckFrequency, 40000);
  EXPECT_EQ(s.AlarmSoundFile, "bell.wav");
  EXPECT_EQ(s.AlarmLength, 5);
}

TEST_F(SettingsStore, KeyNamesAreCaseInsensitiveAsInTheRegistry) {
  MarkConfigured();
  profile_.WriteInt("SETTINGS", "snoozeminutes", 9);
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.SnoozeMinutes, 9);
}

TEST_F(SettingsStore, SavedSettingsLoadBackIntoAFreshObject) {
  CProgramSettings first;
  Load(&first);
  first.SnoozeMinutes = 11;
  first.EmailBody = "line one\nline two";
  first.ListItemFont = "Courier New,100,400,1,204";
  first.DefaultType = 2;
  first.EventTypeNames = {"Birthday", "Family"};
  first.EventTypeColors = {0x111111, 0x222222};
  ASSERT_TRUE(first.SaveSettings());

  CProgramSettings second;
  Load(&second);
  EXPECT_EQ(second.SnoozeMinutes, 11);
  EXPECT_EQ(second.EmailBody, "line one\nline two");
  EXPECT_STREQ(second.ListItemLogFont.lfFaceName, "Courier New");
  EXPECT_EQ(second.ListItemLogFont.lfItalic, 1);
  EXPECT_EQ(second.ListItemLogFont.lfCharSet, 204);
  EXPECT_EQ(second.DefaultType, 2);
  EXPECT_EQ(second.EventTypeNames, (std::vector<std::string>{"Birthday", "Family"}));
  EXPECT_EQ(second.EventTypeColors, (std::vector<uint32_t>{0x111111, 0x222222}));
}

TEST_F(SettingsStore, ACalendarListOfNoFilesStaysEmpty) {
  MarkConfigured();
  profile_.WriteInt("Settings", "NumFiles", 0);
  profile_.WriteString("Settings", "DataFile", "old.akv");
  CProgramSettings s;
  Load(&s);
  EXPECT_TRUE(s.DataFilePaths.empty());
}

TEST_F(SettingsStore, TheLegacyFileIsTheOnlyOneOfAProfileWithoutAList) {
  MarkConfigured();
  profile_.WriteString("Settings", "DataFile", "old.akv");
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.DataFilePaths, std::vector<std::string>{"old.akv"});
  EXPECT_EQ(s.DataFileEnabled, std::vector<int16_t>{1});
}

TEST_F(SettingsStore, StoredCalendarFilesLoadWithTheirFlags) {
  MarkConfigured();
  profile_.WriteInt("Settings", "NumFiles", 2);
  profile_.WriteString("Settings", "DataFiles01", "a.akv");
  profile_.WriteString("Settings", "DataFiles02", "b.akv");
  profile_.WriteInt("Settings", "DataFilesEnabled02", 0);
  profile_.WriteInt("Settings", "DefaultFile", 2);
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.DataFilePaths, (std::vector<std::string>{"a.akv", "b.akv"}));
  EXPECT_EQ(s.DataFileEnabled, (std::vector<int16_t>{1, 0}));
  EXPECT_EQ(s.DefaultFile, 2);
}

TEST_F(SettingsStore, EachTypeWithoutAStoredColourGetsItsNameColour) {
  MarkConfigured();
  profile_.WriteInt("Settings", "NumTypes", 4);
  profile_.WriteString("Settings", "EventTypes01", "Birthday");
  profile_.WriteString("Settings", "EventTypes02", "Family");
  profile_.WriteString("Settings", "EventTypes03", "Work");
  profile_.WriteString("Settings", "EventTypes04", "Holiday");
  // A saved colour after a missing one still wins.
  profile_.WriteInt("Settings", "EventColors03", 0x123456);
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.EventTypeColors, (std::vector<uint32_t>{0xFF8000, 0x800000, 0x123456, 0x0000FF}));
}

TEST_F(SettingsStore, TypeColoursFollowColourCoding) {
  CProgramSettings s;
  Load(&s);
  s.EventTypeNames = {"Work", "Work", "Trip"};
  s.EventTypeColors = {0x00C000, 0x111111};
  EXPECT_EQ(s.GetTypeColor("Work"), 0x00C000u);  // the first of that name
  EXPECT_EQ(s.GetTypeColor("work"), 0xA00000u);  // names are case-sensitive
  EXPECT_EQ(s.GetTypeColor("Trip"), 0xA00000u);  // no colour at that index
  EXPECT_EQ(s.GetTypeColor(""), 0xA00000u);
  s.ColorCode = 0;
  EXPECT_EQ(s.GetTypeColor("Work"), 0xA00000u);
}

TEST_F(SettingsStore, AFontTextThatIsNoFontFallsBackToTheKeysDefault) {
  MarkConfigured();
  profile_.WriteString("Settings", "DayFont", "Arial,90");
  CProgramSettings s;
  Load(&s);
  EXPECT_EQ(s.DayFont, "Times New Roman,120,700,0");
  EXPECT_STREQ(s.DayLogFont.lfFaceName, "Times New Roman");
  EXPECT_EQ(s.DayLogFont.lfHeight, 120);
}

TEST_F(SettingsStore, TheFileListIsTheDocumentsCalendarList) {
  FakeDocument doc;
  doc.calendars = {{"home.akv", 1, 1}, {"preview.akv", 3, 2}, {"closed.akv", 0, 3}, {"work.akv", 1, 4}};
  doc.defaultId = 4;
  ModelServices services;
  services.document = &doc;
  ScopedModelServices scope(services);

  CProgramSettings s;
  Load(&s);
  s.RetryDataFiles = {"away.akv", "home.akv"};
  ASSERT_TRUE(s.SaveSettings());
  EXPECT_EQ(profile_.GetInt("Settings", "NumFiles", -9), 4);
  EXPECT_EQ(profile_.GetString("Settings", "DataFiles01", ""), "home.akv");
  EXPECT_EQ(profile_.GetInt("Settings", "DataFilesEnabled01", -9), 1);
  EXPECT_EQ(profile_.GetString("Settings", "DataFiles02", ""), "closed.akv");
  EXPECT_EQ(profile_.GetInt("Settings", "DataFilesEnabled02", -9), 0);
  EXPECT_EQ(profile_.GetString("Settings", "DataFiles03", ""), "work.akv");
  EXPECT_EQ(profile_.GetInt("Settings", "DefaultFile", -9), 3);
  // A calendar that failed to open stays listed for the next start.
  EXPECT_EQ(profile_.GetString("Settings", "DataFiles04", ""), "away.akv");
  EXPECT_EQ(profile_.GetInt("Settings", "DataFilesEnabled04", -9), 1);
}

TEST_F(SettingsStore, APreviewInstanceKeepsTheStoredCalendarList) {
  MarkConfigured();
  profile_.WriteInt("Settings", "NumFiles", 1);
  profile_.WriteString("Settings", "DataFiles01", "mine.akv");
  FakeDocument doc;
  doc.calendars = {{"other.akv", 1, 1}};
  ModelServices services;
  services.document = &doc;
  ScopedModelServices scope(services);

  CProgramSettings s;
  Load(&s);
  s.KeepStoredCalendarList = true;
  ASSERT_TRUE(s.SaveSettings());
  EXPECT_EQ(profile_.GetInt("Settings", "NumFiles", -9), 1);
  EXPECT_EQ(profile_.GetString("Settings", "DataFiles01", ""), "mine.akv");
}

TEST_F(SettingsStore, SingleWritesGoUnderSettingsAtOnce) {
  CProgramSettings s;
  s.SetProfile(&profile_);
  ASSERT_TRUE(s.WriteInt("WarnExit", 0));
  ASSERT_TRUE(s.WriteString("BackupDir", "D:\\Backup"));
  platform::ProfileStore other(location_);
  EXPECT_EQ(other.GetInt("Settings", "WarnExit", 1), 0);
  EXPECT_EQ(other.GetString("Settings", "BackupDir", ""), "D:\\Backup");
}

TEST_F(SettingsStore, CalendarFontsAreMadeByTheShellAndReplacedOnRecreate) {
  FakeShell shell;
  ModelServices services;
  services.shell = &shell;
  ScopedModelServices scope(services);
  {
    CProgramSettings s;
    Load(&s);
    EXPECT_EQ(shell.created, (std::vector<std::string>{"MS Sans Serif", "MS Sans Serif", "MS Sans Serif"}));
    EXPECT_NE(s.CalItemFontObject, nullptr);
    s.CalItemFont = "Arial,90,400,0";
    ASSERT_TRUE(CProgramSettings::ParseFont(s.CalItemFont, &s.CalItemLogFont));
    s.RecreateFonts();
    EXPECT_EQ(shell.deleted.size(), 3u);
    EXPECT_EQ(shell.created.back(), "Arial");
    EXPECT_TRUE(s.FlashWindowInTaskbar(nullptr, 4));
    EXPECT_EQ(shell.flashes, 4u);
  }
  EXPECT_EQ(shell.deleted.size(), 6u);  // the destructor releases them
}

TEST(SettingsWithoutShell, NoShellMeansNoFontsAndNoFlashing) {
  CProgramSettings s;
  s.RecreateFonts();
  EXPECT_EQ(s.CalHeadingFontObject, nullptr);
  EXPECT_FALSE(s.FlashWindowInTaskbar(nullptr, 3));
}

class OldSettingsFile : public SettingsStore {
 protected:
  // In the working folder, where the program looks for it too.
  OldSettingsFile() : path_("old-settings-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".ini") {}
  ~OldSettingsFile() override { std::remove(path_.c_str()); }
  void Write(const std::string& content) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  std::string path_;
};

TEST_F(OldSettingsFile, KnownKeysAliasesAndListsAreTakenOver) {
  const std::string longNotes(300, 'x');
  Write("alarm_enabled=0\r\n"
        "LeadUnitsDaily=Hours\r\n"
        "width_name=222\n"
        "BackupDir=C:\\" + longNotes + "\r\n"
        "snoozeminutes=15\n"
        "DayColor=255\n"
        "MonthHeadingFont=Garamond,300,400,1\n"
        "last_date=20051231\n"
        "datafile=C:\\old\\events.dat\n"
        "eventtype01=Birthday\n"
        "eventcolor01=255\n"
        "eventtype02=Family\n"
        "eventtype00=Ignored\n"
        "SnoozeMinutes=99\n"  // the old file spelled it in lower case only
        "nonsense line\n"
        "DefaultType=1");
  CProgramSettings s;
  s.SetProfile(&profile_);
  s.ImportOldSettings(path_);
  EXPECT_EQ(s.alarm_enabled, 0);
  EXPECT_EQ(s.LeadUnitsDaily, "Hours");
  EXPECT_EQ(s.width_name, 222);
  EXPECT_EQ(s.BackupDir, "C:\\" + longNotes);  // whole lines, CR removed
  EXPECT_EQ(s.SnoozeMinutes, 15);
  EXPECT_EQ(s.rgb_Day, 255);
  EXPECT_STREQ(s.MonthHeadingLogFont.lfFaceName, "Garamond");
  EXPECT_EQ(s.MonthHeadingLogFont.lfItalic, 1);
  EXPECT_EQ(s.last_date, 20051231);
  EXPECT_EQ(s.DataFilePaths, std::vector<std::string>{"C:\\old\\events.dat"});
  EXPECT_EQ(s.DefaultFile, 0);
  EXPECT_EQ(s.EventTypeNames, (std::vector<std::string>{"Birthday", "Family"}));
  EXPECT_EQ(s.EventTypeColors, std::vector<uint32_t>{255});
  EXPECT_EQ(s.DefaultType, 1);
}

TEST_F(OldSettingsFile, AMissingFileChangesNothing) {
  CProgramSettings s;
  s.ImportOldSettings(path_);
  EXPECT_EQ(s.width_name, 170);
  EXPECT_TRUE(s.EventTypeNames.empty());
}

TEST(InheritedValues, MinusTwoAndEmptyTextFollowTheSetting) {
  EXPECT_EQ(ResolveInherited(-2, 5), 5);
  EXPECT_EQ(ResolveInherited(0, 5), 0);
  EXPECT_EQ(ResolveInheritedInt(-2, 70000), 70000);
  EXPECT_EQ(ResolveInheritedText("", "whip.wav"), "whip.wav");
  EXPECT_EQ(ResolveInheritedText("bell.wav", "whip.wav"), "bell.wav");
  EXPECT_EQ(ToInherited(5, 5), -2);
  EXPECT_EQ(ToInherited(4, 5), 4);
  EXPECT_EQ(ToInheritedInt(70000, 70000), -2);
  EXPECT_EQ(ToInheritedText("x", "x"), "");
  EXPECT_EQ(ToInheritedText("X", "x"), "X");
}

TEST(FontTexts, SplittingKeepsEmptyFields) {
  std::vector<std::string> parts{"stale"};
  CProgramSettings::SplitString("", ',', &parts);
  EXPECT_TRUE(parts.empty());
  CProgramSettings::SplitString("a,,b,", ',', &parts);
  EXPECT_EQ(parts, (std::vector<std::string>{"a", "", "b", ""}));
}

TEST(FontTexts, FieldsFillTheLogFont) {
  LogFont f;
  ASSERT_TRUE(CProgramSettings::ParseFont("Arial,120,700,0", &f));
  EXPECT_STREQ(f.lfFaceName, "Arial");
  EXPECT_EQ(f.lfHeight, 120);
  EXPECT_EQ(f.lfWeight, 700);
  EXPECT_EQ(f.lfCharSet, 0);
  ASSERT_TRUE(CProgramSettings::ParseFont("Arial,120,700,1,238", &f));
  EXPECT_EQ(f.lfItalic, 1);
  EXPECT_EQ(f.lfCharSet, 238);
  LogFont kept;
  kept.lfHeight = 42;
  EXPECT_FALSE(CProgramSettings::ParseFont("Arial,120,700", &kept));
  EXPECT_EQ(kept.lfHeight, 42);
}

TEST(FontTexts, ALongFaceNameIsCutToWhatTheFontHolds) {
  LogFont f;
  ASSERT_TRUE(CProgramSettings::ParseFont(std::string(100, 'F') + ",80,400,0", &f));
  EXPECT_EQ(std::string(f.lfFaceName), std::string(31, 'F'));
  EXPECT_EQ(f.lfHeight, 80);
}

TEST(CalendarNames, TheNameIsTheLastPathElementWithoutExtension) {
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath(""), "");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("holidays.ics"), "holidays");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("C:\\Cal\\work"), "work");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("C:\\Calendars\\My-Family.akv"), "My Family");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("http://x.org/cal/holidays.ics?x=1"), "holidays");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("http://x.org/cal/team.ics#top"), "team");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("C:\\v1.2\\plain"), "plain");
}

TEST(CalendarNames, PercentEscapesAreDecodedAndDigitsKept) {
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("My%20Family.akv"), "My Family");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("Week32.akv"), "Week32");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("http://x.org/Caf%C3%A9%2dBar.ics"), "Caf\xC3\xA9-Bar");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("100%.akv"), "100%");
  EXPECT_EQ(CProgramSettings::CalendarNameFromPath("a%zz%0"), "a%zz%0");
}

}  // namespace
