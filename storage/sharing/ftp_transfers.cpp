// FTP download, upload and file search of a calendar. A refused login
// (12014, 12015: the server's 530) says so when a user name was sent, asks
// for a new one and goes round again.
#include <memory>
#include <string>

#include "storage/calendar_file.h"
#include "storage/services/calendar_transport.h"
#include "storage/services/storage_services.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/transfer_common.h"
#include "storage/sharing/transfers.h"

using namespace sharing_detail;

namespace {

bool LoginRefused(int error) { return error == 12014 || error == 12015; }

// Runs `body` on a fresh connection until it is done; a refused login asks
// for a new one. `body` answers 0 (done, true), -1 (done, false: told) or
// an error number.
template <typename Body>
bool WithConnection(CCalendarFile& calendar, const CalendarUrl& url, ITransferProgress* progress, Body body) {
  ICalendarTransport* transport = Transport();
  if (!transport) return false;
  BeginTransfer();
  for (;;) {
    if (progress) progress->Step(1, transfer_step::kConnecting);
    int error = 0;
    std::unique_ptr<IFtpConnection> connection =
        transport->OpenFtp(url.host, url.port, calendar.userName, calendar.password, &error);
    if (connection && (error = Late(error)) == 0) error = body(*connection);
    connection.reset();
    if (error == 0) return true;
    if (error < 0) return false;
    if (!LoginRefused(error)) {
      ShowNetworkError(error);
      return false;
    }
    if (!AskLoginAgain(calendar, !calendar.userName.empty())) return false;
  }
}

}  // namespace

bool FtpDownloadCalendar(CCalendarFile& calendar, const CalendarUrl& url, std::string* text,
                         ITransferProgress* progress) {
  return WithConnection(calendar, url, progress, [&](IFtpConnection& c) {
    if (progress) progress->Step(2, transfer_step::kSending);
    int error = 0;
    std::unique_ptr<IFtpFile> file = c.OpenFile(url.FtpObject(), false, &error);
    if (!file || (error = Late(error)) != 0) return error ? error : 12003;
    if (progress) progress->Step(3, transfer_step::kReading);
    std::string bytes;
    IFtpFile* f = file.get();
    // 500 bytes a read, as the server sends them.
    if (!ReadBounded([f](char* b, size_t, uint32_t idle, size_t* got) { return f->Read(b, 500, idle, got); }, -1,
                     &bytes))
      return -1;
    // The server's answer to the finished transfer comes only with the
    // close: a 426 there means the bytes are not the whole file.
    if ((error = Late(f->Close())) != 0) return error;
    text->append(bytes);
    return 0;
  });
}

bool FtpUploadCalendar(CCalendarFile& calendar, const CalendarUrl& url, const std::string& text,
                       ITransferProgress* progress) {
  return WithConnection(calendar, url, progress, [&](IFtpConnection& c) {
    int error = 0;
    std::unique_ptr<IFtpFile> file = c.OpenFile(url.FtpObject(), true, &error);
    if (!file) return error ? error : 12003;
    for (size_t i = 0; i * 1000 < text.size(); ++i) {
      if (progress) progress->Step(static_cast<int>(i + 2), transfer_step::kSendingData);
      if ((error = file->Write(text.substr(i * 1000, 1000))) != 0) return error;
    }
    return file->Close();
  });
}

bool FtpCheckAddress(CCalendarFile& calendar, const CalendarUrl& url) {
  bool found = false, listingRefused = false;
  const bool ok = WithConnection(calendar, url, nullptr, [&](IFtpConnection& c) {
    int error = 0;
    found = c.FindFile(url.FtpObject(), &error);
    listingRefused = error != 0 && error != kTransferCancelled && !LoginRefused(error);
    return found ? 0 : error;
  });
  // A server that would not list the address may hold a file there: count
  // it as there, so that publishing over it is asked first (the box has
  // told why).
  return (ok && found) || listingRefused;
}
