// The tagged-field codec: exact bytes of items, growth and its failure,
// structured items through a write and a read, and damaged records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/dates/date_range.h"
#include "model/dates/date_time.h"
#include "model/dates/duration.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_reader.h"
#include "model/events/field_buffer_tags.h"
#include "model/events/occurrence_override.h"
#include "model/events/occurrence_state.h"
#include "model/recurrence/recurrence_rule.h"
#include "model/services/model_services.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Record(const CFieldBuffer& b) { return Bytes(b.GetData(), b.GetData() + b.GetUsed()); }

CDateTime At(int day, int month, int year, int h, int m, int zone = CDateTime::kFloating) {
  CDateTime d(day, month, year, zone);
  d.SetTime(h, m, 0);
  return d;
}

// The only item of a record, for the typed reads.
FieldItem OnlyItem(const CFieldBuffer& b) {
  CFieldReader r(b.GetData(), b.GetUsed());
  FieldItem item;
  EXPECT_TRUE(r.Next(&item));
  FieldItem extra;
  EXPECT_FALSE(r.Next(&extra));
  EXPECT_FALSE(r.HasError());
  return item;
}

class RecordingShell : public IShellServices {
 public:
  FontHandle CreatePointFont(const LogFont&) override { return nullptr; }
  void DeleteFont(FontHandle) override {}
  bool FlashWindowInTaskbar(WindowHandle, unsigned) override { return false; }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;
};

TEST(FieldItems, TheExactBytesOfATextAndADateTime) {
  CFieldBuffer b;
  ASSERT_TRUE(b.PutString(fieldtag::kName, "Bob"));
  EXPECT_EQ(Record(b), (Bytes{0x17, 0x00, 0x04, 0x00, 0x42, 0x6F, 0x62, 0x00}));
  b.Reset();
  ASSERT_TRUE(b.PutDateTime(fieldtag::kStart, At(1, 1, 2000, 9, 0)));
  EXPECT_EQ(Record(b), (Bytes{0x08, 0x00, 0x0A, 0x00, 0x59, 0x68, 0x25, 0x00, 0x90, 0x7E, 0x00, 0x00, 0x00, 0x00}));
}

TEST(FieldItems, ScalarsAreLittleEndianAndBytesSignExtend) {
  CFieldBuffer b;
  ASSERT_TRUE(b.PutByte(28, -1));
  ASSERT_TRUE(b.PutShort(29, -300));
  ASSERT_TRUE(b.PutInt(53, 0x01020304));
  EXPECT_EQ(Record(b), (Bytes{28, 0, 1, 0, 0xFF, 29, 0, 2, 0, 0xD4, 0xFE, 53, 0, 4, 0, 4, 3, 2, 1}));
  CFieldReader r(b.GetData(), b.GetUsed());
  FieldItem item;
  int16_t s = 0;
  int32_t i = 0;
  ASSERT_TRUE(r.Next(&item));
  ASSERT_TRUE(CFieldReader::ReadByte(item, &s));
  EXPECT_EQ(s, -1);
  ASSERT_TRUE(r.Next(&item));
  ASSERT_TRUE(CFieldReader::ReadShort(item, &s));
  EXPECT_EQ(s, -300);
  ASSERT_TRUE(r.Next(&item));
  ASSERT_TRUE(CFieldReader::ReadInt(item, &i));
  EXPECT_EQ(i, 0x01020304);
  EXPECT_FALSE(CFieldReader::ReadShort(item, &s));  // a 4-byte item is no short
}

TEST(FieldItems, NothingIsWrittenForValuesThatFollowTheSettingOrAreEmpty) {
  CFieldBuffer b;
  EXPECT_TRUE(b.PutByteIfSet(42, -2));
  EXPECT_TRUE(b.PutShortIfSet(54, -2));
  EXPECT_TRUE(b.PutIntIfSet(53, -2));
  EXPECT_TRUE(b.PutString(9, ""));
  EXPECT_TRUE(b.PutByteList(506, {}));
  EXPECT_TRUE(b.PutWordList(507, {}));
  EXPECT_EQ(b.GetUsed(), 0u);
  EXPECT_TRUE(b.PutByteIfSet(42, 0));
  EXPECT_EQ(b.GetUsed(), 5u);
  EXPECT_FALSE(b.WriteFailed());
}

TEST(FieldItems, ValuesThatDoNotFitTheirWidthAreRefused) {
  CFieldBuffer b;
  ASSERT_TRUE(b.PutString(26, "uid"));
  const uint32_t before = b.GetUsed();
  EXPECT_FALSE(b.PutByte(28, 200));
  EXPECT_FALSE(b.PutShort(29, 40000));
  EXPECT_FALSE(b.PutByteList(506, {1, 300}));
  EXPECT_EQ(b.GetUsed(), before);
  EXPECT_TRUE(b.WriteFailed());
  b.Reset();
  EXPECT_FALSE(b.WriteFailed());
  EXPECT_EQ(b.GetUsed(), 0u);
}

TEST(FieldItems, ATextTooLongForTheItemLengthIsRefusedNotWrapped) {
  CFieldBuffer b;
  ASSERT_TRUE(b.PutString(9, std::string(65534, 'n')));  // 65535 bytes with its NUL: the largest
  EXPECT_EQ(b.GetUsed(), 4u + 65535u);
  std::string back;
  ASSERT_TRUE(CFieldReader::ReadString(OnlyItem(b), &back));
  EXPECT_EQ(back.size(), 65534u);
  b.Reset();
  EXPECT_FALSE(b.PutString(9, std::string(65535, 'n')));
  EXPECT_EQ(b.GetUsed(), 0u);
  EXPECT_TRUE(b.WriteFailed());
}

TEST(FieldItems, ListsKeepTheirSigns) {
  CFieldBuffer b;
  ASSERT_TRUE(b.PutByteList(506, {-1, 31}));
  ASSERT_TRUE(b.PutWordList(507, {-366, 200}));
  EXPECT_EQ(Record(b), (Bytes{0xFA, 0x01, 2, 0, 0xFF, 31, 0xFB, 0x01, 4, 0, 0x92, 0xFE, 200, 0}));
  CFieldReader r(b.GetData(), b.GetUsed());
  FieldItem item;
  std::vector<int16_t> v;
  ASSERT_TRUE(r.Next(&item));
  ASSERT_TRUE(CFieldReader::ReadByteList(item, &v));
  EXPECT_EQ(v, (std::vector<int16_t>{-1, 31}));
  ASSERT_TRUE(r.Next(&item));
  ASSERT_TRUE(CFieldReader::ReadWordList(item, &v));
  EXPECT_EQ(v, (std::vector<int16_t>{-366, 200}));
}

TEST(FieldBufferGrowth, ARecordPastTheFirstCapacityGetsHeadroom) {
  CFieldBuffer b;
  EXPECT_EQ(b.GetCapacity(), 2000u);
  ASSERT_TRUE(b.PutString(9, std::string(1990, 'x')));  // 1995 bytes: fits
  EXPECT_EQ(b.GetCapacity(), 2000u);
  ASSERT_TRUE(b.PutString(23, "abcdefgh"));  // 13 more
  EXPECT_EQ(b.GetCapacity(), 2000u + 13u + 300u);
  EXPECT_EQ(b.GetUsed(), 2008u);
}

TEST(FieldBufferGrowth, AFailedGrowthFailsTheWriteAndKeepsTheRecord) {
  RecordingShell shell;
  ModelServices services;
  services.shell = &shell;
  ScopedModelServices scope(services);

  CFieldBuffer b;
  b.SetCapacityLimitForTesting(2000);
  ASSERT_TRUE(b.PutString(26, "uid-1"));
  const Bytes before = Record(b);
  EXPECT_FALSE(b.PutString(9, std::string(3000, 'x')));
  EXPECT_EQ(Record(b), before);
  EXPECT_TRUE(b.WriteFailed());
  ASSERT_EQ(shell.errors.size(), 1u);
  EXPECT_EQ(shell.errors[0], "Error writing event to file.\n\nOut of memory.");
  EXPECT_EQ(b.GetCapacity(), 2000u);
}

TEST(FieldBufferGrowth, ANestedItemThatLostAnInnerItemIsRemovedWhole) {
  CFieldBuffer b;
  b.SetCapacityLimitForTesting(2000);
  ASSERT_TRUE(b.PutString(26, "uid"));
  const uint32_t before = b.GetUsed();
  COccurrenceOverride o;
  o.mask = COccurrenceOverride::kNotes | COccurrenceOverride::kName;
  o.name = "short";
  o.notes = std::string(2500, 'n');
  EXPECT_FALSE(b.PutOccurrenceOverride(41, o, At(3, 3, 2005, 9, 0)));
  EXPECT_EQ(b.GetUsed(), before);
  EXPECT_TRUE(b.WriteFailed());
}

TEST(StructuredItems, DateTimesKeepTheirZoneAndTzid) {
  CFieldBuffer b;
  CDateTime named = At(15, 6, 2005, 14, 30, CDateTime::kNamedZone);
  named.SetTzid("Europe/Berlin");
  ASSERT_TRUE(b.PutDateTime(8, named));
  FieldItem item = OnlyItem(b);
  EXPECT_EQ(item.length, 10 + 13);
  CDateTime back;
  ASSERT_TRUE(CFieldReader::ReadDateTime(item, &back));
  EXPECT_TRUE(back.IsIdenticalTo(named));

  b.Reset();
  CDateTime noTime(2, 2, 2005, CDateTime::kUtc);
  noTime.SetSecondsOfDay(CDateTime::kNoTimeOfDay);
  ASSERT_TRUE(b.PutDateTime(8, noTime));
  ASSERT_TRUE(CFieldReader::ReadDateTime(OnlyItem(b), &back));
  EXPECT_TRUE(back.IsIdenticalTo(noTime));
}

TEST(StructuredItems, DurationsAreThirtyBytesWeeksBeforeDays) {
  CDuration d;
  d.sign = -1;
  d.years = 1;
  d.months = 2;
  d.weeks = 3;
  d.days = 4;
  d.hours = 5;
  d.minutes = 6;
  d.seconds = 7;
  CFieldBuffer b;
  ASSERT_TRUE(b.PutDuration(35, d));
  FieldItem item = OnlyItem(b);
  ASSERT_EQ(item.length, 30);
  EXPECT_EQ(item.data[8], 3);   // weeks
  EXPECT_EQ(item.data[12], 4);  // days
  EXPECT_EQ(item.data[28], 0xFF);
  CDuration back;
  ASSERT_TRUE(CFieldReader::ReadDuration(item, &back));
  EXPECT_TRUE(back == d);
}

CRecurrenceRule* FullRule(const CDateTime* start) {
  auto* r = new CRecurrenceRule(start);
  r->frequency = CRecurrenceRule::kMonthly;
  r->interval = 3;
  r->weekStart = 7;
  r->count = 0;
  r->until = At(31, 12, 2010, 9, 0);
  r->offsetDays = -2;
  r->AddByDayOrdinal(2, -1);
  r->AddByDayOrdinal(5, 3);
  r->byMonthDay = {-1, 15};
  r->byWeekNo = {-53, 1};
  r->byYearDay = {-366, 100};
  r->bySetPos = {-1};
  r->byMonth = {2, 12};
  return r;
}

TEST(RuleItems, EveryStoredFieldOfARuleRoundTrips) {
  CDateTime start = At(1, 3, 2005, 9, 0);
  std::unique_ptr<CRecurrenceRule> rule(FullRule(&start));
  CFieldBuffer b;
  ASSERT_TRUE(b.PutRecurrenceRule(17, *rule));
  CRecurrenceRule back(&start);
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(OnlyItem(b), &back));
  EXPECT_EQ(back.frequency, CRecurrenceRule::kMonthly);
  EXPECT_EQ(back.interval, 3);
  EXPECT_EQ(back.weekStart, 7);
  EXPECT_TRUE(back.until.IsIdenticalTo(rule->until));
  EXPECT_EQ(back.offsetDays, -2);
  EXPECT_EQ(back.byDayWeekdays, rule->byDayWeekdays);
  EXPECT_EQ(back.byDayOrdinals, rule->byDayOrdinals);
  EXPECT_EQ(back.byMonthDay, rule->byMonthDay);
  EXPECT_EQ(back.byWeekNo, rule->byWeekNo);
  EXPECT_EQ(back.byYearDay, rule->byYearDay);
  EXPECT_EQ(back.bySetPos, rule->bySetPos);
  EXPECT_EQ(back.byMonth, rule->byMonth);
  EXPECT_EQ(back.GetSeriesStart(), &start);
}

TEST(RuleItems, AnEasterRuleIsStoredAsYearlyWithItsMark) {
  CDateTime start = At(27, 3, 2005, 9, 0);
  CRecurrenceRule rule(&start);
  rule.frequency = CRecurrenceRule::kEaster;
  rule.offsetDays = -47;
  CFieldBuffer b;
  ASSERT_TRUE(b.PutRecurrenceRule(17, rule));
  FieldItem item = OnlyItem(b);
  CFieldReader inner(item);
  FieldItem f;
  ASSERT_TRUE(inner.Next(&f));
  int16_t v = 0;
  EXPECT_EQ(f.tag, 500);
  ASSERT_TRUE(CFieldReader::ReadShort(f, &v));
  EXPECT_EQ(v, 7);
  ASSERT_TRUE(inner.Next(&f));
  EXPECT_EQ(f.tag, 513);
  CRecurrenceRule back(&start);
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(item, &back));
  EXPECT_EQ(back.frequency, CRecurrenceRule::kEaster);
  EXPECT_EQ(back.offsetDays, -47);
}

TEST(RuleItems, TheEasterMarkCountsWhereverItStands) {
  CFieldBuffer b;
  uint32_t h = 0;
  ASSERT_TRUE(b.BeginNested(17, &h));
  b.PutShort(513, 1);
  b.PutShort(500, 7);
  b.PutInt(501, 1);
  ASSERT_TRUE(b.EndNested(17, h));
  CRecurrenceRule back;
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(OnlyItem(b), &back));
  EXPECT_EQ(back.frequency, CRecurrenceRule::kEaster);
}

TEST(RuleItems, ListsFilledFromTheStartAreNotStored) {
  CRecurrenceRule rule;
  rule.frequency = CRecurrenceRule::kWeekly;
  rule.AddByDay(3);
  rule.byDayAutoFilled = 1;
  rule.byMonth = {3};
  rule.byMonthAutoFilled = 1;
  CFieldBuffer b;
  ASSERT_TRUE(b.PutRecurrenceRule(17, rule));
  CRecurrenceRule back;
  back.byMonthDay = {5};  // replaced as a whole
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(OnlyItem(b), &back));
  EXPECT_TRUE(back.byDayWeekdays.empty());
  EXPECT_TRUE(back.byMonth.empty());
  EXPECT_TRUE(back.byMonthDay.empty());
}

// A rule item built by hand with one list item.
Bytes RuleWith(uint16_t tag, const std::vector<int16_t>& values, bool words) {
  CFieldBuffer b;
  uint32_t h = 0;
  b.BeginNested(17, &h);
  b.PutShort(500, 6);
  if (words)
    b.PutWordList(tag, values);
  else
    b.PutByteList(tag, values);
  b.EndNested(17, h);
  return Record(b);
}

bool ReadsAsRule(const Bytes& record) {
  CFieldReader r(record.data(), record.size());
  FieldItem item;
  if (!r.Next(&item)) return false;
  CRecurrenceRule rule;
  rule.byMonth = {4};
  bool ok = CFieldReader::ReadRecurrenceRule(item, &rule);
  if (!ok) {
    EXPECT_EQ(rule.byMonth, std::vector<int16_t>{4});  // untouched on failure
  }
  return ok;
}

TEST(RuleItems, ByValuesOutsideTheirRangeAreRefused) {
  EXPECT_TRUE(ReadsAsRule(RuleWith(510, {12}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(510, {13}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(510, {0}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(506, {32}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(506, {0}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(509, {-54}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(504, {8}, false)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(507, {367}, true)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(508, {-367}, true)));
  EXPECT_TRUE(ReadsAsRule(RuleWith(507, {-366}, true)));
  EXPECT_FALSE(ReadsAsRule(RuleWith(500, {9}, true)));  // frequency 9
  EXPECT_FALSE(ReadsAsRule(RuleWith(500, {7, 7}, true)));  // four bytes: no short
  EXPECT_FALSE(ReadsAsRule(RuleWith(511, {8}, true)));  // week start 8
  EXPECT_FALSE(ReadsAsRule(RuleWith(505, {1}, false)));  // ordinals without weekdays
}

TEST(RuleItems, AnInvalidRuleIsNotWritten) {
  CRecurrenceRule rule;
  rule.frequency = CRecurrenceRule::kMonthly;
  rule.byMonthDay = {40};
  CFieldBuffer b;
  EXPECT_FALSE(b.PutRecurrenceRule(17, rule));
  EXPECT_EQ(b.GetUsed(), 0u);
  rule.byMonthDay.clear();
  rule.count = -1;
  EXPECT_FALSE(b.PutRecurrenceRule(17, rule));
  rule.count = 0;
  rule.weekStart = 9;
  EXPECT_FALSE(b.PutRecurrenceRule(17, rule));
  rule.weekStart = 1;
  rule.AddByDayOrdinal(2, 60);
  EXPECT_FALSE(b.PutRecurrenceRule(17, rule));
  EXPECT_EQ(b.GetUsed(), 0u);
}

TEST(RuleItems, ARuleWithoutFrequencyIsKeptAsItIs) {
  // A new event of an unknown recurrence kind has such a rule; it must
  // still save and load.
  CRecurrenceRule rule;
  rule.interval = 4;
  CFieldBuffer b;
  ASSERT_TRUE(b.PutRecurrenceRule(17, rule));
  CRecurrenceRule back;
  back.frequency = CRecurrenceRule::kDaily;
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(OnlyItem(b), &back));
  EXPECT_EQ(back.frequency, CRecurrenceRule::kUnset);
  EXPECT_EQ(back.interval, 4);
}

TEST(RuleItems, AnExclusionRuleKeepsItsOwnStartFlag) {
  CRecurrenceRule rule;
  rule.frequency = CRecurrenceRule::kWeekly;
  CFieldBuffer b;
  ASSERT_TRUE(b.PutRecurrenceRule(57, rule));
  CRecurrenceRule exclusion;
  exclusion.startIsOccurrence = 0;
  ASSERT_TRUE(CFieldReader::ReadRecurrenceRule(OnlyItem(b), &exclusion));
  EXPECT_EQ(exclusion.startIsOccurrence, 0);
  EXPECT_EQ(exclusion.frequency, CRecurrenceRule::kWeekly);
}

TEST(OverrideItems, MovedTextsUrlAndAlarmRoundTrip) {
  COccurrenceOverride o;
  o.moved = 1;
  o.start = At(5, 3, 2005, 14, 0);
  o.end = At(5, 3, 2005, 15, 0);
  o.mask = COccurrenceOverride::kName | COccurrenceOverride::kType | COccurrenceOverride::kNotes |
           COccurrenceOverride::kUrl | COccurrenceOverride::kAlarm;
  o.name = "Moved";
  o.type = "Work";
  o.notes = "later";
  o.url = "http://x.org/o";
  o.leadTime.sign = 1;
  o.leadTime.minutes = 15;
  o.alarmOn = 0;
  const CDateTime scheduled = At(3, 3, 2005, 9, 0);
  CFieldBuffer b;
  ASSERT_TRUE(b.PutOccurrenceOverride(41, o, scheduled));
  COccurrenceOverride back;
  CDateTime when;
  ASSERT_TRUE(CFieldReader::ReadOccurrenceOverride(OnlyItem(b), &back, &when));
  EXPECT_TRUE(when.IsIdenticalTo(scheduled));
  EXPECT_EQ(back.moved, 1);
  EXPECT_TRUE(back.start.IsIdenticalTo(o.start));
  EXPECT_TRUE(back.end.IsIdenticalTo(o.end));
  EXPECT_EQ(back.mask, o.mask);
  EXPECT_EQ(back.name, "Moved");
  EXPECT_EQ(back.type, "Work");
  EXPECT_EQ(back.notes, "later");
  EXPECT_EQ(back.url, "http://x.org/o");
  EXPECT_TRUE(back.leadTime == o.leadTime);
  EXPECT_EQ(back.alarmOn, 0);
}

TEST(OverrideItems, AnOverrideOfOnlyItsUrlKeepsTheUrl) {
  COccurrenceOverride o;
  o.mask = COccurrenceOverride::kUrl;
  o.url = "http://x.org/only";
  CFieldBuffer b;
  ASSERT_TRUE(b.PutOccurrenceOverride(41, o, At(3, 3, 2005, 9, 0)));
  COccurrenceOverride back;
  CDateTime when;
  ASSERT_TRUE(CFieldReader::ReadOccurrenceOverride(OnlyItem(b), &back, &when));
  EXPECT_EQ(back.mask, COccurrenceOverride::kUrl);
  EXPECT_EQ(back.url, "http://x.org/only");
  EXPECT_EQ(back.moved, 0);
}

TEST(OverrideItems, AnOverrideWithoutItsDateIsRefused) {
  CFieldBuffer b;
  uint32_t h = 0;
  b.BeginNested(41, &h);
  b.PutString(23, "no date");
  b.EndNested(41, h);
  COccurrenceOverride back;
  CDateTime when;
  EXPECT_FALSE(CFieldReader::ReadOccurrenceOverride(OnlyItem(b), &back, &when));
}

TEST(StateItems, StatesAndRangesRoundTrip) {
  COccurrenceState s(1, At(4, 3, 2005, 9, 10));
  const CDateTime date = At(4, 3, 2005, 9, 0);
  CDateRange range(At(7, 3, 2005, 10, 0), At(7, 3, 2005, 12, 0));
  CFieldBuffer b;
  ASSERT_TRUE(b.PutOccurrenceState(37, s, date));
  ASSERT_TRUE(b.PutDateRange(15, range));
  CFieldReader r(b.GetData(), b.GetUsed());
  FieldItem item;
  ASSERT_TRUE(r.Next(&item));
  COccurrenceState sb;
  CDateTime db;
  ASSERT_TRUE(CFieldReader::ReadOccurrenceState(item, &sb, &db));
  EXPECT_EQ(sb.acknowledged, 1);
  EXPECT_TRUE(sb.snoozeTime.IsIdenticalTo(s.snoozeTime));
  EXPECT_TRUE(db.IsIdenticalTo(date));
  ASSERT_TRUE(r.Next(&item));
  CDateRange rb;
  ASSERT_TRUE(CFieldReader::ReadDateRange(item, &rb));
  EXPECT_TRUE(rb.IsIdenticalTo(range));
}

TEST(DamagedItems, DateTimesAndDurationsOutOfRangeAreRefused) {
  CFieldBuffer b;
  b.PutDateTime(8, At(1, 1, 2000, 9, 0));
  Bytes rec = Record(b);
  CDateTime out = At(2, 2, 2002, 2, 0);
  const CDateTime before = out;
  auto read = [&](const Bytes& r) {
    CFieldReader walk(r.data(), r.size());
    FieldItem item;
    return walk.Next(&item) && CFieldReader::ReadDateTime(item, &out);
  };
  Bytes bad = rec;
  bad[12] = 3;  // zone kind
  EXPECT_FALSE(read(bad));
  bad = rec;
  bad[13] = 'x';  // no NUL
  EXPECT_FALSE(read(bad));
  bad = rec;
  bad[10] = 0x10;  // seconds far past one day
  EXPECT_FALSE(read(bad));
  bad = rec;
  bad[7] = 0x80;  // a negative Julian day
  EXPECT_FALSE(read(bad));
  EXPECT_TRUE(out.IsIdenticalTo(before));

  CDuration d;
  d.sign = 1;
  d.years = 0x7FFFFFFF;
  b.Reset();
  EXPECT_FALSE(b.PutDuration(35, d));  // the writer refuses what the reader would
  EXPECT_EQ(b.GetUsed(), 0u);
  ASSERT_TRUE(b.PutDuration(35, CDuration::Days(1)));
  Bytes huge = Record(b);
  huge[4 + 3] = 0x7F;  // years, most significant byte
  CDuration back;
  CFieldReader walk(huge.data(), huge.size());
  FieldItem item;
  ASSERT_TRUE(walk.Next(&item));
  EXPECT_FALSE(CFieldReader::ReadDuration(item, &back));

  CDateTime overlong = At(1, 1, 2000, 25, 0);  // SetTime does not check its range
  b.Reset();
  EXPECT_FALSE(b.PutDateTime(8, overlong));
  EXPECT_EQ(b.GetUsed(), 0u);
  EXPECT_TRUE(b.WriteFailed());
}

TEST(DamagedRecords, TheWalkStopsAtACutOrOverlongItem) {
  CFieldBuffer b;
  b.PutString(23, "Bob");
  b.PutInt(53, 7);
  Bytes rec = Record(b);
  FieldItem item;
  {
    CFieldReader r(rec.data(), rec.size() - 1);
    ASSERT_TRUE(r.Next(&item));
    EXPECT_FALSE(r.Next(&item));
    EXPECT_TRUE(r.HasError());
  }
  {
    Bytes longer = rec;
    longer[2] = 0x40;  // "Bob" claims 64 bytes
    CFieldReader r(longer.data(), longer.size());
    EXPECT_FALSE(r.Next(&item));
    EXPECT_TRUE(r.HasError());
  }
  {
    Bytes padded = rec;
    padded.insert(padded.end(), {0, 0, 0});
    CFieldReader r(padded.data(), padded.size());
    ASSERT_TRUE(r.Next(&item));
    ASSERT_TRUE(r.Next(&item));
    EXPECT_FALSE(r.Next(&item));
    EXPECT_FALSE(r.HasError());
  }
  {
    Bytes unknown;
    CFieldBuffer u;
    u.PutString(999, "future");
    u.PutString(23, "Bob");
    unknown = Record(u);
    CFieldReader r(unknown.data(), unknown.size());
    ASSERT_TRUE(r.Next(&item));
    EXPECT_EQ(item.tag, 999);
    ASSERT_TRUE(r.Next(&item));
    EXPECT_EQ(item.tag, 23);
  }
}

// Decodes every item of a record by its tag, as an event reader would;
// false on the first malformed item.
bool DecodeAll(const uint8_t* data, size_t size) {
  CFieldReader r(data, size);
  FieldItem item;
  while (r.Next(&item)) {
    bool ok = true;
    std::string text;
    CDateTime date;
    CDuration duration;
    CDateRange range;
    COccurrenceState state;
    COccurrenceOverride over;
    CDateTime start;
    CRecurrenceRule rule(&start);
    int16_t s;
    switch (item.tag) {
      case 23:
      case 26:
        ok = CFieldReader::ReadString(item, &text);
        break;
      case 8:
      case 11:
        ok = CFieldReader::ReadDateTime(item, &date);
        break;
      case 28:
        ok = CFieldReader::ReadByte(item, &s);
        break;
      case 35:
        ok = CFieldReader::ReadDuration(item, &duration);
        break;
      case 17:
        ok = CFieldReader::ReadRecurrenceRule(item, &rule);
        break;
      case 15:
        ok = CFieldReader::ReadDateRange(item, &range);
        break;
      case 37:
        ok = CFieldReader::ReadOccurrenceState(item, &state, &date);
        break;
      case 41:
        ok = CFieldReader::ReadOccurrenceOverride(item, &over, &date);
        break;
      default:
        break;
    }
    if (!ok) return false;
  }
  return !r.HasError();
}

Bytes RichRecord() {
  CDateTime start = At(1, 3, 2005, 9, 0);
  std::unique_ptr<CRecurrenceRule> rule(FullRule(&start));
  COccurrenceOverride o;
  o.moved = 1;
  o.start = At(5, 3, 2005, 14, 0);
  o.end = At(5, 3, 2005, 15, 0);
  o.mask = 0x1F;
  o.name = "n";
  o.url = "u";
  o.leadTime.sign = 1;
  o.leadTime.minutes = 5;
  CDuration lead;
  lead.sign = 1;
  lead.minutes = 15;
  CFieldBuffer b;
  b.PutString(26, "uid-1@host");
  b.PutString(23, "Trip");
  b.PutDateTime(8, start);
  b.PutByte(28, 1);
  b.PutDuration(35, lead);
  b.PutRecurrenceRule(17, *rule);
  b.PutDateTime(11, At(4, 3, 2005, 9, 0));
  b.PutDateRange(15, CDateRange(At(9, 3, 2005, 9, 0), At(9, 3, 2005, 10, 0)));
  b.PutOccurrenceState(37, COccurrenceState(1, CDateTime()), At(2, 3, 2005, 9, 0));
  b.PutOccurrenceOverride(41, o, At(3, 3, 2005, 9, 0));
  EXPECT_FALSE(b.WriteFailed());
  return Record(b);
}

TEST(DamagedRecords, EveryTruncationIsRejectedUnlessItEndsAtAnItemBoundary) {
  const Bytes rec = RichRecord();
  ASSERT_TRUE(DecodeAll(rec.data(), rec.size()));
  std::vector<size_t> boundaries{0};
  {
    CFieldReader r(rec.data(), rec.size());
    FieldItem item;
    while (r.Next(&item)) boundaries.push_back(r.GetOffset());
  }
  for (size_t n = 0; n < rec.size(); ++n) {
    // A copy of exactly n bytes, so the sanitizer sees any read past it.
    Bytes cut(rec.begin(), rec.begin() + static_cast<long>(n));
    bool atBoundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
    EXPECT_EQ(DecodeAll(cut.data(), cut.size()), atBoundary) << "cut at " << n;
  }
}

TEST(DamagedRecords, BitFlipsNeverReadOutsideTheRecord) {
  const Bytes rec = RichRecord();
  int rejected = 0;
  for (size_t i = 0; i < rec.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes flipped = rec;
      flipped[i] ^= static_cast<uint8_t>(1 << bit);
      if (!DecodeAll(flipped.data(), flipped.size())) ++rejected;
    }
  }
  // Most flips land in lengths, ranges and terminators and are caught;
  // the rest decode to other, valid values.
  EXPECT_GT(rejected, 0);
}

}  // namespace
