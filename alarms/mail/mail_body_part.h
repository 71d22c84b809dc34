// CMailBodyPart: one MIME part: a text or an attachment file, with its own
// child parts (owned) and the boundary that separates them.
//
// The root part of a message carries the message body and never sends a
// header of its own; a part with children is a multipart container whose
// text is the preamble.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CMailBodyPart {
 public:
  CMailBodyPart();  // a new random boundary
  CMailBodyPart(const CMailBodyPart& other);  // deep copy; the copies' parent is the copy
  CMailBodyPart& operator=(const CMailBodyPart& other);
  virtual ~CMailBodyPart() = default;

  // Stores the text with every line end made CR LF and sets the content
  // type to "text/plain". Dots are left alone: the SMTP stream stuffs them.
  void SetText(const std::string& text);

  // Adds a copy of the part as the last child; returns its index.
  int AddChildBodyPart(const CMailBodyPart& part);
  // The first child whose content type equals the text exactly; null when
  // none does.
  CMailBodyPart* FindFirstBodyPart(const std::string& contentType);

  // The part's header, from the CR LF before its "--" delimiter to the
  // empty line after its fields. CR and LF in the values become blanks.
  std::string GetHeader() const;
  // The encoded body: an attachment's file in Base64 lines of 76
  // characters; a text quoted-printable when the flag is set and the part
  // has no children (a container's preamble goes as it is). False when the
  // attachment cannot be read, with the file error (platform/os_file.h) in
  // *error.
  bool GetBody(std::string* body, int* error) const;
  // "\r\n--boundary--".
  std::string GetFooter() const;

  // Appends header (unless root), body, children and footer (when there
  // are children). False as GetBody.
  bool Compose(bool root, std::string* out, int* error) const;

  const std::vector<std::unique_ptr<CMailBodyPart>>& Children() const { return children_; }
  const CMailBodyPart* Parent() const { return parent_; }
  const std::string& Boundary() const { return boundary_; }

  std::string attachmentFile;  // empty for a text part
  std::string title;           // the attachment's display name
  std::string contentType = "text/plain";
  std::string charset = "iso-8859-1";
  std::string contentBase;
  std::string contentId;
  std::string contentLocation;
  std::string text;
  int quotedPrintable = 1;

 private:
  void CopyFrom(const CMailBodyPart& other);

  std::vector<std::unique_ptr<CMailBodyPart>> children_;
  CMailBodyPart* parent_ = nullptr;
  std::string boundary_;
};
