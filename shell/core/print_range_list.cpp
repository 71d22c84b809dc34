#include "shell/core/print_range_list.h"

#include <algorithm>
#include <utility>

#include "model/events/cal_event.h"

namespace printcore {

std::vector<COccurrenceRef> BuildRangeList(const std::vector<CCalEvent*>& events,
                                           bool (*typeHidden)(const std::string&, void*), void* context,
                                           const CDateTime& from, const CDateTime& toDay, bool printAcknowledged) {
  CDateTime to = toDay;
  to.SetSecondsOfDay(23 * 3600 + 59 * 60 + 59);
  // (date, order found) pairs; sorted once at the end.
  std::vector<std::pair<COccurrenceRef, size_t>> found;
  if (to < from) return {};
  for (CCalEvent* event : events) {
    if (!event || event->disabled || event->deleted) continue;
    if (typeHidden && typeHidden(event->type, context)) continue;
    CDateTime search = from;
    int16_t result = CCalEvent::kNone;
    if (event->start < from) {
      result = event->GetNextOccurrenceFrom(search, false);
    } else if (event->hasNext) {
      search = event->start;
      result = event->GetNextOccurrenceFrom(search, false);
    }
    while (result == CCalEvent::kFound && !(to < search) && !(search < from)) {
      if (printAcknowledged || !event->IsOccurrenceAcknowledged(search))
        found.emplace_back(COccurrenceRef(event, search), found.size());
      if (event->oneTime) break;
      const CDateTime before = search;
      search = event->StepPastOccurrence(before);
      result = event->GetNextOccurrenceFrom(search, false);
      if (result == CCalEvent::kFound && !(before < search)) break;  // a series that does not move on
    }
  }
  // Ascending date and time; of equal times the later found first.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    if (a.first.date < b.first.date) return true;
    if (b.first.date < a.first.date) return false;
    return a.second > b.second;
  });
  std::vector<COccurrenceRef> list;
  list.reserve(found.size());
  for (auto& entry : found) list.push_back(std::move(entry.first));
  return list;
}

}  // namespace printcore
