#include "alarms/core/action_smtp.h"

#include <cstdio>

#include "alarms/mail/mail_errors.h"
#include "alarms/mail/mail_message.h"
#include "alarms/mail/smtp_connection.h"
#include "platform/last_error.h"

std::string SendSmtpMail(const AlarmTransport& t, const std::string& recipients, const std::string& subject,
                         const std::string& message, int replyTimeoutMs, CMailCancel* cancel) {
  CMailMessage mail;
  // The alarm's texts are the program's, in the Windows code page.
  mail.root.charset = "windows-1252";
  if (!mail.AddRecipients(recipients, CMailMessage::kTo))
    return "Couldn't send message!\nRecipient address list is malformed.";
  if (mail.to.empty()) return "Missing recipient address";
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
  connection.cancel = cancel;
  if (!connection.Connect(t.server, t.login, t.user, t.password, t.port)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Couldn't connect to server!, Error:%u", platform::LastErrorCode());
    return buf;
  }
  if (!connection.SmtpSendMessage(mail)) {
    // Only a refusal has a reply worth showing; any other failure (an
    // address the commands cannot carry, a lost connection, a silent
    // server) would otherwise show the last reply, which was a success.
    const uint32_t error = platform::LastErrorCode();
    if (error == kMailErrorBadCommand) return "Couldn't send message!\nResponse:" + connection.GetLastReplyText();
    char buf[64];
    std::snprintf(buf, sizeof buf, "Couldn't send message!, Error:%u", error);
    return buf;
  }
  return std::string();
}
