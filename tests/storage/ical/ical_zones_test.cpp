// TZIDs of texts without their VTIMEZONE: built-in zones with their history,
// by exact name, the tz database's links and publisher-prefixed names. The
// expected moments are pytz's for the same names and local times.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/ical/ical_library.h"
#include "storage/ical/ical_zones.h"
#include "tests/storage/ical/ical_fixture.h"

using namespace icaltest;

namespace {

CDateTime Utc(int day, int month, int year, int hour, const char* tzid) {
  CDateTime d(day, month, year, tzid ? CDateTime::kNamedZone : CDateTime::kFloating);
  d.SetTime(hour, 0, 0);
  if (tzid) d.SetTzid(tzid);
  return d;
}

std::string Start(const std::string& tzid, const char* when) {
  return Event("UID:z1\r\nSUMMARY:Call\r\nDTSTART;TZID=" + tzid + ":" + when + "\r\n");
}

TEST(IcalZones, TzidWithoutItsVtimezone) {
  UseDefaultSettings();
  const std::string berlinAtPlusFive =
      "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
      "TZOFFSETFROM:+0500\r\nTZOFFSETTO:+0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  struct Case {
    const char* what;
    std::string text;
    CDateTime start;
    bool logged;
  } cases[] = {
      {"New York, winter", Calendar(Start("America/New_York", "20240115T090000")),
       Utc(15, 1, 2024, 14, "America/New_York"), false},
      {"New York, summer", Calendar(Start("America/New_York", "20240715T090000")),
       Utc(15, 7, 2024, 13, "America/New_York"), false},
      {"Sydney, summer the day before in UTC", Calendar(Start("Australia/Sydney", "20240115T090000")),
       Utc(14, 1, 2024, 22, "Australia/Sydney"), false},
      {"Berlin, summer", Calendar(Start("Europe/Berlin", "20240715T090000")), Utc(15, 7, 2024, 7, "Europe/Berlin"),
       false},
      {"first name", Calendar(Start("Africa/Abidjan", "20240115T090000")), Utc(15, 1, 2024, 9, "Africa/Abidjan"),
       false},
      {"last name", Calendar(Start("Pacific/Yap", "20240115T090000")), Utc(14, 1, 2024, 23, "Pacific/Yap"), false},
      {"an event outside any calendar", Start("America/New_York", "20240115T090000"),
       Utc(15, 1, 2024, 14, "America/New_York"), false},
      {"the file's own zone wins", Calendar(berlinAtPlusFive + Start("Europe/Berlin", "20240715T090000")),
       Utc(15, 7, 2024, 4, "Europe/Berlin"), false},
      {"case differs", Calendar(Start("america/new_york", "20240115T090000")), Utc(15, 1, 2024, 9, nullptr), true},
      {"path", Calendar(Start("../../etc/passwd", "20240115T090000")), Utc(15, 1, 2024, 9, nullptr), true},
      // A prefixed name is found in the table by its end; no file is read.
      {"zone file path", Calendar(Start("/usr/share/zoneinfo/America/New_York", "20240115T090000")),
       Utc(15, 1, 2024, 14, "/usr/share/zoneinfo/America/New_York"), false},
      {"New York before the rule of 2007", Calendar(Start("America/New_York", "20060320T120000")),
       Utc(20, 3, 2006, 17, "America/New_York"), false},
      {"Sydney before the rule of 2008", Calendar(Start("Australia/Sydney", "20021007T000000")),
       Utc(6, 10, 2002, 14, "Australia/Sydney"), false},
      {"Berlin in 1979, before its daylight time", Calendar(Start("Europe/Berlin", "19790715T090000")),
       Utc(15, 7, 1979, 8, "Europe/Berlin"), false},
      {"a link", Calendar(Start("US/Eastern", "20240115T090000")), Utc(15, 1, 2024, 14, "US/Eastern"), false},
      {"US/Pacific", Calendar(Start("US/Pacific", "20240715T090000")), Utc(15, 7, 2024, 16, "US/Pacific"), false},
      {"Europe/Kiev", Calendar(Start("Europe/Kiev", "20240115T090000")), Utc(15, 1, 2024, 7, "Europe/Kiev"), false},
      {"publisher prefix", Calendar(Start("/softwarestudio.org/Olson_20011030_5/America/New_York", "20240715T090000")),
       Utc(15, 7, 2024, 13, "/softwarestudio.org/Olson_20011030_5/America/New_York"), false},
      {"publisher prefix, Berlin", Calendar(Start("/mozilla.org/20070129_1/Europe/Berlin", "20240115T090000")),
       Utc(15, 1, 2024, 8, "/mozilla.org/20070129_1/Europe/Berlin"), false},
      {"prefix of no known zone", Calendar(Start("/mozilla.org/20070129_1/Mars/Olympus", "20240115T090000")),
       Utc(15, 1, 2024, 9, nullptr), true},
      {"no prefix, a known end", Calendar(Start("Mars/Europe/Berlin", "20240115T090000")), Utc(15, 1, 2024, 9, nullptr),
       true},
      {"unknown", Calendar(Start("Mars/Olympus", "20240115T090000")), Utc(15, 1, 2024, 9, nullptr), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeTarget target;
    CICalConverter converter(nullptr);
    converter.ImportICalString(c.text, target, false);
    ASSERT_FALSE(target.events.empty());
    const CDateTime& start = target.events[0]->start;
    EXPECT_TRUE(start.IsIdenticalTo(c.start)) << start.GetHour(CDateTime::kAsStored) << " " << start.GetTzid();
    EXPECT_EQ(Contains(converter.GetLog(), "Time zone \""), c.logged) << converter.GetLog();
  }
}

// The generated table: found by binary search, and every zone one the
// import keeps rather than drops as a runaway.
TEST(IcalZones, EveryBuiltInZoneIsFoundAndKept) {
  icalx::EnsureLibrary();
  ASSERT_GT(icalx::kBuiltInZoneCount, 400u);
  for (size_t i = 0; i < icalx::kBuiltInZoneCount; ++i) {
    const icalx::BuiltInZone& z = icalx::kBuiltInZones[i];
    SCOPED_TRACE(z.name);
    EXPECT_EQ(icalx::BuiltInZoneRules(z.name), icalx::kBuiltInZoneRules[z.rules]);
    icalx::ComponentPtr cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent* zone = icalx::NewBuiltInZone(z.name);
    ASSERT_NE(zone, nullptr);
    icalcomponent_add_component(cal.get(), zone);
    icalx::DropRunawayZones(cal.get());
    EXPECT_NE(icalcomponent_get_timezone(cal.get(), z.name), nullptr);
  }
}

}  // namespace
