// The SMTP client against broken and hostile servers scripted on a thread
// of this executable: every call ends, within its limits, with the right
// code, and nothing the caller did not write reaches the server.
#include <gtest/gtest.h>

#include <string>

#include "alarms/mail/mail_message.h"
#include "alarms/mail/smtp_connection.h"
#include "platform/last_error.h"
#include "platform/tick.h"
#include "tests/alarms/mail/scripted_server.h"

namespace {

using Peer = testsupport::ScriptedServer::Peer;
using testsupport::ScriptedServer;

constexpr int kTimeoutMs = 1000;
// Five reply time-outs bound any reply; the rest is slack for slow hosts.
constexpr uint64_t kLimitMs = 5 * kTimeoutMs + 4000;

// Many lines in one write: an endless reply then passes the reader's size
// limit long before its time-out, however slowly a loaded host runs us.
std::string Repeat(const char* line) {
  std::string lines;
  for (int i = 0; i < 512; ++i) lines += line;
  return lines;
}

// Answers each command with the reply the table gives for its verb.
void Converse(Peer& p, const std::string& greeting, const std::string& mail, const std::string& data) {
  if (!p.Send(greeting)) return;
  std::string line;
  bool inData = false;
  while (p.ReadLine(&line)) {
    if (inData) {
      if (line == ".") {
        inData = false;
        p.Send("250 queued\r\n");
      }
      continue;
    }
    std::string verb = line.substr(0, 4);
    if (verb == "HELO" || verb == "EHLO") p.Send("250 hello\r\n");
    else if (verb == "MAIL") p.Send(mail);
    else if (verb == "RCPT") p.Send("250 ok\r\n");
    else if (verb == "DATA") {
      if (!p.Send(data)) return;
      if (data.compare(0, 3, "354") == 0) inData = true;
    } else if (verb == "QUIT") {
      p.Send("221 bye\r\n");
      return;
    }
  }
}

CMailMessage SimpleMessage(const std::string& body) {
  CMailMessage m;
  m.from = CMailAddress("a@example.com");
  m.AddRecipient(CMailAddress("b@example.com"), CMailMessage::kTo);
  m.subject = "test";
  m.AddTextBody(body);
  return m;
}

TEST(SmtpHostile, ConnectFailsInTime) {
  const struct {
    const char* what;
    void (*script)(Peer&);
    uint32_t code;
    const char* reply;  // null: not checked
    int method = CSMTPConnection::kLoginNone;
  } cases[] = {
      {"silence", [](Peer& p) { p.Idle(); }, 10060, ""},
      {"greeting without line end", [](Peer& p) { p.Send("220 hello"), p.Idle(); }, 10060, "220 hello"},
      {"greeting trickled forever",
       [](Peer& p) {
         p.Send("220-");
         while (p.Send("x")) p.Pause(300);
       },
       10060, nullptr},
      {"endless continuation lines",
       [](Peer& p) {
         const std::string lines = Repeat("250-this never ends, this never ends, this never ends\r\n");
         while (p.Send(lines)) {
         }
       },
       10040, nullptr},
      {"closed mid-reply", [](Peer& p) { p.Send("220-first line\r\n"); }, 10054, "220-first line"},
      {"554 greeting", [](Peer& p) { p.Send("554 5.3.2 go away\r\n"), p.Idle(); }, 10043, "554 5.3.2 go away"},
      {"endless EHLO reply",
       [](Peer& p) {
         std::string line;
         p.Send("220 hi\r\n");
         p.ReadLine(&line);
         const std::string lines = Repeat("250-AUTH LOGIN PLAIN CRAM-MD5 AUTH LOGIN PLAIN CRAM-MD5\r\n");
         while (p.Send(lines)) {
         }
       },
       10040, nullptr, CSMTPConnection::kLoginPlain},
      {"535 for the password",
       [](Peer& p) {
         std::string line;
         p.Send("220 hi\r\n");
         p.ReadLine(&line), p.Send("250-hi\r\n250 AUTH PLAIN\r\n");
         p.ReadLine(&line), p.Send("334 \r\n");
         p.ReadLine(&line), p.Send("535 5.7.8 no\r\n");
         p.Idle();
       },
       10043, "535 5.7.8 no", CSMTPConnection::kLoginPlain},
  };
  for (const auto& c : cases) {
    ScriptedServer server(c.script);
    CSMTPConnection smtp;
    smtp.replyTimeoutMs = kTimeoutMs;
    const uint64_t start = platform::TickMs();
    EXPECT_FALSE(smtp.Connect("127.0.0.1", c.method, "u", "p", server.Port())) << c.what;
    EXPECT_EQ(platform::LastErrorCode(), c.code) << c.what;
    EXPECT_LT(platform::TickMs() - start, kLimitMs) << c.what;
    if (c.reply) {
      EXPECT_EQ(smtp.GetLastReplyText(), c.reply) << c.what;
    }
    EXPECT_FALSE(smtp.Disconnect()) << c.what;
    EXPECT_EQ(platform::LastErrorCode(), c.code) << c.what << ": the first failure stays";
  }
}

TEST(SmtpHostile, ArgumentsRefusedBeforeAnyTraffic) {
  CSMTPConnection smtp;
  const struct {
    int port, method;
    uint32_t code;
  } cases[] = {{0, 0, 10022}, {65536, 0, 10022}, {-1, 0, 10022}, {25, 4, 10022}};
  for (const auto& c : cases) {
    EXPECT_FALSE(smtp.Connect("127.0.0.1", c.method, "", "", c.port)) << c.port;
    EXPECT_EQ(platform::LastErrorCode(), c.code) << c.port;
  }
  CSMTPConnection unused;
  EXPECT_FALSE(unused.SmtpSendMessage(SimpleMessage("x")));
  EXPECT_EQ(platform::LastErrorCode(), 10057u);

  // A port nobody listens on: a listener closed again frees one.
  uint16_t port = 0;
  {
    ScriptedServer probe([](Peer&) {});
    port = static_cast<uint16_t>(probe.Port());
  }
  smtp.replyTimeoutMs = kTimeoutMs;
  EXPECT_FALSE(smtp.Connect("127.0.0.1", 0, "", "", port));
  EXPECT_EQ(platform::LastErrorCode(), 10061u);
}

TEST(SmtpHostile, RepliesInPiecesAndLeftovers) {
  ScriptedServer server([](Peer& p) {
    std::string line;
    p.Send("220 hi\r\n");
    p.ReadLine(&line);
    for (char c : std::string("250-mail.test greets you\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n")) {
      p.Send(std::string(1, c));
      p.Pause(2);
    }
    // Extra lines after each prompt must not answer the next command.
    p.ReadLine(&line), p.Send("334 VXNlcm5hbWU6\r\n235 not yet\r\n");
    p.ReadLine(&line), p.Send("334 UGFzc3dvcmQ6\r\n");
    p.ReadLine(&line), p.Send("235 2.7.0 ok\r\n");
    Converse(p, "", "550 5.1.0 sender rejected\r\n", "354 go\r\n");
  });
  CSMTPConnection smtp;
  smtp.replyTimeoutMs = kTimeoutMs;
  smtp.hostName = "client.test";
  ASSERT_TRUE(smtp.Connect("127.0.0.1", CSMTPConnection::kLoginLogin, "ann", "pw", server.Port()));
  EXPECT_FALSE(smtp.SmtpSendMessage(SimpleMessage("x")));
  EXPECT_EQ(platform::LastErrorCode(), 22u);
  EXPECT_EQ(smtp.GetLastReplyText(), "550 5.1.0 sender rejected");
  smtp.Disconnect();
  EXPECT_EQ(platform::LastErrorCode(), 22u);
  EXPECT_EQ(server.Received(), "EHLO client.test\nAUTH LOGIN\nYW5u\ncHc=\nMAIL FROM:<a@example.com>\nQUIT\n");
}

TEST(SmtpHostile, ServerThatStopsReadingDuringData) {
  ScriptedServer server([](Peer& p) {
    std::string line;
    p.Send("220 hi\r\n");
    while (p.ReadLine(&line)) {
      if (line.compare(0, 4, "DATA") == 0) {
        p.Send("354 go\r\n");
        break;
      }
      p.Send("250 ok\r\n");
    }
    p.Pause(300000);  // reads nothing more until the test ends
  });
  std::string body;
  const std::string line = std::string(70, 'z') + "\r\n";
  while (body.size() < (32u << 20)) body += line;
  CMailMessage message = SimpleMessage(body);
  CSMTPConnection smtp;
  smtp.replyTimeoutMs = kTimeoutMs;
  ASSERT_TRUE(smtp.Connect("127.0.0.1", 0, "", "", server.Port()));
  const uint64_t start = platform::TickMs();
  EXPECT_FALSE(smtp.SmtpSendMessage(message));
  // The time-out, not the server letting go: the body's encoding alone can
  // take tens of seconds on a loaded host under the sanitizers, so the bound
  // only has to stay under the server's five-minute pause.
  EXPECT_EQ(platform::LastErrorCode(), 10060u);
  EXPECT_LT(platform::TickMs() - start, 180000u);
  const uint64_t quit = platform::TickMs();
  smtp.Disconnect();
  EXPECT_LT(platform::TickMs() - quit, 500u) << "no second wait after a failure";
}

TEST(SmtpHostile, RefusedAddressesAndFilesSendNothing) {
  const struct {
    const char* what;
    void (*edit)(CMailMessage*);
    uint32_t code;
  } cases[] = {
      {"recipient with a line break",
       [](CMailMessage* m) {
         m->AddRecipient(CMailAddress("a@x.org>\r\nRCPT TO:<eve@example.com>"), CMailMessage::kBcc);
       },
       13},
      {"sender with '<'", [](CMailMessage* m) { m->from.address = "a<b@x.org"; }, 13},
      {"control byte", [](CMailMessage* m) { m->AddRecipient(CMailAddress("c\x01@x.org"), 1); }, 13},
      {"unreadable attachment",
       [](CMailMessage* m) {
         m->mime = true;
         CMailBodyPart part;
         part.attachmentFile = "no-such-attachment.bin";
         m->root.AddChildBodyPart(part);
       },
       2},
  };
  for (const auto& c : cases) {
    ScriptedServer server([](Peer& p) { Converse(p, "220 hi\r\n", "250 ok\r\n", "354 go\r\n"); });
    CMailMessage m = SimpleMessage("x");
    c.edit(&m);
    CSMTPConnection smtp;
    smtp.replyTimeoutMs = kTimeoutMs;
    smtp.hostName = "h";
    ASSERT_TRUE(smtp.Connect("127.0.0.1", 0, "", "", server.Port(), "127.0.0.1")) << c.what;
    EXPECT_FALSE(smtp.SmtpSendMessage(m)) << c.what;
    EXPECT_EQ(platform::LastErrorCode(), c.code) << c.what;
    smtp.Disconnect();
    EXPECT_EQ(server.Received(), "HELO h\nQUIT\n") << c.what;
  }
}

}  // namespace
