// EventTextFields: the display texts of one occurrence, filled by
// CCalEvent::GetTextFields for the list view, printing and the alarm e-mail.
#pragma once

#include <cstdint>
#include <string>

class EventTextFields {
 public:
  std::string type;
  std::string age;        // years since the start; empty unless ages are counted
  std::string startTime;  // empty for an all-day event
  std::string daysLeft;   // "%d", "Today!!" or "n/a"
  std::string startDate;  // the locale's short date, or "n/a"
  std::string dayName;    // the locale's abbreviated weekday name
  std::string name;
  std::string endDate;  // only when the event shows its end
  std::string endTime;
  uint8_t hasNotes = 0;
  uint8_t alarmOn = 0;
  uint8_t snoozed = 0;
  uint8_t acknowledged = 0;

  EventTextFields() = default;
  virtual ~EventTextFields() = default;
  EventTextFields(const EventTextFields&) = default;
  EventTextFields& operator=(const EventTextFields&) = default;
};
