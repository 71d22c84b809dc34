// Alarm actions that came with a calendar file from elsewhere. A calendar
// file can carry events whose alarm runs a program or sends mail; such an
// action only acts on the installation that switched it on. Every event
// record keeps the mark of the installation that armed its actions
// (CCalEvent::armedBy); an event read with actions armed under another
// mark (or none) arrives with them switched off until the user says yes.
//
// The mark is a random text made once per settings profile
// ("InstallationMark"). Records of earlier versions carry none: the
// calendar files the profile listed when the mark was made
// ("ArmedHereFiles") were this installation's own, and their unmarked
// events count as armed here. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CCalEvent;

namespace actionguard {

// This installation's mark; made (and written to the profile) on first
// need. Never empty.
const std::string& InstallationMark();

// The document's start: makes the mark when the profile has none. A
// profile an earlier version kept (not created by this start) adopts the
// calendar files it lists: their unmarked events stay armed.
void EstablishAtStart();

// Whether the event's run-program or e-mail action is on: switched on by
// the event itself, or following a setting that is on here while naming a
// program, parameters or addresses of its own.
bool RunArmed(const CCalEvent& e);
bool EmailArmed(const CCalEvent& e);

// Armed, and not by this installation: the mark is another one, or there
// is none and the file at `path` was not adopted.
bool ArmedElsewhere(const CCalEvent& e, const std::string& path);

// Before a write: an event whose actions are armed takes this
// installation's mark (only this installation arms what is in memory).
void StampArmedHere(CCalEvent* e);

// One event whose actions a read switched off, with what it had.
struct HeldActions {
  std::string uid;
  std::string name;
  int16_t runOn = 0;
  int16_t emailOn = 0;
  bool runHeld = false;
  bool emailHeld = false;
  std::string program;  // the program and its parameters, when it ran one
  std::string mailTo;   // the addresses, when it sent mail
};

// Switches the armed actions off and says what they were.
HeldActions Hold(CCalEvent* e);
// Puts the actions back and stamps this installation's mark.
void Arm(CCalEvent* e, const HeldActions& held);

// The question naming each event and what it would run or mail (at most
// twelve lines, then how many more).
std::string ArmQuestion(const std::vector<HeldActions>& held);

}  // namespace actionguard
