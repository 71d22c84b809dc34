// Speed of the recurrence rule beside libical's recurrence iterator, on the
// same rules:
//   1. next occurrence of 10,000 mixed rules from today, from just after
//      their start and from 100 years after it (and how the last compares
//      with the one before) (libical: an iterator positioned at the moment with
//      icalrecur_iterator_set_start where it allows it, else stepped from
//      DTSTART, which is what a caller of it has to do);
//      and the same rule objects asked again, as the alarm check does;
//   2. stepping 100,000 instances of each rule kind (ours: asking again one
//      second past each answer; libical: icalrecur_iterator_next).
//   3. how long a rule that never matches takes to answer "none", including
//      finer rules whose interval never lands on the times they ask for.
// `rrule_bench never` runs part 3 alone.
// Prints instances (answers) per second for both and their ratio, each the
// median of three runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/dates/date_time.h"
#include "model/recurrence/recurrence_rule.h"
#include "tests/model/rrule_text.h"

#ifdef ALMACORA_BENCH_LIBICAL
#include <libical/ical.h>
#endif

namespace {

using R = CRecurrenceRule;
using Clock = std::chrono::steady_clock;

struct Rule {
  std::string text;  // RRULE for libical
  int frequency = R::kDaily;
  int interval = 1;
  int count = 0;
  std::vector<int> byMonth, byMonthDay;
  std::vector<std::pair<int, int>> byDay;
  std::vector<int> bySetPos;
  int year = 2000, month = 1, day = 1, hour = 9;
};

using rruletext::ByDayPart;
using rruletext::kFreqNames;
using rruletext::ListPart;

void Finish(Rule* r) {
  r->text = std::string("FREQ=") + kFreqNames[r->frequency] + ";INTERVAL=" + std::to_string(r->interval);
  if (r->count) r->text += ";COUNT=" + std::to_string(r->count);
  r->text += ListPart("BYMONTH", r->byMonth) + ListPart("BYMONTHDAY", r->byMonthDay) + ByDayPart(r->byDay) +
             ListPart("BYSETPOS", r->bySetPos);
}

// The kinds of rule an event calendar holds.
Rule Kind(int kind, std::mt19937* rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
  Rule r;
  r.year = pick(1950, 2025);
  r.month = pick(1, 12);
  r.day = pick(1, 28);
  r.hour = pick(6, 20);
  switch (kind) {
    case 0: r.frequency = R::kDaily; r.interval = pick(1, 3); break;
    case 1:
      r.frequency = R::kWeekly;
      r.byDay = {{pick(1, 3), 0}, {pick(4, 7), 0}};
      break;
    case 2:
      r.frequency = R::kMonthly;
      r.byDay = {{pick(1, 7), pick(0, 1) ? pick(1, 4) : -1}};
      break;
    case 3: r.frequency = R::kMonthly; r.byMonthDay = {pick(1, 28)}; break;
    case 4: r.frequency = R::kYearly; break;
    case 5:
      r.frequency = R::kMonthly;
      r.byDay = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}};
      r.bySetPos = {-1};
      break;
    default:
      r.frequency = R::kYearly;
      r.byMonth = {pick(1, 12)};
      r.byDay = {{pick(1, 7), pick(1, 4)}};
      break;
  }
  Finish(&r);
  return r;
}
constexpr int kKinds = 7;
const char* const kKindNames[kKinds] = {"daily",         "weekly 2 days",     "monthly nth weekday",
                                        "monthly day",   "yearly",            "last weekday (BYSETPOS)",
                                        "yearly nth weekday of a month"};

CDateTime StartOf(const Rule& r) {
  CDateTime t(r.day, r.month, r.year, CDateTime::kFloating);
  t.SetTime(r.hour, 0, 0);
  return t;
}

void Fill(const Rule& r, R* rule) {
  rule->frequency = static_cast<int16_t>(r.frequency);
  rule->interval = r.interval;
  rule->count = r.count;
  for (int v : r.byMonth) rule->byMonth.push_back(static_cast<int16_t>(v));
  for (int v : r.byMonthDay) rule->byMonthDay.push_back(static_cast<int16_t>(v));
  for (int v : r.bySetPos) rule->bySetPos.push_back(static_cast<int16_t>(v));
  for (auto& d : r.byDay) rule->AddByDayOrdinal(d.first, d.second);
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The median of three timed runs of `work`: one slow run on a busy machine
// does not decide a ratio.
template <typename Work>
double Median3(Work work) {
  double t[3];
  for (double& v : t) {
    const auto t0 = Clock::now();
    work();
    v = Seconds(t0);
  }
  std::sort(t, t + 3);
  return t[1];
}

void Row(const char* what, long oursCount, double oursSeconds, long icalCount, double icalSeconds) {
  double ours = oursCount / oursSeconds;
  if (icalCount < 0) {
    std::printf("%-34s ours %12.0f/s\n", what, ours);
    return;
  }
  double ical = icalCount / icalSeconds;
  std::printf("%-34s ours %12.0f/s   libical %12.0f/s   ratio %7.2f\n", what, ours, ical, ours / ical);
}

#ifdef ALMACORA_BENCH_LIBICAL
icaltimetype IcalTime(const CDateTime& t) {
  icaltimetype v = icaltime_null_time();
  int m, d, y;
  t.GetDate(&m, &d, &y);
  v.year = y;
  v.month = m;
  v.day = d;
  v.hour = t.GetHour();
  v.minute = t.GetMinute();
  v.second = t.GetSecond();
  return v;
}

// libical's first occurrence on or after `moment`.
bool IcalNext(const Rule& r, const CDateTime& moment) {
  icalrecurrencetype rule = icalrecurrencetype_from_string(r.text.c_str());
  icalrecur_iterator* it = icalrecur_iterator_new(rule, IcalTime(StartOf(r)));
  if (!it) return false;
  icaltimetype target = IcalTime(moment);
  if (!r.count) icalrecur_iterator_set_start(it, target);
  bool found = false;
  for (;;) {
    icaltimetype t = icalrecur_iterator_next(it);
    if (icaltime_is_null_time(t)) break;
    if (icaltime_compare(t, target) >= 0) {
      found = true;
      break;
    }
  }
  icalrecur_iterator_free(it);
  return found;
}
#endif

}  // namespace

void NeverMatching() {
  // Rules that never match give up after their bounded search.
  std::printf("\nrules that never match (30 February), one question each\n");
  for (int f = R::kSecondly; f <= R::kYearly; ++f) {
    CDateTime start(1, 3, 2001, CDateTime::kFloating);
    R rule(&start);
    rule.frequency = static_cast<int16_t>(f);
    rule.byMonth = {2};
    rule.byMonthDay = {30};
    CDateTime d(2, 3, 2001, CDateTime::kFloating);
    auto t0 = Clock::now();
    int result = rule.GetNextOccurrence(d);
    std::printf("%-34s answer %d in %.3f ms\n", kFreqNames[f], result, Seconds(t0) * 1000);
  }
  // Finer rules whose interval steps past every time their lists allow.
  struct Off {
    const char* text;
    int frequency, interval, hour, minute, second;
  };
  const Off offs[] = {
      {"SECONDLY;INTERVAL=4;BYSECOND=1", R::kSecondly, 4, -1, -1, 1},
      {"MINUTELY;INTERVAL=2;BYMINUTE=1", R::kMinutely, 2, -1, 1, -1},
      {"SECONDLY;INTERVAL=3600;BYMINUTE=5", R::kSecondly, 3600, -1, 5, -1},
  };
  for (const Off& o : offs) {
    CDateTime start(1, 3, 2001, CDateTime::kFloating);
    start.SetTime(9, 0, 0);
    R rule(&start);
    rule.frequency = static_cast<int16_t>(o.frequency);
    rule.interval = o.interval;
    if (o.hour >= 0) rule.hours.InsertUnique(static_cast<uint16_t>(o.hour));
    if (o.minute >= 0) rule.minutes.InsertUnique(static_cast<uint16_t>(o.minute));
    if (o.second >= 0) rule.seconds.InsertUnique(static_cast<uint16_t>(o.second));
    CDateTime d(2, 3, 2001, CDateTime::kFloating);
    auto t0 = Clock::now();
    int result = rule.GetNextOccurrence(d);
    std::printf("%-34s answer %d in %.3f ms\n", o.text, result, Seconds(t0) * 1000);
  }
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "never") {
    NeverMatching();
    return 0;
  }
  std::mt19937 rng(20261209);
  constexpr int kRules = 10000;
  std::vector<Rule> rules;
  for (int i = 0; i < kRules; ++i) rules.push_back(Kind(i % kKinds, &rng));
  const CDateTime today = CDateTime::Today();

  std::printf("Recurrence rule: ours vs libical %s\n\n",
#ifdef ALMACORA_BENCH_LIBICAL
              ICAL_VERSION
#else
              "(not built in)"
#endif
  );

  // Passes: from today, from just after each rule's start (the start
  // itself is answered without a search), from 100 years after it.
  const char* const kFrom[3] = {"today", "start+1s", "start+100y"};
  std::vector<CDateTime> passMoments[3];
  for (int pass = 0; pass < 3; ++pass)
    for (const Rule& r : rules) {
      CDateTime m = pass == 0 ? today : StartOf(r);
      if (pass == 2) m.SetDate(r.day, r.month, r.year + 100);
      if (pass == 2 && m.IsEmpty()) m.SetDate(28, r.month, r.year + 100);
      if (pass == 1) m.AddTime(0, 0, 1);
      passMoments[pass].push_back(m);
    }
  // A fresh rule per question, as after the rule was edited: no cache. Each
  // timed run asks every rule kFreshRounds times, so that one run lasts long
  // enough for a busy machine's interruptions to even out.
  constexpr int kFreshRounds = 5;
  auto askFresh = [&](const std::vector<CDateTime>& moments) {
    long found = 0;
    for (int round = 0; round < kFreshRounds; ++round)
      for (size_t i = 0; i < rules.size(); ++i) {
        CDateTime start = StartOf(rules[i]);
        R rule(&start);
        Fill(rules[i], &rule);
        CDateTime d = moments[i];
        if (rule.GetNextOccurrence(d) == R::kFound) ++found;
      }
    return found / kFreshRounds;
  };
  for (int pass = 0; pass < 3; ++pass) {
    const std::vector<CDateTime>& moments = passMoments[pass];
    long found = 0;
    double ours = Median3([&] { found = askFresh(moments); });
    long icalFound = -1;
    double ical = 0;
#ifdef ALMACORA_BENCH_LIBICAL
    ical = Median3([&] {
      for (int round = 0; round < kFreshRounds; ++round) {
        icalFound = 0;
        for (size_t i = 0; i < rules.size(); ++i)
          if (IcalNext(rules[i], moments[i])) ++icalFound;
      }
    });
#endif
    char what[64];
    std::snprintf(what, sizeof what, "next of %d rules from %s", kRules, kFrom[pass]);
    Row(what, long{kFreshRounds} * kRules, ours, icalFound < 0 ? -1 : long{kFreshRounds} * kRules, ical);
    if (pass == 2) {
      // From the start and 100 years on timed in adjacent pairs, each side
      // first in turn, so that a change in the machine's load between the
      // two rows above does not pass for a difference: the median of nine
      // pairs' ratios.
      constexpr int kPairs = 9;
      double ratios[kPairs];
      for (int k = 0; k < kPairs; ++k) {
        double seconds[2];
        for (int side = 0; side < 2; ++side) {
          const int which = (side + k) % 2;
          const auto t0 = Clock::now();
          askFresh(passMoments[1 + which]);
          seconds[which] = Seconds(t0);
        }
        ratios[k] = seconds[1] / seconds[0];
      }
      std::sort(ratios, ratios + kPairs);
      std::printf("  100 years on takes %.2f times as long as from the start\n", ratios[kPairs / 2]);
    }
    if (icalFound >= 0 && icalFound != found)
      std::printf("  (found: ours %ld, libical %ld)\n", found, icalFound);

    if (pass == 0) {
      // The alarm check's pattern: the same rule objects asked again and
      // again about the present (libical has nothing to keep: as above).
      std::vector<CDateTime> starts;
      starts.reserve(rules.size());
      std::vector<std::unique_ptr<R>> kept;
      for (const Rule& r : rules) {
        starts.push_back(StartOf(r));
        kept.push_back(std::make_unique<R>(&starts.back()));
        Fill(r, kept.back().get());
      }
      constexpr int kRounds = 10;
      double again = Median3([&] {
        for (int round = 0; round < kRounds; ++round)
          for (size_t i = 0; i < kept.size(); ++i) {
            CDateTime d = passMoments[0][i];
            d.AddTime(0, 0, round);
            kept[i]->GetNextOccurrence(d);
          }
      });
      Row("  same rules asked again (x10)", long{kRounds} * kRules, again,
          icalFound < 0 ? -1 : long{kFreshRounds} * kRules, ical);
    }
  }

  std::printf("\nstepping 100000 instances per kind\n");
  constexpr long kSteps = 100000;
  for (int kind = 0; kind < kKinds; ++kind) {
    Rule r = Kind(kind, &rng);
    r.year = 1990;
    Finish(&r);
    CDateTime start = StartOf(r);
    R rule(&start);
    Fill(r, &rule);
    // Long series take the steps over many rules of the kind: restart at
    // the start whenever the search limit ends one (never, in practice).
    long n = 0;
    double ours = Median3([&] {
      n = 0;
      CDateTime d = start;
      while (n < kSteps) {
        if (rule.GetNextOccurrence(d) != R::kFound) {
          d = start;
          continue;
        }
        ++n;
        d.AddTime(0, 0, 1);
      }
    });
    long icalN = -1;
    double ical = 0;
#ifdef ALMACORA_BENCH_LIBICAL
    icalrecurrencetype ir = icalrecurrencetype_from_string(r.text.c_str());
    ical = Median3([&] {
      icalrecur_iterator* it = icalrecur_iterator_new(ir, IcalTime(start));
      icalN = 0;
      while (it && icalN < kSteps) {
        icaltimetype t = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(t)) {
          icalrecur_iterator_free(it);
          it = icalrecur_iterator_new(ir, IcalTime(start));
          continue;
        }
        ++icalN;
      }
      if (it) icalrecur_iterator_free(it);
    });
#endif
    Row(kKindNames[kind], n, ours, icalN, ical);
  }

  NeverMatching();
  return 0;
}
