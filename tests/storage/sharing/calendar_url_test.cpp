// Address splitting, redirect targets, reason texts and publish names.
#include <gtest/gtest.h>

#include "storage/sharing/calendar_url.h"
#include "storage/sharing/http_status.h"
#include "storage/sharing/sharing.h"

namespace {

TEST(CalendarUrl, SplitsAddresses) {
  struct Case {
    const char* address;
    const char* scheme;
    const char* host;
    int port;
    const char* object;  // HTTP: path+query; ftp: FTP object
  } cases[] = {
      {"  webcal://h/c.ics?x=1 ", "webcal", "h", 80, "/c.ics?x=1"},
      {"https://h/c.ics", "https", "h", 443, "/c.ics"},
      {"http://u:p@h:8080/a/b.ics#frag", "http", "h", 8080, "/a/b.ics"},
      {"http://h", "http", "h", 80, "/"},
      {"unknown://h/x", "unknown", "h", 80, "/x"},
      {"ftp://h/dir/cal.ics", "ftp", "h", 21, "dir/cal.ics"},
      {"ftp://h//x", "ftp", "h", 21, "/x"},
      {"FTP://h:2121/x", "ftp", "h", 2121, "x"},
  };
  for (const Case& c : cases) {
    CalendarUrl u;
    ASSERT_TRUE(SplitCalendarUrl(c.address, &u)) << c.address;
    EXPECT_EQ(u.scheme, c.scheme) << c.address;
    EXPECT_EQ(u.host, c.host) << c.address;
    EXPECT_EQ(u.port, c.port) << c.address;
    EXPECT_EQ(u.IsFtp() ? u.FtpObject() : u.HttpObject(), c.object) << c.address;
  }
  for (const char* bad : {"", "h/c.ics", "http://", "http://h:0/", "http://h:99999/", "http://h:x/",
                          "http://h/a b", "http://h/\x01", "://h/"}) {
    CalendarUrl u;
    EXPECT_FALSE(SplitCalendarUrl(bad, &u)) << bad;
  }
  CalendarUrl f;
  ASSERT_TRUE(SplitCalendarUrl("file:///C:/cal/x.ics", &f));
  EXPECT_TRUE(f.IsFile());
  EXPECT_EQ(f.path, "C:/cal/x.ics");
}

TEST(CalendarUrl, ResolvesRedirects) {
  CalendarUrl from;
  ASSERT_TRUE(SplitCalendarUrl("http://a:81/d/c.ics?q", &from));
  struct Case {
    const char* location;
    const char* host;
    int port;
    const char* object;
  } cases[] = {
      {"http://b/x.ics", "b", 80, "/x.ics"},
      {"//b:90/y", "b", 90, "/y"},
      {"/z.ics?t=1", "a", 81, "/z.ics?t=1"},
      {"other.ics", "a", 81, "/d/other.ics"},
  };
  for (const Case& c : cases) {
    CalendarUrl to;
    ASSERT_TRUE(ResolveRedirect(from, c.location, &to)) << c.location;
    EXPECT_EQ(to.host, c.host);
    EXPECT_EQ(to.port, c.port);
    EXPECT_EQ(to.HttpObject(), c.object);
  }
  CalendarUrl to;
  for (const char* bad : {"", "ftp://b/x", "file:///etc/passwd", "http://b/\r\nX: y"})
    EXPECT_FALSE(ResolveRedirect(from, bad, &to)) << bad;
}

TEST(CalendarUrl, ReasonTextsAndPublishNames) {
  EXPECT_EQ(HttpStatusText(404), "Not Found");
  EXPECT_EQ(HttpStatusText(302), "Moved Temporarily");
  EXPECT_EQ(HttpStatusText(505), "HTTP Version not supported");
  EXPECT_EQ(HttpStatusText(999), "");
  const struct {
    const char* url;
    const char* name;
    const char* address;
  } cases[] = {
      {"ftp://host/cal", "My Family Dates", "ftp://host/cal/My-Family-Dates.ics"},
      {" http://h/d/ ", "  a#b ", "http://h/d/a%23b.ics"},
      {"http://h", "50% off?\x01", "http://h/50%-off%3F%01.ics"},
  };
  for (const auto& c : cases) EXPECT_EQ(WebPublishAddress(c.url, c.name), c.address);
}

}  // namespace
