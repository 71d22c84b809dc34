// The SMTP transport of the alarm e-mail: one message, one connection, on
// the calling thread (a worker, or the GUI thread for the Test button).
#pragma once

#include <string>

#include "alarms/core/job_snapshot.h"

// Sends the message to the recipients (split as SplitAlarmRecipients does).
// The subject goes out as one line (CR and LF become blanks). Returns the
// error text, empty on success:
//   "Couldn't send message!\nEmail address is empty."  no sender address
//        (nothing is connected);
//   "Couldn't connect to server!, Error:%d"  with the client's last error
//        (a socket error such as 10061, or its own code);
//   "Couldn't send message!\nResponse:%s"  with the server's last reply.
// replyTimeoutMs bounds every wait for the server.
std::string SendSmtpMail(const AlarmTransport& transport, const std::string& recipients, const std::string& subject,
                         const std::string& message, int replyTimeoutMs = 60000);
