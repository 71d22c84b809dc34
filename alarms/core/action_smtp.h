// The SMTP transport of the alarm e-mail: one message, one connection, on
// the calling thread (a worker, or the GUI thread for the Test button).
#pragma once

#include <string>

#include "alarms/core/job_snapshot.h"

class CMailCancel;

// Sends the message to the recipients, an address list ("Jo <jo@x.org>,
// b@y.org"; ParseAddressList).
// The subject goes out as one line (CR and LF become blanks); the message
// is text/plain in charset windows-1252, as are the encoded words of the
// subject and the sender's name. Returns the
// error text, empty on success:
//   "Couldn't send message!\nEmail address is empty."  no sender address
//        (nothing is connected);
//   "Couldn't connect to server!, Error:%d"  with the client's last error
//        (a socket error such as 10061, or its own code);
//   "Couldn't send message!\nRecipient address list is malformed."  a '<'
//        without its '>' or the other way round (nothing is connected);
//   "Missing recipient address"  no address in the list (nothing connected);
//   "Couldn't send message!\nResponse:%s"  with the server's reply that
//        refused the sender, a recipient, the data or the message;
//   "Couldn't send message!, Error:%u"  any other failure of the send, with
//        the client's last error (10060 no reply in time, 10054 closed, ...).
// replyTimeoutMs bounds every wait for the server; a thrown `cancel` ends
// the waits at once (the result is then an error text nobody needs).
std::string SendSmtpMail(const AlarmTransport& transport, const std::string& recipients, const std::string& subject,
                         const std::string& message, int replyTimeoutMs = 60000, CMailCancel* cancel = nullptr);
