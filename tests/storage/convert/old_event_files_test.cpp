// Older event files: records into events, the three readers over files
// written byte by byte, damaged and hostile files.
#include <gtest/gtest.h>

#include <cstring>

#include "convert_fixture.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_tags.h"
#include "storage/convert/old_event_files.h"
#include "storage/convert/old_event_records.h"

namespace {

using converttest::KeepingTarget;
using converttest::ScratchFolder;
using converttest::ScriptedPrompts;

const CDateTime kToday(15, 6, 2026);  // a Monday

std::string Ical(const CDateTime& d) { return d.FormatICal(CDateTime::kAsStored); }

// A record image of the given size with shorts and texts put at offsets.
struct Bytes {
  explicit Bytes(size_t size) : b(size, '\0') {}
  Bytes& Short(size_t at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    return *this;
  }
  Bytes& Text(size_t at, const std::string& t) {
    std::memcpy(&b[at], t.data(), t.size());
    return *this;
  }
  std::string b;
};

// A 2.00 record: month, day, year, time, lead, alarm, days prior, name.
Bytes Record20(int month, int day, int year, int time = -1) {
  Bytes r(kRecord20Size);
  r.Short(0, month).Short(2, day).Short(4, year).Short(6, time).Short(8, 15).Short(10, 1).Short(12, 3);
  r.Text(14, "Name").Text(54, "Type").Text(94, "Notes").Short(308, 4095).Short(314, -1).Short(318, 1);
  return r;
}

std::unique_ptr<CCalEvent> Convert(const Bytes& r) {
  return ConvertVersion2Record(DecodeRecord20(reinterpret_cast<const uint8_t*>(r.b.data())), kToday);
}

TEST(OldEventRecords, KindsOfRecordsAndTheirStart) {
  const struct {
    const char* what;
    Bytes record;
    const char* start;  // nullptr: skipped
    int16_t frequency;  // -1 one-time
  } cases[] = {
      {"one-time at 10:00", Record20(3, 4, 2001, 600).Short(302, 1), "20010304T100000", -1},
      {"yearly with age", Record20(5, 6, 1970).Short(298, 1), "19700506T000000", CRecurrenceRule::kYearly},
      {"29 Feb, no year", Record20(2, 29, 1980).Short(298, 1).Short(300, 1), "20240229T000000",
       CRecurrenceRule::kYearly},
      {"29 Feb, next 2023", Record20(2, 29, 1980).Short(298, 1).Short(300, 1).Short(320, 1).Short(324, 2023),
       "20200229T000000", CRecurrenceRule::kYearly},
      {"monthly last day", Record20(1, 0, 1999).Short(296, 1), "20260630T000000", CRecurrenceRule::kMonthly},
      {"monthly 31st", Record20(1, 31, 1999).Short(296, 1), "20260531T000000", CRecurrenceRule::kMonthly},
      {"weekly", Record20(7, 8, 2002).Short(316, 1).Short(318, 2), "20020708T000000", CRecurrenceRule::kWeekly},
      {"first Monday", Record20(1, 1, 2000).Short(304, 1).Short(310, 1).Short(312, 1), "20260706T000000",
       CRecurrenceRule::kMonthly},
      {"day 45", Record20(1, 45, 2000).Short(302, 1), nullptr, 0},
      {"month 13", Record20(13, 1, 2000).Short(302, 1), nullptr, 0},
      {"month 0", Record20(0, 1, 2000).Short(298, 1), nullptr, 0},
      {"no such date", Record20(2, 30, 2000).Short(302, 1), nullptr, 0},
  };
  for (const auto& c : cases) {
    const auto e = Convert(c.record);
    if (c.start == nullptr) {
      EXPECT_EQ(nullptr, e) << c.what;
      continue;
    }
    ASSERT_NE(nullptr, e) << c.what;
    EXPECT_EQ(c.start, Ical(e->start)) << c.what;
    EXPECT_EQ(c.frequency, e->GetFrequency()) << c.what;
    EXPECT_EQ("Name", e->name);
    EXPECT_EQ("Notes", e->notes);
    EXPECT_EQ(1, e->alarmOn);
    EXPECT_EQ(CDuration::Minutes(15), e->leadTime);
    EXPECT_EQ(3, e->daysPrior);
  }
}

TEST(OldEventRecords, AdvancedRuleAndOneTwoRecord) {
  const auto e = Convert(Record20(1, 1, 2000).Short(304, 1).Short(310, 16 | 32).Short(312, 16).Short(314, 2030));
  ASSERT_NE(nullptr, e);
  const CRecurrenceRule* rule = e->recurrence.FindRule();
  ASSERT_NE(nullptr, rule);
  EXPECT_EQ((std::vector<int16_t>{5, 5}), rule->byDayWeekdays);
  EXPECT_EQ((std::vector<int16_t>{-1, 5}), rule->byDayOrdinals);
  EXPECT_EQ(32u, rule->byMonthDay.size());
  EXPECT_EQ(12u, rule->byMonth.size());
  EXPECT_EQ("20301231T235959", Ical(rule->until));
  EXPECT_EQ("20260626T000000", Ical(e->start));  // the last Friday of June
  EXPECT_EQ(1, e->hasNext);
  EXPECT_EQ(1, rule->startIsOccurrence);
  EXPECT_EQ(10, rule->yearSearchLimit);

  Bytes r12(kRecord12Size);
  r12.Short(0, 12).Short(2, 24).Short(4, 1995).Short(6, 2).Text(8, "Eve").Short(48, 1);
  const auto old = ConvertVersion2Record(DecodeRecord12(reinterpret_cast<const uint8_t*>(r12.b.data())), kToday);
  ASSERT_NE(nullptr, old);
  EXPECT_EQ(1, old->allDay);
  EXPECT_EQ(0, old->alarmOn);
  EXPECT_EQ(CDuration::Minutes(10), old->leadTime);
  EXPECT_EQ("Eve", old->name);
  EXPECT_EQ(1, old->calculateAge);
}

std::string Body35(const std::string& name, bool withStart = true) {
  CFieldBuffer b;
  b.PutString(fieldtag::kName, name);
  if (withStart) b.PutDateTime(fieldtag::kStart, CDateTime(1, 2, 2003));
  b.PutString(fieldtag::kUid, "old-uid");
  b.PutByte(fieldtag::kAllDay, 1);
  return std::string(reinterpret_cast<const char*>(b.GetData()), b.GetUsed());
}
std::string Record35(const std::string& body, bool deleted = false, int length = -1) {
  Bytes prefix(4);
  prefix.Short(0, deleted ? 0x100 : 0).Short(2, length < 0 ? static_cast<int>(body.size()) : length);
  return prefix.b + body;
}

class OldEventFilesTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const auto& e : target_.events) n.push_back(e->name);
    return n;
  }
  ScratchFolder folder_;
  KeepingTarget target_;
  ScriptedPrompts prompts_;
  OldReadCounts counts_;
};

TEST_F(OldEventFilesTest, ReadersTakeWholeRecordsToTheEnd) {
  const std::string f20 = folder_.Write("a.dat", std::string("Almacora 2.00 Event File") +
                                                     Record20(1, 2, 2003).Short(302, 1).b +
                                                     Record20(4, 5, 2006).Short(302, 1).Text(14, std::string("Two", 4)).b + "cut");
  ASSERT_TRUE(ReadEvents20(f20, &target_, &prompts_, &counts_));
  ASSERT_TRUE(ReadEvents20(f20, &target_, &prompts_, &counts_));
  EXPECT_EQ((std::vector<std::string>{"Name", "Two", "Name", "Two"}), Names());
  EXPECT_NE(target_.events[0]->uid, target_.events[2]->uid);

  target_.events.clear();
  const std::string last = Body35("Last");
  const std::string f35 = folder_.Write(
      "b.dat", std::string("Almacora 3.50 Event File") + Record35(Body35("Gone"), true) + Record35("") +
                   Record35(Body35("No start", false)) + Record35(Body35("Kept")) + Record35(last, false, 400));
  ASSERT_TRUE(ReadEvents35(f35, &target_, &prompts_, &counts_));
  EXPECT_EQ((std::vector<std::string>{"Kept", "Last"}), Names());
  EXPECT_EQ(5, counts_.records);
  EXPECT_NE("old-uid", target_.events[0]->uid);
  EXPECT_EQ(1, target_.events[0]->allDay);

  Bytes r12(kRecord12Size);
  r12.Short(0, 1).Short(2, 2).Short(4, 1990).Text(8, "Old").Short(52, 1);
  const std::string f12 = folder_.Write("events.dat", r12.b + r12.b + "short");
  std::filesystem::permissions(f12, std::filesystem::perms::owner_read);
  target_.events.clear();
  ASSERT_TRUE(ReadEvents12(f12, &target_, &prompts_, &counts_));
  EXPECT_EQ(2u, target_.events.size());
  EXPECT_EQ(r12.b + r12.b + "short", folder_.Read("events.dat"));
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(OldEventFilesTest, WrongHeadersAndMissingFilesAreReported) {
  const std::string f = folder_.Write("x.dat", std::string("Almacora 3.50 Event File"));
  EXPECT_FALSE(ReadEvents20(f, &target_, &prompts_, &counts_));
  EXPECT_TRUE(ReadEvents35(f, &target_, &prompts_, &counts_));  // header only: nothing to read
  EXPECT_FALSE(ReadEvents35(folder_.Write("y.dat", "Almacora 2.00"), &target_, &prompts_, &counts_));
  EXPECT_FALSE(ReadEvents12(folder_.Path("none.dat"), &target_, &prompts_, &counts_));
  ASSERT_EQ(3u, prompts_.shown.size());
  EXPECT_EQ("Error Reading Events File\nNot a Valid 2.0 File", prompts_.shown[0].text);
  EXPECT_EQ(ConvertIcon::kExclamation, prompts_.shown[0].icon);
  EXPECT_EQ("Error Reading Events File\nNot a Valid 3.x File", prompts_.shown[1].text);
  EXPECT_FALSE(prompts_.shown[2].text.empty());
  EXPECT_EQ(ConvertIcon::kInformation, prompts_.shown[2].icon);
}

TEST_F(OldEventFilesTest, VersionByHeaderOrExactName) {
  const struct {
    const char* name;
    std::string bytes;
    OldFileVersion version;
  } cases[] = {
      {"a.x", "Almacora 3.50 Event File", OldFileVersion::k35},
      {"events.dat", "Almacora 2.00 Event File....", OldFileVersion::k20},
      {"events.dat", "anything", OldFileVersion::k12},
      {"EVENTS.DAT", "anything", OldFileVersion::kNone},
      {"events.dat.bak", "anything", OldFileVersion::kNone},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    OldFileVersion v;
    int error = 0;
    ASSERT_TRUE(DetectOldEventFile(folder.Write(c.name, c.bytes), &v, &error)) << c.name;
    EXPECT_EQ(c.version, v) << c.name;
  }
}

// Damaged and hostile files end without a crash, a hang or a read past a
// buffer; what cannot be a date is skipped.
TEST_F(OldEventFilesTest, HostileFilesEndCleanly) {
  Bytes noNul(kRecord20Size);
  for (char& ch : noNul.b) ch = 'A';
  noNul.Short(0, 1).Short(2, 2).Short(4, 2000).Short(302, 1);
  Bytes garbage(kRecord20Size);
  for (size_t i = 0; i < garbage.b.size(); ++i) garbage.b[i] = static_cast<char>(i * 7919 % 251);
  const std::string f20 = folder_.Write(
      "h20.dat", std::string("Almacora 2.00 Event File") + noNul.b + Record20(13, 45, 2000).Short(296, 1).b +
                     Record20(1, 31, 32767).Short(304, 1).Short(310, 63).Short(312, 127).b + garbage.b +
                     Record20(2, 29, -32768).Short(298, 1).Short(300, 1).Short(320, 1).Short(324, 32767).b);
  ASSERT_TRUE(ReadEvents20(f20, &target_, &prompts_, &counts_));
  EXPECT_EQ(5, counts_.records);
  ASSERT_GE(target_.events.size(), 1u);
  EXPECT_EQ(std::string(40, 'A'), target_.events[0]->name);
  EXPECT_EQ(std::string(200, 'A'), target_.events[0]->notes);

  std::string body = Body35("x");
  body[2] = '\xFF';  // an item length past the end
  const std::string f35 = folder_.Write("h35.dat", std::string("Almacora 3.50 Event File") + Record35(body) +
                                                       Record35(Body35("y"), false, 0xFFFF) + "\x01\x02");
  ASSERT_TRUE(ReadEvents35(f35, &target_, &prompts_, &counts_));
  const std::string tail = folder_.Write("h35b.dat", std::string("Almacora 3.50 Event File") + "\x00\x00\xFF");
  ASSERT_TRUE(ReadEvents35(tail, &target_, &prompts_, &counts_));
  EXPECT_EQ(0, counts_.records);
}

}  // namespace
