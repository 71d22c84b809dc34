// The calendar entries editor's batches over a calendar of N events (10,000
// by default) through the storage core: OK with 500 ticks changed, OK with
// every tick changed, and a type reset of every event. Prints each batch's
// time and events saved per second, to set beside isam_calendar_bench's
// read + rewrite rate (each editor save reads the changes of others, then
// rewrites one record).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialogs/core/cal_edit_model.h"
#include "model/cal_event.h"
#include "model/program_settings.h"
#include "platform/profile_store.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/engine_session.h"
#include "storage/event_array.h"

namespace {

using Clock = std::chrono::steady_clock;

void Report(const char* what, int saved, Clock::time_point from) {
  const double s = std::chrono::duration<double>(Clock::now() - from).count();
  std::printf("%-28s %6d saved %8.3f s %10.0f events/s\n", what, saved, s, saved / (s > 0 ? s : 1e-9));
}

// The three batches over the calendar the settings list; the document is
// gone (the file closed) when it returns.
void Run();

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "almacora_cal_entries_bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  platform::ProfileStore profile(platform::ProfileStore::ScratchLocation("cal_entries_bench"));
  g_Settings.SetProfile(&profile);
  g_Settings.FirstRun35 = 0;
  g_Settings.FirstRun50 = 0;
  if (StartStorageEngine() != 0) {
    std::printf("engine start failed\n");
    return 1;
  }
  const std::string path = (dir / "bench.akv").string();
  {
    CCalendarFile file;
    if (!file.CreateFile(path)) return 1;
    CEventArray events;
    for (int i = 0; i < count; ++i) {
      auto* e = new CCalEvent();
      e->name = "Event " + std::to_string(i);
      e->notes = "Notes of event " + std::to_string(i);
      e->oneTime = 1;
      file.AddEvent(e, 0, &events);
    }
  }
  g_Settings.DataFilePaths = {path};
  g_Settings.DataFileEnabled = {1};
  Run();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return 0;
}

namespace {

void Run() {
  CAlmacoraDoc doc;
  doc.Start("");
  caledit::CCalEditModel model(&doc);
  model.SelectCalendar(doc.calendars().items()[0]->listId);
  std::printf("%zu events loaded\n", model.rows().size());

  for (size_t i = 0; i < 500 && i < model.rows().size(); ++i) model.SetChecked(i * (model.rows().size() / 500), 0);
  auto from = Clock::now();
  Report("OK, 500 changed", model.ApplyTicks().saved, from);
  model.Fill();
  for (size_t i = 0; i < model.rows().size(); ++i) model.SetChecked(i, model.rows()[i].checked ? 0 : 1);
  from = Clock::now();
  Report("OK, every tick changed", model.ApplyTicks().saved, from);
  from = Clock::now();
  Report("type reset of all", model.ResetTypes("Dentist").saved, from);
}

}  // namespace
