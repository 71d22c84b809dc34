// iCalendar import of texts whose zones are costly to read: two zones of 16
// bounded yearly rules each with 2,000 series alternating between them, and
// 5,000 distinct zones with an event each. Prints each text's size and time.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "model/events/cal_event.h"
#include "storage/ical/ical_converter.h"
#include "storage/ical/ical_target.h"

namespace {

// Every UID of the texts is new: nothing to find.
struct MemoryTarget : IICalTarget {
  ICalCalendarHeader header;
  ICalCalendarHeader& Header() override { return header; }
  CCalEvent* FindEventByUid(const std::string&) override { return nullptr; }
  bool AddEvent(std::unique_ptr<CCalEvent>) override { return true; }
  bool UpdateEvent(CCalEvent&) override { return true; }
};

// `rules` observances changing between +offset and one hour more.
std::string Zone(const std::string& tzid, int rules, const char* bound, int offset) {
  const std::string low = (offset < 10 ? "+0" : "+") + std::to_string(offset) + "00";
  const std::string high = (offset < 9 ? "+0" : "+") + std::to_string(offset + 1) + "00";
  std::string z = "BEGIN:VTIMEZONE\r\nTZID:" + tzid + "\r\n";
  for (int i = 0; i < rules; ++i) {
    const std::string kind = i % 2 ? "STANDARD" : "DAYLIGHT";
    z += "BEGIN:" + kind + "\r\nDTSTART:" + std::to_string(1970 + i / 2) + (i % 2 ? "1025" : "0329") +
         "T020000\r\nTZOFFSETFROM:" + (i % 2 ? high : low) + "\r\nTZOFFSETTO:" + (i % 2 ? low : high) +
         "\r\nRRULE:FREQ=YEARLY;BYMONTH=" + (i % 2 ? "10" : "3") + ";BYDAY=-1SU" + bound + "\r\nEND:" + kind + "\r\n";
  }
  return z + "END:VTIMEZONE\r\n";
}

std::string Series(int i, const std::string& tzid) {
  return "BEGIN:VEVENT\r\nUID:s" + std::to_string(i) + "\r\nSUMMARY:Series " + std::to_string(i) +
         "\r\nDESCRIPTION:Weekly meeting of the team\r\nDTSTART;TZID=" + tzid + ":" + std::to_string(2000 + i % 25) +
         "0115T090000\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,TH\r\nEND:VEVENT\r\n";
}

void Time(const char* what, const std::string& body) {
  const std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n" + body + "END:VCALENDAR\r\n";
  MemoryTarget target;
  CICalConverter converter;
  const auto from = std::chrono::steady_clock::now();
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
}
