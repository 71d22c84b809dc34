#include "dialogs/core/event_edit_session.h"

#include <cstdio>

#include "model/events/cal_event.h"
#include "model/dates/duration.h"
#include "model/settings/program_settings.h"
#include "storage/calendar_file.h"

namespace dialogcore {

int RuleFrequencyOfKind(int kind) {
  return kind >= kDaily && kind <= kEasterYearly ? kind + 3 : CRecurrenceRule::kUnset;
}

int KindOfRuleFrequency(int frequency) {
  return frequency >= CRecurrenceRule::kDaily && frequency <= CRecurrenceRule::kEaster ? frequency - 3 : kOneTime;
}

KindDefaults DefaultsOfKind(int kind) {
  const CProgramSettings& s = g_Settings;
  switch (kind) {
    case kDaily: return {s.LeadTimeDaily, s.LeadUnitsDaily, s.DaysPriorDaily};
    case kWeekly: return {s.LeadTimeWeekly, s.LeadUnitsWeekly, s.DaysPriorWeekly};
    case kMonthly: return {s.LeadTimeMonthly, s.LeadUnitsMonthly, s.DaysPriorMonthly};
    case kYearly:
    case kEasterYearly: return {s.LeadTimeYearly, s.LeadUnitsYearly, s.DaysPriorYearly};
    default: return {s.LeadTimeOneTime, s.LeadUnitsOneTime, s.DaysPriorOneTime};
  }
}

void SeedAdvancedRule(CRecurrenceRule& rule, const CDateTime& start) {
  if (rule.HasAdvancedCriteria()) return;
  switch (rule.frequency) {
    case CRecurrenceRule::kWeekly:
      if (rule.byDayWeekdays.empty()) rule.AddByDay(start.GetWeekday());
      break;
    case CRecurrenceRule::kMonthly:
      if (rule.byMonthDay.empty()) rule.byMonthDay.push_back(static_cast<int16_t>(start.GetDay()));
      break;
    case CRecurrenceRule::kYearly:
      if (rule.byMonth.empty()) rule.byMonth.push_back(static_cast<int16_t>(start.GetMonth()));
      if (rule.byMonthDay.empty()) rule.byMonthDay.push_back(static_cast<int16_t>(start.GetDay()));
      break;
    default: break;
  }
}

namespace {
// The parts of two rules that decide when occurrences fall.
bool SameSchedule(const CRecurrenceRule& a, const CRecurrenceRule& b) {
  return a.frequency == b.frequency && a.interval == b.interval && a.weekStart == b.weekStart &&
         a.until == b.until && a.count == b.count && a.offsetDays == b.offsetDays && a.byWeekNo == b.byWeekNo &&
         a.byYearDay == b.byYearDay && a.byMonthDay == b.byMonthDay && a.byDayWeekdays == b.byDayWeekdays &&
         a.byDayOrdinals == b.byDayOrdinals && a.bySetPos == b.bySetPos && a.byMonth == b.byMonth &&
         a.zone == b.zone;
}
}  // namespace

bool IsUnusualTime(int s, int begin, int end) {
  if (begin > end) return s >= begin * 3600 || s <= end * 3600;
  return begin * 3600 <= s && s <= end * 3600;
}

// Hours unpadded: a padded one-digit hour reads as a double space.
std::string UnusualTimeMessage(int begin, int end, bool use24Hour) {
  char text[160];
  if (use24Hour) {
    std::snprintf(text, sizeof text, "The time you have entered is between\n%d:00 and %d:00.\n\nIs this correct?",
                  begin, end);
  } else {
    auto hour12 = [](int h) { return h % 12 == 0 ? 12 : h % 12; };
    auto half = [](int h) { return h < 12 ? "am" : "pm"; };
    std::snprintf(text, sizeof text, "The time you have entered is between\n%d%s and %d%s.\n\nIs this correct?",
                  hour12(begin), half(begin), hour12(end), half(end));
  }
  return text;
}

EventEditSession::EventEditSession() : start(CDateTime::Today()), end(CDateTime::Today()), rule(&start) {}

EventEditSession::~EventEditSession() = default;

namespace {

void CopyAlarmActions(const CCalEvent& from, CCalEvent& to) {
  to.soundOn = from.soundOn;
  to.alarmSoundFile = from.alarmSoundFile;
  to.soundLength = from.soundLength;
  to.autoAcknowledge = from.autoAcknowledge;
  to.emailOn = from.emailOn;
  to.emailTo = from.emailTo;
  to.emailSubject = from.emailSubject;
  to.emailBody = from.emailBody;
  to.runOn = from.runOn;
  to.runAtAlarm = from.runAtAlarm;
  to.runAtSnooze = from.runAtSnooze;
  to.runFile = from.runFile;
  to.runWindowState = from.runWindowState;
  to.runParameters = from.runParameters;
}

}  // namespace

CCalEvent* EventEditSession::ActionsDraft() {
  if (!event) return nullptr;
  if (!actionsDraft_) {
    actionsDraft_ = std::make_unique<CCalEvent>();
    CopyAlarmActions(*event, *actionsDraft_);
  }
  return actionsDraft_.get();
}

bool EventEditSession::Load(CCalEvent& ev, const CDateTime* occurrence, const OpenQuestion& ask) {
  actionsDraft_.reset();
  event = &ev;
  series = true;
  readOnly = ev.calendar && ev.calendar->fileType == CCalendarFile::kMemoryOnly;
  if (occurrence && ev.IsRecurring()) {
    int answer = ask ? ask("\"" + ev.name +
                           "\" is a recurring event.  Do you want to open only this occurrence or the full series?")
                     : 1;
    if (answer < 0) return false;
    if (answer == 0) series = false;
  }
  CDuration lead;
  if (series) {
    name = ev.name;
    type = ev.type;
    notes = ev.notes;
    disabled = ev.disabled;
    alarm = ev.alarmOn;
    calculateAge = ev.calculateAge;
    daysPrior = ev.daysPrior;
    CRecurrenceRule* evRule = ev.recurrence.GetRule();
    rule = *evRule;
    if (ev.oneTime) {
      kind = kOneTime;
      interval = 1;
    } else {
      interval = evRule->interval;
      kind = KindOfRuleFrequency(evRule->frequency);
    }
    lead = ev.leadTime;
    start = ev.start;
    end = ev.end;
    advanced = rule.HasAdvancedCriteria();
    untilFollowsStart = rule.IsUntilSet() && start.HasTimeOfDay() && rule.until.HasTimeOfDay() &&
                        rule.until.GetSecondsOfDay(CDateTime::kAsLocal) == start.GetSecondsOfDay(CDateTime::kAsLocal);
    offsetDays = rule.offsetDays < 0 ? -rule.offsetDays : rule.offsetDays;
    offsetDirection = rule.offsetDays < 0 ? 0 : 1;
  } else {
    occurrenceDate = *occurrence;
    kind = kOneTime;
    interval = 1;
    const COccurrenceOverride* o = ev.occurrenceOverrides.GetAssocAt(occurrenceDate);
    if (o && o->IsMoved()) {
      start = o->start;
      end = o->end;
    } else {
      start = occurrenceDate;
      end = DefaultOccurrenceEnd();
    }
    name = o && o->Overrides(COccurrenceOverride::kName) ? o->name : ev.name;
    type = o && o->Overrides(COccurrenceOverride::kType) ? o->type : ev.type;
    notes = o && o->Overrides(COccurrenceOverride::kNotes) ? o->notes : ev.notes;
    const bool ownAlarm = o && o->Overrides(COccurrenceOverride::kAlarm);
    alarm = ownAlarm ? o->alarmOn : ev.alarmOn;
    lead = ownAlarm ? o->leadTime : ev.leadTime;
    disabled = calculateAge = daysPrior = 0;
  }
  allDay = ev.allDay;
  showEnd = ev.showEnd;
  calendarId = ev.targetCalendarId ? ev.targetCalendarId : (ev.calendar ? ev.calendar->listId : 0);
  loadedLeadTime_ = lead;
  loadedLead_ = LeadTimeToChoice(lead);
  leadAmount = loadedLead_.amount;
  leadUnits = loadedLead_.units;
  ev.MarkInEdit();
  inEdit_ = true;
  changed_ = false;
  return true;
}

std::vector<CCalendarFile*> EventEditSession::OfferedCalendars(IEventEditHost& host, int* selected) const {
  std::vector<CCalendarFile*> out;
  *selected = -1;
  for (CCalendarFile* c : host.Calendars()) {
    const bool own = c->listId == calendarId;
    if (!own && !c->CanReceiveNewEvents()) continue;
    if (own) *selected = static_cast<int>(out.size());
    out.push_back(c);
  }
  return out;
}

void EventEditSession::SelectKind(int newKind, bool applyDefaults) {
  if (newKind == kOneTime) {
    rule.Clear();
    advanced = false;
  } else {
    const int16_t f = static_cast<int16_t>(RuleFrequencyOfKind(newKind));
    if (rule.frequency != f) {
      rule.Clear();
      rule.frequency = f;
      advanced = false;
    }
  }
  kind = newKind;
  if (applyDefaults) {
    KindDefaults d = DefaultsOfKind(newKind);
    leadAmount = d.leadAmount;
    leadUnits = d.leadUnits;
    daysPrior = d.daysPrior;
  }
}

void EventEditSession::MoveEndWithStart(const CDateTime& when) {
  if (end < start) {
    end = when;
    return;
  }
  CDuration span;
  span.SetBetween(start, end);
  CDateTime e = when;
  e.AddDuration(span);
  end = e;
}

void EventEditSession::StartDateChanged(const CDateTime& when) {
  MoveEndWithStart(when);
  if (when.GetJulianDay(CDateTime::kAsLocal) != start.GetJulianDay(CDateTime::kAsLocal)) {
    const int16_t f = rule.frequency;
    rule.Clear();
    rule.frequency = f;
    advanced = false;
  }
  start = when;
}

void EventEditSession::StartTimeChanged(const CDateTime& when) {
  MoveEndWithStart(when);
  start = when;
  KeepUntilOnStartTime();
}

void EventEditSession::KeepUntilOnStartTime() {
  if (!untilFollowsStart || !rule.IsUntilSet() || !start.HasTimeOfDay()) return;
  CDateTime local = rule.until.ConvertedTo(CDateTime::kAsLocal);
  local.SetSecondsOfDay(start.GetSecondsOfDay(CDateTime::kAsLocal));
  rule.until = local.ConvertedToZoneOf(rule.until);
}

bool EventEditSession::ChangesSchedule(const CCalEvent& ev, const CDuration& lead) const {
  const bool wasRecurring = !ev.oneTime;
  const bool recurring = kind != kOneTime;
  if (start != ev.start || (allDay != 0) != (ev.allDay != 0) || recurring != wasRecurring) return true;
  if ((alarm != 0) != (ev.alarmOn != 0) || !SameLeadTime(lead, ev.leadTime)) return true;
  if (!recurring) return false;
  const CRecurrenceRule* own = ev.recurrence.FindRule();
  return !own || !SameSchedule(rule, *own);
}

bool EventEditSession::ApplyAdvancedStart(IEventEditPrompts& prompts) {
  rule.ResetExpansion();
  rule.SetSeriesStart(&start);
  rule.startIsOccurrence = 0;
  rule.yearSearchLimit = 100;
  // Only an Easter rule takes its offset from the controls; any other rule
  // keeps its own (an imported rule may carry one).
  if (kind == kEasterYearly) rule.offsetDays = offsetDirection == 0 ? -offsetDays : offsetDays;
  CDateTime x = start;
  bool moved = false;
  if (rule.GetNextOccurrence(x) == CRecurrenceRule::kFound && x != start) {
    prompts.NotifyStartMoved();
    MoveEndWithStart(x);
    start = x;
    moved = true;
  }
  // The flag is not stored: leaving it 0 would make the event behave
  // otherwise after the next load.
  rule.startIsOccurrence = 1;
  rule.yearSearchLimit = 10;
  return moved;
}

void EventEditSession::ConflictRange(CDateTime* from, CDateTime* to) const {
  *from = start;
  *to = showEnd ? end : start;
}

CDuration EventEditSession::ChosenLeadTime() const {
  return ResolveLeadTime(loadedLeadTime_, loadedLead_, leadAmount, leadUnits);
}

CDateTime EventEditSession::DefaultOccurrenceEnd() const {
  CDuration span;
  span.SetBetween(event->start, event->end);
  CDateTime e = occurrenceDate;
  e.AddDuration(span);
  return e;
}

bool EventEditSession::SaveCalendar(IEventEditHost& host) {
  CCalendarFile* owning = event->calendar;
  const int owningId = owning ? owning->listId : 0;
  if (calendarId != 0 && calendarId != owningId) {
    event->targetCalendarId = calendarId;
    return true;
  }
  if (owning && owning->openState != CCalendarFile::kOpen) return host.ReopenCalendar(*owning);
  return true;
}

bool EventEditSession::Save(IEventEditHost& host, IEventEditPrompts& prompts) {
  if (readOnly) {
    // Nothing of a read-only calendar's event changes, its occurrence
    // states included.
    Abandon();
    changed_ = false;
    return true;
  }
  if (!SaveCalendar(host)) return false;
  if (!(series ? SaveSeries(prompts) : SaveOccurrence(prompts))) return false;
  if (actionsDraft_) {
    // The user set the actions here: the write proves them.
    CopyAlarmActions(*actionsDraft_, *event);
    event->armRequested = 1;
  }
  actionsDraft_.reset();
  event->inEdit = 0;
  inEdit_ = false;
  changed_ = true;
  return true;
}

bool EventEditSession::SaveSeries(IEventEditPrompts& prompts) {
  CCalEvent& ev = *event;
  int16_t age = 0;
  if (kind >= kDaily && kind <= kEasterYearly) {
    rule.interval = kind == kEasterYearly ? 1 : interval;
    rule.frequency = static_cast<int16_t>(RuleFrequencyOfKind(kind));
    if (kind == kYearly) age = static_cast<int16_t>(calculateAge);
    KeepUntilOnStartTime();
    ApplyAdvancedStart(prompts);
  }
  const bool rescheduled = ChangesSchedule(ev, ChosenLeadTime());
  const bool hasChanges = !ev.occurrenceOverrides.IsEmpty() || !ev.recurrence.excludedDates.IsEmpty();
  if (hasChanges && (start != ev.start || (allDay != 0) != (ev.allDay != 0))) {
    // Refused: the dialog stays open and the event keeps every value.
    if (!prompts.AskResetOccurrences()) return false;
    ev.occurrenceOverrides.RemoveAll();
    ev.recurrence.excludedDates.DeleteAll();
  }
  ev.calculateAge = age;
  ev.ResetRuleExpansion();
  ev.name = name;
  ev.type = type;
  ev.notes = notes;
  ev.daysPrior = static_cast<int16_t>(daysPrior);
  ev.disabled = static_cast<int16_t>(disabled ? 1 : 0);
  ev.allDay = static_cast<int16_t>(allDay ? 1 : 0);
  ev.showEnd = static_cast<int16_t>(showEnd ? 1 : 0);
  ev.recurrence.occurrenceLength.Clear();
  ev.start = start;
  ev.end = end;
  if (allDay) {
    ev.start.SetSecondsOfDay(0);
    ev.end.SetSecondsOfDay(0);
  }
  if (kind == kOneTime) {
    ev.oneTime = 1;
    ev.recurrence.DeleteRule();
  } else {
    ev.oneTime = 0;
    *ev.recurrence.GetRule() = rule;
    if (showEnd) ev.recurrence.occurrenceLength.SetBetween(ev.start, ev.end);
  }
  ev.alarmOn = static_cast<int16_t>(alarm ? 1 : 0);
  ev.leadTime = ChosenLeadTime();
  if (rescheduled) ev.ResetOccurrences();
  return true;
}

bool EventEditSession::SaveOccurrence(IEventEditPrompts& prompts) {
  CCalEvent& ev = *event;
  if (start < ev.start) {
    prompts.RefuseEarlyOccurrence();
    return false;
  }
  COccurrenceOverride o;
  ev.occurrenceOverrides.Lookup(occurrenceDate, o);
  auto text = [&o](int32_t bit, std::string& field, const std::string& shown, const std::string& own) {
    if (shown != own) {
      field = shown;
      o.mask |= bit;
    } else {
      o.mask &= ~bit;
    }
  };
  text(COccurrenceOverride::kName, o.name, name, ev.name);
  text(COccurrenceOverride::kType, o.type, type, ev.type);
  text(COccurrenceOverride::kNotes, o.notes, notes, ev.notes);
  const CDuration lead = ChosenLeadTime();
  if (SameLeadTime(lead, ev.leadTime) && (alarm != 0) == (ev.alarmOn != 0)) {
    o.mask &= ~COccurrenceOverride::kAlarm;
  } else {
    o.alarmOn = alarm ? 1 : 0;
    o.leadTime = lead;
    o.mask |= COccurrenceOverride::kAlarm;
  }
  // Keyed by the scheduled date, the override is moved exactly when its
  // range differs from the computed one; back on it, it is not.
  if (start != occurrenceDate || end != DefaultOccurrenceEnd()) {
    o.moved = 1;
    o.start = start;
    o.end = end;
  } else {
    o.moved = 0;
    o.start.Clear();
    o.end.Clear();
  }
  if (o.mask != 0 || o.moved)
    ev.occurrenceOverrides[occurrenceDate] = o;
  else
    ev.occurrenceOverrides.RemoveKey(occurrenceDate);
  if (occurrenceDate == ev.nextOccurrence) {
    CDateTime next = ev.nextOccurrence;
    ev.GetNextOccurrenceFrom(next, true);
  }
  return true;
}

void EventEditSession::Abandon() {
  actionsDraft_.reset();
  if (!inEdit_ || !event) return;
  event->inEdit = 0;
  event->conflictMark = 0;
  event->targetCalendarId = 0;
  inEdit_ = false;
}

}  // namespace dialogcore
