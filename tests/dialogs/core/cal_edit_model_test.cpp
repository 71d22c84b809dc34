// The calendar entries editor's rows, kept ticks and batch saves over a
// real document and calendar files.
#include <map>

#include "dialogs/core/cal_edit_model.h"
#include "model/services/model_services.h"
#include "platform/os_file_faults.h"
#include "tests/storage/storage_fixture.h"

namespace storagetest {
namespace {

using caledit::CCalEditModel;

// Forwards saves to the document; from the `failFrom`-th save on, every
// file write fails, as on a device that has gone.
class FaultingDocument : public IEventDocument {
 public:
  FaultingDocument(CAlmacoraDoc* doc, int failFrom) : doc_(doc), failFrom_(failFrom) {}
  int16_t SaveEvent(CCalEvent& e, int inc, int pub, int stamp) override {
    if (++saves_ == failFrom_) {
      platform::FileFaultPlan plan;
      plan.persistent = true;
      platform::ArmFileFault(plan);
    }
    return doc_->SaveEvent(e, inc, pub, stamp);
  }
  int16_t SaveEventAndRefresh(CCalEvent& e, int inc, int pub, int stamp) override {
    return doc_->SaveEventAndRefresh(e, inc, pub, stamp);
  }
  CCalendarFile* GetDefaultCalendar() override { return doc_->GetDefaultCalendar(); }
  int GetPublishAlarmsFlag(const CCalendarFile* c) const override { return doc_->GetPublishAlarmsFlag(c); }
  int GetCalendarCount() const override { return doc_->GetCalendarCount(); }
  CalendarListEntry GetCalendarEntry(int i) const override { return doc_->GetCalendarEntry(i); }
  int GetDefaultCalendarId() const override { return doc_->GetDefaultCalendarId(); }

 private:
  CAlmacoraDoc* doc_;
  int failFrom_;
  int saves_ = 0;
};

int g_publishes = 0;
void CountPublish(CCalendarFile&, int) { ++g_publishes; }

class CalEditTest : public StorageTest {
 protected:
  void TearDown() override {
    platform::DisarmFileFaults();
    CCalendarFile::SetAutoPublisher(nullptr);
    StorageTest::TearDown();
  }

  std::string Calendar(const std::string& name, const std::vector<std::string>& eventNames) {
    CCalendarFile file;
    EXPECT_EQ(1, file.CreateFile(Path(name)));
    CEventArray array;
    for (const std::string& n : eventNames) EXPECT_EQ(1, file.AddEvent(NewEvent(n), 0, &array));
    return file.path;
  }

  // The events as stored in the file, by name.
  struct Stored {
    int16_t disabled;
    std::string type;
    int16_t soundOn;
    std::string emailTo;
  };
  std::map<std::string, Stored> StoredIn(const std::string& path) {
    CCalendarFile file;
    CEventArray events;
    EXPECT_EQ(1, file.Open(&events, path));
    std::map<std::string, Stored> out;
    for (CCalEvent* e : events.items()) out[e->name] = {e->disabled, e->type, e->soundOn, e->emailTo};
    file.Close(&events);
    return out;
  }

  static int RowOf(const CCalEditModel& m, const std::string& name) {
    for (size_t i = 0; i < m.rows().size(); ++i)
      if (m.rows()[i].name == name) return static_cast<int>(i);
    return -1;
  }
};

TEST_F(CalEditTest, OkSavesExactlyTheChangedTicksWithOneUpdate) {
  const std::string home = Calendar("home.akv", {"delta", "Alpha", "charlie", "bravo"});
  const std::string work = Calendar("work.akv", {"w1"});
  CAlmacoraDoc doc;
  StartOn(&doc, {work, home});
  CCalEditModel model(&doc);
  const auto calendars = model.Calendars();
  ASSERT_EQ(2u, calendars.size());
  EXPECT_EQ(1, model.InitialIndex(doc.calendars().FindByPath(home)->listId));
  EXPECT_EQ(0, model.InitialIndex(-1));
  model.SelectCalendar(calendars[1].first);
  std::vector<std::string> names;
  for (const auto& r : model.rows()) names.push_back(r.name);
  EXPECT_EQ((std::vector<std::string>{"Alpha", "bravo", "charlie", "delta"}), names);
  model.SetChecked(static_cast<size_t>(RowOf(model, "bravo")), 0);
  model.SetChecked(static_cast<size_t>(RowOf(model, "delta")), 0);
  model.SetChecked(static_cast<size_t>(RowOf(model, "Alpha")), 1);  // unchanged: not saved
  shell.hints.clear();
  const caledit::BatchResult result = model.ApplyTicks();
  EXPECT_EQ(2, result.saved);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ((std::vector<int>{3}), shell.hints);
  const auto stored = StoredIn(home);
  EXPECT_EQ(1, stored.at("bravo").disabled);
  EXPECT_EQ(1, stored.at("delta").disabled);
  EXPECT_EQ(0, stored.at("Alpha").disabled);
  EXPECT_EQ(0, stored.at("charlie").disabled);
}

TEST_F(CalEditTest, TicksSurviveResetAndCalendarChangeAndAlarmResetInherits) {
  const std::string home = Calendar("home.akv", {"a", "b", "c"});
  const std::string work = Calendar("work.akv", {"w1"});
  CAlmacoraDoc doc;
  StartOn(&doc, {home, work});
  CCalEditModel model(&doc);
  const auto calendars = model.Calendars();
  model.SelectCalendar(calendars[0].first);
  model.SetChecked(1, 0);  // "b"
  EXPECT_EQ(3, model.ResetTypes("Dentist").saved);
  model.SelectCalendar(calendars[1].first);
  model.SelectCalendar(calendars[0].first);
  EXPECT_EQ(0, model.rows()[1].checked);
  EXPECT_EQ(1, model.ApplyTicks().saved);
  auto stored = StoredIn(home);
  EXPECT_EQ(1, stored.at("b").disabled);
  for (const auto& s : stored) EXPECT_EQ("Dentist", s.second.type);

  // Out of range: nothing saved. Defaults untouched: every action inherits.
  const caledit::AlarmActionValues defaults = caledit::DefaultActions(g_Settings);
  EXPECT_EQ(0, model.ResetAlarms(1, 1001, "Minutes", defaults, g_Settings).saved);
  EXPECT_EQ(3, model.ResetAlarms(1, 5, "Hours", defaults, g_Settings).saved);
  for (CCalEvent* e : doc.events().items()) {
    if (e->calendar->path != home) continue;
    EXPECT_EQ(5, e->leadTime.hours);
    for (int v : {e->autoAcknowledge, e->soundOn, e->soundLength, e->emailOn, e->runOn, e->runAtAlarm,
                  e->runAtSnooze, static_cast<int16_t>(e->runWindowState)})
      EXPECT_EQ(-2, v);
    for (const std::string* t : {&e->alarmSoundFile, &e->emailTo, &e->emailSubject, &e->emailBody, &e->runFile,
                                 &e->runParameters})
      EXPECT_TRUE(t->empty());
  }
  caledit::AlarmActionValues mail = defaults;
  mail.emailTo = "me@example.org";
  EXPECT_EQ(3, model.ResetAlarms(1, 5, "Hours", mail, g_Settings).saved);
  EXPECT_EQ("me@example.org", StoredIn(home).at("a").emailTo);
}

TEST_F(CalEditTest, FailedSaveInTheBatchLeavesMemoryAsTheFile) {
  for (int failFrom = 1; failFrom <= 5; ++failFrom) {
    const std::string home = Calendar("home" + std::to_string(failFrom) + ".akv", {"a", "b", "c", "d"});
    CAlmacoraDoc doc;
    StartOn(&doc, {home});
    CCalEditModel model(&doc);
    model.SelectCalendar(model.Calendars()[0].first);
    FaultingDocument faulting(&doc, failFrom);
    ModelServices services = GetModelServices();
    services.document = &faulting;
    ScopedModelServices scoped(services);
    prompts.texts.clear();
    const caledit::BatchResult result = model.ResetTypes("Dentist");
    platform::DisarmFileFaults();
    EXPECT_EQ(failFrom <= 4, result.failed && !prompts.texts.empty()) << failFrom;
    for (CCalEvent* e : doc.events().items()) EXPECT_EQ(StoredIn(home).at(e->name).type, e->type) << failFrom;
  }
}

TEST_F(CalEditTest, EventsDeletedElsewhereAreSkippedAndPublishOnce) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("e" + std::to_string(1000 + i));
  const std::string home = Calendar("home.akv", names);
  CAlmacoraDoc doc;
  StartOn(&doc, {home});
  CCalendarFile* live = doc.calendars().items()[0];
  live->published = 1;
  live->publishAfterSave = 1;
  g_publishes = 0;
  CCalendarFile::SetAutoPublisher(&CountPublish);
  CCalEditModel model(&doc);
  model.SelectCalendar(live->listId);
  for (size_t i = 0; i < model.rows().size(); ++i) model.SetChecked(i, 0);
  // Another writer deletes the first event (a re-sync frees it before the
  // batch) and the last (merged by the batch's first save).
  auto deleteElsewhere = [&](const std::string& name) {
    CCalendarFile other;
    CEventArray events;
    ASSERT_EQ(1, other.Open(&events, home));
    for (size_t i = 0; i < events.size(); ++i) {
      if (events.at(i)->name != name) continue;
      ASSERT_EQ(1, other.DeleteEvent(events.at(i), &events, 0));
      break;
    }
    other.Close(&events);
  };
  deleteElsewhere("e1000");
  doc.ResyncCalendars();
  deleteElsewhere("e1299");
  const caledit::BatchResult result = model.ApplyTicks();
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(298, result.saved);
  EXPECT_EQ(1, g_publishes);
  const auto stored = StoredIn(home);
  EXPECT_EQ(298u, stored.size());
  for (const auto& s : stored) EXPECT_EQ(1, s.second.disabled);
}

}  // namespace
}  // namespace storagetest
