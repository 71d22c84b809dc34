// The document: start-up choices, roll-forward, moves, failed deletes.
#include "storage/storage_texts.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using DocumentTest = StorageTest;

// A calendar file holding the given events.
std::string FileWith(StorageTest* test, const std::string& path, const std::vector<CCalEvent*>& events) {
  CCalendarFile file;
  EXPECT_EQ(1, file.CreateFile(path));
  CEventArray array;
  for (CCalEvent* e : events) EXPECT_EQ(1, file.AddEvent(e, 0, &array));
  (void)test;
  return file.path;
}

TEST_F(DocumentTest, StartupHonoursAllowMultipleFilterAndStartupMode) {
  const std::string work = FileWith(this, Path("work.akv"), {NewEvent("w")});
  const std::string home = FileWith(this, Path("home.akv"), {NewEvent("h")});
  {
    g_Settings.AllowMultiple = 1;
    CAlmacoraDoc doc;
    StartOn(&doc, {work}, "\"" + home + "\"");
    ASSERT_EQ(1u, doc.calendars().size());
    EXPECT_EQ(home, doc.calendars().items()[0]->path);
    EXPECT_TRUE(g_Settings.KeepStoredCalendarList);
    EXPECT_EQ(0, prompts.previewQuestions);
    EXPECT_EQ((std::vector<std::string>{work}), g_Settings.DataFilePaths);
    g_Settings.AllowMultiple = 0;
    g_Settings.KeepStoredCalendarList = false;
  }
  struct FilterCase {
    const char* filter;
    int filterOn, birthdayHidden, holidayHidden;
  } filters[] = {{"Holiday~Birthday", 0, 0, 0}, {"Birthday", 1, 1, 0}, {"", 0, 0, 0}};
  for (const auto& c : filters) {
    g_Settings.StartupFilter = c.filter;
    CAlmacoraDoc doc;
    StartOn(&doc, {work});
    EXPECT_EQ(c.filterOn, doc.filterOn) << c.filter;
    EXPECT_EQ(c.birthdayHidden, doc.IsTypeHidden("Birthday")) << c.filter;
    EXPECT_EQ(c.holidayHidden, doc.IsTypeHidden("Holiday")) << c.filter;
  }
  g_Settings.StartupFilter.clear();
  // Mode 4: the day's first start is normal, the second starts hidden.
  g_Settings.WinStartupMode = 4;
  g_Settings.LastNormalStartupDate = 20260309;
  for (StartupShow expected : {StartupShow::kUnchanged, StartupShow::kHidden}) {
    CAlmacoraDoc doc;
    StartOn(&doc, {work});
    EXPECT_EQ(expected, shell.show);
    EXPECT_EQ(20260310, g_Settings.LastNormalStartupDate);
  }
}

TEST_F(DocumentTest, StartupListsOnlyCalendarsThatOpened) {
  const std::string work = FileWith(this, Path("work.akv"), {NewEvent("w")});
  prompts.answers = {true};
  CAlmacoraDoc doc;
  StartOn(&doc, {work, Path("missing.akv")}, Path("gone.akv"));
  ASSERT_EQ(1u, doc.calendars().size());
  EXPECT_EQ((std::vector<std::string>{Path("missing.akv")}), g_Settings.RetryDataFiles);
  EXPECT_EQ("Almacora - work (Default)", shell.title);
  EXPECT_EQ(1u, doc.events().size());
}

TEST_F(DocumentTest, RollForwardCatchesUpWithoutSteppingAndSavesOnlyWritableCalendars) {
  CCalEvent* hourly = NewEvent("hourly", "hourly-uid");
  caltest::MakeRecurring(*hourly, CRecurrenceRule::kHourly, caltest::At(1, 1, 1900, 0, 30));
  hourly->alarmOn = 0;
  CCalEvent* once = NewEvent("once", "once-uid");
  once->alarmOn = 0;
  once->start = once->nextOccurrence = caltest::At(1, 3, 2026, 9);
  const std::string work = FileWith(this, Path("work.akv"), {hourly, once});
  CAlmacoraDoc doc;
  StartOn(&doc, {work});
  ASSERT_EQ(2u, doc.events().size());
  CCalEvent* h = doc.FindEventByUid("hourly-uid", nullptr);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(caltest::At(10, 3, 2026, 0, 30), h->nextOccurrence);
  EXPECT_EQ(1, h->sequence);  // saved
  CCalEvent* o = doc.FindEventByUid("once-uid", nullptr);
  EXPECT_EQ(1, o->acknowledged);
  EXPECT_TRUE(prompts.texts.empty());
  // The same file as a preview: rolled in memory, nothing saved, no box.
  CCalendarFile* calendar = doc.calendars().items()[0];
  calendar->openState = CCalendarFile::kPreview;
  h->nextOccurrence = caltest::At(1, 1, 2000, 0, 30);
  doc.RecountAndRefresh();
  EXPECT_EQ(1, h->sequence);
  EXPECT_TRUE(prompts.texts.empty());
}

TEST_F(DocumentTest, RollForwardLeavesAnAlarmOffEventWhoseMissedOverrideRingsToTheAlarmCheck) {
  auto daily = [&](const std::string& uid, bool overrideAlarm) {
    CCalEvent* e = NewEvent(uid, uid);
    caltest::MakeRecurring(*e, CRecurrenceRule::kDaily, caltest::At(8, 3, 2026, 23, 55));
    e->alarmOn = 0;
    if (overrideAlarm) {
      COccurrenceOverride& o = e->occurrenceOverrides[caltest::At(9, 3, 2026, 23, 55)];
      o.mask = COccurrenceOverride::kAlarm;
      o.alarmOn = 1;
    }
    return e;
  };
  const std::string work = FileWith(this, Path("work.akv"), {daily("plain", false), daily("ringing", true)});
  CAlmacoraDoc doc;
  StartOn(&doc, {work});
  EXPECT_EQ(caltest::At(10, 3, 2026, 23, 55), doc.FindEventByUid("plain", nullptr)->nextOccurrence);
  CCalEvent* ringing = doc.FindEventByUid("ringing", nullptr);
  EXPECT_EQ(caltest::At(8, 3, 2026, 23, 55), ringing->nextOccurrence);
  // Once that occurrence is acknowledged the roll-forward goes on.
  ringing->Acknowledge(caltest::At(9, 3, 2026, 23, 55), false);
  doc.RecountAndRefresh();
  EXPECT_EQ(caltest::At(10, 3, 2026, 23, 55), ringing->nextOccurrence);
}

TEST_F(DocumentTest, MovesAddToTheTargetFirstAndFailuresKeepTheEvent) {
  CCalEvent* e = NewEvent("move me", "move-uid");
  const std::string a = FileWith(this, Path("a.akv"), {e});
  const std::string b = FileWith(this, Path("b.akv"), {});
  {
    CAlmacoraDoc doc;
    StartOn(&doc, {a, b});
    CCalEvent* held = doc.FindEventByUid("move-uid", nullptr);
    ASSERT_NE(nullptr, held);
    held->targetCalendarId = 99;
    EXPECT_EQ(0, doc.SaveEvent(*held, 1, 0, 1));
    EXPECT_EQ(std::vector<std::string>{storage_text::kCalendarNotOpen}, prompts.texts);
    CCalEvent* stray = NewEvent("stray");
    stray->targetCalendarId = 99;
    EXPECT_EQ(0, doc.AddEvent(stray));
    held->targetCalendarId = 2;
    EXPECT_EQ(1, doc.SaveEvent(*held, 1, 0, 1));
    EXPECT_EQ(doc.calendars().FindById(2), held->calendar);
    EXPECT_EQ(held, doc.FindEventByUid("move-uid", doc.calendars().FindById(2)));
    EXPECT_EQ(nullptr, doc.FindEventByUid("move-uid", doc.calendars().FindById(1)));
    // A failed delete leaves the event in the array.
    prompts.texts.clear();
    held->calendar->openState = CCalendarFile::kClosed;
    EXPECT_FALSE(doc.DeleteEvent(held->arrayIndex, true));
    EXPECT_EQ(held, doc.events().at(static_cast<size_t>(held->arrayIndex)));
    EXPECT_EQ(storage_text::kDeleteFailed, prompts.texts.back());
    held->calendar->openState = CCalendarFile::kOpen;
  }
  CAlmacoraDoc doc;
  StartOn(&doc, {a, b});
  ASSERT_EQ(1u, doc.events().size());
  EXPECT_EQ(doc.calendars().FindById(2), doc.events().at(0)->calendar);
}


// A first start (settings just made) finds no personal calendar: it is made
// quietly, opened and the default; at a later start a missing one is told.
TEST_F(DocumentTest, FirstStartMakesThePersonalCalendarQuietly) {
  struct Case {
    int settingsCreated;
    bool made;
  } const cases[] = {{1, true}, {0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settingsCreated);
    std::filesystem::remove(Path("events.akv"));
    prompts.texts.clear();
    g_Settings.SettingsCreated = c.settingsCreated;
    CAlmacoraDoc doc;
    StartOn(&doc, {Path("events.akv")});
    EXPECT_EQ(prompts.texts.empty(), c.made);
    EXPECT_EQ(std::filesystem::exists(Path("events.akv")), c.made);
    ASSERT_EQ(doc.calendars().size(), c.made ? 1u : 0u);
    if (!c.made) continue;
    const CCalendarFile* made = doc.GetDefaultCalendar();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->path, Path("events.akv"));
    EXPECT_EQ(made->openState, CCalendarFile::kOpen);
    EXPECT_EQ(made->name, "events");
  }
  g_Settings.SettingsCreated = 0;
}

}  // namespace
}  // namespace storagetest
