// HTTP GET, PUT and HEAD of a calendar: one loop of rounds for the three,
// which differ in flags, body and what they tell the user.
#include <memory>
#include <string>

#include "storage/calendar_file.h"
#include "storage/services/calendar_transport.h"
#include "storage/services/storage_services.h"
#include "storage/services/transfer_progress.h"
#include "storage/sharing/calendar_url.h"
#include "storage/sharing/http_status.h"
#include "storage/sharing/sharing_texts.h"
#include "storage/sharing/transfer_common.h"
#include "storage/sharing/transfers.h"

using namespace sharing_detail;

namespace {

enum class Verb { kGet, kPut, kHead };

// Reload, no cache write, keep-alive, no automatic redirect (we follow
// them ourselves so that the login never leaves its server); PUT and HEAD
// use an existing connection instead of reload; https adds secure.
constexpr uint32_t kGetFlags = 0x84600000u;
constexpr uint32_t kPutHeadFlags = 0x24600000u;
constexpr uint32_t kSecureFlag = 0x00800000u;
constexpr int kErrorResend = 12032;

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

class HttpRound {
 public:
  HttpRound(CCalendarFile& calendar, const CalendarUrl& url, Verb verb, ITransferProgress* progress)
      : calendar_(calendar), original_(url), verb_(verb), progress_(progress) {}

  // GET: the body into *raw. PUT: `body` goes up. HEAD: nothing moves.
  bool Run(ICalendarTransport& transport, const std::string& body, std::string* raw);

 private:
  void Progress(int step, const char* text) {
    if (progressOn_) Step(progress_, step, text);
  }
  // A status the operation does not take: GET and PUT show it.
  bool StatusFailure(int status) {
    if (verb_ == Verb::kHead) return false;
    Progress(0, "");
    if (verb_ == Verb::kGet)
      StorageMessage(Format(sharing_text::kSubscribeStatus, status, HttpStatusText(status)), PromptIcon::kError);
    else
      StorageMessage(Format(sharing_text::kPublishStatus, calendar_.name, status, HttpStatusText(status)),
                     PromptIcon::kError);
    return false;
  }
  bool Success(int status) const {
    if (verb_ == Verb::kGet) return status == 200;
    if (verb_ == Verb::kPut) return status == 200 || status == 201 || status == 204;
    return status == 200 || status == 204;
  }

  CCalendarFile& calendar_;
  const CalendarUrl original_;
  const Verb verb_;
  ITransferProgress* progress_;
  bool progressOn_ = true;
};

bool HttpRound::Run(ICalendarTransport& transport, const std::string& body, std::string* raw) {
  BeginTransfer();
  CalendarUrl current = original_;
  std::unique_ptr<IHttpRequest> request;
  bool connect = true;
  bool loginSent = false;
  int redirects = 0;
  int resends = 0;
  const size_t pieces = (body.size() + 999) / 1000;
  if (verb_ == Verb::kPut && progress_) progress_->SetSteps(static_cast<int>(body.size() / 1000 + 3));
  for (;;) {
    const bool home = current.SameServer(original_);
    if (connect) {
      if (verb_ != Verb::kHead) Progress(1, transfer_step::kConnecting);
      HttpRequestParams params;
      params.host = current.host;
      params.port = current.port;
      params.secure = current.IsHttps();
      if (home) {
        params.user = calendar_.userName;
        params.password = calendar_.password;
      }
      loginSent = !params.user.empty();
      params.verb = verb_ == Verb::kGet ? "GET" : verb_ == Verb::kPut ? "PUT" : "HEAD";
      params.object = current.HttpObject();
      params.flags = (verb_ == Verb::kGet ? kGetFlags : kPutHeadFlags) | (params.secure ? kSecureFlag : 0u);
      int error = 0;
      request = transport.OpenHttp(params, &error);
      if (!request || (error = Late(error)) != 0) {
        ShowNetworkError(error ? error : 12029);
        return false;
      }
      connect = false;
    }
    int error = 0;
    if (verb_ == Verb::kPut) {
      error = request->BeginSend("Content-Type: text/calendar\r\n", body.size());
      for (size_t i = 0; error == 0 && i < pieces; ++i) {
        Progress(static_cast<int>(i + 2), transfer_step::kSendingData);
        error = request->Write(body.substr(i * 1000, 1000));
      }
      if (error == 0) error = request->EndSend();
    } else {
      if (verb_ == Verb::kGet) Progress(2, transfer_step::kSending);
      error = request->Send();
    }
    error = Late(error);
    if (error == kErrorResend && verb_ != Verb::kGet) {
      if (++resends > kMaxResends) {
        ShowNetworkError(error);
        return false;
      }
      // The same request goes again; the bar stays where it is.
      progressOn_ = false;
      continue;
    }
    if (error != 0) {
      ShowNetworkError(error);
      return false;
    }
    if (request->HeaderBytes() > kMaxHeaderBytes) {
      Progress(0, "");
      StorageMessage(sharing_text::kHeadersTooLarge, PromptIcon::kError);
      return false;
    }
    const int status = request->Status();
    if (IsRedirect(status)) {
      CalendarUrl next;
      if (++redirects > kMaxRedirects || !ResolveRedirect(current, request->Location(), &next))
        return StatusFailure(status);
      current = next;
      request.reset();
      connect = true;
      continue;
    }
    if (status == 401 && home) {
      request.reset();
      connect = true;
      // A 401 to a request that carried a login is a refusal of it.
      if (!AskLoginAgain(calendar_, loginSent)) return false;
      continue;
    }
    if (!Success(status)) return StatusFailure(status);
    if (verb_ == Verb::kGet) {
      Progress(3, transfer_step::kReading);
      IHttpRequest* r = request.get();
      if (!ReadBounded([r](char* b, size_t n, uint32_t idle, size_t* got) { return r->Read(b, n, idle, got); },
                       r->ContentLength(), raw))
        return false;
    } else if (verb_ == Verb::kPut) {
      Progress(static_cast<int>(pieces + 2), transfer_step::kClosing);
    }
    return true;
  }
}

}  // namespace

bool HttpSubscribeCalendar(CCalendarFile& calendar, const CalendarUrl& url, std::string* text,
                           ITransferProgress* progress) {
  ICalendarTransport* transport = Transport();
  if (!transport) return false;
  std::string raw;
  if (!HttpRound(calendar, url, Verb::kGet, progress).Run(*transport, std::string(), &raw)) return false;
  AppendLines(raw, text);
  if (!calendar.rememberPassword) {
    calendar.userName.clear();
    calendar.password.clear();
  }
  return true;
}

bool HttpPublishCalendar(CCalendarFile& calendar, const CalendarUrl& url, const std::string& text,
                         ITransferProgress* progress) {
  ICalendarTransport* transport = Transport();
  return transport && HttpRound(calendar, url, Verb::kPut, progress).Run(*transport, text, nullptr);
}

bool HttpCheckAddress(CCalendarFile& calendar, const CalendarUrl& url) {
  ICalendarTransport* transport = Transport();
  return transport && HttpRound(calendar, url, Verb::kHead, nullptr).Run(*transport, std::string(), nullptr);
}
