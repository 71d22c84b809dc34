#include "storage/convert/old_event_records.h"

#include <cstring>

namespace {

int16_t Short(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }

std::string FixedText(const uint8_t* p, size_t size) {
  const void* nul = std::memchr(p, 0, size);
  const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : size;
  return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

OldEventRecord DecodeRecord12(const uint8_t* d) {
  OldEventRecord r;
  r.month = Short(d + 0);
  r.day = Short(d + 2);
  r.year = Short(d + 4);
  r.daysPrior = Short(d + 6);
  r.name = FixedText(d + 8, 21);
  r.type = FixedText(d + 29, 15);
  r.alarmSuppressed = Short(d + 44);
  r.monthly = Short(d + 46);
  r.yearly = Short(d + 48);
  r.noOriginalYear = Short(d + 50);
  r.oneTime = Short(d + 52);
  return r;
}

OldEventRecord DecodeRecord20(const uint8_t* d) {
  OldEventRecord r;
  r.month = Short(d + 0);
  r.day = Short(d + 2);
  r.year = Short(d + 4);
  r.timeOfDay = Short(d + 6);
  r.leadMinutes = Short(d + 8);
  r.alarmOn = Short(d + 10);
  r.daysPrior = Short(d + 12);
  r.name = FixedText(d + 14, 40);
  r.type = FixedText(d + 54, 40);
  r.notes = FixedText(d + 94, 200);
  r.alarmSuppressed = Short(d + 294);
  r.monthly = Short(d + 296);
  r.yearly = Short(d + 298);
  r.noOriginalYear = Short(d + 300);
  r.oneTime = Short(d + 302);
  r.advanced = Short(d + 304);
  r.monthsMask = Short(d + 308);
  r.weekPositions = Short(d + 310);
  r.weekdays = Short(d + 312);
  r.lastYear = Short(d + 314);
  r.weekly = Short(d + 316);
  r.interval = Short(d + 318);
  r.nextDay = Short(d + 320);
  r.nextMonth = Short(d + 322);
  r.nextYear = Short(d + 324);
  return r;
}
