// Moving a calendar's iCalendar text to and from a server: HTTP GET, PUT
// and HEAD, FTP download, upload and file search, over the transport of
// the storage services (calendar_transport.h). Each call is an operation
// of one calendar: it sends the calendar's user name and password, and the
// login dialog may change them. Steps go to the progress, when given.
//
// Every failure has been shown to the user when false comes back (except
// the checks, which answer false silently for a missing file); the text
// out is then to be discarded. A transfer is bounded (TransferLimits): its
// size, the wait for data and its whole time, which every step counts
// against (connecting, the status line and headers, the body), and the
// length of one line and of the headers. HTTP redirects are followed
// here, at most kMaxRedirects, and the login goes only to the server the
// calendar's address names. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CCalendarFile;
class ITransferProgress;
struct CalendarUrl;

struct TransferLimits {
  uint64_t maxBytes = 64ull << 20;
  uint32_t idleMs = 30000;
  uint32_t totalMs = 300000;
};
// The limits every transfer reads (tests set smaller ones).
TransferLimits& CurrentTransferLimits();

// No calendar line comes near these; a server that sends one is refused
// at once rather than after the whole size limit.
constexpr size_t kMaxLineBytes = 512u << 10;    // one line of a body
constexpr size_t kMaxHeaderBytes = 256u << 10;  // an HTTP answer's status line and headers

constexpr int kMaxRedirects = 5;
constexpr int kMaxResends = 3;  // of a request the server asks to send again (12032)

// Step texts.
namespace transfer_step {
constexpr char kConnecting[] = "Connecting...";
constexpr char kSending[] = "Sending Request...";
constexpr char kReading[] = "Reading Calendar...";
constexpr char kProcessing[] = "Processing Calendar...";
constexpr char kRefreshComplete[] = "Refresh Complete...";
// The last step of a fetch that failed or that the user cancelled: the bar
// goes back to empty with one of these.
constexpr char kRefreshFailed[] = "Refresh Failed: nothing was changed.";
constexpr char kRefreshCancelled[] = "Refresh Cancelled: nothing was changed.";
constexpr char kSendingData[] = "Sending Calendar Data";
constexpr char kClosing[] = "Closing connection";
}  // namespace transfer_step

// The body's lines, each followed by "\n", are appended to *text. Unless
// the calendar remembers its password, its user name and password are
// emptied after a good read.
bool HttpSubscribeCalendar(CCalendarFile& calendar, const CalendarUrl& url, std::string* text,
                           ITransferProgress* progress);
bool FtpDownloadCalendar(CCalendarFile& calendar, const CalendarUrl& url, std::string* text,
                         ITransferProgress* progress);
bool HttpPublishCalendar(CCalendarFile& calendar, const CalendarUrl& url, const std::string& text,
                         ITransferProgress* progress);
bool FtpUploadCalendar(CCalendarFile& calendar, const CalendarUrl& url, const std::string& text,
                       ITransferProgress* progress);
// Whether the address holds a file: HEAD 200 or 204; an FTP search.
bool HttpCheckAddress(CCalendarFile& calendar, const CalendarUrl& url);
// Also true, after an error box, when the server refused the listing.
bool FtpCheckAddress(CCalendarFile& calendar, const CalendarUrl& url);
