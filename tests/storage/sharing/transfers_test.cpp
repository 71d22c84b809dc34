// The transfers over the scripted network: requests, steps, logins,
// resends, redirects and the limits of a hostile server.
#include <gtest/gtest.h>

#include "storage/calendar_file.h"
#include "storage/sharing/calendar_url.h"
#include "tests/storage/sharing/sharing_fixture.h"

namespace {

using namespace sharingtest;

class Transfers : public SharingTest {
 protected:
  CalendarUrl Url(const std::string& address) {
    CalendarUrl u;
    EXPECT_TRUE(SplitCalendarUrl(address, &u)) << address;
    return u;
  }
  bool Get(const std::string& address, std::string* text) {
    return HttpSubscribeCalendar(calendar, Url(address), text, &progress);
  }
  CCalendarFile calendar;
};

TEST_F(Transfers, GetAsksForPathAndQueryWithItsFlags) {
  const struct {
    const char* address;
    int port;
    bool secure;
    uint32_t flags;
  } cases[] = {
      {"webcal://h/c.ics?x=1", 80, false, 0x84600000u},
      {"https://h/c.ics?x=1", 443, true, 0x84E00000u},
  };
  for (const auto& c : cases) {
    net.seen.clear();
    net.replies.push_back(Ok("BEGIN:VCALENDAR\r\nEND:VCALENDAR"));
    std::string text;
    ASSERT_TRUE(Get(c.address, &text));
    EXPECT_EQ(text, "BEGIN:VCALENDAR\nEND:VCALENDAR\n");
    ASSERT_EQ(net.seen.size(), 1u);
    EXPECT_EQ(net.seen[0].params.verb, "GET");
    EXPECT_EQ(net.seen[0].params.object, "/c.ics?x=1");
    EXPECT_EQ(net.seen[0].params.port, c.port);
    EXPECT_EQ(net.seen[0].params.secure, c.secure);
    EXPECT_EQ(net.seen[0].params.flags, c.flags);
  }
  EXPECT_EQ(progress.steps.back(), std::make_pair(3, std::string("Reading Calendar...")));
}

TEST_F(Transfers, PutSendsPiecesWithSteps) {
  for (size_t size : {2500u, 0u}) {
    progress = Progress();
    net.seen.clear();
    net.replies.push_back(Status(201));
    const std::string body(size, 'a');
    ASSERT_TRUE(HttpPublishCalendar(calendar, Url("http://h/c.ics?t=1"), body, &progress));
    std::vector<std::pair<int, std::string>> want = {{1, "Connecting..."}};
    for (size_t i = 0; i * 1000 < size; ++i) want.emplace_back(int(i) + 2, "Sending Calendar Data");
    want.emplace_back(size ? 5 : 2, "Closing connection");
    EXPECT_EQ(progress.steps, want);
    EXPECT_EQ(progress.range, int(size / 1000 + 3));
    EXPECT_EQ(net.seen[0].params.object, "/c.ics?t=1");
    EXPECT_EQ(net.seen[0].params.flags, 0x24600000u);
    EXPECT_EQ(net.seen[0].headers, "Content-Type: text/calendar\r\n");
    EXPECT_EQ(net.seen[0].body, body);
  }
}

TEST_F(Transfers, FailuresEndInTheirBox) {
  const std::string kNotWhole =
      "Error Subscribing to Internet Calendar.\n\nThe address did not return a whole iCalendar calendar.";
  const std::string kLarge = "Error Subscribing to Internet Calendar.\n\nThe calendar is larger than 64 MB.";
  const std::string kSlow = "Error: the server did not finish the transfer within 20 seconds.";
  Reply endless = Ok(""), line = Ok(""), drip = Ok(""), stall = Ok(""), cut = Ok(std::string(17, 'x'));
  Reply headerDrip = Ok(""), bigHeader = Ok("");
  endless.kind = Reply::kEndlessLines;
  endless.contentLength = -1;
  line.kind = Reply::kEndless;
  line.contentLength = -1;
  headerDrip.sendMs = 400000;
  bigHeader.headerBytes = 1u << 20;
  drip.kind = Reply::kDrip;
  stall.kind = Reply::kStall;
  cut.contentLength = 1000;
  Reply huge = Ok("");
  huge.contentLength = int64_t(1) << 40;
  const struct {
    Reply reply;
    std::string text;
  } cases[] = {
      {Status(999), "Error Subscribing to Internet Calendar.\n\nHTTP Error 999: ."},
      {Status(404), "Error Subscribing to Internet Calendar.\n\nHTTP Error 404: Not Found."},
      {Status(500), "Error Subscribing to Internet Calendar.\n\nHTTP Error 500: Server Error."},
      {endless, kLarge},
      {line, "Error Subscribing to Internet Calendar.\n\nThe server sent a line longer than 512 KB."},
      {huge, kLarge},
      {drip, kSlow},
      {headerDrip, kSlow},
      {bigHeader, "Error: the server's answer before the calendar was larger than 256 KB."},
      {stall, "Internet error 12002."},
      {cut, kNotWhole},
  };
  for (const auto& c : cases) {
    prompts.texts.clear();
    net.replies.push_back(c.reply);
    net.now = 0;
    std::string text;
    EXPECT_FALSE(Get("http://h/c.ics", &text)) << c.text;
    EXPECT_EQ(prompts.texts, std::vector<std::string>{c.text});
    EXPECT_LE(net.now, 20000u);
  }
}

TEST_F(Transfers, LoginsRetryAndStayOnTheirServer) {
  calendar.userName = "old";
  calendar.password = "bad";
  calendar.rememberPassword = 0;
  prompts.logins.push_back({"user", "pass", false, true});
  net.replies = {Status(401), Status(302, "http://127.0.0.2:8000/moved.ics"), Ok("BEGIN:VCALENDAR\n")};
  std::string text;
  ASSERT_TRUE(Get("http://127.0.0.1:8000/c.ics", &text));
  ASSERT_EQ(net.seen.size(), 3u);
  EXPECT_EQ(net.seen[0].params.user, "old");
  EXPECT_EQ(net.seen[1].params.user, "user");
  EXPECT_EQ(net.seen[1].params.password, "pass");
  EXPECT_EQ(net.seen[2].params.host, "127.0.0.2");
  EXPECT_EQ(net.seen[2].params.user, "");
  EXPECT_EQ(net.seen[2].params.password, "");
  EXPECT_EQ(calendar.userName, "");  // remember off
  EXPECT_EQ(calendar.password, "");

  // Cancel: false, no box. A 401 from another host asks nothing.
  prompts.texts.clear();
  net.replies = {Status(401)};
  EXPECT_FALSE(Get("http://h/c.ics", &text));
  EXPECT_EQ(prompts.loginQuestions, 2);
  EXPECT_TRUE(prompts.texts.empty());
  net.replies = {Status(302, "http://other/x"), Status(401)};
  EXPECT_FALSE(Get("http://h/c.ics", &text));
  EXPECT_EQ(prompts.loginQuestions, 2);
}

// A server that turns down the login it was sent says so before the login
// box asks again; a first request without one only asks.
TEST_F(Transfers, ARefusedLoginIsSaidBeforeTheBoxComesBack) {
  const std::string refused = "The server refused the user name or password.\n\nPlease check them and try again.";
  const struct {
    bool ftp;
    const char* user;
    std::vector<std::string> texts;
  } cases[] = {
      {false, "user", {refused}}, {false, "", {}}, {true, "user", {refused}}, {true, "", {}},
  };
  for (const auto& c : cases) {
    prompts.texts.clear();
    prompts.loginQuestions = 0;
    calendar.userName = c.user;
    calendar.password = "wrong";
    net.ftpUser = "someone";
    net.ftpPassword = "right";
    net.replies = {Status(401)};
    std::string text;
    if (c.ftp)
      EXPECT_FALSE(FtpDownloadCalendar(calendar, Url("ftp://h/dir/cal.ics"), &text, &progress));
    else
      EXPECT_FALSE(Get("http://h/c.ics", &text));
    EXPECT_EQ(prompts.texts, c.texts) << c.ftp << " " << c.user;
    EXPECT_EQ(prompts.loginQuestions, 1) << c.ftp << " " << c.user;
  }
}

TEST_F(Transfers, RedirectsEndAfterFive) {
  for (int i = 0; i < 6; ++i) net.replies.push_back(Status(302, "/r" + std::to_string(i)));
  std::string text;
  EXPECT_FALSE(Get("http://h/c.ics", &text));
  EXPECT_EQ(net.seen.size(), 6u);
  EXPECT_EQ(prompts.texts, std::vector<std::string>{
                               "Error Subscribing to Internet Calendar.\n\nHTTP Error 302: Moved Temporarily."});
}

TEST_F(Transfers, ResendsAtMostThreeTimes) {
  Reply r = Status(200);
  r.sendErrors = {12032, 12032, 12032, 12032};
  net.replies.push_back(r);
  EXPECT_FALSE(HttpPublishCalendar(calendar, Url("http://h/c.ics"), "x", &progress));
  EXPECT_EQ(net.seen.size(), 1u);
  EXPECT_EQ(net.seen[0].sends, 4);
  EXPECT_EQ(prompts.texts, std::vector<std::string>{"Internet error 12032."});
  r.sendErrors = {12032, 12032, 12032};
  net.replies.push_back(r);
  EXPECT_TRUE(HttpPublishCalendar(calendar, Url("http://h/c.ics"), "x", &progress));
}

TEST_F(Transfers, HeadChecksSilently) {
  net.replies = {Status(200), Status(404)};
  EXPECT_TRUE(HttpCheckAddress(calendar, Url("http://h/c.ics?t=1")));
  EXPECT_FALSE(HttpCheckAddress(calendar, Url("http://h/c.ics")));
  EXPECT_EQ(net.seen[0].params.verb, "HEAD");
  EXPECT_EQ(net.seen[0].params.object, "/c.ics?t=1");
  EXPECT_TRUE(prompts.texts.empty());
}

TEST_F(Transfers, FtpDownloadUploadAndCheck) {
  net.ftpUser = "user";
  net.ftpPassword = "pass";
  net.ftpFiles["dir/cal.ics"] = std::string(1234, 'c');
  prompts.logins.push_back({"user", "pass", true, true});
  std::string text;
  ASSERT_TRUE(FtpDownloadCalendar(calendar, Url("ftp://h/dir/cal.ics"), &text, &progress));
  EXPECT_EQ(text, net.ftpFiles["dir/cal.ics"]);
  EXPECT_EQ(prompts.loginQuestions, 1);
  EXPECT_EQ(net.ftpPorts, (std::vector<int>{21, 21}));
  ASSERT_TRUE(FtpUploadCalendar(calendar, Url("ftp://h//up.ics"), "bytes\r\nexact", &progress));
  EXPECT_EQ(net.ftpFiles["/up.ics"], "bytes\r\nexact");
  EXPECT_TRUE(FtpCheckAddress(calendar, Url("ftp://h/dir/cal.ics")));
  EXPECT_FALSE(FtpCheckAddress(calendar, Url("ftp://h/dir/none.ics")));
  EXPECT_TRUE(prompts.texts.empty());
  net.ftpOpenMs = 400000;
  net.now = 0;
  EXPECT_FALSE(FtpDownloadCalendar(calendar, Url("ftp://h/dir/cal.ics"), &text, &progress));
  EXPECT_EQ(prompts.texts, std::vector<std::string>{"Error: the server did not finish the transfer within 20 seconds."});
  EXPECT_EQ(net.now, 20000u);
}

}  // namespace
