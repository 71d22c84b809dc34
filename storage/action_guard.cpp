#include "storage/action_guard.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "platform/paths.h"
#include "platform/random_bytes.h"

namespace actionguard {
namespace {

constexpr size_t kListedLines = 12;

// Full and upper-case, so two spellings of one file compare equal.
std::string FileKey(const std::string& path) {
  std::string full = platform::FullPath(path);
  for (char& c : full) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return full;
}

bool Adopted(const std::string& path) {
  if (path.empty() || g_Settings.ArmedHereFiles.empty()) return false;
  const std::string key = "|" + FileKey(path) + "|";
  return ("|" + g_Settings.ArmedHereFiles + "|").find(key) != std::string::npos;
}

std::string MakeMark() {
  unsigned char bytes[16] = {};
  if (!platform::RandomBytes(bytes, sizeof bytes)) {
    // Without the system's generator the clock still tells installations
    // apart.
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(now >> (8 * (i % 8)) ^ i * 37);
  }
  std::string mark;
  char hex[3];
  for (unsigned char b : bytes) {
    std::snprintf(hex, sizeof hex, "%02x", b);
    mark += hex;
  }
  return mark;
}

}  // namespace

const std::string& InstallationMark() {
  if (g_Settings.InstallationMark.empty()) {
    g_Settings.InstallationMark = MakeMark();
    g_Settings.WriteString("InstallationMark", g_Settings.InstallationMark);
  }
  return g_Settings.InstallationMark;
}

void EstablishAtStart() {
  if (!g_Settings.InstallationMark.empty()) return;
  if (!g_Settings.SettingsCreated) {
    std::string files;
    for (const std::string& p : g_Settings.DataFilePaths) {
      if (p.empty()) continue;
      if (!files.empty()) files += "|";
      files += FileKey(platform::HasFolderPart(p) ? p : platform::ProgramFolder() + p);
    }
    g_Settings.ArmedHereFiles = files;
    g_Settings.WriteString("ArmedHereFiles", files);
  }
  InstallationMark();
}

// An action that follows the setting and names nothing of its own runs
// this installation's program or mails its address: the file adds nothing.
bool RunArmed(const CCalEvent& e) {
  if (e.runOn == kInheritSetting) return g_Settings.AlarmRunEnabled && (!e.runFile.empty() || !e.runParameters.empty());
  return e.runOn != 0;
}
bool EmailArmed(const CCalEvent& e) {
  if (e.emailOn == kInheritSetting) return g_Settings.AlarmEmailEnabled && !e.emailTo.empty();
  return e.emailOn != 0;
}

bool ArmedElsewhere(const CCalEvent& e, const std::string& path) {
  if (!RunArmed(e) && !EmailArmed(e)) return false;
  if (e.armedBy.empty()) return !Adopted(path);
  return e.armedBy != InstallationMark();
}

void StampArmedHere(CCalEvent* e) {
  if (RunArmed(*e) || EmailArmed(*e)) e->armedBy = InstallationMark();
}

HeldActions Hold(CCalEvent* e) {
  HeldActions h;
  h.uid = e->uid;
  h.name = e->name;
  h.runOn = e->runOn;
  h.emailOn = e->emailOn;
  if (RunArmed(*e)) {
    h.program = ResolveInheritedText(e->runFile, g_Settings.RunFilename);
    const std::string parameters = ResolveInheritedText(e->runParameters, g_Settings.RunParms);
    if (!parameters.empty()) h.program += " " + parameters;
    h.runHeld = true;
    e->runOn = 0;
  }
  if (EmailArmed(*e)) {
    h.mailTo = ResolveInheritedText(e->emailTo, g_Settings.EmailTo);
    h.emailHeld = true;
    e->emailOn = 0;
  }
  return h;
}

void Arm(CCalEvent* e, const HeldActions& held) {
  e->runOn = held.runOn;
  e->emailOn = held.emailOn;
  e->armedBy = InstallationMark();
}

std::string ArmQuestion(const std::vector<HeldActions>& held) {
  std::vector<std::string> lines;
  for (const HeldActions& h : held) {
    if (h.runHeld) lines.push_back("\"" + h.name + "\" runs: " + h.program);
    if (h.emailHeld) lines.push_back("\"" + h.name + "\" sends e-mail to: " + h.mailTo);
  }
  std::string text = "This calendar comes from another computer. Its alarms would run programs or send e-mail:\n\n";
  for (size_t i = 0; i < lines.size() && i < kListedLines; ++i) text += lines[i] + "\n";
  if (lines.size() > kListedLines) text += "... and " + std::to_string(lines.size() - kListedLines) + " more\n";
  text += "\nThese actions are switched off. Switch them on for this computer?";
  return text;
}

}  // namespace actionguard
