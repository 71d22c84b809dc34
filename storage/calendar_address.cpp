#include "storage/calendar_address.h"

std::string AddressWithoutLogin(const std::string& address, std::string* user, std::string* password) {
  if (user) user->clear();
  if (password) password->clear();
  const size_t scheme = address.find("://");
  if (scheme == std::string::npos) return address;
  const size_t from = scheme + 3;
  const size_t end = address.find_first_of("/\\?#", from);
  const size_t at = address.rfind('@', end == std::string::npos ? std::string::npos : end - 1);
  if (at == std::string::npos || at < from) return address;
  const std::string login = address.substr(from, at - from);
  const size_t colon = login.find(':');
  if (user) *user = login.substr(0, colon);
  if (password && colon != std::string::npos) *password = login.substr(colon + 1);
  return address.substr(0, from) + address.substr(at + 1);
}
