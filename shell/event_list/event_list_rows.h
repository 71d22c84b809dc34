// The rows of the event list: which events are listed, in which order, and
// the sort orders the Sort menu and a heading click choose. No window here.
//
// A row is the event at its next occurrence. Rows are sorted by a list of
// key columns, ascending; rows equal under every key stand in reverse
// array order (the later event first), the order the list has always
// shown when it inserted each new row before the first row not less than
// it.
#pragma once

#include <string>
#include <vector>

#include "model/events/event_text_fields.h"
#include "model/events/occurrence_ref.h"

class CAlmacoraDoc;
class CCalEvent;

namespace eventlist {

// The nine data columns of the list.
enum Column : int {
  kColumnAlarm = 0,
  kColumnName = 1,
  kColumnDay = 2,
  kColumnDate = 3,
  kColumnDaysLeft = 4,
  kColumnTime = 5,
  kColumnAge = 6,
  kColumnType = 7,
  kColumnNotes = 8,
  kColumnCount = 9
};

// The text a row shows in data column `column`; null for the two columns
// of marks (alarm, notes), which show pictures.
const std::string* ColumnText(const EventTextFields& fields, int column);

// The value compared for an event without a next occurrence (Date, Days
// Left) and the age of an event that counts none.
constexpr int kNoNextOccurrence = 2147483647;
constexpr int kNoAge = 20000;

// The sort values of one event, computed once per row.
struct SortValues {
  std::string name;
  int weekday = 0;   // 0 Sunday .. 6 Saturday
  int date = 0;      // year * 10000 + month * 100 + day, or kNoNextOccurrence
  int daysLeft = 0;  // or kNoNextOccurrence
  int timeOfDay = 0; // seconds of the start's day, local
  int age = kNoAge;
  std::string type;
};

SortValues SortValuesOf(const CCalEvent& event);

// -1, 0 or 1 comparing a with b under the key columns (the first that
// differs decides; columns without a key, 0 and 8, are skipped; at most
// seven keys count). Names and types compare byte-wise, case-sensitive.
int CompareRows(const SortValues& a, const SortValues& b, const std::vector<int>& keys);

// True for a column a heading click may sort by (1..7).
bool IsSortColumn(int column);

// The Sort menu's orders: key columns and mode number by command id; null
// for another id.
struct SortOrder {
  unsigned command;
  int mode;
  std::vector<int> keys;
};
const SortOrder* FindSortOrder(unsigned command);
// The order at start: Date, Time (mode 3).
const SortOrder& DefaultSortOrder();

// The rows of the document: every event the document marked listed,
// except hidden types and, unless showAcknowledged, acknowledged one-time
// events; sorted as above. Stable and O(n log n).
std::vector<COccurrenceRef> BuildRows(CAlmacoraDoc& doc, const std::vector<int>& keys, bool showAcknowledged);

}  // namespace eventlist
