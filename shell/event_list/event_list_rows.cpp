#include "shell/event_list/event_list_rows.h"

#include <algorithm>
#include <cstring>

#include "model/events/cal_event.h"
#include "storage/almacora_doc.h"

namespace eventlist {

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareInts(int a, int b) { return a < b ? -1 : a > b ? 1 : 0; }

// Byte-wise, as the multibyte comparison of the list always was.
int CompareTexts(const std::string& a, const std::string& b) { return Sign(std::strcmp(a.c_str(), b.c_str())); }

const SortOrder kOrders[] = {
    {32788, 3, {kColumnDate, kColumnTime}},
    {32785, 4, {kColumnType, kColumnName}},
    {32786, 5, {kColumnType, kColumnDate, kColumnTime}},
    {32787, 6, {kColumnType, kColumnAge}},
    {32838, 7, {kColumnName, kColumnDate, kColumnTime}},
};

}  // namespace

const std::string* ColumnText(const EventTextFields& f, int column) {
  switch (column) {
    case kColumnName: return &f.name;
    case kColumnDay: return &f.dayName;
    case kColumnDate: return &f.startDate;
    case kColumnDaysLeft: return &f.daysLeft;
    case kColumnTime: return &f.startTime;
    case kColumnAge: return &f.age;
    case kColumnType: return &f.type;
    default: return nullptr;
  }
}

SortValues SortValuesOf(const CCalEvent& event) {
  SortValues v;
  v.name = event.name;
  v.type = event.type;
  v.weekday = event.weekdayNumber;
  if (event.hasNext) {
    const CDateTime& next = event.nextOccurrence;
    v.date = next.GetYear(CDateTime::kAsLocal) * 10000 + next.GetMonth(CDateTime::kAsLocal) * 100 +
             next.GetDay(CDateTime::kAsLocal);
    v.daysLeft = event.daysLeft;
  } else {
    v.date = kNoNextOccurrence;
    v.daysLeft = kNoNextOccurrence;
  }
  v.timeOfDay = event.start.GetSecondsOfDay(CDateTime::kAsLocal);
  v.age = event.calculateAge ? event.age : kNoAge;
  return v;
}

int CompareRows(const SortValues& a, const SortValues& b, const std::vector<int>& keys) {
  int used = 0;
  for (int key : keys) {
    if (key < 0 || used == 7) break;
    ++used;
    int c = 0;
    switch (key) {
      case kColumnName: c = CompareTexts(a.name, b.name); break;
      case kColumnDay: c = CompareInts(a.weekday, b.weekday); break;
      case kColumnDate: c = CompareInts(a.date, b.date); break;
      case kColumnDaysLeft: c = CompareInts(a.daysLeft, b.daysLeft); break;
      case kColumnTime: c = CompareInts(a.timeOfDay, b.timeOfDay); break;
      case kColumnAge: c = CompareInts(a.age, b.age); break;
      case kColumnType: c = CompareTexts(a.type, b.type); break;
      default: break;
    }
    if (c != 0) return c;
  }
  return 0;
}

bool IsSortColumn(int column) { return column > kColumnAlarm && column < kColumnNotes; }

const SortOrder* FindSortOrder(unsigned command) {
  for (const SortOrder& o : kOrders)
    if (o.command == command) return &o;
  return nullptr;
}

const SortOrder& DefaultSortOrder() { return kOrders[0]; }

std::vector<COccurrenceRef> BuildRows(CAlmacoraDoc& doc, const std::vector<int>& keys, bool showAcknowledged) {
  struct Entry {
    SortValues values;
    CCalEvent* event;
  };
  std::vector<Entry> entries;
  const std::vector<CCalEvent*>& events = doc.events().items();
  entries.reserve(events.size());
  // Walked backwards so that the stable sort leaves equal rows in reverse
  // array order.
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    CCalEvent* event = *it;
    if (event->oneTime && event->acknowledged && !showAcknowledged) continue;
    if (!event->shown) continue;
    if (doc.IsTypeHidden(event->type)) continue;
    entries.push_back({SortValuesOf(*event), event});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [&keys](const Entry& a, const Entry& b) { return CompareRows(a.values, b.values, keys) < 0; });
  std::vector<COccurrenceRef> rows;
  rows.reserve(entries.size());
  for (const Entry& e : entries) rows.emplace_back(e.event, e.event->nextOccurrence);
  return rows;
}

}  // namespace eventlist
