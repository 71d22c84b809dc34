#include "alarms/mail/smtp_connection.h"

#include "alarms/mail/mail_cancel.h"
#include "alarms/mail/mail_errors.h"
#include "alarms/mail/mail_message.h"
#include "alarms/mail/mail_text.h"
#include "platform/last_error.h"

CSMTPConnection::~CSMTPConnection() {
  if (connected_) Disconnect();
  CloseSocket();
}

bool CSMTPConnection::Fail(uint32_t code) {
  if (!failed_) {
    failed_ = true;
    error_ = code;
  }
  // Set last, so no call made while cleaning up can change it.
  platform::SetLastErrorCode(error_);
  return false;
}

bool CSMTPConnection::FailConnect(uint32_t code) {
  Fail(code);
  if (connected_) Disconnect();
  CloseSocket();
  return Fail(code);
}

void CSMTPConnection::CloseSocket() {
  if (cancel && socket_ != platform::kNoSocket) {
    cancel->CloseAndRemove(socket_);
  } else {
    platform::CloseSocket(socket_);
  }
  socket_ = platform::kNoSocket;
}

bool CSMTPConnection::Connect(const std::string& server, int loginMethod, const std::string& user,
                              const std::string& password, int port, const char* localAddress) {
  if (connected_) Disconnect();
  CloseSocket();
  connected_ = broken_ = failed_ = false;
  error_ = 0;
  lastReply_.clear();
  lastLine_.clear();
  pending_.clear();
  if (port < 1 || port > 65535 || loginMethod < kLoginNone || loginMethod > kLoginPlain)
    return FailConnect(kMailErrorInvalidArgument);

  if (int rc = platform::OpenTcpSocket(&socket_)) return FailConnect(static_cast<uint32_t>(rc));
  if (cancel && !cancel->Add(socket_)) {
    platform::CloseSocket(socket_);
    socket_ = platform::kNoSocket;
    return FailConnect(kMailErrorCancelled);
  }
  if (localAddress && *localAddress) {
    uint32_t local = 0;
    if (int rc = platform::ResolveIPv4(localAddress, &local)) return FailConnect(static_cast<uint32_t>(rc));
    if (int rc = platform::BindSocket(socket_, local, 0)) return FailConnect(static_cast<uint32_t>(rc));
  }
  uint32_t address = 0;
  if (int rc = platform::ResolveIPv4(server, &address)) return FailConnect(static_cast<uint32_t>(rc));
  if (int rc = platform::ConnectSocket(socket_, address, static_cast<uint16_t>(port), replyTimeoutMs))
    return FailConnect(static_cast<uint32_t>(rc));
  connected_ = true;

  uint32_t e = ReadReply(220);
  if (!e) {
    if (hostName == "auto") hostName = platform::LocalHostName();
    const std::string name = mail::HeaderSafe(hostName);
    if (loginMethod == kLoginNone) {
      e = Command("HELO " + name + "\r\n", 250);
    } else {
      e = Command("EHLO " + name + "\r\n", 250);
      if (!e) e = Login(loginMethod, user, password);
    }
  }
  if (!e) return true;
  return FailConnect(e);
}

uint32_t CSMTPConnection::SendBody(const CMailMessage& message) {
  if (!message.from.IsSafeForCommand()) return kMailErrorInvalidData;
  for (const auto* list : {&message.to, &message.cc, &message.bcc})
    for (const CMailAddress& a : *list)
      if (!a.IsSafeForCommand()) return kMailErrorInvalidData;
  // The whole stream is built first, so an unreadable attachment stops
  // the send before the server has seen a command.
  std::string data;
  int fileError = 0;
  if (!message.ComposeData(&data, &fileError)) return static_cast<uint32_t>(fileError ? fileError : 2);
  data = mail::DotStuff(data);
  // The mail data ends with a line end; the dot line follows it.
  data += data.size() >= 2 && data.compare(data.size() - 2, 2, "\r\n") == 0 ? ".\r\n" : "\r\n.\r\n";

  auto refused = [](uint32_t e) { return e == kMailErrorUnexpectedReply ? kMailErrorBadCommand : e; };
  if (uint32_t e = Command("MAIL FROM:<" + message.from.address + ">\r\n", 250)) return refused(e);
  for (const auto* list : {&message.to, &message.cc, &message.bcc})
    for (const CMailAddress& a : *list)
      if (uint32_t e = Command("RCPT TO:<" + a.address + ">\r\n", 250)) return refused(e);
  if (uint32_t e = Command("DATA\r\n", 354)) return refused(e);
  if (uint32_t e = SendText(data)) return e;
  if (uint32_t e = ReadReply(250)) return refused(e);
  return 0;
}

bool CSMTPConnection::SmtpSendMessage(const CMailMessage& message) {
  if (!connected_ || broken_) return Fail(platform::kSocketNotConnected);
  if (uint32_t e = SendBody(message)) return Fail(e);
  return true;
}

bool CSMTPConnection::Disconnect() {
  bool ok = false;
  if (connected_) {
    if (!failed_) {
      uint32_t e = Command("QUIT\r\n", 221);
      ok = e == 0;
      if (!ok) Fail(e == kMailErrorUnexpectedReply ? kMailErrorBadCommand : e);
    } else if (!broken_) {
      // Polite, but without waiting: the failure is already known.
      size_t sent = 0;
      platform::SendSome(socket_, "QUIT\r\n", 6, &sent);
    }
    connected_ = false;
  }
  CloseSocket();
  if (failed_) platform::SetLastErrorCode(error_);
  return ok;
}
