// The Options sheet as a person uses it: every page edited, OK, and the
// next start finds each value; the same edits and Cancel leave the profile
// alone; view hints, refused values, the page buttons and help.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "dialogs/options/options_sheet.h"
#include "platform/paths.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "res/resource.h"
#include "tests/dialogs/options/options_fixture.h"
#include "tests/support/win/dialog_driver.h"
#include "tests/support/win/spin_click.h"

using wintest::Click;
using wintest::Drive;
using wintest::Step;

namespace {

// A page that drew itself: mostly its light face, with dark text on it.
bool ShowsPage(const wintest::Shot& shot) {
  size_t light = 0, dark = 0;
  for (COLORREF p : shot.pixels) {
    if (GetRValue(p) > 0xC0 && GetGValue(p) > 0xC0 && GetBValue(p) > 0xC0) ++light;
    if (GetRValue(p) < 0x40 && GetGValue(p) < 0x40 && GetBValue(p) < 0x40) ++dark;
  }
  return shot.width > 200 && light > shot.pixels.size() / 2 && dark > 200;
}

// Clicks a radio button as the mouse does (an auto radio checks itself).
void ClickRadio(HWND page, int id) { ::SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }

// Every control of every page set away from its default; shots of each.
std::vector<Step> EditEveryPage(bool ok, std::vector<wintest::Shot>* shots) {
  // The pictures are of the OK pass; the Cancel pass only counts.
  auto shoot = [shots, ok](HWND sheet, const char* name) {
    shots->push_back(ok ? wintest::TakeShot(sheet, name) : wintest::Shot());
  };
  return {
      [=] {
        HWND sheet = OptionsSheet();
        if (!sheet) return false;
        HWND p = CurrentPage(sheet);
        ClickRadio(p, IDC_OPT_START_ONCE_A_DAY);
        SetCheck(p, IDC_OPT_START_CENTERED, false);
        SetCheck(p, IDC_OPT_START_SAVE_ON_EXIT, false);
        SetText(p, IDC_OPT_START_SOUND_FILE, "chime.wav");
        SetCheck(p, IDC_OPT_START_SOUND_ENABLED, false);
        SetCheck(p, IDC_OPT_START_SPLASH, false);
        SetCheck(p, IDC_OPT_START_MULTIPLE, true);
        shoot(sheet, "options_startup");
        SelectPage(sheet, 1);
        p = CurrentPage(sheet);
        ClickRadio(p, IDC_OPT_EVENT_NOTIFY_DAILY);
        SetText(p, IDC_OPT_EVENT_DAYS_YEARLY, "30");
        SetText(p, IDC_OPT_EVENT_LEAD_ONE_TIME, "45");
        ::SendDlgItemMessageA(p, IDC_OPT_EVENT_UNITS_ONE_TIME, CB_SETCURSEL, 1, 0);
        SYSTEMTIME st{};
        ::GetLocalTime(&st);
        st.wHour = 18;
        st.wMinute = 30;
        st.wSecond = 0;
        ::SendDlgItemMessageA(p, IDC_OPT_EVENT_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
        SetCheck(p, IDC_OPT_EVENT_ALL_DAY, true);
        SetCheck(p, IDC_OPT_EVENT_SHOW_END, true);
        SetCheck(p, IDC_OPT_EVENT_ALARM, false);
        shoot(sheet, "options_event");
        SelectPage(sheet, 2);
        p = CurrentPage(sheet);
        SetText(p, IDC_OPT_ALARM_CHECK_EVERY, "10");
        SetText(p, IDC_OPT_ALARM_REPEAT_EVERY, "300");
        SetText(p, IDC_OPT_ALARM_SNOOZE, "9");
        ::SendDlgItemMessageA(p, IDC_OPT_ALARM_ACTIVATION, CB_SETCURSEL, 2, 0);
        SetCheck(p, IDC_OPT_ALARM_DAILY_ENABLED, false);
        SetText(p, IDC_OPT_ALARM_HOUR, "12");
        SetText(p, IDC_OPT_ALARM_MINUTE, "05");
        ClickRadio(p, IDC_OPT_ALARM_PM);
        shoot(sheet, "options_alarm");
        SelectPage(sheet, 3);
        p = CurrentPage(sheet);
        for (int id : {IDC_OPT_WARN_EXIT, IDC_OPT_WARN_ACKNOWLEDGE, IDC_OPT_WARN_FILTER, IDC_OPT_WARN_CONFLICT,
                       IDC_OPT_WARN_ADVANCED, IDC_OPT_WARN_TIME, IDC_OPT_WARN_BACKUP})
          SetCheck(p, id, false);
        SetText(p, IDC_OPT_WARN_BEGIN, "11");
        ClickRadio(p, IDC_OPT_WARN_BEGIN_PM);
        SetText(p, IDC_OPT_WARN_END, "6");
        ClickRadio(p, IDC_OPT_WARN_END_AM);
        SetText(p, IDC_OPT_WARN_BACKUP_DAYS, "7");
        shoot(sheet, "options_warnings");
        SelectPage(sheet, 4);
        shoot(sheet, "options_types");
        SelectPage(sheet, 5);
        p = CurrentPage(sheet);
        Click(p, IDC_OPT_DISPLAY_HEADING_FONT);
        return true;
      },
      [=] {
        HWND sheet = OptionsSheet();
        HWND p = CurrentPage(sheet);
        ClickRadio(p, IDC_OPT_DISPLAY_MONDAY);
        ::SendDlgItemMessageA(p, IDC_OPT_DISPLAY_SCALE, CB_SETCURSEL, 2, 0);
        SetCheck(p, IDC_OPT_DISPLAY_COLOR_CODE, false);
        SetCheck(p, IDC_OPT_DISPLAY_WEEK_NUMBERS, true);
        shoot(sheet, "options_display");
        Click(sheet, ok ? IDOK : IDCANCEL);
        return true;
      }};
}

}  // namespace

TEST_F(OptionsTest, EveryValueIsFoundAgainAfterARestartAndCancelStoresNothing) {
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    profile->Clear();
    g_Settings.LoadSettings();
    host.hints.clear();
    host.fonts = {{true, "Arial", 100, 700, 1}};
    std::vector<wintest::Shot> shots;
    options::COptionsPropertySheet sheet;
    sheet.alarm.hours24 = false;
    sheet.warnings.hours24 = false;
    Drive(EditEveryPage(ok, &shots));
    EXPECT_EQ(sheet.DoModal(), ok ? IDOK : IDCANCEL);
    ASSERT_TRUE(wintest::Driven());
    ASSERT_EQ(shots.size(), 6u);
    for (const wintest::Shot& s : shots) EXPECT_TRUE(!ok || ShowsPage(s));

    auto next = Restart();
    const CProgramSettings& s = *next;
    if (!ok) {
      EXPECT_EQ(StoredInt("WinStartupMode"), 1);  // written by the first load only
      EXPECT_EQ(s.DefaultNotifyType, 0);
      EXPECT_EQ(s.DefaultEventTime, 28800);
      EXPECT_EQ(s.DailyReminderTime, 540);
      EXPECT_EQ(s.ListHeadingFont, "MS Sans Serif,80,700,0");
      EXPECT_EQ(s.DailyScale, 30);
      EXPECT_EQ(s.AutoBackupDays, 30);
      EXPECT_TRUE(host.hints.empty());
      continue;
    }
    EXPECT_EQ(s.WinStartupMode, 4);
    EXPECT_EQ(s.WinCentered, 0);
    EXPECT_EQ(s.SaveOnExit, 0);
    EXPECT_EQ(s.SoundFile, "chime.wav");
    EXPECT_EQ(s.SoundEnabled, 0);
    EXPECT_EQ(s.SplashEnabled, 0);
    EXPECT_EQ(s.AllowMultiple, 1);
    EXPECT_EQ(s.DefaultNotifyType, 5);
    EXPECT_EQ(s.DaysPriorYearly, 30);
    EXPECT_EQ(s.LeadTimeOneTime, 45);
    EXPECT_EQ(s.LeadUnitsOneTime, "Hours");
    EXPECT_EQ(s.DefaultEventTime, 66600);
    EXPECT_EQ(s.all_day, 1);
    EXPECT_EQ(s.show_enddate, 1);
    EXPECT_EQ(s.alarm_enabled, 0);
    EXPECT_EQ(s.AlarmCheckFrequency, 10);
    EXPECT_EQ(s.AlarmRepeatLength, 300);
    EXPECT_EQ(s.SnoozeMinutes, 9);
    EXPECT_EQ(s.AlarmInterupt, 2);
    EXPECT_EQ(s.DailyReminder, 0);
    EXPECT_EQ(s.DailyReminderTime, 725);
    EXPECT_EQ(host.reminderClears, 1);
    EXPECT_EQ(s.WarnExit + s.WarnAcknowledge + s.WarnFilter + s.WarnTimeConflict + s.WarnAdvanced + s.WarnTime, 0);
    EXPECT_EQ(s.WarnTimeBegin, 23);
    EXPECT_EQ(s.WarnTimeEnd, 6);
    EXPECT_EQ(s.AutoBackup, 0);
    EXPECT_EQ(s.AutoBackupDays, 7);
    EXPECT_EQ(s.ListHeadingFont, "Arial,100,700,1");
    EXPECT_EQ(s.ListHeadingLogFont.lfHeight, 100);
    EXPECT_EQ(s.CalendarStartDay, 1);
    EXPECT_EQ(s.DailyScale, 15);
    EXPECT_EQ(s.ColorCode, 0);
    EXPECT_EQ(s.ShowWeekNums, 1);
    // The types page was visited (11), a font was chosen (13 then 11).
    EXPECT_EQ(host.hints, (std::vector<int>{11, 13, 11}));
  }
}

TEST_F(OptionsTest, HintsFollowWhatChanged) {
  struct Case {
    const char* name;
    UINT page;
    std::vector<FontAnswer> fonts;
    std::vector<COLORREF> colors;
    int button;  // clicked on the page first, 0 none
    std::vector<int> hints;
  };
  const Case cases[] = {
      {"untouched", 0, {}, {}, 0, {}},
      {"colour alone", 5, {}, {0x123456}, IDC_OPT_DISPLAY_ACK_COLOR, {}},
      {"font", 5, {{true, "Tahoma", 120, 400, 0}}, {}, IDC_OPT_DISPLAY_EVENT_FONT, {13, 11}},
      {"font cancelled", 5, {{false, "", 0, 0, 0}}, {}, IDC_OPT_DISPLAY_LIST_FONT, {}},
      {"types", 4, {}, {}, 0, {11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.hints.clear();
    host.fonts.assign(c.fonts.begin(), c.fonts.end());
    host.colors.assign(c.colors.begin(), c.colors.end());
    g_Settings.WarnExit = 0;  // in memory only: the OK's save must store it
    const std::string listFont = g_Settings.ListItemFont;
    wintest::Shot shot;
    Drive({[&] {
             HWND sheet = OptionsSheet();
             if (!sheet) return false;
             if (c.button) Click(CurrentPage(sheet), c.button);
             return true;
           },
           [&] {
             HWND sheet = OptionsSheet();
             if (!c.colors.empty()) shot = wintest::TakeShot(sheet, "options_display_color");
             Click(sheet, IDOK);
             return true;
           }});
    options::COptionsPropertySheet sheet(nullptr, c.page);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(host.hints, c.hints);
    EXPECT_EQ(StoredInt("WarnExit"), 0);
    EXPECT_EQ(g_Settings.ListItemFont, listFont);
    EXPECT_EQ(g_Settings.ListItemLogFont.lfHeight, 80);
    if (!c.colors.empty()) {
      EXPECT_EQ(StoredInt("CalAcknowledgedColor"), 0x123456);
      // The colour button shows the colour: find it in the shot.
      bool found = false;
      for (COLORREF p : shot.pixels) found = found || p == 0x123456;
      EXPECT_TRUE(found);
    }
  }
}

TEST_F(OptionsTest, StoredValuesNoControlStandsForAreKept) {
  struct Case {
    int16_t notify;
    int yearlyChecked, anyChecked;
    int16_t stored;
    int32_t scale;
  };
  const Case cases[] = {{4, 1, 1, 3, 30}, {9, 0, 0, 9, 0}};
  for (const Case& c : cases) {
    g_Settings.DefaultNotifyType = c.notify;
    g_Settings.DailyScale = c.scale;
    g_Settings.AlarmInterupt = 7;
    int yearly = -1, any = -1, scaleSel = 5;
    Drive({[&] {
      HWND sheet = OptionsSheet();
      if (!sheet) return false;
      HWND p = CurrentPage(sheet);
      yearly = IsChecked(p, IDC_OPT_EVENT_NOTIFY_YEARLY);
      any = 0;
      for (int id : {IDC_OPT_EVENT_NOTIFY_ONE_TIME, IDC_OPT_EVENT_NOTIFY_DAILY, IDC_OPT_EVENT_NOTIFY_WEEKLY,
                     IDC_OPT_EVENT_NOTIFY_MONTHLY, IDC_OPT_EVENT_NOTIFY_YEARLY})
        any += IsChecked(p, id);
      SelectPage(sheet, 5);
      scaleSel = static_cast<int>(::SendDlgItemMessageA(CurrentPage(sheet), IDC_OPT_DISPLAY_SCALE, CB_GETCURSEL, 0, 0));
      SelectPage(sheet, 2);
      Click(sheet, IDOK);
      return true;
    }});
    options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kEventPage);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(yearly, c.yearlyChecked);
    EXPECT_EQ(any, c.anyChecked);
    EXPECT_EQ(StoredInt("DefaultNotifyType"), c.stored);
    EXPECT_EQ(StoredInt("AlarmInterupt"), 7);
    EXPECT_EQ(scaleSel, c.scale == 30 ? 3 : -1);
    EXPECT_EQ(StoredInt("DailyScale"), c.scale);  // a zero scale is not made up either
  }
}

TEST_F(OptionsTest, RefusedValuesKeepThePageAndMidnightIsZero) {
  std::vector<std::string> boxes;
  HWND alarmPage = nullptr, stayed = nullptr;
  Drive({[&] {
           HWND sheet = OptionsSheet();
           if (!sheet) return false;
           alarmPage = CurrentPage(sheet);
           SetText(alarmPage, IDC_OPT_ALARM_HOUR, "13");
           ::PostMessageA(sheet, PSM_SETCURSEL, 3, 0);
           return true;
         },
         [&] {
           std::string caption;
           std::string t = AnswerBox(OptionsSheet(), IDOK, &caption);
           if (t.empty()) return false;
           boxes.push_back(t + "|" + caption);
           return true;
         },
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           stayed = CurrentPage(sheet);
           SetText(alarmPage, IDC_OPT_ALARM_HOUR, "12");
           SetText(alarmPage, IDC_OPT_ALARM_MINUTE, "5");
           ClickRadio(alarmPage, IDC_OPT_ALARM_AM);
           SelectPage(sheet, 1);
           SetText(CurrentPage(sheet), IDC_OPT_EVENT_LEAD_ONE_TIME, "1001");
           Click(sheet, IDOK);
           return true;
         },
         [&] {
           std::string t = AnswerBox(OptionsSheet());
           if (t.empty()) return false;
           boxes.push_back(t);
           return true;
         },
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           SetText(CurrentPage(sheet), IDC_OPT_EVENT_LEAD_ONE_TIME, "-1");
           Click(sheet, IDOK);
           return true;
         },
         [&] {
           std::string t = AnswerBox(OptionsSheet());
           if (t.empty()) return false;
           boxes.push_back(t);
           return true;
         },
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           SetText(CurrentPage(sheet), IDC_OPT_EVENT_LEAD_ONE_TIME, "1000");
           SelectPage(sheet, 3);
           SetText(CurrentPage(sheet), IDC_OPT_WARN_BACKUP_DAYS, "0");
           Click(sheet, IDOK);
           return true;
         }});
  options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kAlarmPage);
  sheet.alarm.hours24 = false;
  EXPECT_EQ(sheet.DoModal(), IDOK);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0], "Invalid Reminder Time Specified|Almacora");
  EXPECT_EQ(stayed, alarmPage);
  EXPECT_NE(boxes[1].find("0 and 1000"), std::string::npos) << boxes[1];
  EXPECT_EQ(boxes[2], boxes[1]);
  EXPECT_EQ(StoredInt("DailyReminderTime"), 5);
  EXPECT_EQ(StoredInt("LeadTimeOneTime"), 1000);
  EXPECT_EQ(StoredInt("AutoBackupDays"), 0);
}

TEST_F(OptionsTest, StartupButtonsPlayTheWholeNameAndStoreTheLayoutAtOnce) {
  const std::string longPath = "C:\\" + std::string(113, 'a') + ".wav";  // 120 characters
  g_Settings.WinPosX = 100;
  g_Settings.SaveOnExit = 1;
  g_Settings.SaveSettings();
  std::vector<std::string> boxes;
  auto box = [&] {
    std::string caption;
    std::string t = AnswerBox(OptionsSheet(), IDOK, &caption);
    if (t.empty()) return false;
    boxes.push_back(t + "|" + caption);
    return true;
  };
  auto click = [&](const char* sound, int id) {
    return [=] {
      HWND sheet = OptionsSheet();
      if (!sheet || wintest::PopupOf(sheet)) return false;
      if (sound) SetText(CurrentPage(sheet), IDC_OPT_START_SOUND_FILE, sound);
      Click(CurrentPage(sheet), id);
      return true;
    };
  };
  bool saveOnExitShown = true, centeredShown = false, savedShown = true;
  int savedPosX = 0, savedSaveOnExit = -1;
  Drive({click("sqeak.wav", IDC_OPT_START_SOUND_TEST), click(longPath.c_str(), IDC_OPT_START_SOUND_TEST),
         [&] {
           host.soundPlays = false;
           return true;
         },
         click("missing.wav", IDC_OPT_START_SOUND_TEST), box, click(nullptr, IDC_OPT_START_SAVE_CURRENT), box,
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           savedShown = IsChecked(CurrentPage(sheet), IDC_OPT_START_SAVE_ON_EXIT);
           savedPosX = StoredInt("WinPosX");
           savedSaveOnExit = StoredInt("SaveOnExit");
           SetCheck(CurrentPage(sheet), IDC_OPT_START_SAVE_ON_EXIT, true);
           return true;
         },
         click(nullptr, IDC_OPT_START_RESTORE_DEFAULTS), box,
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           HWND p = CurrentPage(sheet);
           saveOnExitShown = IsChecked(p, IDC_OPT_START_SAVE_ON_EXIT);
           centeredShown = IsChecked(p, IDC_OPT_START_CENTERED);
           Click(p, IDC_OPT_HELP);
           SelectPage(sheet, 1);
           Click(CurrentPage(sheet), IDC_OPT_EVENT_DEFAULT_CALENDAR);
           return true;
         },
         box,
         [&] {
           HWND sheet = OptionsSheet();
           if (wintest::PopupOf(sheet)) return false;
           Click(sheet, IDCANCEL);
           return true;
         }});
  options::COptionsPropertySheet sheet;
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  ASSERT_EQ(host.sounds.size(), 3u);
  EXPECT_EQ(host.sounds[0], platform::ProgramFolder() + "sqeak.wav");
  EXPECT_EQ(host.sounds[1], longPath);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], "Error Playing Sound file.\nSystem beep will be used.|Error");
  // Save Current Settings stores the window's layout (the host's 77) at once.
  EXPECT_EQ(boxes[1].substr(0, 53), "The current state of the Almacora main window has bee");
  EXPECT_EQ(host.placements, 1);
  EXPECT_FALSE(savedShown);
  EXPECT_EQ(savedPosX, 77);
  EXPECT_EQ(savedSaveOnExit, 0);
  EXPECT_EQ(boxes[2].substr(0, 38), "Default settings have been restored an");
  EXPECT_FALSE(saveOnExitShown);
  EXPECT_TRUE(centeredShown);
  EXPECT_EQ(boxes[3].substr(0, 29), "No Event Files Currently Open");
  // Stored at once and in memory, so neither the Cancel nor the exit
  // brings the old layout back.
  EXPECT_EQ(StoredInt("SaveOnExit"), 0);
  EXPECT_EQ(StoredInt("WinPosX"), -1);
  EXPECT_EQ(g_Settings.SaveOnExit, 0);
  EXPECT_EQ(g_helpTopics, (std::vector<DWORD>{21}));
}

TEST_F(OptionsTest, EveryPageShowsItsHelpTopicOnF1) {
  Drive({[&] {
    HWND sheet = OptionsSheet();
    if (!sheet) return false;
    for (int i = 0; i < 6; ++i) {
      SelectPage(sheet, i);
      HELPINFO info{};
      info.cbSize = sizeof info;
      ::SendMessageA(CurrentPage(sheet), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    Click(sheet, IDCANCEL);
    return true;
  }});
  options::COptionsPropertySheet sheet;
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(g_helpTopics, (std::vector<DWORD>{21, 30, 20, 19, 5, 32}));
}

TEST_F(OptionsTest, ThePickedDefaultCalendarIsStored) {
  CAlmacoraDoc doc;
  int ids[2] = {};
  for (int i = 0; i < 2; ++i) {
    CCalendarFile* c = new CCalendarFile();
    c->path = i ? "C:\\cal\\second.akv" : "C:\\cal\\first.akv";
    ids[i] = doc.calendars().AddCalendar(c);
  }
  host.doc = &doc;
  host.pickAnswer = ids[1];
  Drive({[&] {
    HWND sheet = OptionsSheet();
    if (!sheet) return false;
    Click(CurrentPage(sheet), IDC_OPT_EVENT_DEFAULT_CALENDAR);
    Click(sheet, IDOK);
    return true;
  }});
  options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kEventPage);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(host.pickPrompts, (std::vector<std::string>{"Select default event file for new events.|Select File"}));
  EXPECT_EQ(doc.calendars().defaultId, ids[1]);
  EXPECT_EQ(StoredInt("DefaultFile"), 2);
  host.doc = nullptr;
}

// A click on the upper arrow of each spin of the Alarm page raises its
// field by one (the reminder's minute shown "05" included), and OK stores
// the raised values.
TEST_F(OptionsTest, AlarmPageSpinArrowsStepTheirFields) {
  const struct {
    int spin, field;
    const char *before, *after;
  } spins[] = {{IDC_OPT_ALARM_CHECK_SPIN, IDC_OPT_ALARM_CHECK_EVERY, "10", "11"},
               {IDC_OPT_ALARM_REPEAT_SPIN, IDC_OPT_ALARM_REPEAT_EVERY, "20", "21"},
               {IDC_OPT_ALARM_SNOOZE_SPIN, IDC_OPT_ALARM_SNOOZE, "9", "10"},
               {IDC_OPT_ALARM_HOUR_SPIN, IDC_OPT_ALARM_HOUR, "10", "11"},
               {IDC_OPT_ALARM_MINUTE_SPIN, IDC_OPT_ALARM_MINUTE, "05", "6"}};
  std::vector<std::string> read;
  wintest::Shot shot;
  Drive({[&] {
    HWND sheet = OptionsSheet();
    if (!sheet) return false;
    HWND page = CurrentPage(sheet);
    for (const auto& s : spins) {
      SetText(page, s.field, s.before);
      wintest::ClickSpinUp(::GetDlgItem(page, s.spin));
      read.push_back(wintest::ItemText(page, s.field));
    }
    shot = wintest::TakeShot(sheet, "options_alarm_spins");
    Click(sheet, IDOK);
    return true;
  }});
  options::COptionsPropertySheet sheet(nullptr, options::COptionsPropertySheet::kAlarmPage);
  sheet.alarm.hours24 = false;
  EXPECT_EQ(sheet.DoModal(), IDOK);
  std::vector<std::string> expected;
  for (const auto& s : spins) expected.push_back(s.after);
  EXPECT_EQ(read, expected);
  EXPECT_EQ(StoredInt("AlarmCheckFrequency"), 11);
  EXPECT_EQ(StoredInt("SnoozeMinutes"), 10);
  EXPECT_EQ(StoredInt("DailyReminderTime"), 11 * 60 + 6);
  EXPECT_TRUE(ShowsPage(shot));
}

TEST_F(OptionsTest, TheFontDialogOpensOnTheCurrentFontAndASizeChangesOnlyTheSize) {
  options::SetOptionsHost(nullptr);  // the system's font dialog
  struct Case {
    const char* font;
    const char* style;
    const char* size;
  } cases[] = {
      {"MS Sans Serif,80,400,0", "Regular", "8"},
      {"Arial,140,700,0", "Bold", "14"},
      {"Times New Roman,120,400,1", "Italic", "12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font);
    g_Settings.ListItemFont = c.font;
    ASSERT_TRUE(CProgramSettings::ParseFont(c.font, &g_Settings.ListItemLogFont));
    const LogFont before = g_Settings.ListItemLogFont;
    // The face the system draws the font with, which its dialog lists.
    LOGFONTA lf{};
    std::memcpy(&lf, &before, sizeof lf);
    lf.lfHeight = -16;
    HFONT made = ::CreateFontIndirectA(&lf);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, made);
    char drawn[LF_FACESIZE] = "";
    ::GetTextFaceA(dc, sizeof drawn, drawn);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(made);
    std::string face, style, size;
    Drive({[&] {
             HWND sheet = OptionsSheet();
             if (!sheet) return false;
             Click(CurrentPage(sheet), IDC_OPT_DISPLAY_LIST_FONT);
             return true;
           },
           [&] {
             HWND dialog = wintest::FindDialog("Font");
             if (!dialog) return false;
             wintest::TakeShot(dialog, "options_font_dialog");
             face = wintest::ItemText(dialog, 0x470);
             style = wintest::ItemText(dialog, 0x471);
             size = wintest::ItemText(dialog, 0x472);
             // Only the size, chosen from its list.
             ::SendDlgItemMessageA(dialog, 0x472, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("20"));
             ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 0x472)));
             Click(dialog, IDOK);
             return true;
           },
           [&] {
             HWND sheet = OptionsSheet();
             if (!sheet || wintest::FindDialog("Font")) return false;
             Click(sheet, IDOK);
             return true;
           }});
    options::COptionsPropertySheet sheet(nullptr, 5);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(face, drawn);
    EXPECT_EQ(style, c.style);
    EXPECT_EQ(size, c.size);
    const LogFont& after = g_Settings.ListItemLogFont;
    EXPECT_STREQ(after.lfFaceName, before.lfFaceName);
    EXPECT_EQ(after.lfHeight, 200);
    EXPECT_EQ(after.lfWeight, before.lfWeight);
    EXPECT_EQ(after.lfItalic, before.lfItalic);
  }
  options::SetOptionsHost(&host);
  g_Settings.ListItemFont = "MS Sans Serif,80,400,0";
  CProgramSettings::ParseFont(g_Settings.ListItemFont, &g_Settings.ListItemLogFont);
}
