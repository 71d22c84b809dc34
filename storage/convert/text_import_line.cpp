// One line of a delimited text file into one event.
#include <cctype>
#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/import_target.h"
#include "storage/convert/text_import.h"

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string Trimmed(const std::string& text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && IsSpace(text[b])) ++b;
  while (e > b && IsSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// Leading blanks, an optional sign and the digits that follow, as the C
// library reads a decimal number (no digits: 0). False on overflow.
bool ReadDecimal(const std::string& text, int* value) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > INT_MAX) return false;
  }
  *value = static_cast<int>(negative ? -v : v);
  return true;
}

void AppendLog(TextImportResult* result, const char* format) {
  char line[128];
  std::snprintf(line, sizeof line, format, result->lines);
  result->log += line;
}

const std::string* Column(const std::vector<std::string>& fields, int position) {
  if (position < 0 || static_cast<size_t>(position) >= fields.size()) return nullptr;
  return &fields[static_cast<size_t>(position)];
}

// The date of the date field, or false when it has too few parts, a
// number overflows or the date does not exist.
bool ReadDate(const std::string& field, const TextImportOptions& o, const CDateTime& today, CDateTime* date) {
  int monthAt, dayAt, yearAt;
  switch (o.dateOrder) {
    case 0: monthAt = 0, dayAt = 1, yearAt = 2; break;
    case 1: dayAt = 0, monthAt = 1, yearAt = 2; break;
    case 2: yearAt = 0, monthAt = 1, dayAt = 2; break;
    default: return false;
  }
  std::vector<std::string> parts;
  CProgramSettings::SplitString(field, o.dateDelimiter, &parts);
  if (parts.size() < (o.dateOrder == 2 ? 3u : 2u)) return false;
  int month = 0, day = 0, year = today.GetYear();
  if (!ReadDecimal(parts[static_cast<size_t>(monthAt)], &month) ||
      !ReadDecimal(parts[static_cast<size_t>(dayAt)], &day))
    return false;
  if (static_cast<size_t>(yearAt) < parts.size()) {
    if (!ReadDecimal(parts[static_cast<size_t>(yearAt)], &year)) return false;
    if (year >= 0 && year <= 49) year += 2000;
    else if (year >= 50 && year <= 99) year += 1900;
  }
  if (year < 100 || year > 9999 || !IsValidDate(month, day, year)) return false;
  date->SetDate(day, month, year);
  return !date->IsEmpty();
}

// Hour and minute of the time field: "h:mm rest" or "h:m:rest"; 12 am is
// hour 0 and pm adds 12 below noon.
bool ReadTime(const std::string& field, int* hour, int* minute) {
  std::vector<std::string> parts;
  CProgramSettings::SplitString(field, ':', &parts);
  std::string rest;
  if (parts.size() == 2) {
    if (!ReadDecimal(parts[0], hour)) return false;
    size_t b = 0;
    while (b < parts[1].size() && IsSpace(parts[1][b])) ++b;
    if (!ReadDecimal(parts[1].substr(b, 2), minute)) return false;
    rest = parts[1];
  } else if (parts.size() == 3) {
    if (!ReadDecimal(parts[0], hour) || !ReadDecimal(parts[1], minute)) return false;
    rest = parts[2];
  } else {
    return false;
  }
  const bool pm = rest.find("pm") != std::string::npos || rest.find("PM") != std::string::npos;
  const bool am = rest.find("am") != std::string::npos || rest.find("AM") != std::string::npos;
  if (pm && *hour < 12) *hour += 12;
  else if (am && *hour == 12) *hour = 0;
  return *hour >= 0 && *hour < 24 && *minute >= 0 && *minute < 60;
}

// The column names of the event list's text file (its heading line).
const char* const kHeadingNames[] = {"Name", "Type", "Date", "Time", "Day", "Age", "OrigYear"};

bool IsHeadingName(const std::string& field) {
  for (const char* name : kHeadingNames) {
    size_t i = 0;
    while (name[i] && i < field.size() &&
           std::tolower(static_cast<unsigned char>(field[i])) == std::tolower(static_cast<unsigned char>(name[i])))
      ++i;
    if (name[i] == '\0' && i == field.size()) return true;
  }
  return false;
}

}  // namespace

bool IsTextHeadingLine(const std::string& line, const TextImportOptions& o) {
  std::vector<std::string> fields;
  CProgramSettings::SplitString(line, o.columnDelimiter, &fields);
  if (Column(fields, o.dateColumn) == nullptr) return false;  // passed over anyway
  int names = 0;
  for (const std::string& field : fields) {
    const std::string name = Trimmed(field);
    if (name.empty()) continue;
    if (!IsHeadingName(name)) return false;
    ++names;
  }
  return names > 0;
}

void ImportTextLine(const std::string& line, const TextImportOptions& o, const CDateTime& today,
                    IImportTarget* target, TextImportResult* result) {
  std::vector<std::string> fields;
  CProgramSettings::SplitString(line, o.columnDelimiter, &fields);
  const std::string* dateField = Column(fields, o.dateColumn);
  if (dateField == nullptr) return;  // no date column: passed over silently

  auto event = std::make_unique<CCalEvent>();
  event->allDay = 1;
  event->showEnd = 0;
  if (!ReadDate(*dateField, o, today, &event->start)) {
    AppendLog(result, convert_text::kLogInvalidDate);
    ++result->errors;
    return;
  }
  if (const std::string* name = Column(fields, o.nameColumn)) event->name = Trimmed(*name);
  if (const std::string* type = Column(fields, o.typeColumn)) event->type = Trimmed(*type);
  else event->type.clear();
  if (const std::string* time = Column(fields, o.timeColumn)) {
    int hour = 0, minute = 0;
    if (ReadTime(*time, &hour, &minute)) {
      event->start.SetTime(hour, minute, 0);
      event->allDay = 0;
    } else {
      AppendLog(result, convert_text::kLogInvalidTime);
      ++result->warnings;
    }
  }
  event->alarmOn = o.alarmEnabled ? 1 : 0;
  event->SetLeadTime(o.leadTime, o.leadUnits);
  event->recurrence.DeleteRule();
  if (o.defaultFrequency >= CRecurrenceRule::kSecondly && o.defaultFrequency <= CRecurrenceRule::kEaster) {
    event->oneTime = 0;
    event->recurrence.GetRule()->frequency = static_cast<int16_t>(o.defaultFrequency);
  } else {
    event->oneTime = 1;
  }
  CDateTime from;
  event->GetNextOccurrenceFrom(from, true);
  if (target->AddImportedEvent(std::move(event))) ++result->added;
}
