// iCalendar import of texts whose zones are costly to read: two zones of 16
// bounded yearly rules each with 2,000 series alternating between them, and
// 5,000 distinct zones with an event each. Prints the text's size and the
// import's time of each.
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "model/events/cal_event.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_target.h"

namespace {

struct MemoryTarget : IICalTarget {
  ICalCalendarHeader header;
  std::map<std::string, std::unique_ptr<CCalEvent>> events;
  ICalCalendarHeader& Header() override { return header; }
  CCalEvent* FindEventByUid(const std::string& uid) override {
    auto it = events.find(uid);
    return it == events.end() ? nullptr : it->second.get();
  }
  bool AddEvent(std::unique_ptr<CCalEvent> e) override { return events.emplace(e->uid, std::move(e)).second; }
  bool UpdateEvent(CCalEvent&) override { return true; }
};

std::string Zone(const std::string& tzid, int rules, const char* rule, int offset) {
  std::string z = "BEGIN:VTIMEZONE\r\nTZID:" + tzid + "\r\n";
  char from[16], to[16];
  std::snprintf(from, sizeof from, "+%02d00", offset);
  std::snprintf(to, sizeof to, "+%02d00", offset + 1);
  for (int i = 0; i < rules; ++i) {
    const bool daylight = i % 2 == 0;
    z += std::string("BEGIN:") + (daylight ? "DAYLIGHT" : "STANDARD") + "\r\nDTSTART:" + std::to_string(1970 + i / 2) +
         (daylight ? "0329" : "1025") + "T020000\r\nTZOFFSETFROM:" + (daylight ? from : to) +
         "\r\nTZOFFSETTO:" + (daylight ? to : from) + "\r\nRRULE:FREQ=YEARLY;BYMONTH=" + (daylight ? "3" : "10") +
         ";BYDAY=-1SU" + rule + "\r\nEND:" + (daylight ? "DAYLIGHT" : "STANDARD") + "\r\n";
  }
  return z + "END:VTIMEZONE\r\n";
}

std::string Series(int i, const std::string& tzid) {
  return "BEGIN:VEVENT\r\nUID:s" + std::to_string(i) + "\r\nSUMMARY:Series " + std::to_string(i) +
         "\r\nDTSTART;TZID=" + tzid + ":" + std::to_string(2000 + i % 25) +
         "0115T090000\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,TH\r\nEND:VEVENT\r\n";
}

void Time(const char* what, const std::string& body) {
  const std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n" + body + "END:VCALENDAR\r\n";
  MemoryTarget target;
  const auto from = std::chrono::steady_clock::now();
  CICalConverter converter;
  converter.ImportICalString(text, target, false);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
  std::printf("%-34s %7zu KB %5d added %8.3f s\n", what, text.size() / 1024, converter.GetAddedCount(), s);
}

}  // namespace

int main() {
  std::string two = Zone("Bounded A", 16, ";COUNT=10000", 1) + Zone("Bounded B", 16, ";COUNT=10000", 3);
  for (int i = 0; i < 2000; ++i) two += Series(i, i % 2 ? "Bounded B" : "Bounded A");
  Time("2 zones x 16 bounded, 2000 series", two);
  std::string many;
  for (int i = 0; i < 5000; ++i) many += Zone("Zone " + std::to_string(i), 2, "", i % 12) + Series(i, "Zone " + std::to_string(i));
  Time("5000 zones, an event each", many);
  return 0;
}
