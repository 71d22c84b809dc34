// Building the event list's rows: 10,000 and 100,000 listed events in a
// document, sorted by each of the Sort menu's five orders; milliseconds
// per build and rows per second, and the growth beside n log n.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "model/events/cal_event.h"
#include "shell/event_list/event_list_rows.h"
#include "storage/almacora_doc.h"

namespace {

void Fill(CAlmacoraDoc& doc, int count, std::mt19937& rng) {
  std::uniform_int_distribution<int> days(0, 730), hour(0, 23), type(0, 5), letter('A', 'Z'), age(0, 90);
  const char* types[] = {"Alarm", "Anniversary", "Birthday", "Holiday", "Meeting", "Work"};
  for (int i = 0; i < count; ++i) {
    auto* e = new CCalEvent();
    for (int k = 0; k < 6; ++k) e->name += static_cast<char>(letter(rng));
    e->type = types[type(rng)];
    CDateTime d = CDateTime::Today();
    d.AddDays(days(rng));
    d.SetTime(hour(rng), 0, 0);
    e->start = e->end = e->nextOccurrence = d;
    e->oneTime = 1;
    e->shown = 1;
    e->daysLeft = d.GetJulianDay() - CDateTime::Today().GetJulianDay();
    e->weekdayNumber = d.GetWeekday() % 7;
    e->calculateAge = i % 3 == 0;
    e->age = age(rng);
    doc.events().Append(e);
  }
}

}  // namespace

int main() {
  const char* orders[] = {"Date / Time", "Type / Name", "Type / Date / Time", "Type / Age", "Name / Date / Time"};
  const unsigned commands[] = {32788, 32785, 32786, 32787, 32838};
  std::printf("%-20s %8s %10s %12s %10s\n", "order", "events", "ms/build", "rows/s", "vs n log n");
  for (int i = 0; i < 5; ++i) {
    double perSmall = 0;
    for (int count : {10000, 100000}) {
      std::mt19937 rng(42);
      CAlmacoraDoc doc;
      Fill(doc, count, rng);
      const auto& keys = eventlist::FindSortOrder(commands[i])->keys;
      const int runs = count == 10000 ? 20 : 3;
      size_t rows = 0;
      const auto t0 = std::chrono::steady_clock::now();
      for (int r = 0; r < runs; ++r) rows += eventlist::BuildRows(doc, keys, true).size();
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / runs;
      // Time per n log n, relative to the smaller list's.
      const double per = ms / (count * std::log2(static_cast<double>(count)));
      if (count == 10000) perSmall = per;
      std::printf("%-20s %8d %10.2f %12.0f %10.2f\n", orders[i], count, ms, rows / runs / (ms / 1000.0),
                  per / perSmall);
    }
  }
  return 0;
}
