// What the Options sheet, the type colours dialog and the Filtering dialog
// ask of the program around them. The dialogs sit below the shell, so the
// shell installs a host (SetOptionsHost); tests install one that records
// and answers from a script.
//
// COptionsHost answers with the system's own dialogs and the sound player
// and does nothing for the rest; the shell derives from it.
#pragma once

#include <windows.h>

#include <string>

class CAlmacoraDoc;

namespace options {

// The default alarm actions the Alarm page carries to the alarm actions
// sheet and back.
struct AlarmActionDefaults {
  short soundEnabled = 0, emailEnabled = 0, runEnabled = 0, autoAcknowledge = 0, runAlarm = 0, runSnooze = 0;
  std::string soundFile, emailTo, emailSubject, emailBody, runFilename, runParms;
  int runState = 0, alarmLength = 0;
};

class IOptionsHost {
 public:
  virtual ~IOptionsHost() = default;

  // The active document's all-views update with a view hint.
  virtual void UpdateAllViews(int hint) = 0;
  // The active document, or null when there is none.
  virtual CAlmacoraDoc* Document() = 0;
  // The main window puts its placement into the settings (hint 6 to the
  // views).
  virtual void SaveWindowPlacement() = 0;
  // Forgets that today's daily reminder was given, so a new time can fire.
  virtual void ClearDailyReminderGiven() = 0;
  // The main window's Filter menu item follows the document's filter.
  virtual void UpdateFilterMenu() = 0;
  // The open-calendars picker with its prompt and button text; true and
  // *calendarId when a calendar was picked (preselected: *calendarId).
  virtual bool PickCalendar(HWND parent, const std::string& prompt, const std::string& button, int* calendarId) = 0;
  // Whether the alarm actions sheet exists; without it the Alarm page's
  // button is grey.
  virtual bool CanEditAlarmActions() { return false; }
  // The alarm actions sheet captioned "Alarm Actions" on the values; true
  // after its OK, the values changed.
  virtual bool EditAlarmActions(HWND /*parent*/, AlarmActionDefaults* /*values*/) { return false; }

  // The common dialogs and the sound player.
  // Font dialog (CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT) on *font; true
  // after OK with *font and the chosen size in tenths of a point.
  virtual bool PickFont(HWND owner, LOGFONTA* font, int* pointTenths) = 0;
  // Colour dialog (CC_RGBINIT) from *color; true after OK.
  virtual bool PickColor(HWND owner, COLORREF* color) = 0;
  // Open dialog; true after OK with the path in *path (pre-filled from it).
  virtual bool ChooseOpenFile(HWND owner, const std::string& title, const std::string& defaultExtension,
                              const std::string& filter, DWORD flags, std::string* path) = 0;
  // Plays a wave file asynchronously without the default sound; false when
  // it cannot be played.
  virtual bool PlaySoundFile(const std::string& path) = 0;
};

class COptionsHost : public IOptionsHost {
 public:
  void UpdateAllViews(int) override {}
  CAlmacoraDoc* Document() override { return nullptr; }
  void SaveWindowPlacement() override {}
  void ClearDailyReminderGiven() override {}
  void UpdateFilterMenu() override {}
  bool PickCalendar(HWND, const std::string&, const std::string&, int*) override { return false; }
  bool PickFont(HWND owner, LOGFONTA* font, int* pointTenths) override;
  bool PickColor(HWND owner, COLORREF* color) override;
  bool ChooseOpenFile(HWND owner, const std::string& title, const std::string& defaultExtension,
                      const std::string& filter, DWORD flags, std::string* path) override;
  bool PlaySoundFile(const std::string& path) override;
};

// Installs `host` (not owned; null restores the built-in COptionsHost) and
// returns the previous one.
IOptionsHost* SetOptionsHost(IOptionsHost* host);
IOptionsHost& OptionsHost();

}  // namespace options
