// The transfers over WinINet against the local peers (tests/support):
// what the server receives, logins, statuses and hostile answers.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "model/events/cal_event.h"
#include "platform/tick.h"
#include "storage/action_guard.h"
#include "storage/almacora_doc.h"
#include "storage/calendar_file.h"
#include "storage/ical/ical_storage.h"
#include "storage/sharing/sharing.h"
#include "tests/storage/storage_fixture.h"
#include "storage/services/storage_services.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/transfers.h"
#include "storage/ui/wininet_transport.h"

namespace {

class Prompts : public IStoragePrompts {
 public:
  std::vector<std::string> texts;
  std::vector<CalendarLogin> logins;
  int loginQuestions = 0;
  void ShowMessage(const std::string& text, PromptIcon) override { texts.push_back(text); }
  bool AskYesNo(const std::string&, PromptIcon) override { return false; }
  bool AskAddOrPreview() override { return false; }
  bool PromptLogin(CalendarLogin* login) override {
    ++loginQuestions;
    if (logins.empty()) return false;
    *login = logins.front();
    logins.erase(logins.begin());
    return true;
  }
};

class Peers : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream("http_peer.ports") >> http_ >> away_;
    std::ifstream("ftp_peer.port") >> ftp_ >> greeting_;
    ASSERT_GT(http_, 0);
    ASSERT_GT(ftp_, 0);
    StorageServices s;
    s.prompts = &prompts;
    s.transport = &transport;
    scoped_ = std::make_unique<ScopedStorageServices>(s);
    CurrentTransferLimits() = TransferLimits{4u << 20, 3000, 6000};
  }
  void TearDown() override { CurrentTransferLimits() = TransferLimits{}; }
  CalendarUrl Url(const std::string& path, bool ftp = false) {
    CalendarUrl u;
    const std::string a = ftp ? "ftp://127.0.0.1:" + std::to_string(ftp_) + path
                              : "http://127.0.0.1:" + std::to_string(http_) + path;
    EXPECT_TRUE(SplitCalendarUrl(a, &u));
    return u;
  }
  std::string Get(const std::string& path, bool* ok) {
    std::string text;
    *ok = HttpSubscribeCalendar(calendar, Url(path), &text, nullptr);
    return text;
  }

  int http_ = 0, away_ = 0, ftp_ = 0, greeting_ = 0;
  Prompts prompts;
  CWinInetTransport transport;
  CCalendarFile calendar;
  std::unique_ptr<ScopedStorageServices> scoped_;
};

const char kPeerCalendar[] =
    "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//peer//x//EN\nBEGIN:VEVENT\nUID:peer-1\n"
    "SUMMARY:Peer event\nDTSTART;VALUE=DATE:20260320\nEND:VEVENT\nEND:VCALENDAR\n";

TEST_F(Peers, GetLoginsAndStatuses) {
  bool ok = false;
  EXPECT_EQ(Get("/cal.ics", &ok), kPeerCalendar);
  EXPECT_TRUE(ok);

  // Cancel: false, no box (first: the library keeps a login it was given).
  Get("/auth.ics", &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(prompts.texts.empty());
  calendar.rememberPassword = 0;
  prompts.logins.push_back({"user", "pass", false, true});
  EXPECT_EQ(Get("/auth.ics", &ok), kPeerCalendar);
  EXPECT_TRUE(ok);
  EXPECT_EQ(prompts.loginQuestions, 2);
  EXPECT_EQ(calendar.userName, "");
  EXPECT_EQ(calendar.password, "");

  const struct {
    const char* path;
    const char* text;
  } cases[] = {
      {"/status/404", "Error Subscribing to Internet Calendar.\n\nHTTP Error 404: Not Found."},
      {"/status/500", "Error Subscribing to Internet Calendar.\n\nHTTP Error 500: Server Error."},
      {"/loop/0", "Error Subscribing to Internet Calendar.\n\nHTTP Error 302: Moved Temporarily."},
  };
  for (const auto& c : cases) {
    prompts.texts.clear();
    Get(c.path, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(prompts.texts, std::vector<std::string>{c.text});
  }
}

TEST_F(Peers, ARedirectAwayCarriesNoLogin) {
  calendar.userName = "user";
  calendar.password = "pass";
  bool ok = false;
  EXPECT_EQ(Get("/redirect-away", &ok), kPeerCalendar);
  EXPECT_TRUE(ok);
  CalendarUrl seen;
  ASSERT_TRUE(SplitCalendarUrl("http://127.0.0.2:" + std::to_string(away_) + "/seen-auth", &seen));
  // Asked by a calendar without a login: the question itself carries none.
  CCalendarFile probe;
  std::string text;
  ASSERT_TRUE(HttpSubscribeCalendar(probe, seen, &text, nullptr));
  EXPECT_EQ(text, "no\n");
}

TEST_F(Peers, HostileAnswersEndInABox) {
  for (const char* path : {"/endless", "/drip", "/short", "/bigheader"}) {
    prompts.texts.clear();
    bool ok = true;
    const std::string text = Get(path, &ok);
    if (std::string(path) == "/bigheader" && ok) continue;  // a server may send what the library takes
    EXPECT_FALSE(ok) << path;
    EXPECT_EQ(prompts.texts.size(), 1u) << path;
  }
}

TEST_F(Peers, PutHeadAndFtp) {
  const std::string body = "BEGIN:VCALENDAR\r\nX:\xC3\xA9\r\nEND:VCALENDAR\r\n";
  ASSERT_TRUE(HttpPublishCalendar(calendar, Url("/c.ics?t=1"), body, nullptr));
  bool ok = false;
  EXPECT_EQ(Get("/last-put", &ok), "/c.ics?t=1\ntext/calendar\nBEGIN:VCALENDAR\nX:\xC3\xA9\nEND:VCALENDAR\n");
  std::string hex;
  for (unsigned char c : body) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  EXPECT_EQ(Get("/last-put-hex", &ok), hex + "\n");
  EXPECT_TRUE(HttpCheckAddress(calendar, Url("/exists.ics")));
  EXPECT_FALSE(HttpCheckAddress(calendar, Url("/none.ics")));

  prompts.logins.push_back({"user", "pass", true, true});
  std::string text;
  ASSERT_TRUE(FtpDownloadCalendar(calendar, Url("/dir/cal.ics", true), &text, nullptr));
  EXPECT_EQ(text.find("BEGIN:VCALENDAR\r\n"), 0u);
  EXPECT_EQ(prompts.loginQuestions, 1);
  ASSERT_TRUE(FtpUploadCalendar(calendar, Url("/up.ics", true), body, nullptr));
  std::ifstream in("ftp_root/up.ics", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), body);
  EXPECT_TRUE(FtpCheckAddress(calendar, Url("/dir/cal.ics", true)));
}

// A server that refuses an upload at its end leaves it unpublished, and a
// listing it refuses counts as a file there (the overwrite question comes);
// each says so in one box. Only a 550 means no file.
TEST_F(Peers, FtpRefusalsAreReported) {
  calendar.userName = "user";
  calendar.password = "pass";
  calendar.rememberPassword = 1;
  EXPECT_FALSE(FtpUploadCalendar(calendar, Url("/full/up.ics", true), "BEGIN:VCALENDAR\r\n", nullptr));
  EXPECT_EQ(prompts.texts.size(), 1u);
  EXPECT_TRUE(FtpCheckAddress(calendar, Url("/locked/cal.ics", true)));
  EXPECT_EQ(prompts.texts.size(), 2u);
  EXPECT_FALSE(FtpCheckAddress(calendar, Url("/dir/none.ics", true)));
  EXPECT_TRUE(FtpUploadCalendar(calendar, Url("/dir/up.ics", true), "BEGIN:VCALENDAR\r\n", nullptr));
  EXPECT_EQ(prompts.texts.size(), 2u) << prompts.texts.back();
  // A download the server calls failed at its end brings no text.
  std::string text;
  EXPECT_FALSE(FtpDownloadCalendar(calendar, Url("/cut/cal.ics", true), &text, nullptr));
  EXPECT_EQ(text, "");
  EXPECT_EQ(prompts.texts.size(), 3u);
}

// A login goes with every request of its calendar, the PUT included, and
// with no request of a calendar that has none (the peer logs each
// request's Authorization).
TEST_F(Peers, LoginsGoOnlyWithTheirCalendar) {
  CCalendarFile owner, other;
  owner.userName = "user";
  owner.password = "pass";
  owner.rememberPassword = 1;
  std::string text;
  ASSERT_TRUE(HttpSubscribeCalendar(owner, Url("/auth.ics?t=own"), &text, nullptr));
  EXPECT_TRUE(HttpPublishCalendar(owner, Url("/auth/pub.ics?t=own"), "BEGIN:VCALENDAR\r\n", nullptr));
  ASSERT_TRUE(HttpSubscribeCalendar(other, Url("/cal.ics?t=other"), &text, nullptr));
  HttpCheckAddress(other, Url("/auth/pub.ics?t=other"));
  EXPECT_EQ(prompts.loginQuestions, 0);
  EXPECT_TRUE(prompts.texts.empty());
  std::ifstream log("http_peer.log");
  int owned = 0, others = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("?t=own ") != std::string::npos) {
      EXPECT_NE(line.find(" Basic dXNlcjpwYXNz"), std::string::npos) << line;
      ++owned;
    } else if (line.find("?t=other ") != std::string::npos) {
      EXPECT_EQ(line.substr(line.size() - 2), " -") << line;
      ++others;
    }
  }
  EXPECT_GE(owned, 2);
  EXPECT_GE(others, 2);
}

// A subscription refreshed from hostile answers keeps its events and is
// offered no deletions.
class PeerRefresh : public storagetest::StorageTest {
 protected:
  void SetUp() override {
    std::ifstream("http_peer.ports") >> http_;
    ASSERT_GT(http_, 0);
    storagetest::StorageTest::SetUp();
    InstallICalStorage();
    StorageServices s = Services();
    s.transport = &transport;
    scoped_ = std::make_unique<ScopedStorageServices>(s);
    CurrentTransferLimits() = TransferLimits{4u << 20, 3000, 6000};
  }
  void TearDown() override {
    CurrentTransferLimits() = TransferLimits{};
    scoped_.reset();
    storagetest::StorageTest::TearDown();
  }
  std::string Address(const std::string& path) { return "http://127.0.0.1:" + std::to_string(http_) + path; }
  int http_ = 0;
  CWinInetTransport transport;
  std::unique_ptr<ScopedStorageServices> scoped_;
};

TEST_F(PeerRefresh, HostileAnswersLeaveTheCalendarAlone) {
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {});
  SubscribeForm form;
  form.name = "Peer";
  form.address = Address("/cal.ics");
  form.localFile = Path("peer.akv");
  ASSERT_TRUE(SubscribeCalendar(doc, nullptr, form, nullptr));
  CCalendarFile* calendar = doc.calendars().FindByName("Peer");
  ASSERT_NE(calendar, nullptr);
  ASSERT_NE(doc.FindEventByUid("peer-1", calendar), nullptr);
  for (const char* path : {"/html", "/short", "/endless", "/drip", "/status/500", "/redirect-away"}) {
    prompts.texts.clear();
    const bool ok = RefreshSubscription(doc, *calendar, Address(path), "", true, nullptr, nullptr);
    if (std::string(path) == "/redirect-away") {
      EXPECT_TRUE(ok);  // the same calendar, from the other host
      continue;
    }
    EXPECT_FALSE(ok) << path;
    EXPECT_EQ(prompts.texts.size(), 1u) << path;
    EXPECT_NE(doc.FindEventByUid("peer-1", calendar), nullptr) << path;
  }
}

// An event moved out of a calendar published after each save leaves the
// server with that publish; one moved out of a subscription is not fetched
// back. Either way one copy is left, and a refresh counts only what the
// server changed.
TEST_F(PeerRefresh, AMovedEventStaysMoved) {
  CAlmacoraDoc doc;
  storagetest::StartOn(&doc, {NewCalendarFile("to.akv"), NewCalendarFile("pub.akv"), NewCalendarFile("sub.akv")});
  InstallSharing(&doc);
  CCalendarFile* to = doc.calendars().items()[0];
  auto text = [](const std::string& tag, const std::string& keepName, bool moved, bool added) {
    std::string t = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//peer//x//EN\r\n";
    auto event = [&](const std::string& uid, const std::string& name) {
      t += "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:" + name +
           "\r\nDTSTART;VALUE=DATE:20260320\r\nDTSTAMP:20260301T000000Z\r\nEND:VEVENT\r\n";
    };
    event("keep" + tag, keepName);
    if (moved) event("move" + tag, "Move");
    if (added) event("new" + tag, "New");
    return t + "END:VCALENDAR\r\n";
  };
  CCalendarFile server;
  auto put = [&](const std::string& path, const std::string& body) {
    CalendarUrl url;
    ASSERT_TRUE(SplitCalendarUrl(Address(path), &url));
    ASSERT_TRUE(HttpPublishCalendar(server, url, body, nullptr));
  };
  auto held = [&](const std::string& path) {
    CalendarUrl url;
    std::string body;
    EXPECT_TRUE(SplitCalendarUrl(Address(path), &url) && HttpSubscribeCalendar(server, url, &body, nullptr));
    return body;
  };
  // The calendar moved into publishes after each save as well.
  to->address = Address("/store/to.ics");
  to->subscribed = to->published = to->publishAfterSave = 1;
  actionguard::ProvePublish(to);  // both set up by the user here
  put("/store/to.ics", text("to", "Keep", false, false));
  for (size_t i = 1; i <= 2; ++i) {
    CCalendarFile* from = doc.calendars().items()[i];
    const bool published = i == 1;
    const std::string tag = published ? "pub" : "sub", path = "/store/" + tag + ".ics", uid = "move" + tag;
    SCOPED_TRACE(path);
    from->address = Address(path);
    from->subscribed = 1;
    from->published = from->publishAfterSave = published ? 1 : 0;
    actionguard::ProvePublish(from);
    put(path, text(tag, "Keep", true, false));
    RefreshCounts counts;
    ASSERT_TRUE(RefreshSubscription(doc, *from, from->address, "", true, nullptr, &counts));
    ASSERT_EQ(counts.added, 2);

    CCalEvent* moving = doc.FindEventByUid(uid, from);
    ASSERT_NE(moving, nullptr);
    moving->targetCalendarId = to->listId;
    ASSERT_EQ(1, doc.SaveEvent(*moving, 1, 1, 1));
    EXPECT_EQ(held(path).find("UID:" + uid) == std::string::npos, published);

    const struct {
      std::string body;
      int added, updated;
    } steps[] = {{"", 0, 0}, {text(tag, "Kept", !published, true), 1, 1}, {"", 0, 0}};
    for (const auto& step : steps) {
      if (!step.body.empty()) put(path, step.body);
      counts = RefreshCounts{};
      ASSERT_TRUE(RefreshSubscription(doc, *from, from->address, "", true, nullptr, &counts));
      EXPECT_EQ(counts.added, step.added);
      EXPECT_EQ(counts.updated, step.updated);
      EXPECT_EQ(counts.deleted, 0);
      EXPECT_EQ(doc.FindEventByUid(uid, from), nullptr);
      EXPECT_EQ(doc.FindEventByUid(uid, to), moving);
      ASSERT_TRUE(RefreshSubscription(doc, *to, to->address, "", true, nullptr, &counts));
      EXPECT_EQ(counts.added + counts.updated + counts.deleted, 0);
    }
  }
  EXPECT_TRUE(prompts.texts.empty()) << prompts.texts.front();
}

// Drips end at the whole limit (6 s), an endless line at once, in one box;
// tiny chunks come whole or end so. Last: given-up calls end on their own.
TEST_F(Peers, HostileServersEndWithinTheWholeTimeLimit) {
  const std::string kSlow = "Error: the server did not finish the transfer within 6 seconds.";
  const struct {
    const char* path;
    std::string text;  // the one box
  } cases[] = {{"/endless", "Error Subscribing to Internet Calendar.\n\nThe server sent a line longer than 512 KB."},
               {"/header-drip", kSlow}, {"/status-drip", kSlow}, {"/drip", kSlow}, {"ftp", kSlow}, {"/tiny-chunks", "*"}};
  for (const auto& c : cases) {
    prompts.texts.clear();
    std::string text;
    const uint64_t start = platform::TickMs();
    CalendarUrl url = c.path[0] == '/' ? Url(c.path) : Url("/cal.ics", true);
    if (url.IsFtp()) url.port = greeting_;
    const bool ok = url.IsFtp() ? FtpDownloadCalendar(calendar, url, &text, nullptr)
                                : HttpSubscribeCalendar(calendar, url, &text, nullptr);
    EXPECT_LT(platform::TickMs() - start, 12000u) << c.path;
    const bool whole = ok && text.find(kPeerCalendar) == 0;
    EXPECT_EQ(prompts.texts, c.text != "*" ? std::vector<std::string>{c.text} : prompts.texts) << c.path;
    EXPECT_EQ(prompts.texts.size(), c.text != "*" || !whole ? 1u : 0u) << c.path;
    EXPECT_EQ(ok, c.text == "*" && whole) << c.path;
  }
}

}  // namespace
