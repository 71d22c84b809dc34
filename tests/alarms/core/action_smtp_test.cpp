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

TEST(AlarmSmtp, NoSenderAndClosedPort) {
  AlarmTransport t = Peer("");
  EXPECT_EQ(SendSmtpMail(t, "to@example.com", "s", "m", 10000), "Couldn't send message!\nEmail address is empty.");
  t.fromAddr = "alarm2@example.com";
  t.port = 1;  // nothing listens there
  EXPECT_EQ(SendSmtpMail(t, "to@example.com", "s", "m", 10000), "Couldn't connect to server!, Error:10061");
}

}  // namespace
