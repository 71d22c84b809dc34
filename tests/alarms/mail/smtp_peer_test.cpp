// The SMTP client against a real server: the aiosmtpd peer the CTest
// fixture starts (ALMACORA_SMTP_PEER_DIR names its folder). Each message is
// sent from its own envelope sender, under which the peer files it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "alarms/mail/mail_message.h"
#include "alarms/mail/mail_text.h"
#include "alarms/mail/smtp_connection.h"
#include "platform/last_error.h"

namespace {

// The peer's folder as this program opens it (Wine maps the Unix root to Z:).
std::string PeerPath(const std::string& name) {
  const char* dir = std::getenv("ALMACORA_SMTP_PEER_DIR");
  std::string path = std::string(dir ? dir : "") + "/" + name;
#ifdef _WIN32
  for (char& c : path)
    if (c == '/') c = '\\';
  path = "Z:" + path;
#endif
  return path;
}

bool ReadFile(const std::string& path, std::string* content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *content = s.str();
  return true;
}

int PeerPort() {
  std::string text;
  return ReadFile(PeerPath("port"), &text) ? std::atoi(text.c_str()) : 0;
}

struct Delivered {
  std::string envelope, message, body;
};

bool Fetch(const std::string& sender, Delivered* d) {
  const std::string base = PeerPath("mail/" + sender);
  return ReadFile(base + ".env", &d->envelope) && ReadFile(base + ".msg", &d->message) &&
         ReadFile(base + ".body", &d->body);
}

const char* const kMethods[] = {"HELO", "CRAM-MD5", "LOGIN", "PLAIN"};

class SmtpPeer : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = PeerPort();
    ASSERT_GT(port_, 0) << "no peer: " << PeerPath("port");
  }
  bool Send(int method, const std::string& password, const CMailMessage& m) {
    CSMTPConnection smtp;
    smtp.replyTimeoutMs = 10000;
    if (!smtp.Connect("127.0.0.1", method, "user", password, port_)) {
      error_ = platform::LastErrorCode();
      reply_ = smtp.GetLastReplyText();
      return false;
    }
    bool sent = smtp.SmtpSendMessage(m);
    error_ = platform::LastErrorCode();
    return smtp.Disconnect() && sent;
  }
  int port_ = 0;
  uint32_t error_ = 0;
  std::string reply_;
};

TEST_F(SmtpPeer, EveryLoginDeliversBodiesIntact) {
  const std::string bodies[] = {".", "..x", "a=b", "one\rtwo\nthree\r\n.\nfour", std::string(300, 'q'),
                                "trailing blank \nend"};
  for (int method = 0; method < 4; ++method) {
    for (size_t i = 0; i < std::size(bodies); ++i) {
      const std::string sender = "m" + std::to_string(method) + "-" + std::to_string(i) + "@example.com";
      CMailMessage m;
      m.from = CMailAddress("Sender", sender);
      m.AddRecipients("Bob <bob@example.com>, cc@example.com", CMailMessage::kTo);
      m.AddRecipient(CMailAddress("hidden@example.com"), CMailMessage::kBcc);
      m.subject = "case";
      m.AddTextBody(bodies[i]);
      ASSERT_TRUE(Send(method, "secret", m)) << kMethods[method] << " error " << error_;
      Delivered d;
      ASSERT_TRUE(Fetch(sender, &d)) << sender;
      EXPECT_EQ(d.envelope, "FROM " + sender + "\nRCPT bob@example.com\nRCPT cc@example.com\nRCPT hidden@example.com\n");
      // SMTP data ends with a line end: the peer hands one back after a
      // last line that had none.
      std::string want = mail::ToCrLf(bodies[i]);
      if (want.size() < 2 || want.compare(want.size() - 2, 2, "\r\n") != 0) want += "\r\n";
      EXPECT_EQ(d.body, want) << kMethods[method] << " body " << i;
      EXPECT_EQ(d.message.find("hidden"), std::string::npos) << "Bcc stays off the header";
    }
  }
}

TEST_F(SmtpPeer, WrongPasswordIsRefused) {
  for (int method = 1; method < 4; ++method) {
    CMailMessage m;
    m.from = CMailAddress("wrong" + std::to_string(method) + "@example.com");
    m.AddRecipient(CMailAddress("bob@example.com"), CMailMessage::kTo);
    EXPECT_FALSE(Send(method, "not-the-password", m)) << kMethods[method];
    EXPECT_EQ(error_, 10043u) << kMethods[method];
    EXPECT_EQ(reply_, "535 5.7.8 Authentication credentials invalid") << kMethods[method];
  }
}

TEST_F(SmtpPeer, InjectedLinesReachNeitherEnvelopeNorHeader) {
  CMailMessage m;
  m.from = CMailAddress("inject1@example.com");
  m.AddRecipient(CMailAddress("bob@example.com"), CMailMessage::kTo);
  m.subject = "Hi\r\nBcc: eve@example.com";
  m.AddTextBody("hello");
  ASSERT_TRUE(Send(0, "", m));
  Delivered d;
  ASSERT_TRUE(Fetch("inject1@example.com", &d));
  EXPECT_EQ(d.envelope.find("eve"), std::string::npos);
  EXPECT_EQ(d.message.find("\nBcc"), std::string::npos);
  EXPECT_NE(d.message.find("Subject: Hi  Bcc: eve@example.com\r\n"), std::string::npos);

  CMailMessage r;
  r.from = CMailAddress("inject2@example.com");
  EXPECT_FALSE(r.AddRecipients("a@x.org>\r\nRCPT TO:<eve@example.com>", CMailMessage::kTo));
  r.AddRecipient(CMailAddress("a@x.org>\r\nRCPT TO:<eve@example.com>"), CMailMessage::kTo);
  r.AddTextBody("hello");
  EXPECT_FALSE(Send(0, "", r));
  EXPECT_EQ(error_, 13u);
  EXPECT_FALSE(Fetch("inject2@example.com", &d)) << "nothing was delivered";
}

}  // namespace
