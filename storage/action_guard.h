// Alarm actions and publish addresses that came with a calendar file from
// elsewhere. A calendar file can carry events whose alarm runs a program
// or sends mail, and a publish address its saves upload to; such an action
// only acts on the installation that armed it, which proves it with a
// keyed check value (model/events/action_proof.h). The alarm's actions
// and the publish after a save look at the proof themselves, so nothing
// that arrives unproven (opened, restored, refreshed, imported over a
// known UID, written by another machine, or switched on by a setting
// later) acts. This file asks the user about such actions when a calendar
// is opened or takes an import or refresh: Yes proves them here; No holds
// them off in memory only, the record's bytes kept as they were.
//
// The upgrade: records of earlier versions carry no proof (nothing, or a
// plain mark, "InstallationMark"). The first start of this version, on a
// profile an earlier version kept, proves once, at that start, the
// unmarked and own-marked actions of the calendar files the profile lists
// then. User-interface thread only.
#pragma once

#include <string>
#include <vector>

class CCalEvent;
class CCalendarFile;

namespace actionguard {

// The document's start: makes the key when the profile has none; a
// profile an earlier version kept adopts the calendar files it lists, for
// this start only.
void EstablishAtStart();
// Whether this start adopts the calendar file at `path` (listed at the
// upgrade and not yet taken); true once per file.
bool TakeAdoption(const std::string& path);
// An earlier version of this installation armed the event's actions:
// needing a proof, it carries none or that version's mark.
bool ArmedByEarlierVersion(const CCalEvent& e);

// Armed, unproven and not declined: the question is about it.
bool AwaitsQuestion(const CCalEvent& e);
// Before a write: an event the user armed here takes its proof.
void StampArmedHere(CCalEvent* e);

// The calendar publishes after each save to an address this installation
// proved (or publishes nothing after a save).
bool PublishProven(const CCalendarFile& c);
bool PublishAwaitsQuestion(const CCalendarFile& c);
void ProvePublish(CCalendarFile* c);

// The question about one calendar: names the calendar and its file, every
// event with what it would run or whom it would mail, and the publish
// address when `publishAddress` is not empty. No line is left out.
std::string ArmQuestion(const CCalendarFile& calendar, const std::vector<const CCalEvent*>& events,
                        const std::string& publishAddress);

}  // namespace actionguard
