#include "alarms/mail/mail_message.h"

#include "alarms/mail/mail_text.h"

bool CMailMessage::AddRecipients(const std::string& text, int kind) {
  if (kind < kTo || kind > kBcc) return false;
  std::vector<CMailAddress> list;
  if (!ParseAddressList(text, &list)) return false;
  for (const CMailAddress& a : list) AddRecipient(a, kind);
  return true;
}

int CMailMessage::AddRecipient(const CMailAddress& address, int kind) {
  std::vector<CMailAddress>* list = kind == kTo ? &to : kind == kCc ? &cc : kind == kBcc ? &bcc : nullptr;
  if (!list) return -1;
  list->push_back(address);
  return static_cast<int>(list->size()) - 1;
}

void CMailMessage::AddTextBody(const std::string& text) {
  if (!mime) {
    root.SetText(text);
    return;
  }
  if (CMailBodyPart* part = root.FindFirstBodyPart("text/plain")) {
    part->SetText(text);
    return;
  }
  root.text = "This is a multi-part message in MIME format";
  root.contentType = "multipart/mixed";
  CMailBodyPart child;
  child.charset = root.charset;
  child.SetText(text);
  root.AddChildBodyPart(child);
}

std::string CMailMessage::EncodeHeaderValue(const std::string& value) const {
  return mail::EncodeHeaderValue(value, root.charset);
}

// Only the name becomes an encoded word; the address must stay readable.
std::string CMailMessage::AddressText(const CMailAddress& a) const {
  std::string address = mail::HeaderSafe(a.address);
  if (a.name.empty()) return address;
  return EncodeHeaderValue(a.name) + " <" + address + ">";
}

std::string CMailMessage::AddressListText(const std::vector<CMailAddress>& list) const {
  std::string out;
  for (const CMailAddress& a : list) {
    if (!out.empty()) out += ",";
    out += AddressText(a);
  }
  return out;
}

std::string CMailMessage::GetHeader() const {
  std::string h = "From: " + AddressText(from) + "\r\nTo: " + AddressListText(to) + "\r\n";
  std::string ccText = AddressListText(cc);
  if (!ccText.empty()) h += "Cc: " + ccText + "\r\n";
  h += "Subject: " + EncodeHeaderValue(subject) + "\r\n";
  h += "Date: " + mail::MailDateNow() + "\r\n";
  h += "X-Mailer: " + EncodeHeaderValue(xMailer) + "\r\n";
  // A plain message names its type and character set too: without them a
  // receiver guesses how to read the bytes above 0x7F.
  const bool multipart = !root.Children().empty();
  h += "MIME-Version: 1.0\r\nContent-Type: " + mail::HeaderSafe(root.contentType);
  if (multipart) h += "; boundary=\"" + root.Boundary() + "\"";
  else if (root.contentType.compare(0, 5, "text/") == 0) h += "; charset=" + mail::HeaderSafe(root.charset);
  h += "\r\n";
  if (!multipart && root.quotedPrintable) h += "Content-Transfer-Encoding: quoted-printable\r\n";
  if (!replyTo.address.empty()) h += "Reply-To: " + AddressText(replyTo) + "\r\n";
  for (const std::string& line : extraHeaderLines) h += mail::HeaderSafe(line) + "\r\n";
  return h + "\r\n";
}

bool CMailMessage::ComposeData(std::string* out, int* error) const {
  *out = GetHeader();
  return root.Compose(true, out, error);
}
