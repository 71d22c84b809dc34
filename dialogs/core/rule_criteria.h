// What the "Advanced Recurring Options" dialog shows of a recurrence rule
// and how its controls write the rule back, without the windows.
//
// The week-day list (monthly and yearly rules) holds items whose data is
// weekday index << 16 | ordinal index: weekday index 0 Sunday .. 6 Saturday,
// ordinal index 0 "Every", 1..5 "1st".."5th", 6 "Last". The criteria grid
// is a set of check cells: seven week days (daily, weekly), 31 month days
// and "Last" (monthly, yearly), twelve months.
//
// Values an imported rule may hold that no control shows (a BYDAY ordinal
// like 20, a BYMONTHDAY like -2, a month 13) are left out of the controls
// and written back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"

namespace dialogcore {

// "Every", "1st" .. "5th", "Last".
const char* OrdinalText(int ordinalIndex);
int WeekDayItemData(int weekdayIndex, int ordinalIndex);
// A BYDAY pair (weekday 1 Monday..7 Sunday; ordinal 0, 1..5 or -1) as item
// data; false for a pair no item shows.
bool WeekDayItemFromRule(int weekday, int ordinal, int* data);
void RuleDayFromItem(int data, int16_t* weekday, int16_t* ordinal);
// "<ordinal> <day name>"; dayNames[0] is Sunday.
std::string WeekDayItemText(int data, const std::vector<std::string>& dayNames);
// "Last", "%d From Last" or "%d".
std::string PositionText(int position);

struct WeekDayItem {
  std::string text;
  int data = 0;
};

class WeekDayList {
 public:
  std::vector<WeekDayItem> items;  // ascending data
  int selected = -1;

  // Adds the item in data order and selects it. An "Every" item of the
  // same week day already listed refuses it with the notice "<that item> Is
  // Already in The List.\n\n<new item> not added." (returned); an equal item
  // refuses it silently. A new "Every" item removes the other items of its
  // week day.
  std::string Add(const std::string& text, int data);
  // Each week day listed with all of 1st..5th becomes "Every <day>"; the
  // notices name each replacement.
  std::vector<std::string> MergeFull(const std::vector<std::string>& dayNames);
  void Delete(int index);
};

struct CriteriaCells {
  bool weekDays[7] = {};    // 0 Sunday .. 6 Saturday
  bool monthDays[32] = {};  // 0..30 days 1..31, 31 "Last"
  bool months[12] = {};
};

struct RuleCriteriaView {
  int repeatMode = 0;  // 0 forever, 1 a count, 2 until
  int repeatCount = 2;
  CDateTime until;
  CriteriaCells cells;
  WeekDayList weekDays;
  std::vector<int> positions;  // list order
  // Kept for the write, never shown.
  std::vector<std::pair<int16_t, int16_t>> hiddenByDay;
  std::vector<int16_t> hiddenMonthDays;
  std::vector<int16_t> hiddenMonths;
};

bool IsMonthlyOrYearly(const CRecurrenceRule& rule);

// Reads the rule. `proposedUntil` is shown when the rule has no UNTIL.
void ReadRuleCriteria(const CRecurrenceRule& rule, const std::vector<std::string>& dayNames,
                      const CDateTime& proposedUntil, RuleCriteriaView& view);
// Writes COUNT and UNTIL, and (all but Easter rules) the BY lists the
// controls show; clears the rule's marks that its lists were defaults.
void WriteRuleCriteria(const RuleCriteriaView& view, CRecurrenceRule& rule);

}  // namespace dialogcore
