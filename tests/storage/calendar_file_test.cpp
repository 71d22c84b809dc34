// The event file as bytes: resources, the first record, the version rule,
// change serials through index 2, tombstones and UIDs sharing their first
// 200 bytes.
#include <cstring>
#include <ctime>
#include <fstream>

#include "isam/engine_api.h"
#include "platform/os_file.h"
#include "platform/os_file_faults.h"
#include "model/events/event_codec.h"
#include "storage/calendar_resources.h"
#include "storage/serial_section.h"
#include "storage/event_array.h"
#include "storage/storage_texts.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Resource(const CCalendarFile& file, const char* name, size_t size) {
  Bytes out(size, 0);
  const int32_t n = isam::EngineGetResource(file.dataFile, name, out.data(), static_cast<int32_t>(size), 16);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

// Every record in index-2 order: (kind, serial).
std::vector<std::pair<int, uint32_t>> BySerial(const CCalendarFile& file) {
  std::vector<std::pair<int, uint32_t>> out;
  Bytes buf(4096);
  uint8_t target[8] = {};
  int32_t len = 4096;
  const int16_t key = static_cast<int16_t>(file.dataFile + 2);
  for (int rc = isam::IsamReadVarRecordAtLeast(key, target, buf.data(), &len); rc == 0;
       len = 4096, rc = isam::IsamNextVarRecord(key, buf.data(), &len)) {
    uint32_t serial = 0;
    for (int i = 0; i < 4; ++i) serial |= static_cast<uint32_t>(buf[6 + i]) << (8 * i);
    out.emplace_back(buf[0], serial);
  }
  return out;
}

using CalendarFileTest = StorageTest;

TEST_F(CalendarFileTest, ANewFileHoldsItsResourcesAndTheFirstRecordItsHeaderAndUid) {
  CCalendarFile file;
  ASSERT_EQ(1, file.CreateFile(Path("new.akv")));
  EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 'V', 'E', 'R', 'S', 'I', 'O', 'N', 0, 0, 0, 0x80, 0x40}),
            Resource(file, "VERSION", 20));
  const Bytes type = Resource(file, "FILETYPE", 24);
  ASSERT_EQ(24u, type.size());
  EXPECT_EQ(129, type[4]);
  EXPECT_EQ((Bytes{0, 0, 0, 0}), Bytes(type.begin() + 20, type.end()));
  const Bytes info = Resource(file, "CALINFO", 2044);
  ASSERT_GE(info.size(), 41u);
  EXPECT_EQ(130, info[4]);

  CEventArray events;
  ASSERT_EQ(1, file.AddEvent(NewEvent("Lunch", "abc"), 0, &events));
  Bytes rec(4096);
  int32_t len = 4096;
  ASSERT_EQ(0, isam::IsamFirstVarRecord(file.dataFile, rec.data(), &len));
  rec.resize(static_cast<size_t>(len));
  const Bytes head{0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0x1A, 0, 4, 0, 'a', 'b', 'c', 0, 23, 0};
  ASSERT_GE(rec.size(), head.size());
  EXPECT_EQ(head, Bytes(rec.begin(), rec.begin() + static_cast<long>(head.size())));
}

TEST_F(CalendarFileTest, RulesBeyondVersion4RewriteVersionAndOtherVersionsAreRefused) {
  struct Case {
    const char* what;
    void (*make)(CCalEvent*);
  } cases[] = {
      {"easter", [](CCalEvent* e) { e->recurrence.GetRule()->frequency = CRecurrenceRule::kEaster; }},
      {"setpos", [](CCalEvent* e) { e->recurrence.GetRule()->bySetPos = {1}; }},
      {"offset -2", [](CCalEvent* e) { e->recurrence.GetRule()->offsetDays = -2; }},
  };
  for (const Case& c : cases) {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("v.akv")));
    CCalEvent* e = NewEvent(c.what);
    caltest::MakeRecurring(*e, CRecurrenceRule::kYearly, caltest::At(20, 3, 2026, 9));
    c.make(e);
    CEventArray events;
    ASSERT_EQ(1, file.AddEvent(e, 0, &events)) << c.what;
    const Bytes v = Resource(file, "VERSION", 20);
    ASSERT_EQ(20u, v.size());
    EXPECT_EQ((Bytes{0, 0, 0xA0, 0x40}), Bytes(v.begin() + 16, v.end())) << c.what;
  }
  for (float refused : {5.1f, 3.9f}) {
    std::string p;
    {
      CCalendarFile file;
      ASSERT_EQ(1, file.CreateFile(Path("r.akv")));
      CEventArray events;
      ASSERT_EQ(1, file.AddEvent(NewEvent("x"), 0, &events));
      ASSERT_EQ(1, file.WriteVersion(refused));
      p = file.path;
    }
    prompts.texts.clear();
    CCalendarFile again;
    CEventArray events;
    EXPECT_EQ(0, again.Open(&events, p));
    EXPECT_EQ(std::vector<std::string>{storage_text::kNotVersion5}, prompts.texts);
    EXPECT_EQ(0u, events.size());
    EXPECT_FALSE(again.IsFileOpen());
    // The file is free again: it can be replaced.
    CCalendarFile replace;
    EXPECT_EQ(1, replace.CreateFile(p));
  }
}

TEST_F(CalendarFileTest, SerialsFollowIndexTwoAndADeleteLeavesAHigherTombstone) {
  std::string p;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("s.akv")));
    file.lastChangeSerial = 254;
    CEventArray events;
    ASSERT_EQ(1, file.AddEvent(NewEvent("a"), 0, &events));
    ASSERT_EQ(1, file.AddEvent(NewEvent("b"), 0, &events));
    EXPECT_EQ((std::vector<std::pair<int, uint32_t>>{{0, 255}, {0, 256}}), BySerial(file));
    ASSERT_EQ(1, file.DeleteEvent(events.at(0), &events, 0));
    EXPECT_EQ(257u, file.lastChangeSerial);
    EXPECT_EQ((std::vector<std::pair<int, uint32_t>>{{0, 256}, {1, 257}}), BySerial(file));
    // A delete over a tombstone succeeds.
    ASSERT_EQ(1, file.DeleteEvent(events.at(0), &events, 0));
    p = file.path;
  }
  CCalendarFile again;
  CEventArray events;
  ASSERT_EQ(1, again.Open(&events, p));
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ("b", events.at(0)->name);
  EXPECT_EQ(258u, again.lastChangeSerial);
}

TEST_F(CalendarFileTest, UidsSharingTheirFirst200BytesNeverOverwriteEachOther) {
  const std::string common(200, 'u');
  std::string p;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("u.akv")));
    CEventArray events;
    ASSERT_EQ(1, file.AddEvent(NewEvent("first", common + "0123456789"), 0, &events));
    CCalEvent* second = NewEvent("second", common + "abcdefghij");
    EXPECT_EQ(0, file.AddEvent(second, 0, &events));
    EXPECT_EQ(1u, events.size());
    delete second;
    // The same UID again rewrites its record.
    ASSERT_EQ(1, file.AddEvent(NewEvent("first again", common + "0123456789"), 0, &events));
    p = file.path;
  }
  CCalendarFile again;
  CEventArray events;
  ASSERT_EQ(1, again.Open(&events, p));
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ("first again", events.at(0)->name);
  EXPECT_EQ(common + "0123456789", events.at(0)->uid);
}

TEST_F(CalendarFileTest, CalInfoKeepsItsFlagsAndRefusesWhatItCannotHold) {
  std::string p;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("Work.akv")));
    file.name = "Work";
    file.nameFromPath = 1;
    file.address = "http://x.org/work.ics";
    file.password = "secret";
    file.rememberPassword = 0;
    file.subscribed = 1;
    ASSERT_EQ(1, file.WriteCalInfo());
    const std::string name = file.name;
    file.name = std::string(2100, 'n');
    EXPECT_EQ(0, file.WriteCalInfo());
    EXPECT_EQ(std::vector<std::string>{storage_text::kCalInfoTooLong}, prompts.texts);
    file.name = name;
    p = file.path;
  }
  CCalendarFile again;
  again.openState = CCalendarFile::kClosed;
  CEventArray events;
  ASSERT_EQ(1, again.Open(&events, p));
  EXPECT_EQ("Work", again.name);
  EXPECT_EQ(1, again.nameFromPath);
  EXPECT_EQ(1, again.subscribed);
  EXPECT_EQ("http://x.org/work.ics", again.address);
  EXPECT_EQ("", again.password);
  EXPECT_FALSE(again.IsFileOpen());
}

TEST_F(CalendarFileTest, AFileFilledAloneKeepsOthersOutThenSharesAgain) {
  CCalendarFile file;
  ASSERT_EQ(1, file.CreateFile(Path("alone.akv")));
  ASSERT_EQ(1, file.HoldAlone());
  CEventArray events;
  ASSERT_EQ(1, file.AddEvent(NewEvent("a", "u1"), 0, &events));
  ASSERT_EQ(1, file.AddEvent(NewEvent("b", "u2"), 0, &events));
  ASSERT_EQ(1, file.UpdateEvent(events.at(1), &events, 1, 0, 1));
  EXPECT_EQ((std::vector<std::pair<int, uint32_t>>{{0, 1}, {0, 3}}), BySerial(file));
  {
    CCalendarFile other;
    CEventArray seen;
    EXPECT_EQ(0, other.Open(&seen, file.path));
  }
  ASSERT_EQ(1, file.ShareAgain());
  EXPECT_FALSE(file.IsHeldAlone());

  // Shared again: another opener reads everything and its add is merged
  // into ours at our next write.
  CCalendarFile other;
  CEventArray seen;
  ASSERT_EQ(1, other.Open(&seen, file.path));
  EXPECT_EQ(2u, seen.size());
  ASSERT_EQ(1, other.AddEvent(NewEvent("c", "u3"), 0, &seen));
  ASSERT_EQ(1, file.AddEvent(NewEvent("d", "u4"), 0, &events));
  EXPECT_EQ(4u, events.size());
  EXPECT_EQ(5u, file.lastChangeSerial);

  // With another opener there, the file is not taken: adds go on shared.
  EXPECT_EQ(0, file.HoldAlone());
  EXPECT_FALSE(file.IsHeldAlone());
  ASSERT_EQ(1, file.AddEvent(NewEvent("e", "u5"), 0, &events));
  EXPECT_EQ(1, file.ShareAgain());
}

// Whether another holder of the file could enter its serial section at
// each automatic publish.
std::vector<bool> g_publishFoundSectionFree;
void ProbeSectionAtPublish(CCalendarFile& calendar, int) {
  SerialSection probe(calendar.path);
  g_publishFoundSectionFree.push_back(probe.Enter(0));
  probe.Leave();
}

// The automatic publish (a server, logins, questions) runs after the save
// has left the serial section; an inner Leave keeps an outer hold.
TEST_F(CalendarFileTest, TheSerialSectionNestsAndIsFreeWhileAPublishRuns) {
  CCalendarFile file;
  ASSERT_EQ(1, file.CreateFile(Path("pub.akv")));
  file.published = 1;
  file.publishAfterSave = 1;
  CCalendarFile::SetAutoPublisher(&ProbeSectionAtPublish);
  CEventArray events;
  g_publishFoundSectionFree.clear();
  EXPECT_EQ(1, file.AddEvent(NewEvent("a", "u1"), 1, &events));
  EXPECT_EQ(1, file.UpdateEvent(events.at(0), &events, 1, 1, 1));
  CCalendarFile::SetAutoPublisher(nullptr);
  EXPECT_EQ((std::vector<bool>{true, true}), g_publishFoundSectionFree);

  SerialSection outer(file.path), other(file.path);
  ASSERT_TRUE(outer.Enter(0));
  ASSERT_TRUE(outer.Enter(0));
  outer.Leave();
  EXPECT_FALSE(other.Enter(0));
  outer.Leave();
  EXPECT_TRUE(other.Enter(0));
  other.Leave();
}

// The engine stamps each header with the time of its close: those words
// (any four bytes reading as a time since `from`) are left out.
Bytes WithoutCloseTimes(Bytes bytes, uint32_t from) {
  const uint32_t to = static_cast<uint32_t>(std::time(nullptr)) + 1;
  for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
    const uint32_t v = bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24;
    if (v >= from && v <= to) std::memset(&bytes[i], 0, 4);
  }
  return bytes;
}

// A new file filled alone with its writes gathered in memory ends byte for
// byte as one written call by call; when a write, the flush or the replace
// fails on the way out, the file at the final name keeps its old bytes, the
// staged one is gone and the calendar has no file open.
TEST_F(CalendarFileTest, AGatheredFillMatchesADirectOneOrLeavesTheOldFile) {
  struct Case {
    const char* what;
    bool gather;
    bool fail;
    platform::FileFaultOp op;
  };
  const Case cases[] = {
      {"direct", false, false, platform::FileFaultOp::kWrite},
      {"gathered", true, false, platform::FileFaultOp::kWrite},
      {"write fails", true, true, platform::FileFaultOp::kWrite},
      {"flush fails", true, true, platform::FileFaultOp::kFlush},
      {"replace fails", true, true, platform::FileFaultOp::kReplace},
  };
  const std::string target = Path("filled.akv"), staged = Path("filled.akv.new~");
  const Bytes old = {'o', 'l', 'd'};
  const uint32_t from = static_cast<uint32_t>(std::time(nullptr));
  Bytes direct;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(target, std::ios::binary) << "old";
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(staged));
    ASSERT_EQ(1, file.HoldAlone(c.gather));
    CEventArray events;
    // Enough long UIDs to split index nodes and grow the file many times.
    for (int i = 0; i < 300; ++i)
      ASSERT_EQ(1, file.AddEvent(NewEvent("e" + std::to_string(i), std::string(150, 'u') + std::to_string(i)), 0,
                                 &events));
    ASSERT_EQ(1, file.UpdateEvent(events.at(7), &events, 1, 0, 1));
    if (c.fail) platform::ArmFileFault({c.op, 1, platform::FileFaultKind::kFail, false});
    const int committed = file.CommitFilled(target);
    platform::DisarmFileFaults();
    events.FreeEventsOf(&file);
    if (c.fail) {
      EXPECT_EQ(0, committed);
      EXPECT_EQ(old, ReadFileBytes(target));
      EXPECT_FALSE(platform::OsFileExists(staged.c_str()));
      EXPECT_FALSE(file.IsFileOpen());
      continue;
    }
    ASSERT_EQ(1, committed);
    EXPECT_EQ(target, file.path);
    EXPECT_FALSE(platform::OsFileExists(staged.c_str()));
    file.Close(nullptr);
    const Bytes bytes = ReadFileBytes(target);
    EXPECT_GT(bytes.size(), 100000u);
    if (!c.gather) direct = bytes;
    else EXPECT_TRUE(WithoutCloseTimes(bytes, from) == WithoutCloseTimes(direct, from));
  }
}

TEST(CalendarResources, ShortAndUnterminatedRecordsDecodeWithinTheirBounds) {
  CalInfo info;
  info.strings[0] = "Name";
  info.strings[1] = "addr";
  Bytes rec;
  ASSERT_TRUE(EncodeCalInfo(info, &rec));
  for (size_t cut : {size_t{0}, size_t{40}, size_t{41}, size_t{44}, rec.size() - 1}) {
    CalInfo out;
    const bool ok = DecodeCalInfo(rec.data(), cut, &out);
    EXPECT_EQ(cut >= 41, ok) << cut;
    if (cut == 44) {
      EXPECT_EQ("Nam", out.strings[0]);
    }
  }
  float v = 0;
  EXPECT_FALSE(DecodeVersion(EncodeVersion(4.0f).data(), 19, &v));
}

}  // namespace
}  // namespace storagetest

namespace storagetest {
namespace {

// The engine's release after a write fails once (42, the lock could not
// be let go), every other call goes through.
bool g_failRelease = false;
int ReleaseFailsOnce(int16_t mode) {
  const int rc = isam::EngineSetLockMode(mode);
  if (mode != 0 || !g_failRelease) return rc;
  g_failRelease = false;
  return 42;
}

// A record written whose lock then cannot be let go is in the file: the
// write says so apart from success and failure, and memory keeps the event.
TEST_F(CalendarFileTest, AWriteWhoseUnlockFailsKeepsTheEventAndSaysSo) {
  const std::string path = NewCalendarFile("unlock.akv");
  CCalendarFile::SetLockModeSetter(&ReleaseFailsOnce);
  for (const std::string write : {"add", "save"}) {
    SCOPED_TRACE(write);
    prompts.texts.clear();
    {
      CAlmacoraDoc doc;
      StartOn(&doc, {path});
      CCalendarFile* calendar = doc.calendars().items()[0];
      CCalEvent* event = write == "add" ? NewEvent("kept", "kept-uid") : doc.FindEventByUid("kept-uid", nullptr);
      ASSERT_NE(nullptr, event);
      event->name = write;
      g_failRelease = true;
      const int result = write == "add" ? calendar->AddEvent(event, 0, &doc.events())
                                        : calendar->UpdateEvent(event, &doc.events(), 1, 0, 1);
      EXPECT_EQ(CCalendarFile::kWriteUnlockFailed, result);
      EXPECT_TRUE(doc.events().Holds(event));
      EXPECT_EQ(calendar, event->calendar);
      ASSERT_EQ(1u, prompts.texts.size());  // the lock error, told once
      EXPECT_NE(std::string::npos, prompts.texts[0].find("currently being updated"));
    }
    CCalendarFile reread;
    CEventArray events;
    ASSERT_EQ(1, reread.Open(&events, path));
    ASSERT_NE(nullptr, events.FindInCalendar(&reread, "kept-uid"));
    EXPECT_EQ(write, events.FindInCalendar(&reread, "kept-uid")->name);
    reread.Close(&events);
  }
  CCalendarFile::SetLockModeSetter(nullptr);
}

}  // namespace
}  // namespace storagetest
