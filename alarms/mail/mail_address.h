// CMailAddress: a friendly name and an address, and the parsing of address
// lists as the user types them ("Jo Doe <jo@x.org>; bob@y.org").
#pragma once

#include <string>
#include <vector>

class CMailAddress {
 public:
  CMailAddress() = default;
  explicit CMailAddress(std::string address) : address(std::move(address)) {}
  CMailAddress(std::string name, std::string address) : name(std::move(name)), address(std::move(address)) {}

  // "name <address>" when there is a name, else the address alone.
  std::string TextForm() const;

  // True when the address can go into an SMTP command as it is: no control
  // byte (CR and LF among them), no '<' or '>'.
  bool IsSafeForCommand() const;

  std::string name;
  std::string address;
};

// Cuts the text at every ',' and ';'. A piece with '<' is "name <address>";
// one without is a bare address. Names and addresses are trimmed of blanks
// and tabs; pieces with an empty address are skipped. A piece whose '>' is
// missing or comes before its '<' rejects the whole list: false, *out
// empty, and last error 13 (platform/last_error.h).
bool ParseAddressList(const std::string& text, std::vector<CMailAddress>* out);
