// Fakes of the higher layers the event record calls, and a helper that
// pins the settings a new event reads.
#pragma once

#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/services/model_services.h"

namespace caltest {

class FakeDocument : public IEventDocument {
 public:
  int saves = 0;
  int refreshes = 0;
  int lastIncrementSequence = -1;
  int lastPublishArg = -1;
  int publishFlag = 1;
  CCalendarFile* defaultCalendar = reinterpret_cast<CCalendarFile*>(0x1000);

  int16_t SaveEvent(CCalEvent&, int incrementSequence, int publishArg, int) override {
    ++saves;
    lastIncrementSequence = incrementSequence;
    lastPublishArg = publishArg;
    return 1;
  }
  int16_t SaveEventAndRefresh(CCalEvent&, int incrementSequence, int publishArg, int) override {
    ++refreshes;
    lastIncrementSequence = incrementSequence;
    lastPublishArg = publishArg;
    return 1;
  }
  CCalendarFile* GetDefaultCalendar() override { return defaultCalendar; }
  int GetPublishAlarmsFlag(const CCalendarFile*) const override { return publishFlag; }
  int GetCalendarCount() const override { return 0; }
  CalendarListEntry GetCalendarEntry(int) const override { return CalendarListEntry(); }
  int GetDefaultCalendarId() const override { return -1; }
};

class FakeReminderWindow : public IReminderWindow {
 public:
  struct Call {
    CCalEvent* event;
    int row;
    bool hasDate;
    CDateTime date;
  };
  std::vector<Call> calls;
  void RemoveAlarm(CCalEvent* event, int row, const CDateTime* date) override {
    calls.push_back({event, row, date != nullptr, date ? *date : CDateTime()});
    // As the window does once the event has no row left (each event has
    // one here); a freed event then no longer calls back.
    if (event) event->listed = 0;
  }
};

class FakePrompts : public IEventPrompts {
 public:
  bool confirmDelete = false;
  bool okOccurrence = false;
  int choice = kDeleteThisOccurrence;
  std::string lastPrompt;
  bool ConfirmDeleteEvent(const std::string&) override { return confirmDelete; }
  bool AskDeleteOccurrence(const std::string& prompt, int* c) override {
    lastPrompt = prompt;
    if (!okOccurrence) return false;
    *c = choice;
    return true;
  }
  WarningAnswer ShowWarning(const WarningRequest&) override { return WarningAnswer(); }
};

// A fake installed as one of the model's services (`Slot`, a member of
// ModelServices) for as long as it lives; the other services are none.
template <typename Fake, auto Slot>
class InstalledFake : public Fake {
 public:
  InstalledFake() : scoped_(Only(this)) {}

 private:
  static ModelServices Only(Fake* fake) {
    ModelServices services;
    services.*Slot = fake;
    return services;
  }
  ScopedModelServices scoped_;
};
using InstalledDocument = InstalledFake<FakeDocument, &ModelServices::document>;
using InstalledPrompts = InstalledFake<FakePrompts, &ModelServices::prompts>;

// Settings for new events, put back afterwards.
class EventSettings {
 public:
  EventSettings() : saved_(Capture()) {
    CProgramSettings& s = g_Settings;
    s.DefaultNotifyType = 0;
    s.DefaultEventTime = 9 * 3600;
    s.DefaultType = 0;
    s.EventTypeNames = {"Birthday", "Holiday"};
    s.alarm_enabled = 1;
    s.all_day = 0;
    s.show_enddate = 0;
    s.LeadTimeOneTime = 15;
    s.LeadUnitsOneTime = "Minutes";
    s.LeadTimeDaily = 2;
    s.LeadUnitsDaily = "Hours";
    s.LeadTimeWeekly = 1;
    s.LeadUnitsWeekly = "Days";
    s.LeadTimeMonthly = 2;
    s.LeadUnitsMonthly = "Days";
    s.LeadTimeYearly = 1;
    s.LeadUnitsYearly = "Weeks";
    s.DaysPriorOneTime = 1;
    s.DaysPriorDaily = 0;
    s.DaysPriorWeekly = 2;
    s.DaysPriorMonthly = 5;
    s.DaysPriorYearly = 14;
  }
  ~EventSettings() { Restore(saved_); }
  EventSettings(const EventSettings&) = delete;
  EventSettings& operator=(const EventSettings&) = delete;

 private:
  struct Saved {
    int16_t notify;
    int32_t time, defaultType;
    std::vector<std::string> names;
    int16_t alarm, allDay, showEnd;
  };
  static Saved Capture() {
    const CProgramSettings& s = g_Settings;
    return {s.DefaultNotifyType, s.DefaultEventTime, s.DefaultType, s.EventTypeNames, s.alarm_enabled, s.all_day,
            s.show_enddate};
  }
  static void Restore(const Saved& v) {
    CProgramSettings& s = g_Settings;
    s.DefaultNotifyType = v.notify;
    s.DefaultEventTime = v.time;
    s.DefaultType = v.defaultType;
    s.EventTypeNames = v.names;
    s.alarm_enabled = v.alarm;
    s.all_day = v.allDay;
    s.show_enddate = v.showEnd;
  }
  Saved saved_;
};

inline CDateTime At(int day, int month, int year, int h = 0, int mi = 0, int s = 0) {
  CDateTime v(day, month, year);
  v.SetTime(h, mi, s);
  return v;
}

// A recurring event of the given frequency starting at `start`.
inline void MakeRecurring(CCalEvent& event, int16_t frequency, const CDateTime& start) {
  event.oneTime = 0;
  event.start = start;
  event.end = start;
  event.recurrence.GetRule()->frequency = frequency;
  event.nextOccurrence = start;
}

// Daily from 1 March 2005 09:00 with its alarm on, `leadMinutes` ahead.
inline void MakeDailyWithAlarm(CCalEvent& event, int leadMinutes) {
  MakeRecurring(event, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  event.alarmOn = 1;
  event.SetLeadTime(leadMinutes, "Minutes");
}

// Daily from 1 March 2005 09:00 (an hour long, end shown) whose occurrence
// scheduled on `scheduledDay` March was moved to `movedDay` March at the
// given hour, for an hour.
inline void MakeDailyWithMove(CCalEvent& event, int scheduledDay, int movedDay, int movedHour) {
  MakeRecurring(event, CRecurrenceRule::kDaily, At(1, 3, 2005, 9));
  event.end = At(1, 3, 2005, 10);
  event.showEnd = 1;
  COccurrenceOverride& o = event.occurrenceOverrides[At(scheduledDay, 3, 2005, 9)];
  o.moved = 1;
  o.start = At(movedDay, 3, 2005, movedHour);
  o.end = At(movedDay, 3, 2005, movedHour + 1);
}

// Scheduled dates from `from` on, stepping past each actual start, at most
// `limit` of them.
inline std::vector<CDateTime> List(CCalEvent& event, const CDateTime& from, size_t limit) {
  std::vector<CDateTime> out;
  CDateTime point = from;
  while (out.size() < limit) {
    CDateTime found = point;
    if (event.GetNextOccurrenceFrom(found, false) != CCalEvent::kFound) break;
    out.push_back(found);
    point = event.StepPastOccurrence(found);
  }
  return out;
}

}  // namespace caltest
