// CZoneRule: the yearly offset rule of one named time zone, compact enough
// to store with an event, so a series written in another zone keeps its
// wall-clock time and weekday there through both of that zone's changes.
//
// Text form (what the record stores), integers separated by single spaces:
//   "<offset>"                                   a zone without changes
//   "<std> <dst> <m> <d> <w> <t> <m> <d> <w> <t>" a zone with daylight time
// Offsets are seconds east of UTC (-18000 for UTC-5), each 1..18 hours or 0
// at most. The first group of four is the change to daylight time, the
// second the change back; each is month 1..12, day, weekday and the
// wall-clock second of the day (0..86399) at which it happens, read in the
// offset in force before it. Weekday 0: on that day of the month (1..31);
// weekday 1 Monday .. 7 Sunday: the first such weekday on or after that day
// (1..31), or with day -1 the last such weekday of the month.
//
// A zone whose offsets also changed on single dates (its history, or a
// file that writes each year's changes one by one) adds those changes:
//   "<yearly text>;<utc> <offset>;<utc> <offset>..."
// each the UTC moment of the change in seconds since 1970 and the offset in
// force from then on, in ascending order. Before the first dated change its
// offset holds; after the last, it holds until the yearly rule's next
// change, from which the yearly rule holds. Without dated changes every year
// is read with the yearly rule, and the text is the yearly text alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CZoneChange {
  int month = 0;
  int day = 0;
  int weekday = 0;
  int32_t second = 0;
};

struct CZoneDatedChange {
  int64_t utc = 0;  // seconds since Julian day 0 midnight, UTC
  int32_t offset = 0;
};

struct CZoneRule {
  // Dated changes a stored text holds at most (50 years of a zone that
  // changes four times a year, with room to spare).
  static constexpr size_t kMaxDatedChanges = 400;

  int32_t standardOffset = 0;
  int32_t daylightOffset = 0;
  bool hasDaylight = false;
  CZoneChange toDaylight;
  CZoneChange toStandard;
  std::vector<CZoneDatedChange> dated;  // ascending by moment

  // Reads the text form; false (the rule left alone) for any other text,
  // including values outside the ranges above.
  bool Parse(const std::string& text);
  std::string Format() const;

  // The Julian day in `year` on which the change falls.
  static int32_t ChangeDay(const CZoneChange& change, int year);
  // Seconds east of UTC in force at the UTC moment (seconds since Julian
  // day 0 midnight).
  int32_t OffsetAtUtc(int64_t utc) const;
  // The zone's wall-clock moment of a UTC moment, and back. A wall-clock
  // time that happens twice (the change back) is its first instance; one in
  // the gap of the change forward is read in the offset before the gap.
  int64_t UtcToWall(int64_t utc) const { return utc + OffsetAtUtc(utc); }
  int64_t WallToUtc(int64_t wall) const;

 private:
  int32_t YearlyOffsetAtUtc(int64_t utc) const;
  // The latest change of the yearly rule at or before the UTC moment.
  int64_t LatestYearlyChange(int64_t utc) const;
};
