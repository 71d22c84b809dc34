#include "dialogs/core/rule_criteria.h"

#include <algorithm>
#include <cstdio>

namespace dialogcore {

const char* OrdinalText(int i) {
  static const char* const kTexts[] = {"Every", "1st", "2nd", "3rd", "4th", "5th", "Last"};
  return i >= 0 && i <= 6 ? kTexts[i] : "";
}

int WeekDayItemData(int weekdayIndex, int ordinalIndex) { return weekdayIndex << 16 | ordinalIndex; }

bool WeekDayItemFromRule(int weekday, int ordinal, int* data) {
  if (weekday < 1 || weekday > 7) return false;
  int ordinalIndex;
  if (ordinal == -1)
    ordinalIndex = 6;
  else if (ordinal >= 0 && ordinal <= 5)
    ordinalIndex = ordinal;
  else
    return false;
  *data = WeekDayItemData(weekday == 7 ? 0 : weekday, ordinalIndex);
  return true;
}

void RuleDayFromItem(int data, int16_t* weekday, int16_t* ordinal) {
  const int w = data >> 16, o = data & 0xFFFF;
  *weekday = static_cast<int16_t>(w == 0 ? 7 : w);
  *ordinal = static_cast<int16_t>(o == 6 ? -1 : o);
}

std::string WeekDayItemText(int data, const std::vector<std::string>& dayNames) {
  const size_t w = static_cast<size_t>(data >> 16);
  return std::string(OrdinalText(data & 0xFFFF)) + " " + (w < dayNames.size() ? dayNames[w] : std::string());
}

std::string PositionText(int position) {
  if (position == -1) return "Last";
  char text[32];
  if (position < 0)
    std::snprintf(text, sizeof text, "%d From Last", -position);
  else
    std::snprintf(text, sizeof text, "%d", position);
  return text;
}

std::string WeekDayList::Add(const std::string& text, int data) {
  const int day = data >> 16;
  size_t at = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    if ((items[i].data >> 16) == day && (items[i].data & 0xFFFF) == 0)
      return items[i].text + " Is Already in The List.\n\n" + text + " not added.";
    if (items[i].data == data) return std::string();
    if (at == items.size() && items[i].data > data) at = i;
  }
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), WeekDayItem{text, data});
  if ((data & 0xFFFF) == 0) {
    for (size_t i = at + 1; i < items.size();) {
      if ((items[i].data >> 16) == day)
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
      else
        ++i;
    }
  }
  selected = static_cast<int>(at);
  return std::string();
}

std::vector<std::string> WeekDayList::MergeFull(const std::vector<std::string>& dayNames) {
  std::vector<std::string> notices;
  for (int day = 0; day < 7; ++day) {
    bool have[7] = {};
    for (const WeekDayItem& it : items)
      if ((it.data >> 16) == day) have[it.data & 0xFFFF] = true;
    if (!(have[1] && have[2] && have[3] && have[4] && have[5])) continue;
    const std::string name = static_cast<size_t>(day) < dayNames.size() ? dayNames[static_cast<size_t>(day)] : "";
    notices.push_back("Every " + name + " is now in the list.\n\nReplacing with 'Every " + name + "'.");
    items.erase(std::remove_if(items.begin(), items.end(), [day](const WeekDayItem& it) { return (it.data >> 16) == day; }),
                items.end());
    Add(WeekDayItemText(WeekDayItemData(day, 0), dayNames), WeekDayItemData(day, 0));
  }
  return notices;
}

void WeekDayList::Delete(int index) {
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return;
  items.erase(items.begin() + index);
  if (items.empty())
    selected = -1;
  else
    selected = std::min(index, static_cast<int>(items.size()) - 1);
}

bool IsMonthlyOrYearly(const CRecurrenceRule& rule) {
  return rule.frequency == CRecurrenceRule::kMonthly || rule.frequency == CRecurrenceRule::kYearly;
}

void ReadRuleCriteria(const CRecurrenceRule& rule, const std::vector<std::string>& dayNames,
                      const CDateTime& proposedUntil, RuleCriteriaView& v) {
  v = RuleCriteriaView();
  v.until = proposedUntil;
  if (rule.IsUntilSet()) {
    v.repeatMode = 2;
    v.until = rule.until;
  } else if (rule.count != 0) {
    v.repeatMode = 1;
    v.repeatCount = rule.count;
  }
  if (rule.frequency == CRecurrenceRule::kEaster) return;
  const size_t pairs = std::min(rule.byDayWeekdays.size(), rule.byDayOrdinals.size());
  if (IsMonthlyOrYearly(rule)) {
    for (size_t i = 0; i < pairs; ++i) {
      int data = 0;
      if (WeekDayItemFromRule(rule.byDayWeekdays[i], rule.byDayOrdinals[i], &data))
        v.weekDays.Add(WeekDayItemText(data, dayNames), data);
      else
        v.hiddenByDay.emplace_back(rule.byDayWeekdays[i], rule.byDayOrdinals[i]);
    }
    v.weekDays.MergeFull(dayNames);
    v.weekDays.selected = -1;
    if (rule.byMonthDay.empty()) std::fill(std::begin(v.cells.monthDays), std::end(v.cells.monthDays), true);
    for (int16_t d : rule.byMonthDay) {
      if (d == -1)
        v.cells.monthDays[31] = true;
      else if (d >= 1 && d <= 31)
        v.cells.monthDays[d - 1] = true;
      else
        v.hiddenMonthDays.push_back(d);
    }
    v.positions.assign(rule.bySetPos.begin(), rule.bySetPos.end());
  } else {
    if (rule.byDayWeekdays.empty()) std::fill(std::begin(v.cells.weekDays), std::end(v.cells.weekDays), true);
    for (size_t i = 0; i < rule.byDayWeekdays.size(); ++i) {
      const int w = rule.byDayWeekdays[i];
      if (w >= 1 && w <= 7)
        v.cells.weekDays[w == 7 ? 0 : w] = true;
      else
        v.hiddenByDay.emplace_back(rule.byDayWeekdays[i], i < rule.byDayOrdinals.size() ? rule.byDayOrdinals[i] : 0);
    }
  }
  for (int16_t m : rule.byMonth) {
    if (m >= 1 && m <= 12)
      v.cells.months[m - 1] = true;
    else
      v.hiddenMonths.push_back(m);
  }
}

void WriteRuleCriteria(const RuleCriteriaView& v, CRecurrenceRule& rule) {
  rule.count = v.repeatMode == 1 ? v.repeatCount : 0;
  if (v.repeatMode == 2)
    rule.until = v.until;
  else
    rule.until = CDateTime();
  rule.byMonthAutoFilled = 0;
  rule.byDayAutoFilled = 0;
  if (rule.frequency == CRecurrenceRule::kEaster) return;
  rule.byDayWeekdays.clear();
  rule.byDayOrdinals.clear();
  if (IsMonthlyOrYearly(rule)) {
    for (const WeekDayItem& it : v.weekDays.items) {
      int16_t w, o;
      RuleDayFromItem(it.data, &w, &o);
      rule.AddByDayOrdinal(w, o);
    }
    rule.byMonthDay.clear();
    const bool all = std::all_of(std::begin(v.cells.monthDays), std::end(v.cells.monthDays), [](bool b) { return b; });
    if (!all) {
      // Read row by row across the three blocks: 1, 13, 25, 2, 14, 26, ...
      for (int row = 0; row < 12; ++row) {
        for (int block = 0; block < 3; ++block) {
          const int day = block * 12 + row + 1;
          if (day <= 31 && v.cells.monthDays[day - 1]) rule.byMonthDay.push_back(static_cast<int16_t>(day));
          if (block == 2 && row == 7 && v.cells.monthDays[31]) rule.byMonthDay.push_back(-1);
        }
      }
      rule.byMonthDay.insert(rule.byMonthDay.end(), v.hiddenMonthDays.begin(), v.hiddenMonthDays.end());
    }
    std::vector<int16_t> pos;
    for (int p : v.positions) {
      if (p == 0) continue;
      auto it = std::lower_bound(pos.begin(), pos.end(), static_cast<int16_t>(p));
      if (it == pos.end() || *it != p) pos.insert(it, static_cast<int16_t>(p));
    }
    rule.bySetPos = pos;
  } else {
    for (int row = 0; row < 7; ++row)
      if (v.cells.weekDays[row]) rule.AddByDayOrdinal(row == 0 ? 7 : row, 0);
  }
  for (const auto& p : v.hiddenByDay) rule.AddByDayOrdinal(p.first, p.second);
  rule.byMonth.clear();
  const bool allMonths = std::all_of(std::begin(v.cells.months), std::end(v.cells.months), [](bool b) { return b; });
  if (!allMonths) {
    for (int m = 0; m < 12; ++m)
      if (v.cells.months[m]) rule.byMonth.push_back(static_cast<int16_t>(m + 1));
    rule.byMonth.insert(rule.byMonth.end(), v.hiddenMonths.begin(), v.hiddenMonths.end());
  }
}

}  // namespace dialogcore
