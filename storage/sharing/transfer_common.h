// What the HTTP and FTP transfers share: progress steps, the standard
// error box, the bounded read of a body.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CCalendarFile;
class ICalendarTransport;
class ITransferProgress;

namespace sharing_detail {

ICalendarTransport* Transport();
void Step(ITransferProgress* progress, int step, const char* text);
// The standard error box of a network error (the system's text); none for
// the user's own cancel.
void ShowNetworkError(int error);
// Whether the user cancelled the transfers now running, or the login box
// of the last transfer begun (BeginTransfer).
bool TransferCancelled();
// A transfer begins: no login box of it was cancelled yet, and its whole
// time limit starts (again after each login box the user answered).
void BeginTransfer();
// Whether the transfer now running is past its whole time limit.
bool PastDeadline();
// The error a transport call answered, or kTimedOut when it came back
// past the limit.
int Late(int error);
constexpr int kTimedOut = 12002;
// The server asked for a login. When `loginSent` (the request carried a
// user name) it refused that one, and the user is told so first; then the
// login box. False when the user cancelled it (TransferCancelled() then
// answers true until the next BeginTransfer).
bool AskLoginAgain(CCalendarFile& calendar, bool loginSent);
std::string Format(const char* pattern, int number, const std::string& text);
std::string Format(const char* pattern, const std::string& text, int number, const std::string& text2);
std::string Format(const char* pattern, const std::string& text);

// Reads a body through `read` (as IHttpRequest::Read) within the limits,
// appending to *body. `announced` is the Content-Length (-1 none). Shows
// the failure and answers false: too large, a line longer than
// kMaxLineBytes, past the transfer's whole time limit (BeginTransfer),
// a read error, or fewer bytes than announced.
bool ReadBounded(const std::function<int(char*, size_t, uint32_t, size_t*)>& read, int64_t announced,
                 std::string* body);

// Each line of the raw body, without its line end, followed by "\n".
void AppendLines(const std::string& raw, std::string* text);

}  // namespace sharing_detail
