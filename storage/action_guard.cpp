#include "storage/action_guard.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "model/events/action_proof.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "platform/paths.h"
#include "storage/calendar_file.h"

namespace actionguard {
namespace {

// The files this start adopts (an earlier version's list); memory only.
std::set<std::string>& Adoptions() {
  static std::set<std::string> files;
  return files;
}

// Full and upper-case, so two spellings of one file compare equal.
std::string FileKey(const std::string& path) {
  std::string full = platform::FullPath(path);
  for (char& c : full) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return full;
}

}  // namespace

void EstablishAtStart() {
  Adoptions().clear();
  if (!g_Settings.InstallationSecret.empty()) return;
  if (!g_Settings.SettingsCreated) {
    for (const std::string& p : g_Settings.DataFilePaths)
      if (!p.empty()) Adoptions().insert(FileKey(platform::HasFolderPart(p) ? p : platform::ProgramFolder() + p));
  }
  actionproof::InstallationSecret();
}

bool TakeAdoption(const std::string& path) {
  return !path.empty() && Adoptions().erase(FileKey(path)) > 0;
}

bool ArmedByEarlierVersion(const CCalEvent& e) {
  if (!actionproof::NeedsProof(e) || actionproof::Proven(e)) return false;
  return e.armedBy.empty() || (!g_Settings.InstallationMark.empty() && e.armedBy == g_Settings.InstallationMark);
}

bool AwaitsQuestion(const CCalEvent& e) { return !e.actionsDeclined && !actionproof::Proven(e); }

void StampArmedHere(CCalEvent* e) {
  if (!e->armRequested) return;
  e->armRequested = 0;
  if (actionproof::NeedsProof(*e)) actionproof::Prove(e);
}

bool PublishProven(const CCalendarFile& c) {
  if (!c.published || !c.publishAfterSave) return true;
  const std::string proof = actionproof::PublishProofOf(c.relCalId, c.address);
  return !proof.empty() && proof == c.publishProof;
}

bool PublishAwaitsQuestion(const CCalendarFile& c) { return !c.publishDeclined && !PublishProven(c); }

void ProvePublish(CCalendarFile* c) {
  c->publishProof = actionproof::PublishProofOf(c->relCalId, c->address);
  c->publishDeclined = 0;
}

std::string ArmQuestion(const CCalendarFile& calendar, const std::vector<const CCalEvent*>& events,
                        const std::string& publishAddress) {
  std::string text = "The calendar \"" + calendar.name + "\" (" + calendar.path +
                     ") comes from another computer, or its actions were changed outside this one. "
                     "They would act here:\r\n\r\n";
  for (const CCalEvent* e : events) {
    if (actionproof::RunNeedsProof(*e)) {
      std::string program = ResolveInheritedText(e->runFile, g_Settings.RunFilename);
      const std::string parameters = ResolveInheritedText(e->runParameters, g_Settings.RunParms);
      if (!parameters.empty()) program += " " + parameters;
      text += "\"" + e->name + "\" runs: " + program + "\r\n";
    }
    if (actionproof::MailNeedsProof(*e))
      text += "\"" + e->name + "\" sends e-mail to: " + ResolveInheritedText(e->emailTo, g_Settings.EmailTo) + "\r\n";
  }
  if (!publishAddress.empty()) text += "Each save publishes the calendar's events to: " + publishAddress + "\r\n";
  text += "\r\nThese actions are switched off. Switch them on for this computer?";
  return text;
}

}  // namespace actionguard
