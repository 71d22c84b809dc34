// Little-endian byte access for the tagged-field codec. Internal to it.
#pragma once

#include <cstdint>

namespace fieldbytes {

inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The value ranges a stored date-time and duration must keep. The reader
// refuses anything outside them, so the writer refuses it too: a record
// that was written must always load again.
constexpr int32_t kLastJulianDay = 5373484;  // 31 December 9999
constexpr int32_t kMaxDurationPart = 100000000;

inline bool StorableDateTime(int32_t julianDay, int32_t seconds, int zoneKind) {
  return julianDay >= 0 && julianDay <= kLastJulianDay && seconds >= -1 && seconds < 86400 && zoneKind >= 0 &&
         zoneKind <= 2;
}
inline bool StorableDurationPart(int32_t part) { return part >= 0 && part <= kMaxDurationPart; }

}  // namespace fieldbytes
