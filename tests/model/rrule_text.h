// RRULE text for handing a rule to libical: the differential test
// (rrule_libical_diff.cpp) and the rule benchmark (bench/rrule_bench.cpp)
// write their generated rules with it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rruletext {

// By weekday, 1 Monday .. 7 Sunday, and by frequency code, 1 .. 7.
inline const char* const kDayNames[] = {"", "MO", "TU", "WE", "TH", "FR", "SA", "SU"};
inline const char* const kFreqNames[] = {"", "SECONDLY", "MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};

// "1,15,-1".
inline std::string Join(const std::vector<int>& v) {
  std::string s;
  for (int x : v) s += (s.empty() ? "" : ",") + std::to_string(x);
  return s;
}

// ";NAME=1,15,-1", or nothing for an empty list.
inline std::string ListPart(const char* name, const std::vector<int>& v) {
  return v.empty() ? std::string() : std::string(";") + name + "=" + Join(v);
}

// ";BYDAY=MO,-1FR" from (weekday, ordinal) pairs, ordinal 0 for every such
// weekday; nothing for an empty list.
inline std::string ByDayPart(const std::vector<std::pair<int, int>>& byDay) {
  if (byDay.empty()) return std::string();
  std::string s = ";BYDAY=";
  for (size_t i = 0; i < byDay.size(); ++i)
    s += (i ? "," : "") + (byDay[i].second ? std::to_string(byDay[i].second) : "") + kDayNames[byDay[i].first];
  return s;
}

}  // namespace rruletext
