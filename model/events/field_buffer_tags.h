// The tags of the tagged-field records in which calendar files store
// events: those of the event record itself and those inside the nested
// items (date-time, rule, override, state, date range). A reader skips any
// tag it does not know, so a tag may be added but never reused.
#pragma once

#include <cstdint>

namespace fieldtag {

// ---- Event record (in the order the writer puts them).
constexpr uint16_t kUid = 26;
constexpr uint16_t kName = 23;
constexpr uint16_t kType = 1;
constexpr uint16_t kNotes = 9;
constexpr uint16_t kAlarmSoundFile = 38;
constexpr uint16_t kStart = 8;
constexpr uint16_t kEnd = 6;
constexpr uint16_t kCreated = 5;
constexpr uint16_t kLastModified = 13;
constexpr uint16_t kDtStamp = 7;
constexpr uint16_t kNextOccurrence = 30;
constexpr uint16_t kCalculateAge = 28;
constexpr uint16_t kShowEnd = 31;
constexpr uint16_t kHasNext = 32;
constexpr uint16_t kAllDay = 33;
constexpr uint16_t kAlarmOn = 34;
constexpr uint16_t kDaysPrior = 29;
constexpr uint16_t kLeadTime = 35;
constexpr uint16_t kRule = 17;
constexpr uint16_t kAcknowledged = 36;
constexpr uint16_t kAlarmSuppressed = 40;
constexpr uint16_t kSoundOn = 42;
constexpr uint16_t kEmailOn = 43;
constexpr uint16_t kEmailTo = 44;
constexpr uint16_t kEmailSubject = 45;
constexpr uint16_t kEmailBody = 46;
constexpr uint16_t kRunOn = 47;
constexpr uint16_t kRunAtAlarm = 48;
constexpr uint16_t kRunAtSnooze = 49;
constexpr uint16_t kRunWindowState = 53;
constexpr uint16_t kRunFile = 50;
constexpr uint16_t kRunParameters = 52;
constexpr uint16_t kSoundLength = 54;
constexpr uint16_t kAutoAcknowledge = 55;
constexpr uint16_t kExcludedDate = 11;
constexpr uint16_t kAddedDate = 15;
constexpr uint16_t kOccurrenceState = 37;
constexpr uint16_t kOccurrenceOverride = 41;
// The event's URL. Files written before it existed lack it; readers that
// predate it skip it.
constexpr uint16_t kUrl = 56;
// The exclusion rule (EXRULE) of a recurring event, a nested rule item like
// kRule. Older files have none.
constexpr uint16_t kExclusionRule = 57;
// The event is disabled (the "Enabled" box of the calendar entries editor
// cleared); written only when set.
constexpr uint16_t kDisabled = 58;
// The check value by which an installation proves it armed the event's
// run-program or e-mail action; written only when set. Older readers skip
// it.
constexpr uint16_t kArmedBy = 59;
// The occurrence whose alarm last ran the actions, and its snooze time;
// written only when set. Older readers skip them.
constexpr uint16_t kActedOn = 74;
constexpr uint16_t kActedSnooze = 75;
// The event came into this calendar from another calendar on this machine
// (moved in), not from the calendar's server; written only when set.
constexpr uint16_t kMovedIn = 71;

// ---- Inside an occurrence override (besides kName, kType, kNotes, kStart,
// kEnd, kLeadTime, kAlarmOn and kUrl above).
constexpr uint16_t kScheduledDate = 16;

// ---- Inside an occurrence state (besides kAcknowledged, kScheduledDate).
constexpr uint16_t kSnoozeTime = 39;
constexpr uint16_t kSnoozeTimeOld = 38;  // read only

// ---- Inside a recurrence rule.
constexpr uint16_t kRuleFrequency = 500;
constexpr uint16_t kRuleInterval = 501;
constexpr uint16_t kRuleUntil = 502;
constexpr uint16_t kRuleCount = 503;
constexpr uint16_t kRuleByDayWeekdays = 504;
constexpr uint16_t kRuleByDayOrdinals = 505;
constexpr uint16_t kRuleByMonthDay = 506;
constexpr uint16_t kRuleByYearDay = 507;
constexpr uint16_t kRuleBySetPos = 508;
constexpr uint16_t kRuleByWeekNo = 509;
constexpr uint16_t kRuleByMonth = 510;
constexpr uint16_t kRuleWeekStart = 511;
constexpr uint16_t kRuleOffsetDays = 512;
constexpr uint16_t kRuleEaster = 513;
// The zone rule of a series written in a named zone (CRecurrenceRule::zone);
// written only when set. Older files have none and older readers skip it.
constexpr uint16_t kRuleZone = 514;
// The wall-clock time a zoned series start was written at, where its zone
// reads the start otherwise (CRecurrenceRule::writtenStart); written only
// when set. Older files have none and older readers skip it.
constexpr uint16_t kRuleWrittenStart = 515;

}  // namespace fieldtag
