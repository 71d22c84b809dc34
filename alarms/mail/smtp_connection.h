// CSMTPConnection: delivers one CMailMessage to an SMTP server over TCP:
// greeting, HELO or EHLO, an optional log-in, MAIL FROM / RCPT TO / DATA,
// and QUIT. One message per connection; blocking calls on the caller's
// thread, every wait bounded by the reply time-out.
//
// Every call that fails returns false and leaves a code as the thread's last
// error (platform/last_error.h, GetLastError on Windows):
//   a Windows Sockets number of a failed socket call (10061 refused ...);
//   10022  port outside 1..65535, unknown log-in method, unknown host;
//   10060  no reply within the time-out (counted from the last byte
//          received), or a reply still unfinished five time-outs after its
//          command; also a send that made no progress for a time-out;
//   10054  the server closed the connection;
//   10040  a reply longer than 64 KiB;
//   10043  a complete reply with another code than expected (greeting,
//          HELO/EHLO, every log-in step);
//   22     MAIL FROM, RCPT TO, DATA, the final dot or QUIT refused;
//   13     an address holding a control byte, '<' or '>' (nothing is sent);
//   a file error (platform/os_file.h) for an attachment that cannot be
//          read (nothing is sent);
//   10057  a message sent without a connection.
// The first failure's code and the reply text read up to it stay: later
// steps (the QUIT of the clean-up) change neither. After a failure the
// connection is closed without waiting for the server again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/socket.h"

class CMailCancel;

class CMailMessage;

class CSMTPConnection {
 public:
  enum LoginMethod { kLoginNone = 0, kLoginCramMd5 = 1, kLoginLogin = 2, kLoginPlain = 3 };
  static constexpr size_t kMaxReplyBytes = 64 * 1024;
  // How often a reply wait looks at the cancel switch.
  static constexpr uint64_t kCancelSliceMs = 250;

  CSMTPConnection() = default;
  CSMTPConnection(const CSMTPConnection&) = delete;
  CSMTPConnection& operator=(const CSMTPConnection&) = delete;
  // Ends the connection as Disconnect does.
  virtual ~CSMTPConnection();

  // Connects to the server (a dotted address is used without a look-up),
  // optionally from a local address, reads the 220 greeting, sends HELO
  // (method 0) or EHLO and then logs in: 1 CRAM-MD5, 2 LOGIN (the first 334
  // is answered with the user name, the second with the password, whatever
  // their prompts say), 3 PLAIN (RFC 4616). A log-in succeeds only on 235.
  // On failure the connection is closed.
  bool Connect(const std::string& server, int loginMethod, const std::string& user, const std::string& password,
               int port = 25, const char* localAddress = nullptr);

  // MAIL FROM the sender's address, RCPT TO every To, Cc and Bcc address,
  // DATA, the header and body, dot-stuffed, and the final dot.
  bool SmtpSendMessage(const CMailMessage& message);

  // QUIT and 221 when connected and nothing failed (without waiting after
  // a failure), then closes the socket. True only when 221 came.
  bool Disconnect();

  // The last reply, its lines joined by CR LF, without the final CR LF; or
  // what had come of it when reading failed.
  std::string GetLastReplyText() const { return lastReply_; }

  // Reads one reply, judged by its final line. False as above (10043 for
  // another code).
  bool ReadCommandResponse(int expectedCode);

  // The name announced in HELO/EHLO; "auto" takes this machine's name.
  std::string hostName = "auto";
  // Milliseconds to wait for a reply, a connect or a send.
  int replyTimeoutMs = 60000;
  // When given, the socket is registered there, so throwing the switch
  // ends this connection's waits; a thrown switch fails Connect with
  // kMailErrorCancelled before anything is sent.
  CMailCancel* cancel = nullptr;

 private:
  uint32_t ReadReply(int expectedCode);
  uint32_t ReceiveMore();
  void DiscardLeftovers();
  uint32_t SendText(const std::string& text);
  uint32_t Command(const std::string& text, int expectedCode);
  uint32_t Login(int method, const std::string& user, const std::string& password);
  uint32_t SendBody(const CMailMessage& message);
  bool Fail(uint32_t code);
  bool FailConnect(uint32_t code);
  void CloseSocket();

  platform::SocketHandle socket_ = platform::kNoSocket;
  bool connected_ = false;
  bool broken_ = false;  // the stream is out of step or gone: send nothing more
  bool failed_ = false;
  uint32_t error_ = 0;
  std::string lastReply_;
  std::string lastLine_;  // the final line of the last reply
  std::string pending_;   // received bytes not yet part of a reply
};
