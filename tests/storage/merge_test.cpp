// Records another program wrote, merged into the array: held events are
// updated in place, ones the editor or the reminder window holds leave
// marked and their save asks; deletes elsewhere free the event after the
// views were told.
#include "storage/storage_texts.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using MergeTest = StorageTest;

// A record as another program would have written it for the held event.
CCalEvent* ChangedCopy(const CCalEvent& held, const std::string& name, int32_t sequence) {
  auto* copy = new CCalEvent();
  *copy = held;
  copy->uid = held.uid;
  copy->name = name;
  copy->sequence = sequence;
  return copy;
}

TEST_F(MergeTest, HeldEventsAreUpdatedOrMarkedAndTheirSavesAsk) {
  const std::string file = NewCalendarFile("m.akv");
  struct Case {
    const char* what;
    bool inEdit, listed;
    uint8_t kind;
    int mark;             // conflict mark expected on the held event (0: updated in place)
    const char* question; // asked by the held event's save
  } cases[] = {
      {"plain change", false, false, 0, 0, nullptr},
      {"editor change", true, false, 0, 1, storage_text::kChangedByOther},
      {"listed, alarm only", false, true, 0, 2, storage_text::kAlarmChangedByOther},
      {"editor, deleted", true, false, 1, 3, storage_text::kDeletedByOther},
  };
  for (const Case& c : cases) {
    CAlmacoraDoc doc;
    StartOn(&doc, {file});
    CCalEvent* added = NewEvent("original", std::string("uid-") + c.what);
    ASSERT_EQ(1, doc.AddEvent(added));
    CCalEvent* held = doc.FindEventByUid(added->uid, nullptr);
    held->inEdit = c.inEdit;
    held->listed = c.listed;
    CCalendarFile* calendar = held->calendar;
    const int32_t sequence = c.mark == 2 ? held->sequence : held->sequence + 1;
    calendar->MergeChangedEvent(&doc.events(), ChangedCopy(*held, "theirs", sequence), c.kind);
    EXPECT_EQ(c.mark, held->conflictMark) << c.what;
    if (c.mark == 0) {
      EXPECT_EQ("theirs", held->name) << c.what;
      EXPECT_TRUE(doc.events().Holds(held)) << c.what;
      continue;
    }
    EXPECT_FALSE(doc.events().Holds(held)) << c.what;
    // No keeps the event usable and writes nothing; Yes puts it back.
    prompts.texts.clear();
    prompts.answers = {false, true};
    held->listed = 0;
    if (c.mark == 2) held->occurrenceStates[caltest::At(20, 3, 2026, 9)] = COccurrenceState(1, CDateTime());
    // No is neither a save nor a delete: the answer says so.
    EXPECT_EQ(IEventDocument::kSaveDeclined, doc.SaveEvent(*held, 1, 0, 1)) << c.what;
    EXPECT_EQ("original", held->name);
    EXPECT_EQ(1, doc.SaveEvent(*held, 1, 0, 1)) << c.what;
    EXPECT_EQ((std::vector<std::string>{c.question, c.question}), prompts.texts) << c.what;
    EXPECT_EQ(held, doc.FindEventByUid(held->uid, nullptr)) << c.what;
    held->inEdit = 0;
  }
}

// A record whose start another writer moved but whose next occurrence it
// left: the list and the alarm go by the new start, as after an edit.
TEST_F(MergeTest, AMovedStartBringsItsNextOccurrenceAlong) {
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("n.akv")});
  ASSERT_EQ(1, doc.AddEvent(NewEvent("moving", "uid-moving")));
  CCalEvent* held = doc.FindEventByUid("uid-moving", nullptr);
  ASSERT_NE(held, nullptr);
  held->acknowledged = 1;
  CCalEvent* theirs = ChangedCopy(*held, "moving", held->sequence + 1);
  theirs->start = theirs->end = caltest::At(20, 3, 2026, 15);
  held->calendar->MergeChangedEvent(&doc.events(), theirs, 0);
  EXPECT_EQ(held->nextOccurrence, caltest::At(20, 3, 2026, 15));
  EXPECT_EQ(held->acknowledged, 0);
}

TEST_F(MergeTest, ADeleteElsewhereLeavesTheArrayAndOneUpdateFollowsAReSync) {
  const std::string file = NewCalendarFile("d.akv");
  CAlmacoraDoc doc;
  StartOn(&doc, {file});
  CCalEvent* added = NewEvent("gone", "gone-uid");
  ASSERT_EQ(1, doc.AddEvent(added));
  CCalEvent* held = doc.FindEventByUid("gone-uid", nullptr);
  held->calendar->MergeChangedEvent(&doc.events(), ChangedCopy(*held, "gone", 5), 1);
  EXPECT_EQ(nullptr, doc.FindEventByUid("gone-uid", nullptr));
  EXPECT_EQ(0u, doc.events().size());
  shell.hints.clear();
  doc.ResyncCalendars();
  EXPECT_EQ(std::vector<int>{3}, shell.hints);
}

TEST_F(MergeTest, IcsIsTheExtensionNotTextInThePath) {
  const std::string odd = NewCalendarFile("my.ics.files.akv");
  CAlmacoraDoc doc;
  StartOn(&doc, {odd});
  ASSERT_EQ(1u, doc.calendars().size());
  EXPECT_EQ(CCalendarFile::kOrdinaryFile, doc.calendars().items()[0]->fileType);
  EXPECT_TRUE(doc.calendars().items()[0]->IsFileOpen());
  EXPECT_FALSE(doc.OpenEventFile(odd, true));
  EXPECT_EQ(storage_text::kAlreadyOpen, prompts.texts.back());
  // A preview takes no new events and closes its file on Close.
  prompts.addNotPreview = false;
  ASSERT_TRUE(doc.OpenEventFile(NewCalendarFile("peek.akv"), true));
  CCalendarFile* peek = doc.calendars().items()[1];
  EXPECT_EQ(CCalendarFile::kPreview, peek->openState);
  EXPECT_EQ(1, doc.calendars().CountSelectableCalendars());
  CCalEvent* refused = NewEvent("refused");
  refused->targetCalendarId = peek->listId;
  EXPECT_EQ(0, doc.AddEvent(refused));
  peek->Close(&doc.events());
  EXPECT_FALSE(peek->IsFileOpen());
}

TEST_F(MergeTest, ImportsAddOnlyUidsTheDocumentLacksAndByUidUpdatesInPlace) {
  std::string source;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("source.akv")));
    CEventArray scratch;
    for (const char* uid : {"u1", "u2", "u3"}) ASSERT_EQ(1, file.AddEvent(NewEvent(uid, uid), 0, &scratch));
    source = file.path;
  }
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("target.akv")});
  CCalendarFile* target = doc.calendars().items()[0];
  ASSERT_EQ(1, doc.AddEvent(NewEvent("held", "u1")));
  CCalendarFile import;
  import.importTarget = target;
  ASSERT_EQ(1, import.Open(&doc.events(), source));
  EXPECT_EQ(3u, doc.events().size());
  EXPECT_EQ("held", doc.FindEventByUid("u1", target)->name);
  EXPECT_EQ(target, doc.FindEventByUid("u3", nullptr)->calendar);
  EXPECT_EQ(2, doc.AddOrUpdateByUid(NewEvent("renamed", "u2"), target));
  EXPECT_EQ(1, doc.AddOrUpdateByUid(NewEvent("new", "u4"), target));
  EXPECT_EQ(4u, doc.events().size());
  EXPECT_EQ("renamed", doc.FindEventByUid("u2", target)->name);
}

// A calendar file from someone else never starts a program or sends mail
// by itself: both actions arrive off, whatever the file or the defaults
// say, with their settings kept for the user to switch on.
TEST_F(MergeTest, ImportedEventFilesArriveWithRunAndMailOff) {
  std::string source;
  {
    CCalendarFile file;
    ASSERT_EQ(1, file.CreateFile(Path("actions.akv")));
    CEventArray scratch;
    const int16_t states[] = {1, -2};
    for (int16_t state : states) {
      CCalEvent* e = NewEvent("a" + std::to_string(state), "act" + std::to_string(state));
      e->runOn = state;
      e->runFile = "C:\\evil.exe";
      e->emailOn = state;
      e->emailTo = "x@example.org";
      ASSERT_EQ(1, file.AddEvent(e, 0, &scratch));
    }
    source = file.path;
  }
  CAlmacoraDoc doc;
  StartOn(&doc, {NewCalendarFile("into.akv")});
  CCalendarFile import;
  import.importTarget = doc.calendars().items()[0];
  ASSERT_EQ(1, import.Open(&doc.events(), source));
  ASSERT_EQ(2u, doc.events().size());
  for (size_t i = 0; i < doc.events().size(); ++i) {
    const CCalEvent* e = doc.events().at(i);
    SCOPED_TRACE(e->name);
    EXPECT_EQ(0, e->runOn);
    EXPECT_EQ(0, e->emailOn);
    EXPECT_EQ("C:\\evil.exe", e->runFile);
    EXPECT_EQ("x@example.org", e->emailTo);
  }
}

}  // namespace
}  // namespace storagetest
