#include "model/events/action_proof.h"

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "model/settings/settings_inherited.h"
#include "platform/keyed_check.h"
#include "platform/random_bytes.h"

namespace actionproof {
namespace {

// Each field as its length and bytes, so no two field lists give one text.
void Add(std::string* out, const std::string& field) {
  *out += std::to_string(field.size());
  *out += ':';
  *out += field;
}
void Add(std::string* out, int32_t value) { Add(out, std::to_string(value)); }

std::string Checked(const std::string& data) {
  const std::string& key = InstallationSecret();
  if (key.empty()) return std::string();
  const std::string value = platform::KeyedCheck(key, data);
  return value.empty() ? value : "p1:" + value;
}

}  // namespace

const std::string& InstallationSecret() {
  if (g_Settings.InstallationSecret.empty()) {
    unsigned char bytes[32];
    if (!platform::RandomBytes(bytes, sizeof bytes)) return g_Settings.InstallationSecret;
    static const char kHex[] = "0123456789abcdef";
    std::string key;
    for (unsigned char b : bytes) {
      key += kHex[b >> 4];
      key += kHex[b & 15];
    }
    g_Settings.InstallationSecret = key;
    g_Settings.WriteString("InstallationSecret", key);
  }
  return g_Settings.InstallationSecret;
}

bool RunNeedsProof(const CCalEvent& e) {
  if (e.runOn == kInheritSetting) return !e.runFile.empty() || !e.runParameters.empty();
  return e.runOn != 0;
}

bool MailNeedsProof(const CCalEvent& e) {
  if (e.emailOn == kInheritSetting) return !e.emailTo.empty() || !e.emailSubject.empty() || !e.emailBody.empty();
  return e.emailOn != 0;
}

bool NeedsProof(const CCalEvent& e) { return RunNeedsProof(e) || MailNeedsProof(e); }

std::string ProofOf(const CCalEvent& e) {
  std::string data = "actions";
  Add(&data, e.uid);
  Add(&data, e.runOn);
  Add(&data, e.runAtAlarm);
  Add(&data, e.runAtSnooze);
  Add(&data, e.runFile);
  Add(&data, e.runParameters);
  Add(&data, e.runWindowState);
  Add(&data, e.emailOn);
  Add(&data, e.emailTo);
  Add(&data, e.emailSubject);
  Add(&data, e.emailBody);
  Add(&data, e.alarmSoundFile);
  return Checked(data);
}

bool Proven(const CCalEvent& e) {
  if (!NeedsProof(e)) return true;
  if (e.armedBy.empty()) return false;
  const std::string proof = ProofOf(e);
  return !proof.empty() && proof == e.armedBy;
}

void Prove(CCalEvent* e) {
  const std::string proof = ProofOf(*e);
  if (!proof.empty()) e->armedBy = proof;
}

std::string PublishProofOf(const std::string& relCalId, const std::string& address) {
  std::string data = "publish";
  Add(&data, relCalId);
  Add(&data, address);
  return Checked(data);
}

}  // namespace actionproof
