// A calendar in memory as the import's target, prompts that answer from a
// script, and the settings the converter reads, set to their defaults.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/process.h"
#include "storage/ical/ical_converter.h"
#include "tests/support/fixed_clock.h"

namespace icaltest {

class FakeTarget : public IICalTarget {
 public:
  ICalCalendarHeader header;
  std::vector<std::unique_ptr<CCalEvent>> events;
  int updates = 0;
  bool failAdds = false;

  ICalCalendarHeader& Header() override { return header; }
  CCalEvent* FindEventByUid(const std::string& uid) override {
    for (auto& e : events)
      if (e->uid == uid) return e.get();
    return nullptr;
  }
  bool AddEvent(std::unique_ptr<CCalEvent> event) override {
    if (failAdds) return false;
    events.push_back(std::move(event));
    return true;
  }
  bool failUpdates = false;
  bool UpdateEvent(CCalEvent&) override {
    ++updates;
    return !failUpdates;
  }
  std::vector<const CCalEvent*> List() const {
    std::vector<const CCalEvent*> out;
    for (auto& e : events) out.push_back(e.get());
    return out;
  }
};

class ScriptedPrompts : public IICalPrompts {
 public:
  int skipAnswer = kSkipEvent;
  bool yes = true;
  std::vector<std::string> asked;
  int AskSkipOrCancel(const std::string& m) override {
    asked.push_back(m);
    return skipAnswer;
  }
  bool AskYesNo(const std::string& m) override {
    asked.push_back(m);
    return yes;
  }
  void ShowMessage(const std::string& m) override { asked.push_back(m); }
};

// The alarm and event settings at their shipped defaults, on a fixed day
// (15 March 2024).
inline void UseDefaultSettings() {
  static testsupport::FixedClock clock(testsupport::Civil(2024, 3, 15, 12));
  CProgramSettings& s = g_Settings;
  s.AlarmLength = 5;
  s.AlarmRepeatLength = 20;
  s.AlarmSoundEnabled = 1;
  s.AlarmSoundFile = "whip.wav";
  s.AutoAcknowledge = 0;
  s.AlarmEmailEnabled = 0;
  s.AlarmRunEnabled = 0;
  s.EmailTo = "";
  s.EmailSubject = "Alarm : <name>";
  s.EmailBody = "";
  s.RunFilename = "";
  s.RunParms = "";
  s.DefaultNotifyType = 0;
  s.DefaultEventTime = 9 * 3600;
  s.alarm_enabled = 1;
  s.LeadTimeOneTime = 15;
  s.LeadUnitsOneTime = "Minutes";
  s.EventTypeNames = {"Birthday", "Holiday"};
}

// A VCALENDAR of another producer around the given VEVENT lines.
inline std::string Calendar(const std::string& body, const std::string& prodId = "-//Example Corp//Cal 1.0//EN") {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:" + prodId + "\r\n" + body + "END:VCALENDAR\r\n";
}

inline std::string Event(const std::string& lines) {
  return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}

// What another reader makes of an export: the text is saved as `name`.ics
// in the test's folder, and the python3 script reads it (argv[1]) and writes
// its answer (argv[2]). "python3 failed" when the script does not end well.
inline std::string ReadByPython(const std::string& ics, const char* script, const std::string& name) {
  // The same test runs side by side in other zones: each its own files.
  std::string zone = std::getenv("TZ") ? std::getenv("TZ") : "";
  for (char& c : zone) c = (c == '/' ? '_' : c);
  const std::string base = testing::TempDir() + "/" + name + "_" + zone;
  const std::string in = base + ".ics", out = base + ".txt";
  std::ofstream(in, std::ios::binary) << ics;
  if (platform::WaitChildProcess(platform::StartChildProcess("/usr/bin/python3", {"-c", script, in, out}, {})) != 0)
    return "python3 failed";
  std::ifstream file(out);
  std::stringstream read;
  read << file.rdbuf();
  return read.str();
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace icaltest
