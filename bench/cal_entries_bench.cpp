// The calendar entries editor's batches over a calendar of N events (10,000
// by default) through the storage core: OK with 500 ticks changed, OK with
// every tick changed, and a type reset of every event. Prints each batch's
// time and events saved per second, to set beside isam_calendar_bench's
// read + rewrite rate (each editor save reads the changes of others, then
// rewrites one record).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_calendar.h"
#include "dialogs/core/cal_edit_model.h"
#include "model/settings/program_settings.h"
#include "storage/almacora_doc.h"

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
  benchcal::Scratch scratch("almacora_cal_entries_bench", "cal_entries_bench");
  if (!scratch.ok()) return 1;
  const std::string path = scratch.Path("bench.akv");
  if (!benchcal::WriteCalendar(path, count, [](CCalEvent& e, int) { e.oneTime = 1; })) return 1;
  g_Settings.DataFilePaths = {path};
  g_Settings.DataFileEnabled = {1};
  Run();
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
