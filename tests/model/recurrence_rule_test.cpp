// The recurrence rule: the built-in examples, the classic rules stepped one
// second past each answer, limits (COUNT, UNTIL, the bounded search) and
// zone handling.
#include "model/recurrence/recurrence_rule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "model/recurrence/rrule_self_test.h"

namespace {

using R = CRecurrenceRule;
enum : int { MO = 1, TU, WE, TH, FR, SA, SU };

CDateTime At(int day, int month, int year, int h = 9, int mi = 0, int s = 0, int kind = CDateTime::kFloating) {
  CDateTime t(day, month, year, kind);
  t.SetTime(h, mi, s);
  return t;
}

std::string Text(const CDateTime& t) {
  int m, d, y;
  t.GetDate(&m, &d, &y);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%d/%02d/%d %d:%02d:%02d", m, d, y, t.GetHour(), t.GetMinute(), t.GetSecond());
  return buf;
}

// Lists up to `max` occurrences from `from`, asking one second past each
// answer; the result that ended the listing goes to *last.
std::vector<std::string> List(R& rule, CDateTime from, size_t max, int* last = nullptr) {
  std::vector<std::string> out;
  int r = R::kFound;
  while (out.size() < max) {
    r = rule.GetNextOccurrence(from);
    if (r != R::kFound) break;
    out.push_back(Text(from));
    from.AddTime(0, 0, 1);
  }
  if (last) *last = r;
  return out;
}

std::vector<std::string> Dates(const std::vector<std::string>& mdy, const char* time = "9:00:00") {
  std::vector<std::string> out;
  for (const auto& d : mdy) out.push_back(d + " " + time);
  return out;
}

// The self-test lines without the weekday name, as "M/DD/YYYY H:MM:SS".
std::vector<std::string> SelfTestLines(int n, std::string* title = nullptr) {
  std::istringstream in(RunRRuleSelfTest(n));
  std::string line;
  std::vector<std::string> out;
  std::getline(in, line);
  if (title) *title = line;
  while (std::getline(in, line)) {
    if (line.find(',') == std::string::npos) continue;  // second title line of case 27
    std::string rest = line.substr(line.find(' ') + 1);
    rest.erase(rest.find(','), 1);
    out.push_back(rest);
  }
  return out;
}

std::vector<std::string> Prefix(std::vector<std::string> v, size_t n) {
  if (v.size() > n) v.resize(n);
  return v;
}

// ---- Built-in examples --------------------------------------------------

TEST(RRuleSelfTest, FormatsTitleAndLines) {
  std::string text = RunRRuleSelfTest(1);
  EXPECT_EQ(text.rfind("1: Daily for 10 occurrences\nTuesday 9/02/1997, 9:00:00\nWednesday 9/03/1997, 9:00:00\n", 0),
            0u)
      << text;
  EXPECT_EQ(RunRRuleSelfTest(0), "");
  EXPECT_EQ(RunRRuleSelfTest(35), "");
  std::string title;
  SelfTestLines(27, &title);
  EXPECT_EQ(title, "27: Every 3 months, on every Tuesdays & 3rd Monday forever.");
  for (int n = 1; n <= kRRuleSelfTestCases; ++n) {
    std::string t = RunRRuleSelfTest(n);
    EXPECT_EQ(t.rfind(std::to_string(n) + ": ", 0), 0u) << n;
    // At most 31 occurrence lines.
    EXPECT_LE(SelfTestLines(n).size(), 31u) << n;
  }
}

TEST(RRuleSelfTest, WeeklyAndDailyExamples) {
  EXPECT_EQ(SelfTestLines(1), Dates({"9/02/1997", "9/03/1997", "9/04/1997", "9/05/1997", "9/06/1997", "9/07/1997",
                                     "9/08/1997", "9/09/1997", "9/10/1997", "9/11/1997"}));
  auto jan = SelfTestLines(2);
  ASSERT_EQ(jan.size(), 31u);
  EXPECT_EQ(jan.front(), "1/01/1998 9:00:00");
  EXPECT_EQ(jan.back(), "1/31/1998 9:00:00");
  EXPECT_EQ(SelfTestLines(3), Dates({"9/02/1997", "9/09/1997", "9/16/1997", "9/23/1997", "9/30/1997", "10/07/1997",
                                     "10/14/1997", "10/21/1997", "10/28/1997", "11/04/1997"}));
  EXPECT_EQ(SelfTestLines(4), Dates({"9/02/1997", "9/04/1997", "9/09/1997", "9/11/1997", "9/16/1997", "9/18/1997",
                                     "9/23/1997", "9/25/1997", "9/30/1997", "10/02/1997"}));
  EXPECT_EQ(SelfTestLines(5),
            Dates({"9/02/1997",  "9/03/1997",  "9/05/1997",  "9/15/1997",  "9/17/1997",  "9/19/1997",  "9/29/1997",
                   "10/01/1997", "10/03/1997", "10/13/1997", "10/15/1997", "10/17/1997", "10/27/1997", "10/29/1997",
                   "10/31/1997", "11/10/1997", "11/12/1997", "11/14/1997", "11/24/1997", "11/26/1997", "11/28/1997",
                   "12/08/1997", "12/10/1997", "12/12/1997", "12/22/1997"}));
  // Two runs: week start Monday, then Sunday.
  EXPECT_EQ(SelfTestLines(28), Dates({"8/05/1997", "8/10/1997", "8/19/1997", "8/24/1997", "8/05/1997", "8/17/1997",
                                      "8/19/1997", "8/31/1997"}));
  EXPECT_EQ(SelfTestLines(34), Dates({"9/11/1997", "9/16/1997", "9/23/1997", "9/30/1997"}));
}

TEST(RRuleSelfTest, MonthlyExamples) {
  EXPECT_EQ(SelfTestLines(6), Dates({"9/05/1997", "10/03/1997", "11/07/1997", "12/05/1997", "1/02/1998", "2/06/1998",
                                     "3/06/1998", "4/03/1998", "5/01/1998", "6/05/1998"}));
  EXPECT_EQ(SelfTestLines(7), Dates({"9/05/1997", "10/03/1997", "11/07/1997", "12/05/1997"}));
  EXPECT_EQ(SelfTestLines(8), Dates({"9/07/1997", "9/28/1997", "11/02/1997", "11/30/1997", "1/04/1998", "1/25/1998",
                                     "3/01/1998", "3/29/1998", "5/03/1998", "5/31/1998"}));
  EXPECT_EQ(Prefix(SelfTestLines(9), 6),
            Dates({"9/28/1997", "10/29/1997", "11/28/1997", "12/29/1997", "1/29/1998", "2/26/1998"}));
  EXPECT_EQ(SelfTestLines(10), Dates({"9/02/1997", "9/15/1997", "10/02/1997", "10/15/1997", "11/02/1997",
                                      "11/15/1997", "12/02/1997", "12/15/1997", "1/02/1998", "1/15/1998"}));
  EXPECT_EQ(SelfTestLines(11), Dates({"9/30/1997", "10/01/1997", "10/31/1997", "11/01/1997", "11/30/1997",
                                      "12/01/1997", "12/31/1997", "1/01/1998", "1/31/1998", "2/01/1998"}));
  EXPECT_EQ(SelfTestLines(12), Dates({"9/10/1997", "9/11/1997", "9/12/1997", "9/13/1997", "9/14/1997", "9/15/1997",
                                      "3/10/1999", "3/11/1999", "3/12/1999", "3/13/1999"}));
  EXPECT_EQ(Prefix(SelfTestLines(13), 14),
            Dates({"9/02/1997", "9/09/1997", "9/16/1997", "9/23/1997", "9/30/1997", "11/04/1997", "11/11/1997",
                   "11/18/1997", "11/25/1997", "1/06/1998", "1/13/1998", "1/20/1998", "1/27/1998", "3/03/1998"}));
  EXPECT_EQ(Prefix(SelfTestLines(19), 5),
            Dates({"2/13/1998", "3/13/1998", "11/13/1998", "8/13/1999", "10/13/2000"}));
  EXPECT_EQ(Prefix(SelfTestLines(20), 10), Dates({"9/13/1997", "10/11/1997", "11/08/1997", "12/13/1997", "1/10/1998",
                                                  "2/07/1998", "3/07/1998", "4/11/1998", "5/09/1998", "6/13/1998"}));
  EXPECT_EQ(Prefix(SelfTestLines(27), 12),
            Dates({"9/02/1997", "9/09/1997", "9/15/1997", "9/16/1997", "9/23/1997", "9/30/1997", "12/02/1997",
                   "12/09/1997", "12/15/1997", "12/16/1997", "12/23/1997", "12/30/1997"}));
  EXPECT_EQ(Prefix(SelfTestLines(30), 5),
            Dates({"11/07/2000", "11/06/2001", "11/05/2002", "11/04/2003", "11/02/2004"}));
  EXPECT_EQ(Prefix(SelfTestLines(31), 6),
            Dates({"1/31/2000", "2/29/2000", "3/31/2000", "4/28/2000", "5/31/2000", "6/30/2000"}));
}

TEST(RRuleSelfTest, YearlyExamples) {
  EXPECT_EQ(SelfTestLines(14), Dates({"6/10/1997", "7/10/1997", "6/10/1998", "7/10/1998", "6/10/1999", "7/10/1999",
                                      "6/10/2000", "7/10/2000", "6/10/2001", "7/10/2001"}));
  EXPECT_EQ(SelfTestLines(15), Dates({"1/01/1997", "4/10/1997", "7/19/1997", "1/01/2000", "4/09/2000", "7/18/2000",
                                      "1/01/2003", "4/10/2003", "7/19/2003", "1/01/2006"}));
  EXPECT_EQ(Prefix(SelfTestLines(16), 3), Dates({"5/19/1997", "5/18/1998", "5/17/1999"}));
  EXPECT_EQ(Prefix(SelfTestLines(17), 3), Dates({"5/12/1997", "5/11/1998", "5/17/1999"}));
  EXPECT_EQ(Prefix(SelfTestLines(18), 14),
            Dates({"6/05/1997", "6/12/1997", "6/19/1997", "6/26/1997", "7/03/1997", "7/10/1997", "7/17/1997",
                   "7/24/1997", "7/31/1997", "8/07/1997", "8/14/1997", "8/21/1997", "8/28/1997", "6/04/1998"}));
  EXPECT_EQ(Prefix(SelfTestLines(21), 3), Dates({"11/05/1996", "11/07/2000", "11/02/2004"}));
  EXPECT_EQ(Prefix(SelfTestLines(29), 6),
            Dates({"3/07/2000", "2/27/2001", "2/12/2002", "3/04/2003", "2/24/2004", "2/08/2005"}));
  EXPECT_EQ(SelfTestLines(33),
            Dates({"1/03/2000", "12/29/2000", "1/01/2001", "12/31/2001", "1/01/2002", "12/31/2002", "1/01/2003",
                   "12/31/2003", "1/01/2004", "12/31/2004", "1/03/2005", "12/30/2005", "1/02/2006", "12/29/2006",
                   "1/01/2007", "12/31/2007", "1/01/2008", "12/31/2008", "1/01/2009", "12/31/2009"}));
}

// A BYSETPOS period that selects nothing (January..November here) does not
// end the series: Boxing Day goes on year after year.
TEST(RRuleSelfTest, BoxingDayGoesOnAfterItsFirstYear) {
  auto lines = SelfTestLines(32);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(Prefix(lines, 11), Dates({"12/26/2000", "12/26/2001", "12/26/2002", "12/26/2003", "12/27/2004",
                                      "12/26/2005", "12/26/2006", "12/26/2007", "12/26/2008", "12/28/2009",
                                      "12/27/2010"}));
}

TEST(RRuleSelfTest, SubDailyExamples) {
  EXPECT_EQ(SelfTestLines(22), std::vector<std::string>({"9/02/1997 9:00:00", "9/02/1997 12:00:00", "9/02/1997 15:00:00"}));
  EXPECT_EQ(SelfTestLines(23), std::vector<std::string>({"9/02/1997 9:00:00", "9/02/1997 9:15:00", "9/02/1997 9:30:00",
                                                         "9/02/1997 9:45:00", "9/02/1997 10:00:00",
                                                         "9/02/1997 10:15:00"}));
  EXPECT_EQ(SelfTestLines(24), std::vector<std::string>({"9/02/1997 9:00:00", "9/02/1997 10:30:00",
                                                         "9/02/1997 12:00:00", "9/02/1997 13:30:00"}));
  auto every20 = SelfTestLines(25);
  ASSERT_EQ(every20.size(), 31u);
  EXPECT_EQ(every20[1], "9/02/1997 9:20:00");
  EXPECT_EQ(every20[23], "9/02/1997 16:40:00");
  EXPECT_EQ(every20[24], "9/03/1997 9:00:00");
  EXPECT_EQ(every20[30], "9/03/1997 11:00:00");
  auto seconds = SelfTestLines(26);
  ASSERT_EQ(seconds.size(), 31u);
  EXPECT_EQ(seconds[1], "9/02/1997 9:00:20");
  EXPECT_EQ(seconds[3], "9/02/1997 9:01:00");
}

// ---- Rules of the event model ---------------------------------------------

TEST(RRule, MonthlyThirdToLastDay) {
  CDateTime start = At(28, 9, 1997);
  R r(&start);
  r.frequency = R::kMonthly;
  r.byMonthDay = {-3};
  EXPECT_EQ(List(r, start, 6), Dates({"9/28/1997", "10/29/1997", "11/28/1997", "12/29/1997", "1/29/1998",
                                      "2/26/1998"}));
}

TEST(RRule, FirstFridayCountTenThenEnded) {
  CDateTime start = At(5, 9, 1997);
  R r(&start);
  r.frequency = R::kMonthly;
  r.count = 10;
  r.AddByDayOrdinal(FR, 1);
  int last = 0;
  EXPECT_EQ(List(r, start, 20, &last),
            Dates({"9/05/1997", "10/03/1997", "11/07/1997", "12/05/1997", "1/02/1998", "2/06/1998", "3/06/1998",
                   "4/03/1998", "5/01/1998", "6/05/1998"}));
  EXPECT_EQ(last, R::kEnded);
  // Between two occurrences: the later one; the cache answers again.
  CDateTime mid = At(1, 1, 1998);
  EXPECT_EQ(r.GetNextOccurrence(mid), R::kFound);
  EXPECT_EQ(Text(mid), "1/02/1998 9:00:00");
  CDateTime late = At(1, 1, 2020);
  EXPECT_EQ(r.GetNextOccurrence(late), R::kEnded);
  EXPECT_EQ(Text(late), "1/01/2020 9:00:00");  // left alone
}

TEST(RRule, WeeklyIntervalDependsOnWeekStart) {
  CDateTime start = At(5, 8, 1997);
  R r(&start);
  r.frequency = R::kWeekly;
  r.interval = 2;
  r.count = 4;
  r.AddByDay(TU);
  r.AddByDay(SU);
  r.weekStart = MO;
  EXPECT_EQ(List(r, start, 10), Dates({"8/05/1997", "8/10/1997", "8/19/1997", "8/24/1997"}));
  // Changing a stored field is seen by the next question (the COUNT cache
  // is rebuilt).
  r.weekStart = SU;
  EXPECT_EQ(List(r, start, 10), Dates({"8/05/1997", "8/17/1997", "8/19/1997", "8/31/1997"}));
}

TEST(RRule, LastWeekdayOfMonthBySetPos) {
  CDateTime start = At(31, 1, 2000);
  R r(&start);
  r.frequency = R::kMonthly;
  for (int d = MO; d <= FR; ++d) r.AddByDay(d);
  r.bySetPos = {-1};
  EXPECT_EQ(List(r, start, 4), Dates({"1/31/2000", "2/29/2000", "3/31/2000", "4/28/2000"}));
  // Asked far from the start, the period of the moment is expanded directly.
  CDateTime later = At(1, 6, 2040);
  EXPECT_EQ(r.GetNextOccurrence(later), R::kFound);
  EXPECT_EQ(Text(later), "6/29/2040 9:00:00");
}

TEST(RRule, YearlyFrom29FebruaryFallsOn28th) {
  CDateTime start = At(29, 2, 2000);
  R r(&start);
  r.frequency = R::kYearly;
  EXPECT_EQ(List(r, start, 5), Dates({"2/29/2000", "2/28/2001", "2/28/2002", "2/28/2003", "2/29/2004"}));
}

TEST(RRule, EasterWithOffsets) {
  CDateTime start = At(7, 3, 2000);
  R r(&start);
  r.frequency = R::kEaster;
  r.offsetDays = -47;
  EXPECT_EQ(List(r, start, 3), Dates({"3/07/2000", "2/27/2001", "2/12/2002"}));

  CDateTime friday = At(21, 4, 2000, 15);  // Good Friday 2000
  R good(&friday);
  good.frequency = R::kEaster;
  good.offsetDays = -2;
  EXPECT_EQ(List(good, friday, 3), Dates({"4/21/2000", "4/13/2001", "3/29/2002"}, "15:00:00"));

  CDateTime sunday = At(23, 4, 2000, 10, 30);
  R easter(&sunday);
  easter.frequency = R::kEaster;
  CDateTime far = At(1, 1, 2100);
  EXPECT_EQ(easter.GetNextOccurrence(far), R::kFound);
  EXPECT_EQ(Text(far), "3/28/2100 10:30:00");
}

// Week numbers are ISO week-years: a start in the last days of December may
// already be in week 1 of the next year.
TEST(RRule, WeekNumbersAreIsoWeekYears) {
  CDateTime start = At(29, 12, 2003);
  R r(&start);
  r.frequency = R::kYearly;
  r.byWeekNo = {20};
  r.AddByDay(MO);
  EXPECT_EQ(List(r, start, 3), Dates({"12/29/2003", "5/10/2004", "5/16/2005"}));

  CDateTime start2 = At(1, 1, 2005);
  R r2(&start2);
  r2.frequency = R::kYearly;
  r2.byWeekNo = {20};
  r2.AddByDay(MO);
  EXPECT_EQ(List(r2, start2, 2), Dates({"1/01/2005", "5/16/2005"}));

  // Week 1 of 2004 begins on 29 December 2003; week 53 of 2004 ends on
  // 2 January 2005.
  CDateTime start3 = At(1, 1, 2003);
  R r3(&start3);
  r3.frequency = R::kYearly;
  r3.byWeekNo = {1};
  r3.AddByDay(MO);
  EXPECT_EQ(List(r3, start3, 3), Dates({"1/01/2003", "12/29/2003", "1/03/2005"}));
  CDateTime start4 = At(1, 12, 2004);
  R r4(&start4);
  r4.frequency = R::kYearly;
  r4.byWeekNo = {-1};
  r4.AddByDay(SU);
  EXPECT_EQ(List(r4, start4, 2), Dates({"12/01/2004", "1/02/2005"}));

  // WKST does not move the weeks: they stay ISO weeks beginning on Monday.
  for (int wkst : {int(MO), int(SU), int(TH)}) {
    CDateTime start5 = At(1, 1, 2003);
    R r5(&start5);
    r5.frequency = R::kYearly;
    r5.weekStart = wkst;
    r5.byWeekNo = {1};
    r5.AddByDay(SU);
    EXPECT_EQ(List(r5, start5, 3), Dates({"1/01/2003", "1/05/2003", "1/04/2004"})) << "WKST " << wkst;
  }
}

TEST(RRule, MonthDay31SkipsShortMonths) {
  CDateTime start = At(31, 1, 2001);
  R r(&start);
  r.frequency = R::kMonthly;
  EXPECT_EQ(List(r, start, 4), Dates({"1/31/2001", "3/31/2001", "5/31/2001", "7/31/2001"}));
}

TEST(RRule, YearlyOrdinalWeekdays) {
  CDateTime start = At(19, 5, 1997);
  R r(&start);
  r.frequency = R::kYearly;
  r.AddByDayOrdinal(MO, 20);
  EXPECT_EQ(List(r, start, 2), Dates({"5/19/1997", "5/18/1998"}));
  // Within a month there is no 20th Monday: nothing after the start.
  r.byMonth = {3};
  int last = 0;
  EXPECT_EQ(List(r, start, 2, &last), Dates({"5/19/1997"}));
  EXPECT_EQ(last, R::kNone);
}

TEST(RRule, HourlyIntervalCrossesMidnight) {
  CDateTime start = At(2, 9, 1997, 14);
  R r(&start);
  r.frequency = R::kHourly;
  r.interval = 5;
  EXPECT_EQ(List(r, start, 4), std::vector<std::string>({"9/02/1997 14:00:00", "9/02/1997 19:00:00",
                                                         "9/03/1997 0:00:00", "9/03/1997 5:00:00"}));
}

TEST(RRule, StartAlwaysCountsAndOnlyOnce) {
  CDateTime start = At(3, 1, 2001);
  R r(&start);
  r.frequency = R::kMonthly;
  r.byMonthDay = {15};
  r.count = 3;
  int last = 0;
  EXPECT_EQ(List(r, At(1, 1, 1990), 10, &last), Dates({"1/03/2001", "1/15/2001", "2/15/2001"}));
  EXPECT_EQ(last, R::kEnded);

  // A start the rule selects as well is not counted twice.
  CDateTime daily = At(1, 3, 2001);
  R d(&daily);
  d.frequency = R::kDaily;
  d.count = 3;
  EXPECT_EQ(List(d, daily, 10), Dates({"3/01/2001", "3/02/2001", "3/03/2001"}));
}

TEST(RRule, UntilIsInclusiveAndEndsTheSeries) {
  CDateTime start = At(1, 3, 2001);
  R r(&start);
  r.frequency = R::kDaily;
  r.until = At(3, 3, 2001);
  int last = 0;
  EXPECT_EQ(List(r, start, 10, &last), Dates({"3/01/2001", "3/02/2001", "3/03/2001"}));
  EXPECT_EQ(last, R::kEnded);
  // A date-only UNTIL includes its whole day.
  r.until = CDateTime::FromParts(JulianDayFromDate(3, 4, 2001), CDateTime::kNoTimeOfDay, CDateTime::kFloating);
  EXPECT_EQ(List(r, start, 10, &last).size(), 4u);
  EXPECT_EQ(last, R::kEnded);
}

TEST(RRule, CountAndUntilTogetherEndAtTheFirstReached) {
  CDateTime start = At(1, 3, 2001);
  R r(&start);
  r.frequency = R::kDaily;
  r.count = 5;
  r.until = At(3, 3, 2001, 12);
  int last = 0;
  EXPECT_EQ(List(r, start, 10, &last), Dates({"3/01/2001", "3/02/2001", "3/03/2001"}));
  EXPECT_EQ(last, R::kEnded);
  r.until = At(1, 1, 2002);
  EXPECT_EQ(List(r, start, 10, &last).size(), 5u);
  EXPECT_EQ(last, R::kEnded);
}

TEST(RRule, BadRulesAnswerNoneAtOnce) {
  CDateTime start = At(1, 3, 2001);
  CDateTime q = At(5, 3, 2001);
  R unset(&start);
  EXPECT_EQ(unset.GetNextOccurrence(q), R::kNone);
  R unknown(&start);
  unknown.frequency = 9;
  EXPECT_EQ(unknown.GetNextOccurrence(q), R::kNone);
  R zero(&start);
  zero.frequency = R::kDaily;
  zero.interval = 0;
  EXPECT_EQ(zero.GetNextOccurrence(q), R::kNone);
  R noStart(nullptr);
  noStart.frequency = R::kDaily;
  EXPECT_EQ(noStart.GetNextOccurrence(q), R::kNone);
  R badMonth(&start);
  badMonth.frequency = R::kYearly;
  badMonth.byMonth = {13};
  EXPECT_EQ(badMonth.GetNextOccurrence(q), R::kNone);
  EXPECT_EQ(Text(q), "3/05/2001 9:00:00");
}

// Rules that never match give up after a bounded search, whatever the
// frequency (a finer rule skips whole days, not seconds).
TEST(RRule, NeverMatchingRulesAnswerNone) {
  CDateTime start = At(1, 3, 2001);
  for (int f = R::kSecondly; f <= R::kYearly; ++f) {
    R r(&start);
    r.frequency = static_cast<int16_t>(f);
    r.byMonth = {2};
    r.byMonthDay = {30};
    CDateTime q = At(2, 3, 2001);
    EXPECT_EQ(r.GetNextOccurrence(q), R::kNone) << f;
  }
  // Beyond the limit of ten years: 29 February on a Monday (next 2016,
  // asked from 2005).
  CDateTime s2 = At(29, 2, 1988);
  R rare(&s2);
  rare.frequency = R::kYearly;
  rare.byMonth = {2};
  rare.byMonthDay = {29};
  rare.AddByDay(MO);
  CDateTime q = At(1, 3, 1988);
  EXPECT_EQ(rare.GetNextOccurrence(q), R::kNone);
  q = At(1, 3, 2010);
  EXPECT_EQ(rare.GetNextOccurrence(q), R::kFound);
  EXPECT_EQ(Text(q), "2/29/2016 9:00:00");
}

// Finer rules whose interval never lands on a time their lists allow answer
// "none" without walking their years; those that land on one rarely get the
// answer the period-by-period walk gives.
TEST(RRule, FinerIntervalsAgainstTimeLists) {
  struct Case {
    int frequency, interval;
    std::vector<int> hours, minutes, seconds, months;
    CDateTime from;
    const char* expected;  // "" for none
  };
  const Case cases[] = {
      {R::kSecondly, 4, {}, {}, {1}, {}, At(2, 3, 2001, 0), ""},
      {R::kMinutely, 2, {}, {1}, {}, {}, At(2, 3, 2001, 0), ""},
      {R::kSecondly, 3600, {}, {5}, {}, {}, At(2, 3, 2001, 0), ""},
      {R::kHourly, 48, {10}, {}, {}, {}, At(2, 3, 2001, 0), ""},
      {R::kSecondly, 86400, {}, {}, {30}, {}, At(2, 3, 2001, 0), ""},
      // One second later each day: 8:59:59 lies 236 years on.
      {R::kSecondly, 86401, {8}, {59}, {59}, {}, At(2, 3, 2001, 0), ""},
      {R::kSecondly, 86401, {9}, {0}, {10}, {}, At(2, 3, 2001, 0), "3/11/2001 9:00:10"},
      {R::kSecondly, 3601, {5}, {7}, {13}, {}, At(2, 3, 2001, 0), "1/07/2009 5:07:13"},
      {R::kMinutely, 1441, {8}, {59}, {}, {}, At(2, 3, 2001, 0), "2/08/2005 8:59:00"},
      {R::kMinutely, 1441, {8, 9}, {59}, {}, {4}, At(1, 5, 2001, 0), "4/09/2005 9:59:00"},
      {R::kSecondly, 7, {}, {}, {0}, {}, At(2, 3, 2001, 0), "3/02/2001 0:03:00"},
      {R::kSecondly, 7, {17}, {0, 30}, {0}, {}, At(2, 3, 2001, 0), "3/03/2001 17:00:00"},
  };
  const CDateTime start = At(1, 3, 2001);
  for (const Case& c : cases) {
    R r(&start);
    r.frequency = static_cast<int16_t>(c.frequency);
    r.interval = c.interval;
    for (int v : c.hours) r.hours.InsertUnique(static_cast<uint16_t>(v));
    for (int v : c.minutes) r.minutes.InsertUnique(static_cast<uint16_t>(v));
    for (int v : c.seconds) r.seconds.InsertUnique(static_cast<uint16_t>(v));
    for (int v : c.months) r.byMonth.push_back(static_cast<int16_t>(v));
    CDateTime q = c.from;
    const int result = r.GetNextOccurrence(q);
    const std::string label = std::to_string(c.frequency) + "/" + std::to_string(c.interval);
    if (*c.expected == 0) {
      EXPECT_EQ(result, R::kNone) << label;
      // The start still counts as the first occurrence.
      CDateTime first = start;
      EXPECT_EQ(r.GetNextOccurrence(first), R::kFound) << label;
    } else {
      ASSERT_EQ(result, R::kFound) << label;
      EXPECT_EQ(Text(q), c.expected) << label;
    }
  }
}

TEST(RRule, SearchLimitScalesWithInterval) {
  CDateTime start = At(10, 6, 2000);
  R r(&start);
  r.frequency = R::kYearly;
  r.interval = 20;
  EXPECT_EQ(List(r, start, 3), Dates({"6/10/2000", "6/10/2020", "6/10/2040"}));
  R m(&start);
  m.frequency = R::kMonthly;
  m.interval = 150;  // 12.5 years
  EXPECT_EQ(List(m, start, 2), Dates({"6/10/2000", "12/10/2012"}));
}

// Asked about a moment long after the start, a rule answers from the
// interval arithmetic, as a walk from the start would.
TEST(RRule, FarFromStartMatchesStepping) {
  CDateTime start = At(3, 1, 1950, 7, 30);
  R r(&start);
  r.frequency = R::kDaily;
  r.interval = 3;
  CDateTime q = At(1, 1, 2026, 12);
  ASSERT_EQ(r.GetNextOccurrence(q), R::kFound);
  int32_t days = q.GetRawJulianDay() - start.GetRawJulianDay();
  EXPECT_EQ(days % 3, 0);
  EXPECT_GT(q, At(1, 1, 2026, 12));
  EXPECT_LE(q - At(1, 1, 2026), 3);
  EXPECT_EQ(q.GetHour(), 7);

  R w(&start);
  w.frequency = R::kWeekly;
  w.interval = 5;
  w.AddByDay(TU);
  CDateTime a = At(1, 1, 2026), b = a;
  ASSERT_EQ(w.GetNextOccurrence(a), R::kFound);
  // The same answer as stepping from one interval-aligned Tuesday before.
  CDateTime back = a;
  back.AddDays(-35);
  EXPECT_EQ(w.GetNextOccurrence(back), R::kFound);
  back.AddTime(0, 0, 1);
  EXPECT_EQ(w.GetNextOccurrence(back), R::kFound);
  EXPECT_EQ(Text(back), Text(a));
  EXPECT_GE(a, b);
}

// Lists and periods larger than the room the rule keeps inside itself.
TEST(RRule, LongListsAndFullPeriods) {
  CDateTime start = At(1, 3, 2021);
  R everyDay(&start);
  everyDay.frequency = R::kYearly;  // every day of the year: hundreds per period
  for (int d = MO; d <= SU; ++d) everyDay.AddByDay(d);
  EXPECT_EQ(List(everyDay, At(30, 12, 2021, 10), 3), Dates({"12/31/2021", "1/01/2022", "1/02/2022"}));

  R lastOfTwenty(&start);
  lastOfTwenty.frequency = R::kMonthly;
  for (int d = 1; d <= 20; ++d) lastOfTwenty.byMonthDay.push_back(static_cast<int16_t>(d));
  lastOfTwenty.bySetPos = {-1, 1};
  EXPECT_EQ(List(lastOfTwenty, At(2, 3, 2021), 3), Dates({"3/20/2021", "4/01/2021", "4/20/2021"}));
  lastOfTwenty.byMonthDay.resize(12);  // a changed list is read again
  EXPECT_EQ(List(lastOfTwenty, At(2, 3, 2021), 2), Dates({"3/12/2021", "4/01/2021"}));

  R hourly(&start);
  hourly.frequency = R::kDaily;
  for (int h = 8; h <= 20; ++h) hourly.hours.InsertUnique(static_cast<uint16_t>(h));
  EXPECT_EQ(List(hourly, At(1, 3, 2021, 19, 30), 3),
            std::vector<std::string>({"3/01/2021 20:00:00", "3/02/2021 8:00:00", "3/02/2021 9:00:00"}));
}

// The alarm worker and the window ask the same rules: two threads asking one
// rule at once get the answers one thread gets.
TEST(RRule, TwoThreadsAskAtOnce) {
  CDateTime start = At(31, 1, 2000);
  R rule(&start);
  rule.frequency = R::kMonthly;
  rule.byMonthDay = {-1};
  rule.count = 300;
  const std::vector<std::string> alone = List(rule, start, 300);
  std::vector<std::string> seen[2];
  std::thread other([&] { seen[1] = List(rule, start, 300); });
  seen[0] = List(rule, start, 300);
  other.join();
  EXPECT_EQ(alone.size(), 300u);
  EXPECT_EQ(seen[0], alone);
  EXPECT_EQ(seen[1], alone);
}

TEST(RRule, OffsetShiftsEveryOccurrence) {
  CDateTime start = At(7, 11, 2000);
  R r(&start);
  r.frequency = R::kMonthly;
  r.offsetDays = 1;
  r.byMonth = {11};
  r.AddByDayOrdinal(MO, 1);
  EXPECT_EQ(List(r, start, 3), Dates({"11/07/2000", "11/06/2001", "11/05/2002"}));
}

TEST(RRule, AnswersInTheCallersZoneKind) {
  // A UTC series asked with a floating moment answers in floating time.
  CDateTime start = At(1, 7, 2005, 12, 0, 0, CDateTime::kUtc);
  R r(&start);
  r.frequency = R::kDaily;
  CDateTime q = At(2, 7, 2005, 13);  // 11:00Z in Berlin summer time
  ASSERT_EQ(r.GetNextOccurrence(q), R::kFound);
  EXPECT_EQ(q.GetZoneKind(), CDateTime::kFloating);
  EXPECT_EQ(Text(q), "7/02/2005 14:00:00");
  CDateTime u = At(2, 7, 2005, 12, 0, 1, CDateTime::kUtc);
  ASSERT_EQ(r.GetNextOccurrence(u), R::kFound);
  EXPECT_EQ(u.GetZoneKind(), CDateTime::kUtc);
  EXPECT_EQ(Text(u), "7/03/2005 12:00:00");

  // A floating series keeps its wall-clock time across the change to
  // winter time.
  CDateTime local = At(28, 10, 2005, 9);
  R l(&local);
  l.frequency = R::kDaily;
  EXPECT_EQ(List(l, local, 4), Dates({"10/28/2005", "10/29/2005", "10/30/2005", "10/31/2005"}));
}

TEST(RRule, DateOnlySeries) {
  CDateTime start = CDateTime::FromParts(JulianDayFromDate(1, 15, 2004), CDateTime::kNoTimeOfDay, CDateTime::kFloating);
  R r(&start);
  r.frequency = R::kMonthly;
  CDateTime q = At(15, 2, 2004, 10);  // later that day: the next month
  ASSERT_EQ(r.GetNextOccurrence(q), R::kFound);
  EXPECT_FALSE(q.HasTimeOfDay());
  EXPECT_EQ(q.GetRawJulianDay(), JulianDayFromDate(3, 15, 2004));
}

TEST(RRule, CopyKeepsItsOwnStartAndDropsState) {
  CDateTime s1 = At(1, 1, 2001), s2 = At(10, 1, 2001);
  R a(&s1), b(&s2);
  a.frequency = R::kWeekly;
  a.count = 3;
  a.hours.InsertUnique(5);
  b = a;
  EXPECT_EQ(b.GetSeriesStart(), &s2);
  EXPECT_TRUE(b.hours.IsEmpty());
  EXPECT_EQ(List(b, s2, 5), Dates({"1/10/2001", "1/17/2001", "1/24/2001"}));
}

TEST(RRule, ClearAndAdvancedCriteria) {
  CDateTime s = At(1, 1, 2001);
  R r(&s);
  r.frequency = R::kWeekly;
  EXPECT_FALSE(r.HasAdvancedCriteria());
  r.hours.InsertUnique(9);  // not an advanced criterion
  EXPECT_FALSE(r.HasAdvancedCriteria());
  r.byMonth = {3};
  EXPECT_TRUE(r.HasAdvancedCriteria());
  r.byMonthAutoFilled = 1;
  EXPECT_FALSE(r.HasAdvancedCriteria());
  r.ResetExpansion();
  EXPECT_TRUE(r.byMonth.empty());
  EXPECT_TRUE(r.hours.IsEmpty());
  r.AddByDayOrdinal(FR, -1);
  EXPECT_TRUE(r.HasAdvancedCriteria());
  r.count = 4;
  r.offsetDays = 2;
  r.until = At(1, 1, 2002);
  r.Clear();
  EXPECT_FALSE(r.HasAdvancedCriteria());
  EXPECT_FALSE(r.IsUntilSet());
  EXPECT_EQ(r.frequency, R::kWeekly);
  for (auto* f : {&r.byWeekNo, &r.byYearDay, &r.byMonthDay, &r.byDayWeekdays, &r.byDayOrdinals, &r.bySetPos})
    EXPECT_TRUE(f->empty());
}

TEST(RRule, BySetPosOutOfRangeIsSkipped) {
  CDateTime start = At(3, 1, 2000);
  R r(&start);
  r.frequency = R::kMonthly;
  r.byMonthDay = {1, 2, 3};
  r.bySetPos = {5, 0, 2};  // only the second day of each month
  EXPECT_EQ(List(r, start, 3), Dates({"1/03/2000", "2/02/2000", "3/02/2000"}));
}

}  // namespace
