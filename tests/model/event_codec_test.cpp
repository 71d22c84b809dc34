// Event records: every field of a fully populated event through a write and
// a read, the layout the calendar file's indexes rely on, and damaged
// records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/events/cal_event.h"
#include "model/events/event_codec.h"
#include "model/events/field_buffer.h"
#include "model/events/field_buffer_reader.h"
#include "model/events/field_buffer_tags.h"

namespace {

using Bytes = std::vector<uint8_t>;

CDateTime At(int day, int month, int year, int h, int m, int zone = CDateTime::kFloating) {
  CDateTime d(day, month, year, zone);
  d.SetTime(h, m, 0);
  return d;
}

void Populate(CCalEvent* e) {
  e->uid = "20050301T090000-12-345@HOST";
  e->name = "Trip";
  e->type = "Work";
  e->notes = "bring\nthe map";
  e->url = "http://x.org/trip";
  e->alarmSoundFile = "bell.wav";
  e->start = At(1, 3, 2005, 9, 0);
  e->end = At(1, 3, 2005, 17, 30);
  e->created = At(1, 2, 2005, 8, 0, CDateTime::kUtc);
  e->lastModified = At(2, 2, 2005, 8, 0, CDateTime::kUtc);
  e->dtStamp = At(3, 2, 2005, 8, 0, CDateTime::kUtc);
  e->nextOccurrence = At(2, 3, 2005, 9, 0);
  e->sequence = 7;
  e->changeSerial = 256;
  e->oneTime = 0;
  e->acknowledged = 0;
  e->hasNext = 1;
  e->calculateAge = 1;
  e->daysPrior = 3;
  e->showEnd = 1;
  e->allDay = 0;
  e->disabled = 1;
  e->armedBy = "installation-mark";
  e->alarmOn = 1;
  e->alarmSuppressed = 1;
  e->leadTime.sign = 1;
  e->leadTime.minutes = 15;
  e->soundOn = 1;
  e->soundLength = -1;
  e->autoAcknowledge = 0;
  e->emailOn = 1;
  e->emailTo = "a@x.org";
  e->emailSubject = "Alarm : <name>!";
  e->emailBody = "body";
  e->runOn = 0;
  e->runAtAlarm = 1;
  e->runAtSnooze = 0;
  e->runFile = "C:\\run.exe";
  e->runWindowState = 3;
  e->runParameters = "/x";

  CRecurrenceRule* rule = e->recurrence.GetRule();
  rule->frequency = CRecurrenceRule::kDaily;
  rule->interval = 2;
  rule->count = 20;
  rule->AddByDayOrdinal(1, 0);
  rule->AddByDayOrdinal(3, 0);
  rule->bySetPos = {1, -1};
  CRecurrenceRule* ex = e->recurrence.GetExclusionRule();
  ex->frequency = CRecurrenceRule::kWeekly;
  ex->AddByDay(3);
  e->recurrence.excludedDates.InsertSorted(At(4, 3, 2005, 9, 0));
  e->recurrence.excludedDates.InsertSorted(At(8, 3, 2005, 9, 0));
  e->recurrence.addedDates.InsertSorted(CDateRange(At(20, 3, 2005, 10, 0), At(20, 3, 2005, 11, 0)));
  e->recurrence.addedDates.InsertSorted(CDateRange(At(21, 3, 2005, 10, 0)));
  e->occurrenceStates[At(2, 3, 2005, 9, 0)] = COccurrenceState(1, CDateTime());
  e->occurrenceStates[At(6, 3, 2005, 9, 0)] = COccurrenceState(0, At(6, 3, 2005, 8, 55));
  COccurrenceOverride& moved = e->occurrenceOverrides[At(3, 3, 2005, 9, 0)];
  moved.moved = 1;
  moved.start = At(5, 3, 2005, 14, 0);
  moved.end = At(5, 3, 2005, 15, 0);
  moved.mask = COccurrenceOverride::kName | COccurrenceOverride::kUrl | COccurrenceOverride::kAlarm;
  moved.name = "Trip (late)";
  moved.url = "http://x.org/late";
  moved.leadTime.sign = 1;
  moved.leadTime.hours = 1;
  moved.alarmOn = 0;
  COccurrenceOverride& notes = e->occurrenceOverrides[At(7, 3, 2005, 9, 0)];
  notes.mask = COccurrenceOverride::kNotes | COccurrenceOverride::kType;
  notes.notes = "other notes";
  notes.type = "Holiday";
}

Bytes Encode(const CCalEvent& e) {
  CFieldBuffer b;
  EXPECT_TRUE(EncodeEventRecord(e, kEventRecordLive, &b));
  return Bytes(b.GetData(), b.GetData() + b.GetUsed());
}

void ExpectSameRule(const CRecurrenceRule* a, const CRecurrenceRule* b) {
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->frequency, b->frequency);
  EXPECT_EQ(a->interval, b->interval);
  EXPECT_EQ(a->count, b->count);
  EXPECT_EQ(a->weekStart, b->weekStart);
  EXPECT_EQ(a->offsetDays, b->offsetDays);
  EXPECT_TRUE(a->until.IsIdenticalTo(b->until));
  EXPECT_EQ(a->byDayWeekdays, b->byDayWeekdays);
  EXPECT_EQ(a->byDayOrdinals, b->byDayOrdinals);
  EXPECT_EQ(a->bySetPos, b->bySetPos);
  EXPECT_EQ(a->startIsOccurrence, b->startIsOccurrence);
}

TEST(EventRecord, EveryFieldOfAFullyPopulatedEventRoundTrips) {
  CCalEvent e;
  Populate(&e);
  const Bytes rec = Encode(e);
  CCalEvent r;
  EventRecordHeader h;
  ASSERT_TRUE(DecodeEventRecord(rec.data(), rec.size(), &r, &h));
  EXPECT_EQ(h.kind, kEventRecordLive);
  EXPECT_EQ(h.sequence, 7);
  EXPECT_EQ(h.changeSerial, 256);

  EXPECT_EQ(r.uid, e.uid);
  EXPECT_EQ(r.name, e.name);
  EXPECT_EQ(r.type, e.type);
  EXPECT_EQ(r.notes, e.notes);
  EXPECT_EQ(r.url, e.url);
  EXPECT_EQ(r.alarmSoundFile, e.alarmSoundFile);
  for (auto pair : {std::make_pair(&r.start, &e.start), std::make_pair(&r.end, &e.end),
                    std::make_pair(&r.created, &e.created), std::make_pair(&r.lastModified, &e.lastModified),
                    std::make_pair(&r.dtStamp, &e.dtStamp), std::make_pair(&r.nextOccurrence, &e.nextOccurrence)})
    EXPECT_TRUE(pair.first->IsIdenticalTo(*pair.second));
  EXPECT_EQ(r.sequence, 7);
  EXPECT_EQ(r.changeSerial, 256);
  EXPECT_EQ(r.oneTime, 0);
  EXPECT_EQ(r.acknowledged, 0);
  EXPECT_EQ(r.hasNext, 1);
  EXPECT_EQ(r.calculateAge, 1);
  EXPECT_EQ(r.daysPrior, 3);
  EXPECT_EQ(r.showEnd, 1);
  EXPECT_EQ(r.allDay, 0);
  EXPECT_EQ(r.disabled, 1);
  EXPECT_EQ(r.armedBy, "installation-mark");
  EXPECT_EQ(r.alarmOn, 1);
  EXPECT_EQ(r.alarmSuppressed, 1);
  EXPECT_TRUE(r.leadTime == e.leadTime);
  EXPECT_EQ(r.soundOn, 1);
  EXPECT_EQ(r.soundLength, -1);
  EXPECT_EQ(r.autoAcknowledge, 0);
  EXPECT_EQ(r.emailOn, 1);
  EXPECT_EQ(r.emailTo, e.emailTo);
  EXPECT_EQ(r.emailSubject, e.emailSubject);
  EXPECT_EQ(r.emailBody, e.emailBody);
  EXPECT_EQ(r.runOn, 0);
  EXPECT_EQ(r.runAtAlarm, 1);
  EXPECT_EQ(r.runAtSnooze, 0);
  EXPECT_EQ(r.runFile, e.runFile);
  EXPECT_EQ(r.runWindowState, 3);
  EXPECT_EQ(r.runParameters, e.runParameters);

  ExpectSameRule(r.recurrence.FindRule(), e.recurrence.FindRule());
  ExpectSameRule(r.recurrence.FindExclusionRule(), e.recurrence.FindExclusionRule());
  EXPECT_EQ(r.recurrence.FindRule()->GetSeriesStart(), &r.start);
  ASSERT_EQ(r.recurrence.excludedDates.GetCount(), 2u);
  EXPECT_TRUE(r.recurrence.excludedDates.GetAt(1).IsIdenticalTo(At(8, 3, 2005, 9, 0)));
  ASSERT_EQ(r.recurrence.addedDates.GetCount(), 2u);
  EXPECT_TRUE(r.recurrence.addedDates.GetAt(0).IsIdenticalTo(e.recurrence.addedDates.GetAt(0)));
  EXPECT_TRUE(r.recurrence.addedDates.GetAt(1).IsIdenticalTo(e.recurrence.addedDates.GetAt(1)));
  EXPECT_TRUE(r.SameOccurrenceStates(e));
  ASSERT_EQ(r.occurrenceStates.GetCount(), 2u);
  ASSERT_EQ(r.occurrenceOverrides.GetCount(), 2u);
  const COccurrenceOverride* m = r.occurrenceOverrides.GetAssocAt(At(3, 3, 2005, 9, 0));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->moved, 1);
  EXPECT_TRUE(m->start.IsIdenticalTo(At(5, 3, 2005, 14, 0)));
  EXPECT_TRUE(m->end.IsIdenticalTo(At(5, 3, 2005, 15, 0)));
  EXPECT_EQ(m->mask, COccurrenceOverride::kName | COccurrenceOverride::kUrl | COccurrenceOverride::kAlarm);
  EXPECT_EQ(m->name, "Trip (late)");
  EXPECT_EQ(m->url, "http://x.org/late");
  EXPECT_EQ(m->leadTime.hours, 1);
  EXPECT_EQ(m->alarmOn, 0);
  const COccurrenceOverride* n = r.occurrenceOverrides.GetAssocAt(At(7, 3, 2005, 9, 0));
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->notes, "other notes");
  EXPECT_EQ(n->type, "Holiday");
  EXPECT_EQ(n->moved, 0);
  // The occurrence length follows the shown end.
  EXPECT_EQ(r.recurrence.occurrenceLength.hours, 8);
  EXPECT_EQ(r.recurrence.occurrenceLength.minutes, 30);
  // A second write of what was read gives the same bytes.
  EXPECT_EQ(Encode(r), rec);
}

std::vector<uint16_t> TagsOf(const Bytes& rec) {
  std::vector<uint16_t> tags;
  CFieldReader r(rec.data() + kEventRecordHeaderSize, rec.size() - kEventRecordHeaderSize);
  FieldItem item;
  while (r.Next(&item)) tags.push_back(item.tag);
  EXPECT_FALSE(r.HasError());
  return tags;
}

bool Has(const std::vector<uint16_t>& tags, uint16_t tag) {
  return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

TEST(EventRecord, TheHeaderAndTheUidComeFirst) {
  CCalEvent e;
  e.uid = "U";
  e.sequence = 0x01020304;
  e.changeSerial = 255;
  CFieldBuffer b;
  ASSERT_TRUE(EncodeEventRecord(e, kEventRecordDeleted, &b));
  const uint8_t* d = b.GetData();
  EXPECT_EQ(d[0], 1);
  EXPECT_EQ(d[1], 1);
  EXPECT_EQ(d[2], 4);
  EXPECT_EQ(d[5], 1);
  EXPECT_EQ(d[6], 255);
  EXPECT_EQ(d[10], 26);  // UID item header
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(d + 14)), "U");
}

TEST(EventRecord, AnEventWithoutUidIsNeverWritten) {
  CCalEvent e;
  CFieldBuffer b;
  EXPECT_FALSE(EncodeEventRecord(e, kEventRecordLive, &b));
}

TEST(EventRecord, OptionalItemsAreLeftOutAndReadBackAsTheirDefaults) {
  CCalEvent e;
  e.uid = "U";
  e.oneTime = 1;
  e.recurrence.GetRule()->frequency = CRecurrenceRule::kYearly;  // a one-time event keeps no rule
  e.showEnd = 0;
  e.alarmOn = 0;
  const Bytes rec = Encode(e);
  const std::vector<uint16_t> tags = TagsOf(rec);
  for (uint16_t absent : {fieldtag::kName, fieldtag::kNotes, fieldtag::kEnd, fieldtag::kLeadTime,
                          fieldtag::kRule, fieldtag::kSoundOn, fieldtag::kRunWindowState, fieldtag::kSoundLength,
                          fieldtag::kEmailTo, fieldtag::kUrl, fieldtag::kExclusionRule, fieldtag::kDisabled,
                          fieldtag::kArmedBy})
    EXPECT_FALSE(Has(tags, absent)) << absent;
  EXPECT_TRUE(Has(tags, fieldtag::kStart));
  EXPECT_TRUE(Has(tags, fieldtag::kAcknowledged));

  CCalEvent r;
  r.oneTime = 0;
  ASSERT_TRUE(DecodeEventRecord(rec.data(), rec.size(), &r));
  EXPECT_EQ(r.oneTime, 1);
  EXPECT_EQ(r.soundOn, -2);
  EXPECT_EQ(r.runWindowState, -2);
  EXPECT_EQ(r.soundLength, -2);
  EXPECT_EQ(r.emailTo, "");
  EXPECT_EQ(r.recurrence.occurrenceLength.sign, 0);
}

TEST(EventRecord, AShortRecordGivesTheReadingDefaults) {
  CCalEvent r;
  r.type = "kept?";
  r.dtStamp = At(1, 1, 2001, 1, 0);
  const uint8_t tiny[] = {0, 1, 0};
  ASSERT_TRUE(DecodeEventRecord(tiny, sizeof tiny, &r));
  EXPECT_EQ(r.type, "");
  EXPECT_EQ(r.oneTime, 1);
  EXPECT_TRUE(r.dtStamp.IsEmpty());
}

TEST(EventRecord, ItemsOfANewerVersionAreSkipped) {
  CCalEvent e;
  e.uid = "U";
  e.name = "Bob";
  CFieldBuffer b;
  ASSERT_TRUE(EncodeEventRecord(e, kEventRecordLive, &b));
  b.PutString(999, "from the future");
  b.PutInt(51, 0);
  Bytes rec(b.GetData(), b.GetData() + b.GetUsed());
  CCalEvent r;
  ASSERT_TRUE(DecodeEventRecord(rec.data(), rec.size(), &r));
  EXPECT_EQ(r.name, "Bob");
}

TEST(EventRecord, AFailedItemFailsTheWholeRecord) {
  CCalEvent e;
  Populate(&e);
  e.notes = std::string(70000, 'n');
  CFieldBuffer b;
  EXPECT_FALSE(EncodeEventRecord(e, kEventRecordLive, &b));
  e.notes = std::string(3000, 'n');
  b.SetCapacityLimitForTesting(2000);
  EXPECT_FALSE(EncodeEventRecord(e, kEventRecordLive, &b));
}

// Whatever the writer stores must load again: a value the reader refuses
// would otherwise lose the whole event at the next start.
TEST(EventRecord, ValuesTheReaderWouldRefuseAreNotWritten) {
  CCalEvent e;
  Populate(&e);
  CFieldBuffer b;
  ASSERT_TRUE(EncodeEventRecord(e, kEventRecordLive, &b));
  CCalEvent reloaded;
  ASSERT_TRUE(DecodeEventRecord(b.GetData(), b.GetUsed(), &reloaded));

  CCalEvent past;
  Populate(&past);
  past.start.SetTime(25, 0, 0);  // SetTime does not check its range
  EXPECT_FALSE(EncodeEventRecord(past, kEventRecordLive, &b));

  CCalEvent negative;
  Populate(&negative);
  negative.SetLeadTime(-15, "Minutes");
  EXPECT_FALSE(EncodeEventRecord(negative, kEventRecordLive, &b));
}

TEST(EventRecord, Version5IsNeededForEasterSetPositionsAndOffsets) {
  CCalEvent e;
  EXPECT_FALSE(EventNeedsVersion5(e));
  CRecurrenceRule* rule = e.recurrence.GetRule();
  rule->frequency = CRecurrenceRule::kYearly;
  EXPECT_FALSE(EventNeedsVersion5(e));
  rule->offsetDays = 1;
  EXPECT_TRUE(EventNeedsVersion5(e));
  rule->offsetDays = -2;  // a file of 4.0 could not hold it either
  EXPECT_TRUE(EventNeedsVersion5(e));
  rule->offsetDays = 0;
  rule->bySetPos = {1};
  EXPECT_TRUE(EventNeedsVersion5(e));
  rule->bySetPos.clear();
  rule->frequency = CRecurrenceRule::kEaster;
  EXPECT_TRUE(EventNeedsVersion5(e));
}

TEST(EventRecordDamage, TruncatedAndBitFlippedRecordsAreRejectedCleanly) {
  CCalEvent e;
  Populate(&e);
  const Bytes rec = Encode(e);
  std::vector<size_t> boundaries{kEventRecordHeaderSize};
  {
    CFieldReader r(rec.data() + kEventRecordHeaderSize, rec.size() - kEventRecordHeaderSize);
    FieldItem item;
    while (r.Next(&item)) boundaries.push_back(kEventRecordHeaderSize + r.GetOffset());
  }
  for (size_t n = kEventRecordHeaderSize; n < rec.size(); ++n) {
    Bytes cut(rec.begin(), rec.begin() + static_cast<long>(n));
    CCalEvent r;
    const bool atBoundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
    EXPECT_EQ(DecodeEventRecord(cut.data(), cut.size(), &r), atBoundary) << "cut at " << n;
  }
  int rejected = 0;
  for (size_t i = kEventRecordHeaderSize; i < rec.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes flipped = rec;
      flipped[i] ^= static_cast<uint8_t>(1 << bit);
      CCalEvent r;
      if (!DecodeEventRecord(flipped.data(), flipped.size(), &r)) ++rejected;
    }
  }
  EXPECT_GT(rejected, 0);
}

}  // namespace
