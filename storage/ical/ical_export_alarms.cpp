// Export of the alarm actions of one occurrence as VALARM components.
#include <string>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "storage/ical/ical_export_parts.h"
#include "storage/ical/ical_library.h"

namespace icalx {

namespace {

struct AlarmParts {
  icaltriggertype trigger;
  int repeat = 0;
  int repeatSeconds = 0;  // 0: no REPEAT and DURATION
};

icalcomponent* NewAlarm(icalproperty_action action, const AlarmParts& parts) {
  icalcomponent* a = icalcomponent_new(ICAL_VALARM_COMPONENT);
  icalcomponent_add_property(a, icalproperty_new_action(action));
  icalproperty* trigger = icalproperty_new_trigger(parts.trigger);
  // The library never writes a VALUE that is the property's default, but
  // readers of alarms expect it here: given as a plain parameter it stays.
  icalparameter* value = icalparameter_new_iana("DURATION");
  icalparameter_set_iana_name(value, "VALUE");
  icalproperty_add_parameter(trigger, value);
  icalcomponent_add_property(a, trigger);
  return a;
}

// REPEAT and DURATION; left out when the repeat length is not positive
// (there is nothing to divide the sound length by).
void AddRepeat(icalcomponent* a, const AlarmParts& parts) {
  if (parts.repeatSeconds <= 0) return;
  icalcomponent_add_property(a, icalproperty_new_repeat(parts.repeat));
  icaldurationtype d = icaldurationtype_null_duration();
  d.seconds = static_cast<unsigned int>(parts.repeatSeconds);
  icalcomponent_add_property(a, icalproperty_new_duration(d));
}

void AddText(icalcomponent* a, icalproperty* (*make)(const char*), const std::string& ansi) {
  if (!ansi.empty()) icalcomponent_add_property(a, make(ToUtf8(ansi).c_str()));
}

// A file as a URI attachment: a TEXT one is escaped on writing and comes
// back with an error mark.
void AddAttach(icalcomponent* a, const std::string& ansiFile) {
  if (ansiFile.empty()) return;
  icalattach* attach = icalattach_new_from_url(ToUtf8(ansiFile).c_str());
  icalcomponent_add_property(a, icalproperty_new_attach(attach));
  icalattach_unref(attach);
}

}  // namespace

void AddAlarms(icalcomponent* v, const CCalEvent& e, bool on, const CDuration& lead) {
  if (!on) return;
  const CProgramSettings& s = g_Settings;
  AlarmParts parts;
  parts.trigger = icaltriggertype_from_int(0);
  parts.trigger.time = icaltime_null_time();
  parts.trigger.duration = ToIcalDuration(lead, true);
  parts.repeatSeconds = s.AlarmRepeatLength;
  if (parts.repeatSeconds > 0)
    parts.repeat = static_cast<int>(static_cast<long long>(ResolveInherited(e.soundLength, static_cast<int16_t>(s.AlarmLength))) * 60 /
                                    parts.repeatSeconds);
  if (parts.repeat < 0) parts.repeat = 0;

  if (ResolveInherited(e.soundOn, s.AlarmSoundEnabled)) {
    icalcomponent* a = NewAlarm(ICAL_ACTION_AUDIO, parts);
    AddRepeat(a, parts);
    AddAttach(a, ResolveInheritedText(e.alarmSoundFile, s.AlarmSoundFile));
    icalcomponent_add_component(v, a);
  }
  if (!ResolveInherited(e.autoAcknowledge, s.AutoAcknowledge)) {
    icalcomponent* a = NewAlarm(ICAL_ACTION_DISPLAY, parts);
    icalcomponent_add_property(a, icalproperty_new_description(ToUtf8(e.name).c_str()));
    AddRepeat(a, parts);
    icalcomponent_add_component(v, a);
  }
  if (ResolveInherited(e.emailOn, s.AlarmEmailEnabled)) {
    icalcomponent* a = NewAlarm(ICAL_ACTION_EMAIL, parts);
    const std::string to = ResolveInheritedText(e.emailTo, s.EmailTo);
    if (!to.empty()) icalcomponent_add_property(a, icalproperty_new_attendee(ToUtf8("mailto:" + to).c_str()));
    AddText(a, icalproperty_new_summary, ResolveInheritedText(e.emailSubject, s.EmailSubject));
    AddText(a, icalproperty_new_description, ResolveInheritedText(e.emailBody, s.EmailBody));
    icalcomponent_add_component(v, a);
  }
  if (ResolveInherited(e.runOn, s.AlarmRunEnabled)) {
    icalcomponent* a = NewAlarm(ICAL_ACTION_PROCEDURE, parts);
    AddText(a, icalproperty_new_description, ResolveInheritedText(e.runParameters, s.RunParms));
    AddAttach(a, ResolveInheritedText(e.runFile, s.RunFilename));
    icalcomponent_add_component(v, a);
  }
}

}  // namespace icalx
