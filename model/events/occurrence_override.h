// COccurrenceOverride: the changes made to one occurrence of a recurring
// event (moved to another time; its own name, type, notes, URL or alarm),
// kept under the occurrence's scheduled date in COccurrenceOverrideMap.
#pragma once

#include <cstdint>
#include <string>

#include "model/dates/date_time.h"
#include "model/dates/duration.h"

class COccurrenceOverride {
 public:
  // Bits of `mask`: which fields override the event's.
  static constexpr int32_t kName = 0x01;
  static constexpr int32_t kType = 0x02;
  static constexpr int32_t kNotes = 0x04;
  static constexpr int32_t kUrl = 0x08;
  static constexpr int32_t kAlarm = 0x10;  // alarmOn and leadTime together

  // 1: the occurrence was moved; start and end replace the computed ones.
  int32_t moved = 0;
  CDateTime start;
  CDateTime end;
  int32_t mask = 0;
  std::string name;
  std::string type;
  std::string notes;
  std::string url;
  CDuration leadTime;
  // Meaningful when mask has kAlarm.
  int32_t alarmOn = 0;

  COccurrenceOverride() = default;

  bool IsMoved() const { return moved != 0; }
  bool Overrides(int32_t bit) const { return (mask & bit) != 0; }
};
