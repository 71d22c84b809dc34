// CCalEvent: construction with the program defaults, copy, identifiers,
// saving and the deletion and in-edit marks.
#include "model/events/cal_event.h"

#include <atomic>
#include <cstdio>
#include <iterator>
#include <random>

#include "model/settings/program_settings.h"
#include "model/services/model_services.h"
#include "platform/clock.h"
#include "platform/host_name.h"

namespace {

std::atomic<int32_t> g_nextSerial{1};

// The UID counter starts at a random value so that two processes started in
// the same millisecond on one computer still differ.
std::atomic<uint32_t>& UidCounter() {
  static std::atomic<uint32_t> counter{[] {
    std::random_device device;
    platform::CivilTime now = platform::UtcNow();
    uint32_t mix = static_cast<uint32_t>(now.millisecond) * 2654435761u ^ static_cast<uint32_t>(now.second) << 20;
    return (device() ^ mix) & 0x3FFFFFFFu;
  }()};
  return counter;
}

// What a new event of each notify type takes from the settings, by the
// type's number: 0 one-time, 1 weekly, 2 monthly, 3 and 4 yearly, 5 daily.
struct NotifyTypeDefaults {
  int16_t frequency;  // kUnset: a one-time event keeps its rule unset
  int32_t CProgramSettings::*leadTime;
  std::string CProgramSettings::*leadUnits;
  int16_t CProgramSettings::*daysPrior;
};

using S = CProgramSettings;
const NotifyTypeDefaults kNotifyTypeDefaults[] = {
    {CRecurrenceRule::kUnset, &S::LeadTimeOneTime, &S::LeadUnitsOneTime, &S::DaysPriorOneTime},
    {CRecurrenceRule::kWeekly, &S::LeadTimeWeekly, &S::LeadUnitsWeekly, &S::DaysPriorWeekly},
    {CRecurrenceRule::kMonthly, &S::LeadTimeMonthly, &S::LeadUnitsMonthly, &S::DaysPriorMonthly},
    {CRecurrenceRule::kYearly, &S::LeadTimeYearly, &S::LeadUnitsYearly, &S::DaysPriorYearly},
    {CRecurrenceRule::kYearly, &S::LeadTimeYearly, &S::LeadUnitsYearly, &S::DaysPriorYearly},
    {CRecurrenceRule::kDaily, &S::LeadTimeDaily, &S::LeadUnitsDaily, &S::DaysPriorDaily},
};

}  // namespace

CCalEvent::CCalEvent() : recurrence(&start) {
  const CProgramSettings& s = g_Settings;
  created = CDateTime::NowUtc();
  lastModified = created;
  dtStamp = created;
  start.SetSecondsOfDay(s.DefaultEventTime);
  end.SetSecondsOfDay(s.DefaultEventTime);
  nextOccurrence = CDateTime::Today();
  recurrence.GetRule();
  ApplyRecurrenceTypeDefaults(s.DefaultNotifyType);
  alarmOn = s.alarm_enabled;
  allDay = s.all_day;
  showEnd = s.show_enddate;
  if (s.DefaultType >= 0 && static_cast<size_t>(s.DefaultType) < s.EventTypeNames.size())
    type = s.EventTypeNames[static_cast<size_t>(s.DefaultType)];
  dueAlarms.allowBeforeFirst = false;
  movedDates.allowBeforeFirst = true;
  if (IEventDocument* document = GetModelServices().document) calendar = document->GetDefaultCalendar();
  serial = g_nextSerial++;
}

CCalEvent::~CCalEvent() {
  // A row of the reminder window must not outlive its event.
  if (listed && reminderWindow) reminderWindow->RemoveAlarm(this, -1, nullptr);
}

void CCalEvent::ApplyRecurrenceTypeDefaults(int notifyType) {
  oneTime = notifyType == 0 ? 1 : 0;
  if (notifyType < 0 || notifyType >= static_cast<int>(std::size(kNotifyTypeDefaults))) return;
  const NotifyTypeDefaults& d = kNotifyTypeDefaults[notifyType];
  const CProgramSettings& s = g_Settings;
  SetLeadTime(s.*d.leadTime, s.*d.leadUnits);
  daysPrior = s.*d.daysPrior;
  if (d.frequency != CRecurrenceRule::kUnset) recurrence.GetRule()->frequency = d.frequency;
}

CCalEvent& CCalEvent::operator=(const CCalEvent& o) {
  if (this == &o) return *this;
  name = o.name;
  type = o.type;
  notes = o.notes;
  url = o.url;
  uid = o.uid;
  start = o.start;
  end = o.end;
  nextOccurrence = o.nextOccurrence;
  // The copied rules run over this event's own start.
  recurrence = o.recurrence;
  recurrence.SetSeriesStart(&start);
  oneTime = o.oneTime;
  acknowledged = o.acknowledged;
  hasNext = o.hasNext;
  calculateAge = o.calculateAge;
  daysPrior = o.daysPrior;
  showEnd = o.showEnd;
  allDay = o.allDay;
  disabled = o.disabled;
  movedIn = o.movedIn;
  alarmOn = o.alarmOn;
  alarmSuppressed = o.alarmSuppressed;
  leadTime = o.leadTime;
  soundOn = o.soundOn;
  alarmSoundFile = o.alarmSoundFile;
  soundLength = o.soundLength;
  autoAcknowledge = o.autoAcknowledge;
  emailOn = o.emailOn;
  emailTo = o.emailTo;
  emailSubject = o.emailSubject;
  emailBody = o.emailBody;
  runOn = o.runOn;
  runAtAlarm = o.runAtAlarm;
  runAtSnooze = o.runAtSnooze;
  runFile = o.runFile;
  runWindowState = o.runWindowState;
  runParameters = o.runParameters;
  if (!o.armedBy.empty()) armedBy = o.armedBy;
  occurrenceStates = o.occurrenceStates;
  occurrenceOverrides = o.occurrenceOverrides;
  targetCalendarId = o.targetCalendarId;
  daysLeft = o.daysLeft;
  weekdayName = o.weekdayName;
  weekdayNumber = o.weekdayNumber;
  shown = o.shown;
  age = o.age;
  snoozeAmount = o.snoozeAmount;
  alarmRunTime = o.alarmRunTime;
  return *this;
}

int CCalEvent::GetFrequency() const {
  if (oneTime) return -1;
  const CRecurrenceRule* rule = recurrence.FindRule();
  return rule ? rule->frequency : 0;
}

void CCalEvent::ResetRuleExpansion() {
  if (oneTime) return;
  if (CRecurrenceRule* rule = recurrence.FindRule()) rule->ResetExpansion();
}

void CCalEvent::SetLeadTime(int32_t amount, const std::string& unit) {
  // Every part the unit does not name is cleared, so a lead time never
  // keeps months or seconds left over from an earlier value.
  leadTime.Clear();
  leadTime.sign = 1;
  if (unit == "Minutes")
    leadTime.minutes = amount;
  else if (unit == "Hours")
    leadTime.hours = amount;
  else if (unit == "Days")
    leadTime.days = amount;
  else if (unit == "Weeks")
    leadTime.weeks = amount;
}

bool CCalEvent::IsAllDay(const CDateTime&) const { return allDay != 0; }

bool CCalEvent::GetShowEnd(const CDateTime&) const { return showEnd != 0; }

void CCalEvent::EnsureDtStamp() {
  if (!dtStamp.IsEmpty()) return;
  dtStamp = lastModified.IsEmpty() ? CDateTime::NowUtc() : lastModified;
}

std::string CCalEvent::MakeEventUid() {
  platform::CivilTime now = platform::LocalNow();
  CDateTime local = CDateTime::FromParts(JulianDayFromDate(now.month, now.day, now.year),
                                         3600 * now.hour + 60 * now.minute + now.second, CDateTime::kFloating);
  std::string host = platform::ComputerName();
  if (host.size() > 15) host.resize(15);
  uint32_t n = UidCounter()++ & 0x7FFFFFFFu;
  char buf[128];
  std::snprintf(buf, sizeof buf, "%s-%d-%d@%s", local.FormatICal(CDateTime::kAsLocal).c_str(), now.millisecond,
                static_cast<int>(n), host.c_str());
  return buf;
}

int16_t CCalEvent::Save(int incrementSequence, int publishArg, int stampDtStamp) {
  IEventDocument* document = GetModelServices().document;
  if (!document) return 0;
  return document->SaveEvent(*this, incrementSequence, publishArg, stampDtStamp);
}

int16_t CCalEvent::NotifyDocument(int incrementSequence, int publishArg, int stampDtStamp) {
  IEventDocument* document = GetModelServices().document;
  if (!document) return 0;
  return document->SaveEventAndRefresh(*this, incrementSequence, publishArg, stampDtStamp);
}

int16_t CCalEvent::NotifyDocumentWithPublishFlag(int incrementSequence) {
  IEventDocument* document = GetModelServices().document;
  if (!document) return 0;
  return document->SaveEventAndRefresh(*this, incrementSequence, document->GetPublishAlarmsFlag(calendar), 1);
}

void CCalEvent::MarkDeleted() {
  deleted = 1;
  if (listed && reminderWindow) reminderWindow->RemoveAlarm(this, -1, nullptr);
}

void CCalEvent::MarkInEdit() {
  inEdit = 1;
  if (listed && reminderWindow) reminderWindow->RemoveAlarm(this, -1, nullptr);
}
