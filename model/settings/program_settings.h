// CProgramSettings: every option of the program for the whole run, the one
// object g_Settings.
//
// Each member named like a registry key holds that key of the profile
// section "Settings" (HKCU "Software\Corvelle Software\Almacora\Settings" on
// Windows). The spellings are the profile's, misspellings included
// ("AlarmInterupt", "ImportColumnDelimeter", "sqeak.wav"): stored profiles
// rely on them. int16 keys are read as 32-bit integers and kept in 16 bits,
// so a stored 40000 reads back as -25536.
//
// g_Settings is built by static initialisation and reads nothing but the
// locale's measurement system until LoadSettings. Every subsystem reads the members directly; the
// alarm worker thread reads them without locks while the user-interface
// thread may change them (plain values, no locking, by design). Loading and
// saving run on the user-interface thread only.
//
// Registry write failures are not reported (as the profile functions never
// did), except that SaveSettings answers whether the whole set was stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/services/display_services.h"
#include "model/settings/settings_fonts.h"
#include "model/settings/settings_inherited.h"

namespace platform {
class ProfileStore;
}

class CProgramSettings {
 public:
  static constexpr const char* kSection = "Settings";

  CProgramSettings();
  virtual ~CProgramSettings();
  CProgramSettings(const CProgramSettings&) = delete;
  CProgramSettings& operator=(const CProgramSettings&) = delete;

  // ---- Where the values live. The profile is not owned; without one,
  // LoadSettings opens the program's own profile (platform::ProfileStore()).
  void SetProfile(platform::ProfileStore* profile);
  platform::ProfileStore* GetProfile();

  // ---- Loading and saving.
  // Reads every key with its default; with ConfigExists 0 (the first start)
  // imports the old settings file from the current folder and saves the
  // whole set at once. Afterwards an empty type list holds the six standard
  // types and every type has a colour.
  void LoadSettings();
  // Writes every key LoadSettings reads, ConfigExists = 1, then the
  // calendar-file list and the event types. True when every value was
  // stored.
  bool SaveSettings();
  // The list parts of SaveSettings. SaveDataFiles writes nothing while no
  // document is registered (ModelServices) or while KeepStoredCalendarList
  // is set.
  void SaveEventTypes();
  void SaveDataFiles();
  // Imports the settings file of earlier versions ("almacora.ini" in the
  // current folder); a missing file is skipped. Lines may be of any length;
  // a trailing CR/LF is removed.
  void ImportOldSettings(const std::string& path = "almacora.ini");
  // One value under "Settings" at once (a warning switched off, a first-run
  // flag, the last backup date). False when it could not be stored.
  bool WriteString(const std::string& key, const std::string& text);
  bool WriteInt(const std::string& key, int32_t value);

  // ---- Resets (the options dialog's and the print-list dialog's).
  // List column widths, window position and size, calendar mode.
  void SetWindowLayoutDefaults();
  // The seven print-column flags on and their widths.
  void SetPrintColumnDefaults();

  // ---- Fonts.
  static void SplitString(const std::string& text, char separator, std::vector<std::string>* parts) {
    SplitSettingsText(text, separator, parts);
  }
  static bool ParseFont(const std::string& text, LogFont* font) { return ParseFontText(text, font); }
  // Deletes the three calendar font objects and makes them again from their
  // LogFonts (through the shell; without a shell they stay null).
  void RecreateFonts();

  // ---- Helpers.
  // With colour coding on, the colour of the first type of that name (exact,
  // case-sensitive) when it has one; BlankTypeColor otherwise.
  uint32_t GetTypeColor(const std::string& typeName) const;
  // The colour a type gets by its name when it has none of its own:
  // "Alarm" 0x000080, "Anniversary" 0xA00000, "Birthday" 0xFF8000,
  // "Holiday" 0x0000FF, "Meeting" 0x0080FF, "Work" 0x00C000, else 0x800000.
  static uint32_t DefaultTypeColor(const std::string& typeName);
  // A calendar's display name from a file path or an address: the last path
  // element without query, fragment and extension, percent escapes decoded
  // and "-" shown as a blank ("C:\Cal\My-Family.akv" gives "My Family",
  // ".../holidays.ics?x=1" gives "holidays", "My%20Family.akv" gives
  // "My Family").
  static std::string CalendarNameFromPath(const std::string& pathOrUrl);
  // 1 when the user's locale shows a 24-hour clock, else 0.
  static int IsLocale24Hour() { return ::IsLocale24Hour(); }
  // Flashes the window's task-bar button count times through the shell.
  // False when that is not possible (no shell, or the platform lacks the
  // call); the caller then flashes the window once itself.
  bool FlashWindowInTaskbar(IShellServices::WindowHandle window, unsigned count);

  // ======== Registry keys ========
  // One member per scalar key, declared from the key list, which also holds
  // each key's default (settings_key_list.inc): int32_t for INT and INT_DAY,
  // int16_t for INT16, std::string for TEXT, and for FONT the text and its
  // LogFont parsed from it. Zero or empty until LoadSettings, except the
  // window layout and print columns (their Set...Defaults run at
  // construction).
#define ALMACORA_SETTING_INT(name, def) int32_t name = 0;
#define ALMACORA_SETTING_INT_DAY(name, dynamic) int32_t name = 0;
#define ALMACORA_SETTING_INT16(name, def) int16_t name = 0;
#define ALMACORA_SETTING_TEXT(name, def) std::string name;
#define ALMACORA_SETTING_FONT(name, logFont, def) \
  std::string name;                               \
  LogFont logFont;
#include "model/settings/settings_key_list.inc"

  // ======== Lists ========
  // "DefaultType": index into EventTypeNames of a new event's type, -1 none.
  int32_t DefaultType = 0;
  // Event types ("NumTypes", "EventTypes%02d", "EventColors%02d") with one
  // COLORREF per name after loading.
  std::vector<std::string> EventTypeNames;
  std::vector<uint32_t> EventTypeColors;
  // Calendar files read at start-up ("NumFiles", "DataFiles%02d",
  // "DataFilesEnabled%02d") and the 1-based number of the default one.
  std::vector<std::string> DataFilePaths;
  std::vector<int16_t> DataFileEnabled;
  int32_t DefaultFile = 0;
  // Calendars that could not be opened at start-up and that the user wants
  // tried again: SaveDataFiles keeps them on the list (enabled) after the
  // document's calendars.
  std::vector<std::string> RetryDataFiles;
  // Set by a preview instance (a second copy started for one file): its
  // calendar list is not the user's, so SaveDataFiles leaves the stored
  // list as it is.
  bool KeepStoredCalendarList = false;
  // 1 when this LoadSettings found no settings and made them (ConfigExists
  // was 0): the very first start, whose personal calendar does not exist
  // yet. Not stored.
  int32_t SettingsCreated = 0;

  // ======== Fonts ========
  // (The LogFont of each font key is declared with its key above.)
  // The ready calendar fonts (shell font objects; null without a shell).
  IShellServices::FontHandle CalHeadingFontObject = nullptr;
  IShellServices::FontHandle CalWeekHeadingFontObject = nullptr;
  IShellServices::FontHandle CalItemFontObject = nullptr;

  // ======== Not stored ========
  // Set by the shell at start-up from the system: the screen size and
  // whether the notification area is available.
  int32_t ScreenWidth = 0;
  int32_t ScreenHeight = 0;
  // 1 when the user's locale measures in metric units; read from the locale
  // at construction.
  int16_t Metric = 0;
  bool TrayAvailable = true;
  // Current list sort mode of the event list.
  int32_t ListSortMode = 3;
  // The print-list dialog's date range.
  int16_t PrintDateRange = 0;
  CDateTime PrintFromDate;
  CDateTime PrintToDate;
  // Set by the options Display page.
  int16_t DisplayChanged = 0;
  int16_t FontsChanged = 0;
  // The reminder window's cascade position.
  int32_t ReminderCascadeX = 0;
  int32_t ReminderCascadeY = 0;

 private:
  platform::ProfileStore* Profile();
  void LoadDataFiles();
  void LoadEventTypes();
  void DeleteFontObjects();

  platform::ProfileStore* profile_ = nullptr;
  std::unique_ptr<platform::ProfileStore> ownProfile_;
};

extern CProgramSettings g_Settings;
