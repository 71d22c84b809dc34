#include "alarms/core/action_smtp.h"

#include <cstdio>

#include "alarms/core/action_recipients.h"
#include "alarms/mail/mail_message.h"
#include "alarms/mail/smtp_connection.h"
#include "platform/last_error.h"

std::string SendSmtpMail(const AlarmTransport& t, const std::string& recipients, const std::string& subject,
                         const std::string& message, int replyTimeoutMs) {
  CMailMessage mail;
  for (const std::string& address : SplitAlarmRecipients(recipients)) mail.AddRecipient(CMailAddress(address), CMailMessage::kTo);
  if (!subject.empty()) {
    std::string line = subject;
    for (char& c : line)
      if (c == '\r' || c == '\n') c = ' ';
    mail.subject = line;
  }
  if (!message.empty()) mail.AddTextBody(message);
  if (t.fromAddr.empty()) return "Couldn't send message!\nEmail address is empty.";
  mail.from = t.fromName.empty() ? CMailAddress(t.fromAddr) : CMailAddress(t.fromName, t.fromAddr);
  mail.replyTo = mail.from;

  CSMTPConnection connection;
  connection.replyTimeoutMs = replyTimeoutMs;
  if (!connection.Connect(t.server, t.login, t.user, t.password, t.port)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Couldn't connect to server!, Error:%u", platform::LastErrorCode());
    return buf;
  }
  if (!connection.SmtpSendMessage(mail)) return "Couldn't send message!\nResponse:" + connection.GetLastReplyText();
  return std::string();
}
