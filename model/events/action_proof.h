// Proof that this installation armed an alarm action or a publish address.
// The installation keeps a secret key in its settings profile only
// ("InstallationSecret"); an event record carries, as CCalEvent::armedBy,
// the keyed check value (platform/keyed_check.h) over the event's UID and
// every field its run-program and e-mail actions use (on/off and when,
// program, parameters, window state, recipients, subject, body, and the
// sound path). A value copied from any other record, or a record whose
// action fields changed from outside (a refresh, an import, another
// machine), does not verify: its actions are not armed here, whatever the
// settings say, until the user says yes. A calendar's publish address is
// proven the same way (its own value in CALINFO).
//
// User-interface thread for the key's creation; the checks are pure.
#pragma once

#include <string>

class CCalEvent;

namespace actionproof {

// The key: made from the system's generator and written to the profile on
// first need. Empty when the system gave no random bytes (then nothing is
// proven and nothing stamped).
const std::string& InstallationSecret();

// Whether the event's run or mail action could act on some machine: on by
// the event itself, or following a setting while naming a program,
// parameters, recipients or texts of its own. The settings here do not
// count: switched off now, they may be switched on later.
bool RunNeedsProof(const CCalEvent& e);
bool MailNeedsProof(const CCalEvent& e);
bool NeedsProof(const CCalEvent& e);

// The check value over the event's UID and action fields; empty without
// a key.
std::string ProofOf(const CCalEvent& e);
// Needs no proof, or carries one that verifies now.
bool Proven(const CCalEvent& e);
// Stamps the event's check value (the user armed it here).
void Prove(CCalEvent* e);

// The check value over a calendar's identity and publish address.
std::string PublishProofOf(const std::string& relCalId, const std::string& address);

}  // namespace actionproof
