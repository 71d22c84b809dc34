// vCalendar import: which objects and properties become events, alarms and
// their lead times, and input the parser chokes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "convert_fixture.h"
#include "storage/convert/vcal_import.h"

// The parser leaks the objects it had built when it gives up on a damaged
// file; that is its own memory, not the walker's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libicalvcal\n"; }

namespace {

using converttest::KeepingTarget;

std::string Calendar(const std::string& events) {
  return "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n" + events + "END:VCALENDAR\r\n";
}
std::string Event(const std::string& lines) {
  return "BEGIN:VEVENT\r\nDTSTART:20240310T090000\r\n" + lines + "END:VEVENT\r\n";
}

VCalImportCounts Import(const std::string& text, KeepingTarget* target) {
  VCalImportCounts counts;
  ImportVCalendarText(text, target, &counts);
  return counts;
}

TEST(VCalImport, EveryVCalendarOfTheFileImportsItsEventsAndNothingElse) {
  KeepingTarget target;
  const std::string text = Calendar(Event("SUMMARY:One\r\n") + "BEGIN:VTODO\r\nSUMMARY:Todo\r\nEND:VTODO\r\n") +
                           Calendar(Event("SUMMARY:Two\r\nRRULE:D1 #5\r\n") + "BEGIN:VEVENT\r\nSUMMARY:No "
                                                                               "start\r\nEND:VEVENT\r\n");
  const VCalImportCounts c = Import(text, &target);
  EXPECT_EQ(3, c.events);
  EXPECT_EQ(1, c.skipped);
  ASSERT_EQ(2u, target.events.size());
  EXPECT_EQ("One", target.events[0]->name);
  EXPECT_EQ("Two", target.events[1]->name);
  for (auto& e : target.events) {
    EXPECT_EQ(1, e->oneTime);
    EXPECT_EQ(0, e->alarmOn);
    EXPECT_EQ(0, e->dtStamp.GetRawJulianDay());
    EXPECT_EQ("20240310T090000", e->start.FormatICal(CDateTime::kAsStored));
  }
}

TEST(VCalImport, FieldsAndTheAllDayFlag) {
  const struct {
    const char* lines;
    int allDay;
  } cases[] = {
      {"X-KV-ALL-DAY:TRUE\r\n", 1}, {"X-KV-ALL-DAY:True\r\n", 1}, {"X-KV-ALL-DAY:true\r\n", 1},
      {"X-KV-ALL-DAY:yes\r\n", 0},  {"X-KV-ALL-DAY:1\r\n", 0},    {"x-kv-all-day:TRUE\r\n", 0},
  };
  for (const auto& c : cases) {
    KeepingTarget target;
    Import(Calendar(Event(c.lines)), &target);
    ASSERT_EQ(1u, target.events.size()) << c.lines;
    EXPECT_EQ(c.allDay, target.events[0]->allDay) << c.lines;
  }
  KeepingTarget target;
  Import(Calendar(Event("DTEND:20240310T103000\r\nUID:u-1\r\nSUMMARY:Meet\r\nDESCRIPTION:Room 4\r\n"
                        "CATEGORIES;CHARSET=UTF-8:Work,F\xC3\xAAte\r\nDCREATED:20230101T000000Z\r\n")),
         &target);
  ASSERT_EQ(1u, target.events.size());
  const CCalEvent& e = *target.events[0];
  EXPECT_EQ("u-1", e.uid);
  EXPECT_EQ("Meet", e.name);
  EXPECT_EQ("Room 4", e.notes);
  EXPECT_EQ("Work,F\xEAte", e.type);
  EXPECT_EQ(1, e.showEnd);
  EXPECT_EQ("20240310T103000", e.end.FormatICal(CDateTime::kAsStored));
  EXPECT_EQ("20230101T000000Z", e.created.FormatICal(CDateTime::kAsStored));
}

TEST(VCalImport, AlarmRunTimeGivesTheLeadTime) {
  KeepingTarget target;
  Import(Calendar(Event("SUMMARY:Run\r\nDALARM:20240310T084500\r\n") + Event("SUMMARY:Bare\r\nDALARM:\r\n") +
                  Event("SUMMARY:Plain\r\n")),
         &target);
  ASSERT_EQ(3u, target.events.size());
  const CDuration defaultLead = CCalEvent().leadTime;
  EXPECT_EQ(1, target.events[0]->alarmOn);
  EXPECT_EQ(15 * 60, target.events[0]->leadTime.ClockSeconds());
  EXPECT_EQ(1, target.events[1]->alarmOn);
  EXPECT_EQ(defaultLead, target.events[1]->leadTime);
  EXPECT_EQ(0, target.events[2]->alarmOn);
}

TEST(VCalImport, ValuesThatAreNotTextAreNeverReadAsText) {
  // A BASE64 value with no blank line after it (the parser would never
  // return), value-less alarms, an alarm with ENCODING and DATASIZE, and
  // bytes the parser takes for the end of its input.
  const std::string hostile[] = {
      Calendar(Event("DESCRIPTION;ENCODING=BASE64:aGVsbG8gd29ybGQ=\r\nSUMMARY:After\r\n")),
      Calendar(Event("DESCRIPTION;ENCODING=BASE64:\r\n aGVs\r\n bG8=\r\nSUMMARY:After\r\n")),
      Calendar(Event("AALARM;ENCODING=BASE64:AAAA\r\nDALARM:;;;\r\nSUMMARY:After\r\n")),
      Calendar(Event("DESCRIPTION:\r\nSUMMARY:After\r\nAALARM:\r\n")),
      Calendar(Event("DESCRIPTION;BASE64:a\xff\r\nSUMMARY;QUOTED-PRINTABLE:x\xff=\r\nSUMMARY:After\r\n")),
      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240310\r\nSUMMARY;ENCODING=QUOTED-PRINTABLE:a=",
      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY;ENCODING=BASE64:",
  };
  for (size_t i = 0; i < std::size(hostile); ++i) {
    KeepingTarget target;
    Import(hostile[i], &target);
    if (i < 4) {
      ASSERT_EQ(1u, target.events.size()) << i;
      EXPECT_EQ("After", target.events[0]->name) << i;
      EXPECT_EQ("", target.events[0]->notes) << i;
    }
  }
}

TEST(VCalImport, SameUidTwiceLeavesOneEventPerUid) {
  KeepingTarget target;
  const std::string text = Calendar(Event("UID:a\r\nSUMMARY:A\r\n") + Event("UID:b\r\nSUMMARY:B\r\n") +
                                    Event("SUMMARY:No uid\r\n"));
  Import(text, &target);
  Import(text, &target);
  EXPECT_EQ(4u, target.events.size());  // a, b and the event without UID twice
}

TEST(VCalImport, FileThatCannotBeReadImportsNothing) {
  KeepingTarget target;
  VCalImportCounts counts;
  EXPECT_FALSE(ImportVCalendarFile("/no/such/folder/x.vcs", &target, &counts));
  converttest::ScratchFolder folder;
  EXPECT_TRUE(ImportVCalendarFile(folder.Write("a.vcs", Calendar(Event(""))), &target, &counts));
  EXPECT_EQ(1, counts.added);
}

// Inputs the fuzz target once hung or overflowed the stack on: each imports
// (wholly, partly or not at all) and returns; the test's time-out catches a hang.
TEST(VCalImport, FuzzFindingsImportAndReturn) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VCAL_FUZZ_CORPUS)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    KeepingTarget target;
    Import(bytes.str(), &target);
    ++files;
  }
  EXPECT_GE(files, 3);
}

// Quoted-printable text is the UTF-8 bytes it encodes; a bare CR ends a line
// as CRLF does; a Base64 value of padding alone is an empty value; a
// property after a block's name on its line is read as the parser reads it.
TEST(VCalImport, EncodedValuesAndLineEnds) {
  const struct {
    std::string text;
    const char* name;
    const char* notes;
  } cases[] = {
      // CHARSET=UTF-8 values arrive in the code page, quoted-printable or
      // not; others are the code page's own bytes.
      {Calendar(Event("SUMMARY;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caf=C3=\r\n=A9 au lait\r\n")), "Caf\xe9 au lait",
       ""},
      {Calendar(Event("SUMMARY;QUOTED-PRINTABLE;CHARSET=utf-8:=E2=82=AC 5 Gr=C3=BC=C3=9Fe\r\n"
                      "DESCRIPTION;CHARSET=UTF-8;QUOTED-PRINTABLE:na=C3=AFve=0D=0Anext\r\n")),
       "\x80 5 Gr\xFC\xDF" "e", "na\xEFve\r\nnext"},
      {Calendar(Event("SUMMARY;CHARSET=UTF-8:\xE4\xB8\xAD caf\xC3\xA9\x80\r\nDESCRIPTION;CHARSET=UTF-8:Caf\xC3\xA9\r\n")),
       "? caf\xE9?", "Caf\xE9"},
      {Calendar(Event("SUMMARY:Caf\xE9\r\nDESCRIPTION;CHARSET=ISO-8859-1:Caf\xE9\r\n")), "Caf\xE9", "Caf\xE9"},
      {"BEGIN:VCALENDAR\rBEGIN:VEVENT\rDTSTART:20240310T090000\rSUMMARY;ENCODING=QUOTED-PRINTABLE:a=\r"
       "b\rDESCRIPTION:n\rEND:VEVENT\rEND:VCALENDAR\r",
       "ab", "n"},
      {Calendar(Event("DESCRIPTION;ENCODING=BASE64:====\r\nSUMMARY:After\r\n")), "After", ""},
      {Calendar(Event("DESCRIPTION;ENCODING=BASE64:\r\n\r\n====\r\n \r\n=\r\nSUMMARY:After\r\n")), "After", ""},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\tSUMMARY;ENCODING=QUOTED-PRINTABLE:Caf=C3=A9 =\x13\r\n"
       "DTSTART:20240310T090000\r\nEND:VEVENT\tDESCRIPTION:n\r\nEND:VCALENDAR\r\n",
       "Caf\xc3\xa9 =\x13", ""},
  };
  for (const auto& c : cases) {
    KeepingTarget target;
    Import(c.text, &target);
    ASSERT_EQ(1u, target.events.size()) << c.text;
    EXPECT_EQ(c.name, target.events[0]->name) << c.text;
    EXPECT_EQ(c.notes, target.events[0]->notes) << c.text;
  }
}

// The walker over mutated calendars: no input may crash it, read out of
// bounds or hang (the test's time-out catches a hang).
TEST(VCalImport, MutatedInputRunsClean) {
  const std::string seed =
      Calendar(Event("DTEND:20240310T100000\r\nUID:x\r\nSUMMARY;ENCODING=QUOTED-PRINTABLE:a=3Db\r\n"
                     "DESCRIPTION;ENCODING=BASE64:aGVsbG8=\r\n\r\nDALARM:20240310T084500;PT5M;2;Hi\r\n"
                     "AALARM;TYPE=WAVE;VALUE=URL:19960415T235959; ; ; file:///a.wav\r\nX-KV-ALL-DAY:TRUE\r\n"));
  const char alphabet[] = ":;=\r\n\t ,\xff\x00" "ABEGINDV64";
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    std::string text = seed;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int k = 0; k < edits && !text.empty(); ++k) {
      const size_t at = random() % text.size();
      switch (random() % 4) {
        case 0: text[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
        case 1: text.erase(at, 1 + random() % 12); break;
        case 2: text.insert(at, text.substr(random() % text.size(), 1 + random() % 20)); break;
        default: text.resize(at); break;
      }
    }
    KeepingTarget target;
    Import(text, &target);
  }
}

}  // namespace
