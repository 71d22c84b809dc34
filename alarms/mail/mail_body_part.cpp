#include "alarms/mail/mail_body_part.h"

#include <cstdio>

#include "alarms/mail/base64_coder.h"
#include "alarms/mail/mail_text.h"
#include "platform/os_file.h"
#include "platform/random_bytes.h"
#include "platform/tick.h"

namespace {

// A version 4 UUID's text form: unpredictable, so no text can hold it.
std::string NewBoundary() {
  unsigned char b[16];
  if (!platform::RandomBytes(b, sizeof b)) {
    static unsigned counter = 0;
    uint64_t t = platform::TickMs() ^ (uint64_t{++counter} << 40);
    for (int i = 0; i < 16; ++i) b[i] = static_cast<unsigned char>((t >> ((i % 8) * 8)) + i * 37);
  }
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
  char text[40];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[0],
                b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

bool ReadWholeFile(const std::string& path, std::string* content, int* error) {
  content->clear();
  platform::OsFile* file =
      platform::OpenOsFile(path.c_str(), platform::FileShare::kReadOnly, platform::FileDisposition::kOpenExisting);
  if (!file) {
    *error = platform::LastFileError();
    return false;
  }
  char buffer[65536];
  for (;;) {
    uint32_t done = 0;
    if (!platform::ReadOsFile(file, buffer, sizeof buffer, &done)) {
      *error = platform::LastFileError();
      platform::CloseOsFile(file);
      return false;
    }
    if (done == 0) break;
    content->append(buffer, done);
  }
  platform::CloseOsFile(file);
  return true;
}

}  // namespace

CMailBodyPart::CMailBodyPart() : boundary_(NewBoundary()) {}

CMailBodyPart::CMailBodyPart(const CMailBodyPart& other) { CopyFrom(other); }

CMailBodyPart& CMailBodyPart::operator=(const CMailBodyPart& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

void CMailBodyPart::CopyFrom(const CMailBodyPart& other) {
  attachmentFile = other.attachmentFile;
  title = other.title;
  contentType = other.contentType;
  charset = other.charset;
  contentBase = other.contentBase;
  contentId = other.contentId;
  contentLocation = other.contentLocation;
  text = other.text;
  quotedPrintable = other.quotedPrintable;
  boundary_ = other.boundary_;
  children_.clear();
  for (const auto& child : other.children_) {
    children_.push_back(std::make_unique<CMailBodyPart>(*child));
    children_.back()->parent_ = this;
  }
}

void CMailBodyPart::SetText(const std::string& value) {
  text = mail::ToCrLf(value);
  contentType = "text/plain";
}

int CMailBodyPart::AddChildBodyPart(const CMailBodyPart& part) {
  children_.push_back(std::make_unique<CMailBodyPart>(part));
  children_.back()->parent_ = this;
  return static_cast<int>(children_.size()) - 1;
}

CMailBodyPart* CMailBodyPart::FindFirstBodyPart(const std::string& type) {
  for (auto& child : children_)
    if (child->contentType == type) return child.get();
  return nullptr;
}

std::string CMailBodyPart::GetHeader() const {
  using mail::HeaderSafe;
  const std::string parent = parent_ ? parent_->boundary_ : std::string();
  const std::string type = HeaderSafe(contentType), cs = HeaderSafe(charset);
  std::string h;
  if (!attachmentFile.empty()) {
    const std::string name = HeaderSafe(title);
    h = "\r\n\r\n--" + parent + "\r\nContent-Type: " + type + "; charset=" + cs + "; name=" + name;
    if (!children_.empty()) h += "; Boundary=\"" + boundary_ + "\"";
    h += "\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=" + name + "\r\n";
  } else {
    h = "\r\n--" + parent + "\r\nContent-Type: " + type + "; charset=" + cs;
    if (!children_.empty()) h += "; Boundary=\"" + boundary_ + "\"";
    h += "\r\n";
    // A multipart container may not be quoted-printable itself.
    if (quotedPrintable && children_.empty()) h += "Content-Transfer-Encoding: quoted-printable\r\n";
  }
  if (!contentBase.empty()) h += "Content-Base: " + HeaderSafe(contentBase) + "\r\n";
  if (!contentId.empty()) h += "Content-ID: " + HeaderSafe(contentId) + "\r\n";
  if (!contentLocation.empty()) h += "Content-Location: " + HeaderSafe(contentLocation) + "\r\n";
  return h + "\r\n";
}

bool CMailBodyPart::GetBody(std::string* body, int* error) const {
  body->clear();
  if (!attachmentFile.empty()) {
    std::string content;
    if (!ReadWholeFile(attachmentFile, &content, error)) return false;
    if (content.empty()) return true;
    CBase64Coder coder;
    coder.Encode(reinterpret_cast<const unsigned char*>(content.data()), content.size());
    const char* encoded = coder.GetEncoded();
    size_t length = coder.GetEncodedLength();
    for (size_t at = 0; at < length; at += 76) {
      body->append(encoded + at, length - at < 76 ? length - at : 76);
      *body += "\r\n";
    }
    return true;
  }
  *body = quotedPrintable && children_.empty() ? mail::QuotedPrintable(mail::ToCrLf(text)) : text;
  return true;
}

std::string CMailBodyPart::GetFooter() const { return "\r\n--" + boundary_ + "--"; }

bool CMailBodyPart::Compose(bool root, std::string* out, int* error) const {
  if (!root) *out += GetHeader();
  std::string body;
  if (!GetBody(&body, error)) return false;
  *out += body;
  for (const auto& child : children_)
    if (!child->Compose(false, out, error)) return false;
  if (!children_.empty()) *out += GetFooter();
  return true;
}
