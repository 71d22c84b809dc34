// Shared by the benchmarks that time the storage over a calendar they write
// first: an empty scratch folder and settings profile, then the engine
// started and the calendar of N numbered events with notes written.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "bench/bench_scratch.h"
#include "model/events/cal_event.h"
#include "model/settings/program_settings.h"
#include "platform/profile_store.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

namespace benchcal {

// A scratch folder of this run's own (named from `folder`) and the settings
// pointed at the scratch profile `profile` (no first-run wizards); both go
// with it.
class Scratch {
 public:
  Scratch(const char* folder, const char* profile)
      : dir_(folder), profile_(platform::ProfileStore::ScratchLocation(profile)) {
    g_Settings.SetProfile(&profile_);
    g_Settings.FirstRun35 = 0;
    g_Settings.FirstRun50 = 0;
  }
  ~Scratch() {
    g_Settings.SetProfile(nullptr);
    profile_.Clear();
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  bool ok() const { return dir_.ok(); }
  std::string Path(const std::string& name) const { return dir_.Path(name); }

 private:
  ScratchDir dir_;
  platform::ProfileStore profile_;
};

// Starts the engine and writes a calendar at `path` of `count` events
// "Event <i>" with the notes "Notes of event <i>", each then given what
// `shape` sets. False, said on stdout, when a step failed.
inline bool WriteCalendar(const std::string& path, int count, const std::function<void(CCalEvent&, int)>& shape) {
  if (StartStorageEngine() != 0) {
    std::printf("engine start failed\n");
    return false;
  }
  CCalendarFile file;
  if (!file.CreateFile(path)) {
    std::printf("create failed\n");
    return false;
  }
  CEventArray events;
  for (int i = 0; i < count; ++i) {
    auto* e = new CCalEvent();
    e->name = "Event " + std::to_string(i);
    e->notes = "Notes of event " + std::to_string(i);
    shape(*e, i);
    if (!file.AddEvent(e, 0, &events)) {
      std::printf("add %d failed\n", i);
      return false;
    }
  }
  return true;
}

}  // namespace benchcal
