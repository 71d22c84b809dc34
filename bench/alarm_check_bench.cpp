// The periodic alarm check over 10,000 mixed events of which none is due
// (one-time events ahead, daily, weekly, monthly and yearly series, some
// with their alarm off, some with an overridden occurrence):
//   1. the direct walk (CCalEvent::IsAlarmDue on every event);
//   2. the scanner's first check after a change (it walks every event and
//      remembers when each can fall due);
//   3. the scanner's following checks (what runs every few seconds).
// Prints milliseconds per check, each the median of its runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "alarms/core/alarm_scan.h"
#include "model/events/cal_event.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::vector<std::unique_ptr<CCalEvent>> MakeEvents(const CDateTime& now) {
  static const int16_t kFrequencies[] = {CRecurrenceRule::kDaily, CRecurrenceRule::kWeekly,
                                         CRecurrenceRule::kMonthly, CRecurrenceRule::kYearly};
  std::vector<std::unique_ptr<CCalEvent>> events;
  CDateTime tomorrow = now;
  tomorrow.AddDays(1);
  tomorrow.SetTime(0, 0, 0);
  for (int i = 0; i < 10000; ++i) {
    auto e = std::make_unique<CCalEvent>();
    e->alarmOn = i % 7 == 0 ? 0 : 1;
    e->SetLeadTime(15, "Minutes");
    const int kind = i % 5;
    if (kind == 4) {
      e->oneTime = 1;
      e->start = tomorrow;
      e->start.AddDays(i % 300);
      e->start.SetTime(9 + i % 8, 0, 0);
      e->end = e->nextOccurrence = e->start;
    } else {
      e->oneTime = 0;
      e->start = CDateTime(1 + i % 28, 1 + i % 12, 2015);
      e->start.SetTime(9 + i % 8, 30, 0);
      e->end = e->start;
      e->recurrence.GetRule()->frequency = kFrequencies[kind];
      CDateTime next = tomorrow;
      e->GetNextOccurrenceFrom(next, true);
      if (i % 11 == 0) {
        // An occurrence a week ahead with its own alarm.
        CDateTime later = e->StepPastOccurrence(e->nextOccurrence);
        if (e->GetNextOccurrenceFrom(later, false) == CCalEvent::kFound) {
          COccurrenceOverride& o = e->occurrenceOverrides[later];
          o.mask = COccurrenceOverride::kAlarm;
          o.alarmOn = 1;
          o.leadTime = CDuration::Minutes(30);
        }
      }
    }
    events.push_back(std::move(e));
  }
  return events;
}

}  // namespace

int main() {
  const CDateTime now = CDateTime::NowLocal();
  auto owned = MakeEvents(now);
  std::vector<CCalEvent*> events;
  for (auto& e : owned) events.push_back(e.get());

  std::vector<double> direct, first, following;
  int due = 0;
  for (int run = 0; run < 5; ++run) {
    auto t0 = Clock::now();
    for (CCalEvent* e : events) due += e->IsAlarmDue(now) ? 1 : 0;
    direct.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  alarmcore::CAlarmScanner scanner;
  for (int run = 0; run < 5; ++run) {
    scanner.Invalidate();
    auto t0 = Clock::now();
    due += static_cast<int>(scanner.FindDue(events, now, nullptr).size());
    first.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  CDateTime later = now;
  for (int run = 0; run < 101; ++run) {
    later.AddTime(0, 0, 3);
    auto t0 = Clock::now();
    due += static_cast<int>(scanner.FindDue(events, later, nullptr).size());
    following.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::printf("alarm check, 10,000 events, none due (%d found)\n", due);
  std::printf("  direct walk              %8.3f ms\n", Median(direct));
  std::printf("  first check after change %8.3f ms\n", Median(first));
  std::printf("  following checks         %8.3f ms\n", Median(following));
  return due == 0 ? 0 : 1;
}
