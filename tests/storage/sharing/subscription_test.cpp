// Subscribe, preview, refresh and publish of calendars over the scripted
// network, into real calendar files of a document.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "model/events/cal_event.h"
#include "storage/action_guard.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "tests/storage/sharing/sharing_fixture.h"

namespace {

using namespace sharingtest;

const std::string kV1 = Calendar({{"a", "A"}, {"b", "B"}, {"c", "C"}});
const std::string kV2 = Calendar({{"a", "A changed"}, {"b", "B"}, {"n", "N"}});

class Subscriptions : public SharingTest {
 protected:
  void SetUp() override {
    SharingTest::SetUp();
    local = NewCalendarFile("local.akv");
    storagetest::StartOn(&doc, {local});
  }
  // A new subscription of kV1 at http://h/c.ics into sub.akv.
  CCalendarFile* Subscribe(const std::string& text = kV1) {
    net.replies.push_back(Ok(text));
    SubscribeForm form;
    form.name = "Sub";
    form.address = "http://h/c.ics";
    form.localFile = Path("sub.akv");
    if (!SubscribeCalendar(doc, nullptr, form, &progress)) return nullptr;
    return doc.calendars().FindByName("Sub");
  }
  std::vector<std::string> Verbs() const {
    std::vector<std::string> v;
    for (const Seen& s : net.seen) v.push_back(s.params.verb);
    return v;
  }
  std::string local;
  CAlmacoraDoc doc;
};

TEST_F(Subscriptions, RefreshMergesAndOffersWhatTheServerLost) {
  // An event of the same UID in another calendar must survive.
  CCalEvent* mine = NewEvent("Mine", "c");
  mine->calendar = doc.GetDefaultCalendar();
  ASSERT_EQ(1, doc.AddEvent(mine));
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->listId, doc.calendars().items().back()->listId);

  net.replies.push_back(Ok(kV2));
  bool closeNow = true;
  ASSERT_TRUE(RefreshWithResults(doc, *sub, &progress, &closeNow));
  ASSERT_EQ(prompts.offered.size(), 1u);
  EXPECT_EQ(prompts.offered[0].uid, "c");
  EXPECT_EQ(progress.result, "Refresh Results\nAdded: 1   Updated: 1   Deleted:  1");
  EXPECT_FALSE(closeNow);
  EXPECT_EQ(doc.FindEventByUid("c", sub), nullptr);
  EXPECT_NE(doc.FindEventByUid("c", doc.GetDefaultCalendar()), nullptr);
  EXPECT_EQ(doc.FindEventByUid("a", sub)->name, "A changed");

  // Nothing new: the window may close at once, nothing is offered.
  prompts.offered.clear();
  net.replies.push_back(Ok(kV2));
  ASSERT_TRUE(RefreshWithResults(doc, *sub, &progress, &closeNow));
  EXPECT_TRUE(closeNow);
  EXPECT_TRUE(prompts.offered.empty());
}

// A server that lost all or most of the calendar: the question says so,
// nothing is ticked, and saying yes to it deletes nothing. An event moved
// into the calendar here is never offered.
TEST_F(Subscriptions, NoRefreshWipesTheCalendarAtOneKey) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  CCalEvent* moved = NewEvent("Moved", "moved");
  moved->calendar = doc.GetDefaultCalendar();
  ASSERT_EQ(1, doc.AddEvent(moved));
  moved->targetCalendarId = sub->listId;
  ASSERT_EQ(1, doc.SaveEvent(*moved, 1, 0, 1));
  const struct {
    std::string text;
    size_t offered;
    std::string warning;
  } cases[] = {
      {Calendar({{"a", "A"}, {"b", "B"}, {"c", "C"}}), 0, ""},
      {Calendar({{"a", "A"}, {"b", "B"}}), 1, ""},
      {Calendar({{"a", "A"}}), 2, "The server's calendar lacks 2 of this calendar's 3 events: half of it or more"},
      {Calendar({}), 3, "The server's calendar is empty: all 3 events of this calendar would be deleted."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offered);
    prompts.offered.clear();
    prompts.deleteWarning = "x";
    net.replies.push_back(Ok(c.text));
    RefreshCounts counts;
    ASSERT_TRUE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, &counts));
    EXPECT_EQ(prompts.offered.size(), c.offered);
    for (const RefreshDeleteItem& item : prompts.offered) EXPECT_NE(item.uid, "moved");
    if (c.offered > 0) {
      EXPECT_EQ(prompts.deleteWarning.substr(0, c.warning.size()), c.warning);
    }
    EXPECT_EQ(counts.deleted, c.warning.empty() ? static_cast<int>(c.offered) : 0);
    if (c.warning.empty()) {
      // What went is back for the next case.
      net.replies.push_back(Ok(kV1));
      ASSERT_TRUE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, &counts));
    }
  }
  EXPECT_NE(doc.FindEventByUid("a", sub), nullptr);
  EXPECT_EQ(doc.FindEventByUid("moved", sub), moved);
}

// A refresh that moves an event's start: the next occurrence, and so the
// list and the alarm, follow the new start (also in the file); a change
// that leaves the start keeps the acknowledged alarm.
TEST_F(Subscriptions, AMovedEventTakesItsNewTimeForTheListAndTheAlarm) {
  auto text = [](const std::string& start, const std::string& summary, int stampDay) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//x//EN\r\nBEGIN:VEVENT\r\nUID:m\r\nSUMMARY:" + summary +
           "\r\nDTSTART:" + start + "\r\nDTSTAMP:202603" + std::to_string(10 + stampDay) +
           "T000000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n";
  };
  auto at = [](const char* utc) {
    CDateTime d;
    EXPECT_TRUE(d.ParseICal(utc));
    return d;
  };
  CCalendarFile* sub = Subscribe(text("20260320T142000Z", "Meet", 1));
  ASSERT_NE(sub, nullptr);
  CCalEvent* m = doc.FindEventByUid("m", sub);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->nextOccurrence, at("20260320T142000Z"));
  m->acknowledged = 1;
  ASSERT_EQ(1, doc.SaveEvent(*m, 0, 0, 0));
  const struct {
    const char* start;
    const char* summary;
    bool acknowledged;
    const char* due;  // the first moment the alarm check raises it
    const char* notYet;
  } steps[] = {
      {"20260320T142000Z", "Meet again", true, nullptr, nullptr},
      {"20260320T141200Z", "Meet again", false, "20260320T135700Z", "20260320T135659Z"},
  };
  int stampDay = 2;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.start);
    net.replies.push_back(Ok(text(s.start, s.summary, stampDay++)));
    RefreshCounts counts;
    ASSERT_TRUE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, &counts));
    EXPECT_EQ(counts.updated, 1);
    ASSERT_EQ(doc.FindEventByUid("m", sub), m);
    EXPECT_EQ(m->nextOccurrence, at(s.start));
    EXPECT_EQ(m->acknowledged != 0, s.acknowledged);
    if (s.due) {
      EXPECT_FALSE(m->IsAlarmDue(at(s.notYet)));
      EXPECT_TRUE(m->IsAlarmDue(at(s.due)));
      m->listed = 0;
    }
  }
  // As stored: what a restart loads.
  const std::string path = sub->path;
  doc.CloseEventFile(sub);
  ASSERT_TRUE(doc.OpenEventFile(path, false));
  CCalEvent* loaded = doc.FindEventByUid("m", doc.calendars().items().back());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->nextOccurrence, at("20260320T141200Z"));
  EXPECT_EQ(loaded->acknowledged, 0);
}

TEST_F(Subscriptions, AListedEventDeletedMeanwhileIsHarmless) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  prompts.whileDeleteDialog = [&] {
    CCalEvent* c = doc.FindEventByUid("c", sub);
    ASSERT_NE(c, nullptr);
    doc.DeleteEvent(c->arrayIndex, true);
    doc.events().FreeReleased();
  };
  net.replies.push_back(Ok(kV2));
  RefreshCounts counts;
  ASSERT_TRUE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, &counts));
  EXPECT_EQ(counts.deleted, 0);
}

TEST_F(Subscriptions, ABodyThatIsNoWholeCalendarChangesNothing) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  const size_t events = doc.events().size();
  const std::string cut = kV2.substr(0, kV2.size() / 2);
  for (const std::string& body : {std::string("<html><body>Hello</body></html>"), std::string(), cut}) {
    prompts.texts.clear();
    net.replies.push_back(Ok(body));
    EXPECT_FALSE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, nullptr));
    EXPECT_EQ(prompts.texts.size(), 1u);
    EXPECT_EQ(doc.events().size(), events);
    EXPECT_TRUE(prompts.offered.empty());
  }
}

TEST_F(Subscriptions, AFailedSubscribeKeepsTheOldFileAndNoCalendar) {
  std::ofstream(Path("sub.akv"), std::ios::binary) << "old bytes";
  prompts.answers = {true, true};  // overwrite the local file
  const size_t listed = doc.calendars().size();
  net.replies.push_back(Status(500));
  SubscribeForm form;
  form.name = "Sub";
  form.address = "http://h/c.ics";
  form.localFile = Path("sub.akv");
  EXPECT_FALSE(SubscribeCalendar(doc, nullptr, form, &progress));
  EXPECT_EQ(storagetest::ReadFileBytes(Path("sub.akv")), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'}));
  EXPECT_EQ(doc.calendars().size(), listed);

  // The file of a listed calendar is never a subscription's.
  prompts.texts.clear();
  form.localFile = local;
  EXPECT_FALSE(SubscribeCalendar(doc, nullptr, form, &progress));
  EXPECT_EQ(prompts.texts, std::vector<std::string>{"This file is already open."});
}

TEST_F(Subscriptions, SubscribeAfterPreviewKeepsItsId) {
  SubscribeForm form;
  form.name = "Sub";
  form.address = "http://h/c.ics";
  form.localFile = Path("sub.akv");
  net.replies.push_back(Ok(kV1));
  ASSERT_TRUE(PreviewCalendar(doc, nullptr, form, &progress));
  CCalendarFile* preview = doc.calendars().FindByName("Sub");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->openState, CCalendarFile::kPreview);
  const size_t listed = doc.calendars().size(), events = doc.events().size();

  net.replies.push_back(Status(500));  // a failed subscribe leaves the preview
  EXPECT_FALSE(SubscribeCalendar(doc, preview, form, &progress));
  EXPECT_EQ(preview->previewFlag, 1);
  EXPECT_EQ(doc.events().size(), events);

  net.replies.push_back(Ok(kV1));
  ASSERT_TRUE(SubscribeCalendar(doc, preview, form, &progress));
  EXPECT_EQ(doc.calendars().size(), listed);
  EXPECT_EQ(doc.events().size(), events);
  EXPECT_EQ(preview->previewFlag, 0);
  EXPECT_TRUE(preview->IsFileOpen());

  // A failed preview leaves nothing listed.
  net.replies.push_back(Status(404));
  form.name = "Other";
  EXPECT_FALSE(PreviewCalendar(doc, nullptr, form, &progress));
  EXPECT_EQ(doc.calendars().size(), listed);
}

// A refresh that fails, or whose login the user cancels, ends on a step
// that says so with an empty bar, never on "Refresh Complete...".
TEST_F(Subscriptions, AFailedOrCancelledRefreshEndsOnAStepThatSaysSo) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  const struct {
    Reply reply;
    const char* last;
  } cases[] = {
      {Status(500), "Refresh Failed: nothing was changed."},
      {Status(401), "Refresh Cancelled: nothing was changed."},  // the login box cancelled
      {Ok("<html></html>"), "Refresh Failed: nothing was changed."},
  };
  for (const auto& c : cases) {
    progress.steps.clear();
    net.replies = {c.reply};
    bool closeNow = false;
    EXPECT_FALSE(RefreshWithResults(doc, *sub, &progress, &closeNow));
    EXPECT_TRUE(closeNow);
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.back(), (std::pair<int, std::string>{0, c.last}));
  }
}

// A calendar published and then refreshed from its own address finds
// nothing changed: the window closes by itself, with no "Updated" count,
// whether or not its alarms were published.
TEST_F(Subscriptions, RefreshingAnUnchangedPublishedCalendarChangesNothing) {
  for (int alarms : {0, 1}) {
    CCalendarFile* cal = doc.GetDefaultCalendar();
    ASSERT_NE(cal, nullptr);
    const std::string uid = "own-" + std::to_string(alarms);
    CCalEvent* e = NewEvent("Own " + std::to_string(alarms), uid);
    e->calendar = cal;
    e->alarmOn = 1;
    e->notes = "Notes";
    ASSERT_EQ(1, doc.AddEvent(e));
    cal->address = "ftp://h/dir/pub" + std::to_string(alarms) + ".ics";
    cal->publishAlarms = alarms;
    ASSERT_TRUE(PublishCalendar(doc, *cal, &progress));
    progress.result.clear();
    bool closeNow = false;
    ASSERT_TRUE(RefreshWithResults(doc, *cal, &progress, &closeNow));
    EXPECT_EQ(progress.result, "") << alarms;
    EXPECT_TRUE(closeNow) << alarms;
    const CCalEvent* kept = doc.events().FindInCalendar(cal, uid);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->alarmOn, 1) << alarms;  // the local alarm stays
  }
}

TEST_F(Subscriptions, AutoPublishOnlyAfterAGoodRefreshOrOnAnEmptyAddress) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  sub->published = 1;
  sub->publishAfterSave = 1;
  actionguard::ProvePublish(sub);  // set up by the user here
  InstallSharing(&doc);
  const struct {
    int get, head;
    std::vector<std::string> verbs;
  } cases[] = {
      {500, 200, {"GET", "HEAD"}},
      {404, 404, {"GET", "HEAD", "PUT"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    net.seen.clear();
    net.replies = {Status(c.get), Status(c.head), Status(201)};
    CCalEvent* e = NewEvent("New", "new" + std::to_string(n++));
    e->calendar = sub;
    ASSERT_EQ(1, doc.AddEvent(e));
    EXPECT_EQ(Verbs(), c.verbs);
  }
}

TEST_F(Subscriptions, PasswordWithRememberOffIsNeverStored) {
  net.replies.push_back(Status(401));
  prompts.logins.push_back({"user", "s3cret-pw", false, true});
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->password, "");
  sub->password = "s3cret-pw";
  net.replies.push_back(Ok(kV1));
  ASSERT_TRUE(RefreshSubscription(doc, *sub, sub->address, "", true, nullptr, nullptr));
  sub->password = "s3cret-pw";
  sub->address = "ftp://h/dir/cal.ics";
  ASSERT_TRUE(PublishCalendar(doc, *sub, &progress));
  EXPECT_EQ(sub->password, "");
  EXPECT_EQ(net.ftpFiles["dir/cal.ics"].find("BEGIN:VCALENDAR"), 0u);
  const std::vector<uint8_t> bytes = storagetest::ReadFileBytes(Path("sub.akv"));
  const std::string pw = "s3cret-pw";
  EXPECT_EQ(std::search(bytes.begin(), bytes.end(), pw.begin(), pw.end()), bytes.end());
}

// A login in the address is never sent, stored or shown: the box offers it.
TEST_F(Subscriptions, ALoginInTheAddressIsOnlyOfferedToTheLoginBox) {
  net.replies.push_back(Status(401));
  net.replies.push_back(Ok(kV1));
  prompts.logins.push_back({"u", "pw-in-url", true, true});
  SubscribeForm form;
  form.name = "Sub";
  form.address = "http://u:pw-in-url@h/c.ics";
  form.localFile = Path("sub.akv");
  ASSERT_TRUE(SubscribeCalendar(doc, nullptr, form, &progress));
  CCalendarFile* sub = doc.calendars().FindByName("Sub");
  EXPECT_EQ(net.seen[0].params.user, "");
  EXPECT_EQ(prompts.loginsOffered, std::vector<std::string>{"u:pw-in-url"});
  EXPECT_EQ(sub->address, "http://h/c.ics");
  form.address = "webcal://u:pw-in-url@h:99999/x.ics";
  form.name = "Bad";
  form.localFile = Path("bad.akv");
  EXPECT_FALSE(SubscribeCalendar(doc, nullptr, form, &progress));
  EXPECT_EQ(prompts.texts.back(), "Invalid webcal Address: webcal://h:99999/x.ics");
  sub->WriteCalInfo();
  const std::vector<uint8_t> bytes = storagetest::ReadFileBytes(Path("sub.akv"));
  const std::string pw = "pw-in-url@";
  EXPECT_EQ(std::search(bytes.begin(), bytes.end(), pw.begin(), pw.end()), bytes.end());
}

}  // namespace

namespace {

using namespace sharingtest;

class Publishing : public Subscriptions {};

TEST_F(Publishing, AFileAtTheAddressAsksFirst) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  sub->address = "http://h/c.ics?t=1";
  const struct {
    int head;
    OverwriteChoice choice;
    int questions;
    std::vector<std::string> verbs;
  } cases[] = {
      {404, OverwriteChoice::kCancel, 0, {"HEAD", "PUT"}},
      {200, OverwriteChoice::kCancel, 1, {"HEAD"}},
      {200, OverwriteChoice::kOverwrite, 1, {"HEAD", "PUT"}},
      {200, OverwriteChoice::kRefreshFirst, 1, {"HEAD", "GET", "PUT"}},
  };
  for (const auto& c : cases) {
    net.seen.clear();
    prompts.overwriteQuestions = 0;
    prompts.overwrite = c.choice;
    net.replies = {Status(c.head)};
    if (c.choice == OverwriteChoice::kRefreshFirst) net.replies.push_back(Ok(kV1));
    net.replies.push_back(Status(201));
    EXPECT_EQ(PublishFromDialog(doc, *sub, &progress), c.verbs.back() == "PUT");
    EXPECT_EQ(Verbs(), c.verbs);
    EXPECT_EQ(prompts.overwriteQuestions, c.questions);
  }
  EXPECT_EQ(net.seen.back().params.object, "/c.ics?t=1");
  EXPECT_TRUE(sub->published);
}

// The user's cancel of a request ends the whole publish: no box, no
// question and nothing more sent.
TEST_F(Publishing, ACancelEndsThePublishSilently) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  sub->published = sub->publishAfterSave = 1;
  actionguard::ProvePublish(sub);
  Reply cancelled = Status(200);
  cancelled.sendErrors = {kTransferCancelled};
  net.cancelled = true;
  const std::function<void()> publishes[] = {
      [&] { EXPECT_FALSE(PublishFromDialog(doc, *sub, &progress)); },
      [&] { AutoPublish(doc, *sub, true); },
  };
  for (const auto& publish : publishes) {
    net.seen.clear();
    prompts.texts.clear();
    net.replies = {cancelled, Status(404), Status(201)};
    publish();
    EXPECT_EQ(net.seen.size(), 1u);
    EXPECT_TRUE(prompts.texts.empty()) << prompts.texts.front();
    EXPECT_EQ(prompts.overwriteQuestions, 0);
  }
}

TEST_F(Publishing, AnEditedSubscriptionDoesNotClashWithItself) {
  CCalendarFile* sub = Subscribe();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(CheckSubscriptionNames(doc.calendars(), sub, "Sub", sub->address), "");
  EXPECT_EQ(CheckSubscriptionNames(doc.calendars(), nullptr, "Sub", "http://other/"),
            "Calendar Name is already in use.  Please enter a different calendar name.");
  EXPECT_EQ(CheckSubscriptionNames(doc.calendars(), nullptr, "New", sub->address),
            "Calendar Address is already subscribed to by another calendar.");
}

}  // namespace
