#include "alarms/mail/mail_address.h"

#include "alarms/mail/mail_errors.h"
#include "platform/last_error.h"

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::string CMailAddress::TextForm() const { return name.empty() ? address : name + " <" + address + ">"; }

bool CMailAddress::IsSafeForCommand() const {
  for (unsigned char c : address)
    if (c < 0x20 || c == 0x7F || c == '<' || c == '>') return false;
  return true;
}

bool ParseAddressList(const std::string& text, std::vector<CMailAddress>* out) {
  out->clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(",;", start);
    if (end == std::string::npos) end = text.size();
    std::string piece = text.substr(start, end - start);
    start = end + 1;
    CMailAddress address;
    size_t open = piece.find('<');
    size_t close = piece.find('>');
    if (open != std::string::npos) {
      if (close == std::string::npos || close < open) {
        out->clear();
        platform::SetLastErrorCode(kMailErrorInvalidData);
        return false;
      }
      address.name = Trim(piece.substr(0, open));
      address.address = Trim(piece.substr(open + 1, close - open - 1));
    } else if (close != std::string::npos) {
      // A '>' with no '<' before it.
      out->clear();
      platform::SetLastErrorCode(kMailErrorInvalidData);
      return false;
    } else {
      address.address = Trim(piece);
    }
    if (!address.address.empty()) out->push_back(address);
  }
  return true;
}
