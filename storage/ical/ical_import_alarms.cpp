// Import of VALARM components: which actions, the lead time, the sound
// length and file, and the e-mail texts. An e-mail action arrives switched
// off, and a sound file that is not on this computer is not taken (the
// import log says so).
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/local_path.h"
#include "storage/ical/ical_import_parts.h"
#include "storage/ical/ical_library.h"

namespace icalx {

namespace {

// Backslash escapes of a TEXT value as older copies wrote it.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char n = text[++i];
      out += (n == 'n' || n == 'N') ? '\n' : n;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Older copies wrote the file as ATTACH;VALUE=TEXT. The library refuses
// that VALUE, keeps the escaped text as an address and says so in an
// X-LIC-ERROR of the alarm.
bool HasTextAttachError(icalcomponent* alarm) { return HasLibraryError(alarm, "ATTACH: VALUE=TEXT"); }

// The file of an ATTACH: a URI attachment, or the TEXT value older copies
// wrote.
std::string AttachFile(icalproperty* p, bool textValue) {
  icalvalue* value = icalproperty_get_value(p);
  if (!value) return std::string();
  if (icalvalue_isa(value) == ICAL_ATTACH_VALUE) {
    icalattach* attach = icalvalue_get_attach(value);
    if (!attach || !icalattach_get_is_url(attach)) return std::string();
    const char* url = icalattach_get_url(attach);
    // The library keeps a TEXT attachment as written, escapes and all.
    return textValue && url ? FromUtf8(Unescape(url).c_str(), 4096) : FromUtf8(url, 4096);
  }
  return FromUtf8(PropertyText(p), 4096);
}

std::string WithoutMailto(const std::string& address) {
  if (address.size() >= 7) {
    std::string head = address.substr(0, 7);
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (head == "mailto:") return address.substr(7);
  }
  return address;
}

}  // namespace

namespace {

bool TriggerLead(icalproperty* p, const CDateTime& start, CDuration* lead) {
  const icaltriggertype trigger = icalproperty_get_trigger(p);
  // Absolute only when a time is set: "TRIGGER:PT0S" is a lead of 0.
  if (!icaltime_is_null_time(trigger.time)) {
    CDuration span;
    span.SetBetween(FromIcalTime(trigger.time), start);
    span.sign = 1;
    *lead = span;
    return true;
  }
  if (icaldurationtype_is_bad_duration(trigger.duration)) return false;
  // A relative trigger always means before the start, whatever its sign.
  *lead = FromIcalDuration(trigger.duration);
  return true;
}

}  // namespace

bool ReadTriggerLead(icalcomponent* a, const CDateTime& start, CDuration* lead) {
  icalproperty* p = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
  return p && TriggerLead(p, start, lead);
}

void ReadAlarms(icalcomponent* v, ReadEvent* read) {
  CCalEvent& e = *read->event;
  const CProgramSettings& s = g_Settings;
  for (icalcomponent* a = icalcomponent_get_first_component(v, ICAL_VALARM_COMPONENT); a;
       a = icalcomponent_get_next_component(v, ICAL_VALARM_COMPONENT)) {
    icalproperty* actionProperty = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
    if (!actionProperty) continue;
    const icalproperty_action action = icalproperty_get_action(actionProperty);
    if (action == ICAL_ACTION_AUDIO) {
      e.soundOn = ToInherited(1, s.AlarmSoundEnabled);
    } else if (action == ICAL_ACTION_DISPLAY) {
      e.autoAcknowledge = ToInherited(0, s.AutoAcknowledge);
    } else if (action == ICAL_ACTION_EMAIL) {
      // Off, not "as the setting": text from outside never sends mail by
      // itself, now or after the setting changes.
      e.emailOn = 0;
    } else {
      continue;
    }
    e.alarmOn = 1;
    read->alarms = true;
    const bool textAttach = HasTextAttachError(a);
    for (icalproperty* p = icalcomponent_get_first_property(a, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(a, ICAL_ANY_PROPERTY)) {
      switch (icalproperty_isa(p)) {
        case ICAL_TRIGGER_PROPERTY: {
          CDuration lead;
          if (TriggerLead(p, e.start, &lead)) e.leadTime = lead;
          break;
        }
        case ICAL_REPEAT_PROPERTY: {
          if (s.AlarmRepeatLength <= 0) break;
          const int64_t minutes = static_cast<int64_t>(std::max(icalproperty_get_repeat(p), 0)) * s.AlarmRepeatLength / 60;
          const int16_t length = static_cast<int16_t>(std::min<int64_t>(minutes, 32767));
          e.soundLength = ToInherited(length, static_cast<int16_t>(s.AlarmLength));
          break;
        }
        case ICAL_ATTACH_PROPERTY:
          if (action == ICAL_ACTION_AUDIO) {
            const std::string file = AttachFile(p, textAttach);
            if (platform::IsLocalPath(file)) e.alarmSoundFile = ToInheritedText(file, s.AlarmSoundFile);
            else read->refusedSound = platform::RefusedPathText("The alarm sound", file);
          }
          break;
        case ICAL_ATTENDEE_PROPERTY:
          if (action == ICAL_ACTION_EMAIL && e.emailTo.size() < kMaxOverrideText) {
            const std::string to = WithoutMailto(FromUtf8(PropertyText(p), kMaxOverrideText));
            if (!e.emailTo.empty()) e.emailTo += "; ";
            e.emailTo += to;
          }
          break;
        case ICAL_SUMMARY_PROPERTY:
          if (action == ICAL_ACTION_EMAIL)
            e.emailSubject = ToInheritedText(FromUtf8(PropertyText(p)), s.EmailSubject);
          break;
        case ICAL_DESCRIPTION_PROPERTY:
          if (action == ICAL_ACTION_EMAIL)
            e.emailBody = ToInheritedText(FromUtf8(PropertyText(p)), s.EmailBody);
          break;
        default: break;
      }
    }
  }
}

}  // namespace icalx
