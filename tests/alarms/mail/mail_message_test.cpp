// The message as text: header lines with the clock fixed, encoded words,
// address lists, quoted-printable bodies and MIME parts.
#include <gtest/gtest.h>

#include <string>

#include "alarms/mail/mail_message.h"
#include "alarms/mail/mail_text.h"
#include "platform/last_error.h"
#include "tests/support/fixed_clock.h"

namespace {

using testsupport::Civil;
using testsupport::FixedClock;

CMailMessage AnnToBob(const std::string& subject) {
  CMailMessage m;
  m.from = CMailAddress("Ann", "ann@example.com");
  m.replyTo = m.from;
  m.AddRecipient(CMailAddress("bob@example.com"), CMailMessage::kTo);
  m.subject = subject;
  return m;
}

TEST(MailHeader, PlainMessageExactly) {
  FixedClock clock(Civil(2024, 1, 15, 12, 0, 0));
  EXPECT_EQ(AnnToBob("Alarm : Dentist").GetHeader(),
            "From: Ann <ann@example.com>\r\nTo: bob@example.com\r\nSubject: Alarm : Dentist\r\n"
            "Date: Mon, 15 Jan 2024 13:00:00 +0100\r\nX-Mailer: Almacora Mailer 5.0\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\nReply-To: Ann <ann@example.com>\r\n\r\n");
}

TEST(MailHeader, DateFollowsTheZoneOfTheDay) {
  const struct {
    platform::CivilTime utc;
    const char* date;
  } cases[] = {
      {Civil(2024, 7, 15, 12, 0, 0), "Mon, 15 Jul 2024 14:00:00 +0200"},
      {Civil(2024, 12, 31, 23, 30, 5), "Wed, 01 Jan 2025 00:30:05 +0100"},
      {Civil(2024, 3, 31, 1, 0, 0), "Sun, 31 Mar 2024 03:00:00 +0200"},
  };
  for (const auto& c : cases) {
    FixedClock clock(c.utc);
    EXPECT_EQ(mail::MailDateNow(), c.date);
  }
  // Offsets of other zones: the sign belongs to the whole offset.
  const std::pair<int, const char*> offsets[] = {{330, "+0530"}, {-300, "-0500"}, {-30, "-0030"}, {0, "+0000"}};
  for (const auto& o : offsets)
    EXPECT_EQ(mail::FormatMailDate(Civil(2024, 2, 29, 9, 5, 7), o.first), std::string("Thu, 29 Feb 2024 09:05:07 ") + o.second);
}

TEST(MailHeader, FieldsAndTheirOrder) {
  FixedClock clock(Civil(2024, 1, 15, 12, 0, 0));
  const std::string date = "Date: Mon, 15 Jan 2024 13:00:00 +0100\r\nX-Mailer: Almacora Mailer 5.0\r\n";
  // Every message names its type and character set, a plain one too.
  const std::string text =
      "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n";
  const struct {
    const char* what;
    void (*edit)(CMailMessage*);
    std::string header;
  } cases[] = {
      {"accented subject",
       [](CMailMessage* m) { m->subject = "Caf\xe9"; },
       "From: Ann <ann@example.com>\r\nTo: bob@example.com\r\nSubject: =?iso-8859-1?q?Caf=E9?=\r\n" + date + text +
           "Reply-To: Ann <ann@example.com>\r\n\r\n"},
      {"accented name, no reply-to, blanks and specials in the word",
       [](CMailMessage* m) {
         m->from = CMailAddress("J\xf6rg", "j@example.com");
         m->replyTo = CMailAddress();
         m->subject = "a b=c?d_\xe9";
       },
       "From: =?iso-8859-1?q?J=F6rg?= <j@example.com>\r\nTo: bob@example.com\r\n"
       "Subject: =?iso-8859-1?q?a_b=3Dc=3Fd=5F=E9?=\r\n" +
           date + text + "\r\n"},
      {"cc, second to, extra lines",
       [](CMailMessage* m) {
         m->AddRecipients("Cy <cy@example.com>; dee@example.com", CMailMessage::kCc);
         m->AddRecipient(CMailAddress("Eve Two", "e2@example.com"), CMailMessage::kTo);
         m->AddRecipient(CMailAddress("hidden@example.com"), CMailMessage::kBcc);
         m->replyTo = CMailAddress();
         m->extraHeaderLines = {"X-One: 1", "X-Two: 2"};
       },
       "From: Ann <ann@example.com>\r\nTo: bob@example.com,Eve Two <e2@example.com>\r\n"
       "Cc: Cy <cy@example.com>,dee@example.com\r\nSubject: s\r\n" +
           date + text + "X-One: 1\r\nX-Two: 2\r\n\r\n"},
      {"line breaks from callers become blanks",
       [](CMailMessage* m) {
         m->subject = "Hi\r\nBcc: eve@example.com";
         m->from.name = "A\nB";
         m->replyTo = CMailAddress();
         m->extraHeaderLines = {"X-A: 1\r\nBcc: eve@example.com"};
       },
       "From: A B <ann@example.com>\r\nTo: bob@example.com\r\nSubject: Hi  Bcc: eve@example.com\r\n" + date + text +
           "X-A: 1  Bcc: eve@example.com\r\n\r\n"},
      {"MIME flag on a single text of another character set",
       [](CMailMessage* m) {
         m->mime = true;
         m->replyTo = CMailAddress();
         m->root.charset = "windows-1252";
       },
       "From: Ann <ann@example.com>\r\nTo: bob@example.com\r\nSubject: s\r\n" + date +
           "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=windows-1252\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\n"},
  };
  for (const auto& c : cases) {
    CMailMessage m = AnnToBob("s");
    c.edit(&m);
    EXPECT_EQ(m.GetHeader(), c.header) << c.what;
  }
}

TEST(MailAddresses, ParsingLists) {
  const struct {
    const char* text;
    bool ok;
    std::vector<std::pair<std::string, std::string>> want;
  } cases[] = {
      {"Jo Doe <jo@x.org>; bob@y.org", true, {{"Jo Doe", "jo@x.org"}, {"", "bob@y.org"}}},
      {" a@x.org ,, ;b@y.org ", true, {{"", "a@x.org"}, {"", "b@y.org"}}},
      {"Name <>", true, {}},
      {"", true, {}},
      {"a>b<c", false, {}},
      {"ok@x.org, Jo <jo@x.org", false, {}},
      {"ok@x.org, jo@x.org>", false, {}},
  };
  for (const auto& c : cases) {
    platform::SetLastErrorCode(0);
    std::vector<CMailAddress> got;
    EXPECT_EQ(ParseAddressList(c.text, &got), c.ok) << c.text;
    ASSERT_EQ(got.size(), c.want.size()) << c.text;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].name, c.want[i].first) << c.text;
      EXPECT_EQ(got[i].address, c.want[i].second) << c.text;
    }
    if (!c.ok) {
      EXPECT_EQ(platform::LastErrorCode(), 13u) << c.text;
    }
  }
  CMailMessage m;
  EXPECT_FALSE(m.AddRecipients("a@x.org>\r\nRCPT TO:<eve@example.com>", CMailMessage::kTo));
  EXPECT_TRUE(m.to.empty());
  EXPECT_EQ(m.AddRecipient(CMailAddress("a@x.org"), 3), -1);
}

TEST(MailText, QuotedPrintable) {
  const std::string l76(76, 'x'), l77(77, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"a=b", "a=3Db"},
      {"tab\tand blank \r\nend\t", "tab\tand blank=20\r\nend=09"},
      {"\xe9t\xe9", "=E9t=E9"},
      {"lone\rcr", "lone=0Dcr"},
      {l76 + "\r\n", l76 + "\r\n"},  // exactly 76 needs no break
      {l77, std::string(75, 'x') + "=\r\nxx"},
      // A triple is never cut: 74 letters then "=E9" would make 77.
      {std::string(74, 'x') + "\xe9" + "y", std::string(74, 'x') + "=\r\n=E9y"},
  };
  for (const auto& c : cases) EXPECT_EQ(mail::QuotedPrintable(c.first), c.second) << c.first;

  // Every line of a long text stays within 76 characters.
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += static_cast<char>(i % 3 == 0 ? '=' : i % 7 == 0 ? ' ' : 'a');
  std::string qp = mail::QuotedPrintable(longText);
  size_t start = 0;
  for (size_t end; (end = qp.find("\r\n", start)) != std::string::npos; start = end + 2)
    EXPECT_LE(end - start, 76u);
  EXPECT_LE(qp.size() - start, 76u);
}

TEST(MailText, LineEndsAndDotStuffing) {
  EXPECT_EQ(mail::ToCrLf("a\rb\nc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  const std::pair<std::string, std::string> cases[] = {
      {".", ".."},
      {"..x\r\n.\r\nend", "...x\r\n..\r\nend"},
      {"a.b\r\n x", "a.b\r\n x"},
  };
  for (const auto& c : cases) EXPECT_EQ(mail::DotStuff(c.first), c.second);
}

TEST(MailParts, MultipartComposition) {
  FixedClock clock(Civil(2024, 1, 15, 12, 0, 0));
  CMailMessage m = AnnToBob("s");
  m.mime = true;
  m.AddTextBody("caf\xe9\n.dot");
  m.AddTextBody("second\ntext");  // goes to the text child
  ASSERT_EQ(m.root.Children().size(), 1u);
  const CMailBodyPart& text = *m.root.Children()[0];
  EXPECT_EQ(text.Parent(), &m.root);
  CMailBodyPart copy = m.root;
  EXPECT_EQ(copy.Children()[0]->Parent(), &copy);

  std::string data;
  int error = 0;
  ASSERT_TRUE(m.ComposeData(&data, &error));
  const std::string b = m.root.Boundary();
  EXPECT_EQ(b.size(), 36u);
  EXPECT_NE(b, CMailBodyPart().Boundary());
  const std::string want =
      "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"" + b +
      "\"\r\nReply-To: Ann <ann@example.com>\r\n\r\n" +
      "This is a multi-part message in MIME format\r\n--" + b +
      "\r\nContent-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
      "second\r\ntext\r\n--" + b + "--";
  ASSERT_NE(data.find("X-Mailer"), std::string::npos);
  EXPECT_EQ(data.substr(data.find("MIME-Version")), want);
  EXPECT_EQ(data.find("Content-Transfer-Encoding: quoted-printable\r\n"),
            data.find("Content-Transfer-Encoding: quoted-printable\r\n", data.find("--" + b)))
      << "the multipart root carries no transfer encoding";

  CMailBodyPart attachment;
  attachment.attachmentFile = "no/such/file.bin";
  attachment.title = "a\r\nb.bin";
  attachment.contentType = "application/octet-stream";
  m.root.AddChildBodyPart(attachment);
  EXPECT_FALSE(m.ComposeData(&data, &error));
  EXPECT_EQ(error, 2);
  EXPECT_NE(m.root.Children()[1]->GetHeader().find("name=a  b.bin\r\n"), std::string::npos);
}

}  // namespace
