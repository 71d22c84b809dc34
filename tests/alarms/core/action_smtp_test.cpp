// The alarm e-mail's SMTP sender against the aiosmtpd peer of the mail
// tests (ALMACORA_SMTP_PEER_DIR), and against a closed port.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "alarms/core/action_smtp.h"
#include "platform/socket.h"

namespace {

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

AlarmTransport Peer(const std::string& sender) {
  AlarmTransport t;
  std::string port;
  ReadFile(PeerPath("port"), &port);
  t.server = "127.0.0.1";
  t.port = std::atoi(port.c_str());
  t.fromName = "Almacora";
  t.fromAddr = sender;
  return t;
}

TEST(AlarmSmtp, DeliversOneLineSubjectAndWholeNotes) {
  AlarmTransport t = Peer("alarm1@example.com");
  ASSERT_GT(t.port, 0);
  EXPECT_EQ(SendSmtpMail(t, "to@example.com; ", "Alarm : D\r\nBcc: x@example.org", "line\n.\nend", 10000), "");
  std::string env, msg, body;
  ASSERT_TRUE(ReadFile(PeerPath("mail/alarm1@example.com.env"), &env));
  ReadFile(PeerPath("mail/alarm1@example.com.msg"), &msg);
  ReadFile(PeerPath("mail/alarm1@example.com.body"), &body);
  EXPECT_EQ(env, "FROM alarm1@example.com\nRCPT to@example.com\n");
  EXPECT_NE(msg.find("Subject: Alarm : D  Bcc: x@example.org\r\n"), std::string::npos);
  EXPECT_EQ(body, "line\r\n.\r\nend\r\n");
}

// A mail parser reads the alarm's letters as they were meant: the message
// names its MIME version, type and character set.
TEST(AlarmSmtp, AMailParserReadsTheCharacterSet) {
  AlarmTransport t = Peer("parse1@example.com");
  ASSERT_GT(t.port, 0);
  t.fromName = "Almacora \x80";
  EXPECT_EQ(SendSmtpMail(t, "to@example.com", "Alarm : Caf\xE9", "Gr\xFC\xDF" "e \x80\nline", 10000), "");
  std::string parsed;
  ASSERT_TRUE(ReadFile(PeerPath("mail/parse1@example.com.parsed"), &parsed));
  EXPECT_EQ(parsed,
            "MIME-Version: 1.0\nType: text/plain\nCharset: windows-1252\nSubject: Alarm : Caf\xC3\xA9\n"
            "From: Almacora \xE2\x82\xAC <parse1@example.com>\nBody:\nGr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\r\nline\r\n");
}

// Recipients are an address list: names in angle brackets, commas and
// semicolons; a refusal or a malformed list is reported for what it is.
TEST(AlarmSmtp, RecipientListsAndTheirFailures) {
  struct Case {
    const char* sender;
    const char* recipients;
    const char* result;
    const char* env;  // null: nothing delivered
  } cases[] = {
      {"list1@example.com", "Jo <jo@example.org>, b@example.org", "",
       "FROM list1@example.com\nRCPT jo@example.org\nRCPT b@example.org\n"},
      {"list2@example.com", "Ann Lee <ann@example.org>;bob@example.org;", "",
       "FROM list2@example.com\nRCPT ann@example.org\nRCPT bob@example.org\n"},
      {"list3@example.com", "b@example.org; refused@example.org",
       "Couldn't send message!\nResponse:550 5.1.1 refused: no such mailbox", nullptr},
      {"list4@example.com", "Jo <jo@example.org", "Couldn't send message!\nRecipient address list is malformed.",
       nullptr},
      {"list5@example.com", " ; ", "Missing recipient address", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recipients);
    AlarmTransport t = Peer(c.sender);
    ASSERT_GT(t.port, 0);
    EXPECT_EQ(SendSmtpMail(t, c.recipients, "s", "m", 10000), c.result);
    std::string env;
    bool delivered = ReadFile(PeerPath(std::string("mail/") + c.sender + ".env"), &env);
    EXPECT_EQ(delivered, c.env != nullptr);
    if (c.env) {
      EXPECT_EQ(env, c.env);
    }
  }
}

TEST(AlarmSmtp, NoSenderAndClosedPort) {
  AlarmTransport t = Peer("");
  EXPECT_EQ(SendSmtpMail(t, "to@example.com", "s", "m", 10000), "Couldn't send message!\nEmail address is empty.");
  t.fromAddr = "alarm2@example.com";
  t.port = 1;  // nothing listens there
  EXPECT_EQ(SendSmtpMail(t, "to@example.com", "s", "m", 10000), "Couldn't connect to server!, Error:10061");
}

}  // namespace
