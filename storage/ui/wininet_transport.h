// The network of the Internet calendars over the framework's WinINet
// classes: each HTTP request or FTP connection opens its own session,
// closed with it. Errors come back as WinINet numbers (a Wine receive
// time-out, 10060, as 12002). Each blocking call runs on a worker while
// the window thread pumps its messages (framework/blocking_wait.h); the
// current cancel scope's Cancel ends it with 12017, the transfer's
// deadline with 12002. Register it as
// StorageServices::transport.
#pragma once

#include "storage/services/calendar_transport.h"

class CWinInetTransport : public ICalendarTransport {
 public:
  std::unique_ptr<IHttpRequest> OpenHttp(const HttpRequestParams& params, int* error) override;
  std::unique_ptr<IFtpConnection> OpenFtp(const std::string& host, int port, const std::string& user,
                                          const std::string& password, int* error) override;
  std::string ErrorText(int error) override;
  uint64_t NowMs() override;
  void SetDeadline(uint64_t atMs) override;
  bool Cancelled() override;
};
