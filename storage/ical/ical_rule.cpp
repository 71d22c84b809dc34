// CRecurrenceRule <-> icalrecurrencetype.
#include "storage/ical/ical_rule.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/recurrence/recurrence_rule.h"
#include "storage/ical/ical_library.h"

namespace icalx {

namespace {

using R = CRecurrenceRule;

struct FrequencyPair {
  int16_t ours;
  icalrecurrencetype_frequency theirs;
};
const FrequencyPair kFrequencies[] = {
    {R::kSecondly, ICAL_SECONDLY_RECURRENCE}, {R::kMinutely, ICAL_MINUTELY_RECURRENCE},
    {R::kHourly, ICAL_HOURLY_RECURRENCE},     {R::kDaily, ICAL_DAILY_RECURRENCE},
    {R::kWeekly, ICAL_WEEKLY_RECURRENCE},     {R::kMonthly, ICAL_MONTHLY_RECURRENCE},
    {R::kYearly, ICAL_YEARLY_RECURRENCE},
};

// Copies up to room-1 values and closes with the end marker; false when
// the list had to be cut.
bool Fill(const std::vector<int16_t>& values, short* array, size_t room) {
  const size_t n = std::min(values.size(), room - 1);
  for (size_t i = 0; i < n; ++i) array[i] = values[i];
  array[n] = ICAL_RECURRENCE_ARRAY_MAX;
  return n == values.size();
}

std::vector<int16_t> Read(const short* array, size_t room, int lo, int hi, bool zeroAllowed) {
  std::vector<int16_t> out;
  for (size_t i = 0; i < room && array[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    const int v = array[i];
    if (v < lo || v > hi || (v == 0 && !zeroAllowed)) continue;
    out.push_back(static_cast<int16_t>(v));
  }
  return out;
}

bool NamesEveryMonthDay(const std::vector<int16_t>& days) {
  for (int d = 1; d <= 31; ++d) {
    if (std::find(days.begin(), days.end(), d) == days.end()) return false;
  }
  return true;
}

}  // namespace

icalrecurrencetype_weekday ToIcalWeekday(int weekday) {
  if (weekday >= 1 && weekday <= 6) return static_cast<icalrecurrencetype_weekday>(weekday + 1);
  if (weekday == 7) return ICAL_SUNDAY_WEEKDAY;
  return ICAL_MONDAY_WEEKDAY;
}

int FromIcalWeekday(int weekday) {
  if (weekday == ICAL_SUNDAY_WEEKDAY) return 7;
  if (weekday >= ICAL_MONDAY_WEEKDAY && weekday <= ICAL_SATURDAY_WEEKDAY) return weekday - 1;
  return 1;
}

bool ToIcalRecurrence(const CRecurrenceRule& rule, bool allDay, icalrecurrencetype* out, bool* advanced) {
  icalrecurrencetype_clear(out);
  const FrequencyPair* pair = nullptr;
  for (const FrequencyPair& p : kFrequencies) {
    if (p.ours == rule.frequency) pair = &p;
  }
  if (!pair) return false;
  out->freq = pair->theirs;
  out->count = rule.count;
  out->interval = static_cast<short>(std::min(std::max(rule.interval, 1), 32767));
  if (rule.until.GetRawJulianDay() != 0) out->until = ToIcalTime(rule.until, allDay);
  out->week_start = ToIcalWeekday(rule.weekStart);

  std::vector<int16_t> days;
  for (size_t i = 0; i < rule.byDayWeekdays.size(); ++i) {
    const int ordinal = i < rule.byDayOrdinals.size() ? rule.byDayOrdinals[i] : 0;
    const int code = ToIcalWeekday(rule.byDayWeekdays[i]) + 8 * std::abs(ordinal);
    days.push_back(static_cast<int16_t>(ordinal < 0 ? -code : code));
  }
  bool whole = Fill(days, out->by_day, ICAL_BY_DAY_SIZE);
  std::vector<int16_t> monthDays = rule.byMonthDay;
  if (monthDays.size() >= ICAL_BY_MONTHDAY_SIZE && NamesEveryMonthDay(monthDays)) {
    monthDays.erase(std::remove_if(monthDays.begin(), monthDays.end(), [](int16_t d) { return d < 0; }),
                    monthDays.end());
  }
  whole = Fill(monthDays, out->by_month_day, ICAL_BY_MONTHDAY_SIZE) && whole;
  whole = Fill(rule.byYearDay, out->by_year_day, ICAL_BY_YEARDAY_SIZE) && whole;
  whole = Fill(rule.byWeekNo, out->by_week_no, ICAL_BY_WEEKNO_SIZE) && whole;
  whole = Fill(rule.byMonth, out->by_month, ICAL_BY_MONTH_SIZE) && whole;
  whole = Fill(rule.bySetPos, out->by_set_pos, ICAL_BY_SETPOS_SIZE) && whole;
  if (!whole || !rule.byYearDay.empty() || !rule.byWeekNo.empty() || !rule.bySetPos.empty()) *advanced = true;
  return true;
}

void FromIcalRecurrence(const icalrecurrencetype& r, CRecurrenceRule* rule) {
  for (const FrequencyPair& p : kFrequencies) {
    if (p.theirs == r.freq) rule->frequency = p.ours;
  }
  rule->interval = std::max<int>(r.interval, 1);
  rule->count = std::max(r.count, 0);
  rule->until = FromIcalTime(r.until);
  rule->weekStart = FromIcalWeekday(r.week_start);
  rule->byDayWeekdays.clear();
  rule->byDayOrdinals.clear();
  for (size_t i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    const int weekday = icalrecurrencetype_day_day_of_week(r.by_day[i]);
    const int ordinal = icalrecurrencetype_day_position(r.by_day[i]);
    if (weekday < ICAL_SUNDAY_WEEKDAY || weekday > ICAL_SATURDAY_WEEKDAY || ordinal < -53 || ordinal > 53) continue;
    rule->byDayWeekdays.push_back(static_cast<int16_t>(FromIcalWeekday(weekday)));
    rule->byDayOrdinals.push_back(static_cast<int16_t>(ordinal));
  }
  rule->byMonthDay = Read(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, -31, 31, false);
  rule->byYearDay = Read(r.by_year_day, ICAL_BY_YEARDAY_SIZE, -366, 366, false);
  rule->byWeekNo = Read(r.by_week_no, ICAL_BY_WEEKNO_SIZE, -53, 53, false);
  rule->byMonth = Read(r.by_month, ICAL_BY_MONTH_SIZE, 1, 12, false);
  rule->bySetPos = Read(r.by_set_pos, ICAL_BY_SETPOS_SIZE, -366, 366, false);
}

}  // namespace icalx
