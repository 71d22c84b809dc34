// The new-event wizard without its windows: the answers of its three pages,
// the date check of the second page, the yearly event built from the
// answers, and the answers kept as the next run's defaults.
#pragma once

#include <string>

class CCalEvent;
class CProgramSettings;

namespace wizardcore {

// The texts of the second page for a kind ("Birthday" or "Anniversary";
// any other kind is taken as a birthday).
struct KindTexts {
  std::string dateCaption;  // "Date of Birth" / "Anniversary Date"
  std::string yearLabel;    // "Birth Year" / "Original Year"
  std::string type;         // TypeBirthday / TypeAnniversary
};
KindTexts TextsForKind(const std::string& kind, const CProgramSettings& settings);

struct WizardAnswers {
  // Page 1.
  std::string kind = "Birthday";
  int targetCalendarId = 0;  // 0: the default calendar
  // Page 2.
  std::string name;
  std::string type;
  std::string yearText;  // empty when unknown
  int dayIndex = -1;     // 0-based, -1 none chosen
  int monthIndex = -1;   // 0-based, -1 none chosen
  // Page 3.
  int alarmEnabled = 0;
  unsigned leadTime = 0;
  std::string leadUnits;
  unsigned daysPrior = 0;
  std::string soundFile;  // empty: the default alarm sound
};

// Page 3's starting values from the settings (BirthdayAlarmEnabled,
// BirthdayLeadTime, BirthdayLeadUnits, DaysPriorBirthday).
void LoadAlarmDefaults(const CProgramSettings& settings, WizardAnswers* answers);

// The year the text gives, read as leading digits after blanks (as atoi
// reads it): 0 for an empty or non-numeric text (no year known). False for
// a number outside 0..9999, which no date can carry.
bool ParseYear(const std::string& text, int* year);

// The second page's check: a day and a month are chosen, the year text is
// acceptable, and the month of that year (2000 when no year is known, so 29
// February passes) has the day.
bool IsDateValid(int dayIndex, int monthIndex, const std::string& yearText);

// The message the second page shows for a date that fails the check.
constexpr const char* kInvalidDateText = "Invalid date specified.\n\nPlease enter a valid date.";

// Gives a new event (made with the program defaults) the answers: name,
// type, sound file, days prior, yearly rule of interval 1, all-day, no shown
// end, the alarm flag and a lead time in exactly one unit, and the target
// calendar. The start date: with a year, that date and calculate-age on;
// without one, the date in `currentYear`, stepped back to a leap year for
// 29 February, and calculate-age off. Only the date part of the start is
// set. The answers must have passed IsDateValid.
void FillEvent(const WizardAnswers& answers, int currentYear, CCalEvent* event);

// Keeps the answers as the next run's defaults in the settings (the type
// under the kind's own key, the four alarm values); the caller saves.
void RememberAnswers(const WizardAnswers& answers, CProgramSettings* settings);

// The sound file kept for a file chosen in the sound dialog: the full path
// when its folder is not the current folder; otherwise empty (the default
// sound) when the chosen name or path equals AlarmSoundFile, else the path.
std::string ChosenSoundFile(const std::string& chosenPath, const std::string& currentFolder,
                            const std::string& alarmSoundFile);

}  // namespace wizardcore
