#include "dialogs/core/wizard_event.h"

#include <cctype>

#include "model/events/cal_event.h"
#include "model/dates/date_time.h"
#include "model/settings/program_settings.h"
#include "model/recurrence/recurrence_rule.h"

namespace wizardcore {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

}  // namespace

KindTexts TextsForKind(const std::string& kind, const CProgramSettings& settings) {
  if (kind == "Anniversary") return {"Anniversary Date", "Original Year", settings.TypeAnniversary};
  return {"Date of Birth", "Birth Year", settings.TypeBirthday};
}

void LoadAlarmDefaults(const CProgramSettings& settings, WizardAnswers* answers) {
  answers->alarmEnabled = settings.BirthdayAlarmEnabled != 0 ? 1 : 0;
  answers->leadTime = settings.BirthdayLeadTime < 0 ? 0u : static_cast<unsigned>(settings.BirthdayLeadTime);
  answers->leadUnits = settings.BirthdayLeadUnits;
  answers->daysPrior = settings.DaysPriorBirthday < 0 ? 0u : static_cast<unsigned>(settings.DaysPriorBirthday);
}

bool ParseYear(const std::string& text, int* year) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  bool digits = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    digits = true;
    value = value * 10 + (text[i] - '0');
    if (value > 9999) return false;  // stops before any overflow
  }
  if (digits && negative && value != 0) return false;
  *year = static_cast<int>(value);
  return true;
}

bool IsDateValid(int dayIndex, int monthIndex, const std::string& yearText) {
  int year = 0;
  if (dayIndex < 0 || dayIndex > 30 || monthIndex < 0 || monthIndex > 11 || !ParseYear(yearText, &year)) return false;
  if (year == 0) year = 2000;
  return dayIndex + 1 <= DaysInMonth(monthIndex + 1, year);
}

void FillEvent(const WizardAnswers& answers, int currentYear, CCalEvent* event) {
  event->name = answers.name;
  event->type = answers.type;
  event->alarmSoundFile = answers.soundFile;
  event->daysPrior = static_cast<int16_t>(answers.daysPrior);
  event->oneTime = 0;
  CRecurrenceRule* rule = event->recurrence.GetRule();
  rule->frequency = CRecurrenceRule::kYearly;
  rule->interval = 1;
  if (answers.targetCalendarId != 0) event->targetCalendarId = answers.targetCalendarId;
  const int day = answers.dayIndex + 1;
  const int month = answers.monthIndex + 1;
  int year = 0;
  ParseYear(answers.yearText, &year);
  if (year != 0) {
    event->calculateAge = 1;
  } else {
    event->calculateAge = 0;
    year = currentYear;
    if (month == 2 && day == 29)
      while (!IsLeapYear(year)) --year;
  }
  event->start.SetDate(day, month, year);
  event->showEnd = 0;
  event->allDay = 1;
  event->alarmOn = static_cast<int16_t>(answers.alarmEnabled != 0 ? 1 : 0);
  event->SetLeadTime(static_cast<int32_t>(answers.leadTime), answers.leadUnits);
}

void RememberAnswers(const WizardAnswers& answers, CProgramSettings* settings) {
  if (answers.kind == "Anniversary")
    settings->TypeAnniversary = answers.type;
  else
    settings->TypeBirthday = answers.type;
  settings->BirthdayAlarmEnabled = static_cast<int16_t>(answers.alarmEnabled != 0 ? 1 : 0);
  settings->BirthdayLeadTime = static_cast<int32_t>(answers.leadTime);
  settings->BirthdayLeadUnits = answers.leadUnits;
  settings->DaysPriorBirthday = static_cast<int32_t>(answers.daysPrior);
}

std::string ChosenSoundFile(const std::string& chosenPath, const std::string& currentFolder,
                            const std::string& alarmSoundFile) {
  const size_t slash = chosenPath.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : chosenPath.substr(0, slash);
  const std::string name = slash == std::string::npos ? chosenPath : chosenPath.substr(slash + 1);
  if (Folded(folder) != Folded(currentFolder)) return chosenPath;
  if (name == alarmSoundFile || chosenPath == alarmSoundFile) return std::string();
  return chosenPath;
}

}  // namespace wizardcore
