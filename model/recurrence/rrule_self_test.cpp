// The built-in example rules. Each starts at 09:00:00 floating time on a
// cleared rule with interval 1 and week start Sunday unless the example
// sets them.
#include "model/recurrence/rrule_self_test.h"

#include <cstdio>
#include <initializer_list>

#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"

namespace {

using R = CRecurrenceRule;

enum : int { MO = 1, TU, WE, TH, FR, SA, SU };

struct Example {
  const char* title;
  int day, month, year;        // series start, 09:00:00
  int listDay, listMonth, listYear;  // listing begins here at 09:00:00 (0: at the start)
  void (*build)(R& r);
};

void Days(R& r, std::initializer_list<int> days) {
  for (int d : days) r.AddByDay(d);
}
template <class T>
void Fill(std::vector<int16_t>& list, std::initializer_list<T> values) {
  for (T v : values) list.push_back(static_cast<int16_t>(v));
}
CDateTime At(int day, int month, int year, int h, int m, int s) {
  CDateTime t(day, month, year, CDateTime::kFloating);
  t.SetTime(h, m, s);
  return t;
}

const Example kExamples[] = {
    {"1: Daily for 10 occurrences", 2, 9, 1997, 0, 0, 0,
     [](R& r) { r.frequency = R::kDaily; r.count = 10; }},
    {"2: Everyday in January, for 3 years:", 1, 1, 1998, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.until = At(31, 1, 2000, 9, 0, 0);
       Fill(r.byMonth, {1});
       Days(r, {SU, MO, TU, WE, TH, FR, SA});
     }},
    {"3: Weekly for 10 occurrences", 2, 9, 1997, 0, 0, 0,
     [](R& r) { r.frequency = R::kWeekly; r.count = 10; }},
    {"4: Weekly on Tuesday and Thursday until 10/7/97", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kWeekly;
       r.until = At(7, 10, 1997, 0, 0, 0);
       Days(r, {TU, TH});
     }},
    {"5: Every Other Week on Mo, We, Fr, but starting Tues 9/2/1997", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kWeekly;
       r.interval = 2;
       r.until = At(24, 12, 1997, 0, 0, 0);
       Days(r, {MO, WE, FR});
     }},
    {"6: First Friday of every month for ten occurrences", 5, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.count = 10;
       r.AddByDayOrdinal(FR, 1);
     }},
    {"7: First Friday of every month until 12/24/1997", 5, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.until = At(24, 12, 1997, 0, 0, 0);
       r.AddByDayOrdinal(FR, 1);
     }},
    {"8: Every other month on the 1st and last Sunday of the month for 10 occurr", 7, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.interval = 2;
       r.count = 10;
       r.AddByDayOrdinal(SU, 1);
       r.AddByDayOrdinal(SU, -1);
     }},
    {"9: Monthly on the third to the last day of the month forever", 28, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       Fill(r.byMonthDay, {-3});
     }},
    {"10: Monthly on MonthDays 2 and 15 for 10 occurrences", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.count = 10;
       Fill(r.byMonthDay, {2, 15});
     }},
    {"11: Monthly on the First & Last days of the month for 10 occurrences", 30, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.count = 10;
       Fill(r.byMonthDay, {1, -1});
     }},
    {"12: Every 18 months on the 10th thru 15th of the month for 10 occurr", 10, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.interval = 18;
       r.count = 10;
       Fill(r.byMonthDay, {10, 11, 12, 13, 14, 15});
     }},
    {"13: Every Tuesday, every other month: ", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.interval = 2;
       Days(r, {TU});
     }},
    {"14: Yearly in June and July for 10 occurrences", 10, 6, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.count = 10;
       Fill(r.byMonth, {6, 7});
     }},
    {"15: Every 3rd year on the 1st, 100th and 200th day for 10 occurrences", 1, 1, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.interval = 3;
       r.count = 10;
       Fill(r.byYearDay, {1, 100, 200});
     }},
    {"16: Every 20th Monday of the year", 19, 5, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.AddByDayOrdinal(MO, 20);
     }},
    {"17: Monday of Week No. 20", 12, 5, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       Fill(r.byWeekNo, {20});
       Days(r, {MO});
     }},
    {"18: Every Thursday, but only during summer months", 5, 6, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       Days(r, {TH});
       Fill(r.byMonth, {6, 7, 8});
     }},
    // The start itself is no Friday the 13th; the listing begins after it.
    {"19: Monthly on Friday the 13th", 2, 9, 1997, 3, 9, 1997,
     [](R& r) {
       r.frequency = R::kMonthly;
       Days(r, {FR});
       Fill(r.byMonthDay, {13});
     }},
    {"20: The first Saturday that follows the first Sunday of the month", 13, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       Days(r, {SA});
       Fill(r.byMonthDay, {7, 8, 9, 10, 11, 12, 13});
     }},
    {"21: Every four years, the first Tuesday after a Monday in November", 5, 11, 1996, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.interval = 4;
       Fill(r.byMonth, {11});
       Days(r, {TU});
       Fill(r.byMonthDay, {2, 3, 4, 5, 6, 7, 8});
     }},
    {"22: Every three Hours from 9AM to 5PM on a specific day", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kHourly;
       r.interval = 3;
       r.until = At(2, 9, 1997, 17, 0, 0);
     }},
    {"23: Every 15 Minutes for 6 occurrences", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMinutely;
       r.interval = 15;
       r.count = 6;
     }},
    {"24: Every hour and a half for 4 occurrences", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMinutely;
       r.interval = 90;
       r.count = 4;
     }},
    {"25: Every 20 minutes from 9AM to 4:40 PM every day", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMinutely;
       r.interval = 20;
       for (int h = 9; h <= 16; ++h) r.hours.InsertUnique(static_cast<uint16_t>(h));
     }},
    {"26: Every 20 Seconds", 2, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kSecondly;
       r.interval = 20;
     }},
    {"27: Every 3 months, on every Tuesdays & 3rd Monday forever.\n(not in iCalendar examples)", 2, 9, 1997,
     0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.interval = 3;
       Days(r, {TU});
       r.AddByDayOrdinal(MO, 3);
     }},
    // Listed twice: week start Monday, then week start Sunday.
    {"28: Very last example (with different wkst values)", 5, 8, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kWeekly;
       r.interval = 2;
       r.count = 4;
       r.weekStart = MO;
       Days(r, {TU, SU});
     }},
    {"29: Mardi Gras", 7, 3, 2000, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kEaster;
       r.offsetDays = -47;
     }},
    {"30: Day after 1st Monday in November (Election Day).", 7, 11, 2000, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       r.offsetDays = 1;
       Fill(r.byMonth, {11});
       r.AddByDayOrdinal(MO, 1);
     }},
    {"31: Last Weekday of the Month (uses BYSETPOS).", 31, 1, 2000, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       Days(r, {MO, TU, WE, TH, FR});
       Fill(r.bySetPos, {-1});
     }},
    {"32: Boxing Day (Dec 26th or Following Monday if Sat or Sun) (uses BYSETPOS).", 26, 12, 2000, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kMonthly;
       Fill(r.byMonth, {12});
       Fill(r.byMonthDay, {26, 27, 28});
       Days(r, {MO, TU, WE, TH, FR});
       Fill(r.bySetPos, {1});
     }},
    {"33: First and Last weekday of the year for 20 occurrences (uses BYSETPOS).", 3, 1, 2000, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kYearly;
       r.count = 20;
       Fill(r.byMonth, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
       Days(r, {MO, TU, WE, TH, FR});
       Fill(r.bySetPos, {1, -1});
     }},
    {"34: Weekly on Tuesday and Thursday until 10/7/97 (BYSETPOS = 1)", 11, 9, 1997, 0, 0, 0,
     [](R& r) {
       r.frequency = R::kWeekly;
       r.weekStart = TU;
       r.until = At(7, 10, 1997, 0, 0, 0);
       Days(r, {TU, TH});
       Fill(r.bySetPos, {1});
     }},
};
static_assert(sizeof(kExamples) / sizeof(kExamples[0]) == kRRuleSelfTestCases, "one entry per case");

constexpr int kMaxLines = 31;

void List(R& rule, CDateTime from, std::string* out) {
  for (int line = 0; line < kMaxLines; ++line) {
    if (rule.GetNextOccurrence(from) != R::kFound) return;
    int month, day, year;
    from.GetDate(&month, &day, &year);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %d/%02d/%d, %d:%02d:%02d\n", GetWeekdayName(from.GetWeekday()), month,
                  day, year, from.GetHour(), from.GetMinute(), from.GetSecond());
    *out += buf;
    from.AddTime(0, 0, 1);
  }
}

}  // namespace

std::string RunRRuleSelfTest(int caseNumber) {
  if (caseNumber < 1 || caseNumber > kRRuleSelfTestCases) return "";
  const Example& e = kExamples[caseNumber - 1];
  CDateTime start = At(e.day, e.month, e.year, 9, 0, 0);
  CDateTime from = e.listDay ? At(e.listDay, e.listMonth, e.listYear, 9, 0, 0) : start;
  R rule(&start);
  rule.Clear();
  rule.interval = 1;
  rule.weekStart = SU;
  e.build(rule);
  std::string out = std::string(e.title) + "\n";
  List(rule, from, &out);
  if (caseNumber == 28) {
    rule.weekStart = SU;
    List(rule, from, &out);
  }
  return out;
}
