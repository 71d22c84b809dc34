// CMailMessage: sender, recipients, subject, the root body part and the
// header text the SMTP client sends before the body.
//
// A plain message (no MIME flag, no child parts) is one quoted-printable
// text. Every header names the MIME version and the root's content type:
// with its boundary once the root has children, else with the root's
// charset for a text type.
#pragma once

#include <string>
#include <vector>

#include "alarms/mail/mail_address.h"
#include "alarms/mail/mail_body_part.h"

class CMailMessage {
 public:
  enum RecipientKind { kTo = 0, kCc = 1, kBcc = 2 };

  CMailMessage() = default;
  CMailMessage(const CMailMessage&) = default;
  CMailMessage& operator=(const CMailMessage&) = default;
  virtual ~CMailMessage() = default;

  // Parses the text (ParseAddressList) and adds every address. False, with
  // nothing added, for a rejected list (last error 13) or an unknown kind.
  bool AddRecipients(const std::string& text, int kind);
  // The new index within its kind, or -1 for an unknown kind.
  int AddRecipient(const CMailAddress& address, int kind);

  // Without the MIME flag: the root's text. With it: the "text/plain"
  // child's text, or, when there is none, the root becomes a
  // "multipart/mixed" container and a new text child of the root's charset
  // holds the text.
  void AddTextBody(const std::string& text);

  // The header, ending in exactly one empty line:
  //   From, To, [Cc], Subject, Date, X-Mailer, MIME-Version: 1.0,
  //   Content-Type ("text/plain; charset=iso-8859-1" by default),
  //   [Content-Transfer-Encoding: quoted-printable unless the root is a
  //   multipart container], [Reply-To], extra lines.
  // Names and the subject are encoded words when they hold bytes of 0x80 and
  // above; addresses never are. No CR or LF of a value reaches the text as a
  // line break (they become blanks).
  virtual std::string GetHeader() const;

  // EncodeHeaderValue with the root part's charset.
  std::string EncodeHeaderValue(const std::string& value) const;

  // The whole DATA content before dot stuffing: header and body parts.
  // False when an attachment cannot be read (*error: the file error).
  bool ComposeData(std::string* out, int* error) const;

  CMailAddress from;
  std::string subject;
  std::string xMailer = "Almacora Mailer 5.0";
  CMailAddress replyTo;
  CMailBodyPart root;
  std::vector<CMailAddress> to;
  std::vector<CMailAddress> cc;
  std::vector<CMailAddress> bcc;
  std::vector<std::string> extraHeaderLines;
  bool mime = false;

 private:
  std::string AddressText(const CMailAddress& address) const;
  std::string AddressListText(const std::vector<CMailAddress>& list) const;
};
