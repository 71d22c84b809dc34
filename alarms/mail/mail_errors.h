// The numbers the mail code leaves as the thread's last error, beside the
// Windows Sockets numbers of platform/socket.h.
#pragma once

#include <cstdint>

constexpr uint32_t kMailErrorInvalidData = 13;     // an address the commands cannot carry
constexpr uint32_t kMailErrorBadCommand = 22;      // MAIL, RCPT, DATA, the final dot or QUIT refused
constexpr uint32_t kMailErrorUnexpectedReply = 10043;  // a complete reply with another code
constexpr uint32_t kMailErrorReplyTooLong = 10040;     // a reply past the reader's limit
constexpr uint32_t kMailErrorInvalidArgument = 10022;  // bad port or log-in method, unknown host
constexpr uint32_t kMailErrorTimedOut = 10060;
constexpr uint32_t kMailErrorConnectionClosed = 10054;
constexpr uint32_t kMailErrorCancelled = 995;  // the program is ending (ERROR_OPERATION_ABORTED)
